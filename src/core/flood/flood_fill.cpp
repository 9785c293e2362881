#include "flood/flood_fill.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "context.h"
#include "database/signals.h"
#include "edit/undo.h"
#include "flood/flood_contour.h"
#include "flood/flood_ties.h"
#include "nets/connectivity.h"
#include "nets/shapes.h"

namespace trelmo::flood {

namespace {

constexpr double kThousandth = 65.536;  // 0.001 inch
constexpr double kEdgeGap = 33;
constexpr int kSignalLookupMax = 32;

// Asked between lines: true when the user interrupts the run.
bool interrupted(Context& ctx, int done, int total) {
  return ctx.host->progress(total > 0 ? std::clamp(done * 100 / total, 0, 100) : 100);
}

Handle signalNamed(const Context& ctx, const char* field) {
  const std::string_view name(field, std::min<size_t>(std::strlen(field), kSignalLookupMax));
  return name.empty() ? kNull : findSignal(ctx, name);
}

// The signal of the first hilighted pad, else of the first through-hole pad
// on the target layer that carries one.
Handle planeSignal(const Context& ctx, const ItemIndex& index, int target) {
  Handle onTarget = kNull;
  for (int o = 0; o < index.size(); ++o) {
    const Record& r = ctx.rec(index[o].item);
    if (r.type() != kPad || !isSignalRecord(ctx, r.ext)) continue;
    if (r.hilighted()) return r.ext;
    if (onTarget == kNull && throughHole(r) && r.layer == target) onTarget = r.ext;
  }
  return onTarget;
}

void hilightSignal(Context& ctx, const ItemIndex& index, Handle signal) {
  if (signal == kNull) return;
  for (int o = 0; o < index.size(); ++o)
    if (signalOf(ctx, index[o].item) == signal) ctx.rec(index[o].item).flags |= kHilight;
}

double signedArea(const std::vector<Pt>& p) {
  double s = 0;
  for (size_t i = 0; i < p.size(); ++i) s += p[i].x * p[(i + 1) % p.size()].y - p[(i + 1) % p.size()].x * p[i].y;
  return s / 2;
}

// The region's edges moved inwards by half the line width, cut.
void border(const FloodRegion& region, const Obstacles& obstacles, PieceWriter& out, const Clearances& c) {
  const auto& p = region.polygon;
  const double inward = signedArea(p) > 0 ? 1 : -1;
  for (size_t i = 0; i < p.size() && !out.full(); ++i) {
    const Pt a = p[i], b = p[(i + 1) % p.size()];
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    if (len == 0) continue;
    const double nx = -(b.y - a.y) / len * inward * c.width / 2, ny = (b.x - a.x) / len * inward * c.width / 2;
    out.cutLine(obstacles, {a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, c);
  }
}

// The two families of diagonal lines, -45 degrees from the top edge and then
// +45 degrees from the bottom edge, both starting at the right edge and
// stepping left by the grid.
bool hatchLines(Context& ctx, const FloodRegion& region, const Obstacles& obstacles, PieceWriter& out,
                const Clearances& c, double grid) {
  const Box b = region.box();
  const double half = c.width / 2, left = b.x0 + half, right = b.x1 - half, bottom = b.y0 + half, top = b.y1 - half;
  const double height = top - bottom;
  if (right < left || top < bottom) return true;
  const int perFamily = static_cast<int>((right - left + height) / grid) + 1;
  int done = 0;
  for (const double dir : {-1.0, 1.0}) {
    const double y0 = dir < 0 ? top : bottom;
    for (int k = 0; k < perFamily && !out.full(); ++k, ++done) {
      if (interrupted(ctx, done, 2 * perFamily)) return false;
      const double x0 = right - k * grid;
      out.cutLine(obstacles, {x0, y0}, {x0 + height, y0 + dir * height}, c);
    }
  }
  return true;
}

}  // namespace

LayerSet floodSources(const Context& ctx) {
  LayerSet s = ctx.params.floodSources;
  if (!s.empty()) return s;
  const int target = ctx.params.floodTarget;
  s.set(target);
  const uint8_t kind = ctx.layer(target).kind();
  if (kind == kCopper || kind == kPlane) s.set(0);
  return s;
}

int32_t floodLineSize(const Context& ctx) { return std::max<int32_t>(ctx.params.floodLineSize, 66); }

bool horizontalLines(Context& ctx, const FloodRegion& region, const Obstacles& obstacles, PieceWriter& out,
                     const Clearances& c, double pitch) {
  const Box b = region.box();
  const double half = c.width / 2, from = b.y0 + half + kEdgeGap, to = b.y1 - half - kEdgeGap;
  pitch = std::max(pitch, 3.0);
  if (to < from) return true;
  const int lines = static_cast<int>((to - from) / pitch) + 1;
  for (int i = 0; i < lines && !out.full(); ++i) {
    if (interrupted(ctx, i, lines)) return false;
    const double y = std::round(std::round((from + i * pitch) / kThousandth) * kThousandth);
    out.cutLine(obstacles, {b.x0 + half, y}, {b.x1 - half, y}, c);
  }
  return true;
}

FloodResult floodFill(Context& ctx, const FloodRegion& region, int mode) {
  FloodResult result;
  if (ctx.current == kNull || !region.valid()) return result;
  Params& p = ctx.params;
  p.floodLineSize = floodLineSize(ctx);
  const int target = p.floodTarget;
  p.currentLayer = static_cast<uint16_t>(target);
  const Handle thermal = signalNamed(ctx, p.thermalSignal), solid = signalNamed(ctx, p.solidSignal);
  ItemIndex all;
  all.build(ctx);
  const Handle plane = planeSignal(ctx, all, target);
  hilightSignal(ctx, all, solid);
  const Clearances c{static_cast<double>(p.floodLineSize), static_cast<double>(p.floodToLine),
                     static_cast<double>(p.floodToPad)};
  const Obstacles obstacles(ctx, region, floodSources(ctx));
  bool whole = true;
  {
    UndoTransaction undo(ctx);
    PieceWriter out(ctx, undo, target);
    out.style(c.width, "");
    const TieRule rule{target, thermal, plane};
    ContourPass pass;
    pass.clearances = c;
    pass.tie = [&](int o) {
      return tiedPad(ctx, ctx.rec(obstacles.index()[o].item), rule) ? tiePad(ctx, obstacles, out, o, c) : 0;
    };
    whole = contourPass(ctx, obstacles, out, pass) >= 0;
    if (whole) {
      border(region, obstacles, out, c);
      whole = mode == kHatchLines
                  ? hatchLines(ctx, region, obstacles, out, c, std::max<double>(ctx.flood.hatchGrid, c.width))
                  : horizontalLines(ctx, region, obstacles, out, c, c.width - std::floor(c.width / 8));
    }
    result.added = out.count();
    result.poolFull = out.full();
  }
  result.cancelled = !whole;
  clearHilight(ctx);
  return result;
}

}  // namespace trelmo::flood
