#include "flood/flood_keepout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trelmo::flood {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

double cross(Pt o, Pt a, Pt b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

double signedArea(const std::vector<Pt>& p) {
  double s = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    const Pt& a = p[i];
    const Pt& b = p[(i + 1) % p.size()];
    s += a.x * b.y - b.x * a.y;
  }
  return s / 2;
}

bool evenOdd(const std::vector<Pt>& p, Pt q) {
  bool in = false;
  for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
    const Pt& a = p[i];
    const Pt& b = p[j];
    if ((a.y > q.y) != (b.y > q.y) && q.x < (b.x - a.x) * (q.y - a.y) / (b.y - a.y) + a.x) in = !in;
  }
  return in;
}

bool convexContains(const std::vector<Pt>& p, Pt q) {
  if (p.size() < 3) return false;
  const double sense = signedArea(p) >= 0 ? 1 : -1;
  for (size_t i = 0; i < p.size(); ++i)
    if (sense * cross(p[i], p[(i + 1) % p.size()], q) <= 0) return false;
  return true;
}

// The angle of d from a0, in [0, 2 pi).
double angleFrom(double a0, double dx, double dy) {
  double a = std::atan2(dy, dx) - a0;
  a = std::fmod(a, kTwoPi);
  return a < 0 ? a + kTwoPi : a;
}

bool ringContains(const Keepout& k, Pt q) {
  const double dx = q.x - k.c.x, dy = q.y - k.c.y, d2 = dx * dx + dy * dy;
  if (d2 >= k.r * k.r || (k.r0 > 0 && d2 <= k.r0 * k.r0)) return false;
  if (k.sweep <= 0 || k.sweep >= kTwoPi) return true;
  return angleFrom(k.a0, dx, dy) < k.sweep;
}

// The parameters at which the segment meets the circle about c of radius r.
void circleRoots(Pt c, double r, Pt a, Pt b, std::vector<double>& out) {
  const double dx = b.x - a.x, dy = b.y - a.y, fx = a.x - c.x, fy = a.y - c.y;
  const double qa = dx * dx + dy * dy, qb = fx * dx + fy * dy, qc = fx * fx + fy * fy - r * r;
  if (qa == 0) return;
  const double disc = qb * qb - qa * qc;
  if (disc < 0) return;
  const double s = std::sqrt(disc);
  out.push_back((-qb - s) / qa);
  out.push_back((-qb + s) / qa);
}

// The parameter at which the segment a-b crosses the line p-q, if it does.
void lineCrossing(Pt p, Pt q, Pt a, Pt b, std::vector<double>& out) {
  const double ex = q.x - p.x, ey = q.y - p.y, dx = b.x - a.x, dy = b.y - a.y;
  const double den = dx * ey - dy * ex;
  if (den == 0) return;
  out.push_back(((p.x - a.x) * ey - (p.y - a.y) * ex) / den);
}

void discSpans(const Keepout& k, Pt a, Pt b, std::vector<Span>& out) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  if (dx == 0 && dy == 0) {
    if (k.contains(a)) out.push_back({0, 1});
    return;
  }
  std::vector<double> t;
  circleRoots(k.c, k.r, a, b, t);
  if (t.size() == 2 && t[0] < t[1] && t[1] > 0 && t[0] < 1) out.push_back({std::max(0.0, t[0]), std::min(1.0, t[1])});
}

void convexSpans(const Keepout& k, Pt a, Pt b, std::vector<Span>& out) {
  const double area = signedArea(k.pts);
  if (k.pts.size() < 3 || area == 0) return;
  const double sense = area > 0 ? 1 : -1;
  double enter = 0, leave = 1;
  for (size_t i = 0; i < k.pts.size() && enter < leave; ++i) {
    const Pt& p = k.pts[i];
    const Pt& q = k.pts[(i + 1) % k.pts.size()];
    // Inside where sense * cross(p, q, x) > 0, linear in t.
    const double at0 = sense * cross(p, q, a), at1 = sense * cross(p, q, b), slope = at1 - at0;
    if (slope == 0) {
      if (at0 <= 0) return;
      continue;
    }
    const double t = -at0 / slope;
    if (slope > 0)
      enter = std::max(enter, t);
    else
      leave = std::min(leave, t);
  }
  if (enter < leave) out.push_back({enter, leave});
}

// Shapes bounded by several curves: the segment is split where it meets any
// of them and each part is tested at its middle.
void splitSpans(const Keepout& k, Pt a, Pt b, std::vector<double>& cuts, std::vector<Span>& out) {
  cuts.push_back(0);
  cuts.push_back(1);
  std::sort(cuts.begin(), cuts.end());
  for (size_t i = 0; i + 1 < cuts.size(); ++i) {
    const double t0 = std::clamp(cuts[i], 0.0, 1.0), t1 = std::clamp(cuts[i + 1], 0.0, 1.0);
    if (t1 <= t0) continue;
    if (k.contains(along(a, b, (t0 + t1) / 2))) out.push_back({t0, t1});
  }
}

void ringCuts(const Keepout& k, Pt a, Pt b, std::vector<double>& cuts) {
  circleRoots(k.c, k.r, a, b, cuts);
  if (k.r0 > 0) circleRoots(k.c, k.r0, a, b, cuts);
  if (k.sweep <= 0 || k.sweep >= kTwoPi) return;
  for (const double angle : {k.a0, k.a0 + k.sweep})
    lineCrossing(k.c, {k.c.x + std::cos(angle), k.c.y + std::sin(angle)}, a, b, cuts);
}

}  // namespace

bool Keepout::contains(Pt p) const {
  switch (kind) {
    case Disc:
      return (p.x - c.x) * (p.x - c.x) + (p.y - c.y) * (p.y - c.y) < r * r;
    case Convex:
      return convexContains(pts, p);
    case Polygon:
      return pts.size() >= 3 && evenOdd(pts, p);
    case Outside:
      return pts.size() < 3 || !evenOdd(pts, p);
    case Ring:
      return ringContains(*this, p);
  }
  return false;
}

void addCapsule(std::vector<Keepout>& out, Pt a, Pt b, double r) {
  Keepout d;
  d.kind = Keepout::Disc;
  d.r = r;
  d.c = a;
  out.push_back(d);
  const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
  if (len == 0) return;
  d.c = b;
  out.push_back(d);
  const double nx = -dy / len * r, ny = dx / len * r;
  Keepout slab;
  slab.kind = Keepout::Convex;
  slab.pts = {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}};
  out.push_back(std::move(slab));
}

void addRoundedPolygon(std::vector<Keepout>& out, const std::vector<Pt>& corners, double r, bool convex) {
  if (corners.size() >= 3) {
    Keepout in;
    in.kind = convex ? Keepout::Convex : Keepout::Polygon;
    in.pts = corners;
    out.push_back(std::move(in));
  }
  for (size_t i = 0; i < corners.size(); ++i) {
    if (corners.size() == 2 && i == 1) break;
    addCapsule(out, corners[i], corners[(i + 1) % corners.size()], r);
  }
}

void blockedSpans(const Keepout& k, Pt a, Pt b, std::vector<Span>& out) {
  std::vector<double> cuts;
  switch (k.kind) {
    case Keepout::Disc:
      return discSpans(k, a, b, out);
    case Keepout::Convex:
      return convexSpans(k, a, b, out);
    case Keepout::Polygon:
    case Keepout::Outside:
      for (size_t i = 0; i < k.pts.size(); ++i) lineCrossing(k.pts[i], k.pts[(i + 1) % k.pts.size()], a, b, cuts);
      return splitSpans(k, a, b, cuts, out);
    case Keepout::Ring:
      ringCuts(k, a, b, cuts);
      return splitSpans(k, a, b, cuts, out);
  }
}

std::vector<Span> freeSpans(std::vector<Span>& blocked, double length, double minLength) {
  std::sort(blocked.begin(), blocked.end(), [](const Span& x, const Span& y) { return x.t0 < y.t0; });
  std::vector<Span> out;
  double from = 0;
  auto keep = [&](double t0, double t1) {
    if (t1 > t0 && (t1 - t0) * length >= minLength) out.push_back({t0, t1});
  };
  for (const Span& s : blocked) {
    if (s.t0 > from) keep(from, s.t0);
    from = std::max(from, s.t1);
    if (from >= 1) break;
  }
  if (from < 1) keep(from, 1);
  return out;
}

std::vector<Pt> arcChords(Pt c, double r, double a0, double sweep, bool outside) {
  const int n = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (std::numbers::pi / 8) - 1e-9)));
  const double step = sweep / n;
  std::vector<Pt> pts;
  auto at = [&](double angle, double radius) {
    pts.push_back({c.x + radius * std::cos(angle), c.y + radius * std::sin(angle)});
  };
  if (!outside) {
    for (int i = 0; i <= n; ++i) at(a0 + step * i, r);
    return pts;
  }
  // Corners half way between the points where the chords touch the circle.
  at(a0, r);
  const double corner = r / std::cos(step / 2);
  for (int i = 0; i < n; ++i) at(a0 + step * (i + 0.5), corner);
  at(a0 + sweep, r);
  return pts;
}

}  // namespace trelmo::flood
