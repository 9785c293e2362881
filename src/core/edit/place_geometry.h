// The arithmetic of the Place functions, apart from the design: pin name
// numbering, arcs from clicked points, port widths and dimension texts.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace trelmo {

// Two points closer than this in both axes are the same point.
constexpr int32_t kSamePoint = 4;
bool samePoint(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// The trailing-number increment: the last run of digits counts up by one
// with carry, a '1' put in front when it runs off ("U9" to "U10", "A99B" to
// "A100B"). A name without digits, an empty name and "0" stay as they are.
std::string nextPinName(std::string_view name);

// An arc from its centre, a point on it where it starts, and a point in the
// direction where it ends (counter-clockwise). False when the start point is
// no more than 3 units from the centre. An end on the centre, or in the
// start's direction, gives a full circle (sweep 0).
struct ArcPoints {
  int32_t radius = 0;
  uint16_t start = 0, sweep = 0;
};
bool arcFromPoints(int32_t cx, int32_t cy, int32_t sx, int32_t sy, int32_t ex, int32_t ey, ArcPoints& out);

// A signal port's name width rounded up to a multiple of a tenth of an inch
// (width times 10 plus 49152, cut down to a multiple of 65536, divided by 10).
int32_t portWidth(int32_t textLength);

// The text of a dimension line `length` units long in the readout's units:
// inches with `units` decimals and the inch sign, or (negative units) the
// millimetres with -units decimals and "mm".
std::string dimensionLabel(int64_t length, int units);

}  // namespace trelmo
