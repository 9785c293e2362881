// The parameter boxes of the Place functions and of Setup Via Parameters
// (SV) and Setup XY Dimension Lines (SX). Each ask function runs its box and
// stores the values; false when the box was escaped or a value refused.
#pragma once
#include "shell/host.h"

namespace trelmo {

struct Context;

DialogBox placeLineBox(const Context& ctx);
DialogBox placeArcBox(const Context& ctx);
DialogBox placePadBox(const Context& ctx);
DialogBox placeTextBox(const Context& ctx);
DialogBox placeSignalNameBox(const Context& ctx);
DialogBox setupViaBox(const Context& ctx);
DialogBox setupDimensionBox(const Context& ctx);

bool askLineParameters(Context& ctx);
bool askArcParameters(Context& ctx);
bool askPadParameters(Context& ctx);
bool askTextParameters(Context& ctx);
bool askSignalName(Context& ctx);
bool askViaParameters(Context& ctx);
bool askDimensionParameters(Context& ctx);

}  // namespace trelmo
