#include "files/import/gerber_shapes.h"

#include <algorithm>
#include <cmath>

namespace trelmo::gerber {

namespace {

using ClipperLib::cInt;
using ClipperLib::IntPoint;

// Coordinates are held inside the 32-bit world range before Clipper sees them.
cInt held(double v) { return static_cast<cInt>(std::llround(std::clamp(v, -2147483647.0, 2147483647.0))); }
IntPoint point(double x, double y) { return IntPoint(held(x), held(y)); }

// Chords needed for a turn of `sweep` radians on radius r within the tolerance.
int chordsFor(double r, double sweep) {
  if (r <= kChordTolerance) return heldInt(std::ceil(std::fabs(sweep) / (M_PI / 2)), 1, 4096);
  const double step = 2 * std::acos(1 - kChordTolerance / r);
  return heldInt(std::ceil(std::fabs(sweep) / step), 4, 4096);
}

Polygons run(ClipperLib::ClipType type, const Polygons& a, const Polygons& b) {
  Polygons out;
  try {
    ClipperLib::Clipper c;
    c.AddPaths(a, ClipperLib::ptSubject, true);
    c.AddPaths(b, ClipperLib::ptClip, true);
    c.Execute(type, out, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
  } catch (const ClipperLib::clipperException&) {
    out.clear();
  }
  return out;
}

double squared(const IntPoint& a, const IntPoint& b) {
  const double dx = double(a.X) - double(b.X), dy = double(a.Y) - double(b.Y);
  return dx * dx + dy * dy;
}

void collect(const ClipperLib::PolyNode& node, std::vector<Polygon>& out) {
  for (const ClipperLib::PolyNode* outer : node.Childs) {
    const Polygon& contour = outer->Contour;
    if (contour.empty()) continue;
    // Each hole is joined by a cut from its leftmost point to the nearest
    // point of the outline. A cut run both ways covers nothing under either
    // fill rule, so cuts may cross; the outline is walked once.
    std::vector<std::vector<std::pair<const Polygon*, size_t>>> at(contour.size());
    for (const ClipperLib::PolyNode* hole : outer->Childs) {
      const Polygon& h = hole->Contour;
      if (h.size() < 3) continue;
      size_t j = 0;
      for (size_t k = 1; k < h.size(); ++k)
        if (h[k].X < h[j].X || (h[k].X == h[j].X && h[k].Y < h[j].Y)) j = k;
      size_t i = 0;
      for (size_t k = 1; k < contour.size(); ++k)
        if (squared(contour[k], h[j]) < squared(contour[i], h[j])) i = k;
      at[i].emplace_back(&h, j);
    }
    Polygon joined;
    for (size_t i = 0; i < contour.size(); ++i) {
      joined.push_back(contour[i]);
      for (const auto& [h, j] : at[i]) {
        for (size_t k = 0; k <= h->size(); ++k) joined.push_back((*h)[(j + k) % h->size()]);
        joined.push_back(contour[i]);
      }
    }
    out.push_back(std::move(joined));
    for (const ClipperLib::PolyNode* hole : outer->Childs) collect(*hole, out);  // islands inside holes
  }
}

}  // namespace

Polygon circle(double cx, double cy, double diameter) {
  const double r = std::fabs(diameter) / 2;
  const int n = chordsFor(r, 2 * M_PI);
  Polygon p;
  p.reserve(static_cast<size_t>(n));
  for (int k = 0; k < n; ++k) {
    const double a = 2 * M_PI * k / n;
    p.push_back(point(cx + r * std::cos(a), cy + r * std::sin(a)));
  }
  return p;
}

Polygon rectangle(double cx, double cy, double w, double h, double radians) {
  const double c = std::cos(radians), s = std::sin(radians), hx = std::fabs(w) / 2, hy = std::fabs(h) / 2;
  Polygon p;
  const double corners[4][2] = {{-hx, -hy}, {hx, -hy}, {hx, hy}, {-hx, hy}};
  for (const auto& k : corners) p.push_back(point(cx + k[0] * c - k[1] * s, cy + k[0] * s + k[1] * c));
  return p;
}

Polygon obround(double cx, double cy, double w, double h, double radians) {
  w = std::fabs(w), h = std::fabs(h);
  if (h > w) std::swap(w, h), radians += M_PI / 2;
  const double r = h / 2, half = (w - h) / 2, c = std::cos(radians), s = std::sin(radians);
  const int n = std::max(2, chordsFor(r, M_PI));
  Polygon p;
  for (int end = 0; end < 2; ++end) {
    const double ex = end ? -half : half;  // the right end first, then the left
    for (int k = 0; k <= n; ++k) {
      const double a = -M_PI / 2 + M_PI * k / n + (end ? M_PI : 0);
      const double x = ex + r * std::cos(a), y = r * std::sin(a);
      p.push_back(point(cx + x * c - y * s, cy + x * s + y * c));
    }
  }
  return p;
}

int heldInt(double v, int lo, int hi) {
  if (!(v > lo)) return lo;
  if (!(v < hi)) return hi;
  return static_cast<int>(v);
}

Polygon regularPolygon(double cx, double cy, double diameter, int vertices, double radians) {
  vertices = std::clamp(vertices, 3, 12);
  const double r = std::fabs(diameter) / 2;
  Polygon p;
  for (int k = 0; k < vertices; ++k) {
    const double a = radians + 2 * M_PI * k / vertices;
    p.push_back(point(cx + r * std::cos(a), cy + r * std::sin(a)));
  }
  return p;
}

Polygons stroke(const Polygon& path, double width) {
  Polygons out;
  if (path.empty() || width <= 0) return out;
  if (path.size() == 1 || std::all_of(path.begin(), path.end(), [&](const IntPoint& q) { return q == path[0]; })) {
    out.push_back(circle(double(path[0].X), double(path[0].Y), width));
    return out;
  }
  try {
    ClipperLib::ClipperOffset o(2.0, kChordTolerance);
    o.AddPath(path, ClipperLib::jtRound, ClipperLib::etOpenRound);
    o.Execute(out, width / 2);
  } catch (const ClipperLib::clipperException&) {
    out.clear();
  }
  return out;
}

Polygon arcPoints(double sx, double sy, double ex, double ey, double cx, double cy, bool clockwise, double tolerance) {
  double a0 = std::atan2(sy - cy, sx - cx), a1 = std::atan2(ey - cy, ex - cx);
  double sweep = clockwise ? a0 - a1 : a1 - a0;
  while (sweep <= 0) sweep += 2 * M_PI;
  if (sx == ex && sy == ey) sweep = 2 * M_PI;
  const double r = std::hypot(sx - cx, sy - cy);
  int n = 1;
  if (r > tolerance) n = heldInt(std::ceil(sweep / (2 * std::acos(1 - tolerance / r))), 1, 4096);
  Polygon p;
  p.push_back(point(sx, sy));
  for (int k = 1; k < n; ++k) {
    const double a = a0 + (clockwise ? -sweep : sweep) * k / n;
    p.push_back(point(cx + r * std::cos(a), cy + r * std::sin(a)));
  }
  p.push_back(point(ex, ey));
  return p;
}

Polygons unite(const Polygons& a, const Polygons& b) { return run(ClipperLib::ctUnion, a, b); }
Polygons subtract(const Polygons& a, const Polygons& b) { return run(ClipperLib::ctDifference, a, b); }
Polygons intersect(const Polygons& a, const Polygons& b) { return run(ClipperLib::ctIntersection, a, b); }
Polygons normalised(const Polygons& p) { return run(ClipperLib::ctUnion, p, {}); }

Polygons grown(const Polygons& p, double delta) {
  Polygons out;
  try {
    ClipperLib::ClipperOffset o(2.0, kChordTolerance);
    o.AddPaths(p, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    o.Execute(out, delta);
  } catch (const ClipperLib::clipperException&) {
    out.clear();
  }
  return out;
}

std::vector<Polygon> outside(const Polygon& path, const Polygons& area) {
  Polygons open;
  try {
    ClipperLib::Clipper c;
    c.AddPath(path, ClipperLib::ptSubject, false);
    c.AddPaths(area, ClipperLib::ptClip, true);
    ClipperLib::PolyTree tree;
    c.Execute(ClipperLib::ctDifference, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    ClipperLib::OpenPathsFromPolyTree(tree, open);
  } catch (const ClipperLib::clipperException&) {
    open.clear();
  }
  return open;
}

double area(const Polygons& p) {
  double a = 0;
  for (const Polygon& q : p) a += ClipperLib::Area(q);
  return std::fabs(a);
}

void Box::add(int64_t x, int64_t y) {
  x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
}

Box boxOf(const Polygons& p) {
  Box b;
  for (const Polygon& q : p)
    for (const IntPoint& v : q) b.add(v.X, v.Y);
  return b;
}

std::vector<Polygon> contoursWithCuts(const Polygons& a) {
  std::vector<Polygon> out;
  ClipperLib::PolyTree tree;
  try {
    ClipperLib::Clipper c;
    c.AddPaths(a, ClipperLib::ptSubject, true);
    c.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
  } catch (const ClipperLib::clipperException&) {
    return out;
  }
  collect(tree, out);
  return out;
}

void Placement::apply(double& x, double& y) const {
  if (mirrorX) x = -x;
  if (mirrorY) y = -y;
  if (degrees != 0) {
    const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
    const double rx = x * c - y * s, ry = x * s + y * c;
    x = rx, y = ry;
  }
  x *= scale, y *= scale;
}

namespace {

// Mirror Y is mirror X turned half round; both mirrors are a half turn.
void normalise(const Placement& p, bool& mirror, double& degrees) {
  mirror = p.mirrorX != p.mirrorY;
  degrees = p.degrees + (p.mirrorY ? 180 : 0);
}

}  // namespace

Placement compose(const Placement& outer, const Placement& inner) {
  bool mo = false, mi = false;
  double ro = 0, ri = 0;
  normalise(outer, mo, ro);
  normalise(inner, mi, ri);
  Placement p;
  p.mirrorX = mo != mi;
  p.degrees = std::fmod(ro + (mo ? -ri : ri), 360.0) + 0.0;
  if (p.degrees < 0) p.degrees += 360;
  p.scale = outer.scale * inner.scale;
  return p;
}

Polygons placed(const Polygons& shape, const Placement& p, int64_t dx, int64_t dy) {
  Polygons out = shape;
  for (Polygon& q : out) {
    for (IntPoint& v : q) {
      double x = double(v.X), y = double(v.Y);
      p.apply(x, y);
      v = point(x + double(dx), y + double(dy));
    }
    if (p.mirrorX != p.mirrorY) std::reverse(q.begin(), q.end());  // keep the turning sense
  }
  return out;
}

}  // namespace trelmo::gerber
