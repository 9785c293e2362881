#include "router/route_prepare.h"

#include <cmath>
#include <cstdlib>

#include "context.h"
#include "database/rings.h"
#include "edit/hit_tests.h"
#include "edit/undo.h"
#include "nets/connectivity.h"
#include "nets/ratsnest.h"

namespace trelmo {

namespace {

bool routingLayer(const Context& ctx, int layer) {
  return layer != 0 && ((ctx.layer(layer).type >> kRouteDirShift) & 3) != 0;
}

// A track of non-zero width on a copper layer ends inside the pad.
bool trackEndsIn(const Context& ctx, const Connectivity& net, Handle pad, std::vector<int>& found) {
  const Record& p = ctx.rec(pad);
  net.index().query(ItemIndex::reachBox(ctx, pad), found);
  for (int o : found) {
    const Record& r = ctx.rec(net.index()[o].item);
    if (r.type() != kLine || r.size == 0 || !conductiveLayer(ctx, r.layer)) continue;
    if (!throughHole(p) && r.layer != p.layer) continue;
    if (padHit(p, r.x1, r.y1, 0) || padHit(p, r.w3, r.w4, 0)) return true;
  }
  return false;
}

int ratsOfSignal(Context& ctx, const Connectivity& net, UndoTransaction& undo, Handle signal) {
  const std::vector<Handle> pads = net.padsOf(signal);
  if (pads.size() < 2) return 0;
  std::vector<int> found;
  std::vector<bool> inSet(pads.size(), false);
  bool any = false;
  for (size_t i = 0; i < pads.size(); ++i) {
    const Record& p = ctx.rec(pads[i]);
    inSet[i] = (throughHole(p) && p.layer != 0) || trackEndsIn(ctx, net, pads[i], found);
    any = any || inSet[i];
  }
  if (!any) inSet[0] = true;
  // Prim's tree by straight distance, the first pair found winning ties.
  const size_t n = pads.size();
  std::vector<double> best(n, INFINITY);
  std::vector<size_t> from(n, n);
  auto measure = [&](size_t s) {
    const Record& a = ctx.rec(pads[s]);
    for (size_t t = 0; t < n; ++t) {
      if (inSet[t]) continue;
      const Record& b = ctx.rec(pads[t]);
      const double d = std::hypot(double(a.x1) - b.x1, double(a.y1) - b.y1);
      if (d > 0 && d < best[t]) best[t] = d, from[t] = s;
    }
  };
  for (size_t i = 0; i < n; ++i)
    if (inSet[i]) measure(i);
  const uint16_t width = ratnestWidth(ctx);
  int made = 0;
  for (;;) {
    size_t pick = n;
    for (size_t t = 0; t < n; ++t)
      if (!inSet[t] && from[t] < n && (pick == n || best[t] < best[pick])) pick = t;
    if (pick == n) break;
    const Record& a = ctx.rec(pads[from[pick]]);
    const Record& b = ctx.rec(pads[pick]);
    const Handle h = createItem(ctx.pool, ctx.current, kLine, kRatnestLayer, width, a.x1, a.y1, b.x1, b.y1, signal);
    if (h == kNull) break;
    ctx.rec(signal).next += 256;
    undo.added(h);
    ++made;
    inSet[pick] = true;
    measure(pick);
  }
  return made;
}

struct SortKey {
  int64_t k[4];
};

SortKey keyOf(const RatLine& r) {
  const int64_t dx = std::llabs(int64_t{r.x2} - r.x1), dy = std::llabs(int64_t{r.y2} - r.y1);
  const int64_t minX = std::min(r.x1, r.x2), minY = std::min(r.y1, r.y2);
  if (dx >= dy) return {{dy, dx, minX, minY}};
  return {{dx, dy, minY, minX}};
}

// True when a is not worse than b, field by field with a tolerance of 4.
bool notWorse(const SortKey& a, const SortKey& b) {
  for (int i = 0; i < 4; ++i) {
    if (std::llabs(a.k[i] - b.k[i]) <= 4) continue;
    return a.k[i] < b.k[i];
  }
  return true;
}

}  // namespace

int deletePreroutes(Context& ctx, UndoTransaction& undo) {
  if (ctx.current == kNull) return 0;
  std::vector<Handle> doomed;
  const Handle ring = ctx.current;
  for (Handle h = ctx.rec(ring).prev; h != ring && h != kNull; h = ctx.rec(h).prev) {
    const Record& r = ctx.rec(h);
    if (r.hidden()) continue;
    const bool routed = routingLayer(ctx, r.layer) || r.layer == kRatnestLayer;
    const bool track = (r.type() == kLine && r.size > 0) || r.type() == kArc;
    if ((track && routed) || (r.type() == kPad && (item::padType(r) & 3) == 3)) doomed.push_back(h);
  }
  for (Handle h : doomed) undo.removed(h);
  return static_cast<int>(doomed.size());
}

int createRatLines(Context& ctx, UndoTransaction& undo) {
  if (ctx.current == kNull) return 0;
  ratnestWidth(ctx);
  Connectivity net(ctx);
  int made = 0;
  for (Handle s : signalList(ctx))
    if (net.firstPad(s) != kNull) made += ratsOfSignal(ctx, net, undo, s);
  return made;
}

void sortRatLines(std::vector<RatLine>& rats) {
  std::vector<RatLine> sorted;
  sorted.reserve(rats.size());
  std::vector<SortKey> keys;
  keys.reserve(rats.size());
  for (const RatLine& r : rats) keys.push_back(keyOf(r));
  std::vector<bool> taken(rats.size(), false);
  for (size_t round = 0; round < rats.size(); ++round) {
    size_t best = rats.size();
    for (size_t i = 0; i < rats.size(); ++i)
      if (!taken[i] && (best == rats.size() || notWorse(keys[i], keys[best]))) best = i;
    taken[best] = true;
    sorted.push_back(rats[best]);
  }
  rats = std::move(sorted);
}

}  // namespace trelmo
