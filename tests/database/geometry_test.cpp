#include "database/geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace trelmo {
namespace {

const double kPi = std::acos(-1.0);

TEST(Geometry, SineAndCosineExactAtRightAnglesAccurateBetween) {
  EXPECT_EQ(geometryTables().sine[128], 46341);
  EXPECT_EQ(geometryTables().arctan[256], 65535);
  const int16_t exact[4][2] = {{32767, 0}, {0, 32767}, {-32767, 0}, {0, -32767}};
  for (int q = 0; q < 4; ++q) {
    EXPECT_EQ(sinCos(static_cast<uint16_t>(q * 16384)).cos, exact[q][0]) << q;
    EXPECT_EQ(sinCos(static_cast<uint16_t>(q * 16384)).sin, exact[q][1]) << q;
  }
  for (uint32_t a = 0; a < 65536; a += 7) {
    const CosSin cs = sinCos(static_cast<uint16_t>(a));
    const double rad = a * 2 * kPi / 65536;
    EXPECT_NEAR(cs.cos, std::min(32767.0, 32768 * std::cos(rad)), 1.0) << a;
    EXPECT_NEAR(cs.sin, std::min(32767.0, 32768 * std::sin(rad)), 1.0) << a;
  }
}

TEST(Geometry, RotationAndPolarAreExactAtRightAngles) {
  int32_t x = 1000000, y = -3;
  rotatePoint(x, y, 16384);
  EXPECT_EQ((std::pair{x, y}), (std::pair{3, 1000000}));
  rotatePoint(x, y, 32768);
  EXPECT_EQ((std::pair{x, y}), (std::pair{-3, -1000000}));
  polar(65536, 49152, x, y);
  EXPECT_EQ((std::pair{x, y}), (std::pair{0, -65536}));
  polar(10 * 65536, 5461, x, y);  // 30 degrees
  EXPECT_NEAR(x, 10 * 65536 * std::cos(kPi / 6), 40);
  EXPECT_NEAR(y, 10 * 65536 * 0.5, 40);
}

TEST(Geometry, DirectionExactOnAxesAndDiagonalsCloseElsewhere) {
  EXPECT_EQ(direction(5, 5, 100, 5), 0);
  EXPECT_EQ(direction(5, 5, 5, 100), 16384);
  EXPECT_EQ(direction(5, 5, -100, 5), 32768);
  EXPECT_EQ(direction(5, 5, 5, -100), 49152);
  EXPECT_EQ(direction(0, 0, 7, 7), 8192);
  EXPECT_EQ(direction(0, 0, -7, 7), 24576);
  EXPECT_EQ(direction(0, 0, -7, -7), 40960);
  EXPECT_EQ(direction(0, 0, 7, -7), 57344);
  EXPECT_EQ(direction(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), 8192);
  for (int deg = 1; deg < 360; deg += 7) {
    const double rad = deg * kPi / 180;
    const auto dx = static_cast<int32_t>(std::lround(1e6 * std::cos(rad)));
    const auto dy = static_cast<int32_t>(std::lround(1e6 * std::sin(rad)));
    const int diff = (direction(0, 0, dx, dy) - static_cast<int>(std::lround(deg * 65536.0 / 360)) + 65536) & 0xFFFF;
    EXPECT_LE(std::min(diff, 65536 - diff), 3) << deg;
  }
}

TEST(Geometry, DistanceAndIntegerRoot) {
  EXPECT_EQ(distance(0, 0, 3, 4), 5u);
  EXPECT_EQ(distance(-65536, 0, 65536, 0), 131072u);
  EXPECT_EQ(distance(INT32_MIN, 0, INT32_MAX, 0), 4294967295u);
  EXPECT_EQ(distance(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), 4294967295u);  // beyond 32 bits
  EXPECT_EQ(isqrt64(UINT64_MAX), 4294967295u);
  for (uint64_t r : {1ull, 2ull, 1000ull, 3037000499ull, 4294967295ull}) {
    EXPECT_EQ(isqrt64(r * r), r);
    EXPECT_EQ(isqrt64(r * r - 1), r - 1);
  }
}

}  // namespace
}  // namespace trelmo
