// Fixed-point geometry shared by every subsystem.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace trelmo {

// The quarter-wave sine table (entry i = 65536 sin(i/256 * 90 deg)) and the
// arctangent table (entry i = 65536 atan(i/256) / 45 deg), 257 entries each,
// rounded and limited to 65535.
struct GeometryTables {
  std::array<uint16_t, 257> sine;
  std::array<uint16_t, 257> arctan;
  GeometryTables();
};
const GeometryTables& geometryTables();

// A wide value held to the 32-bit coordinate range.
constexpr int32_t clamp32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

struct CosSin {
  int16_t cos, sin;  // 1.15; exactly (32767, 0) etc. at the right angles
};
CosSin sinCos(uint16_t angle);
// Widens the box {x1, y1, x2, y2} to hold b; the first box taken (any false) is copied.
inline void growBox(int64_t box[4], bool& any, const int64_t b[4]) {
  if (!any) {
    for (int k = 0; k < 4; ++k) box[k] = b[k];
    any = true;
    return;
  }
  box[0] = std::min(box[0], b[0]), box[1] = std::min(box[1], b[1]);
  box[2] = std::max(box[2], b[2]), box[3] = std::max(box[3], b[3]);
}

void rotatePoint(int32_t& x, int32_t& y, uint16_t angle);
void polar(int32_t radius, uint16_t angle, int32_t& x, int32_t& y);
uint16_t direction(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
uint32_t distance(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
uint64_t isqrt64(uint64_t v);

}  // namespace trelmo
