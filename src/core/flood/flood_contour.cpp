#include "flood/flood_contour.h"

#include <cmath>
#include <numbers>

#include "context.h"
#include "nets/connectivity.h"
#include "nets/shapes.h"

namespace trelmo::flood {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTurn = 2 * kPi / 65536.0;

Pt point(int32_t x, int32_t y) { return {static_cast<double>(x), static_cast<double>(y)}; }

std::vector<Pt> closed(std::vector<Pt> pts) {
  if (!pts.empty()) pts.push_back(pts.front());
  return pts;
}

std::vector<std::vector<Pt>> padOutlines(const Record& r, double grow) {
  const Outline o = padOutline(r);
  if (o.n == 4) {
    // The rectangle's sides moved out by `grow`, turned with the pad.
    const double a = item::padAngle(r) * kTurn, c = std::cos(a), s = std::sin(a);
    const double hx = item::padX(r) / 2.0 + grow, hy = item::padY(r) / 2.0 + grow;
    std::vector<Pt> pts;
    for (const auto& [lx, ly] : {std::pair{-hx, -hy}, {hx, -hy}, {hx, hy}, {-hx, hy}})
      pts.push_back({r.x1 + lx * c - ly * s, r.y1 + lx * s + ly * c});
    return {closed(pts)};
  }
  const Pt p{o.x[0], o.y[0]};
  const Pt q = o.n == 2 ? Pt{o.x[1], o.y[1]} : p;
  return {stadium(p, q, o.radius + grow)};
}

std::vector<std::vector<Pt>> arcOutlines(const Record& r, double offset) {
  const double radius = std::fabs(static_cast<double>(item::radius(r)));
  const uint16_t ecc = item::eccentricity(r);
  const double other = ecc ? radius * ecc / 65536.0 : radius;
  const Pt c = point(r.x1, r.y1);
  const double outer = std::max(radius, other) + offset, inner = std::min(radius, other) - offset;
  if (ecc != 0 || item::sweep(r) == 0) {
    std::vector<std::vector<Pt>> out{arcChords(c, outer, 0, 2 * kPi, true)};
    if (inner > 0) out.push_back(arcChords(c, inner, 0, 2 * kPi, false));
    return out;
  }
  const double a0 = static_cast<uint16_t>(item::start(r) + item::axisAngle(r)) * kTurn, sweep = item::sweep(r) * kTurn,
               a1 = a0 + sweep;
  std::vector<std::vector<Pt>> out{arcChords(c, outer, a0, sweep, true)};
  if (inner > 0) out.push_back(arcChords(c, inner, a0, sweep, false));
  const Pt s{c.x + radius * std::cos(a0), c.y + radius * std::sin(a0)};
  const Pt e{c.x + radius * std::cos(a1), c.y + radius * std::sin(a1)};
  out.push_back(arcChords(s, offset, a0, -kPi, true));
  out.push_back(arcChords(e, offset, a1, kPi, true));
  return out;
}

bool outlined(const Context& ctx, const Record& r, const ContourPass& pass) {
  if (r.type() == kText || r.type() == kReserved) return false;
  if (!pass.isolation) return true;
  if (r.type() == kPad && r.layer == pass.target) return false;
  return pass.signal == kNull || item::isSolid(r) || !isSignalRecord(ctx, r.ext) || r.ext != pass.signal;
}

}  // namespace

std::vector<Pt> stadium(Pt p, Pt q, double radius) {
  const double dx = q.x - p.x, dy = q.y - p.y, len = std::hypot(dx, dy);
  if (len == 0) return arcChords(p, radius, 0, 2 * kPi, true);
  const double normal = std::atan2(dx, -dy);  // the left-hand normal (-dy, dx)
  std::vector<Pt> pts = arcChords(q, radius, normal, -kPi, true);
  const std::vector<Pt> back = arcChords(p, radius, normal + kPi, -kPi, true);
  pts.insert(pts.end(), back.begin(), back.end());
  return closed(pts);
}

std::vector<std::vector<Pt>> outlineOf(const Context& ctx, const Record& r, const Clearances& c) {
  switch (r.type()) {
    case kPad:
      return padOutlines(r, c.pad + c.width / 2 + 2);
    case kArc:
      return arcOutlines(r, (r.size + 2 * c.line + c.width) / 2 + 2);
    case kLine: {
      if (!item::isSolid(r))
        return {stadium(point(r.x1, r.y1), point(r.w3, r.w4), (r.size + 2 * c.line + c.width) / 2 + 2)};
      const std::vector<Pt> corners = solidCorners(ctx, r);
      std::vector<std::vector<Pt>> out;
      for (size_t i = 0; i < corners.size(); ++i)
        out.push_back(stadium(corners[i], corners[(i + 1) % corners.size()], c.width / 2 + c.line + 2));
      return out;
    }
    default:
      return {};
  }
}

int contourPass(Context& ctx, const Obstacles& obstacles, PieceWriter& out, const ContourPass& pass) {
  for (const int o : obstacles.items()) {
    const Record& r = ctx.rec(obstacles.index()[o].item);
    if (!outlined(ctx, r, pass)) continue;
    for (const std::vector<Pt>& line : outlineOf(ctx, r, pass.clearances))
      out.cutPolyline(obstacles, line, pass.clearances);
    if (out.full()) return 0;
    if (r.type() == kPad && pass.tie && pass.tie(o) < 0) return -1;
  }
  return 0;
}

}  // namespace trelmo::flood
