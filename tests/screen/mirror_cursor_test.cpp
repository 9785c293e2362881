#include <gtest/gtest.h>

#include <vector>

#include "screen/mirror_view.h"
#include "screen_fixture.h"

namespace trelmo::test {
namespace {

class MirrorView : public ScreenTest {
 protected:
  MirrorView() : canvas(200, 150, PixelFormat::depth(32)) {}
  void SetUp() override {
    ScreenTest::SetUp();
    attach(canvas);
    viewAt100Dpi();
  }
  std::vector<uint32_t> snapshot() {
    std::vector<uint32_t> v;
    for (int y = 0; y < canvas.height; ++y)
      for (int x = 0; x < canvas.width; ++x) v.push_back(colourAt(x, y));
    return v;
  }
  Canvas canvas;
};

TEST_F(MirrorView, ItemsFlipWithTheirOrientation) {
  Handle l = line(1, 1000, 100, 5, 3000, 7);
  Handle a = arc(1, 500, 2000, 10, 9000, 1000, 4000);
  Handle e = arc(1, 500, 2000, 10, 9000, 1000, 4000, 30000, 2000);
  Handle p = pad(1, item::kRectThru, 4000, 2000, 1000, 5000, -300, 9);
  Handle t = text(3, 600, 4000, 50, "AB", 0x20 | 8 | 0, 3000, 900);
  Handle s = solid(1, {{10, 10}, {500, 10}, {500, 400}});
  ASSERT_TRUE(mirrorView(ctx));

  const Record& rl = ctx.rec(l);
  EXPECT_EQ(rl.x1, -100);
  EXPECT_EQ(rl.w3, -3000);
  EXPECT_EQ(rl.y1, 5);
  const Record& ra = ctx.rec(a);
  EXPECT_EQ(ra.x1, -2000);
  EXPECT_EQ(item::start(ra), 32768 - 5000);  // a circular arc ends where it began, reflected
  EXPECT_EQ(item::sweep(ra), 4000);
  const Record& re = ctx.rec(e);
  EXPECT_EQ(item::start(re), static_cast<uint16_t>(-5000));
  EXPECT_EQ(item::axisAngle(re), 32768 - 2000);
  EXPECT_EQ(item::eccentricity(re), 30000);
  EXPECT_EQ(ctx.rec(p).x1, 300);
  EXPECT_EQ(item::padAngle(ctx.rec(p)), 32768 - 5000);
  const Record& rt = ctx.rec(t);
  EXPECT_EQ(rt.x1, -4000);
  EXPECT_EQ(item::textAngle(rt), static_cast<uint16_t>(-3000));
  EXPECT_EQ(item::textAnchor(rt), 8 | 2);  // top left becomes top right
  EXPECT_EQ(item::textFont(rt), 2);
  EXPECT_GT(item::textLength(rt), 0);  // still reads left to right
  const Record& rs = ctx.rec(s);
  EXPECT_EQ(rs.x1, -500);
  EXPECT_EQ(rs.w3, -10);
  for (Handle v = rs.ext; v != kNull; v = ctx.rec(v).ext) EXPECT_LE(ctx.rec(v).x1, -10);
}

TEST_F(MirrorView, ComponentsFlipWithTheirRingsAndTwiceRestoresEverything) {
  Handle header = kNull;
  Handle ring = component(100, 200, 900, 800, "U1", &header);
  Handle inner = pad(1, item::kRoundVia, 500, 500, 200, 0, 700, 300, ring);
  Handle l = line(1, 1000, 100, 5, 3000, 7);
  ctx.view.cursorX = 1234;
  ctx.params.zeroX = 55;
  ASSERT_TRUE(mirrorView(ctx));
  EXPECT_EQ(ctx.rec(header).x1, -900);
  EXPECT_EQ(ctx.rec(header).w3, -100);
  EXPECT_EQ(ctx.rec(ring).x1, -100);  // the component origin
  EXPECT_EQ(ctx.rec(inner).x1, -700);
  EXPECT_EQ(ctx.view.cursorX, -1234);
  EXPECT_EQ(ctx.params.zeroX, -55);
  ASSERT_TRUE(mirrorView(ctx));
  EXPECT_EQ(ctx.rec(header).x1, 100);
  EXPECT_EQ(ctx.rec(inner).x1, 700);
  EXPECT_EQ(ctx.rec(l).w3, 3000);
  EXPECT_EQ(ctx.view.cursorX, 1234);
  EXPECT_EQ(ctx.view.viewOriginX, 0);
}

TEST_F(MirrorView, PictureMirrorsInPlace) {
  line(1, 2000, kInch / 4, kInch / 2, kInch, kInch / 2);  // 25..100 pixels of 200
  ASSERT_TRUE(drawDesign(ctx, true));
  std::vector<uint32_t> before = snapshot();
  ASSERT_TRUE(mirrorView(ctx));
  ctx.screen.dirty.clear();
  ASSERT_TRUE(drawDesign(ctx, true));
  std::vector<uint32_t> after = snapshot();
  const Rect& a = ctx.view.area;
  long mismatches = 0;
  for (int y = a.top; y <= a.bottom; ++y)
    for (int x = a.left; x <= a.right; ++x) {
      int mx = a.left + a.right - x;
      mismatches += before[y * canvas.width + x] != after[y * canvas.width + mx];
    }
  EXPECT_LE(mismatches, 2 * canvas.height);  // rounding may move an edge by a pixel
  EXPECT_EQ(colourAt(a.right - 60, 149 - 50), 0xAA0000u);
}

TEST_F(MirrorView, NoFileOpenIsRefused) {
  ctx.current = kNull;
  EXPECT_FALSE(mirrorView(ctx));
}

// ------------------------------------------------------------- cross-hair

class RubberRectangle : public ScreenTest {
 protected:
  RubberRectangle() : canvas(120, 90, PixelFormat::depth(32)) {}
  void SetUp() override {
    ScreenTest::SetUp();
    attach(canvas);
  }
  std::vector<uint8_t> bytes() { return canvas.memory; }
  Canvas canvas;
};

TEST_F(RubberRectangle, ShowsSidesAndDashedCrossHairAndVanishesWhenDrawnTwice) {
  Surface& s = ctx.screen.surface;
  s.fillRect(colourToPixel(s.format(), 0), 0, 0, 119, 89);
  std::vector<uint8_t> clean = bytes();
  Rect area{5, 5, 110, 80};
  s.xorRubberRectangle(20, 15, 70, 60, area);
  // All four sides, including the corners shared with the cross-hair lines.
  for (int x : {20, 45, 70}) {
    EXPECT_NE(colourAt(x, 15), 0u) << x;
    EXPECT_NE(colourAt(x, 60), 0u) << x;
  }
  for (int y : {15, 40, 60}) {
    EXPECT_NE(colourAt(20, y), 0u) << y;
    EXPECT_NE(colourAt(70, y), 0u) << y;
  }
  // Beyond the rectangle the cross-hair is dashed: 16 on, 16 off from 8 before the cursor.
  EXPECT_NE(colourAt(100, 60), 0u);  // 70 - 8 + 32 .. +47
  EXPECT_EQ(colourAt(85, 60), 0u);   // 70 - 8 + 16 .. +31
  EXPECT_EQ(colourAt(10, 40), 0u);   // inside neither a side nor the cross-hair
  EXPECT_EQ(colourAt(3, 60), 0u);    // outside the area
  s.xorRubberRectangle(20, 15, 70, 60, area);
  EXPECT_EQ(bytes(), clean);
}

TEST_F(RubberRectangle, WildCornersStayInsideTheArea) {
  Surface& s = ctx.screen.surface;
  Rect area{0, 0, 119, 89};
  std::vector<uint8_t> clean = bytes();
  for (int64_t c : {INT64_MIN / 4, int64_t{-5}, int64_t{500}, INT64_MAX / 4}) {
    s.xorRubberRectangle(c, -c, 30, 40, area);
    s.xorRubberRectangle(c, -c, 30, 40, area);
  }
  EXPECT_TRUE(canvas.guardsIntact());
  EXPECT_EQ(bytes(), clean);
}

// ------------------------------------------------------------------ text

TEST_F(MirrorView, FirstRedrawAlreadyUsesTheMeasuredLength) {
  ctx.params.drawText = kTextFilled;
  Handle t = text(3, 6 * 6553, kInch, kInch / 2, "BOTTOM", 1, 0, 5);  // centred, stale length
  ASSERT_TRUE(drawDesign(ctx, true));
  std::vector<uint32_t> first = snapshot();
  int32_t length = item::textLength(ctx.rec(t));
  ASSERT_TRUE(drawDesign(ctx, true));
  EXPECT_EQ(snapshot(), first);
  EXPECT_EQ(item::textLength(ctx.rec(t)), length);
  EXPECT_EQ(textLineCount(ctx.rec(t)), 1);
  Handle two = text(3, 600, kInch, kInch, "a\377b\377c", 0);
  drawDesign(ctx, true);
  EXPECT_EQ(textLineCount(ctx.rec(two)), 3);
}

}  // namespace
}  // namespace trelmo::test
