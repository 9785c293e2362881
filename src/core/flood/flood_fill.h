// Flood Fill (BF): parallel copper lines over the region on the target layer,
// clear of everything of other nets, with thermal ties to power and ground
// pads. One undo event.
#pragma once
#include <cstdint>

#include "database/layer_set.h"
#include "flood/flood_pieces.h"
#include "flood/flood_region.h"

namespace trelmo::flood {

enum FloodMode { kFloodLines = 1, kHatchLines = 2 };

struct FloodResult {
  int added = 0;           // items made
  bool cancelled = false;  // a pad tie was cancelled or the run interrupted
  bool poolFull = false;   // the record pool ran out
};

// The source layers of the flood box; when none is chosen, the target alone
// and layer 0 with it when the target is a Copper or Plane layer.
LayerSet floodSources(const Context& ctx);
// The flood line size as used: raised to 66 units when smaller.
int32_t floodLineSize(const Context& ctx);

// Horizontal lines over the region, from the bottom + W/2 + 33 to the top -
// W/2 - 33 at the pitch, each Y rounded to 0.001 inch, cut at the obstacles.
// False when interrupted.
bool horizontalLines(Context& ctx, const FloodRegion& region, const Obstacles& obstacles, PieceWriter& out,
                     const Clearances& c, double pitch);

// The run, with the parameters of the current file (its flood part of the
// setup) and `mode`.
FloodResult floodFill(Context& ctx, const FloodRegion& region, int mode);

}  // namespace trelmo::flood
