#include "router/route_work.h"

#include <algorithm>

#include "context.h"
#include "database/rings.h"
#include "edit/undo.h"
#include "nets/connectivity.h"

namespace trelmo {

namespace {

// The board shows each route as it is made.
void showRoute(Context& ctx, const RatLine& rat, const Route& route, const RouteRules& rules) {
  int64_t box[4] = {std::min(rat.x1, rat.x2), std::min(rat.y1, rat.y2), std::max(rat.x1, rat.x2),
                    std::max(rat.y1, rat.y2)};
  for (const Segment& s : route.segments) {
    box[0] = std::min<int64_t>({box[0], s.x1, s.x2}), box[1] = std::min<int64_t>({box[1], s.y1, s.y2});
    box[2] = std::max<int64_t>({box[2], s.x1, s.x2}), box[3] = std::max<int64_t>({box[3], s.y1, s.y2});
  }
  const int64_t grow = std::max(rules.track, rules.viaPad);
  const int64_t grown[4] = {box[0] - grow, box[1] - grow, box[2] + grow, box[3] + grow};
  redrawWorldBox(ctx, grown);
}

}  // namespace

RouteWork::RouteWork(Context& c, const RouterLink& link) : ctx(c), link_(link) {}

RouteWork::~RouteWork() = default;

void RouteWork::onDesign(const std::function<void()>& work) const {
  if (link_.onDesign)
    link_.onDesign(work);
  else
    work();
}

bool RouteWork::stopRequested() const { return link_.progress && link_.progress->cancel.load(); }

void RouteWork::progress(int done, int total) const {
  if (link_.progress && total > 0) link_.progress->percent.store(std::clamp(done * 100 / total, 0, 100));
}

void RouteWork::load() {
  const Params& p = ctx.params;
  rules.track = p.lineWidth ? p.lineWidth : 787;
  rules.viaPad = std::max(p.viaSize, rules.track);
  rules.viaHole = p.viaHole;
  rules.lineToLine = std::max(0, p.lineToLine);
  rules.lineToPad = std::max(0, p.lineToPad);
  rules.padToPad = std::max(0, p.padToPad);
  xLayers.clear();
  yLayers.clear();
  for (int n = 1; n < kRatnestLayer; ++n) {
    const int dir = (ctx.layer(n).type >> kRouteDirShift) & 3;
    if (dir & 1) xLayers.push_back(n);
    if (dir & 2) yLayers.push_back(n);
  }
  geometry.build(ctx, rules);
}

void RouteWork::collectRatLines() {
  rats.clear();
  if (ctx.current == kNull) return;
  const Handle ring = ctx.current;
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.type() != kLine || r.layer != kRatnestLayer || r.hidden() || r.hilighted()) continue;
    rats.push_back({h, signalOf(ctx, h), r.x1, r.y1, r.w3, r.w4, false});
  }
}

Probe RouteWork::probe(const RatLine& rat, int layer, int32_t x1, int32_t y1, int32_t x2, int32_t y2) const {
  Probe p;
  p.layer = layer;
  p.x1 = x1, p.y1 = y1, p.x2 = x2, p.y2 = y2;
  p.half = (rules.track + 1) / 2;
  p.signal = rat.signal;
  p.loose = rat.signal == kNull;
  p.ax = rat.x1, p.ay = rat.y1, p.bx = rat.x2, p.by = rat.y2;
  return p;
}

Probe RouteWork::viaProbe(const RatLine& rat, int32_t x, int32_t y) const {
  Probe p = probe(rat, 0, x, y, x, y);
  p.half = (rules.viaPad + 1) / 2;
  return p;
}

void RouteWork::commit(RatLine& rat, const Route& route) {
  std::vector<Shape> made;
  bool whole = false;
  onDesign([&] {
    Record& r = ctx.rec(rat.item);
    if (route.inPlaceLayer) {
      undo->modified(rat.item);
      r.layer = static_cast<uint8_t>(route.inPlaceLayer);
      r.size = rules.track;
      r.flags &= static_cast<uint8_t>(~kHilight);
      made.push_back({Shape::kTrack, r.layer, true, rat.item, rat.signal, -1, r.x1, r.y1, r.w3, r.w4,
                      static_cast<int32_t>((rules.track + 1) / 2)});
      undo->touch(rat.item);
      whole = true;
      showRoute(ctx, rat, route, rules);
      return;
    }
    for (const Segment& s : route.segments) {
      const Handle h = createItem(ctx.pool, ctx.current, kLine, static_cast<uint8_t>(s.layer), rules.track, s.x1, s.y1,
                                  s.x2, s.y2, rat.signal);
      if (h == kNull) return;
      if (rat.signal != kNull) ctx.rec(rat.signal).next += 256;
      undo->added(h);
      made.push_back({Shape::kTrack, static_cast<uint8_t>(s.layer), true, h, rat.signal, -1, s.x1, s.y1, s.x2, s.y2,
                      static_cast<int32_t>((rules.track + 1) / 2)});
    }
    // Vias go on the pad master layer: joined to the tracks of every layer.
    for (const auto& [x, y] : route.vias) {
      const Handle h = createItem(ctx.pool, ctx.current, kPad, 0, item::kRoundVia, x, y, 0, 0, rat.signal);
      if (h == kNull) return;
      item::setPad(ctx.rec(h), rules.viaPad, rules.viaPad, rules.viaHole, 0);
      if (rat.signal != kNull) ctx.rec(rat.signal).next += 256;
      undo->added(h);
      Shape s;
      s.kind = Shape::kPadShape;
      s.item = h, s.signal = rat.signal, s.x1 = x, s.y1 = y, s.padX = s.padY = rules.viaPad;
      s.hole = rules.viaHole;
      s.outline = padOutline(ctx.rec(h));
      made.push_back(s);
    }
    undo->removed(rat.item);
    whole = true;
    showRoute(ctx, rat, route, rules);
  });
  for (Shape& s : made) {
    s.box =
        s.kind == Shape::kTrack
            ? Box{std::min(s.x1, s.x2), std::min(s.y1, s.y2), std::max(s.x1, s.x2), std::max(s.y1, s.y2)}.grown(s.half)
            : Box{s.x1, s.y1, s.x1, s.y1}.grown(s.padX);
    geometry.add(s);
  }
  rat.done = whole;
}

}  // namespace trelmo
