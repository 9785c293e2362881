// Turning, mirroring and scaling what is grabbed, about the grab reference
// point (the cursor). Only points that follow the cursor change; nothing
// reaches the design or the undo stacks before the drop.
#pragma once
#include <array>
#include <cstdint>

#include "database/record.h"

namespace trelmo {

struct Context;
struct Params;

// Each is false when the grab list is empty.
bool rotateGrab90(Context& ctx);
bool rotateGrab(Context& ctx, uint16_t angle);
bool mirrorGrabX(Context& ctx);
bool mirrorGrabY(Context& ctx);
bool mirrorGrabTopBottom(Context& ctx);
bool scaleGrab(Context& ctx, int32_t factor);  // 16.16

// Top and bottom layers of the same kind (silk, mask, copper, paste) trade
// places: a layer whose name begins with T or B maps to the last layer of its
// kind whose name begins with the other letter; every other layer to itself.
std::array<uint8_t, 256> topBottomLayerMap(const Params& p);

// A text anchor code flipped: 0 and 2 trade places, 1 and 3 stay.
constexpr uint8_t flipAnchorCode(uint8_t code) { return (code & 1) ? code : static_cast<uint8_t>(code ^ 2); }

}  // namespace trelmo
