#include "database/walk.h"

namespace trelmo {

namespace {

enum class Want { Any, NotHilighted, Hilighted, Hidden };

bool qualifies(const Record& r, Want want) {
  switch (want) {
    case Want::Any:
      return !r.hidden();
    case Want::NotHilighted:
      return !r.hidden() && !r.hilighted();
    case Want::Hilighted:
      return !r.hidden() && r.hilighted();
    case Want::Hidden:
      return r.hidden();
  }
  return false;
}

// Moves the cursor to the next wanted item of the flattened order. Entering a
// component moves onto its nested sentinel, leaving one moves onto its header,
// so the following step continues on the far side of either. At the end the
// cursor rests on the sentinel that ended the walk.
bool step(const RecordPool& pool, Handle& cursor, bool forward, Want want) {
  if (!pool.valid(cursor)) return false;
  const size_t cap = pool.blockCount() * size_t{RecordPool::kRecordsPerBlock} + 1;
  Handle h = cursor;
  for (size_t n = 0; n < cap; ++n) {
    h = forward ? pool[h].next : pool[h].prev;
    if (!pool.valid(h)) return false;
    const Record& r = pool[h];
    switch (r.type()) {
      case kSentinel: {
        if (!componentRingEnd(pool, h)) {
          cursor = h;
          return false;
        }
        h = item::owner(r);  // climb back into the enclosing ring
        break;
      }
      case kComponent:
        // A hidden (grabbed) component is passed over whole, except when
        // hidden items are what is wanted.
        if (r.hidden() && want != Want::Hidden) break;
        if (pool.valid(r.ext) && pool[r.ext].type() == kSentinel && r.ext != h) h = r.ext;
        break;
      case kContainer:
        break;
      default:
        if (qualifies(r, want)) {
          cursor = h;
          return true;
        }
    }
  }
  return false;
}

int anyResult(const RecordPool& pool, Handle cursor, bool found) {
  if (!found) return 0;
  return pool[cursor].hilighted() ? -1 : 1;
}

bool near(int32_t a, int32_t b) {
  const int64_t d = int64_t{a} - b;
  return d > -kCoincidence && d < kCoincidence;
}

// Which point of the item lies at (x, y): 1 or 2 for the ends of a line, 1
// for the centre of a pad or an arc, 0 for none.
int pointAt(const Record& r, int32_t x, int32_t y) {
  switch (r.type()) {
    case kLine:
      if (r.size == 0) return 0;
      if (near(r.x1, x) && near(r.y1, y)) return 1;
      if (near(r.w3, x) && near(r.w4, y)) return 2;
      return 0;
    case kArc:
    case kPad:
      return near(r.x1, x) && near(r.y1, y) ? 1 : 0;
    default:
      return 0;
  }
}

uint16_t matchWord(const Record& r) {
  const bool throughHole = r.type() == kPad && (item::padType(r) & item::kSurfaceMount) == 0;
  return static_cast<uint16_t>(r.flags | (throughHole ? 0 : r.layer << 8));
}

}  // namespace

bool componentRingEnd(const RecordPool& pool, Handle sentinel) {
  if (!pool.valid(sentinel)) return false;
  const Record& s = pool[sentinel];
  if (s.type() != kSentinel || s.layer == kFileRing) return false;
  const Handle owner = item::owner(s);
  return owner != sentinel && pool.valid(owner) && pool[owner].ext == sentinel;
}

int anyItem(const RecordPool& pool, Handle& cursor) {
  return anyResult(pool, cursor, step(pool, cursor, true, Want::Any));
}

int anyItemBackward(const RecordPool& pool, Handle& cursor) {
  return anyResult(pool, cursor, step(pool, cursor, false, Want::Any));
}

bool notHilighted(const RecordPool& pool, Handle& cursor, bool forward) {
  return step(pool, cursor, forward, Want::NotHilighted);
}

bool hilighted(const RecordPool& pool, Handle& cursor, bool forward) {
  return step(pool, cursor, forward, Want::Hilighted);
}

bool hiddenItem(const RecordPool& pool, Handle& cursor) { return step(pool, cursor, true, Want::Hidden); }

Handle coincidentPoint(const RecordPool& pool, Handle position, uint16_t key, uint16_t mask, int32_t x, int32_t y,
                       int* end) {
  if (!pool.valid(position)) return kNull;
  const size_t cap = pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  Handle h = position;
  for (size_t n = 0; n < cap; ++n) {
    h = pool[h].prev;
    if (!pool.valid(h) || pool[h].type() == kSentinel) return kNull;
    const Record& r = pool[h];
    if ((matchWord(r) & mask) != key) continue;
    if (const int which = pointAt(r, x, y)) {
      if (end) *end = which;
      return h;
    }
  }
  return kNull;
}

}  // namespace trelmo
