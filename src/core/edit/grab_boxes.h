// The boxes of the Grab menu: the angle of Rotate N and the factor of Scale.
#pragma once
#include <cstdint>

#include "shell/host.h"

namespace trelmo {

struct Context;

DialogBox rotationAngleBox(const Context& ctx);
DialogBox scalingFactorBox(const Context& ctx);
// Run the box; false when it was escaped or its value refused.
bool askRotationAngle(Context& ctx, uint16_t& angle);
bool askScalingFactor(Context& ctx, int32_t& factor);

}  // namespace trelmo
