// Changing the pixels of a picture: one pixel, a 4-connected region, every
// pixel of a value; each records what it changed so that it can be undone.
#pragma once
#include <cstdint>
#include <vector>

#include "image/pixel_image.h"

namespace trelmo {

// What one edit changed, so that it can be put back: pixel numbers (row x
// stride + column) with their former bytes (1 or 3 each); once that list
// would outgrow the picture, a copy of all the pixels as they were instead.
struct PixelUndo {
  uint32_t image = 0;  // ImageStore id of the picture
  std::vector<uint32_t> pixels;
  std::vector<uint8_t> before;
  std::vector<uint8_t> whole;
  uint32_t col0 = UINT32_MAX, row0 = UINT32_MAX, col1 = 0, row1 = 0;  // bounds of the changed pixels
  size_t count = 0;                                                   // pixels changed
  size_t bytes() const { return pixels.size() * 4 + before.size() + whole.size(); }
};

// The stored value of a pixel: a palette index, or 0xRRGGBB for 24 bits.
uint32_t pixelValue(const PixelImage& img, uint32_t col, uint32_t row);
// The colour an index of an 8-bit picture is shown in (translation table for
// grey pictures, the colour cube for kind 1, the palette for kind 2).
uint32_t shownColour(const PixelImage& img, uint8_t index);
// The index whose shown colour lies nearest to rgb (the lowest on a tie).
uint8_t nearestIndex(const PixelImage& img, uint32_t rgb);
bool isRgbPicture(const PixelImage& img);

// The picture pixel under world point (x, y) (picture pixels are centred on
// their grid points); false off the picture.
bool pictureCell(const PixelImage& img, int32_t x, int32_t y, uint32_t& col, uint32_t& row);
// The same cell without the bounds (it may lie off the picture); false for a
// picture without a resolution.
bool pictureGridCell(const PixelImage& img, int32_t x, int32_t y, int64_t& col, int64_t& row);
// The world rectangle (x0, y0, x1, y1) the pixels col0..col1, row0..row1 cover.
void pixelWorldBox(const PixelImage& img, uint32_t col0, uint32_t row0, uint32_t col1, uint32_t row1, int64_t box[4]);
// The header and rows are whole and of a known kind.
bool pictureEditable(const PixelImage& img);

// Each sets pixels to `value` (as pixelValue gives it) and records what it
// changed in `undo` (may be null); they return the number of pixels changed.
size_t setPixel(PixelImage& img, uint32_t col, uint32_t row, uint32_t value, PixelUndo* undo);
// The 4-connected region of the pixel's value (diagonal neighbours are not
// joined). The work list lives on the heap, bounded by the picture's size.
size_t floodPixels(PixelImage& img, uint32_t col, uint32_t row, uint32_t value, PixelUndo* undo);
// Every pixel of the value `from`.
size_t changeAllPixels(PixelImage& img, uint32_t from, uint32_t to, PixelUndo* undo);
// Puts back the bytes an edit recorded.
void undoPixels(PixelImage& img, const PixelUndo& undo);

}  // namespace trelmo
