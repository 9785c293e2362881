// The canvas shows exactly what the core draws, at every buffer depth, and a
// resize draws only the uncovered strips without leaving stale pixels.
#include "app/canvas.h"

#include <gtest/gtest.h>

#include <vector>

#include "app_test_support.h"
#include "context.h"
#include "screen/draw_items.h"
#include "screen/redraw.h"
#include "screen/view.h"
#include "shell/file_functions.h"

namespace trelmo::app {
namespace {

using testing::demoBoard;
using testing::waitFor;

void showAt(Canvas& canvas, int w, int h) {
  canvas.resize(w, h);
  canvas.show();
  ASSERT_TRUE(waitFor([&] { return canvas.image().size() == QSize(w, h); }));
}

class CanvasDepth : public ::testing::TestWithParam<QImage::Format> {};

TEST_P(CanvasDepth, ShowsTheCoreDrawingInItsTrueColours) {
  Context ctx;
  ASSERT_TRUE(openFileByName(ctx, demoBoard(), 0));
  Canvas canvas(ctx, GetParam());
  showAt(canvas, 320, 240);
  zoomExtents(ctx);
  canvas.redrawDesign();

  // The same view drawn by the core into memory of its own.
  Context ref;
  ASSERT_TRUE(openFileByName(ref, demoBoard(), 0));
  const PixelFormat pf = Canvas::pixelFormatFor(GetParam());
  const int pitch = (320 * pf.bytesPerPixel() + 3) & ~3;
  std::vector<uint8_t> pixels(static_cast<size_t>(pitch) * 240);
  attachSurface(ref, pixels.data(), pitch, 320, 240, pf, true);
  zoomExtents(ref);
  refreshScreenPixels(ref);
  drawDesign(ref, true);

  const Rect area = canvas.drawingArea();
  ASSERT_EQ(area, ref.view.area);
  int differences = 0, inked = 0;
  const uint32_t background = pixelToColour(pf, ref.screen.backgroundPixel);
  for (int y = area.top; y <= area.bottom; ++y) {
    for (int x = area.left; x <= area.right; ++x) {
      const uint32_t want = pixelToColour(pf, ref.screen.surface.pixelAt(x, y));
      const uint32_t shown = canvas.image().pixel(x, y) & 0xFFFFFF;
      differences += shown != want;
      inked += want != background;
    }
  }
  EXPECT_EQ(differences, 0);
  EXPECT_GT(inked, 500) << "the demo board should cover part of the view";
}

INSTANTIATE_TEST_SUITE_P(Formats, CanvasDepth,
                         ::testing::Values(QImage::Format_RGB32, QImage::Format_RGB16, QImage::Format_RGB555,
                                           QImage::Format_BGR888, QImage::Format_Indexed8));

TEST(ExposedStrips, OnlyTheNewEdgesOfAGrownArea) {
  const Rect before{0, 0, 99, 49};
  EXPECT_TRUE(exposedStrips(before, before).empty());
  EXPECT_TRUE(exposedStrips(before, {0, 0, 80, 40}).empty());  // shrinking uncovers nothing
  EXPECT_EQ(exposedStrips(before, {0, 0, 129, 49}), (std::vector<Rect>{{100, 0, 129, 49}}));
  EXPECT_EQ(exposedStrips(before, {0, 0, 99, 69}), (std::vector<Rect>{{0, 50, 99, 69}}));
  // Both edges: the corner belongs to the right strip only.
  EXPECT_EQ(exposedStrips(before, {0, 0, 129, 69}), (std::vector<Rect>{{100, 0, 129, 69}, {0, 50, 99, 69}}));
  // Narrower but taller: the bottom strip stops at the new right edge.
  EXPECT_EQ(exposedStrips(before, {0, 0, 59, 69}), (std::vector<Rect>{{0, 50, 59, 69}}));
  EXPECT_EQ(exposedStrips(Rect{}, {0, 0, 9, 9}), (std::vector<Rect>{{0, 0, 9, 9}}));
}

// The example board on a settled 300 x 200 canvas, as `plain`.
struct SettledCanvas : ::testing::Test {
  Context ctx;
  Canvas canvas{ctx};
  QImage plain;
  void SetUp() override {
    ASSERT_TRUE(openFileByName(ctx, demoBoard(), 0));
    showAt(canvas, 300, 200);
    zoomExtents(ctx);
    canvas.redrawDesign();
    // The engine settles some text on the first redraw after a zoom (it keeps
    // measures in the records): start from a settled picture.
    canvas.redrawDesign();
    plain = canvas.image().copy();
  }
};

TEST_F(SettledCanvas, ResizeDrawsOnlyTheUncoveredStripsAndMatchesAFullRedraw) {
  // Taller: the picture stays where it was and the new rows are drawn.
  // (Repeated net labels are spaced by the screen width, so only a change of
  // height can be compared with a full redraw pixel for pixel.)
  Rect before = canvas.drawingArea();
  showAt(canvas, 300, 250);
  Rect after = canvas.drawingArea();
  EXPECT_EQ(after.bottom, 250 - kStatusBarRows - 1);
  EXPECT_EQ(canvas.lastDrawn(), exposedStrips(before, after));
  const QImage incremental = canvas.image().copy();
  canvas.redrawDesign();  // everything, from scratch
  EXPECT_EQ(canvas.lastDrawn(), (std::vector<Rect>{after}));
  int stale = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < 250; ++y)
    for (int x = 0; x < 300; ++x)
      if (incremental.pixel(x, y) != canvas.image().pixel(x, y) && stale++ == 0) firstX = x, firstY = y;
  EXPECT_EQ(stale, 0) << "stale or missing pixels, the first at " << firstX << "," << firstY;

  // Wider and taller: both new edges, nothing else.
  before = after;
  showAt(canvas, 380, 270);
  after = canvas.drawingArea();
  EXPECT_EQ(after.right, 379);
  EXPECT_EQ(canvas.lastDrawn(), exposedStrips(before, after));
}

TEST(CanvasLifetime, TheCoreNeverKeepsTheBufferOfADeletedCanvas) {
  Context ctx;
  {
    Canvas canvas(ctx);
    showAt(canvas, 100, 80);
    EXPECT_TRUE(ctx.screen.surface.valid());
  }
  EXPECT_FALSE(ctx.screen.surface.valid());
  drawDesign(ctx, true);  // must not touch freed memory
}

TEST_F(SettledCanvas, CrossHairDrawnByExclusiveOrAndRemovedWithoutATrace) {
  ctx.view.cursorPixelX = 120, ctx.view.cursorPixelY = 80;

  canvas.setCrossHair(true);
  EXPECT_TRUE(canvas.crossHairDrawn());
  EXPECT_NE(canvas.image().pixel(5, 80), plain.pixel(5, 80));
  EXPECT_NE(canvas.image().pixel(120, 5), plain.pixel(120, 5));

  // A redraw under the cross-hair leaves exactly one cross-hair.
  const QImage with = canvas.image().copy();
  canvas.redrawDesign();
  EXPECT_TRUE(with == canvas.image());

  // Moving it leaves nothing at the old place; switching it off restores all.
  ctx.view.cursorPixelX = 200, ctx.view.cursorPixelY = 40;
  canvas.followCursor();
  EXPECT_EQ(canvas.image().pixel(5, 80), plain.pixel(5, 80));
  canvas.setCrossHair(false);
  EXPECT_FALSE(canvas.crossHairDrawn());
  EXPECT_TRUE(plain == canvas.image());
}

// A first corner turns the cross-hair into the rubber rectangle; moving the
// cursor redraws it, and taking the corner away leaves no trace of it.
TEST_F(SettledCanvas, RubberRectangleFollowsTheCursorAndGoesCleanly) {
  ctx.view.cursorX = pixelToWorldX(ctx.view, 60), ctx.view.cursorY = pixelToWorldY(ctx.view, 50);
  updateCursorPixel(ctx.view);
  ctx.screen.rubber = {true, ctx.view.cursorX, ctx.view.cursorY};
  ctx.view.cursorX = pixelToWorldX(ctx.view, 200), ctx.view.cursorY = pixelToWorldY(ctx.view, 150);
  updateCursorPixel(ctx.view);
  canvas.setCrossHair(true);
  const int64_t cx = worldToPixelX(ctx.view, ctx.screen.rubber.x), cy = worldToPixelY(ctx.view, ctx.screen.rubber.y);
  const int64_t x = ctx.view.cursorPixelX, y = ctx.view.cursorPixelY;
  const int midX = static_cast<int>((cx + x) / 2), midY = static_cast<int>((cy + y) / 2);
  EXPECT_NE(canvas.image().pixel(midX, static_cast<int>(cy)), plain.pixel(midX, static_cast<int>(cy))) << "top side";
  EXPECT_NE(canvas.image().pixel(static_cast<int>(x), midY), plain.pixel(static_cast<int>(x), midY)) << "right side";

  ctx.view.cursorX = pixelToWorldX(ctx.view, 150), ctx.view.cursorY = pixelToWorldY(ctx.view, 100);
  updateCursorPixel(ctx.view);
  canvas.followCursor();
  EXPECT_EQ(canvas.image().pixel(static_cast<int>(x), midY), plain.pixel(static_cast<int>(x), midY))
      << "the old right side is gone";
  ctx.screen.rubber.on = false;
  canvas.followCursor();  // back to the plain cross-hair
  canvas.setCrossHair(false);
  EXPECT_TRUE(plain == canvas.image());
}

}  // namespace
}  // namespace trelmo::app
