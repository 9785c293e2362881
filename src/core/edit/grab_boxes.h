// The boxes of the Grab menu: the angle of Rotate N and the factor of Scale.
#pragma once
#include <cstdint>
#include <string>

#include "shell/host.h"

namespace trelmo {

struct Context;

// Degrees with up to four significant decimals ("90", "22.5"), and a 16.16
// factor with five ("1.0", "0.5"), as the boxes show them.
std::string degreesText(uint16_t angle);
std::string factorText(int32_t f);

DialogBox rotationAngleBox(const Context& ctx);
DialogBox scalingFactorBox(const Context& ctx);
// The component search of the component grabs: the five attribute fields,
// "&Confirm" (OK) and the button "next" ("Find &Next").
DialogBox locateComponentBox(const Context& ctx);
// Run the box; false when it was escaped or its value refused.
bool askRotationAngle(Context& ctx, uint16_t& angle);
bool askScalingFactor(Context& ctx, int32_t& factor);

}  // namespace trelmo
