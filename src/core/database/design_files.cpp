#include "database/design_files.h"

#include "context.h"
#include "database/chains.h"
#include "database/options.h"
#include "database/rings.h"
#include "database/undo_memory.h"

namespace trelmo {

namespace {

bool samePath(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// Calls f(header, sentinel) for each open file in opening order until f
// returns false.
template <typename F>
void forEachFile(const Context& ctx, F f) {
  const RecordPool& pool = ctx.pool;
  const Handle ring = ctx.rings[kOpenFiles];
  if (!pool.valid(ring)) return;
  const size_t cap = pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  Handle h = pool[ring].next;
  for (size_t n = 0; n < cap && h != ring && pool.valid(h); ++n) {
    if (pool[h].type() == kContainer && pool.valid(pool[h].ext) && !f(h, pool[h].ext)) return;
    h = pool[h].next;
  }
}

// Pictures in the block's slots leave the image store.
void dropPictures(Context& ctx) {
  if (ctx.params.imageCurrent) ctx.images.remove(ctx.params.imageCurrent);
  if (ctx.params.imageAlternate) ctx.images.remove(ctx.params.imageAlternate);
  ctx.params.imageCurrent = ctx.params.imageAlternate = 0;
}

// The open file after this header in the ring, kNull when it is the only one.
Handle neighbourFile(const Context& ctx, Handle header) {
  const Handle ring = ctx.rings[kOpenFiles];
  Handle h = ctx.pool[header].next;
  if (h == ring) h = ctx.pool[ring].next;
  return h == header || h == ring ? kNull : ctx.pool[h].ext;
}

// Frees the design list, path and header of a file. When the file's block is
// the live one its pictures go with it; otherwise its parked chain is freed.
void freeFile(Context& ctx, Handle sentinel, bool blockLive) {
  // The undo stacks go first: removed items they hold are freed whole, while
  // the items their entries name are still there.
  freeUndoContext(ctx, sentinel);
  if (blockLive) {
    dropPictures(ctx);
  } else {
    freeChain(ctx.pool, static_cast<Handle>(ctx.pool[sentinel].w3));
  }
  freeItemDeeply(ctx, sentinel);
  releaseExtension(ctx, sentinel);
  const Handle header = item::owner(ctx.pool[sentinel]);
  if (header != sentinel && ctx.pool.valid(header)) deleteItem(ctx.pool, header);
  ctx.pool.release(sentinel);
}

}  // namespace

Handle newDesignFile(Context& ctx, std::string_view path) {
  if (!path.empty() && findOpenFile(ctx, path) != kNull) return kNull;
  // The file that was current keeps its block (and its pictures) parked.
  if (ctx.current != kNull && !parkParams(ctx, ctx.current)) return kNull;
  RecordPool& pool = ctx.pool;
  const Handle sentinel = newRing(pool, kFileRing);
  const bool named = sentinel != kNull && storeText(ctx, sentinel, path.empty() ? kDefaultFileName : path);
  const Handle header = named ? createItem(pool, ctx.rings[kOpenFiles], kContainer, 0, 0, 0, 0, 0, 0, sentinel) : kNull;
  if (header == kNull) {
    if (sentinel != kNull) {
      releaseExtension(ctx, sentinel);
      pool.release(sentinel);
    }
    if (ctx.current != kNull) restoreParams(ctx, ctx.current);
    return kNull;
  }
  pool[sentinel].w4 = static_cast<int32_t>(header);
  if (ctx.current == kNull) {
    dropPictures(ctx);  // nobody owns them any more
  } else {
    ctx.params.imageCurrent = ctx.params.imageAlternate = 0;
  }
  ctx.params.format = 0;
  ctx.current = sentinel;
  return sentinel;
}

void closeDesignFile(Context& ctx, Handle sentinel) {
  const Handle header = fileHeader(ctx, sentinel);
  if (header == kNull) return;
  if (sentinel != ctx.current) {
    // Bring the file's block back so that its pictures and parked chain are
    // freed with it, then return to the current file.
    const Handle keep = ctx.current;
    const bool parked = keep != kNull && parkParams(ctx, keep);
    const bool restored = parked && restoreParams(ctx, sentinel);
    freeFile(ctx, sentinel, restored);
    if (parked) restoreParams(ctx, keep);
    return;
  }
  const Handle next = neighbourFile(ctx, header);
  freeFile(ctx, sentinel, true);
  ctx.current = next;
  if (next != kNull) restoreParams(ctx, next);
}

Handle findOpenFile(const Context& ctx, std::string_view path) {
  Handle found = kNull;
  forEachFile(ctx, [&](Handle, Handle sentinel) {
    if (!samePath(filePath(ctx, sentinel), path)) return true;
    found = sentinel;
    return false;
  });
  return found;
}

std::string filePath(const Context& ctx, Handle sentinel) {
  if (!ctx.pool.valid(sentinel)) return {};
  return readText(ctx, sentinel);
}

Handle fileHeader(const Context& ctx, Handle sentinel) {
  if (!ctx.pool.valid(sentinel)) return kNull;
  const Record& s = ctx.pool[sentinel];
  const Handle header = item::owner(s);
  if (s.type() != kSentinel || s.layer != kFileRing || header == sentinel || !ctx.pool.valid(header)) return kNull;
  return ctx.pool[header].type() == kContainer && ctx.pool[header].ext == sentinel ? header : kNull;
}

int openFileCount(const Context& ctx) {
  int n = 0;
  forEachFile(ctx, [&](Handle, Handle) { return ++n, true; });
  return n;
}

}  // namespace trelmo
