// The fits, the resampling and the turns of a picture.
#include "image/rectify.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "image/turns.h"

namespace trelmo {
namespace {

// A one-byte picture at `dpi` with its lower-left corner at the origin and
// pixel value f(column, memory row).
template <typename F>
std::unique_ptr<PixelImage> picture(uint32_t w, uint32_t h, uint32_t dpi, F f, uint32_t kind = 0) {
  auto img = makeImage(w, h, kind, dpi);
  img->setI32(40, static_cast<int32_t>((w - 1) * 65536 / dpi));
  img->setI32(44, static_cast<int32_t>((h - 1) * 65536 / dpi));
  for (uint32_t r = 0; r < h; ++r)
    for (uint32_t k = 0; k < w; ++k) img->row(r)[k] = static_cast<uint8_t>(f(k, r));
  return img;
}

std::vector<PointPair> translated(double dx, double dy) {
  std::vector<PointPair> pairs;
  for (auto [x, y] : {std::pair{0.0, 0.0}, {0.06, 0.0}, {0.0, 0.04}, {0.06, 0.04}, {0.03, 0.02}})
    pairs.push_back({x, y, x + dx, y + dy});
  return pairs;
}

TEST(Rectify, PureTranslationShiftsTheRectangleAndKeepsEveryPixel) {
  auto old = picture(7, 5, 100, [](int k, int r) { return 17 * k + 40 * r + 3; });
  for (FitModel model : {FitModel::Bilinear, FitModel::Projective}) {
    FitResidual residual;
    std::string why;
    auto img = rectifyPicture(*old, translated(0.5, 0.25), model, nullptr, residual, why);
    ASSERT_NE(img, nullptr) << why;
    EXPECT_LT(residual.largest, 1e-9);
    ASSERT_EQ(img->width(), 7u);
    ASSERT_EQ(img->height(), 5u);
    EXPECT_EQ(img->stride(), 8u) << "the stride is the row length rounded up";
    EXPECT_EQ(img->block.size(), kImageHeaderSize + 8 * 5);
    EXPECT_EQ(img->x0(), old->x0() + 32768);
    EXPECT_EQ(img->y0(), old->y0() + 16384);
    EXPECT_EQ(img->x1(), old->x1() + 32768);
    EXPECT_EQ(img->y1(), old->y1() + 16384);
    for (uint32_t r = 0; r < 5; ++r)
      for (uint32_t k = 0; k < 7; ++k) ASSERT_EQ(img->row(r)[k], old->row(r)[k]) << k << "," << r;
  }
}

TEST(Rectify, WhatTheOldPictureDoesNotCoverIsBlack) {
  auto old = picture(41, 41, 100, [](int, int) { return 200; });
  // A turn by 30 degrees about the picture's centre.
  std::vector<PointPair> pairs;
  const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
  for (auto [x, y] : {std::pair{0.0, 0.0}, {0.4, 0.0}, {0.0, 0.4}, {0.4, 0.4}}) {
    const double dx = x - 0.2, dy = y - 0.2;
    pairs.push_back({x, y, 0.2 + c * dx - s * dy, 0.2 + s * dx + c * dy});
  }
  FitResidual residual;
  std::string why;
  auto img = rectifyPicture(*old, pairs, FitModel::Bilinear, nullptr, residual, why);
  ASSERT_NE(img, nullptr) << why;
  EXPECT_NEAR(img->width(), 40 * (c + s) + 1, 1);
  EXPECT_EQ(img->row(0)[0], 0) << "a corner of the new rectangle lies outside the turned picture";
  EXPECT_EQ(img->row(img->height() / 2)[img->width() / 2], 200);
}

TEST(Rectify, RefusalsLeaveNothingAllocatedAndSayWhy) {
  auto old = picture(7, 5, 100, [](int, int) { return 1; });
  FitResidual residual;
  std::string why;
  // Targets along one line fix no bilinear (or projective) mapping.
  std::vector<PointPair> line;
  for (double t : {0.0, 0.1, 0.2, 0.3}) line.push_back({t, t / 2, t, t});
  EXPECT_EQ(rectifyPicture(*old, line, FitModel::Bilinear, nullptr, residual, why), nullptr);
  EXPECT_NE(why.find("four of the target points"), std::string::npos) << why;
  why.clear();
  EXPECT_EQ(rectifyPicture(*old, line, FitModel::Projective, nullptr, residual, why), nullptr);
  EXPECT_FALSE(why.empty());

  // A bilinear fit whose affine part is singular: X and Y depend on x·y
  // alone near the origin, so no bounds can be had.
  PictureMapping flat;
  flat.c = {0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0};
  InchBox box;
  EXPECT_FALSE(targetBounds(flat, {0, 0, 1, 1}, box));
  std::vector<PointPair> folding;
  for (auto [x, y] : {std::pair{1.0, 1.0}, {2.0, 1.0}, {1.0, 2.0}, {2.0, 2.0}}) folding.push_back({x * y, x * y, x, y});
  why.clear();
  EXPECT_EQ(rectifyPicture(*old, folding, FitModel::Bilinear, nullptr, residual, why), nullptr);
  EXPECT_NE(why.find("singular"), std::string::npos) << why;

  // Enormous results: by side (the stride once wrapped at 32768) and by bytes.
  for (double scale : {10000.0, 5000.0}) {
    std::vector<PointPair> big;
    for (auto [x, y] : {std::pair{0.0, 0.0}, {0.06, 0.0}, {0.0, 0.04}, {0.06, 0.04}})
      big.push_back({x, y, x * scale, y * scale * (scale > 5000 ? 0.01 : 1)});
    why.clear();
    EXPECT_EQ(rectifyPicture(*old, big, FitModel::Bilinear, nullptr, residual, why), nullptr);
    EXPECT_NE(why.find("32768 x 32768 pixels and 256 MB"), std::string::npos) << why;
  }
  // An interruption gives up the new picture.
  why.clear();
  EXPECT_EQ(rectifyPicture(
                *old, translated(1, 1), FitModel::Bilinear, [](int) { return true; }, residual, why),
            nullptr);
  EXPECT_NE(why.find("interrupted"), std::string::npos);
}

TEST(RectifyFit, ResidualsShowTheOddPairOut) {
  // Five pairs of a pure translation except the centre, whose source lies d
  // to the right: the least-squares bilinear fit takes a fifth of d into its
  // shift, so the corners miss by 0.2 d and the centre by 0.8 d.
  const double d = 0.05;
  std::vector<PointPair> pairs;
  for (auto [x, y] : {std::pair{0.0, 0.0}, {1.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}}) pairs.push_back({x, y, x, y});
  pairs.push_back({0.5 + d, 0.5, 0.5, 0.5});
  PictureMapping m;
  ASSERT_TRUE(fitBilinear(pairs, m));
  const FitResidual r = fitResidual(m, pairs);
  EXPECT_NEAR(r.largest, 0.8 * d, 1e-12);
  EXPECT_NEAR(r.mean, 0.32 * d, 1e-12);
  ASSERT_TRUE(fitProjective(pairs, m));
  EXPECT_GT(fitResidual(m, pairs).largest, 0.1 * d);
  // Three collinear targets among four leave the homography open.
  std::vector<PointPair> open = {{0, 0, 0, 0}, {1, 0, 1, 0}, {2, 0, 2, 0}, {0, 1, 0, 1}};
  EXPECT_FALSE(fitProjective(open, m));
}

// A photograph of a checkerboard taken at an angle: the board's position x, y
// (inches) appears on the photograph at G(x, y).
struct Photo {
  static constexpr double G[9] = {1.1, 0.15, 0.4, -0.05, 1.0, 0.3, 0.06, 0.04, 1.0};
  static void g(double x, double y, double& X, double& Y) {
    const double w = G[6] * x + G[7] * y + G[8];
    X = (G[0] * x + G[1] * y + G[2]) / w;
    Y = (G[3] * x + G[4] * y + G[5]) / w;
  }
  // Squares of 0.2 inch over 0..2 inches; mid grey around the board.
  static int colour(double x, double y) {
    if (x < 0 || y < 0 || x >= 2 || y >= 2) return 128;
    return (static_cast<int>(std::floor(x / 0.2)) + static_cast<int>(std::floor(y / 0.2))) % 2 ? 255 : 0;
  }
  // Distance in inches from the nearest line of the board.
  static double fromLines(double x, double y) {
    auto along = [](double v) { return std::abs(v / 0.2 - std::round(v / 0.2)) * 0.2; };
    return std::min(along(x), along(y));
  }
  static std::unique_ptr<PixelImage> make() {
    // G's inverse, by its adjugate.
    const double* m = G;
    const double inv[9] = {m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
                           m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
                           m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
    return picture(301, 301, 100, [&](int k, int r) {
      const double X = k / 100.0, Y = (300 - r) / 100.0;
      const double w = inv[6] * X + inv[7] * Y + inv[8];
      return colour((inv[0] * X + inv[1] * Y + inv[2]) / w, (inv[3] * X + inv[4] * Y + inv[5]) / w);
    });
  }
  static std::vector<PointPair> pairs(int perSide) {
    std::vector<PointPair> p;
    for (int i = 0; i < perSide; ++i)
      for (int j = 0; j < perSide; ++j) {
        const double x = 2.0 * i / (perSide - 1), y = 2.0 * j / (perSide - 1);
        double X, Y;
        g(x, y, X, Y);
        p.push_back({X, Y, x, y});
      }
    return p;
  }
  // Pixels of the rectified picture more than one pixel from a line of the
  // board and inside it that show the wrong colour.
  static int wrongSquares(const PixelImage& img) {
    int wrong = 0;
    const double d = img.resolution();
    for (uint32_t r = 0; r < img.height(); ++r)
      for (uint32_t k = 0; k < img.width(); ++k) {
        const double x = img.x0() / 65536.0 + k / d, y = img.y0() / 65536.0 + (img.height() - 1 - r) / d;
        if (x < 0.01 || y < 0.01 || x > 1.99 || y > 1.99 || fromLines(x, y) <= 1.0 / d) continue;
        wrong += (img.row(r)[k] >= 128) != (colour(x, y) == 255);
      }
    return wrong;
  }
};

TEST(Rectify, APhotographTakenAtAnAngleComesBackSquareThroughTheProjectiveFit) {
  auto photo = Photo::make();
  for (int perSide : {2, 3}) {
    const std::vector<PointPair> pairs = Photo::pairs(perSide);
    FitResidual residual;
    std::string why;
    auto straight = rectifyPicture(*photo, pairs, FitModel::Projective, nullptr, residual, why);
    ASSERT_NE(straight, nullptr) << why;
    EXPECT_LT(residual.largest, 1e-9);
    EXPECT_EQ(Photo::wrongSquares(*straight), 0) << perSide * perSide << " pairs";

    auto bent = rectifyPicture(*photo, pairs, FitModel::Bilinear, nullptr, residual, why);
    ASSERT_NE(bent, nullptr) << why;
    EXPECT_GT(Photo::wrongSquares(*bent), 100) << "the bilinear model bends the board's lines";
    if (perSide == 2) {
      EXPECT_LT(residual.largest, 1e-9) << "four pairs fit either model exactly";
    } else {
      // Nine pairs: the bilinear fit cannot follow the perspective and misses
      // by a few pixels, never by nothing or by inches.
      EXPECT_GT(residual.largest, 0.01);
      EXPECT_LT(residual.largest, 0.1);
      EXPECT_GT(residual.mean, 0.001);
      EXPECT_LE(residual.mean, residual.largest);
    }
  }
}

TEST(ScaleAlign, TheSourcePointLandsOnTheTargetAndTheFixedPointStays) {
  // One bright pixel at the source point; the fixed point at the origin.
  auto old = picture(
      101, 21, 100, [](int k, int r) { return k == 80 && r == 10 ? 200 : 0; }, 1);  // 200: red in the colour cube
  old->setI32(36, -10 * 65536 / 100);
  old->setI32(44, 10 * 65536 / 100);
  const int64_t f[2] = {0, 0}, s[2] = {52429, 0}, t[2] = {45875, 3277};  // 0.8 to 0.7, 0.05 up
  EXPECT_EQ(alignAxis(f[0], f[1], s[0], s[1]), AlignAxis::X);
  EXPECT_EQ(alignAxis(0, 0, 800, 101), AlignAxis::None);
  EXPECT_TRUE(alignTargetAllowed(AlignAxis::X, 0, 0, 52429, 0, 26215, 0));
  EXPECT_FALSE(alignTargetAllowed(AlignAxis::X, 0, 0, 52429, 0, 26214, 0));
  std::string why;
  auto img = scaleAlignPicture(*old, AlignAxis::X, f, s, t, nullptr, why);
  ASSERT_NE(img, nullptr) << why;
  EXPECT_EQ(img->kind(), 3u) << "a palette colour picture becomes 24-bit colour";
  EXPECT_EQ(img->x0(), 0);
  EXPECT_NEAR(img->x1(), 0.875 * old->x1(), 700);
  // The brightest pixel of the result is at the target.
  uint32_t bestR = 0, bestK = 0, best = 0;
  for (uint32_t r = 0; r < img->height(); ++r)
    for (uint32_t k = 0; k < img->width(); ++k)
      if (img->row(r)[3 * k + 2] > best) best = img->row(r)[3 * k + 2], bestR = r, bestK = k;
  EXPECT_GE(best, 250u);
  EXPECT_EQ(bestK, 70u);
  EXPECT_NEAR(img->y0() / 65536.0 + (img->height() - 1 - bestR) / 100.0, 0.05, 0.0101);
}

TEST(Turns, FourQuarterTurnsGiveThePictureBackAndEachTurnsAboutTheCentre) {
  auto img = picture(5, 3, 100, [](int k, int r) { return 10 * r + k; });
  img->setI32(32, 1000), img->setI32(36, -501), img->setI32(40, 1000 + 2621), img->setI32(44, -501 + 1310);
  auto once = rotatePicture90(*img, false);
  ASSERT_NE(once, nullptr);
  EXPECT_EQ(once->width(), 3u);
  EXPECT_EQ(once->height(), 5u);
  EXPECT_EQ(once->stride(), 4u);
  EXPECT_EQ(once->row(0)[0], 4) << "the top right corner comes to the top left";
  EXPECT_EQ(once->row(4)[2], 20);
  EXPECT_EQ(once->x1() - once->x0(), img->y1() - img->y0());
  EXPECT_EQ(once->y1() - once->y0(), img->x1() - img->x0());
  std::unique_ptr<PixelImage> p = std::move(once);
  for (int i = 0; i < 3; ++i) p = rotatePicture90(*p, false);
  for (uint32_t r = 0; r < 3; ++r)
    for (uint32_t k = 0; k < 5; ++k) EXPECT_EQ(p->row(r)[k], img->row(r)[k]);
  for (size_t off : {32, 36, 40, 44}) EXPECT_NEAR(p->i32(off), img->i32(off), 1);

  auto cw = rotatePicture90(*img, true);
  EXPECT_EQ(cw->row(0)[0], 20) << "clockwise: the bottom left corner comes to the top left";
  rotatePicture180(*img);
  EXPECT_EQ(img->row(0)[0], 24);
  EXPECT_EQ(img->row(1)[2], 12) << "the middle row of an odd height turns too";
  mirrorPictureX(*img);
  mirrorPictureY(*img);
  EXPECT_EQ(img->row(0)[0], 0);
  EXPECT_FALSE(movePicture(*img, INT32_MAX, 0));
  EXPECT_EQ(img->x0(), 1000);
}

}  // namespace
}  // namespace trelmo
