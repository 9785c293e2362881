// The free run: how far a track may go from a point in one axis direction on
// a layer before it comes within the clearances of a line or pad. Shared by
// routed-line placement and the autorouter.
#pragma once
#include <cstdint>

#include "database/record.h"

namespace trelmo {

struct Context;

enum class RunDirection { kPlusX, kPlusY, kMinusX, kMinusY };

struct FreeRun {
  int64_t distance = INT32_MAX;  // INT32_MAX: nothing in the way
  Handle obstacle = kNull;
};

// Lines of non-zero width on `layer` count grown by half their width, half
// `width` and the line-to-line clearance; pads on the layer (through-hole
// pads on every layer) grown by half `width` and the line-to-pad clearance.
// Hilighted and hidden items are no obstacles. 0 when the point lies inside
// an obstacle.
FreeRun freeRun(const Context& ctx, int layer, uint16_t width, int32_t x, int32_t y, RunDirection direction);

}  // namespace trelmo
