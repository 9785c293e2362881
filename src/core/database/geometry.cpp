#include "database/geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trelmo {

namespace {

constexpr uint16_t kQuarter = 16384;
constexpr uint16_t kEighth = 8192;

uint16_t tableEntry(double v) { return static_cast<uint16_t>(std::min(65535.0, std::round(v))); }

// Linear interpolation between entries i and i + 1 of a 257-entry table:
// `t` is 0..16384 (8 index bits, 6 fraction bits).
uint32_t interpolate(const std::array<uint16_t, 257>& table, uint32_t t) {
  const uint32_t i = t >> 6, frac = t & 63;
  if (i >= 256) return table[256];
  const int32_t a = table[i], b = table[i + 1];
  return static_cast<uint32_t>(a + (((b - a) * static_cast<int32_t>(frac) + 32) >> 6));
}

// A 0.16 fraction (65535 at most) as 1.15.
int16_t toQ15(uint32_t v) { return static_cast<int16_t>(std::min<uint32_t>((v + 1) >> 1, 32767)); }

// A value times a 1.15 factor, rounded.
int64_t mulQ15(int64_t v, int16_t f) { return (v * f + 16384) >> 15; }

uint64_t magnitude(int64_t v) { return static_cast<uint64_t>(v < 0 ? -v : v); }

}  // namespace

GeometryTables::GeometryTables() {
  const double kPi = std::acos(-1.0);
  for (int i = 0; i <= 256; ++i) {
    sine[i] = tableEntry(65536.0 * std::sin(i / 256.0 * kPi / 2));
    arctan[i] = tableEntry(65536.0 * std::atan(i / 256.0) / (kPi / 4));
  }
}

const GeometryTables& geometryTables() {
  static const GeometryTables tables;
  return tables;
}

CosSin sinCos(uint16_t angle) {
  const auto& sine = geometryTables().sine;
  const uint32_t a = angle & (kQuarter - 1);
  const int16_t s = toQ15(interpolate(sine, a));
  const int16_t c = toQ15(interpolate(sine, kQuarter - a));
  switch (angle >> 14) {
    case 0:
      return {c, s};
    case 1:
      return {static_cast<int16_t>(-s), c};
    case 2:
      return {static_cast<int16_t>(-c), static_cast<int16_t>(-s)};
    default:
      return {s, static_cast<int16_t>(-c)};
  }
}

void rotatePoint(int32_t& x, int32_t& y, uint16_t angle) {
  const int64_t x0 = x, y0 = y;
  switch (angle) {
    case 0:
      return;
    case kQuarter:
      x = clamp32(-y0);
      y = clamp32(x0);
      return;
    case 2 * kQuarter:
      x = clamp32(-x0);
      y = clamp32(-y0);
      return;
    case 3 * kQuarter:
      x = clamp32(y0);
      y = clamp32(-x0);
      return;
    default:
      break;
  }
  const CosSin cs = sinCos(angle);
  x = clamp32(mulQ15(x0, cs.cos) - mulQ15(y0, cs.sin));
  y = clamp32(mulQ15(x0, cs.sin) + mulQ15(y0, cs.cos));
}

void polar(int32_t radius, uint16_t angle, int32_t& x, int32_t& y) {
  x = radius;
  y = 0;
  rotatePoint(x, y, angle);
}

uint16_t direction(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int64_t dx = int64_t{x2} - x1, dy = int64_t{y2} - y1;
  if (dy == 0) return dx < 0 ? 2 * kQuarter : 0;
  if (dx == 0) return dy > 0 ? kQuarter : 3 * kQuarter;
  const uint64_t ax = magnitude(dx), ay = magnitude(dy);
  uint32_t a;  // angle from the X axis in the first quadrant
  if (ax == ay) {
    a = kEighth;
  } else {
    const uint64_t small = std::min(ax, ay), large = std::max(ax, ay);
    const auto t = static_cast<uint32_t>((small << 14) / large);  // 0..16383
    const uint32_t octant = (interpolate(geometryTables().arctan, t) + 4) >> 3;
    a = ax > ay ? octant : kQuarter - octant;
  }
  uint32_t result;
  if (dx > 0)
    result = dy > 0 ? a : 65536 - a;
  else
    result = dy > 0 ? 2 * kQuarter - a : 2 * kQuarter + a;
  return static_cast<uint16_t>(result);
}

uint64_t isqrt64(uint64_t v) {
  if (v < 2) return v;
  int bits = 64;
  while (bits > 0 && !(v >> (bits - 1))) --bits;
  uint64_t x = uint64_t{1} << ((bits + 1) / 2);  // at least sqrt(v)
  for (;;) {
    const uint64_t y = (x + v / x) / 2;
    if (y >= x) return x;
    x = y;
  }
}

uint32_t distance(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const uint64_t ax = magnitude(int64_t{x2} - x1), ay = magnitude(int64_t{y2} - y1);
  const uint64_t u = ax * ax, w = ay * ay;
  // dx and dy fit in 33 bits: each square fits, but the sum may not, and a
  // sum of 2^64 or more has a root beyond 32 bits.
  if (u > std::numeric_limits<uint64_t>::max() - w) return std::numeric_limits<uint32_t>::max();
  return static_cast<uint32_t>(isqrt64(u + w));
}

}  // namespace trelmo
