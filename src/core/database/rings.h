// Rings of item records: the design list, component rings and the
// program-wide rings. All operations are O(1) except the deep free.
#pragma once
#include <cstdint>
#include <string_view>

#include "database/pool.h"

namespace trelmo {

struct Context;

// A new empty ring: a sentinel (type 0) whose next, previous and owner point
// to itself. Returns kNull when the pool is exhausted.
Handle newRing(RecordPool& pool, uint8_t sentinelLayer);

// A new component ring hung under a component header: its origin is (x, y),
// its text the parameters, and it points back to the header. kNull when the
// pool is exhausted (the header is left as it was).
Handle newComponentRing(Context& ctx, Handle header, int32_t x, int32_t y, std::string_view params);

// A text item appended to the ring, its text stored; kNull, with nothing left
// behind, when the pool is exhausted.
Handle createTextItem(Context& ctx, Handle ring, uint8_t layer, uint16_t height, int32_t x, int32_t y,
                      std::string_view text);

// The box around the items of a ring, unclamped: arcs by their full circle,
// lines and reserved items by both points, nested components by their box,
// everything else by its origin. All zero for an empty ring.
struct ItemBox {
  int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};
ItemBox ringBounds(const RecordPool& pool, Handle ring);

void linkBefore(RecordPool& pool, Handle rec, Handle position);
// Joins the neighbours of rec; returns its former successor.
Handle unlink(RecordPool& pool, Handle rec);
// Allocates a record and appends it at the end of the ring (kNull when full).
Handle createItem(RecordPool& pool, Handle sentinel);
Handle createItem(RecordPool& pool, Handle sentinel, uint8_t flags, uint8_t layer, uint16_t size, int32_t x1,
                  int32_t y1, int32_t w3, int32_t w4, Handle ext);
void deleteItem(RecordPool& pool, Handle rec);
void moveItem(RecordPool& pool, Handle rec, Handle position);
// Releases what the item owns (vertex chain, text chain, signal reference, pin
// name, nested ring), then unlinks and frees it; returns its successor. A
// sentinel loses every item of its ring and is kept (the result is itself).
Handle freeItemDeeply(Context& ctx, Handle rec);
inline bool ringEmpty(const RecordPool& pool, Handle sentinel) { return pool[sentinel].next == sentinel; }

}  // namespace trelmo
