// The setup boxes of the Setup menu, each defined once as data: a builder
// that shows the current values and an apply step that reads the confirmed
// box back. An apply step that finds a value it cannot take reports it and
// changes nothing (false).
#pragma once
#include <span>

#include "shell/host.h"

namespace trelmo {

struct Context;

// SL: the 256-entry layer table, one row per layer ("Layer12").
DialogBox setupLayersBox(const Context& ctx);
bool applySetupLayers(Context& ctx, DialogBox& box);
// SC: the clearances and the plane and mask allowances.
DialogBox setupClearancesBox(const Context& ctx);
bool applySetupClearances(Context& ctx, DialogBox& box);
// SG: a grid snap from the snap table.
DialogBox gridSnapBox(const Context& ctx);
bool applyGridSnap(Context& ctx, DialogBox& box);
// SS: the snap table's sixteen entries.
DialogBox snapTableBox(const Context& ctx);
bool applySnapTable(Context& ctx, DialogBox& box);
// SD: grid dot spacing and the four colours.
DialogBox gridDotsBox(const Context& ctx);
bool applyGridDots(Context& ctx, DialogBox& box);
// SM: the draw modes of lines, pads and text, and the tags.
DialogBox drawModesBox(const Context& ctx);
bool applyDrawModes(Context& ctx, DialogBox& box);
// SB: the status-bar readouts: polar readout, units, decimals, factor.
DialogBox statusBarBox(const Context& ctx);
bool applyStatusBar(Context& ctx, DialogBox& box);
// S`: which screen the main window is on.
DialogBox screenParametersBox(const Context& ctx);
bool applyScreenParameters(Context& ctx, DialogBox& box);

// A Setup menu member that is a box.
struct SetupBox {
  char member;
  DialogBox (*build)(const Context&);
  bool (*apply)(Context&, DialogBox&);
  bool needsFile;  // edits the current file's setup parameters
};
std::span<const SetupBox> setupBoxes();

// Shows the box and applies it; a change that the file's option lines show
// marks the file modified; the view is redrawn.
void runSetupBox(Context& ctx, const SetupBox& box);

}  // namespace trelmo
