#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"

namespace trelmo {

namespace {

// The nested ring of a component or container header, kNull when it has none.
Handle nestedRing(const RecordPool& pool, Handle header) {
  const Record& r = pool[header];
  if (r.type() != kComponent && r.type() != kContainer) return kNull;
  const Handle s = r.ext;
  return s != header && pool.valid(s) && pool[s].type() == kSentinel ? s : kNull;
}

// Unlinks (when linked) and frees a record; returns its former successor.
Handle unlinkAndFree(RecordPool& pool, Handle rec) {
  Handle next = kNull;
  if (pool.valid(pool[rec].next) && pool.valid(pool[rec].prev)) next = unlink(pool, rec);
  pool.release(rec);
  return next;
}

// An item without a nested ring: release what it owns, then free it.
Handle freeLeaf(Context& ctx, Handle rec) {
  RecordPool& pool = ctx.pool;
  Record& r = pool[rec];
  switch (r.type()) {
    case kLine:
      if (r.size == 0) {
        freeChain(pool, r.ext);
        r.ext = kNull;
      } else {
        releaseExtension(ctx, rec);
      }
      break;
    case kArc:
      // What a negative-radius arc carries is no signal reference: leave it.
      if (item::radius(r) >= 0) releaseExtension(ctx, rec);
      break;
    case kPad: {
      releaseExtension(ctx, rec);
      const Handle pin = item::padPin(r);
      if (pin >= kFirstHandle && pool.valid(pin) && (pool[pin].next & 0xFF) == kPinNameMarker) pool.release(pin);
      break;
    }
    case kText:
    case kReserved:
      releaseExtension(ctx, rec);
      break;
    case kSentinel:  // a stray sentinel: its text chain
      freeChain(pool, r.ext);
      break;
    default:
      break;
  }
  return unlinkAndFree(pool, rec);
}

// Frees every item of the ring of `top`, nested rings included, without
// recursion (a hostile file may nest components very deeply).
void freeRingItems(Context& ctx, Handle top) {
  RecordPool& pool = ctx.pool;
  struct Level {
    Handle sentinel, header;
  };
  std::vector<Level> stack{{top, kNull}};
  Handle h = pool[top].next;
  while (pool.valid(h)) {
    const Level level = stack.back();
    if (h == level.sentinel) {
      if (stack.size() == 1) return;
      stack.pop_back();
      freeChain(pool, pool[level.sentinel].ext);
      pool.release(level.sentinel);
      h = unlinkAndFree(pool, level.header);
      continue;
    }
    const Handle nested = nestedRing(pool, h);
    if (nested != kNull && nested != level.sentinel) {
      stack.push_back({nested, h});
      h = pool[nested].next;
      continue;
    }
    h = freeLeaf(ctx, h);
  }
}

}  // namespace

Handle freeItemDeeply(Context& ctx, Handle rec) {
  RecordPool& pool = ctx.pool;
  if (!pool.valid(rec)) return kNull;
  if (pool[rec].type() == kSentinel) {
    freeRingItems(ctx, rec);
    return rec;
  }
  if (const Handle nested = nestedRing(pool, rec)) {
    freeRingItems(ctx, nested);
    freeChain(pool, pool[nested].ext);
    pool.release(nested);
    pool[rec].ext = kNull;
    return unlinkAndFree(pool, rec);
  }
  return freeLeaf(ctx, rec);
}

}  // namespace trelmo
