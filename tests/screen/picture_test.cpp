#include <gtest/gtest.h>

#include "image/display.h"
#include "screen_fixture.h"

namespace trelmo::test {
namespace {

class Picture : public ScreenTest {
 protected:
  Picture() : canvas(120, 90, PixelFormat::depth(24)) {}
  void SetUp() override {
    ScreenTest::SetUp();
    attach(canvas);
    viewAt100Dpi();
    ctx.params.backgroundColor = 0x000080;
    refreshScreenPixels(ctx);
  }
  // A grey picture whose top-left corner lies at pixel (10, 10) of the view.
  std::unique_ptr<PixelImage> grey(uint32_t w, uint32_t h, uint32_t dpi) {
    auto img = makeImage(w, h, 0, dpi);
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) img->row(y)[x] = static_cast<uint8_t>(16 * y + x);
    int32_t x0 = kInch / 10, y1 = pixelToWorldY(ctx.view, 10);
    img->setI32(32, x0), img->setI32(44, y1);
    img->setI32(40, x0 + static_cast<int32_t>(int64_t{w} * kInch / dpi));
    img->setI32(36, y1 - static_cast<int32_t>(int64_t{h} * kInch / dpi));
    return img;
  }
  void show(const PixelImage& img, Rect r = {0, 0, 119, 89}) {
    ctx.screen.surface.setClip(ctx.screen.surface.bounds());
    ctx.screen.surface.fillRect(ctx.screen.backgroundPixel, 0, 0, 119, 89);
    drawPicture(ctx, img, r);
  }
  Canvas canvas;
};

TEST_F(Picture, GreyValuesShowUnchangedOnA24BitScreen) {
  auto img = grey(4, 4, 100);
  show(*img);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      uint32_t g = 16 * y + x;
      EXPECT_EQ(colourAt(10 + x, 10 + y), (g << 16) | (g << 8) | g) << x << "," << y;
    }
  EXPECT_EQ(colourAt(14, 10), 0x000080u);  // nothing beyond the last column
  EXPECT_EQ(colourAt(10, 14), 0x000080u);
  // The translation table (gamma) is applied.
  img->translation()[5] = 200;
  show(*img);
  EXPECT_EQ(colourAt(15 - 0, 10), 0x000080u);
  EXPECT_EQ(colourAt(10 + 1, 10 + 0), 0x010101u);
}

TEST_F(Picture, MagnifiedPixelsRepeatAndCentreWithTheEditorOpen) {
  auto img = grey(4, 4, 10);  // ten screen pixels per picture pixel
  show(*img);
  EXPECT_EQ(colourAt(10, 10), 0u);
  EXPECT_EQ(colourAt(19, 19), 0u);
  EXPECT_EQ(colourAt(20, 10), 0x010101u);
  EXPECT_EQ(colourAt(49, 49), 0x333333u);
  EXPECT_EQ(colourAt(50, 50), 0x000080u);
  ctx.screen.imageEditorOpen = true;  // blocks move half a picture pixel up and left
  show(*img);
  EXPECT_EQ(colourAt(5, 5), 0u);
  EXPECT_EQ(colourAt(15, 5), 0x010101u);
  EXPECT_EQ(colourAt(14, 5), 0u);
}

TEST_F(Picture, ADirtyRectangleCuttingThePictureStartsAtTheRightColumn) {
  auto img = grey(16, 16, 50);  // two screen pixels per picture pixel
  show(*img);
  std::vector<uint32_t> full = surfaceColours(ctx.screen.surface);
  show(*img, {23, 17, 60, 40});
  std::vector<uint32_t> part = surfaceColours(ctx.screen.surface);
  for (int y = 17; y <= 40; ++y)
    for (int x = 23; x <= 41; ++x) ASSERT_EQ(part[y * 120 + x], full[y * 120 + x]) << x << "," << y;
  EXPECT_EQ(part[16 * 120 + 30], 0x000080u);  // above the rectangle: untouched
}

TEST_F(Picture, RowsComeInThirtyTwoInterlacedPassesAndZoomInputStopsThem) {
  std::vector<int> phases;
  int p = 0;
  do {
    phases.push_back(p);
    p = nextPicturePhase(p);
  } while (p != 0);
  EXPECT_EQ(phases, (std::vector<int>{0,  7,  10, 25, 4,  27, 14, 13, 8,  15, 18, 1,  12, 3,  22, 21,
                                      16, 23, 26, 9,  20, 11, 30, 29, 24, 31, 2,  17, 28, 19, 6,  5}));
  auto img = grey(8, 70, 100);
  for (uint32_t y = 0; y < 70; ++y) img->row(y)[0] = 255;
  int passes = 0;
  ctx.screen.zoomPending = [&] { return ++passes == 2; };
  show(*img);
  EXPECT_EQ(passes, 2);
  for (int row = 0; row < 70; ++row) {
    bool drawn = colourAt(10, 10 + row) == 0xFFFFFFu;
    EXPECT_EQ(drawn, row % 32 == 0 || row % 32 == 7) << row;  // phases 0 and 7 only
  }
}

TEST_F(Picture, KindsAndTheirColourRules) {
  EXPECT_EQ(colourCubeEntry(20 + 36 * 1 + 6 * 2 + 3), 0x336699u);
  EXPECT_EQ(colourCubeEntry(11), 0u);
  EXPECT_EQ(colourCubeEntry(19), 0x707070u);
  EXPECT_EQ(colourCubeEntry(236), 0x808080u);
  EXPECT_EQ(colourCubeEntry(243), 0xF0F0F0u);
  EXPECT_EQ(colourCubeEntry(250), 0u);
  auto cube = grey(4, 4, 100);
  cube->setU32(28, 1);
  cube->row(0)[0] = 20 + 36 * 5;
  show(*cube);
  EXPECT_EQ(colourAt(10, 10), 0xFF0000u);
  auto own = grey(4, 4, 100);
  own->setU32(28, 2);
  own->setPaletteEntry(0, 0x123456);
  show(*own);
  EXPECT_EQ(colourAt(10, 10), 0x123456u);
  auto colour = makeImage(4, 4, 3, 100);
  colour->setI32(32, kInch / 10), colour->setI32(44, pixelToWorldY(ctx.view, 10));
  colour->row(0)[0] = 0x11, colour->row(0)[1] = 0x22, colour->row(0)[2] = 0x33;  // blue, green, red
  show(*colour);
  EXPECT_EQ(colourAt(10, 10), 0x332211u);
}

TEST_F(Picture, BrokenPicturesDrawNothing) {
  auto wrongDepth = grey(4, 4, 100);
  wrongDepth->setU32(28, 3);  // colour kind with 8 bits per pixel
  auto truncated = grey(64, 64, 100);
  truncated->block.resize(kImageHeaderSize + 100);
  auto noResolution = grey(4, 4, 100);
  noResolution->setU32(20, 0);
  auto hugeStride = grey(4, 4, 100);
  hugeStride->setU32(8, 0x40000000);
  for (const PixelImage* img : {wrongDepth.get(), truncated.get(), noResolution.get(), hugeStride.get()}) {
    show(*img);
    EXPECT_EQ(countColour(0x000080), 120 * 90);
    EXPECT_TRUE(canvas.guardsIntact());
  }
}

TEST_F(Picture, EightAndSixteenBitScreensGetNearbyColours) {
  auto colour = makeImage(2, 1, 3, 100);
  colour->setI32(32, kInch / 10), colour->setI32(44, pixelToWorldY(ctx.view, 10));
  uint8_t* p = colour->row(0);
  p[0] = 0x40, p[1] = 0x80, p[2] = 0xC0, p[3] = 0xFF, p[4] = 0xFF, p[5] = 0xFF;
  for (PixelFormat f : {PixelFormat::depth(8), PixelFormat::rgb565(), PixelFormat::rgb555(), PixelFormat::depth(32)}) {
    Canvas c(40, 30, f);
    attach(c);
    ctx.view.viewScale = 100u << 16;
    colour->setI32(44, pixelToWorldY(ctx.view, 10));
    drawPicture(ctx, *colour, {0, 0, 39, 29});
    uint32_t got = colourAt(10, 10);
    EXPECT_NEAR(static_cast<int>(got >> 16), 0xC0, 26) << f.bitsPerPixel;
    EXPECT_NEAR(static_cast<int>((got >> 8) & 255), 0x80, 26) << f.bitsPerPixel;
    EXPECT_NEAR(static_cast<int>(got & 255), 0x40, 26) << f.bitsPerPixel;
    EXPECT_EQ(colourAt(11, 10), 0xFFFFFFu);
    EXPECT_TRUE(c.guardsIntact());
  }
}

}  // namespace
}  // namespace trelmo::test
