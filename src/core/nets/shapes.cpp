#include "nets/shapes.h"

#include <algorithm>
#include <cmath>

#include "database/geometry.h"

namespace trelmo {

namespace {

using i128 = __int128;

// Squared distance from P to the segment as a fraction num / den (den > 0).
void segmentDistance2(int64_t px, int64_t py, int64_t ax, int64_t ay, int64_t bx, int64_t by, i128& num, i128& den) {
  const i128 vx = bx - ax, vy = by - ay, wx = px - ax, wy = py - ay;
  const i128 len2 = vx * vx + vy * vy;
  const i128 dot = wx * vx + wy * vy;
  if (len2 == 0 || dot <= 0) {
    num = wx * wx + wy * wy;
    den = 1;
    return;
  }
  if (dot >= len2) {
    const i128 ex = px - bx, ey = py - by;
    num = ex * ex + ey * ey;
    den = 1;
    return;
  }
  const i128 cross = wx * vy - wy * vx;
  num = cross * cross;
  den = len2;
}

int sign(i128 v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }
int orient(int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t cx, int64_t cy) {
  return sign(i128{bx - ax} * (cy - ay) - i128{by - ay} * (cx - ax));
}

double dseg(double px, double py, double ax, double ay, double bx, double by) {
  const double vx = bx - ax, vy = by - ay;
  const double len2 = vx * vx + vy * vy;
  double t = len2 > 0 ? ((px - ax) * vx + (py - ay) * vy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(px - ax - t * vx, py - ay - t * vy);
}

double orientD(double ax, double ay, double bx, double by, double cx, double cy) {
  return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

bool crossD(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy) {
  const double o1 = orientD(ax, ay, bx, by, cx, cy), o2 = orientD(ax, ay, bx, by, dx, dy);
  const double o3 = orientD(cx, cy, dx, dy, ax, ay), o4 = orientD(cx, cy, dx, dy, bx, by);
  return ((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0));
}

// Inside (or on) a convex polygon of four corners.
bool insideQuad(const Outline& q, double px, double py) {
  int pos = 0, neg = 0;
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) & 3;
    const double o = orientD(q.x[i], q.y[i], q.x[j], q.y[j], px, py);
    pos += o > 0, neg += o < 0;
  }
  return pos == 0 || neg == 0;
}

// The distance between the cores (point, segment or quadrilateral).
double coreGap(const Outline& a, const Outline& b) {
  if (a.n == 4)
    for (int i = 0; i < b.n; ++i)
      if (insideQuad(a, b.x[i], b.y[i])) return 0;
  if (b.n == 4)
    for (int i = 0; i < a.n; ++i)
      if (insideQuad(b, a.x[i], a.y[i])) return 0;
  auto edges = [](const Outline& o) { return o.n == 4 ? 4 : 1; };  // a quad, or a segment or point
  double best = HUGE_VAL;
  for (int i = 0; i < edges(a); ++i) {
    const int i2 = a.n == 1 ? 0 : (i + 1) % a.n;
    for (int j = 0; j < edges(b); ++j) {
      const int j2 = b.n == 1 ? 0 : (j + 1) % b.n;
      if (crossD(a.x[i], a.y[i], a.x[i2], a.y[i2], b.x[j], b.y[j], b.x[j2], b.y[j2])) return 0;
      best = std::min({best, dseg(a.x[i], a.y[i], b.x[j], b.y[j], b.x[j2], b.y[j2]),
                       dseg(a.x[i2], a.y[i2], b.x[j], b.y[j], b.x[j2], b.y[j2]),
                       dseg(b.x[j], b.y[j], a.x[i], a.y[i], a.x[i2], a.y[i2]),
                       dseg(b.x[j2], b.y[j2], a.x[i], a.y[i], a.x[i2], a.y[i2])});
    }
  }
  return best;
}

}  // namespace

bool pointNearSegment(int64_t px, int64_t py, int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t d) {
  i128 num, den;
  segmentDistance2(px, py, ax, ay, bx, by, num, den);
  return num <= i128{d} * d * den;
}

bool pointCloserThan(int64_t px, int64_t py, int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t t) {
  i128 num, den;
  segmentDistance2(px, py, ax, ay, bx, by, num, den);
  return num < i128{t} * t * den;
}

bool segmentsCross(int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t cx, int64_t cy, int64_t dx, int64_t dy) {
  const int o1 = orient(ax, ay, bx, by, cx, cy), o2 = orient(ax, ay, bx, by, dx, dy);
  const int o3 = orient(cx, cy, dx, dy, ax, ay), o4 = orient(cx, cy, dx, dy, bx, by);
  return o1 * o2 < 0 && o3 * o4 < 0;
}

Outline padOutline(const Record& r) {
  Outline o;
  const double cx = r.x1, cy = r.y1;
  const double hx = item::padX(r) / 2.0, hy = item::padY(r) / 2.0;
  const double a = item::padAngle(r) * (2 * M_PI / 65536.0);
  const double c = std::cos(a), s = std::sin(a);
  auto put = [&](double lx, double ly) {
    o.x[o.n] = cx + lx * c - ly * s;
    o.y[o.n] = cy + lx * s + ly * c;
    ++o.n;
  };
  if (roundPad(r)) {
    put(0, 0);
    o.radius = hx;
  } else if (padCode(r) == 2) {
    put(-hx, -hy), put(hx, -hy), put(hx, hy), put(-hx, hy);
  } else if (hx >= hy) {
    put(-(hx - hy), 0), put(hx - hy, 0);
    o.radius = hy;
  } else {
    put(0, -(hy - hx)), put(0, hy - hx);
    o.radius = hx;
  }
  return o;
}

Outline segmentOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Outline o;
  o.x[0] = x1, o.y[0] = y1, o.x[1] = x2, o.y[1] = y2;
  o.n = 2;
  return o;
}

double outlineGap(const Outline& a, const Outline& b) { return std::max(0.0, coreGap(a, b) - a.radius - b.radius); }

}  // namespace trelmo
