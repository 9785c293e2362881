#include "flood/flood_obstacles.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "context.h"
#include "edit/undo.h"
#include "nets/shapes.h"

namespace trelmo::flood {

namespace {

constexpr int64_t kBlockReach = 6554;  // 0.1 inch round the region
constexpr double kTurn = 2 * std::numbers::pi / 65536.0;

bool copperSource(const Context& ctx, const LayerSet& sources) {
  for (int l = 1; l < 255; ++l) {
    const uint8_t kind = ctx.layer(l).kind();
    if (sources.test(l) && (kind == kCopper || kind == kPlane)) return true;
  }
  return false;
}

void padKeepouts(const Record& r, double grow, std::vector<Keepout>& out) {
  const Outline o = padOutline(r);
  std::vector<Pt> corners;
  corners.reserve(4);
  for (int i = 0; i < o.n; ++i) corners.push_back({o.x[i], o.y[i]});
  addRoundedPolygon(out, corners, o.radius + grow, true);
}

void arcKeepouts(const Record& r, double grow, std::vector<Keepout>& out) {
  const double radius = std::fabs(static_cast<double>(item::radius(r)));
  const uint16_t ecc = item::eccentricity(r);
  const double other = ecc ? radius * ecc / 65536.0 : radius;
  const double half = r.size / 2.0 + grow;
  Keepout ring;
  ring.kind = Keepout::Ring;
  ring.c = {static_cast<double>(r.x1), static_cast<double>(r.y1)};
  ring.r = std::max(radius, other) + half;
  ring.r0 = std::max(0.0, std::min(radius, other) - half);
  const bool whole = ecc != 0 || item::sweep(r) == 0;
  if (whole) {
    out.push_back(ring);
    return;
  }
  ring.a0 = static_cast<uint16_t>(item::start(r) + item::axisAngle(r)) * kTurn;  // a circle's axis turns its start
  ring.sweep = item::sweep(r) * kTurn;
  out.push_back(ring);
  for (const double angle : {ring.a0, ring.a0 + ring.sweep}) {
    const Pt end{ring.c.x + radius * std::cos(angle), ring.c.y + radius * std::sin(angle)};
    addCapsule(out, end, end, half);
  }
}

}  // namespace

Box FloodRegion::box() const {
  if (polygon.empty()) return {0, 0, 0, 0};
  Box b{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
  for (const Pt& p : polygon) {
    b.x0 = std::min(b.x0, static_cast<int64_t>(std::floor(p.x)));
    b.y0 = std::min(b.y0, static_cast<int64_t>(std::floor(p.y)));
    b.x1 = std::max(b.x1, static_cast<int64_t>(std::ceil(p.x)));
    b.y1 = std::max(b.y1, static_cast<int64_t>(std::ceil(p.y)));
  }
  return b;
}

FloodRegion FloodRegion::fromRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  FloodRegion r;
  const double x0 = std::min(x1, x2), xe = std::max(x1, x2), y0 = std::min(y1, y2), ye = std::max(y1, y2);
  r.polygon = {{x0, y0}, {xe, y0}, {xe, ye}, {x0, ye}};
  r.rectangle = true;
  for (int l = 0; l < 256; ++l) r.layers.set(l);
  return r;
}

std::vector<Pt> solidCorners(const Context& ctx, const Record& solid) {
  std::vector<Pt> pts;
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  for (Handle v = solid.ext; v != kNull && ctx.pool.valid(v) && pts.size() < cap; v = ctx.rec(v).ext)
    pts.push_back({static_cast<double>(ctx.rec(v).x1), static_cast<double>(ctx.rec(v).y1)});
  if (pts.empty()) {
    const double x0 = solid.x1, y0 = solid.y1, x1 = solid.w3, y1 = solid.w4;
    pts = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
  }
  return pts;
}

Obstacles::Obstacles(const Context& ctx, const FloodRegion& region, const LayerSet& sources)
    : ctx_(ctx), region_(region) {
  index_.build(ctx);
  counts_.assign(static_cast<size_t>(index_.size()), 0);
  const Box near = region.box().grown(kBlockReach);
  const bool padsEverywhere = sources.test(0) || copperSource(ctx, sources);
  for (int o = 0; o < index_.size(); ++o) {
    const IndexEntry& e = index_[o];
    const Record& r = ctx.rec(e.item);
    if (r.hilighted() || r.hidden() || r.layer == kRatnestLayer || !e.box.overlaps(near)) continue;
    const bool onSource = sources.test(r.layer) || (throughHole(r) && padsEverywhere);
    if (!onSource || r.type() == kReserved) continue;
    counts_[o] = 1;
    items_.push_back(o);
    if (r.type() == kText) {
      // The index knows a text by its anchor; its letters reach further.
      int64_t extent[4];
      itemExtent(ctx, e.item, extent);
      texts_.push_back({o, Box{extent[0], extent[1], extent[2], extent[3]}});
    }
  }
}

void Obstacles::keepouts(int ordinal, const Clearances& c, std::vector<Keepout>& out) const {
  const Record& r = ctx_.rec(index_[ordinal].item);
  const double half = c.width / 2 + kMargin;
  switch (r.type()) {
    case kLine:
      if (item::isSolid(r)) {
        addRoundedPolygon(out, solidCorners(ctx_, r), c.line + half, false);
      } else {
        addCapsule(out, {double(r.x1), double(r.y1)}, {double(r.w3), double(r.w4)}, r.size / 2.0 + c.line + half);
      }
      return;
    case kArc:
      return arcKeepouts(r, c.line + half, out);
    case kPad:
      return padKeepouts(r, c.pad + half, out);
    default: {
      // Text: the box its letters may cover.
      Box b = ItemIndex::reachBox(ctx_, index_[ordinal].item);
      for (const auto& [o, box] : texts_)
        if (o == ordinal) b = box;
      b = b.grown(static_cast<int64_t>(std::ceil(c.line + half)));
      Keepout k;
      k.kind = Keepout::Convex;
      k.pts = {{double(b.x0), double(b.y0)},
               {double(b.x1), double(b.y0)},
               {double(b.x1), double(b.y1)},
               {double(b.x0), double(b.y1)}};
      out.push_back(std::move(k));
    }
  }
}

// Outside the region, or nearer its rim than half the line's width (less the
// margin, so that lines laid at exactly half the width stay).
void Obstacles::regionRim(const Clearances& c, std::vector<Keepout>& out) const {
  Keepout outside;
  outside.kind = Keepout::Outside;
  outside.pts = region_.polygon;
  out.push_back(outside);
  const double r = c.width / 2 - kMargin;
  if (r <= 0) return;
  const auto& p = region_.polygon;
  for (size_t i = 0; i < p.size(); ++i) addCapsule(out, p[i], p[(i + 1) % p.size()], r);
}

std::vector<Span> Obstacles::cut(Pt a, Pt b, const Clearances& c, int skip) const {
  const double reach = std::max(c.line, c.pad) + c.width / 2 + kMargin + 2;
  const Box probe =
      Box{static_cast<int64_t>(std::floor(std::min(a.x, b.x))), static_cast<int64_t>(std::floor(std::min(a.y, b.y))),
          static_cast<int64_t>(std::ceil(std::max(a.x, b.x))), static_cast<int64_t>(std::ceil(std::max(a.y, b.y)))}
          .grown(static_cast<int64_t>(std::ceil(reach)));
  shapes_.clear();
  regionRim(c, shapes_);
  index_.query(probe, found_);
  for (int o : found_)
    if (o != skip && counts_[o] && ctx_.rec(index_[o].item).type() != kText) keepouts(o, c, shapes_);
  const Box textProbe = probe.grown(static_cast<int64_t>(std::ceil(c.line)));
  for (const auto& [o, box] : texts_)
    if (o != skip && box.overlaps(textProbe)) keepouts(o, c, shapes_);
  blocked_.clear();
  for (const Keepout& k : shapes_) blockedSpans(k, a, b, blocked_);
  return freeSpans(blocked_, std::hypot(b.x - a.x, b.y - a.y), std::max(1.0, c.width / 4));
}

}  // namespace trelmo::flood
