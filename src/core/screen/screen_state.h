// What the program keeps about its drawing surface between redraws.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "screen/surface.h"

namespace trelmo {

struct Context;

constexpr uint32_t kMarkerColour = 0xFFFF00;

// The first corner of a rectangle being chosen (Zoom Window, a block): while
// set, the cross-hair is drawn as the rubber rectangle from it to the cursor.
struct RubberBand {
  bool on = false;
  int32_t x = 0, y = 0;  // world units
};

struct ScreenState {
  Surface surface;
  // Rectangles the next redraw covers; empty means the whole drawing area.
  std::vector<Rect> dirty;
  // Pixel values for the surface's format (refreshScreenPixels).
  std::array<uint32_t, 256> layerPixel{};
  uint32_t gridPixel = 0, backgroundPixel = 0, hilightPixel = 0, markerPixel = 0;
  uint32_t lightGreyPixel = 0, whitePixel = 0, darkGreyPixel = 0, xorPixel = 0;
  // Set while ghosts are drawn: every primitive combines by exclusive-or.
  bool drawingXor = false;
  // The pixel image editor is open (picture placement uses the half-pixel
  // adjustment then).
  bool imageEditorOpen = false;
  RubberBand rubber;
  // Polled every few drawn items and between picture passes: true when a
  // zoom key or click is waiting and the redraw should give way.
  std::function<bool()> zoomPending;
  // Drawn by exclusive-or over each redrawn rectangle after the items (the
  // ghosts of the grab list), with the clip set to that rectangle.
  std::function<void(Context&)> drawOverlay;
  // Statistics of the last redraw.
  long itemsDrawn = 0;
  bool interrupted = false;
};

}  // namespace trelmo
