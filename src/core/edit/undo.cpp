#include "edit/undo.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/rings.h"
#include "database/undo_memory.h"
#include "screen/view.h"

namespace trelmo {

namespace {

uint8_t kindOf(const Record& e) { return static_cast<uint8_t>((e.flags >> 4) & 3); }

UndoStacks* stacksOf(Context& ctx, Handle file) {
  if (file == kNull) return nullptr;
  return &ctx.edit.undo[file];
}

void push(Context& ctx, Handle& top, Handle entry, uint8_t kind, bool continues) {
  Record& e = ctx.rec(entry);
  e.flags = static_cast<uint8_t>((e.flags & kEntryBitsClear) | (kind << 4) | (continues ? kContinues : 0));
  e.prev = top;
  top = entry;
}

void copyValues(Record& to, const Record& from) {
  to.flags = static_cast<uint8_t>(from.flags & kEntryBitsClear);
  to.layer = from.layer;
  to.size = from.size;
  to.x1 = from.x1, to.y1 = from.y1;
  to.w3 = from.w3, to.w4 = from.w4, to.w5 = from.w5;
  to.ext = from.ext;
}

// The item and a popped modified entry trade their values.
void exchange(Record& item, Record& entry) {
  const uint8_t type = item.type();
  const uint8_t itemFlags = static_cast<uint8_t>(item.flags & kEntryBitsClear);
  item.flags = static_cast<uint8_t>((entry.flags & kEntryBitsClear & ~kTypeMask) | type);
  entry.flags = itemFlags;
  std::swap(item.layer, entry.layer);
  std::swap(item.size, entry.size);
  std::swap(item.x1, entry.x1);
  std::swap(item.y1, entry.y1);
  if (type != kSentinel) {
    std::swap(item.w3, entry.w3);
    std::swap(item.w4, entry.w4);
    std::swap(item.w5, entry.w5);
    if (type < kReserved) std::swap(item.ext, entry.ext);
  } else if (entry.ext != kNull) {
    std::swap(item.ext, entry.ext);
  }
}

// Whether an item is linked into a ring (a removed item keeps only its
// former successor, whose predecessor is someone else).
bool linked(const Context& ctx, Handle h) {
  if (!ctx.pool.valid(h)) return false;
  const Handle next = ctx.rec(h).next;
  return ctx.pool.valid(next) && ctx.rec(next).prev == h;
}

// Where a removed item goes back: before its former successor, or, when that
// successor is itself out of the ring (an item added behind the removed one
// in the same event and taken out first), before the successor that one had.
Handle placeOfReturn(const Context& ctx, Handle successor) {
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  Handle h = successor;
  for (size_t n = 0; n < cap && ctx.pool.valid(h); ++n, h = ctx.rec(h).next)
    if (linked(ctx, h)) return h;
  return successor;
}

void markModified(Context& ctx) {
  if (ctx.current != kNull) ctx.rec(ctx.current).size |= kFileModified;
}

// One event from one stack onto the other.
struct Mover {
  Context& ctx;
  Handle& from;
  Handle& to;
  bool redo;
  bool all;
  bool moved = false;  // an entry has gone to the other stack in this event
  bool any = false;
  bool redrawAll = false;  // the block outline moved
  int64_t box[4] = {0, 0, 0, 0};

  void touch(Handle item) {
    int64_t b[4];
    itemExtent(ctx, item, b);
    growBox(box, any, b);
  }
  void pushOther(Handle entry, uint8_t kind) {
    push(ctx, to, entry, kind, moved);
    moved = true;
  }

  // Pops one entry; true when the event goes on below it.
  bool step() {
    const Handle h = from;
    Record& e = ctx.rec(h);
    const uint8_t kind = kindOf(e);
    const bool continues = (e.flags & kContinues) != 0;
    from = e.prev;
    e.prev = kNull;
    switch (kind) {
      case kMarker: {
        if (e.type() == kStateEntryType) {
          redrawAll = exchangeEditState(ctx, h) || redrawAll;
          pushOther(h, kMarker);
          return continues;
        }
        pushOther(h, kMarker);
        if (all) return continues;
        ctx.host->messageBox(redo ? "Re-Do Marker" : "Un-Do Marker", readText(ctx, h));
        return false;
      }
      case kAdded: {
        const Handle item = e.next;
        ctx.pool.release(h);
        if (!ctx.pool.valid(item)) return continues;  // dead entry
        touch(item);
        const Handle successor = unlink(ctx.pool, item);
        ctx.rec(item).next = successor;
        pushOther(item, kRemoved);
        return continues;
      }
      case kModified: {
        const Handle item = e.next;
        if (!ctx.pool.valid(item)) {
          freeUndoEntry(ctx, h);
          return continues;
        }
        touch(item);
        e.flags &= kEntryBitsClear;
        exchange(ctx.rec(item), e);
        touch(item);
        pushOther(h, kModified);
        return continues;
      }
      default: {
        const Handle successor = placeOfReturn(ctx, e.next);
        e.flags &= kEntryBitsClear;
        linkBefore(ctx.pool, h, successor);
        touch(h);
        const Handle entry = ctx.pool.allocate();
        if (entry != kNull) {
          ctx.rec(entry).next = h;
          pushOther(entry, kAdded);
        }
        return continues;
      }
    }
  }
};

bool runEvent(Context& ctx, bool redo, bool all) {
  UndoStacks* s = stacksOf(ctx, ctx.current);
  if (!s) return false;
  Handle& from = redo ? s->redo : s->undo;
  Handle& to = redo ? s->undo : s->redo;
  if (from == kNull) return false;
  Mover m{ctx, from, to, redo, all};
  while (from != kNull && m.step()) {
  }
  if (m.redrawAll) {
    ctx.screen.dirty.clear();
    ctx.host->redrawView();
  } else if (m.any) {
    redrawWorldBox(ctx, m.box);
  }
  // Undone or redone, the design differs from what the last save wrote (the
  // Un-Do stack can reach back beyond a save).
  markModified(ctx);
  return true;
}

size_t depth(const Context& ctx, Handle top) {
  size_t n = 0;
  for (Handle h = top; h != kNull; h = ctx.rec(h).prev) ++n;
  return n;
}

const UndoStacks* findStacks(const Context& ctx) {
  if (ctx.current == kNull) return nullptr;
  auto it = ctx.edit.undo.find(ctx.current);
  return it == ctx.edit.undo.end() ? nullptr : &it->second;
}

// Pushes onto the Un-Do stack after emptying the Re-Do stack.
bool record(Context& ctx, Handle entry, uint8_t kind, bool continues) {
  UndoStacks* s = stacksOf(ctx, ctx.current);
  if (!s) return false;
  if (s->redo != kNull) freeUndoStack(ctx, s->redo);
  push(ctx, s->undo, entry, kind, continues);
  return true;
}

}  // namespace

bool recordState(Context& ctx, Handle entry, bool continues) { return record(ctx, entry, kMarker, continues); }

Handle undoTop(const Context& ctx) {
  const UndoStacks* s = findStacks(ctx);
  return s ? s->undo : kNull;
}

bool recordAdded(Context& ctx, Handle item, bool continues) {
  if (ctx.current == kNull || !ctx.pool.valid(item)) return false;
  const Handle e = ctx.pool.allocate();
  if (e == kNull) return false;
  ctx.rec(e).next = item;
  return record(ctx, e, kAdded, continues);
}

bool recordModified(Context& ctx, Handle item, bool continues) {
  if (ctx.current == kNull || !ctx.pool.valid(item)) return false;
  const Handle e = ctx.pool.allocate();
  if (e == kNull) return false;
  copyValues(ctx.rec(e), ctx.rec(item));
  ctx.rec(e).next = item;
  return record(ctx, e, kModified, continues);
}

bool recordRemoved(Context& ctx, Handle item, bool continues) {
  if (ctx.current == kNull || !ctx.pool.valid(item)) return false;
  const Handle successor = unlink(ctx.pool, item);
  ctx.rec(item).next = successor;
  return record(ctx, item, kRemoved, continues);
}

void forgetItem(Context& ctx, Handle item) {
  UndoStacks* s = stacksOf(ctx, ctx.current);
  if (!s) return;
  for (Handle h = s->undo; h != kNull; h = ctx.rec(h).prev) {
    Record& e = ctx.rec(h);
    const uint8_t kind = kindOf(e);
    if ((kind == kAdded || kind == kModified) && e.next == item) e.next = kNull;
  }
}

bool pushMarker(Context& ctx, std::string_view text, bool continues) {
  if (text.empty() || ctx.current == kNull) return false;
  const Handle e = ctx.pool.allocate();
  if (e == kNull) return false;
  if (!storeText(ctx, e, text)) {
    ctx.pool.release(e);
    return false;
  }
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto stamp = static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::seconds>(now).count());
  ctx.rec(e).flags = kText;
  ctx.rec(e).next = stamp ? stamp : 1;
  return record(ctx, e, kMarker, continues);
}

void purgeUndoStack(Context& ctx, Handle file) {
  if (UndoStacks* s = stacksOf(ctx, file)) freeUndoStack(ctx, s->undo);
}

void purgeRedoStack(Context& ctx, Handle file) {
  if (UndoStacks* s = stacksOf(ctx, file)) freeUndoStack(ctx, s->redo);
}

bool undoAvailable(const Context& ctx) {
  const UndoStacks* s = findStacks(ctx);
  return s && s->undo != kNull;
}

bool redoAvailable(const Context& ctx) {
  const UndoStacks* s = findStacks(ctx);
  return s && s->redo != kNull;
}

size_t undoDepth(const Context& ctx, bool redo) {
  const UndoStacks* s = findStacks(ctx);
  return s ? depth(ctx, redo ? s->redo : s->undo) : 0;
}

bool undoEvent(Context& ctx, bool all) { return runEvent(ctx, false, all); }
bool redoEvent(Context& ctx, bool all) { return runEvent(ctx, true, all); }

int undoAll(Context& ctx) {
  int n = 0;
  while (undoEvent(ctx, true)) ++n;
  return n;
}

int redoAll(Context& ctx) {
  int n = 0;
  while (redoEvent(ctx, true)) ++n;
  return n;
}

bool autoPurgeRedo(Context& ctx) {
  if (!redoAvailable(ctx)) return true;
  if (ctx.shell.prefs.purgeRedoNotify) {
    const Answer a = ctx.host->question("Re-Do Purge",
                                        "Activating this function will effect an auto-purge\nof all items and commands "
                                        "in the Re-Do stack.\n\nPurging the Re-Do stack cannot be un-done and\nall "
                                        "Re-Do information will be lost.\n\nDo you wish to continue?",
                                        Buttons::OkCancel);
    if (a != Answer::Ok) return false;
  }
  purgeRedoStack(ctx, ctx.current);
  return true;
}

void afterSave(Context& ctx, Handle file) {
  if (!ctx.shell.prefs.undoBeyondSave) purgeUndoStack(ctx, file);
}

UndoTransaction::UndoTransaction(Context& ctx) : ctx_(ctx) {}

UndoTransaction::~UndoTransaction() {
  if (all_) {
    ctx_.screen.dirty.clear();
    ctx_.host->redrawView();
  } else if (any_) {
    redrawWorldBox(ctx_, box_);
  }
  if (count_ > 0) markModified(ctx_);
}

void UndoTransaction::touch(Handle item) {
  if (!ctx_.pool.valid(item)) return;
  int64_t b[4];
  itemExtent(ctx_, item, b);
  growBox(box_, any_, b);
}

bool UndoTransaction::added(Handle item) {
  touch(item);
  return recordAdded(ctx_, item, next());
}

bool UndoTransaction::modified(Handle item) {
  touch(item);
  return recordModified(ctx_, item, next());
}

bool UndoTransaction::removed(Handle item) {
  touch(item);
  return recordRemoved(ctx_, item, next());
}

bool UndoTransaction::modifiedRing(Handle ring) {
  bool all = true;
  for (Handle h = ctx_.rec(ring).next; h != ring && h != kNull; h = ctx_.rec(h).next) {
    all &= modified(h);
    Record& r = ctx_.rec(h);
    if (item::isSolid(r) && r.ext != kNull) {
      const Handle copy = copyVertexChain(ctx_, r.ext);
      if (copy != kNull) r.ext = copy;
      all &= copy != kNull;
    }
    if ((r.type() == kComponent || r.type() == kContainer) && ctx_.pool.valid(r.ext)) {
      all &= modified(r.ext);
      all &= modifiedRing(r.ext);
    }
  }
  return all;
}

Handle copyVertexChain(Context& ctx, Handle first) {
  Handle head = kNull, last = kNull;
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  size_t n = 0;
  for (Handle v = first; v != kNull && ctx.pool.valid(v) && n < cap; v = ctx.rec(v).ext, ++n) {
    const Handle c = ctx.pool.allocate();
    if (c == kNull) {
      freeChain(ctx.pool, head);
      return kNull;
    }
    ctx.rec(c) = ctx.rec(v);
    ctx.rec(c).ext = kNull;
    if (last == kNull)
      head = c;
    else
      ctx.rec(last).ext = c;
    last = c;
  }
  return head;
}

void itemExtent(const Context& ctx, Handle h, int64_t box[4]) {
  const Record& r = ctx.rec(h);
  auto set = [&](int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    box[0] = std::min(x0, x1), box[1] = std::min(y0, y1), box[2] = std::max(x0, x1), box[3] = std::max(y0, y1);
  };
  const int64_t half = r.size / 2 + 1;
  switch (r.type()) {
    case kLine:
      if (item::isSolid(r)) return set(r.x1, r.y1, r.w3, r.w4);
      set(r.x1, r.y1, r.w3, r.w4);
      box[0] -= half, box[1] -= half, box[2] += half, box[3] += half;
      return;
    case kArc: {
      const int64_t rad = std::abs(int64_t{item::radius(r)}) + half;
      return set(r.x1 - rad, r.y1 - rad, r.x1 + rad, r.y1 + rad);
    }
    case kPad: {
      const int64_t reach = (int64_t{item::padX(r)} + item::padY(r)) / 2 + 1;
      return set(r.x1 - reach, r.y1 - reach, r.x1 + reach, r.y1 + reach);
    }
    case kText: {
      const int64_t reach = std::abs(int64_t{item::textLength(r)}) + 2 * int64_t{r.size};
      return set(r.x1 - reach, r.y1 - reach, r.x1 + reach, r.y1 + reach);
    }
    case kComponent:
    case kContainer:
      return set(r.x1, r.y1, r.w3, r.w4);
    case kSentinel: {
      const Handle owner = item::owner(r);
      if (r.layer == kComponentRing && owner != h && ctx.pool.valid(owner)) return itemExtent(ctx, owner, box);
      return set(r.x1, r.y1, r.x1, r.y1);
    }
    default:
      return set(r.x1, r.y1, r.w3, r.w4);
  }
}

void redrawWorldBox(Context& ctx, const int64_t box[4]) {
  const View& v = ctx.view;
  auto cw = [](int64_t w) { return static_cast<int32_t>(std::clamp<int64_t>(w, INT32_MIN, INT32_MAX)); };
  const int64_t l = worldToPixelX(v, cw(box[0])), r = worldToPixelX(v, cw(box[2]));
  const int64_t t = worldToPixelY(v, cw(box[3])), b = worldToPixelY(v, cw(box[1]));
  auto c = [](int64_t p) { return static_cast<int>(std::clamp<int64_t>(p, -(1 << 30), 1 << 30)); };
  // A pixel more on every side for the rounding of thin strokes.
  ctx.screen.dirty.push_back(
      {c(std::min(l, r) - 2), c(std::min(t, b) - 2), c(std::max(l, r) + 2), c(std::max(t, b) + 2)});
  ctx.host->redrawView();
  // A host without a surface leaves the rectangle: it must not narrow a
  // later full redraw.
  ctx.screen.dirty.clear();
}

}  // namespace trelmo
