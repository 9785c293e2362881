// Drawing the current pixel image under the design.
#pragma once
#include <cstdint>

#include "image/pixel_image.h"
#include "screen/surface.h"

namespace trelmo {

struct Context;

// The 0x00RRGGBB colour of palette entry v of kind-1 pictures (the built-in
// colour cube).
uint32_t colourCubeEntry(int v);

// Where the picture lands on the screen (inclusive pixel columns and rows)
// and the picture pixels per screen pixel as a 32.32 step.
struct PicturePlacement {
  int64_t left, top, right, bottom;
  uint64_t step;
};
bool placePicture(const Context& ctx, const PixelImage& img, PicturePlacement& out);

// Draws the picture into one dirty rectangle in 32 interlaced passes; false
// when pending zoom input stopped it between passes.
bool drawPicture(Context& ctx, const PixelImage& img, const Rect& rect);

// The phase that follows phase p: (5p + 7) mod 32.
inline int nextPicturePhase(int p) { return (5 * p + 7) % 32; }

}  // namespace trelmo
