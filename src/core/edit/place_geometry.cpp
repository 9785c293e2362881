#include "edit/place_geometry.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "database/geometry.h"

namespace trelmo {

bool samePoint(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return std::abs(int64_t{x1} - x2) < kSamePoint && std::abs(int64_t{y1} - y2) < kSamePoint;
}

std::string nextPinName(std::string_view name) {
  std::string s(name);
  if (s.empty() || s == "0") return s;
  size_t last = s.find_last_of("0123456789");
  if (last == std::string::npos) return s;
  for (size_t i = last + 1; i-- > 0;) {
    if (s[i] < '0' || s[i] > '9') {
      s.insert(i + 1, 1, '1');
      return s;
    }
    if (s[i] != '9') {
      ++s[i];
      return s;
    }
    s[i] = '0';
  }
  s.insert(0, 1, '1');
  return s;
}

bool arcFromPoints(int32_t cx, int32_t cy, int32_t sx, int32_t sy, int32_t ex, int32_t ey, ArcPoints& out) {
  const uint32_t r = distance(cx, cy, sx, sy);
  if (r <= 3) return false;
  out.radius = static_cast<int32_t>(std::min<uint32_t>(r, INT32_MAX));
  out.start = direction(cx, cy, sx, sy);
  out.sweep = samePoint(cx, cy, ex, ey) ? 0 : static_cast<uint16_t>(direction(cx, cy, ex, ey) - out.start);
  return true;
}

int32_t portWidth(int32_t textLength) {
  const int64_t w = (int64_t{textLength} * 10 + 49152) / 65536 * 65536 / 10;
  return static_cast<int32_t>(w);
}

std::string dimensionLabel(int64_t length, int units) {
  char buf[64];
  const double inches = static_cast<double>(length) / 65536.0;
  if (units < 0) {
    std::snprintf(buf, sizeof buf, "%.*fmm", std::min(-units, 6), inches * 25.4);
  } else {
    std::snprintf(buf, sizeof buf, "%.*f\"", std::min(units, 6), inches);
  }
  return buf;
}

}  // namespace trelmo
