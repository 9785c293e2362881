// The Delete menu: single items at the cursor, whole tracks, vertices,
// components, filled solids, what is grabbed, what is hilighted and the
// copper that no pad reaches. Each click is one undo event.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "context.h"
#include "database/rings.h"
#include "edit/edit_functions.h"
#include "edit/edit_pick.h"
#include "edit/grab.h"
#include "edit/hit_tests.h"
#include "edit/undo.h"
#include "nets/connectivity.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int kLinePrompt = 0x141, kArcPrompt = 0x142, kPadPrompt = 0x143, kTextPrompt = 0x144;
constexpr int kComponentPrompt = 0x146, kVertexPrompt = 0x148, kSolidPrompt = 0x149;
constexpr size_t kPendingMax = 4094;

Hit textAtCursor(const Context& ctx) { return textUnder(ctx, ctx.view.cursorX, ctx.view.cursorY, activeLayer(ctx)); }
Hit solidAtCursor(const Context& ctx) { return solidUnder(ctx, ctx.view.cursorX, ctx.view.cursorY, activeLayer(ctx)); }
Hit componentAtCursor(const Context& ctx) {
  return componentUnder(ctx, ctx.view.cursorX, ctx.view.cursorY, activeLayer(ctx));
}

// Removes one item found by a hit test, keeping its component's box true.
void removeHit(Context& ctx, const Hit& hit) {
  UndoTransaction t(ctx);
  t.removed(hit.item);
  componentChanged(ctx, t, hit.ring);
}

// ------------------------------------------------------------ multi-line

struct Pending {
  int32_t x, y;
  int layer;  // 0: every layer (the track went through a via)
};

bool nearEnd(const Record& r, const Pending& p, int64_t reach, int32_t& farX, int32_t& farY) {
  auto close = [&](int32_t x, int32_t y) {
    return std::abs(int64_t{x} - p.x) <= reach && std::abs(int64_t{y} - p.y) <= reach;
  };
  if (close(r.x1, r.y1)) {
    farX = r.w3, farY = r.w4;
    return true;
  }
  if (close(r.w3, r.w4)) {
    farX = r.x1, farY = r.y1;
    return true;
  }
  return false;
}

// At a pending point: a via or dot there goes with the track (a through-hole
// one opens every layer); another pad there ends the walk. False: stop here.
bool passPads(Context& ctx, UndoTransaction& t, Pending& p) {
  bool go = true;
  std::vector<Handle> vias;
  auto visit = [&](auto& self, Handle ring) -> void {
    for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
      const Record& r = ctx.rec(h);
      if (r.hidden()) continue;
      if (r.type() == kComponent && ctx.pool.valid(r.ext)) {
        self(self, r.ext);
        continue;
      }
      if (r.type() != kPad) continue;
      const uint8_t type = item::padType(r);
      const bool onLayer = p.layer == 0 || !(type & item::kSurfaceMount) || r.layer == p.layer;
      if (!onLayer) continue;
      if ((type == item::kRoundVia || type == item::kSchematicDot) && ring == ctx.current) {
        if (coincide(r.x1, r.y1, p.x, p.y)) vias.push_back(h);
        continue;
      }
      const int64_t reach = std::min(item::padX(r), item::padY(r)) / 4;
      if (std::abs(int64_t{r.x1} - p.x) <= reach && std::abs(int64_t{r.y1} - p.y) <= reach) go = false;
    }
  };
  visit(visit, ctx.current);
  for (Handle via : vias) {
    if (!(item::padType(ctx.rec(via)) & item::kSurfaceMount)) p.layer = 0;
    t.removed(via);
  }
  return go;
}

void deleteTrack(Context& ctx, Handle first) {
  UndoTransaction t(ctx);
  const Record& f = ctx.rec(first);
  std::vector<Pending> pending = {{f.x1, f.y1, f.layer}, {f.w3, f.w4, f.layer}};
  t.removed(first);
  const Handle file = ctx.current;
  for (size_t i = 0; i < pending.size(); ++i) {
    Pending p = pending[i];
    if (!passPads(ctx, t, p)) continue;
    for (Handle h = ctx.rec(file).next; h != file && h != kNull;) {
      const Handle next = ctx.rec(h).next;
      const Record& r = ctx.rec(h);
      int32_t fx = 0, fy = 0;
      if (r.type() == kLine && r.size != 0 && !r.hidden() && (p.layer == 0 || r.layer == p.layer) &&
          nearEnd(r, p, r.size / 4, fx, fy)) {
        const int layer = r.layer;
        t.removed(h);
        if (pending.size() < kPendingMax) pending.push_back({fx, fy, layer});
      }
      h = next;
    }
  }
}

// ----------------------------------------------------------------- vertex

// The two free lines that meet at the vertex nearest the cursor become one.
bool deleteVertex(Context& ctx) {
  const NearPoint v = nearestLineEnd(ctx, ctx.view.cursorX, ctx.view.cursorY);
  if (v.line == kNull) return false;
  const uint8_t layer = ctx.rec(v.line).layer;
  std::vector<Handle> lines;
  const Handle file = ctx.current;
  for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.type() != kLine || item::isSolid(r) || r.hidden() || r.layer != layer) continue;
    if (coincide(r.x1, r.y1, v.x, v.y) || coincide(r.w3, r.w4, v.x, v.y)) lines.push_back(h);
  }
  if (lines.size() != 2) return false;
  auto farEnd = [&](Handle h, int32_t& x, int32_t& y) {
    const Record& r = ctx.rec(h);
    const bool firstHere = coincide(r.x1, r.y1, v.x, v.y);
    x = firstHere ? r.w3 : r.x1, y = firstHere ? r.w4 : r.y1;
  };
  int32_t ax, ay, bx, by;
  farEnd(lines[0], ax, ay);
  farEnd(lines[1], bx, by);
  {
    UndoTransaction t(ctx);
    t.modified(lines[0]);
    Record& kept = ctx.rec(lines[0]);
    kept.x1 = ax, kept.y1 = ay, kept.w3 = bx, kept.w4 = by;
    t.touch(lines[0]);
    t.removed(lines[1]);
  }
  ctx.params.currentLayer = layer;
  const int64_t da = std::abs(int64_t{ax} - v.x) + std::abs(int64_t{ay} - v.y);
  const int64_t db = std::abs(int64_t{bx} - v.x) + std::abs(int64_t{by} - v.y);
  if (da <= db)
    moveCursorTo(ctx, ax, ay);
  else
    moveCursorTo(ctx, bx, by);
  return true;
}

// ----------------------------------------------------- single-item picks

struct Member {
  char member;
  int prompt;
  HitTest test;
  bool layers;    // the active layer first, then every layer
  bool freeOnly;  // items inside components are not taken
};

const Member kMembers[] = {
    {'L', kLinePrompt, lineUnder, true, false}, {'M', kLinePrompt, lineUnder, true, true},
    {'A', kArcPrompt, arcUnder, true, true},    {'P', kPadPrompt, padUnder, true, true},
    {'T', kTextPrompt, nullptr, false, false},  {'C', kComponentPrompt, nullptr, false, true},
    {'F', kSolidPrompt, nullptr, false, false},
};

Hit pick(const Context& ctx, const Member& m) {
  if (m.layers) return searchLayers(ctx, m.test);
  switch (m.member) {
    case 'T':
      return textAtCursor(ctx);
    case 'C':
      return componentAtCursor(ctx);
    default:
      return solidAtCursor(ctx);
  }
}

void deleteAtCursor(Context& ctx, uint16_t code, int source) {
  const char member = memberOf(code);
  if (member == 'E') {
    if (pickStart(ctx, code, source, kVertexPrompt) && !deleteVertex(ctx)) pickFailed(ctx, kVertexPrompt);
    return;
  }
  const Member* m = nullptr;
  for (const Member& candidate : kMembers)
    if (candidate.member == member) m = &candidate;
  if (!m) return ctx.host->sound(Sound::Beop);
  if (!pickStart(ctx, code, source, m->prompt)) return;
  const Hit hit = pick(ctx, *m);
  if (!hit || (m->freeOnly && hit.ring != ctx.current)) return pickFailed(ctx, m->prompt);
  if (member == 'M') return deleteTrack(ctx, hit.item);
  removeHit(ctx, hit);
}

// ------------------------------------------------ grabbed and hilighted

void deleteGrabbed(Context& ctx) {
  GrabList& gl = ctx.edit.grab;
  if (gl.ghosts.empty()) {
    if (ctx.shell.currentFunction == 0) return ctx.host->sound(Sound::Beep);
    ctx.shell.currentFunction = 0;
    return restoreStatusBar(ctx);
  }
  // The existing items grabbed; a component's own items go with it.
  std::vector<Handle> items, headers;
  for (const Ghost& g : gl.ghosts) {
    const bool inert = (g.follow & (kNewItem | kDeleteOnDrop)) == (kNewItem | kDeleteOnDrop);
    if (g.item == kNull || inert || (g.follow & kNewItem) || ctx.rec(g.item).type() == kSentinel) continue;
    items.push_back(g.item);
    if (ctx.rec(g.item).type() == kComponent) headers.push_back(g.item);
  }
  std::vector<std::pair<Handle, Handle>> taken;  // item and its ring
  for (const Ghost& g : gl.ghosts) {
    if (std::find(items.begin(), items.end(), g.item) == items.end()) continue;
    if (std::find(headers.begin(), headers.end(), headerOf(ctx, g.ring)) != headers.end()) continue;
    taken.emplace_back(g.item, g.ring);
  }
  // Release gives back what was grabbed and frees what never was committed;
  // then the grabbed items leave the design.
  releaseGrabList(ctx);
  UndoTransaction t(ctx);
  for (const auto& [item, ring] : taken) {
    if (!ctx.pool.valid(item)) continue;
    t.removed(item);
    componentChanged(ctx, t, ring);
  }
}

void deleteHilighted(Context& ctx) {
  std::vector<Handle> doomed;
  const Handle file = ctx.current;
  for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.hilighted() && !r.hidden() && r.type() != kSentinel) doomed.push_back(h);
  }
  if (doomed.empty()) return ctx.host->sound(Sound::Beep);
  UndoTransaction t(ctx);
  for (Handle h : doomed) t.removed(h);
}

// Every pad floods what it reaches; the copper tracks and arcs nothing
// reached are removed. False when the flood was interrupted.
bool deleteIsoIslands(Context& ctx) {
  clearHilight(ctx);
  Connectivity net(ctx);
  std::vector<Handle> pads;
  auto collect = [&](auto& self, Handle ring) -> void {
    for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
      const Record& r = ctx.rec(h);
      if (r.hidden()) continue;
      if (r.type() == kComponent && ctx.pool.valid(r.ext)) self(self, r.ext);
      if (r.type() == kPad) pads.push_back(h);
    }
  };
  collect(collect, ctx.current);
  for (Handle pad : pads) {
    const Record& r = ctx.rec(pad);
    if (r.hilighted()) continue;
    const int layer = (item::padType(r) & item::kSurfaceMount) ? r.layer : 0;
    const int tolerance = std::max(1, std::min<int>(item::padX(r), item::padY(r)));
    if (net.flood(layer, tolerance, r.x1, r.y1) < 0) {
      net.clearReached();
      clearHilight(ctx);
      return false;
    }
  }
  std::vector<Handle> islands;
  const Handle file = ctx.current;
  for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if ((r.type() != kLine && r.type() != kArc) || r.size == 0 || r.hidden() || r.hilighted()) continue;
    if (ctx.layer(r.layer).kind() == kCopper) islands.push_back(h);
  }
  net.clearReached();
  clearHilight(ctx);
  if (islands.empty()) {
    ctx.host->redrawView();
    return true;
  }
  UndoTransaction t(ctx);
  for (Handle h : islands) t.removed(h);
  t.redrawAll();
  return true;
}

void deleteFamily(Context& ctx, uint16_t code, int source) {
  switch (memberOf(code)) {
    case 'G':
      if (!autoPurgeRedo(ctx)) return;
      return deleteGrabbed(ctx);
    case 'H':
    case 'I':
      if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
      if (!autoPurgeRedo(ctx)) return;
      dropGrabList(ctx);
      if (memberOf(code) == 'H') return deleteHilighted(ctx);
      if (!deleteIsoIslands(ctx)) ctx.host->sound(Sound::Beep);
      return;
    default:
      return deleteAtCursor(ctx, code, source);
  }
}

}  // namespace

void installDeleteFunctions(Context& ctx) {
  for (char m : {'L', 'M', 'E', 'A', 'P', 'T', 'C', 'F', 'I', 'G', 'H'})
    registerFunction(ctx, fc('D', m), deleteFamily);
}

}  // namespace trelmo
