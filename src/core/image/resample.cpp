#include "image/resample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <new>

#include "image/display.h"

namespace trelmo {

namespace {

constexpr size_t kPlacementEnd = 48;  // header bytes up to the four edges

// Header fields that agree with the block: rows inside it, a known depth.
bool pictureIntact(const PixelImage& img) {
  if (img.block.size() < kImageHeaderSize) return false;
  const uint32_t w = img.width(), h = img.height(), bpp = img.bitsPerPixel();
  if (w == 0 || h == 0 || img.resolution() == 0 || img.stride() < w) return false;
  if (img.kind() == 3 ? bpp != 24 : bpp != 8) return false;
  return uint64_t{img.stride()} * h * (bpp / 8) <= img.block.size() - kImageHeaderSize;
}

// A position within a millionth of a pixel of a whole pixel is that pixel:
// rounding in the mapping must not blend in a neighbour.
double snapped(double p) {
  const double r = std::round(p);
  return std::abs(p - r) < 1e-6 ? r : p;
}

// Half a unit added and truncated toward zero, as the corners of a resampled
// picture have always been converted.
int32_t toWorld(double inches) { return static_cast<int32_t>(std::trunc(inches * 65536 + 0.5)); }

bool worldRange(double inches) {
  const double w = inches * 65536 + 0.5;
  return w > -2147483648.0 && w < 2147483647.0;
}

std::string sizeText(double columns, double rows, double megabytes) {
  char buf[200];
  std::snprintf(buf, sizeof buf, "The new image would be %.0f x %.0f pixels (%.0f MB), more than the %u x %u pixels",
                columns, rows, megabytes, kMaxResampleSide, kMaxResampleSide);
  return std::string(buf) + " and " + std::to_string(kMaxImageBytes >> 20) + " MB an image may have.";
}

}  // namespace

InchBox pictureBox(const PixelImage& img) {
  return {img.x0() / 65536.0, img.y0() / 65536.0, img.x1() / 65536.0, img.y1() / 65536.0};
}

void copyHeaderTail(const PixelImage& from, PixelImage& to) {
  if (from.block.size() < kImageHeaderSize || to.block.size() < kImageHeaderSize) return;
  std::copy(from.block.begin() + kPlacementEnd, from.block.begin() + kImageHeaderSize,
            to.block.begin() + kPlacementEnd);
}

uint32_t pictureValueColour(const PixelImage& img, int v) {
  v &= 255;
  switch (img.kind()) {
    case 0: {
      const uint32_t g = img.block[128 + static_cast<size_t>(v)];
      return (g << 16) | (g << 8) | g;
    }
    case 1:
      return colourCubeEntry(v);
    default:
      return img.paletteEntry(v) & 0xFFFFFF;
  }
}

namespace {

// Reads the old picture at a fractional pixel position by bilinear
// interpolation, per channel of the new picture.
class Sampler {
 public:
  Sampler(const PixelImage& old, bool colour)
      : old_(old), W_(old.width()), H_(old.height()), bytes_(old.kind() == 3 ? 3 : 1) {
    // One-byte colour pictures are interpolated on their colours.
    lookUp_ = colour && old.kind() != 3;
    if (!lookUp_) return;
    for (int v = 0; v < 256; ++v) {
      const uint32_t rgb = pictureValueColour(old, v);
      lut_[v] = {static_cast<uint8_t>(rgb & 255), static_cast<uint8_t>((rgb >> 8) & 255),
                 static_cast<uint8_t>(rgb >> 16)};  // stored blue, green, red
    }
  }

  // Column u and row v counted from the bottom-left pixel; false (black)
  // outside the picture. The last column and row are inside.
  bool sample(double u, double v, int channels, uint8_t* out) const {
    if (!(u >= 0 && u <= static_cast<double>(W_ - 1) && v >= 0 && v <= static_cast<double>(H_ - 1))) return false;
    const auto iu = static_cast<int64_t>(u), iv = static_cast<int64_t>(v);
    const double fu = u - static_cast<double>(iu), fv = v - static_cast<double>(iv);
    const int64_t iu1 = std::min(iu + 1, W_ - 1), iv1 = std::min(iv + 1, H_ - 1);
    const int64_t row0 = H_ - iv - 1, row1 = H_ - iv1 - 1;
    for (int c = 0; c < channels; ++c) {
      const double p00 = fetch(row0, iu, c), p10 = fetch(row0, iu1, c);
      const double p01 = fetch(row1, iu, c), p11 = fetch(row1, iu1, c);
      const double value = p00 + (p10 - p00) * fu + (p01 - p00) * fv + (p00 - p10 + p11 - p01) * fu * fv;
      out[c] = static_cast<uint8_t>(std::clamp(value, 0.0, 255.0));
    }
    return true;
  }

 private:
  double fetch(int64_t row, int64_t column, int channel) const {
    const uint8_t* p = old_.row(static_cast<uint32_t>(row)) + column * bytes_;
    if (lookUp_) return lut_[*p][static_cast<size_t>(channel)];
    return p[bytes_ == 3 ? channel : 0];
  }

  const PixelImage& old_;
  int64_t W_, H_;
  int bytes_;
  bool lookUp_ = false;
  std::array<std::array<uint8_t, 3>, 256> lut_{};
};

// The new picture's block, sized and placed: its edges follow the pixel grid
// from the lower-left corner, as every picture's do, so that it is shown
// where it was sampled. Null with the reason when it may not or cannot be had.
std::unique_ptr<PixelImage> newPicture(const PixelImage& old, const InchBox& b, bool colour, std::string& why) {
  const double D = old.resolution();
  const double spanX = b.x1 - b.x0, spanY = b.y1 - b.y0;
  if (!std::isfinite(spanX) || !std::isfinite(spanY) || !worldRange(b.x0) || !worldRange(b.y0) || !worldRange(b.x1) ||
      !worldRange(b.y1)) {
    why = "The new image would lie outside the drawing's coordinate range.";
    return nullptr;
  }
  const double columnsD = std::floor(spanX * D + 1.5), rowsD = std::floor(spanY * D + 1.5);
  const double bytes = std::ceil(columnsD / 4) * 4 * rowsD * (colour ? 3 : 1);
  if (columnsD > kMaxResampleSide || rowsD > kMaxResampleSide || bytes > static_cast<double>(kMaxImageBytes)) {
    why = sizeText(columnsD, rowsD, bytes / (1 << 20));
    return nullptr;
  }
  const auto columns = static_cast<uint32_t>(columnsD), rows = static_cast<uint32_t>(rowsD);
  std::unique_ptr<PixelImage> img;
  try {
    img = makeImage(columns, rows, colour ? 3 : old.kind(), old.resolution());
  } catch (const std::bad_alloc&) {
    img.reset();
  }
  if (!img) {
    why = "There is not enough memory for the new image.";
    return nullptr;
  }
  copyHeaderTail(old, *img);
  const int64_t dpi = old.resolution();
  img->setI32(32, toWorld(b.x0));
  img->setI32(36, toWorld(b.y0));
  img->setI32(40, static_cast<int32_t>(std::min<int64_t>(img->x0() + (int64_t{columns} - 1) * 65536 / dpi, INT32_MAX)));
  img->setI32(44, static_cast<int32_t>(std::min<int64_t>(img->y0() + (int64_t{rows} - 1) * 65536 / dpi, INT32_MAX)));
  return img;
}

}  // namespace

std::unique_ptr<PixelImage> resamplePicture(const PixelImage& old, const ResampleRequest& request,
                                            const ResampleProgress& progress, std::string& why) {
  if (!pictureIntact(old)) {
    why = "The current image is damaged.";
    return nullptr;
  }
  // The rectangle with its corners in order: column 0 on its left edge, the
  // last row on its bottom edge.
  const InchBox b{std::min(request.box.x0, request.box.x1), std::min(request.box.y0, request.box.y1),
                  std::max(request.box.x0, request.box.x1), std::max(request.box.y0, request.box.y1)};
  const bool colour = old.kind() == 3 || (request.colour && old.kind() != 0);
  // The new block exists before anything of the old one is given up.
  std::unique_ptr<PixelImage> img = newPicture(old, b, colour, why);
  if (!img) return nullptr;
  const Sampler sampler(old, colour);
  const int channels = colour ? 3 : 1;
  const double D = old.resolution();
  const InchBox src = pictureBox(old);
  const uint32_t rows = img->height(), columns = img->width();
  int shown = -1;
  for (uint32_t r = 0; r < rows; ++r) {
    const int percent = static_cast<int>(uint64_t{r} * 100 / rows);
    if (percent != shown) {
      shown = percent;
      if (progress && progress(percent)) {
        why = "The image transformation was interrupted.";
        return nullptr;
      }
    }
    uint8_t* out = img->row(r);
    const double wy = b.y0 + static_cast<double>(rows - r - 1) / D;
    for (uint32_t k = 0; k < columns; ++k, out += channels) {
      double X, Y;
      if (request.source(b.x0 + static_cast<double>(k) / D, wy, X, Y))
        sampler.sample(snapped((X - src.x0) * D), snapped((Y - src.y0) * D), channels, out);  // else black
    }
  }
  if (progress) progress(100);
  return img;
}

}  // namespace trelmo
