// Item lines of every kind, in the file form and the compact editor form.
#include <climits>

#include "files/item_lines.h"
#include "writer_test_util.h"

namespace trelmo::testing {
namespace {

class ItemLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ring = newDesignFile(ctx, "/nowhere/board.pcb");
    boardLayers(ctx);
  }
  std::string line(Handle h, int32_t origin = 0, bool compact = false) {
    std::string out;
    writeItemLine(ctx, h, out, origin, origin, compact);
    return out;
  }
  Context ctx;
  Handle ring = kNull;
};

TEST_F(ItemLineTest, LinesWithSignalOriginCompactFormAndExtremes) {
  const Handle h = addLine(ctx, ring, 3, 655, kInch, 2 * kInch, kInch / 2, -kInch, "GND");
  EXPECT_EQ(line(h), "1 3 .01 1.0 2.0 .5 -1.0 GND\r\n");
  EXPECT_EQ(line(h, kInch), "1 3 .01 0 1.0 -.5 -2.0 GND\r\n");
  EXPECT_EQ(line(h, 0, true), "1 3 .01 1.0 2.0 .5 -1.0");  // no signal, no line end
  const Handle extremes = addLine(ctx, ring, 3, 1, 1, INT32_MAX, -1, INT32_MIN + 1);
  EXPECT_EQ(line(extremes), "1 3 .00002 .00002 32767.99998 -.00002 -32767.99998\r\n");
}

TEST_F(ItemLineTest, FilledSolidWritesBoundingBoxThenOneLinePerVertex) {
  const Handle h = createItem(ctx.pool, ring, kLine, 3, 0, 0, 0, 0, 0, kNull);
  appendVertex(ctx, h, kInch, kInch);
  appendVertex(ctx, h, 2 * kInch, kInch);
  appendVertex(ctx, h, kInch, 3 * kInch);
  EXPECT_EQ(line(h), "1 3 0 1.0 1.0 2.0 3.0\r\n1 3 0 1.0 1.0\r\n1 3 0 2.0 1.0\r\n1 3 0 1.0 3.0\r\n");
  EXPECT_EQ(line(h, kInch, true), "1 3 0 0 0 1.0 2.0\1770 0\1771.0 0\1770 2.0");
}

TEST_F(ItemLineTest, PadPinAndSignalEndings) {
  const Handle star = addPad(ctx, ring, 2, item::kSchematicPin, 0, 0, 590, 590, 0, "0", "*");
  EXPECT_EQ(line(star), "3 2 0 0 0 .009 .009 0 0 0 *\r\n");
  EXPECT_EQ(line(addPad(ctx, ring, 2, 0, 0, 0, 590, 590, 0, "0")), "3 2 0 0 0 .009 .009 0 0 0\r\n");
  const Handle named = addPad(ctx, ring, 3, item::kOvalThru, kInch, 0, 0, 0, 0, "A1", "VCC");
  item::setPad(ctx.rec(named), 3932, 3932, 2294, 16384);
  EXPECT_EQ(line(named), "3 3 1 1.0 0 .06 .06 .035 90 A1 VCC\r\n");
  // Compact: the signal only on through pads off layer 0.
  EXPECT_EQ(line(named, 0, true), "3 3 1 1.0 0 .06 .06 .035 90 A1 VCC");
  EXPECT_EQ(line(addPad(ctx, ring, 3, item::kRectSmt, 0, 0, 0, 0, 0, "2", "N"), 0, true), "3 3 6 0 0 0 0 0 0 2");
  EXPECT_EQ(line(addPad(ctx, ring, 0, item::kOvalThru, 0, 0, 0, 0, 0, "3", "N"), 0, true), "3 0 1 0 0 0 0 0 0 3");
}

TEST_F(ItemLineTest, ArcAnglesEccentricityAndSignal) {
  const Handle h = addArc(ctx, ring, 7, 655, kInch, kInch, kInch / 2, 16384, 32768, 32768, 91);
  attachSignal(ctx, h, "CLK");
  EXPECT_EQ(line(h), "2 7 .01 1.0 1.0 .5 90 180 .5 .50 CLK\r\n");
  EXPECT_EQ(line(h, 0, true), "2 7 .01 1.0 1.0 .5 90 180 .5 .50");
  ctx.rec(h).w3 = -kInch / 2;  // with a negative radius the extension is no signal
  EXPECT_EQ(line(h), "2 7 .01 1.0 1.0 -.5 90 180 .5 .50\r\n");
}

TEST_F(ItemLineTest, TextAsStoredAndEmptyTextNotWritten) {
  const Handle h = addText(ctx, ring, 12, 3932, kInch / 2, kInch / 2, "R1\17710K\xf8");
  item::setText(ctx.rec(h), -kInch, 16384, 0xF5);
  EXPECT_EQ(line(h), "4 12 .06 .5 .5 -1.0 90 5 15 R1\17710K\xf8\r\n");
  std::string out = "keep";
  writeItemLine(ctx, addText(ctx, ring, 1, 3932, 0, 0, ""), out, 0, 0, false);
  EXPECT_EQ(out, "keep");
  const Handle net = addText(ctx, ring, 2, 3932, 0, 0, "");  // Schematic layer: a signal name
  attachSignal(ctx, net, "DATA0");
  EXPECT_EQ(line(net), "4 2 .06 0 0 0 0 0 0 DATA0\r\n");
  // A line end inside a text would split the item line.
  EXPECT_EQ(line(addText(ctx, ring, 1, 0, 0, 0, "A\r\n1 3 0")), "4 1 0 0 0 0 0 0 0 A\377\3771 3 0\r\n");
}

TEST_F(ItemLineTest, ComponentReservedAndContainerLines) {
  Handle header = kNull;
  const Handle s = addComponent(ctx, ring, 1, kInch, kInch, "U1\17774HC00\177DIP14  \x7f\x7f", &header);
  ctx.rec(header).size = 16384;
  EXPECT_EQ(line(header), "6 1 90 1.0 1.0 1.5 1.25 U1\17774HC00\177DIP14\r\n");
  EXPECT_EQ(line(s), "0 6 0 1.0 1.0\r\n");
  EXPECT_EQ(line(s, kInch), "0 6 0 0 0\r\n");
  // The reserved item writes its number (the high byte); the origin moves
  // its first point only.
  const Handle r = createItem(ctx.pool, ring, kReserved, 4, 5 << 8, kInch, kInch, kInch, kInch, kNull);
  storeText(ctx, r, "note");
  EXPECT_EQ(line(r, kInch), "5 4 5 0 0 1.0 1.0 note\r\n");
  const Handle c = createItem(ctx.pool, ring, kContainer, 7, 3, 0, 0, kInch, kInch, newRing(ctx.pool, 6));
  storeText(ctx, ctx.rec(c).ext, "sheet\x7f");
  EXPECT_EQ(line(c), "7 7 3 0 0 1.0 1.0 sheet\r\n");
}

}  // namespace
}  // namespace trelmo::testing
