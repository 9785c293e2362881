// Generates large synthetic boards for the benchmarks.
#pragma once
#include <cstdint>

#include "context.h"

namespace trelmo::bench {

// Fills the current design file with `items` items: tracks, pads, vias and
// text, a component every 50 items (with four pads and an outline inside) and
// a filled solid every 1000, on a layer table of a four-layer board.
void generateBoard(Context& ctx, long items, uint32_t seed = 1);

}  // namespace trelmo::bench
