#include "router/route_geometry.h"

#include <algorithm>
#include <cmath>

#include "context.h"
#include "nets/connectivity.h"

namespace trelmo {

namespace {

constexpr int kGridCells = 256;   // buckets along the longer side
constexpr int32_t kLooseEnd = 3;  // units: a point this near a loose rat-line end belongs to it
constexpr double kMargin = 1.0;   // units kept beyond every clearance, against rounding

bool near(int64_t x, int64_t y, int64_t px, int64_t py) {
  return std::llabs(x - px) <= kLooseEnd && std::llabs(y - py) <= kLooseEnd;
}

Box segmentBox(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

Outline roundOutline(int32_t x, int32_t y, double radius) {
  Outline o;
  o.n = 1;
  o.x[0] = x, o.y[0] = y;
  o.radius = radius;
  return o;
}

bool onLayer(const Context& ctx, int layer) {
  return layer == 0 || (layer != kRatnestLayer && ctx.layer(layer).kind() == kCopper) ||
         ((ctx.layer(layer).type >> kRouteDirShift) & 3) != 0;
}

// The shape of one record, false for what is no copper obstacle.
bool shapeOf(const Context& ctx, Handle h, Shape& s) {
  const Record& r = ctx.rec(h);
  if (r.layer == kRatnestLayer || !onLayer(ctx, r.layer)) return false;
  s.item = h;
  s.signal = signalOf(ctx, h);
  s.layer = r.layer;
  if (r.type() == kLine && r.size > 0) {
    s.kind = Shape::kTrack;
    s.x1 = r.x1, s.y1 = r.y1, s.x2 = r.w3, s.y2 = r.w4;
    s.half = (r.size + 1) / 2;
    s.box = segmentBox(s.x1, s.y1, s.x2, s.y2).grown(s.half);
    return true;
  }
  if (r.type() == kPad) {
    s.kind = Shape::kPadShape;
    if (throughHole(r)) s.layer = 0;
    s.x1 = r.x1, s.y1 = r.y1;
    s.padX = item::padX(r), s.padY = item::padY(r), s.angle = item::padAngle(r);
    if (throughHole(r)) s.hole = item::padHole(r);
    s.outline = padOutline(r);
    s.box = Box{r.x1, r.y1, r.x1, r.y1}.grown(padLarger(r));
    return true;
  }
  if (r.type() == kLine || r.type() == kArc) {
    s.kind = Shape::kBlock;
    s.box = ItemIndex::reachBox(ctx, h);
    return true;
  }
  return false;
}

}  // namespace

void Obstacles::build(const Context& ctx, const RouteRules& rules) {
  shapes_.clear();
  if (ctx.current != kNull) {
    ItemIndex index;
    index.build(ctx);
    for (int i = 0; i < index.size(); ++i) {
      Shape s;
      s.group = index[i].component;
      if (shapeOf(ctx, index[i].item, s)) shapes_.push_back(s);
    }
  }
  Box all{0, 0, kInch, kInch};
  for (const Shape& s : shapes_)
    all = {std::min(all.x0, s.box.x0), std::min(all.y0, s.box.y0), std::max(all.x1, s.box.x1),
           std::max(all.y1, s.box.y1)};
  std::vector<Shape> kept = std::move(shapes_);
  start(rules, all);
  shapes_ = std::move(kept);
  for (int i = 0; i < size(); ++i) insert(i);
}

void Obstacles::start(const RouteRules& rules, const Box& all) {
  rules_ = rules;
  shapes_.clear();
  const int64_t clear = std::max({rules.lineToLine, rules.lineToPad, rules.padToPad, 0});
  slack_ = std::max<int64_t>(rules.track, rules.viaPad) + clear + 4;
  originX_ = all.x0, originY_ = all.y0;
  const int64_t span = std::max(all.x1 - all.x0, all.y1 - all.y0);
  cell_ = std::max<int64_t>(span / kGridCells + 1, kInch / 20);
  gridW_ = static_cast<int>((all.x1 - all.x0) / cell_ + 1);
  gridH_ = static_cast<int>((all.y1 - all.y0) / cell_ + 1);
  buckets_.assign(static_cast<size_t>(gridW_) * gridH_, {});
  outside_.clear();
}

void Obstacles::bucketsOf(const Box& b, int& cx0, int& cy0, int& cx1, int& cy1) const {
  cx0 = static_cast<int>(std::clamp<int64_t>((b.x0 - originX_) / cell_, 0, gridW_ - 1));
  cy0 = static_cast<int>(std::clamp<int64_t>((b.y0 - originY_) / cell_, 0, gridH_ - 1));
  cx1 = static_cast<int>(std::clamp<int64_t>((b.x1 - originX_) / cell_, 0, gridW_ - 1));
  cy1 = static_cast<int>(std::clamp<int64_t>((b.y1 - originY_) / cell_, 0, gridH_ - 1));
}

void Obstacles::insert(int index) {
  const Box b = shapes_[index].box.grown(slack_);
  const Box grid{originX_, originY_, originX_ + gridW_ * cell_, originY_ + gridH_ * cell_};
  if (b.x0 < grid.x0 || b.y0 < grid.y0 || b.x1 > grid.x1 || b.y1 > grid.y1) {
    outside_.push_back(index);
    return;
  }
  int cx0, cy0, cx1, cy1;
  bucketsOf(b, cx0, cy0, cx1, cy1);
  for (int cy = cy0; cy <= cy1; ++cy)
    for (int cx = cx0; cx <= cx1; ++cx) buckets_[static_cast<size_t>(cy) * gridW_ + cx].push_back(index);
}

int Obstacles::add(const Shape& s) {
  shapes_.push_back(s);
  insert(size() - 1);
  return size() - 1;
}

void Obstacles::removeItem(Handle item) {
  for (Shape& s : shapes_)
    if (s.item == item) s.alive = false;
}

void Obstacles::query(const Box& b, std::vector<int>& out) const {
  out.clear();
  if (stamp_.size() < shapes_.size()) stamp_.resize(shapes_.size(), 0);
  if (++stampNow_ == 0) {
    std::fill(stamp_.begin(), stamp_.end(), 0);
    stampNow_ = 1;
  }
  auto take = [&](int i) {
    if (stamp_[i] == stampNow_ || !shapes_[i].alive || !shapes_[i].box.overlaps(b)) return;
    stamp_[i] = stampNow_;
    out.push_back(i);
  };
  int cx0, cy0, cx1, cy1;
  bucketsOf(b, cx0, cy0, cx1, cy1);
  for (int cy = cy0; cy <= cy1; ++cy)
    for (int cx = cx0; cx <= cx1; ++cx)
      for (int i : buckets_[static_cast<size_t>(cy) * gridW_ + cx]) take(i);
  for (int i : outside_) take(i);
  std::sort(out.begin(), out.end());
}

Box Obstacles::reach(const Probe& p) const {
  const int64_t clear = std::max({rules_.lineToLine, rules_.lineToPad, rules_.padToPad, 0});
  return segmentBox(p.x1, p.y1, p.x2, p.y2).grown(p.half + clear + 2);
}

bool Obstacles::foreign(const Probe& p, const Shape& s) const {
  if (p.signal != kNull) return s.signal != p.signal;
  if (!p.loose) return true;
  if (s.kind == Shape::kPadShape) return !near(s.x1, s.y1, p.ax, p.ay) && !near(s.x1, s.y1, p.bx, p.by);
  if (s.kind == Shape::kTrack)
    return !near(s.x1, s.y1, p.ax, p.ay) && !near(s.x1, s.y1, p.bx, p.by) && !near(s.x2, s.y2, p.ax, p.ay) &&
           !near(s.x2, s.y2, p.bx, p.by);
  return true;
}

bool Obstacles::hitsShape(const Probe& p, const Shape& s) const {
  if (!s.alive) return false;
  if (!foreign(p, s)) {
    // Drills of one net may not meet either (nor may two vias coincide).
    return p.layer == 0 && drillsMeet(p.x1, p.y1, s);
  }
  if (p.layer != 0 && s.layer != 0 && s.layer != p.layer) return false;
  const bool via = p.layer == 0;
  const Outline mine = via ? roundOutline(p.x1, p.y1, p.half) : segmentOutline(p.x1, p.y1, p.x2, p.y2);
  const double trackHalf = via ? 0 : p.half;
  switch (s.kind) {
    case Shape::kTrack: {
      const double gap = outlineGap(mine, segmentOutline(s.x1, s.y1, s.x2, s.y2));
      const double need = via ? s.half + rules_.lineToPad : trackHalf + s.half + rules_.lineToLine;
      return gap < need + kMargin;
    }
    case Shape::kPadShape: {
      const double gap = outlineGap(mine, s.outline);
      const double need = via ? rules_.padToPad : trackHalf + rules_.lineToPad;
      return gap < need + kMargin;
    }
    default:
      return s.box.overlaps(reach(p));
  }
}

bool Obstacles::drillsMeet(int32_t x, int32_t y, const Shape& s) const {
  if (s.kind != Shape::kPadShape || s.hole == 0) return false;
  const double reach = (rules_.viaHole + s.hole) / 2.0 + kMargin + 2;
  return std::hypot(double(x) - s.x1, double(y) - s.y1) <= reach;
}

bool Obstacles::hits(const Probe& p) const {
  std::vector<int> found;
  query(reach(p), found);
  return std::any_of(found.begin(), found.end(), [&](int i) { return hitsShape(p, shapes_[i]); });
}

Obstacles::Run Obstacles::freeRun(const Probe& p) const {
  Run run;
  const double dx = p.x2 - p.x1, dy = p.y2 - p.y1, length = std::hypot(dx, dy);
  std::vector<int> found;
  query(reach(p), found);
  for (int i : found) {
    if (!hitsShape(p, shapes_[i])) continue;
    // The shortest run from the start that reaches the shape.
    int64_t low = 0, high = static_cast<int64_t>(std::ceil(length));
    Probe part = p;
    part.x2 = p.x1, part.y2 = p.y1;
    if (!hitsShape(part, shapes_[i])) {
      while (high - low > 1) {
        const int64_t mid = (low + high) / 2;
        part.x2 = static_cast<int32_t>(std::lround(p.x1 + dx * mid / length));
        part.y2 = static_cast<int32_t>(std::lround(p.y1 + dy * mid / length));
        (hitsShape(part, shapes_[i]) ? high : low) = mid;
      }
    } else {
      high = 0;
    }
    if (high < run.distance) run = {high, i};
  }
  return run;
}

}  // namespace trelmo
