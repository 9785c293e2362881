// The grab list: ghosts of items that follow the cursor until a click drops
// them into the design (one undo event) or Escape puts them back.
#pragma once
#include <cstdint>

#include "database/record.h"
#include "edit/edit_state.h"

namespace trelmo {

struct Context;

// Adds a ghost of the item with a grab mode (GrabMode), hides the item and,
// for a filled solid, copies its vertices into the ghost. A component header
// grabbed takes its whole ring along (lines whole, other items by their first
// point). `ring` is the sentinel of the ring that holds the item when it lies
// inside a component (its header is brought up to date on the drop). Nothing is drawn: callers end a grab with
// showGrab. False when the item is already grabbed or the pool is exhausted.
bool grabItem(Context& ctx, Handle item, uint8_t mode, Handle ring = kNull);
// Every line end on `layer` (0: any layer) within 4 units of (x, y) in the
// current design, free lines only, is grabbed by that end; returns how many.
int grabLineEndsAt(Context& ctx, int32_t x, int32_t y, int layer, Handle except = kNull);
bool isGrabbed(const Context& ctx);
// The header of the component whose ring `ring` is; kNull for a file ring.
Handle headerOf(const Context& ctx, Handle ring);
// A component's box from what its items cover (nothing for an empty ring).
void recomputeExtent(Context& ctx, Handle header);
bool ghostOf(const Context& ctx, Handle item);

// The ghosts' reference point becomes the cursor (start of a grab).
void setGrabReference(Context& ctx);
// Following points move by the cursor's motion since the last call.
void followCursor(Context& ctx);

// Redraws what the grab hid and draws the ghosts by exclusive-or.
void showGrab(Context& ctx);
// Takes the ghosts off the surface / puts them on again (exclusive-or).
void xorGhosts(Context& ctx);

// Commits the ghosts into the design as one undo event; false when nothing
// was grabbed.
bool dropGrabList(Context& ctx);
// Puts everything back as it was, with no undo entry; false when empty.
bool releaseGrabList(Context& ctx);

// The grab family's hooks and members (G).
void installGrabFunctions(Context& ctx);

}  // namespace trelmo
