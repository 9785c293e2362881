#include "database/undo_memory.h"

#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "edit/undo.h"

namespace trelmo {

namespace {

bool isTextChain(const Context& ctx, Handle h) { return ctx.pool.valid(h) && ctx.rec(h).next == 0; }

}  // namespace

void freeUndoEntry(Context& ctx, Handle h) {
  Record& e = ctx.rec(h);
  switch ((e.flags >> 4) & 3) {
    case kMarker:
      releaseExtension(ctx, h);
      ctx.pool.release(h);
      return;
    case kAdded:
      ctx.pool.release(h);
      return;
    case kModified: {
      // A chain the entry holds apart from its item (the vertices of a filled
      // solid, or the text of a text item or of a component's parameters
      // replaced after the entry was made) is the entry's own.
      const Handle item = e.next;
      if (e.ext != kNull && ctx.pool.valid(item) && e.ext != ctx.rec(item).ext) {
        const Record& i = ctx.rec(item);
        const bool componentText = i.type() == kSentinel && i.layer == kComponentRing;
        if ((i.type() == kLine && item::isSolid(e) && (e.flags & kTypeMask) == kLine) ||
            ((i.type() == kText || componentText) && isTextChain(ctx, e.ext)))
          freeChain(ctx.pool, e.ext);
      }
      ctx.pool.release(h);
      return;
    }
    default:
      // The removed item itself: it is in no ring, so it is freed with its
      // own words pointing at itself.
      e.flags &= kEntryBitsClear;
      e.next = e.prev = h;
      freeItemDeeply(ctx, h);
      return;
  }
}

void freeUndoStack(Context& ctx, Handle& top) {
  std::vector<Handle> entries;
  for (Handle h = top; h != kNull; h = ctx.rec(h).prev) entries.push_back(h);
  top = kNull;
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) freeUndoEntry(ctx, *it);
}

void freeUndoContext(Context& ctx, Handle file) {
  auto it = ctx.edit.undo.find(file);
  if (it == ctx.edit.undo.end()) return;
  freeUndoStack(ctx, it->second.redo);
  freeUndoStack(ctx, it->second.undo);
  ctx.edit.undo.erase(it);
}

}  // namespace trelmo
