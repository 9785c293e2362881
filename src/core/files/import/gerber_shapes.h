// Exact shapes of photo-plot apertures and objects as polygons in world
// units, and the boolean work of clear polarity (through Clipper).
#pragma once
#include <clipper.hpp>
#include <cstdint>
#include <string_view>
#include <vector>

namespace trelmo::gerber {

using Polygon = ClipperLib::Path;
using Polygons = ClipperLib::Paths;

// Curves are followed by chords that stray at most this far from them:
// 0.0001 inch (2.5 micrometres) in world units.
constexpr double kChordTolerance = 6.5536;

// Closed outlines, counter-clockwise, in world units.
Polygon circle(double cx, double cy, double diameter);
// A rectangle of width w and height h centred on (cx, cy) and turned by
// `radians` about that centre.
Polygon rectangle(double cx, double cy, double w, double h, double radians);
// An obround (rectangle with round ends on its longer sides) likewise.
Polygon obround(double cx, double cy, double w, double h, double radians);
// A regular polygon of n vertices on a circle of `diameter`, the first at
// `radians` from +X.
Polygon regularPolygon(double cx, double cy, double diameter, int vertices, double radians);

// v truncated to an int held within [lo, hi]; NaN gives lo. A number read
// from a file may be far outside any int.
int heldInt(double v, int lo, int hi);
// The area a round pen of `width` covers along an open path of points.
Polygons stroke(const Polygon& path, double width);
// The points of a circular arc from start to end about the centre (start
// and end included), within the chord tolerance; a full circle when start
// and end coincide.
Polygon arcPoints(double sx, double sy, double ex, double ey, double cx, double cy, bool clockwise, double tolerance);

Polygons unite(const Polygons& a, const Polygons& b);
Polygons subtract(const Polygons& a, const Polygons& b);
Polygons intersect(const Polygons& a, const Polygons& b);
// Outlines in any direction, overlapping or not, as one area (non-zero rule).
Polygons normalised(const Polygons& p);
// The area grown (or, with a negative delta, shrunk) by delta all round,
// with round corners.
Polygons grown(const Polygons& p, double delta);
// The parts of an open path (a centre line) that lie outside an area.
std::vector<Polygon> outside(const Polygon& path, const Polygons& area);
// Absolute area covered (holes subtracted).
double area(const Polygons& p);

struct Box {
  int64_t x0 = INT64_MAX, y0 = INT64_MAX, x1 = INT64_MIN, y1 = INT64_MIN;
  bool empty() const { return x0 > x1; }
  void add(int64_t x, int64_t y);
  bool overlaps(const Box& o) const {
    return !empty() && !o.empty() && x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1;
  }
};
Box boxOf(const Polygons& p);

// Outlines with their holes, each hole joined to its outline by a cut so
// that one closed contour fills the same area under either fill rule (the
// cut is run in both directions and covers nothing).
std::vector<Polygon> contoursWithCuts(const Polygons& area);

// Placement of an aperture at a flash: mirror, then rotate, then scale,
// about the aperture's origin, then move.
struct Placement {
  bool mirrorX = false, mirrorY = false;  // X -> -X, Y -> -Y
  double degrees = 0, scale = 1;
  bool identity() const { return !mirrorX && !mirrorY && degrees == 0 && scale == 1; }
  void apply(double& x, double& y) const;
};
Polygons placed(const Polygons& shape, const Placement& p, int64_t dx, int64_t dy);
// `inner` then `outer`, as one placement (mirrors held as a mirror in X and
// a rotation).
Placement compose(const Placement& outer, const Placement& inner);

}  // namespace trelmo::gerber
