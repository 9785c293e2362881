#include "image/markers.h"

#include <algorithm>

#include "context.h"
#include "database/geometry.h"
#include "database/rings.h"
#include "edit/grab.h"

namespace trelmo {

namespace {

// Ghosts on a hidden layer are not drawn: the markers take the current
// layer, or the first one shown.
uint8_t markerLayer(const Context& ctx) {
  const int current = ctx.params.currentLayer & 255;
  if (!(ctx.layer(current).color & kColorDisabled)) return static_cast<uint8_t>(current);
  for (int n = 0; n < 256; ++n)
    if (!(ctx.layer(n).color & kColorDisabled)) return static_cast<uint8_t>(n);
  return static_cast<uint8_t>(current);
}

}  // namespace

MarkerEdit::MarkerEdit(Context& ctx) : ctx_(ctx) {
  followCursor(ctx_);
  xorGhosts(ctx_);
}

MarkerEdit::~MarkerEdit() {
  setGrabReference(ctx_);
  xorGhosts(ctx_);
}

Handle MarkerEdit::add(uint8_t type, int32_t x1, int32_t y1, int32_t w3, int32_t w4, uint8_t follow) {
  const Handle h = ctx_.pool.allocate();
  if (h == kNull) return kNull;  // markers are only a guide: none when the pool is full
  Record& r = ctx_.rec(h);
  r = Record{};
  r.flags = type;
  r.layer = markerLayer(ctx_);
  r.size = 1;
  r.x1 = x1, r.y1 = y1, r.w3 = w3, r.w4 = w4;
  linkBefore(ctx_.pool, h, ctx_.rings[kGrabList]);
  Ghost g;
  g.record = h;
  g.follow = follow;
  ctx_.edit.grab.ghosts.push_back(g);
  return h;
}

void MarkerEdit::reticle() {
  const int32_t x = ctx_.view.cursorX, y = ctx_.view.cursorY;
  for (int32_t radius : kReticleRadii) {
    const Handle h = add(kArc, x, y, 0, 0, kFirstFollows);
    if (h != kNull) item::setArc(ctx_.rec(h), radius, 0, 0, 0, 0);  // sweep 0: the whole circle
  }
}

void MarkerEdit::cross() {
  const int32_t x = ctx_.view.cursorX, y = ctx_.view.cursorY;
  const uint8_t both = kFirstFollows | kSecondFollows;
  add(kLine, clamp32(int64_t{x} - kMarkerArm), y, clamp32(int64_t{x} + kMarkerArm), y, both);
  add(kLine, x, clamp32(int64_t{y} - kMarkerArm), x, clamp32(int64_t{y} + kMarkerArm), both);
}

void MarkerEdit::pointMark(int32_t x, int32_t y) {
  const int64_t a = kMarkerArm;
  add(kLine, clamp32(x - a), clamp32(y - a), clamp32(x + a), clamp32(y + a), 0);
  add(kLine, clamp32(x + a), clamp32(y - a), clamp32(x - a), clamp32(y + a), 0);
}

Handle MarkerEdit::rubberBand(int32_t x, int32_t y) {
  return add(kLine, ctx_.view.cursorX, ctx_.view.cursorY, x, y, kFirstFollows);
}

void MarkerEdit::fix(Handle band, int32_t x, int32_t y) {
  for (Ghost& g : ctx_.edit.grab.ghosts) {
    if (g.record != band || band == kNull) continue;
    g.follow = 0;
    ctx_.rec(band).x1 = x, ctx_.rec(band).y1 = y;
  }
}

void MarkerEdit::remove(Handle band) {
  auto& ghosts = ctx_.edit.grab.ghosts;
  auto it = std::find_if(ghosts.begin(), ghosts.end(), [band](const Ghost& g) { return g.record == band; });
  if (band == kNull || it == ghosts.end() || it->item != kNull) return;
  unlink(ctx_.pool, band);
  ctx_.pool.release(band);
  ghosts.erase(it);
}

void clearMarkers(Context& ctx) { releaseGrabList(ctx); }

}  // namespace trelmo
