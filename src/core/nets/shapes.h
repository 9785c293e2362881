// Exact distance tests between the shapes of items: points, centre segments,
// pads by their true outline. Coordinates are world units; comparisons that
// decide a join or a violation at its boundary are done in integers.
#pragma once
#include <cstdint>

#include "database/record.h"

namespace trelmo {

// True when the distance from (px, py) to the segment (ax, ay)-(bx, by) is at
// most d (d >= 0).
bool pointNearSegment(int64_t px, int64_t py, int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t d);
// True when the squared distance from the point to the segment is below t*t.
bool pointCloserThan(int64_t px, int64_t py, int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t t);
// The two segments cross properly: each separates the other's ends strictly.
bool segmentsCross(int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t cx, int64_t cy, int64_t dx, int64_t dy);

// A convex outline: up to four corner points and a rounding radius (a round
// pad is one point with its radius, an oblong pad its core segment, a square
// pad its four corners, a line its centre segment with radius 0).
struct Outline {
  double x[4], y[4];
  int n = 0;
  double radius = 0;
};
Outline padOutline(const Record& pad);
Outline segmentOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// The gap between two outlines, 0 when they touch or overlap.
double outlineGap(const Outline& a, const Outline& b);

// The sizes of a pad: the larger and the smaller of X and Y.
inline int64_t padLarger(const Record& r) { return item::padX(r) > item::padY(r) ? item::padX(r) : item::padY(r); }
inline int64_t padSmaller(const Record& r) { return item::padX(r) < item::padY(r) ? item::padX(r) : item::padY(r); }
inline bool throughHole(const Record& r) { return r.type() == kPad && !(item::padType(r) & item::kSurfaceMount); }
// A pad's shape code: the low two bits of its type (2 is square-cornered,
// 3 a via or dot).
inline uint8_t padCode(const Record& r) { return item::padType(r) & 3; }
inline bool roundPad(const Record& r) { return item::padX(r) == item::padY(r) && padCode(r) != 2; }

}  // namespace trelmo
