// Whole version 4 files: header, item order, library layers, schematic
// rounding, the trailer with pictures, and the golden files.
#include <cstdlib>

#include "files/header_writer.h"
#include "files/writer.h"
#include "files/writer_version4.h"
#include "writer_test_util.h"

namespace trelmo::testing {
namespace {

class WriterFileTest : public ::testing::Test {
 protected:
  Handle open(const std::string& name) {
    file = newDesignFile(ctx, dir / name);
    return file;
  }
  std::string save(const std::string& name, char format = 'C') {
    EXPECT_TRUE(writeDesignFile(ctx, dir / name, format));
    return slurp(dir / name);
  }
  RecordingHost host;
  Context ctx{host};
  ScratchDir dir;
  Handle file = kNull;
};

TEST_F(WriterFileTest, EmptyDesignWritesHeaderLegendAndEndOfFile) {
  open("empty.pcb");
  boardLayers(ctx);
  ctx.rec(file).size |= kFileModified;
  std::string header;
  writeHeader(ctx, header);
  ASSERT_TRUE(header.ends_with("Line: 1 layer width X1 Y1 X2 Y2 signal\r\n"));
  EXPECT_EQ(save("empty.pcb", 'G'), header + "\r\nEND OF FILE\r\n");
  EXPECT_EQ(host.messages, std::vector<std::string>{"TRELMO'98|The specified output format is not supported.\n\n"
                                                    "TRELMO Version 4.0 file format will be substituted."});
  EXPECT_FALSE(fileModified(ctx.rec(file)));
}

TEST_F(WriterFileTest, ComponentsFirstThenTypesFiveToOneHiddenNever) {
  open("mixed.pcb");
  boardLayers(ctx);
  addLine(ctx, file, 7, 655, 0, 0, kInch, 0);
  addLine(ctx, file, 3, 655, 0, 0, kInch, 0, "A");
  addArc(ctx, file, 1, 655, 0, 0, kInch, 0, 0, 0, 0);
  addLine(ctx, file, 3, 655, 0, 0, 2 * kInch, 0, "B");  // same layer: ring order kept
  const Handle empty = addText(ctx, file, 1, 3932, 0, 0, "");
  ctx.rec(addLine(ctx, file, 1, 655, 0, 0, 3 * kInch, 0)).flags |= kHidden;
  addPad(ctx, file, 0, item::kRoundVia, kInch, kInch, 590, 590, 0, "0");
  addText(ctx, file, 1, 3932, 0, 0, "T");
  const Handle reserved = createItem(ctx.pool, file, kReserved, 2, 1 << 8, 0, 0, 0, 0, kNull);
  storeText(ctx, reserved, "r");
  addComponent(ctx, file, 1, 0, 0, "EMPTY");  // no items: not written
  Handle hiddenHeader = kNull;
  addLine(ctx, addComponent(ctx, file, 1, 0, 0, "HIDDEN", &hiddenHeader), 1, 655, 0, 0, kInch, 0);
  ctx.rec(hiddenHeader).flags |= kHidden;
  const Handle outer = addComponent(ctx, file, 1, kInch, kInch, "U1");
  addLine(ctx, outer, 1, 655, kInch, kInch, 2 * kInch, kInch);
  const Handle inner = addComponent(ctx, outer, 1, kInch, kInch, "U1A");
  addPad(ctx, inner, 3, item::kOvalThru, kInch, kInch, 3932, 3932, 2294, "1", "N1");
  addText(ctx, outer, 1, 3932, kInch, kInch, "U1");
  EXPECT_EQ(itemSection(save("mixed.pcb")),
            "6 1 0 1.0 1.0 1.5 1.25 U1\r\n"
            "6 1 0 1.0 1.0 1.5 1.25 U1A\r\n"
            "3 3 1 1.0 1.0 .06 .06 .035 0 1 N1\r\n"
            "0 6 0 1.0 1.0\r\n"
            "4 1 .06 1.0 1.0 .12 0 0 0 U1\r\n"
            "1 1 .01 1.0 1.0 2.0 1.0\r\n"
            "0 6 0 1.0 1.0\r\n"
            "5 2 1 0 0 0 0 r\r\n"
            "4 1 .06 0 0 .06 0 0 0 T\r\n"
            "3 0 3 1.0 1.0 .009 .009 0 0 0\r\n"
            "2 1 .01 0 0 1.0 0 0 0 0\r\n"
            "1 3 .01 0 0 1.0 0 A\r\n"
            "1 3 .01 0 0 2.0 0 B\r\n"
            "1 7 .01 0 0 1.0 0\r\n");
  EXPECT_TRUE(ctx.rec(empty).hidden());  // a text without text leaves the design
}

// A file can nest components as deep as it has lines; writing them must not
// need a stack frame per level.
TEST_F(WriterFileTest, DeeplyNestedComponentsAreWrittenInFull) {
  open("deep.pcb");
  constexpr int kDepth = 200000;
  Handle ring = file;
  for (int i = 0; i < kDepth; ++i) {
    addLine(ctx, ring, 1, 655, 0, 0, kInch, 0);
    ring = addComponent(ctx, ring, 1, 0, 0, "C");
  }
  addLine(ctx, ring, 1, 655, 0, 0, kInch, 0);
  const std::string items = itemSection(save("deep.pcb"));
  size_t headers = 0, ends = 0;
  for (size_t pos = 0; (pos = items.find("6 1 0 0 0 .5 .25 C\r\n", pos)) != std::string::npos; ++pos) ++headers;
  for (size_t pos = 0; (pos = items.find("0 6 0 0 0\r\n", pos)) != std::string::npos; ++pos) ++ends;
  EXPECT_EQ(headers, size_t{kDepth});
  EXPECT_EQ(ends, size_t{kDepth});
  EXPECT_TRUE(items.ends_with("0 6 0 0 0\r\n1 1 .01 0 0 1.0 0\r\n"));
}

TEST_F(WriterFileTest, LibraryFileNamesWriteLayerLetters) {
  open("parts.LiB");
  boardLayers(ctx);
  addLine(ctx, file, 12, 655, 0, 0, kInch, 0);
  addLine(ctx, file, 40, 655, 0, 0, kInch, 0);  // no name: a number
  EXPECT_EQ(itemSection(save("parts.LiB")), "1 CB .01 0 0 1.0 0\r\n1 40 .01 0 0 1.0 0\r\n");
  EXPECT_EQ(itemSection(save("parts.pcb")), "1 12 .01 0 0 1.0 0\r\n1 40 .01 0 0 1.0 0\r\n");
}

TEST_F(WriterFileTest, SchematicRoundingIsWrittenAndStoredBack) {
  open("sheet.sch");
  schematicLayers(ctx);
  ASSERT_TRUE(ctx.params.isSchematic());
  const Handle l = addLine(ctx, file, 2, 20, 682, -682, kInch, 0);  // 0.0104 inch, a 0.3 mil width
  const Handle p = addPad(ctx, file, 1, item::kSchematicPin, 682, 0, 682, 682, 0, "1");
  const Handle a = addArc(ctx, file, 1, 682, 682, 682, 682, 0, 0, 0, 0);
  const Handle t = addText(ctx, file, 1, 65535, 682, 0, "X");
  item::setText(ctx.rec(t), 682, 0, 0);
  EXPECT_EQ(itemSection(save("sheet.sch")),
            "4 1 .99998 .01 0 .01 0 0 0 X\r\n"
            "3 1 0 .01 0 .0104 .0104 0 0 1\r\n"
            "2 1 .01 .01 .01 .01 0 0 0 0\r\n"
            "1 2 .001 .01 -.01 1.0 0\r\n");
  EXPECT_EQ(ctx.rec(l).x1, 655);
  EXPECT_EQ(ctx.rec(l).y1, -655);
  EXPECT_EQ(ctx.rec(l).size, 66);  // a thin line keeps a width of one mil
  EXPECT_EQ(ctx.rec(p).x1, 655);
  EXPECT_EQ(item::padX(ctx.rec(p)), 682);  // pad sizes are not rounded
  EXPECT_EQ(item::radius(ctx.rec(a)), 655);
  EXPECT_EQ(ctx.rec(t).size, 65535);  // a whole inch does not fit a size
}

TEST(SchematicRounding, WholeMilsAreStableAndNegativesMirrorPositives) {
  for (int32_t v = -300000; v <= 300000; v += 7) {
    const int32_t r = roundToMil(v);
    ASSERT_EQ(roundToMil(r), r) << v;
    ASSERT_LE(std::abs(r - v), 33) << v;
    if (std::abs((int64_t{v} * 1000) % 65536) != 32768) {  // not exactly half a mil
      ASSERT_EQ(roundToMil(-v), -r) << v;
    }
  }
  EXPECT_EQ(roundToMil(-39), -66);  // -0.6 mil is -1 mil, not 0
  EXPECT_EQ(roundToMil(INT32_MAX), 2147483582);
  EXPECT_EQ(roundToMil(INT32_MIN), INT32_MIN);
}

// A picture block with a header and a few pixel bytes.
std::unique_ptr<PixelImage> picture(const std::string& name, int32_t x0, int32_t y0, uint8_t fill) {
  auto img = makeImage(3, 2, 0, 100);
  img->setName(name);
  img->setI32(32, x0);
  img->setI32(36, y0);
  std::fill(img->block.begin() + kImageHeaderSize, img->block.end(), fill);
  return img;
}

TEST_F(WriterFileTest, TrailerLinkedPictureLinesAndEmptyLines) {
  open("pic.pcb");
  const std::string end = "\r\nEND OF FILE\r\n";
  ctx.params.imageCurrent = ctx.images.add(picture("\"a.bmp\"", kInch / 2, 0, 1));
  EXPECT_TRUE(save("pic.pcb").ends_with("\r\n\r\nPixel image (.5,0): \"a.bmp\"\r\n" + end));
  ctx.params.imageAlternate = ctx.images.add(picture("\"b.bmp\"", 0, -kInch, 2));
  EXPECT_TRUE(
      save("pic.pcb").ends_with("\r\n\r\nPixel image (.5,0): \"a.bmp\"\r\nPixel image (0,-1.0): \"b.bmp\"\r\n" + end));
  ctx.params.imageCurrent = 0;
  EXPECT_TRUE(save("pic.pcb").ends_with("\r\n\r\nPixel image (0,-1.0): \"b.bmp\"\r\n" + end));
}

TEST_F(WriterFileTest, EmbeddedPicturesFollowEndOfFileInSlotOrder) {
  open("pic.pcb");
  auto current = picture("scan.bmp", 0, 0, 0xAB), alternate = picture("", 0, 0, 0xCD);
  const std::string bytes(current->block.begin(), current->block.end());
  alternate->setU32(16, 1000);  // claims more rows than it holds: not written
  ctx.params.imageCurrent = ctx.images.add(std::move(current));
  ctx.params.imageAlternate = ctx.images.add(std::move(alternate));
  EXPECT_TRUE(save("pic.pcb").ends_with("\r\nEND OF FILE\r\n\r\nPixel image follows EOF\r\n\x1a" + bytes));
}

// Golden files: two hand-built designs written byte for byte. Set
// TRELMO_UPDATE_GOLDEN=1 to rewrite them after a deliberate change.
void checkGolden(const std::string& written, const std::string& name) {
  const std::string path = std::string(TRELMO_TEST_DATA) + "/golden/" + name;
  if (std::getenv("TRELMO_UPDATE_GOLDEN")) spit(path, written);
  EXPECT_EQ(written, slurp(path)) << name;
}

TEST_F(WriterFileTest, GoldenBoard) {
  open("board.pcb");
  boardLayers(ctx);
  ctx.params.format = 'C';
  const Handle u1 = addComponent(ctx, file, 1, kInch, kInch, "U1\17774HC00\177DIP14");
  addPad(ctx, u1, 0, item::kRectThru, kInch, kInch, 3932, 3932, 2294, "1", "GND");
  addPad(ctx, u1, 0, item::kOvalThru, kInch + 6554, kInch, 3932, 3932, 2294, "2", "VCC");
  addLine(ctx, u1, 1, 655, kInch - 3277, kInch - 3277, kInch + 9830, kInch - 3277);
  const Handle gate = addComponent(ctx, u1, 1, kInch, kInch, "U1A");
  addArc(ctx, gate, 1, 655, kInch + 3277, kInch + 3277, 3277, 0, 32768, 0, 0);
  addText(ctx, u1, 1, 3932, kInch, kInch + 9830, "U1", 0, 0x01);
  addLine(ctx, file, 3, 1638, kInch, kInch, 2 * kInch, kInch, "GND");
  addLine(ctx, file, 12, 1638, kInch + 6554, kInch, kInch + 6554, 2 * kInch, "VCC");
  addPad(ctx, file, 0, item::kRoundVia, 2 * kInch, kInch, 2949, 2949, 1311, "0", "GND");
  addPad(ctx, file, 3, item::kRectSmt, 3 * kInch, kInch, 3277, 1638, 0, "A1");
  addArc(ctx, file, 7, 655, 0, 0, 4 * kInch, 0, 0, 0, 0);
  addArc(ctx, file, 7, 655, 2 * kInch, 2 * kInch, kInch / 4, 16384, 16384, 32768, 91);
  addText(ctx, file, 14, 3932, kInch, 3 * kInch, "BOTTOM\177side", 32768, 0x25);
  const Handle solid = createItem(ctx.pool, file, kLine, 3, 0, 0, 0, 0, 0, kNull);
  appendVertex(ctx, solid, 3 * kInch, 3 * kInch);
  appendVertex(ctx, solid, 3 * kInch + kInch / 2, 3 * kInch);
  appendVertex(ctx, solid, 3 * kInch, 3 * kInch + kInch / 2);
  createItem(ctx.pool, file, kReserved, 7, 9 << 8, 0, 0, kInch, kInch, kNull);
  checkGolden(save("board.pcb"), "board.pcb");
}

TEST_F(WriterFileTest, GoldenSchematic) {
  open("sheet.sch");
  schematicLayers(ctx);
  ctx.params.format = 'C';
  const Handle r1 = addComponent(ctx, file, 1, mils(1000), mils(2000), "R1\17710K\x7f\1770805");
  addLine(ctx, r1, 1, 655, mils(1000), mils(2000), mils(1300), mils(2000));
  addPad(ctx, r1, 1, item::kSchematicPin, mils(1000), mils(2000), 590, 590, 0, "1", "*");
  addPad(ctx, r1, 1, item::kSchematicPin, mils(1300), mils(2000), 590, 590, 0, "2", "*");
  addLine(ctx, file, 2, 655, mils(1300), mils(2000), mils(2000), mils(2000), "OUT");
  const Handle label = addText(ctx, file, 2, mils(50), mils(2000), mils(2000), "");
  attachSignal(ctx, label, "OUT");
  addPad(ctx, file, 2, item::kSchematicDot, mils(2000), mils(2000), 2000, 2000, 0, "0");
  addText(ctx, file, 0, mils(100), mils(500), mils(500), "Sheet 1 of 1 \xea", 0, 0x10);
  checkGolden(save("sheet.sch"), "sheet.sch");
}

}  // namespace
}  // namespace trelmo::testing
