// Parking the parameter block of a file that stops being current, and
// restoring it when the file becomes current again.
#include <cstring>

#include "context.h"
#include "database/chains.h"
#include "database/options.h"

namespace trelmo {
namespace {

// Second word of a parked piece, so that a chain found in a sentinel's third
// word can be told from the undo context hung behind it.
constexpr uint32_t kParkedMarker = 0x4B524150;  // "PARK"
constexpr size_t kPieceCount = (sizeof(Params) + kChainBytes - 1) / kChainBytes;

Handle thirdWord(const Record& r) { return static_cast<Handle>(r.w3); }

void releasePieces(Context& ctx, Handle first, size_t count) {
  for (size_t i = 0; i < count && first != kNull; ++i) {
    const Handle next = ctx.rec(first).ext;
    ctx.pool.release(first);
    first = next;
  }
}

}  // namespace

bool parkParams(Context& ctx, Handle fileSentinel) {
  if (!ctx.pool.valid(fileSentinel)) return false;
  const auto* bytes = reinterpret_cast<const uint8_t*>(&ctx.params);
  // Build the chain back to front so that each piece links to the next one and
  // the last piece to whatever the sentinel held.
  Handle chain = thirdWord(ctx.rec(fileSentinel));
  size_t built = 0;
  for (size_t i = kPieceCount; i-- > 0;) {
    const Handle piece = ctx.pool.allocate();
    if (piece == kNull) {
      releasePieces(ctx, chain, built);
      return false;
    }
    Record& r = ctx.rec(piece);
    const size_t offset = i * kChainBytes;
    const size_t n = sizeof(Params) - offset < size_t{kChainBytes} ? sizeof(Params) - offset : kChainBytes;
    std::memcpy(r.payload(), bytes + offset, n);
    r.next = kParkedMarker;
    r.ext = chain;
    chain = piece;
    ++built;
  }
  ctx.rec(fileSentinel).w3 = static_cast<int32_t>(chain);
  return true;
}

bool restoreParams(Context& ctx, Handle fileSentinel) {
  if (!ctx.pool.valid(fileSentinel)) return false;
  const Handle first = thirdWord(ctx.rec(fileSentinel));
  // Check the whole chain before touching the block.
  Handle h = first;
  for (size_t i = 0; i < kPieceCount; ++i) {
    if (!ctx.pool.valid(h) || ctx.rec(h).next != kParkedMarker) return false;
    h = ctx.rec(h).ext;
  }
  const Handle undoContext = h;
  auto* bytes = reinterpret_cast<uint8_t*>(&ctx.params);
  h = first;
  for (size_t i = 0; i < kPieceCount; ++i) {
    const size_t offset = i * kChainBytes;
    const size_t n = sizeof(Params) - offset < size_t{kChainBytes} ? sizeof(Params) - offset : kChainBytes;
    std::memcpy(bytes + offset, ctx.rec(h).payload(), n);
    h = ctx.rec(h).ext;
  }
  releasePieces(ctx, first, kPieceCount);
  ctx.rec(fileSentinel).w3 = static_cast<int32_t>(undoContext);
  convertColors(ctx);
  ctx.host->setTitle(readText(ctx, fileSentinel));
  return true;
}

}  // namespace trelmo
