// The geometric passes: zero-via straight, data bus and inline routes, and
// the one-via L routes.
#include <cmath>
#include <cstdlib>

#include "router/route_work.h"

namespace trelmo {

namespace {

constexpr int32_t kLSpan = 6551;                       // units: the smallest spans of an L route
constexpr int32_t kPitchLow = 652, kPitchHigh = 6555;  // units: pin pitches a bus may have
constexpr uint16_t kQuarterTurn = 16384;

// Coordinates along a route (u) and across it (v).
struct Axis {
  bool vertical;
  int32_t u(int32_t x, int32_t y) const { return vertical ? y : x; }
  int32_t v(int32_t x, int32_t y) const { return vertical ? x : y; }
  Segment seg(int layer, int64_t u1, int64_t v1, int64_t u2, int64_t v2) const {
    auto c = [](int64_t w) { return static_cast<int32_t>(w); };
    return vertical ? Segment{layer, c(v1), c(u1), c(v2), c(u2)} : Segment{layer, c(u1), c(v1), c(u2), c(v2)};
  }
};

// The ends of a rat-line, the lower first along the axis.
void ordered(const RatLine& r, const Axis& a, int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) {
  x1 = r.x1, y1 = r.y1, x2 = r.x2, y2 = r.y2;
  if (a.u(x2, y2) < a.u(x1, y1)) std::swap(x1, x2), std::swap(y1, y2);
}

Route inPlace(int layer) {
  Route r;
  r.inPlaceLayer = layer;
  return r;
}

}  // namespace

PassCount RouteWork::straightPass() {
  PassCount c;
  for (size_t i = 0; i < rats.size() && !stopRequested(); ++i) {
    RatLine& r = rats[i];
    progress(static_cast<int>(i), static_cast<int>(rats.size()));
    if (r.done) continue;
    const int32_t dx = std::abs(r.x2 - r.x1), dy = std::abs(r.y2 - r.y1);
    if (dy > 3 && dx > 3) continue;
    ++c.processed;
    for (int layer : dy <= 3 ? xLayers : yLayers) {
      if (!clear(r, {layer, r.x1, r.y1, r.x2, r.y2})) continue;
      commit(r, inPlace(layer));
      ++c.routed;
      break;
    }
  }
  return c;
}

namespace {

// The jog around the pad that blocks a straight run: half of the track, the
// pad's extent across the route and 3, plus the line-to-pad clearance; 0
// when the obstacle is no pad on the route's axis turned by quarter turns.
int64_t jogAround(const RouteWork& w, const Axis& a, int shape, int32_t axisV) {
  if (shape < 0) return 0;
  const Shape& s = w.geometry[shape];
  if (s.kind != Shape::kPadShape || std::abs(a.v(s.x1, s.y1) - axisV) > 3 || s.angle % kQuarterTurn != 0) return 0;
  const bool turned = (s.angle / kQuarterTurn) % 2 == 1;
  const int64_t across = (a.vertical != turned) ? s.padX : s.padY;
  return (w.rules.track + across + 3) / 2 + w.rules.lineToPad;
}

}  // namespace

PassCount RouteWork::inlinePass() {
  PassCount c;
  for (size_t i = 0; i < rats.size() && !stopRequested(); ++i) {
    RatLine& r = rats[i];
    progress(static_cast<int>(i), static_cast<int>(rats.size()));
    if (r.done) continue;
    const int32_t dx = std::abs(r.x2 - r.x1), dy = std::abs(r.y2 - r.y1);
    if (dy > 2 && dx > 2) continue;
    ++c.processed;
    const Axis a{dy > 2};
    int32_t x1, y1, x2, y2;
    ordered(r, a, x1, y1, x2, y2);
    for (int layer : a.vertical ? yLayers : xLayers) {
      if (clear(r, {layer, x1, y1, x2, y2})) {
        commit(r, inPlace(layer));
        ++c.routed;
        break;
      }
      const int64_t ja = jogAround(*this, a, geometry.freeRun(probe(r, layer, x1, y1, x2, y2)).shape, a.v(x1, y1));
      const int64_t jb = jogAround(*this, a, geometry.freeRun(probe(r, layer, x2, y2, x1, y1)).shape, a.v(x2, y2));
      if (ja == 0 || jb == 0) continue;
      const int64_t u1 = a.u(x1, y1), v1 = a.v(x1, y1), u2 = a.u(x2, y2), v2 = a.v(x2, y2);
      if (u1 + ja > u2 - jb) continue;
      bool routed = false;
      for (int side : {1, -1}) {
        Route route;
        route.segments = {a.seg(layer, u1, v1, u1 + ja, v1 + side * ja),
                          a.seg(layer, u1 + ja, v1 + side * ja, u2 - jb, v2 + side * jb),
                          a.seg(layer, u2 - jb, v2 + side * jb, u2, v2)};
        if (!clear(r, route.segments[0]) || !clear(r, route.segments[1]) || !clear(r, route.segments[2])) continue;
        commit(r, route);
        routed = true;
        break;
      }
      if (routed) {
        ++c.routed;
        break;
      }
    }
  }
  return c;
}

namespace {

// The layout of the pins of a pad's component around it: a column layout
// (pads above one another) or a row layout, and its pitch; no layout
// (pitch 0) for a free pad or a pitch outside 652 to 6,555 units.
struct PinRow {
  bool column = false;
  int64_t pitch = 0;
};

PinRow pinRow(const Obstacles& g, int pad) {
  const Shape& p = g[pad];
  PinRow out;
  if (p.group < 0) return out;
  int total = 0, inColumn = 0, inRow = 0;
  int64_t columnPitch = INT64_MAX, rowPitch = INT64_MAX;
  for (int i = 0; i < g.size(); ++i) {
    const Shape& q = g[i];
    if (q.kind != Shape::kPadShape || q.group != p.group || !q.alive) continue;
    ++total;
    const int64_t dx = std::llabs(int64_t{q.x1} - p.x1), dy = std::llabs(int64_t{q.y1} - p.y1);
    const bool sameClass = q.layer == p.layer;
    if (dx < 4) {
      ++inColumn;
      if (dy > 0 && sameClass) columnPitch = std::min(columnPitch, dy);
    }
    if (dy <= 3) {
      ++inRow;
      if (dx > 0 && sameClass) rowPitch = std::min(rowPitch, dx);
    }
  }
  if (inColumn >= 2 && inRow <= 2 && 2 * inColumn >= total) out = {true, columnPitch};
  if (inRow >= 2 && inColumn <= 2 && 2 * inRow >= total && (out.pitch == 0 || inRow > inColumn))
    out = {false, rowPitch};
  if (out.pitch < kPitchLow || out.pitch > kPitchHigh) out.pitch = 0;
  return out;
}

// The pad of the rat-line's signal within 2 units of a point, -1 without.
int endPad(const RouteWork& w, const RatLine& r, int32_t x, int32_t y) {
  std::vector<int> found;
  w.geometry.query(Box{x, y, x, y}.grown(2), found);
  for (int i : found) {
    const Shape& s = w.geometry[i];
    if (s.kind == Shape::kPadShape && s.signal == r.signal && std::abs(s.x1 - x) <= 2 && std::abs(s.y1 - y) <= 2)
      return i;
  }
  return -1;
}

}  // namespace

PassCount RouteWork::dataBusPass() {
  PassCount c;
  for (size_t i = 0; i < rats.size() && !stopRequested(); ++i) {
    RatLine& r = rats[i];
    progress(static_cast<int>(i), static_cast<int>(rats.size()));
    if (r.done || r.signal == kNull) continue;
    const int pa = endPad(*this, r, r.x1, r.y1), pb = endPad(*this, r, r.x2, r.y2);
    if (pa < 0 || pb < 0) continue;
    const PinRow ra = pinRow(geometry, pa), rb = pinRow(geometry, pb);
    if (ra.pitch == 0 || rb.pitch == 0 || ra.column != rb.column || std::llabs(ra.pitch - rb.pitch) > 3) continue;
    // A column layout runs its bus horizontally, a row layout vertically.
    const Axis a{!ra.column};
    int32_t x1, y1, x2, y2;
    ordered(r, a, x1, y1, x2, y2);
    const int64_t u1 = a.u(x1, y1), v1 = a.v(x1, y1), u2 = a.u(x2, y2), v2 = a.v(x2, y2);
    const int64_t offset = std::llabs(v2 - v1), span = u2 - u1;
    const bool straight = offset <= 2;
    const bool onePitch =
        offset >= kPitchLow && offset <= kPitchHigh && offset <= span && std::llabs(offset - ra.pitch) <= 3;
    if (!straight && !onePitch) continue;
    ++c.processed;
    for (int layer : a.vertical ? yLayers : xLayers) {
      Route route;
      if (straight) {
        if (!clear(r, {layer, x1, y1, x2, y2})) continue;
        route = inPlace(layer);
      } else {
        const int64_t mid = (u1 + u2) / 2, h = offset / 2;
        route.segments = {a.seg(layer, u1, v1, mid - h, v1), a.seg(layer, mid - h, v1, mid + h, v2),
                          a.seg(layer, mid + h, v2, u2, v2)};
        if (!clear(r, route.segments[0]) || !clear(r, route.segments[1]) || !clear(r, route.segments[2])) continue;
      }
      commit(r, route);
      ++c.routed;
      break;
    }
  }
  return c;
}

namespace {

// Along X from the left end and then along Y, or along Y first; the corner
// gets a via when the two runs lie on different layers.
bool lRoute(const RouteWork& w, const RatLine& r, Route& route) {
  int32_t x1 = r.x1, y1 = r.y1, x2 = r.x2, y2 = r.y2;
  if (x2 < x1) std::swap(x1, x2), std::swap(y1, y2);
  const int32_t corners[2][2] = {{x2, y1}, {x1, y2}};
  for (int k = 0; k < 2; ++k) {
    const int32_t cx = corners[k][0], cy = corners[k][1];
    for (int lx : w.xLayers) {
      const Segment across = k == 0 ? Segment{lx, x1, y1, cx, cy} : Segment{lx, cx, cy, x2, y2};
      if (!w.clear(r, across)) continue;
      for (int ly : w.yLayers) {
        const Segment upward = k == 0 ? Segment{ly, cx, cy, x2, y2} : Segment{ly, x1, y1, cx, cy};
        if (!w.clear(r, upward) || (lx != ly && w.geometry.hits(w.viaProbe(r, cx, cy)))) continue;
        route.segments = {k == 0 ? across : upward, k == 0 ? upward : across};
        if (lx != ly) route.vias.emplace_back(cx, cy);
        return true;
      }
    }
  }
  return false;
}

}  // namespace

PassCount RouteWork::lPass() {
  PassCount c;
  for (size_t i = 0; i < rats.size() && !stopRequested(); ++i) {
    RatLine& r = rats[i];
    progress(static_cast<int>(i), static_cast<int>(rats.size()));
    if (r.done || std::abs(r.x2 - r.x1) < kLSpan || std::abs(r.y2 - r.y1) < kLSpan) continue;
    ++c.processed;
    Route route;
    if (!lRoute(*this, r, route)) continue;
    commit(r, route);
    ++c.routed;
  }
  return c;
}

}  // namespace trelmo
