// The Block menu's manufacturing members: Flood Fill (BF), Track Isolation
// (BT) and Isolation Output (BO), each on the region of the defined block.
#pragma once
#include <string>

#include "database/layer_set.h"
#include "flood/flood_region.h"
#include "shell/host.h"

namespace trelmo {

struct Context;

// Registers BF, BT and BO with the dispatcher. Call once per context.
void installFloodFunctions(Context& ctx);

// The region of the block defined in the current file; false when there is
// none.
bool currentBlockRegion(Context& ctx, flood::FloodRegion& region);

DialogBox floodFillBox(const Context& ctx);
// BF on a region (null: no block, message 9.28): the Re-Do purge question,
// "FloodFillBox" (not from a keystroke macro's direct call), then the flood in
// the mode of the button pressed ("Flood Fill" 1, "Hatch Fill" 2; `mode`
// when neither). False when nothing ran.
bool floodFillFunction(Context& ctx, const flood::FloodRegion* region, int source, int mode);

// BT: "TrackIsolationBox" (not from a macro's direct call), then the
// isolation of the sides chosen by its buttons ("Top" 1, "Bottom" 2; `sides`
// for "Confirm" or OK).
bool trackIsolationFunction(Context& ctx, const flood::FloodRegion* region, int source, int sides);
// BO: "IsolationOutputBox" (from a macro's direct call: the rows as they
// are, or their defaults), then the files. 1 written, 0 not.
int isolationOutputFunction(Context& ctx, const flood::FloodRegion* region, int source);

// Layer lists in boxes: "0,3,12"; empty for none.
std::string layerListText(const LayerSet& layers);
// False when the text is not such a list.
bool readLayerList(const std::string& text, LayerSet& layers);

}  // namespace trelmo
