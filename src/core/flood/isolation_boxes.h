// "TrackIsolationBox" and "IsolationOutputBox": what BT and BO ask.
#pragma once
#include "shell/host.h"

namespace trelmo {

struct Context;

DialogBox trackIsolationBox(const Context& ctx);
// The box's values into the setup; the sides chosen by its buttons (bit 1
// top, bit 2 bottom: "Top", "Bottom", or both for "Confirm"), 0 when a value
// did not read (the message shown).
int applyTrackIsolationBox(Context& ctx, DialogBox& box);

// The rows as last confirmed, or the defaults when every file name is empty:
// names from the design file's name, the design's folder, "Mirror on Y" No,
// No, Yes, Yes, source layers 0, the isolation targets and 2.
DialogBox isolationOutputBox(const Context& ctx);
bool applyIsolationOutputBox(Context& ctx, DialogBox& box);
// The defaults above into ctx.flood when every file name is empty.
void defaultIsolationRows(Context& ctx);

}  // namespace trelmo
