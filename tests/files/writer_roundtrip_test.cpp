// What the writer writes, the reader reads back into the same design: a file
// read and written again comes out byte for byte the same.
#include "files/reader_chain.h"
#include "files/writer.h"
#include "writer_test_util.h"

namespace trelmo::testing {
namespace {

std::string rewrite(const std::string& source, const ScratchDir& dir, const std::string& name) {
  Context ctx;
  const std::string in = dir / ("in-" + name), out = dir / name;
  spit(in, source);
  if (newDesignFile(ctx, in) == kNull) return "<no file>";
  if (readFile(ctx, in, kHintNone) != kFormatV4) return "<not read>";
  if (!writeDesignFile(ctx, out, 'C')) return "<not written>";
  return slurp(out);
}

TEST(WriterRoundTrip, GoldenFilesAndLibraryLettersReadAndWriteIdentically) {
  ScratchDir dir;
  const std::string board = slurp(std::string(TRELMO_TEST_DATA) + "/golden/board.pcb");
  const std::string sheet = slurp(std::string(TRELMO_TEST_DATA) + "/golden/sheet.sch");
  EXPECT_TRUE(rewrite(board, dir, "board.pcb") == board);
  EXPECT_TRUE(rewrite(sheet, dir, "sheet.sch") == sheet);
  const std::string lib = rewrite(board, dir, "board.lib");
  EXPECT_NE(lib.find("\r\n1 CB .025 1.1 1.0 1.1 2.0 VCC\r\n"), std::string::npos);
  EXPECT_NE(lib.find("\r\n4 SB .06 1.0 3.0 "), std::string::npos);
  EXPECT_TRUE(rewrite(lib, dir, "again.pcb") == board);
}

// A picture of each kind embedded after the end of the file.
std::unique_ptr<PixelImage> embedded(uint32_t width, uint32_t height, uint32_t kind, const char* name) {
  auto img = makeImage(width, height, kind, 100);
  img->setName(name);
  img->setI32(40, static_cast<int32_t>((width - 1) * 65536 / 100));
  img->setI32(44, static_cast<int32_t>((height - 1) * 65536 / 100));
  for (size_t i = kImageHeaderSize; i < img->block.size(); ++i) img->block[i] = static_cast<uint8_t>(i * 7);
  return img;
}

TEST(WriterRoundTrip, EmbeddedPicturesReadBackIntoTheirSlots) {
  ScratchDir dir;
  Context ctx;
  newDesignFile(ctx, dir / "pic.pcb");
  boardLayers(ctx);
  ctx.params.format = 'C';
  addLine(ctx, ctx.current, 3, 655, 0, 0, kInch, kInch, "N");
  ctx.params.imageCurrent = ctx.images.add(embedded(5, 3, 0, "scan.bmp"));
  ctx.params.imageAlternate = ctx.images.add(embedded(2, 2, 3, "photo.bmp"));
  ASSERT_TRUE(writeDesignFile(ctx, dir / "pic.pcb", 'C'));
  const std::string written = slurp(dir / "pic.pcb");
  EXPECT_TRUE(rewrite(written, dir, "again.pcb") == written);
}

}  // namespace
}  // namespace trelmo::testing
