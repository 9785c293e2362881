// Redraw of the current design into the dirty rectangles: background,
// picture, grid dots, then the items layer by layer.
#pragma once
#include <cstdint>
#include <vector>

#include "screen/surface.h"

namespace trelmo {

struct Context;

// Adopts pixel memory as the drawing surface and sizes the view's screen and
// drawing area to it (the status bar rows below the area when asked).
void attachSurface(Context& ctx, uint8_t* pixels, int pitch, int width, int height, const PixelFormat& format,
                   bool statusBar);

// The layers in the order they are drawn; 0x100 | layer marks the final pass
// of layer 0 with every through-hole pad (active copper layer).
std::vector<int> layerPassOrder(Context& ctx);
constexpr int kPadMasterPass = 0x100;

// Items drawn between two looks at pending zoom input: 2 to the power of the
// leading zero bits of the scale, at most 128.
int inputCheckInterval(uint32_t viewScale);

void drawGridDots(Context& ctx, const Rect& r);

// Draws the current design into the dirty rectangles (all of the drawing area
// when the list is empty), clearing them to the background first when
// `clear`. False when interrupted by pending zoom input. A single tall
// rectangle is drawn as two bands on two threads when the machine has them
// (`threads` 0) or when asked (2); `threads` 1 keeps to this thread. The
// pixels are the same either way.
bool drawDesign(Context& ctx, bool clear, int threads = 0);

// The bounding box of the current file's items (and picture); false when the
// file is empty. `drawn` widens it by what drawing adds: half the width of
// tracks and arcs (pads and text count their size either way).
bool designExtents(const Context& ctx, int32_t box[4], bool drawn = false);
// Zoom Extents over the current file: the drawn box of its items; an empty
// file shows its drawing limits, or the default scale about the origin when
// it has none of its own. Text and hexdump views take their own placement.
bool zoomExtents(Context& ctx);

}  // namespace trelmo
