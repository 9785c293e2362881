// The picture transforms that resample: rectification from point pairs and
// scaling along one axis about a fixed point.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "image/pixel_image.h"
#include "image/rectify_fit.h"
#include "image/resample.h"

namespace trelmo {

// Fits the pairs (inches) with the model and resamples the picture onto the
// rectangle the fit gives. Null with the reason in `why` when the pairs fix
// no mapping, the mapping has no usable inverse or the new picture is too
// large; `residual` is set whenever the fit succeeded.
std::unique_ptr<PixelImage> rectifyPicture(const PixelImage& old, std::span<const PointPair> pairs, FitModel model,
                                           const ResampleProgress& progress, FitResidual& residual, std::string& why);

// Which axis the source point lies along as seen from the fixed point: the
// larger of |dx| and |dy| must be at least 8 times the smaller.
enum class AlignAxis { None, X, Y };
AlignAxis alignAxis(int64_t fx, int64_t fy, int64_t sx, int64_t sy);
// The target may move the source point by at most half its distance from the
// fixed point along the axis.
bool alignTargetAllowed(AlignAxis axis, int64_t fx, int64_t fy, int64_t sx, int64_t sy, int64_t tx, int64_t ty);

// Scales distances from F along the axis by (T - F)/(S - F) and shears the
// other coordinate so that S lands on T (world units). Palette colour
// pictures become 24-bit colour.
std::unique_ptr<PixelImage> scaleAlignPicture(const PixelImage& old, AlignAxis axis, const int64_t f[2],
                                              const int64_t s[2], const int64_t t[2], const ResampleProgress& progress,
                                              std::string& why);

}  // namespace trelmo
