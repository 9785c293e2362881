#include "nets/ratsnest.h"

#include <cstring>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "edit/hit_tests.h"
#include "edit/undo.h"
#include "nets/connectivity.h"
#include "nets/nearest_pairs.h"
#include "nets/shapes.h"

namespace trelmo {

namespace {

// Layer 255 as the rat-nest shows it.
void nameRatnestLayer(Context& ctx) {
  LayerEntry& l = ctx.params.layers[kRatnestLayer];
  std::memset(l.name, 0, sizeof l.name);
  std::strncpy(l.name, "Ratnest", sizeof l.name - 1);
  l.type = 4;
  l.color = 0xFFFF00;
}

// A track (a line of non-zero width on a conductive layer) ends inside the
// pad, on a layer the pad is on.
bool trackEndsIn(const Context& ctx, const Connectivity& net, Handle pad, std::vector<int>& found) {
  const Record& p = ctx.rec(pad);
  const Box probe = ItemIndex::reachBox(ctx, pad);
  net.index().query(probe, found);
  for (int o : found) {
    const Record& r = ctx.rec(net.index()[o].item);
    if (r.type() != kLine || r.size == 0 || !conductiveLayer(ctx, r.layer)) continue;
    if (!throughHole(p) && r.layer != p.layer) continue;
    if (padHit(p, r.x1, r.y1, 0) || padHit(p, r.w3, r.w4, 0)) return true;
  }
  return false;
}

bool ratsnestSignal(Context& ctx, Connectivity& net, UndoTransaction& undo, Handle signal) {
  const std::vector<Handle> pads = net.padsOf(signal);
  if (pads.size() < 2) return false;
  std::vector<bool> inSet(pads.size(), false);
  std::vector<int> found;
  bool any = false;
  for (size_t i = 0; i < pads.size(); ++i) {
    const Record& p = ctx.rec(pads[i]);
    inSet[i] = (throughHole(p) && p.layer != 0) || trackEndsIn(ctx, net, pads[i], found);
    any = any || inSet[i];
  }
  if (!any) inSet[0] = true;
  NearestPairs near;
  for (size_t i = 0; i < pads.size(); ++i)
    if (!inSet[i]) near.addTarget(static_cast<int>(i), ctx.rec(pads[i]).x1, ctx.rec(pads[i]).y1);
  for (size_t i = 0; i < pads.size(); ++i)
    if (inSet[i]) near.addSource(static_cast<int>(i), ctx.rec(pads[i]).x1, ctx.rec(pads[i]).y1);
  bool made = false;
  int s = -1, t = -1;
  while (near.best(s, t)) {
    const Record& a = ctx.rec(pads[s]);
    const Record& b = ctx.rec(pads[t]);
    if (addRatLine(ctx, undo, signal, a.x1, a.y1, b.x1, b.y1) == kNull) break;
    made = true;
    near.addSource(t, b.x1, b.y1);
  }
  return made;
}

}  // namespace

uint16_t ratnestWidth(Context& ctx) {
  if (ctx.params.ratnestLineSize == 0) ctx.params.ratnestLineSize = 721;
  return static_cast<uint16_t>(std::clamp<int32_t>(ctx.params.ratnestLineSize, 1, 65535));
}

Handle addRatLine(Context& ctx, UndoTransaction& undo, Handle signal, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (ctx.current == kNull) return kNull;
  const uint16_t width = ratnestWidth(ctx);
  const Handle h = createItem(ctx.pool, ctx.current, static_cast<uint8_t>(kLine | 0x80), kRatnestLayer, width, x1, y1,
                              x2, y2, signal);
  if (h == kNull) return kNull;
  if (signal != kNull) ctx.rec(signal).next += 256;
  undo.added(h);
  return h;
}

bool unratnest(Context& ctx, UndoTransaction& undo, Handle signal, Connectivity* net) {
  if (ctx.current == kNull) return false;
  std::vector<Handle> doomed;
  if (net && signal != kNull) {
    doomed = net->ratLinesOf(signal);
    for (Handle h : doomed) {
      net->itemRemoved(h);
      undo.removed(h);
    }
    return !doomed.empty();
  }
  const Handle ring = ctx.current;
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.hidden() || r.layer != kRatnestLayer || (r.type() != kLine && r.type() != kArc)) continue;
    if (signal != kNull && signalOf(ctx, h) != signal) continue;
    doomed.push_back(h);
  }
  for (Handle h : doomed) {
    if (net) net->itemRemoved(h);
    undo.removed(h);
  }
  return !doomed.empty();
}

bool ratsnest(Context& ctx, bool all) {
  if (ctx.current == kNull) return false;
  nameRatnestLayer(ctx);
  clearHilight(ctx);
  bool made = false;
  {
    UndoTransaction undo(ctx);
    std::vector<Handle> signals;
    if (all) {
      unratnest(ctx, undo);
    } else {
      const Hit hit = padUnder(ctx, ctx.view.cursorX, ctx.view.cursorY, ctx.params.currentLayer & 255);
      const Handle s = hit ? signalOf(ctx, hit.item) : kNull;
      if (s == kNull) {
        ctx.host->sound(Sound::Beop);
        return false;
      }
      unratnest(ctx, undo, s);
      signals.push_back(s);
    }
    Connectivity net(ctx);
    if (all)
      for (Handle s : signalList(ctx))
        if (net.firstPad(s) != kNull) signals.push_back(s);
    for (Handle s : signals) made = ratsnestSignal(ctx, net, undo, s) || made;
    clearHilight(ctx);
    undo.redrawAll();
  }
  return made;
}

}  // namespace trelmo
