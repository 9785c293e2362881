#include "flood/flood_ties.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "context.h"
#include "database/signals.h"
#include "nets/shapes.h"

namespace trelmo::flood {

namespace {

constexpr double kTurn = 2 * std::numbers::pi / 65536.0;
constexpr double kDiagonal = 46341 / 65536.0;
constexpr double kShrink = 65, kSmallest = 458;

bool wholeSpan(const std::vector<Span>& free) {
  return free.size() == 1 && free[0].t0 <= 1e-9 && free[0].t1 >= 1 - 1e-9;
}

int laySpokes(const Obstacles& obstacles, PieceWriter& out, int ordinal, const Record& pad, const Clearances& c) {
  int laid = 0;
  out.style(c.width, "");
  for (const auto& [a, b] : spokes(pad, c)) {
    if (!wholeSpan(obstacles.cut(a, b, c, ordinal))) continue;
    if (out.line(a, b)) ++laid;
  }
  return laid;
}

std::string inchText(int64_t v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>(v) / kInch);
  return buf;
}

}  // namespace

bool tiedPad(const Context& ctx, const Record& pad, const TieRule& rule) {
  if (throughHole(pad) && pad.layer == rule.target) return true;
  const Handle s = isSignalRecord(ctx, pad.ext) ? pad.ext : kNull;
  return s != kNull && (s == rule.thermal || s == rule.plane);
}

std::vector<std::pair<Pt, Pt>> spokes(const Record& pad, const Clearances& c) {
  const double a = item::padAngle(pad) * kTurn, cs = std::cos(a), sn = std::sin(a);
  const double sx = item::padX(pad), sy = item::padY(pad);
  auto at = [&](double lx, double ly) { return Pt{pad.x1 + lx * cs - ly * sn, pad.y1 + lx * sn + ly * cs}; };
  const Pt centre = at(0, 0);
  const double grow = c.pad + c.width / 2;
  if (!throughHole(pad)) {
    const double lx = sx / 2 + grow, ly = sy / 2 + grow;
    return {{centre, at(lx, 0)}, {centre, at(0, ly)}, {centre, at(-lx, 0)}, {centre, at(0, -ly)}};
  }
  double d = std::min(sx, sy) / 2 + grow;
  if (padCode(pad) != 2) d *= kDiagonal;
  // An oblong pad's spokes leave from its two ends.
  const double ex = sx > sy ? (sx - sy) / 2 : 0, ey = sy > sx ? (sy - sx) / 2 : 0;
  std::vector<std::pair<Pt, Pt>> out;
  for (const auto& [dx, dy] : {std::pair{1.0, 1.0}, {-1.0, 1.0}, {-1.0, -1.0}, {1.0, -1.0}}) {
    const double ox = dx * ex, oy = dy * ey;
    out.push_back({at(ox, oy), at(ox + dx * d, oy + dy * d)});
  }
  return out;
}

int tiePad(Context& ctx, const Obstacles& obstacles, PieceWriter& out, int ordinal, const Clearances& c) {
  const Record& pad = ctx.rec(obstacles.index()[ordinal].item);
  Clearances tried = c;
  int laid = laySpokes(obstacles, out, ordinal, pad, tried);
  while (laid == 0 && tried.width - kShrink >= kSmallest) {
    tried.width -= kShrink;
    laid = laySpokes(obstacles, out, ordinal, pad, tried);
  }
  out.style(c.width, "");
  if (laid > 0 || out.full()) return laid;
  const std::string text = "The power/ground pad at location:\n   X = " + inchText(int64_t{pad.x1} - ctx.params.zeroX) +
                           "\"  Y = " + inchText(int64_t{pad.y1} - ctx.params.zeroY) +
                           "\"\ncannot be connected to the flood plane.\n\nDo you wish to continue?";
  return affirmative(ctx.host->question("Flood Fill Unconnection", text, Buttons::OkCancel)) ? 0 : -1;
}

}  // namespace trelmo::flood
