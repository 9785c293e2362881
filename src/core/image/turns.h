// Mirroring and quarter turns of a picture. Each keeps the picture's kind,
// palette, translation table and name.
#pragma once
#include <memory>

#include "image/pixel_image.h"

namespace trelmo {

// Pixel k and pixel width-1-k of every row change places; the rectangle
// stays.
void mirrorPictureX(PixelImage& img);
// Memory row r and row height-1-r change places; the rectangle stays.
void mirrorPictureY(PixelImage& img);
// A half turn in place; the rectangle stays.
void rotatePicture180(PixelImage& img);
// A quarter turn counter-clockwise (or clockwise) into a new picture whose
// rectangle turns about its centre; null when the picture is damaged or the
// new block cannot be had (the old picture is untouched then).
std::unique_ptr<PixelImage> rotatePicture90(const PixelImage& img, bool clockwise);

// Adds (dx, dy) world units to the picture's edges; false (nothing changes)
// when an edge would leave the coordinate range.
bool movePicture(PixelImage& img, int64_t dx, int64_t dy);

}  // namespace trelmo
