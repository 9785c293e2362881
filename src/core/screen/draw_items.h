// Drawing of item records into a surface (the screen's unless given),
// clipped to its clip rectangle: lines and filled solids, arcs, pads, text and markers.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "database/record.h"
#include "screen/surface.h"

namespace trelmo {

struct Context;

// Converts the layer and configured colours for the surface's pixel format.
void refreshScreenPixels(Context& ctx);

// Draws one item in its layer colour (hilight colour when hilighted, the
// exclusive-or value while ctx.screen.drawingXor). `padGrow` widens pads
// (mask layers) or, negative, shrinks them (paste layers); `layerColour`
// overrides the colour layer when not negative. True when something was drawn.
bool drawItem(Context& ctx, Handle item, int32_t padGrow = 0, int layerColour = -1);
// The same into another surface (one band of a redraw, with its own clip)
// over the same pixel memory. Bands may draw at the same time: the context
// is only read, but for the measured lengths of texts (stored atomically).
bool drawItem(Context& ctx, Surface& sf, Handle item, int32_t padGrow, int layerColour);
// The text a text item shows: its chain, or its signal name on a schematic
// layer; "&d" and "&@" show attribute fields of the component it belongs to.
std::string shownText(const Context& ctx, Handle item);
// Field `field` (0-based, separated by byte 127) of the parameters of the
// component whose ring holds `item`; empty outside a component.
std::string componentField(const Context& ctx, Handle item, int field);

// Ghost drawing and erasing: the same item by exclusive-or.
bool drawGhost(Context& ctx, Handle item);

bool drawLine(const Context& ctx, Surface& sf, uint32_t pixel, Handle item);
bool drawArc(const Context& ctx, Surface& sf, uint32_t pixel, Handle item);
bool drawPad(const Context& ctx, Surface& sf, uint32_t pixel, Handle item, int32_t padGrow = 0);
// Measures the text first and stores the measured length and the number of
// lines (textLineCount) back into the item, then draws it.
bool drawText(Context& ctx, Surface& sf, uint32_t pixel, Handle item);
// The number of lines a text had when it was last drawn (0: never drawn).
int32_t textLineCount(const Record& r);
// Two diagonal strokes of +-0.025 inch, 0.01 inch wide, through a point.
void drawMarker(Context& ctx, uint32_t pixel, int32_t x, int32_t y);
void drawMarker(const Context& ctx, Surface& sf, uint32_t pixel, int32_t x, int32_t y);

// A string in the stroke font, outside any text item (labels): origin and
// angle in world units, font unit u, text mode 1-3.
void drawLabel(const Context& ctx, Surface& sf, uint32_t pixel, std::string_view text, int64_t x, int64_t y,
               uint16_t angle, int32_t u, int mode);

}  // namespace trelmo
