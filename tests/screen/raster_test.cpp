#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "screen_fixture.h"

namespace trelmo::test {
namespace {

const PixelFormat kFormats[] = {PixelFormat::depth(8), PixelFormat::rgb565(), PixelFormat::rgb555(),
                                PixelFormat::depth(24), PixelFormat::depth(32)};

int64_t wildCoordinate(std::mt19937_64& rng) {
  static const int64_t extremes[] = {0,
                                     -1,
                                     1,
                                     36,
                                     37,
                                     -100000,
                                     100000,
                                     INT32_MAX,
                                     INT32_MIN,
                                     int64_t{1} << 40,
                                     -(int64_t{1} << 40),
                                     INT64_MAX / 4,
                                     INT64_MIN / 4};
  switch (rng() % 3) {
    case 0:
      return extremes[rng() % std::size(extremes)];
    case 1:
      return static_cast<int64_t>(rng() % 200) - 80;
    default:
      return static_cast<int64_t>(rng() % 60) - 10;
  }
}

TEST(Raster, RandomPrimitivesNeverWriteOutsideTheClipRectangle) {
  std::mt19937_64 rng(12345);
  for (const PixelFormat& f : kFormats) {
    Canvas c(37, 23, f, 3);
    Surface s;
    s.attach(c.pixels(), c.pitch, c.width, c.height, f);
    for (int round = 0; round < 400; ++round) {
      std::vector<uint8_t> before = c.memory;
      Rect clip{static_cast<int>(rng() % 50) - 10, static_cast<int>(rng() % 30) - 5, static_cast<int>(rng() % 50),
                static_cast<int>(rng() % 30)};
      s.setClip(clip);
      Rect eff = s.clip();
      uint32_t px = static_cast<uint32_t>(rng()) & 0xFFFFFF;
      if (rng() % 2) px = colourToPixel(f, px, true);
      int64_t a = wildCoordinate(rng), b = wildCoordinate(rng), d = wildCoordinate(rng), e = wildCoordinate(rng);
      double w = static_cast<double>(rng() % 40);
      switch (round % 8) {
        case 0:
          s.line(px, a, b, d, e);
          break;
        case 1:
          s.thickLine(px, w, a, b, d, e);
          break;
        case 2:
          s.trackOutline(px, w, a, b, d, e);
          break;
        case 3:
          s.circle(px, std::abs(wildCoordinate(rng)) % (int64_t{1} << 41), a, b);
          break;
        case 4:
          s.circleOutline(px, std::abs(wildCoordinate(rng)) % (int64_t{1} << 41), a, b);
          break;
        case 5:
          s.fillPolygon(px, {{a, b}, {d, e}, {wildCoordinate(rng), wildCoordinate(rng)}}, rng() % 2);
          break;
        case 6:
          s.fillRect(px, a, b, d, e);
          break;
        default:
          s.fillSpan(px, a, b, d);
          break;
      }
      ASSERT_TRUE(c.guardsIntact()) << "bpp " << f.bitsPerPixel << " round " << round;
      // Every byte outside the clip rectangle (including row padding) is untouched.
      for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.pitch; ++x) {
          int px_x = x / f.bytesPerPixel();
          bool inside = !eff.empty() && y >= eff.top && y <= eff.bottom && px_x >= eff.left && px_x <= eff.right &&
                        x < c.width * f.bytesPerPixel();
          size_t i = kGuard + static_cast<size_t>(y) * c.pitch + x;
          if (!inside) {
            ASSERT_EQ(c.memory[i], before[i]) << "bpp " << f.bitsPerPixel << " round " << round;
          }
        }
    }
  }
}

TEST(Raster, ExclusiveOrTwiceRestoresThePicture) {
  for (const PixelFormat& f : kFormats) {
    Canvas c(40, 30, f);
    Surface s;
    s.attach(c.pixels(), c.pitch, c.width, c.height, f);
    std::mt19937 rng(7);
    for (auto& b : c.memory) b = static_cast<uint8_t>(rng());
    std::vector<uint8_t> before = c.memory;
    uint32_t x = colourToPixel(f, kXorColour, true);
    for (int pass = 0; pass < 2; ++pass) {
      s.thickLine(x, 7, 3, 4, 30, 20);
      s.circle(x, 9, 20, 15);
      s.fillPolygon(x, {{0, 0}, {39, 5}, {10, 29}});
      s.line(x, 0, 29, 39, 0);
      s.xorCrossHair(17, 11, s.bounds(), true);
    }
    EXPECT_EQ(c.memory, before) << "bpp " << f.bitsPerPixel;
  }
}

class RasterShapes : public ::testing::Test {
 protected:
  RasterShapes() : c(64, 48, PixelFormat::depth(32)) { s.attach(c.pixels(), c.pitch, c.width, c.height, c.format); }
  long count() const {
    long n = 0;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) n += s.pixelAt(x, y) != 0;
    return n;
  }
  Canvas c;
  Surface s;
};

TEST_F(RasterShapes, ThickLineHasItsWidthAndRoundEnds) {
  std::fill(c.memory.begin() + kGuard, c.memory.end() - kGuard, 0);
  s.thickLine(0xFFFFFF, 5, 10, 20, 50, 20);
  for (int y = 15; y <= 25; ++y) EXPECT_EQ(s.pixelAt(30, y) != 0, y >= 18 && y <= 22) << y;
  EXPECT_NE(s.pixelAt(12, 20), 0u);  // the round end reaches beyond the end point on the axis
  EXPECT_EQ(s.pixelAt(8, 18), 0u);   // but not into the corners of a square end
  EXPECT_EQ(s.pixelAt(52, 22), 0u);
}

TEST_F(RasterShapes, DiscRowsFollowTheCircleTable) {
  const auto& t = circleTable();
  EXPECT_EQ(t.size(), 255u * 258u / 2u);
  for (int r : {1, 2, 7, 255}) {
    EXPECT_EQ(t[r * (r + 1) / 2 - 1], r) << "widest row of radius " << r;
    EXPECT_EQ(circleHalfWidth(r, r), static_cast<int>(std::sqrt(r))) << "top row of radius " << r;
  }
  std::fill(c.memory.begin() + kGuard, c.memory.end() - kGuard, 0);
  s.circle(0xFFFFFF, 10, 30, 24);
  long area = count();
  EXPECT_NEAR(area, 3.14159 * 10.5 * 10.5, 20);
  EXPECT_NE(s.pixelAt(40, 24), 0u);
  EXPECT_EQ(s.pixelAt(41, 24), 0u);
}

TEST_F(RasterShapes, PolygonFillCoversHalfOpenSpansAndSparseRows) {
  std::fill(c.memory.begin() + kGuard, c.memory.end() - kGuard, 0);
  s.fillPolygon(0xFFFFFF, {{10, 10}, {20, 10}, {20, 20}, {10, 20}});
  EXPECT_EQ(count(), 100);
  std::fill(c.memory.begin() + kGuard, c.memory.end() - kGuard, 0);
  s.fillPolygon(0xFFFFFF, {{10, 10}, {20, 10}, {20, 20}, {10, 20}}, true);
  EXPECT_EQ(count(), 50);
  EXPECT_NE(s.pixelAt(15, 12), 0u);
  EXPECT_EQ(s.pixelAt(15, 13), 0u);
  // A bow tie: even-odd crossings fill both side triangles, not the middle.
  std::fill(c.memory.begin() + kGuard, c.memory.end() - kGuard, 0);
  s.fillPolygon(0xFFFFFF, {{0, 0}, {40, 40}, {40, 0}, {0, 40}});
  EXPECT_NE(s.pixelAt(2, 5), 0u);
  EXPECT_NE(s.pixelAt(38, 5), 0u);
  EXPECT_EQ(s.pixelAt(20, 5), 0u);
  EXPECT_NE(s.pixelAt(10, 20), 0u);
}

TEST(PixelFormats, FixedScreenColoursOfAnEightBitScreen) {
  Context ctx;
  std::vector<uint8_t> px(16 * 16);
  ctx.screen.surface.attach(px.data(), 16, 16, 16, PixelFormat::depth(8));
  refreshScreenPixels(ctx);
  EXPECT_EQ(ctx.screen.lightGreyPixel, 7u);
  EXPECT_EQ(ctx.screen.whitePixel, 255u);
  EXPECT_EQ(ctx.screen.darkGreyPixel, 248u);
  EXPECT_EQ(ctx.screen.xorPixel, 255u | kXorFlag);
}

TEST(PixelFormats, ConversionsAndTheExclusiveOrFlag) {
  PixelFormat p8 = PixelFormat::depth(8), p565 = PixelFormat::rgb565(), p555 = PixelFormat::rgb555();
  EXPECT_EQ(colourToPixel(p565, 0xFF0000), 0xF800u);
  EXPECT_EQ(colourToPixel(p565, 0x00FF00), 0x07E0u);
  EXPECT_EQ(colourToPixel(p555, 0xFF0000), 0x7C00u);
  EXPECT_EQ(colourToPixel(p555, 0x0000FF), 0x001Fu);
  EXPECT_EQ(colourToPixel(PixelFormat::depth(32), 0x123456), 0x123456u);
  EXPECT_EQ(colourToPixel(p8, 0xC0C0C0), 7u);
  EXPECT_EQ(pixelToColour(p8, colourToPixel(p8, 0xFFFFFF)), 0xFFFFFFu);
  EXPECT_EQ(colourToPixel(p8, kXorColour, true), 255u | kXorFlag);
  EXPECT_EQ(colourToPixel(PixelFormat::depth(32), kXorColour, true), 0x7F7F7Fu | kXorFlag);
  // Round trips stay within the format's quantisation.
  for (uint32_t rgb : {0x000000u, 0xFFFFFFu, 0x336699u, 0xAA5500u, 0x909090u}) {
    for (const PixelFormat& f : {p565, p555}) {
      uint32_t back = pixelToColour(f, colourToPixel(f, rgb));
      for (int sh : {0, 8, 16})
        EXPECT_NEAR(static_cast<int>((back >> sh) & 255), static_cast<int>((rgb >> sh) & 255), 8);
    }
    uint32_t back8 = pixelToColour(p8, colourToPixel(p8, rgb));
    for (int sh : {0, 8, 16})
      EXPECT_NEAR(static_cast<int>((back8 >> sh) & 255), static_cast<int>((rgb >> sh) & 255), 26);
  }
  EXPECT_EQ(pixelToColour(p565, 0xFFFF), 0xFFFFFFu);
}

}  // namespace
}  // namespace trelmo::test
