#include <gtest/gtest.h>

#include "screen_fixture.h"

namespace trelmo::test {
namespace {

View viewAt(uint32_t scale) {
  View v;
  v.viewScale = scale;
  v.screenWidth = 800, v.screenHeight = 600;
  v.area = {0, 0, 799, 577};
  return v;
}

TEST(Transform, WorldToPixelRoundsHalfUpAndFlipsY) {
  View v = viewAt(0x80000000u);  // half a pixel per unit
  v.viewOriginX = 100;
  EXPECT_EQ(worldToPixelX(v, 65536), 32768 - 100);
  EXPECT_EQ(worldToPixelX(v, 1), 1 - 100);   // 0.5 rounds up
  EXPECT_EQ(worldToPixelX(v, -1), 0 - 100);  // -0.5 rounds up too
  EXPECT_EQ(worldToPixelY(v, 0), 599);
  EXPECT_EQ(worldToPixelY(v, 2), 598);
  EXPECT_EQ(worldLengthToPixels(v, 65536), 32768);
}

TEST(Transform, PixelToWorldIsTheInverseAndSaturates) {
  View v = viewAt(100u << 16);
  v.viewOriginX = -400, v.viewOriginY = 37;
  for (int64_t px : {0, 1, 399, 799}) EXPECT_EQ(worldToPixelX(v, pixelToWorldX(v, px)), px);
  for (int64_t py : {0, 300, 599}) EXPECT_EQ(worldToPixelY(v, pixelToWorldY(v, py)), py);
  View tiny = viewAt(256);
  EXPECT_EQ(pixelToWorldX(tiny, 1000000), 0x7FFFFFFF);
  EXPECT_EQ(pixelToWorldX(tiny, -1000000), -0x7FFFFFFF);
  EXPECT_EQ(pixelLengthToWorld(tiny, 1 << 20), 0x7FFFFFFF);
}

TEST(Snap, TiesGoAwayFromTheZeroPoint) {
  const uint32_t snap = 214748365;  // 0.05 inch
  int32_t rem = 0;
  EXPECT_EQ(snapAxis(1000 + 1639, 1000, snap, &rem), 1000 + 3277);
  EXPECT_EQ(rem, 1639 - 3277);
  EXPECT_EQ(snapAxis(1000 + 1638, 1000, snap, &rem), 1000);
  EXPECT_EQ(rem, 1638);
  EXPECT_EQ(snapAxis(1000 - 1639, 1000, snap, &rem), 1000 - 3277);
  EXPECT_EQ(snapAxis(1000 - 1638, 1000, snap), 1000);
  EXPECT_EQ(snapAxis(12345, 0, 65535), 12345);  // below one unit: no snap
  // A third of an inch is exact: three snaps are one inch.
  EXPECT_EQ(snapAxis(65530, 0, 0x55555555u), 65536);
  EXPECT_EQ(snapAxis(INT32_MAX, -5, 1u << 31), INT32_MAX - 4);  // no wrap past the largest coordinate
}

TEST(Zoom, InOutPreviousAndLimits) {
  Params p{};
  View v = viewAt(100u << 16);
  v.cursorX = 3 * kInch, v.cursorY = kInch;
  uint32_t start = v.viewScale;
  EXPECT_TRUE(zoomIn(v));
  EXPECT_EQ(v.cursorPixelX, 400);  // the cursor is brought to the centre of the area
  EXPECT_EQ(v.cursorPixelY, 289);
  EXPECT_TRUE(zoomOut(v));
  EXPECT_NEAR(static_cast<double>(v.viewScale), static_cast<double>(start), 2.0);
  View before = v;
  EXPECT_TRUE(zoomIn(v));
  EXPECT_TRUE(zoomPrevious(v, p));
  EXPECT_EQ(v.viewScale, before.viewScale);
  EXPECT_EQ(v.viewOriginX, before.viewOriginX);
  EXPECT_TRUE(zoomPrevious(v, p));
  EXPECT_TRUE(zoomPrevious(v, p));
  EXPECT_EQ(v.viewScale, before.viewScale);
  EXPECT_EQ(v.viewOriginY, before.viewOriginY);
  v.viewScale = kMaxViewScale;
  EXPECT_FALSE(zoomIn(v));
  EXPECT_EQ(v.viewScale, kMaxViewScale);
  v.viewScale = v.minViewScale;
  EXPECT_FALSE(zoomOut(v));
  EXPECT_EQ(v.viewScale, v.minViewScale);
  View none = viewAt(1000);
  EXPECT_FALSE(zoomPrevious(none, p));
}

TEST(Zoom, FittingARectangle) {
  Params p{};
  View v = viewAt(100u << 16);
  // Smaller than the area in pixels: the maximum scale.
  zoomToRectangle(v, p, 0, 0, 100, 100, true);
  EXPECT_EQ(v.viewScale, kMaxViewScale);
  // Ten inches wide on 800 - 7 pixels; the height allows more.
  zoomToRectangle(v, p, 0, 0, 10 * kInch, kInch, true);
  EXPECT_EQ(v.viewScale, static_cast<uint32_t>((uint64_t{792} << 32) / (10 * kInch)));
  EXPECT_EQ(v.cursorX, 5 * kInch);
  EXPECT_EQ(worldToPixelX(v, 5 * kInch), 400);
  // A huge rectangle stops at the fitting minimum.
  zoomToRectangle(v, p, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, true);
  EXPECT_GE(v.viewScale, kFitMinScale);
  EXPECT_LT(v.viewScale, 1000u);
  EXPECT_EQ(v.cursorX, 5 * kInch);  // the old cursor is still in view: it stays
}

TEST(Zoom, LayerSteppingSkipsUnnamedAndDisabledLayers) {
  Params p{};
  nameLayer(p, 2, "Two", kCopper, 0xFF0000);
  nameLayer(p, 3, "-", kCopper, 0xFF0000);
  nameLayer(p, 4, "Hidden", kCopper, 0xFF0000 | kColorDisabled);
  nameLayer(p, 6, "Six", kSilk, 0x00FF00);
  p.currentLayer = 2;
  EXPECT_TRUE(stepLayer(p, 1));
  EXPECT_EQ(p.currentLayer, 6);
  EXPECT_FALSE(stepLayer(p, 1));
  EXPECT_EQ(p.currentLayer, 6);
  EXPECT_TRUE(stepLayer(p, -1));
  EXPECT_EQ(p.currentLayer, 2);
}

TEST(Readouts, CoordinatesInInchesAndMillimetres) {
  EXPECT_EQ(formatReadout(65536, -2, 65536), "    25.40   ");
  EXPECT_EQ(formatReadout(65536, 4, 65536), "     1.0000 ");
  EXPECT_EQ(formatReadout(-98304, 3, 65536), "    -1.500  ");
  EXPECT_EQ(formatReadout(0, 0, 65536), "     0.     ");
  EXPECT_EQ(formatReadout(-1000 * 65536, 1, 65536), " -1000.0    ");
  // The readout factor scales the value (16.16).
  EXPECT_EQ(formatReadout(65536, 2, 2 * 65536), "     2.00   ");
}

TEST(Readouts, GridFieldShowsFractionsOrTheNumericSnap) {
  Params p{};
  View v = viewAt(1 << 20);
  p.units = 3;
  p.snapStep = 214748365;  // 0.05 inch
  EXPECT_EQ(gridReadout(v, p), "Grid: 0.050\"  ");
  std::snprintf(p.snapTable[0], sizeof p.snapTable[0], "1/20\"");
  EXPECT_EQ(gridReadout(v, p), "Grid: 1/20\"  ");
  v.snapMode = 1;
  EXPECT_EQ(gridReadout(v, p), "Grid: 1/20\"*  ");
  v.snapMode = 2;
  EXPECT_EQ(gridReadout(v, p), "Grid: 1/20\"#  ");
}

TEST(CursorEntry, RelativeAbsoluteAndUnits) {
  Params p{};
  p.units = 4;
  View v = viewAt(1 << 20);
  v.cursorX = 2 * kInch, v.cursorY = 2 * kInch;
  int32_t x, y;
  ASSERT_TRUE(parseCursorEntry("+0.1,-0.1", v, p, x, y));
  EXPECT_EQ(x, 2 * kInch + 6554);
  EXPECT_EQ(y, 2 * kInch - 6554);
  p.zeroX = 1000, p.zeroY = -1000;
  ASSERT_TRUE(parseCursorEntry("1,2", v, p, x, y));
  EXPECT_EQ(x, 1000 + kInch);
  EXPECT_EQ(y, -1000 + 2 * kInch);
  ASSERT_TRUE(parseCursorEntry("25.4mm,1+.5", v, p, x, y));
  EXPECT_EQ(x, 1000 + kInch);
  EXPECT_EQ(y, -1000 + kInch + kInch / 2);
  EXPECT_FALSE(parseCursorEntry("abc", v, p, x, y));
  EXPECT_FALSE(parseCursorEntry("1", v, p, x, y));
  ASSERT_TRUE(parseCursorEntry("99999999,-99999999", v, p, x, y));  // saturates, never wraps
  EXPECT_GT(x, 0);
}

}  // namespace
}  // namespace trelmo::test
