#include "router/free_run.h"

#include <algorithm>
#include <cmath>

#include "context.h"
#include "database/walk.h"

namespace trelmo {

namespace {

// Coordinates turned so that the run goes along +u; v is across it.
struct Frame {
  RunDirection d;
  double u(double x, double y) const {
    switch (d) {
      case RunDirection::kPlusX:
        return x;
      case RunDirection::kMinusX:
        return -x;
      case RunDirection::kPlusY:
        return y;
      default:
        return -y;
    }
  }
  double v(double x, double y) const { return d == RunDirection::kPlusX || d == RunDirection::kMinusX ? y : x; }
};

struct Interval {
  double low = 1, high = 0;
  bool empty() const { return low > high; }
  void join(const Interval& o) {
    if (o.empty()) return;
    if (empty()) {
      *this = o;
      return;
    }
    low = std::min(low, o.low), high = std::max(high, o.high);
  }
};

// The u where a linear function a * u + b lies within [lo, hi].
Interval linearWithin(double a, double b, double lo, double hi) {
  if (std::fabs(a) < 1e-12) return b >= lo && b <= hi ? Interval{-1e18, 1e18} : Interval{};
  double u1 = (lo - b) / a, u2 = (hi - b) / a;
  if (u1 > u2) std::swap(u1, u2);
  return {u1, u2};
}

// The part of the line v = v0 within r of the segment (au, av)-(bu, bv).
Interval capsule(double au, double av, double bu, double bv, double r, double v0) {
  Interval out;
  for (const auto& [cu, cv] : {std::pair{au, av}, std::pair{bu, bv}}) {
    const double dv = cv - v0;
    if (std::fabs(dv) <= r) {
      const double s = std::sqrt(r * r - dv * dv);
      out.join({cu - s, cu + s});
    }
  }
  const double du = bu - au, dv = bv - av, length = std::hypot(du, dv);
  if (length > 0) {
    const double tu = du / length, tv = dv / length;  // along the segment
    // Along: (u - au) tu + (v0 - av) tv in [0, length]; across: -(u - au) tv + (v0 - av) tu in [-r, r].
    Interval along = linearWithin(tu, -au * tu + (v0 - av) * tv, 0, length);
    const Interval across = linearWithin(-tv, au * tv + (v0 - av) * tu, -r, r);
    along.low = std::max(along.low, across.low), along.high = std::min(along.high, across.high);
    out.join(along);
  }
  return out;
}

// The part of the line v = v0 inside a convex polygon.
Interval polygon(const double (&pu)[4], const double (&pv)[4], double v0) {
  Interval out;
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4;
    const double v1 = pv[i], v2 = pv[j];
    if ((v1 - v0) * (v2 - v0) > 0) continue;
    if (v1 == v2) {
      out.join({std::min(pu[i], pu[j]), std::max(pu[i], pu[j])});
      continue;
    }
    const double u = pu[i] + (pu[j] - pu[i]) * (v0 - v1) / (v2 - v1);
    out.join({u, u});
  }
  return out;
}

}  // namespace

FreeRun freeRun(const Context& ctx, int layer, uint16_t width, int32_t x, int32_t y, RunDirection direction) {
  FreeRun run;
  if (ctx.current == kNull) return run;
  const Frame f{direction};
  const double pu = f.u(x, y), pv = f.v(x, y), half = width / 2.0;
  Handle cursor = ctx.current;
  while (notHilighted(ctx.pool, cursor)) {
    const Record& r = ctx.rec(cursor);
    Interval in;
    if (r.type() == kLine && r.size != 0 && r.layer == layer) {
      const double grow = r.size / 2.0 + half + std::max(0, ctx.params.lineToLine);
      in = capsule(f.u(r.x1, r.y1), f.v(r.x1, r.y1), f.u(r.w3, r.w4), f.v(r.w3, r.w4), grow, pv);
    } else if (r.type() == kPad) {
      const bool thru = !(item::padType(r) & item::kSurfaceMount);
      if (!thru && r.layer != layer) continue;
      const double grow = half + std::max(0, ctx.params.lineToPad);
      const double hx = item::padX(r) / 2.0 + grow, hy = item::padY(r) / 2.0 + grow;
      const double a = item::padAngle(r) * 2 * 3.14159265358979323846 / 65536.0, c = std::cos(a), s = std::sin(a);
      double cu[4], cv[4];
      const double corners[4][2] = {{-hx, -hy}, {hx, -hy}, {hx, hy}, {-hx, hy}};
      for (int i = 0; i < 4; ++i) {
        const double wx = r.x1 + corners[i][0] * c - corners[i][1] * s;
        const double wy = r.y1 + corners[i][0] * s + corners[i][1] * c;
        cu[i] = f.u(wx, wy), cv[i] = f.v(wx, wy);
      }
      in = polygon(cu, cv, pv);
    } else {
      continue;
    }
    if (in.empty() || in.high < pu) continue;
    const double d = std::max(0.0, in.low - pu);
    if (d < run.distance) {
      run.distance = static_cast<int64_t>(d);
      run.obstacle = cursor;
    }
  }
  return run;
}

}  // namespace trelmo
