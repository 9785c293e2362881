#include "database/rings.h"

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
