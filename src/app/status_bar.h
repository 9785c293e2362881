// The status bar: the 22 pixel rows below the drawing area, drawn by the
// program itself into the same surface as the design.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "screen/surface.h"

namespace trelmo {
struct Context;
}

namespace trelmo::app {

constexpr int kGlyphWidth = 8, kGlyphHeight = 16;
constexpr int kStatusTextTop = 3;    // text rows start 3 pixels into the band
constexpr int kProgressWidth = 159;  // the progress bar covers the left end
constexpr int kProgressHeight = 19;
constexpr int kLayerSwatchCells = 2;  // the active layer's colour before its name

struct StatusBarColours {
  uint32_t background = 0xC0C0C0, text = 0x000000, layer = 0x000000;
};

// What the band shows: a message or help line replaces the readouts while
// it lasts; the clock stays at the right end.
struct StatusBarText {
  std::string left;   // message, or cursor and grid readouts
  std::string layer;  // the active layer's name, '*' after it when the file is unsaved
  std::string clock;  // " 3:07pm", the colon blinking
  uint32_t layerColour = 0;
};

// Writes one line of text with the bitmap font, clipped to the surface's
// clip rectangle; returns the x after the last character.
int drawText(Surface& s, int x, int y, std::string_view text, uint32_t ink, uint32_t paper);

// The status band of the surface below `area` (rows area.bottom+1 to the
// surface bottom): cleared, then the texts. `leftMargin` keeps the left end
// free while a progress bar covers it.
void drawStatusBar(Surface& s, const Rect& area, const StatusBarText& text, const StatusBarColours& c,
                   int leftMargin = 0);

// The band's texts for the context's current state: `message` (a status
// message or help line) when not empty, else the cursor readouts. `clock` is
// supplied by the caller so that tests are independent of the time of day.
StatusBarText statusBarText(const Context& ctx, const std::string& message, const std::string& clock);

}  // namespace trelmo::app
