// What the Edit, Delete and Query functions share: the start of a pick at
// the cursor, the layer search, cursor moves and component bookkeeping.
#pragma once
#include <cstdint>

#include "database/record.h"
#include "edit/hit_tests.h"

namespace trelmo {

struct Context;
class UndoTransaction;

using HitTest = Hit (*)(const Context&, int32_t, int32_t, int);

int activeLayer(const Context& ctx);

// The start of a function that acts on the item under the cursor: a file
// must be open (else Beop), the Re-Do stack may be purged, and a grab list
// present is dropped (the click ends there). From the menu bar the function
// becomes current and shows its prompt and waits; from keys it becomes
// current and acts at once; macros and repeats act at once. True: act now.
bool pickStart(Context& ctx, uint16_t code, int source, int prompt);
// Nothing found: the Beep sound and the function's prompt.
void pickFailed(Context& ctx, int prompt);

// The test on the active layer and, when nothing is there and the active
// layer is not 0, on every layer.
Hit searchLayers(const Context& ctx, HitTest test);

// Moves the cursor; the view re-centres when it left the margins.
void moveCursorTo(Context& ctx, int32_t x, int32_t y);

// After items of a component's ring changed: the header is recorded as
// modified and its box recomputed (nothing for the file's own ring).
void componentChanged(Context& ctx, UndoTransaction& t, Handle ring);

// Two points coincide when both differences are below 4 units.
bool coincide(int32_t ax, int32_t ay, int32_t bx, int32_t by);

}  // namespace trelmo
