// The boxes and interactive steps of the Zoom family.
#pragma once
#include <cstdint>

#include "shell/host.h"

namespace trelmo {

struct Context;

// ZS: the scale in dots per inch.
DialogBox zoomScaleBox(const Context& ctx);
bool applyZoomScale(Context& ctx, DialogBox& box);
// ZL: the active layer, chosen among the named layers that are displayed.
DialogBox selectLayerBox(const Context& ctx);
bool applySelectLayer(Context& ctx, DialogBox& box);

// ZI, ZO and ZC from a menu: TRELMO mode with the prompt "Zoom In:  Select
// central point." (and the like); the next accept zooms about the cursor,
// a cancel clears the prompt.
void promptCentralPoint(Context& ctx, uint16_t code);
// ZW: two corners chosen in TRELMO mode, the rubber rectangle between the
// first and the cursor, then the view fitted to them.
void startZoomWindow(Context& ctx);

}  // namespace trelmo
