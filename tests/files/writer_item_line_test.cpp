// Item lines of every kind, in the file form and the compact editor form.
#include <climits>

#include "files/item_lines.h"
#include "files/writer_format.h"
#include "writer_test_util.h"

namespace trelmo::testing {
namespace {

class ItemLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ring = newDesignFile(ctx, "/nowhere/board.pcb");
    ASSERT_NE(ring, kNull);
    boardLayers(ctx);
  }
  std::string line(Handle h, int32_t ox = 0, int32_t oy = 0) {
    std::string out;
    writeItemLine(ctx, h, out, ox, oy, false);
    return out;
  }
  std::string compact(Handle h, int32_t ox = 0, int32_t oy = 0) {
    std::string out;
    writeItemLine(ctx, h, out, ox, oy, true);
    return out;
  }
  std::string library(Handle h) {
    std::string out;
    ItemLineStyle style;
    style.libraryLayers = true;
    appendItemLines(ctx, h, out, style);
    return out;
  }
  Context ctx;
  Handle ring = kNull;
};

TEST_F(ItemLineTest, LineWithSignalOriginAndCompactForm) {
  const Handle h = addLine(ctx, ring, 3, 655, kInch, 2 * kInch, kInch / 2, -kInch, "GND");
  EXPECT_EQ(line(h), "1 3 .01 1.0 2.0 .5 -1.0 GND\r\n");
  EXPECT_EQ(line(h, kInch, kInch), "1 3 .01 0 1.0 -.5 -2.0 GND\r\n");
  EXPECT_EQ(compact(h), "1 3 .01 1.0 2.0 .5 -1.0");  // no signal, no line end
  const Handle bare = addLine(ctx, ring, 7, 655, 0, 0, kInch, 0);
  EXPECT_EQ(line(bare), "1 7 .01 0 0 1.0 0\r\n");
}

TEST_F(ItemLineTest, DimensionExtremes) {
  const Handle h = addLine(ctx, ring, 3, 1, 1, INT32_MAX, -1, INT32_MIN + 1);
  EXPECT_EQ(line(h), "1 3 .00002 .00002 32767.99998 -.00002 -32767.99998\r\n");
}

TEST_F(ItemLineTest, FilledSolidWritesBoundingBoxThenOneLinePerVertex) {
  const Handle h = createItem(ctx.pool, ring, kLine, 3, 0, 0, 0, 0, 0, kNull);
  ASSERT_TRUE(appendVertex(ctx, h, kInch, kInch));
  ASSERT_TRUE(appendVertex(ctx, h, 2 * kInch, kInch));
  ASSERT_TRUE(appendVertex(ctx, h, kInch, 3 * kInch));
  EXPECT_EQ(line(h),
            "1 3 0 1.0 1.0 2.0 3.0\r\n"
            "1 3 0 1.0 1.0\r\n"
            "1 3 0 2.0 1.0\r\n"
            "1 3 0 1.0 3.0\r\n");
  EXPECT_EQ(compact(h, kInch, kInch),
            "1 3 0 0 0 1.0 2.0\x7f"
            "0 0\x7f"
            "1.0 0\x7f"
            "0 2.0");
}

TEST_F(ItemLineTest, PadPinAndSignalEndings) {
  // The built-in symbols' pin: pin 0 with the signal "*".
  const Handle star = addPad(ctx, ring, 2, item::kSchematicPin, 0, 0, 590, 590, 0, "0", "*");
  EXPECT_EQ(line(star), "3 2 0 0 0 .009 .009 0 0 0 *\r\n");
  const Handle bare = addPad(ctx, ring, 2, item::kSchematicPin, 0, 0, 590, 590, 0, "0");
  EXPECT_EQ(line(bare), "3 2 0 0 0 .009 .009 0 0 0\r\n");
  const Handle named = addPad(ctx, ring, 0, item::kOvalThru, kInch, 0, 4000, 4000, 2300, "A1", "VCC");
  item::setPad(ctx.rec(named), 3932, 3932, 2294, 16384);
  EXPECT_EQ(line(named), "3 0 1 1.0 0 .06 .06 .035 90 A1 VCC\r\n");
}

TEST_F(ItemLineTest, CompactPadCarriesSignalOnlyOnThroughPadsOffLayerZero) {
  const Handle thru = addPad(ctx, ring, 3, item::kOvalThru, 0, 0, 3932, 3932, 0, "1", "N1");
  const Handle smt = addPad(ctx, ring, 3, item::kRectSmt, 0, 0, 3932, 3932, 0, "2", "N2");
  const Handle layer0 = addPad(ctx, ring, 0, item::kOvalThru, 0, 0, 3932, 3932, 0, "3", "N3");
  EXPECT_EQ(compact(thru), "3 3 1 0 0 .06 .06 0 0 1 N1");
  EXPECT_EQ(compact(smt), "3 3 6 0 0 .06 .06 0 0 2");
  EXPECT_EQ(compact(layer0), "3 0 1 0 0 .06 .06 0 0 3");
}

TEST_F(ItemLineTest, ArcAnglesEccentricityAndSignal) {
  const Handle h = addArc(ctx, ring, 7, 655, kInch, kInch, kInch / 2, 16384, 32768, 32768, 91);
  EXPECT_EQ(line(h), "2 7 .01 1.0 1.0 .5 90 180 .5 .50\r\n");
  attachSignal(ctx, h, "CLK");
  EXPECT_EQ(line(h), "2 7 .01 1.0 1.0 .5 90 180 .5 .50 CLK\r\n");
  EXPECT_EQ(compact(h), "2 7 .01 1.0 1.0 .5 90 180 .5 .50");
  // The extension of an arc with a negative radius is no signal reference.
  ctx.rec(h).w3 = -kInch / 2;
  EXPECT_EQ(line(h), "2 7 .01 1.0 1.0 -.5 90 180 .5 .50\r\n");
}

TEST_F(ItemLineTest, TextAsStoredAndEmptyTextNotWritten) {
  const Handle h = addText(ctx, ring, 1, 3932, kInch / 2, kInch / 2,
                           "R1\x7f"
                           "10K",
                           16384, 0x15);
  item::setText(ctx.rec(h), kInch, 16384, 0x15);
  EXPECT_EQ(line(h),
            "4 1 .06 .5 .5 1.0 90 5 1 R1\x7f"
            "10K\r\n");
  const Handle mirrored = addText(ctx, ring, 12, 3932, 0, 0, "B\xf8");
  item::setText(ctx.rec(mirrored), -kInch, 0, 0xF0);
  EXPECT_EQ(line(mirrored), "4 12 .06 0 0 -1.0 0 0 15 B\xf8\r\n");
  const Handle empty = addText(ctx, ring, 1, 3932, 0, 0, "");
  std::string out = "keep";
  writeItemLine(ctx, empty, out, 0, 0, false);
  EXPECT_EQ(out, "keep");
  // On a Schematic layer the text is a signal name record.
  const Handle net = addText(ctx, ring, 2, 3932, 0, 0, "");
  attachSignal(ctx, net, "DATA0");
  EXPECT_EQ(line(net), "4 2 .06 0 0 0 0 0 0 DATA0\r\n");
}

TEST_F(ItemLineTest, LineEndsInsideTextCannotSplitTheLine) {
  const Handle h = addText(ctx, ring, 1, 3932, 0, 0, "A\r\n1 3 0 0 0 0 0");
  item::setText(ctx.rec(h), kInch, 0, 0);
  EXPECT_EQ(line(h),
            "4 1 .06 0 0 1.0 0 0 0 A\xff\xff"
            "1 3 0 0 0 0 0\r\n");
}

TEST_F(ItemLineTest, ComponentHeaderAndEndLine) {
  Handle header = kNull;
  const Handle s = addComponent(ctx, ring, 1, kInch, kInch,
                                "U1\x7f"
                                "74HC00\x7f"
                                "DIP14  \x7f\x7f",
                                &header);
  ctx.rec(header).size = 16384;
  EXPECT_EQ(line(header),
            "6 1 90 1.0 1.0 1.5 1.25 U1\x7f"
            "74HC00\x7f"
            "DIP14\r\n");
  EXPECT_EQ(line(s), "0 6 0 1.0 1.0\r\n");
  EXPECT_EQ(line(s, kInch, kInch), "0 6 0 0 0\r\n");
  EXPECT_EQ(compact(header, kInch, kInch),
            "6 1 90 0 0 .5 .25 U1\x7f"
            "74HC00\x7f"
            "DIP14");
}

TEST_F(ItemLineTest, ReservedItemKeepsItsNumberAndContainerItsName) {
  const Handle r = createItem(ctx.pool, ring, kReserved, 4, 5 << 8, kInch / 2, kInch / 2, kInch, kInch, kNull);
  storeText(ctx, r, "note");
  EXPECT_EQ(line(r), "5 4 5 .5 .5 1.0 1.0 note\r\n");
  // The origin moves the first point only.
  EXPECT_EQ(line(r, kInch / 2, kInch / 2), "5 4 5 0 0 1.0 1.0 note\r\n");

  const Handle c = createItem(ctx.pool, ring, kContainer, 7, 3, 0, 0, kInch, kInch, kNull);
  const Handle s = newRing(ctx.pool, kComponentRing);
  ctx.rec(c).ext = s;
  storeText(ctx, s, "sheet\x7f");
  EXPECT_EQ(line(c), "7 7 3 0 0 1.0 1.0 sheet\r\n");
}

TEST_F(ItemLineTest, LibraryLayersUseKindAndInitial) {
  EXPECT_EQ(library(addLine(ctx, ring, 12, 655, 0, 0, kInch, 0)), "1 CB .01 0 0 1.0 0\r\n");
  EXPECT_EQ(library(addLine(ctx, ring, 1, 655, 0, 0, kInch, 0)), "1 ST .01 0 0 1.0 0\r\n");
  EXPECT_EQ(library(addLine(ctx, ring, 13, 655, 0, 0, kInch, 0)), "1 MB .01 0 0 1.0 0\r\n");
  // Layer 0, drawing layers and layers without a name stay numbers.
  EXPECT_EQ(library(addPad(ctx, ring, 0, item::kRoundVia, 0, 0, 590, 590, 0, "0")), "3 0 3 0 0 .009 .009 0 0 0\r\n");
  EXPECT_EQ(library(addLine(ctx, ring, 7, 655, 0, 0, kInch, 0)), "1 7 .01 0 0 1.0 0\r\n");
  EXPECT_EQ(library(addLine(ctx, ring, 40, 655, 0, 0, kInch, 0)), "1 40 .01 0 0 1.0 0\r\n");
}

}  // namespace
}  // namespace trelmo::testing
