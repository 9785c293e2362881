// The mirror (bottom) view: the current file flipped over about X = 0.
#pragma once
#include "database/record.h"

namespace trelmo {

struct Context;

// Mirrors one item about X = 0 with its orientation: arcs, pads and text turn
// the way a reflection turns them, text keeps reading left to right (its
// left/right anchor swaps), filled solids take their vertices along and
// components and containers everything in their rings.
void mirrorItemX(Context& ctx, Handle item);

// Flips the current file for a bottom view: every item, the cursor and zero
// point X, and the file's stored X extents; the view origin moves so that the
// picture mirrors in place about the drawing area's centre. False with no file
// open. The caller redraws fully.
bool mirrorView(Context& ctx);

}  // namespace trelmo
