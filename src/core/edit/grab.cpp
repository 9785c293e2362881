#include "edit/grab.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/rings.h"
#include "database/walk.h"
#include "edit/place_functions.h"
#include "edit/undo.h"
#include "screen/draw_items.h"

namespace trelmo {

namespace {

int32_t add32(int32_t v, int64_t d) { return clamp32(int64_t{v} + d); }

void addPending(Context& ctx, Handle item) {
  GrabList& gl = ctx.edit.grab;
  int64_t b[4];
  itemExtent(ctx, item, b);
  growBox(gl.pendingBox, gl.pending, b);
}

void freeGhostRecord(Context& ctx, Ghost& g) {
  Record& r = ctx.rec(g.record);
  if (item::isSolid(r)) freeChain(ctx.pool, r.ext);
  r.ext = kNull;
  unlink(ctx.pool, g.record);
  ctx.pool.release(g.record);
  g.record = kNull;
}

bool inert(const Ghost& g) { return (g.follow & (kNewItem | kDeleteOnDrop)) == (kNewItem | kDeleteOnDrop); }
// A marker of an interactive function (a reticle, a rubber band) stands for
// no item: a drop or a release only takes it away.
bool marker(const Ghost& g) { return g.item == kNull; }
bool passive(const Ghost& g) { return marker(g) || inert(g); }

void moveGhost(Context& ctx, const Ghost& g, int64_t dx, int64_t dy) {
  Record& r = ctx.rec(g.record);
  const bool first = (g.follow & kFirstFollows) != 0, second = (g.follow & kSecondFollows) != 0;
  if ((!first && !second) || inert(g)) return;
  switch (r.type()) {
    case kLine:
      if (item::isSolid(r)) {
        r.x1 = add32(r.x1, dx), r.y1 = add32(r.y1, dy), r.w3 = add32(r.w3, dx), r.w4 = add32(r.w4, dy);
        for (Handle v = r.ext; v != kNull; v = ctx.rec(v).ext) {
          Record& e = ctx.rec(v);
          e.x1 = add32(e.x1, dx), e.y1 = add32(e.y1, dy), e.w3 = add32(e.w3, dx), e.w4 = add32(e.w4, dy);
        }
        return;
      }
      [[fallthrough]];
    case kComponent:
    case kContainer:
    case kReserved:
      if (first) r.x1 = add32(r.x1, dx), r.y1 = add32(r.y1, dy);
      if (second) r.w3 = add32(r.w3, dx), r.w4 = add32(r.w4, dy);
      return;
    case kArc:
      if (first) {
        r.x1 = add32(r.x1, dx), r.y1 = add32(r.y1, dy);
        return;
      }
      // An end point on the cursor: the radius and the angle of that end follow.
      {
        const View& v = ctx.view;
        const uint16_t a = direction(r.x1, r.y1, v.cursorX, v.cursorY);
        const uint32_t d = distance(r.x1, r.y1, v.cursorX, v.cursorY);
        r.w3 = static_cast<int32_t>(std::min<uint32_t>(d, INT32_MAX));
        const uint16_t start = item::start(r), sweep = item::sweep(r);
        if (g.arcStart) {
          const uint16_t end = static_cast<uint16_t>(start + sweep);
          r.w4 = pack16(static_cast<uint16_t>(end - a), a);
        } else {
          r.w4 = pack16(static_cast<uint16_t>(a - start), start);
        }
      }
      return;
    default:
      if (first) r.x1 = add32(r.x1, dx), r.y1 = add32(r.y1, dy);
      return;
  }
}

// Copies what moved from the ghost into its item.
void applyGhost(Context& ctx, Ghost& g) {
  Record& it = ctx.rec(g.item);
  Record& gh = ctx.rec(g.record);
  if (it.type() == kSentinel) {
    it.x1 = gh.x1, it.y1 = gh.y1;
    return;
  }
  it.layer = gh.layer;
  it.size = gh.size;
  it.x1 = gh.x1, it.y1 = gh.y1, it.w3 = gh.w3, it.w4 = gh.w4, it.w5 = gh.w5;
  if (item::isSolid(it) && gh.ext != kNull) {
    // The moved vertices become the item's; the old ones stay with the undo
    // entry (or go, for a new item nobody else holds).
    const Handle old = it.ext;
    it.ext = gh.ext;
    gh.ext = kNull;
    if (g.follow & kNewItem) freeChain(ctx.pool, old);
    // The bounding box from the vertices, and the last edge back to the first.
    const Handle first = it.ext;
    Handle last = first;
    int64_t box[4] = {ctx.rec(first).x1, ctx.rec(first).y1, ctx.rec(first).x1, ctx.rec(first).y1};
    for (Handle v = first; v != kNull; v = ctx.rec(v).ext) {
      const Record& e = ctx.rec(v);
      box[0] = std::min<int64_t>(box[0], e.x1), box[1] = std::min<int64_t>(box[1], e.y1);
      box[2] = std::max<int64_t>(box[2], e.x1), box[3] = std::max<int64_t>(box[3], e.y1);
      last = v;
    }
    ctx.rec(last).w3 = ctx.rec(first).x1, ctx.rec(last).w4 = ctx.rec(first).y1;
    it.x1 = clamp32(box[0]), it.y1 = clamp32(box[1]), it.w3 = clamp32(box[2]), it.w4 = clamp32(box[3]);
  }
  if (it.type() == kComponent) {
    // A turned box keeps its corners in order.
    if (it.x1 > it.w3) std::swap(it.x1, it.w3);
    if (it.y1 > it.w4) std::swap(it.y1, it.w4);
  }
}

void drawAllGhosts(Context& ctx) {
  for (const Ghost& g : ctx.edit.grab.ghosts) drawGhost(ctx, g.record);
}

}  // namespace

// The header of the component whose ring `ring` is; kNull for a file ring.
Handle headerOf(const Context& ctx, Handle ring) {
  if (ring == kNull || !ctx.pool.valid(ring)) return kNull;
  const Record& s = ctx.rec(ring);
  if (s.type() != kSentinel || s.layer != kComponentRing) return kNull;
  const Handle h = item::owner(s);
  return h != ring && ctx.pool.valid(h) ? h : kNull;
}

// A component's box from what its items cover.
void recomputeExtent(Context& ctx, Handle header) {
  Record& hr = ctx.rec(header);
  const Handle ring = hr.ext;
  if (!ctx.pool.valid(ring)) return;
  bool any = false;
  int64_t box[4] = {0, 0, 0, 0};
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    int64_t b[4];
    switch (r.type()) {
      case kLine:
        b[0] = std::min(r.x1, r.w3), b[1] = std::min(r.y1, r.w4), b[2] = std::max(r.x1, r.w3),
        b[3] = std::max(r.y1, r.w4);
        break;
      case kArc: {
        const int64_t rad = std::abs(int64_t{item::radius(r)});
        b[0] = r.x1 - rad, b[1] = r.y1 - rad, b[2] = r.x1 + rad, b[3] = r.y1 + rad;
        break;
      }
      case kPad: {
        const int64_t hx = item::padX(r) / 2, hy = item::padY(r) / 2;
        const int64_t reach = item::padAngle(r) % 32768 == 0 ? 0 : std::max(hx, hy);
        b[0] = r.x1 - std::max(hx, reach), b[1] = r.y1 - std::max(hy, reach);
        b[2] = r.x1 + std::max(hx, reach), b[3] = r.y1 + std::max(hy, reach);
        break;
      }
      case kComponent:
        b[0] = r.x1, b[1] = r.y1, b[2] = r.w3, b[3] = r.w4;
        break;
      default:
        b[0] = b[2] = r.x1, b[1] = b[3] = r.y1;
        break;
    }
    growBox(box, any, b);
  }
  if (!any) return;
  hr.x1 = clamp32(box[0]), hr.y1 = clamp32(box[1]), hr.w3 = clamp32(box[2]), hr.w4 = clamp32(box[3]);
}

bool grabItem(Context& ctx, Handle item, uint8_t mode, Handle ring) {
  if (ctx.current == kNull || !ctx.pool.valid(item)) return false;
  Record& r = ctx.rec(item);
  const uint8_t type = r.type();
  if (type != kSentinel && r.hidden()) return false;
  const Handle gh = ctx.pool.allocate();
  if (gh == kNull) return false;
  Record& g = ctx.rec(gh);
  g = r;
  g.flags = type;
  g.next = g.prev = kNull;
  if (item::isSolid(r)) {
    g.ext = copyVertexChain(ctx, r.ext);
    if (r.ext != kNull && g.ext == kNull) {
      ctx.pool.release(gh);
      return false;
    }
  }
  linkBefore(ctx.pool, gh, ctx.rings[kGrabList]);
  Ghost ghost;
  ghost.record = gh;
  ghost.item = item;
  ghost.ring = ring;
  ghost.follow = static_cast<uint8_t>(((mode & 1) ? kFirstFollows : 0) | ((mode & 2) ? kSecondFollows : 0) |
                                      ((mode & 4) ? kNewItem : 0) | ((mode & 8) ? kDeleteOnDrop : 0));
  ctx.edit.grab.ghosts.push_back(ghost);
  if (type == kSentinel) return true;
  addPending(ctx, item);
  r.flags |= kHidden;
  if (type == kComponent && ctx.pool.valid(r.ext)) {
    const Handle nested = r.ext;
    grabItem(ctx, nested, kGrabFirst, nested);
    for (Handle h = ctx.rec(nested).next; h != nested && h != kNull; h = ctx.rec(h).next) {
      const Record& i = ctx.rec(h);
      if (i.hidden()) continue;
      grabItem(ctx, h, i.type() == kLine || i.type() == kComponent ? kGrabWhole : kGrabFirst, nested);
    }
  }
  return true;
}

int grabLineEndsAt(Context& ctx, int32_t x, int32_t y, int layer, Handle except) {
  if (ctx.current == kNull) return 0;
  int n = 0;
  const Handle ring = ctx.current;
  auto near = [](int32_t a, int32_t b) { return std::abs(int64_t{a} - b) < kCoincidence; };
  for (Handle h = ctx.rec(ring).prev; h != ring && h != kNull; h = ctx.rec(h).prev) {
    const Record& r = ctx.rec(h);
    if (h == except || r.type() != kLine || item::isSolid(r) || r.hidden()) continue;
    if (layer > 0 && r.layer != layer) continue;
    const uint8_t mode = static_cast<uint8_t>((near(r.x1, x) && near(r.y1, y) ? kGrabFirst : 0) |
                                              (near(r.w3, x) && near(r.w4, y) ? kGrabSecond : 0));
    if (mode && grabItem(ctx, h, mode)) ++n;
  }
  return n;
}

bool isGrabbed(const Context& ctx) { return !ctx.edit.grab.ghosts.empty(); }

bool ghostOf(const Context& ctx, Handle item) {
  for (const Ghost& g : ctx.edit.grab.ghosts)
    if (g.item == item) return true;
  return false;
}

void setGrabReference(Context& ctx) {
  ctx.edit.grab.refX = ctx.view.cursorX;
  ctx.edit.grab.refY = ctx.view.cursorY;
}

void followCursor(Context& ctx) {
  GrabList& gl = ctx.edit.grab;
  if (gl.ghosts.empty()) return;
  const int64_t dx = int64_t{ctx.view.cursorX} - gl.refX, dy = int64_t{ctx.view.cursorY} - gl.refY;
  if (!dx && !dy) return;
  xorGhosts(ctx);
  for (const Ghost& g : gl.ghosts) moveGhost(ctx, g, dx, dy);
  gl.refX = ctx.view.cursorX, gl.refY = ctx.view.cursorY;
  xorGhosts(ctx);
}

void xorGhosts(Context& ctx) {
  Surface& sf = ctx.screen.surface;
  if (!sf.valid() || ctx.edit.grab.ghosts.empty()) return;
  sf.setClip(ctx.view.area);
  drawAllGhosts(ctx);
  ctx.host->showSurface();
}

void showGrab(Context& ctx) {
  GrabList& gl = ctx.edit.grab;
  if (!gl.pending) return;
  gl.pending = false;
  redrawWorldBox(ctx, gl.pendingBox);
}

bool dropGrabList(Context& ctx) {
  GrabList& gl = ctx.edit.grab;
  if (gl.ghosts.empty()) return false;
  followCursor(ctx);
  if (std::all_of(gl.ghosts.begin(), gl.ghosts.end(), passive)) return releaseGrabList(ctx);
  xorGhosts(ctx);
  std::vector<Ghost> ghosts;
  ghosts.swap(gl.ghosts);
  gl.pending = false;
  {
    UndoTransaction t(ctx);
    std::vector<Handle> headers;
    std::vector<Handle> recorded;
    for (Ghost& g : ghosts) {
      if (passive(g)) continue;
      if (g.follow & kNewItem)
        t.added(g.item);
      else
        t.modified(g.item);
      applyGhost(ctx, g);
      Record& it = ctx.rec(g.item);
      it.flags &= static_cast<uint8_t>(~kHidden);
      t.touch(g.item);
      if (it.type() == kComponent) recorded.push_back(g.item);
      if (const Handle header = headerOf(ctx, g.ring)) headers.push_back(header);
      const bool collapsed = it.type() == kLine && !item::isSolid(it) && std::abs(int64_t{it.x1} - it.w3) < 3 &&
                             std::abs(int64_t{it.y1} - it.w4) < 3;
      if ((g.follow & kDeleteOnDrop) || collapsed) t.removed(g.item);
    }
    std::sort(headers.begin(), headers.end());
    headers.erase(std::unique(headers.begin(), headers.end()), headers.end());
    std::sort(recorded.begin(), recorded.end());
    for (Handle header : headers) {
      // A component moved whole keeps the box its ghost carried.
      if (std::binary_search(recorded.begin(), recorded.end(), header)) continue;
      t.modified(header);
      recomputeExtent(ctx, header);
      t.touch(header);
    }
    // Dimension lines dropped or stretched measure themselves again.
    headers.insert(headers.end(), recorded.begin(), recorded.end());
    std::sort(headers.begin(), headers.end());
    headers.erase(std::unique(headers.begin(), headers.end()), headers.end());
    for (Handle header : headers)
      if (!ctx.rec(header).hidden() && ctx.rec(header).type() == kComponent) rebuildDimension(ctx, header, t);
    for (Ghost& g : ghosts) freeGhostRecord(ctx, g);
  }
  return true;
}

bool releaseGrabList(Context& ctx) {
  GrabList& gl = ctx.edit.grab;
  if (gl.ghosts.empty()) return false;
  xorGhosts(ctx);
  bool any = false;
  int64_t box[4] = {0, 0, 0, 0};
  std::vector<Ghost> ghosts;
  ghosts.swap(gl.ghosts);
  gl.pending = false;
  for (Ghost& g : ghosts) {
    if (marker(g)) continue;
    Record& it = ctx.rec(g.item);
    if (it.type() == kSentinel || (g.follow & kNewItem)) continue;
    it.flags &= static_cast<uint8_t>(~kHidden);
    int64_t b[4];
    itemExtent(ctx, g.item, b);
    growBox(box, any, b);
  }
  // New items go last: a new component takes its ring along, whose items
  // may have ghosts of their own.
  for (Ghost& g : ghosts) {
    if (!(g.follow & kNewItem) || inert(g) || ctx.rec(g.item).type() == kSentinel) continue;
    forgetItem(ctx, g.item);
    freeItemDeeply(ctx, g.item);
  }
  for (Ghost& g : ghosts) freeGhostRecord(ctx, g);
  if (any) redrawWorldBox(ctx, box);
  return true;
}

}  // namespace trelmo
