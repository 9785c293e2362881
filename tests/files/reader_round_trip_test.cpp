// Reading a version 4 file and writing it again gives the same bytes.
#include <cstdio>
#include <fstream>
#include <sstream>

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
  const std::string out = ::testing::TempDir() + "reader_round_trip.out";
  ASSERT_TRUE(writeDesignFile(ctx, out, kFormatV4));
  const std::string written = slurp(out);
  std::remove(out.c_str());
  EXPECT_EQ(written, original);
}

INSTANTIATE_TEST_SUITE_P(Files, RoundTrip,
                         ::testing::Values(TRELMO_EXAMPLES_DIR "/demo.pcb", TRELMO_EXAMPLES_DIR "/demo.sch",
                                           TRELMO_EXAMPLES_DIR "/demo.sh1", TRELMO_TEST_DATA "/golden/board.pcb",
                                           TRELMO_TEST_DATA "/golden/sheet.sch"));

}  // namespace
}  // namespace trelmo::test
