#include "screen/mirror_view.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "context.h"

namespace trelmo {

namespace {

// Components nest; deeper rings than this are left as they are.
constexpr size_t kMaxDepth = 64;

int32_t negate(int32_t x) { return x == INT32_MIN ? INT32_MAX : -x; }

// A bounding box stored as X1 .. X2: negated, the two ends trade places.
void mirrorBox(Record& r) {
  int32_t lo = negate(r.w3), hi = negate(r.x1);
  r.x1 = std::min(lo, hi);
  r.w3 = std::max(lo, hi);
}

void mirrorArc(Record& r) {
  r.x1 = negate(r.x1);
  uint16_t start = item::start(r), sweep = item::sweep(r);
  uint16_t ecc = item::eccentricity(r), axis = item::axisAngle(r);
  uint16_t end = static_cast<uint16_t>(start + sweep);
  if (ecc == 0 && axis == 0) {
    start = static_cast<uint16_t>(32768 - end);
  } else {
    start = static_cast<uint16_t>(-end);
    axis = static_cast<uint16_t>(32768 - axis);
  }
  item::setArc(r, item::radius(r), start, sweep, ecc, axis);
}

void mirrorText(Record& r) {
  r.x1 = negate(r.x1);
  uint8_t af = item::textAnchorFont(r);
  uint8_t horizontal = af & 3;
  if (horizontal == 0 || horizontal == 2) af = static_cast<uint8_t>((af & ~3) | (2 - horizontal));
  item::setText(r, item::textLength(r), static_cast<uint16_t>(-item::textAngle(r)), af);
}

void mirrorVertices(Context& ctx, Handle chain) {
  // The chain is bounded by the pool: a damaged loop cannot hold us.
  for (size_t n = 0; chain != kNull && ctx.pool.valid(chain) && n < 65536; ++n) {
    Record& v = ctx.rec(chain);
    v.x1 = negate(v.x1);
    v.w3 = negate(v.w3);
    chain = v.ext;
  }
}

void mirrorRecord(Context& ctx, Handle h, std::vector<Handle>& rings) {
  Record& r = ctx.rec(h);
  switch (r.type()) {
    case kLine:
      if (item::isSolid(r)) {
        mirrorBox(r);
        if (r.ext != kNull) mirrorVertices(ctx, r.ext);
      } else {
        r.x1 = negate(r.x1);
        r.w3 = negate(r.w3);
      }
      break;
    case kArc:
      mirrorArc(r);
      break;
    case kPad:
      r.x1 = negate(r.x1);
      setHi16(r.w4, static_cast<uint16_t>(32768 - item::padAngle(r)));
      break;
    case kText:
      mirrorText(r);
      break;
    case kReserved:
      r.x1 = negate(r.x1);
      r.w3 = negate(r.w3);
      break;
    case kComponent:
    case kContainer:
      mirrorBox(r);
      if (r.ext != kNull && ctx.pool.valid(r.ext) && ctx.rec(r.ext).type() == kSentinel) rings.push_back(r.ext);
      break;
    default:
      break;
  }
}

// Every item of a ring and of the rings nested in it.
void mirrorRing(Context& ctx, Handle sentinel) {
  std::vector<std::pair<Handle, size_t>> todo{{sentinel, 0}};
  std::vector<Handle> seen;
  while (!todo.empty()) {
    auto [ring, depth] = todo.back();
    todo.pop_back();
    if (std::find(seen.begin(), seen.end(), ring) != seen.end()) continue;  // a ring shared twice flips once
    seen.push_back(ring);
    Record& s = ctx.rec(ring);
    if (s.layer != kFileRing) s.x1 = negate(s.x1);  // the component origin
    std::vector<Handle> nested;
    Handle cur = s.next;
    for (size_t n = 0; cur != ring && cur != kNull && ctx.pool.valid(cur) && n < (1u << 28); ++n) {
      mirrorRecord(ctx, cur, nested);
      cur = ctx.rec(cur).next;
    }
    if (depth + 1 < kMaxDepth)
      for (Handle h : nested) todo.push_back({h, depth + 1});
  }
}

}  // namespace

void mirrorItemX(Context& ctx, Handle item) {
  if (item == kNull || !ctx.pool.valid(item)) return;
  std::vector<Handle> nested;
  mirrorRecord(ctx, item, nested);
  for (Handle ring : nested) mirrorRing(ctx, ring);
}

bool mirrorView(Context& ctx) {
  if (ctx.current == kNull || !ctx.pool.valid(ctx.current)) return false;
  mirrorRing(ctx, ctx.current);
  // The file's container header holds its stored extents.
  Handle header = static_cast<Handle>(item::owner(ctx.rec(ctx.current)));
  if (header != kNull && ctx.pool.valid(header) && ctx.rec(header).type() == kContainer) mirrorBox(ctx.rec(header));
  View& v = ctx.view;
  v.cursorX = negate(v.cursorX);
  ctx.params.zeroX = negate(ctx.params.zeroX);
  int64_t origin = -(static_cast<int64_t>(v.viewOriginX) + v.area.left + v.area.right + 1);
  v.viewOriginX = static_cast<int32_t>(std::clamp<int64_t>(origin, INT32_MIN, INT32_MAX));
  updateCursorPixel(v);
  return true;
}

}  // namespace trelmo
