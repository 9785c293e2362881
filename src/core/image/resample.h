// Building a new picture from the current one through a mapping: each new
// pixel takes the bilinear interpolation of the four old pixels around the
// position the mapping gives it, or black where that falls outside.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "image/pixel_image.h"
#include "image/rectify_fit.h"

namespace trelmo {

// Largest side of a picture a transform may produce, and (kMaxImageBytes)
// the largest block of pixel rows.
constexpr uint32_t kMaxResampleSide = 32768;

// New position (inches) to old position (inches); false: no pixel there.
using SourcePoint = std::function<bool(double x, double y, double& X, double& Y)>;
// Progress in percent of the rows done; true asks to stop.
using ResampleProgress = std::function<bool(int percent)>;

struct ResampleRequest {
  InchBox box;          // the new picture's rectangle
  SourcePoint source;   // where each new pixel looks in the old picture
  bool colour = false;  // a palette colour picture becomes 24-bit colour
};

// The new picture, or null with the reason in `why` (the size limits, an
// allocation that failed, a rectangle outside the coordinate range, an
// interruption). The old picture is only read.
std::unique_ptr<PixelImage> resamplePicture(const PixelImage& old, const ResampleRequest& request,
                                            const ResampleProgress& progress, std::string& why);

// The picture's rectangle in inches.
InchBox pictureBox(const PixelImage& img);

// Copies the bytes after the placement fields (name, translation table and
// palette) from one header to another.
void copyHeaderTail(const PixelImage& from, PixelImage& to);

// The RGB colour the display shows for pixel value v of a one-byte picture.
uint32_t pictureValueColour(const PixelImage& img, int v);

}  // namespace trelmo
