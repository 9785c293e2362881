// The Setup Options box (SO): the preferences and the action items.
#pragma once
#include "shell/host.h"

namespace trelmo {

struct Context;

// The box with every control showing the current state (action items clear).
DialogBox setupOptionsBox(const Context& ctx);
// Applies a confirmed box, in order: always on top, the preferences (each
// written), then the action items.
void applySetupOptions(Context& ctx, DialogBox& box);
void setupOptions(Context& ctx);

}  // namespace trelmo
