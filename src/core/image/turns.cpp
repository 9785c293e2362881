#include "image/turns.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "image/resample.h"

namespace trelmo {

namespace {

size_t pixelSize(const PixelImage& img) { return img.kind() == 3 ? 3 : 1; }

bool rowsInside(const PixelImage& img) {
  if (img.block.size() < kImageHeaderSize || img.stride() < img.width()) return false;
  if (img.bitsPerPixel() != pixelSize(img) * 8) return false;
  return img.pixelBytes() <= img.block.size() - kImageHeaderSize;
}

void swapPixels(uint8_t* a, uint8_t* b, size_t n) { std::swap_ranges(a, a + n, b); }

bool inRange(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

}  // namespace

void mirrorPictureX(PixelImage& img) {
  if (!rowsInside(img)) return;
  const size_t n = pixelSize(img), w = img.width();
  for (uint32_t r = 0; r < img.height(); ++r) {
    uint8_t* row = img.row(r);
    for (size_t k = 0; k < w / 2; ++k) swapPixels(row + k * n, row + (w - 1 - k) * n, n);
  }
}

void mirrorPictureY(PixelImage& img) {
  if (!rowsInside(img)) return;
  const size_t bytes = size_t{img.width()} * pixelSize(img);
  const uint32_t h = img.height();
  for (uint32_t r = 0; r < h / 2; ++r) swapPixels(img.row(r), img.row(h - 1 - r), bytes);
}

void rotatePicture180(PixelImage& img) {
  if (!rowsInside(img)) return;
  mirrorPictureY(img);
  mirrorPictureX(img);
}

std::unique_ptr<PixelImage> rotatePicture90(const PixelImage& img, bool clockwise) {
  if (!rowsInside(img)) return nullptr;
  const uint32_t W = img.width(), H = img.height();
  std::unique_ptr<PixelImage> out;
  try {
    out = makeImage(H, W, img.kind(), img.resolution());
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (!out) return nullptr;
  copyHeaderTail(img, *out);
  const size_t n = pixelSize(img);
  for (uint32_t d = 0; d < W; ++d) {
    uint8_t* dst = out->row(d);
    for (uint32_t k = 0; k < H; ++k, dst += n) {
      // Counter-clockwise: new (d, k) is old (k, W-1-d); clockwise: old (H-1-k, d).
      const uint8_t* src = clockwise ? img.row(H - 1 - k) + size_t{d} * n : img.row(k) + size_t{W - 1 - d} * n;
      std::copy(src, src + n, dst);
    }
  }
  // The rectangle turns about its centre (halvings toward zero).
  const int64_t x0 = img.x0(), y0 = img.y0(), x1 = img.x1(), y1 = img.y1();
  const int64_t cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hx = (x1 - x0) / 2, hy = (y1 - y0) / 2;
  const int64_t nx0 = cx - hy, ny0 = cy - hx, nx1 = nx0 + (y1 - y0), ny1 = ny0 + (x1 - x0);
  if (!inRange(nx0) || !inRange(ny0) || !inRange(nx1) || !inRange(ny1)) return nullptr;
  out->setI32(32, static_cast<int32_t>(nx0));
  out->setI32(36, static_cast<int32_t>(ny0));
  out->setI32(40, static_cast<int32_t>(nx1));
  out->setI32(44, static_cast<int32_t>(ny1));
  return out;
}

bool movePicture(PixelImage& img, int64_t dx, int64_t dy) {
  const int64_t e[4] = {img.x0() + dx, img.y0() + dy, img.x1() + dx, img.y1() + dy};
  if (!std::all_of(e, e + 4, inRange)) return false;
  for (int i = 0; i < 4; ++i) img.setI32(32 + 4 * static_cast<size_t>(i), static_cast<int32_t>(e[i]));
  return true;
}

}  // namespace trelmo
