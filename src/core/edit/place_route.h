// The routed rubber band of Place Routed-Line (PU): a path of horizontal and
// vertical runs between two points found by two searches that meet.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

namespace trelmo {

struct Context;

// The corners of a path from A to B on `layer` for a track of `width` (A
// first, B last), or nothing when the ends are within one grid step of each
// other, the grid step is below two units or no path was found in 4096
// rounds. Lines and pads at either end are no obstacles.
std::vector<std::pair<int32_t, int32_t>> routedPath(Context& ctx, int layer, uint16_t width, int32_t ax, int32_t ay,
                                                    int32_t bx, int32_t by);

}  // namespace trelmo
