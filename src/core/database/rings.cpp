#include "database/rings.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "context.h"
#include "database/chains.h"

namespace trelmo {

Handle newRing(RecordPool& pool, uint8_t sentinelLayer) {
  const Handle s = pool.allocate();
  if (s == kNull) return kNull;
  Record& r = pool[s];
  r.next = r.prev = s;
  r.w4 = static_cast<int32_t>(s);
  r.layer = sentinelLayer;
  return s;
}

Handle newComponentRing(Context& ctx, Handle header, int32_t x, int32_t y, std::string_view params) {
  const Handle s = newRing(ctx.pool, kComponentRing);
  if (s == kNull) return kNull;
  Record& sr = ctx.pool[s];
  sr.x1 = x;
  sr.y1 = y;
  sr.w4 = static_cast<int32_t>(header);
  ctx.pool[header].ext = s;
  storeText(ctx, s, params);
  return s;
}

Handle createTextItem(Context& ctx, Handle ring, uint8_t layer, uint16_t height, int32_t x, int32_t y,
                      std::string_view text) {
  const Handle h = createItem(ctx.pool, ring, kText, layer, height, x, y, 0, 0, kNull);
  if (h == kNull || storeText(ctx, h, text)) return h;
  deleteItem(ctx.pool, h);
  return kNull;
}

namespace {

void grow(ItemBox& box, bool& any, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  if (!any) {
    box = {x0, y0, x1, y1};
    any = true;
    return;
  }
  box.x0 = std::min(box.x0, x0), box.y0 = std::min(box.y0, y0);
  box.x1 = std::max(box.x1, x1), box.y1 = std::max(box.y1, y1);
}

}  // namespace

ItemBox ringBounds(const RecordPool& pool, Handle ring) {
  ItemBox box;
  bool any = false;
  for (Handle h = pool[ring].next; h != ring; h = pool[h].next) {
    const Record& i = pool[h];
    switch (i.type()) {
      case kArc: {
        // An ellipse reaches out by its radii turned through its axis angle.
        const double big = std::abs(double(item::radius(i)));
        const double small = item::eccentricity(i) ? big * item::eccentricity(i) / 65536.0 : big;
        const double phi = item::eccentricity(i) ? item::axisAngle(i) * 2 * M_PI / 65536.0 : 0;
        const double c = std::cos(phi), s = std::sin(phi);
        const auto rx = static_cast<int64_t>(std::ceil(std::hypot(big * c, small * s)));
        const auto ry = static_cast<int64_t>(std::ceil(std::hypot(big * s, small * c)));
        grow(box, any, i.x1 - rx, i.y1 - ry, i.x1 + rx, i.y1 + ry);
        break;
      }
      case kLine:
      case kReserved:
        grow(box, any, std::min(i.x1, i.w3), std::min(i.y1, i.w4), std::max(i.x1, i.w3), std::max(i.y1, i.w4));
        break;
      case kComponent:
        grow(box, any, i.x1, i.y1, i.w3, i.w4);
        break;
      default:
        grow(box, any, i.x1, i.y1, i.x1, i.y1);
        break;
    }
  }
  return box;
}

void linkBefore(RecordPool& pool, Handle rec, Handle position) {
  Record& p = pool[position];
  Record& r = pool[rec];
  r.next = position;
  r.prev = p.prev;
  pool[p.prev].next = rec;
  p.prev = rec;
}

Handle unlink(RecordPool& pool, Handle rec) {
  Record& r = pool[rec];
  const Handle next = r.next;
  pool[r.prev].next = next;
  pool[next].prev = r.prev;
  r.next = r.prev = kNull;
  return next;
}

Handle createItem(RecordPool& pool, Handle sentinel) {
  const Handle h = pool.allocate();
  if (h != kNull) linkBefore(pool, h, sentinel);
  return h;
}

Handle createItem(RecordPool& pool, Handle sentinel, uint8_t flags, uint8_t layer, uint16_t size, int32_t x1,
                  int32_t y1, int32_t w3, int32_t w4, Handle ext) {
  const Handle h = createItem(pool, sentinel);
  if (h == kNull) return kNull;
  Record& r = pool[h];
  r.flags = flags;
  r.layer = layer;
  r.size = size;
  r.x1 = x1;
  r.y1 = y1;
  r.w3 = w3;
  r.w4 = w4;
  r.ext = ext;
  return h;
}

void deleteItem(RecordPool& pool, Handle rec) {
  unlink(pool, rec);
  pool.release(rec);
}

void moveItem(RecordPool& pool, Handle rec, Handle position) {
  unlink(pool, rec);
  linkBefore(pool, rec, position);
}

}  // namespace trelmo
