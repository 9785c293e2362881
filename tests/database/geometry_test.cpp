#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "database/geometry.h"

namespace trelmo {
namespace {

const double kPi = std::acos(-1.0);

TEST(Geometry, TablesMatchTheirDefinition) {
  const auto& t = geometryTables();
  EXPECT_EQ(t.sine[0], 0);
  EXPECT_EQ(t.sine[128], 46341);  // 65536 sin 45 deg
  EXPECT_EQ(t.sine[256], 65535);
  EXPECT_EQ(t.arctan[0], 0);
  EXPECT_EQ(t.arctan[256], 65535);
  EXPECT_EQ(t.arctan[128], static_cast<uint16_t>(std::lround(65536 * std::atan(0.5) / (kPi / 4))));
}

TEST(Geometry, RightAnglesAreExact) {
  const struct {
    uint16_t angle;
    int16_t cos, sin;
  } cases[] = {{0, 32767, 0}, {16384, 0, 32767}, {32768, -32767, 0}, {49152, 0, -32767}};
  for (const auto& c : cases) {
    const CosSin cs = sinCos(c.angle);
    EXPECT_EQ(cs.cos, c.cos) << c.angle;
    EXPECT_EQ(cs.sin, c.sin) << c.angle;
  }
  int32_t x = 1000000, y = -3;
  rotatePoint(x, y, 16384);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 1000000);
  rotatePoint(x, y, 32768);
  EXPECT_EQ(x, -3);
  EXPECT_EQ(y, -1000000);
  polar(65536, 49152, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, -65536);
  polar(-7, 0, x, y);
  EXPECT_EQ(x, -7);
  EXPECT_EQ(y, 0);
}

TEST(Geometry, SineAndCosineAreAccurateEverywhere) {
  for (uint32_t a = 0; a < 65536; a += 7) {
    const CosSin cs = sinCos(static_cast<uint16_t>(a));
    const double rad = a * 2 * kPi / 65536;
    EXPECT_NEAR(cs.cos, std::min(32767.0, 32768 * std::cos(rad)), 1.0) << a;
    EXPECT_NEAR(cs.sin, std::min(32767.0, 32768 * std::sin(rad)), 1.0) << a;
  }
  int32_t x = 0, y = 0;
  polar(10 * 65536, 5461, x, y);  // 30 degrees
  EXPECT_NEAR(x, 10 * 65536 * std::cos(kPi / 6), 40);
  EXPECT_NEAR(y, 10 * 65536 * 0.5, 40);
}

TEST(Geometry, DirectionIsExactOnAxesAndDiagonals) {
  EXPECT_EQ(direction(5, 5, 100, 5), 0);
  EXPECT_EQ(direction(5, 5, 5, 100), 16384);
  EXPECT_EQ(direction(5, 5, -100, 5), 32768);
  EXPECT_EQ(direction(5, 5, 5, -100), 49152);
  EXPECT_EQ(direction(0, 0, 7, 7), 8192);
  EXPECT_EQ(direction(0, 0, -7, 7), 24576);
  EXPECT_EQ(direction(0, 0, -7, -7), 40960);
  EXPECT_EQ(direction(0, 0, 7, -7), 57344);
  EXPECT_EQ(direction(3, 3, 3, 3), 0);
  // Extreme coordinates do not overflow.
  EXPECT_EQ(direction(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), 8192);
}

TEST(Geometry, DirectionFollowsTheArcTangentInEveryOctant) {
  for (int deg = 1; deg < 360; deg += 7) {
    const double rad = deg * kPi / 180;
    const auto dx = static_cast<int32_t>(std::lround(1e6 * std::cos(rad)));
    const auto dy = static_cast<int32_t>(std::lround(1e6 * std::sin(rad)));
    const int expected = static_cast<int>(std::lround(deg * 65536.0 / 360)) & 0xFFFF;
    const int diff = (direction(0, 0, dx, dy) - expected + 65536) & 0xFFFF;
    EXPECT_LE(std::min(diff, 65536 - diff), 3) << deg;
  }
}

TEST(Geometry, DistanceAndIntegerRoot) {
  EXPECT_EQ(distance(0, 0, 3, 4), 5u);
  EXPECT_EQ(distance(10, 10, 10, 10), 0u);
  EXPECT_EQ(distance(-65536, 0, 65536, 0), 131072u);
  EXPECT_EQ(distance(0, 0, 1, 1), 1u);
  EXPECT_EQ(distance(INT32_MIN, 0, INT32_MAX, 0), 4294967295u);
  EXPECT_EQ(distance(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), 4294967295u);  // beyond 32 bits
  EXPECT_EQ(isqrt64(0), 0u);
  EXPECT_EQ(isqrt64(1), 1u);
  EXPECT_EQ(isqrt64(15), 3u);
  EXPECT_EQ(isqrt64(16), 4u);
  EXPECT_EQ(isqrt64(UINT64_MAX), 4294967295u);
  for (uint64_t r : {2ull, 1000ull, 65535ull, 3037000499ull, 4294967295ull}) {
    EXPECT_EQ(isqrt64(r * r), r);
    EXPECT_EQ(isqrt64(r * r - 1), r - 1);
  }
}

}  // namespace
}  // namespace trelmo
