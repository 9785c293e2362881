// Track Isolation (BT): milling paths round the copper of a board side, as
// line items on the side's target layer: isolation passes "$IS1", "$IS2"...
// each a step further out, then flood lines "$FLD" over what is left. One
// undo event for both sides.
#pragma once
#include "database/params.h"
#include "flood/flood_region.h"

namespace trelmo {
struct Context;
}

namespace trelmo::flood {

enum IsolationSides { kTopSide = 1, kBottomSide = 2 };

struct IsolationResult {
  int added = 0;
  bool interrupted = false;
  bool poolFull = false;
};

// The step from one pass to the next, and the pitch of the flood lines: the
// tool size less the overlap, at least 3 units.
int32_t isolationStep(uint16_t tool, uint16_t overlap);

IsolationResult trackIsolation(Context& ctx, const FloodRegion& region, int sides);

}  // namespace trelmo::flood
