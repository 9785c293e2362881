// Walks over design lists.
#pragma once
#include <cstdint>

#include "database/pool.h"

namespace trelmo {

// The sentinel that closes a component's nested ring. Its end line may have
// given it any layer but the file ring's mark; what makes it a component's is
// an owner whose extension leads back to it.
bool componentRingEnd(const RecordPool& pool, Handle sentinel);

// The flattened walk: every item of types 1..5 in ring order, descending into
// components, skipping hidden items and containers. Start with cursor = the
// file sentinel; each call moves the cursor and returns false at the end.
//   +1 / -1 / 0 results of the "any item" variants are given by anyItem().
int anyItem(const RecordPool& pool, Handle& cursor);          // +1 plain, -1 hilighted, 0 end
int anyItemBackward(const RecordPool& pool, Handle& cursor);  // the same, backward
bool notHilighted(const RecordPool& pool, Handle& cursor, bool forward = true);
bool hilighted(const RecordPool& pool, Handle& cursor, bool forward = true);
bool hiddenItem(const RecordPool& pool, Handle& cursor);  // forward, hidden items only

// Coincident point search: walks backward from position to the ring's
// sentinel for the first item whose (flags | layer << 8) & mask == key (a
// through-hole pad counts as layer 0) with a point within 4 units of (x, y).
// For a line `end` reports 1 or 2 for the end found.
constexpr int32_t kCoincidence = 4;
Handle coincidentPoint(const RecordPool& pool, Handle position, uint16_t key, uint16_t mask, int32_t x, int32_t y,
                       int* end = nullptr);

}  // namespace trelmo
