// The parameter boxes of the Place functions and of Setup Via Parameters
// (SV) and Setup XY Dimension Lines (SX). Each ask function runs its box and
// stores the values; false when the box was escaped or a value refused.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

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

// The entries of the pad type drop-down, by type code.
const std::vector<std::string>& padTypeChoices();
// The four pad rules (layer and type, drill and type, sizes): true, with the
// message box's title and text, when the values break one.
bool padConflict(int type, int64_t layer, int32_t drill, int32_t x, int32_t y, std::string& title, std::string& text);

bool askLineParameters(Context& ctx);
bool askArcParameters(Context& ctx);
bool askPadParameters(Context& ctx);
bool askTextParameters(Context& ctx);
bool askSignalName(Context& ctx);
bool askViaParameters(Context& ctx);
bool askDimensionParameters(Context& ctx);

}  // namespace trelmo
