// Reading a version 4 file and writing it again gives the same bytes.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "files/reader_fixture.h"
#include "files/writer.h"

namespace trelmo::test {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class RoundTrip : public ReaderTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RoundTrip, ReadThenWriteKeepsEveryByte) {
  const std::string source = GetParam();
  const std::string original = slurp(source);
  ASSERT_FALSE(original.empty()) << source;
  ASSERT_EQ(readFile(ctx, source, kHintNone), kFormatV4);
  // The fixtures were saved from files that had no remembered format.
  if (original.find("\r\n-gf\r\n") != std::string::npos) ctx.params.format = 0;
  const std::string out = ::testing::TempDir() + "reader_round_trip_" + std::to_string(::getpid()) + ".out";
  ASSERT_TRUE(writeDesignFile(ctx, out, kFormatV4));
  const std::string written = slurp(out);
  std::remove(out.c_str());
  EXPECT_EQ(written, original);
}

INSTANTIATE_TEST_SUITE_P(Files, RoundTrip,
                         ::testing::Values(TRELMO_EXAMPLES_DIR "/demo.pcb", TRELMO_EXAMPLES_DIR "/demo.sch",
                                           TRELMO_EXAMPLES_DIR "/demo.sh1", TRELMO_TEST_DATA "/golden/board.pcb",
                                           TRELMO_TEST_DATA "/golden/sheet.sch"));

// Embedded pictures written after the items come back into the same slots.
TEST_F(ReaderTest, EmbeddedPicturesSurviveWritingAndReading) {
  std::string data = "TRELMO Version 4.00\r\n-y1\r\nPixel image follows EOF\r\n\x1a";
  for (const uint32_t bpp : {8u, 24u}) {
    std::string header(kImageHeaderSize, '\0');
    const uint32_t fields[] = {4, 3, 2, 75, bpp, bpp == 24 ? 3u : 0u, 0x10000};
    std::memcpy(header.data(), "PIX98a", 6);
    std::memcpy(header.data() + 8, fields, sizeof fields);
    data += header + std::string(4 * 2 * bpp / 8, static_cast<char>(bpp));
  }
  ASSERT_EQ(read(data), kFormatV4);
  const std::string out = ::testing::TempDir() + "reader_pictures_" + std::to_string(::getpid()) + ".out";
  ASSERT_TRUE(writeDesignFile(ctx, out, kFormatV4));
  Context again(host);
  newDesignFile(again, "again.pcb");
  ASSERT_EQ(readFile(again, out, kHintNone), kFormatV4);
  std::remove(out.c_str());
  for (const auto slot : {&Params::imageCurrent, &Params::imageAlternate}) {
    const PixelImage* before = ctx.images.get(ctx.params.*slot);
    const PixelImage* after = again.images.get(again.params.*slot);
    ASSERT_TRUE(before && after);
    EXPECT_EQ(before->block, after->block);
  }
}

}  // namespace
}  // namespace trelmo::test
