// State entries: what an editing event changes beside its items, kept on the
// Un-Do stack with the event. The active layer an edit picked and the block
// outline a block move carried along go back with Un-Do and forward again
// with Re-Do. An entry is a kind 0 record (like a marker, but of its own
// type and passed silently); the outline lives in a chain of records on its
// extension: the rectangle, the source reference point, then the polygon's
// vertices.
#include <algorithm>
#include <utility>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "edit/block.h"
#include "edit/undo.h"

namespace trelmo {

namespace {

constexpr int32_t kKeepsLayer = 1, kKeepsOutline = 2;

// Pushes a state entry onto the Un-Do stack (emptying the Re-Do stack).
bool pushState(Context& ctx, Handle e, bool continues) {
  ctx.rec(e).flags = kStateEntryType;
  return recordState(ctx, e, continues);
}

Handle storeOutline(Context& ctx, const BlockDefinition& b) {
  std::vector<std::pair<int32_t, int32_t>> points = {{b.region.x0, b.region.y0}, {b.sourceX, b.sourceY}};
  for (size_t i = 0; i + 1 < b.region.polygon.size(); i += 2)
    points.emplace_back(b.region.polygon[i], b.region.polygon[i + 1]);
  Handle head = kNull, last = kNull;
  for (const auto& [x, y] : points) {
    const Handle c = ctx.pool.allocate();
    if (c == kNull) {
      freeChain(ctx.pool, head);
      return kNull;
    }
    ctx.rec(c).x1 = x, ctx.rec(c).y1 = y;
    (last == kNull ? head : ctx.rec(last).ext) = c;
    last = c;
  }
  ctx.rec(head).w3 = b.region.x1, ctx.rec(head).w4 = b.region.y1;
  return head;
}

void loadOutline(const Context& ctx, Handle chain, BlockDefinition& b) {
  const Record& first = ctx.rec(chain);
  b.region = {first.x1, first.y1, first.w3, first.w4, {}};
  const Handle source = first.ext;
  if (!ctx.pool.valid(source)) return;
  b.sourceX = ctx.rec(source).x1, b.sourceY = ctx.rec(source).y1;
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  size_t n = 0;
  for (Handle v = ctx.rec(source).ext; ctx.pool.valid(v) && n < cap; v = ctx.rec(v).ext, ++n) {
    b.region.polygon.push_back(ctx.rec(v).x1);
    b.region.polygon.push_back(ctx.rec(v).y1);
  }
}

// The block of this file takes the entry's outline and the entry the block's.
bool exchangeOutline(Context& ctx, Record& e) {
  BlockDefinition* b = blockOf(ctx);
  if (!b || b->file != ctx.current || b->stage != 0 || !ctx.pool.valid(e.ext)) return false;
  const Handle now = storeOutline(ctx, *b);
  if (now == kNull) return false;
  loadOutline(ctx, e.ext, *b);
  freeChain(ctx.pool, e.ext);
  e.ext = now;
  return true;
}

}  // namespace

bool recordActiveLayer(Context& ctx, uint16_t before, bool continues) {
  if (ctx.current == kNull) return false;
  const Handle e = ctx.pool.allocate();
  if (e == kNull) return false;
  ctx.rec(e).w5 = kKeepsLayer;
  ctx.rec(e).size = before;
  return pushState(ctx, e, continues);
}

bool recordBlockOutline(Context& ctx, const BlockDefinition& before, bool continues) {
  if (ctx.current == kNull) return false;
  const Handle e = ctx.pool.allocate();
  if (e == kNull) return false;
  const Handle chain = storeOutline(ctx, before);
  if (chain == kNull) {
    ctx.pool.release(e);
    return false;
  }
  ctx.rec(e).w5 = kKeepsOutline;
  ctx.rec(e).ext = chain;
  return pushState(ctx, e, continues);
}

bool exchangeEditState(Context& ctx, Handle entry) {
  Record& e = ctx.rec(entry);
  if (e.w5 & kKeepsLayer) std::swap(ctx.params.currentLayer, e.size);
  return (e.w5 & kKeepsOutline) && exchangeOutline(ctx, e);
}

}  // namespace trelmo
