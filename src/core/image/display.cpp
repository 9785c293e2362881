#include "image/display.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "context.h"

namespace trelmo {

namespace {

constexpr uint64_t kOne = uint64_t{1} << 32;
constexpr uint64_t kMaxStep = uint64_t{1} << 40;  // 256 picture pixels per screen pixel

int32_t clampWorld(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

bool pictureUsable(const PixelImage& img) {
  if (img.block.size() < kImageHeaderSize) return false;
  uint32_t w = img.width(), h = img.height(), bpp = img.bitsPerPixel();
  if (w == 0 || h == 0 || img.resolution() == 0 || img.stride() < w) return false;
  if (img.kind() == 3 ? bpp != 24 : bpp != 8) return false;
  uint64_t need = uint64_t{img.stride()} * h * (bpp / 8);
  return need <= img.block.size() - kImageHeaderSize;
}

uint32_t pictureColour(const PixelImage& img, int v) {
  switch (img.kind()) {
    case 0: {
      uint32_t g = img.block[128 + v];
      return (g << 16) | (g << 8) | g;
    }
    case 1:
      return colourCubeEntry(v);
    default:
      return img.paletteEntry(v) & 0xFFFFFF;
  }
}

// 24-bit picture colours on an 8 bpp screen go to the screen's colour cube.
uint32_t cubePixel(uint32_t rgb) {
  auto q = [](uint32_t c) { return (c + 25) / 51; };
  return 20 + q((rgb >> 16) & 255) + 6 * q((rgb >> 8) & 255) + 36 * q(rgb & 255);
}

void writePixel(uint8_t* p, int bytes, uint32_t v) {
  switch (bytes) {
    case 1:
      *p = static_cast<uint8_t>(v);
      break;
    case 2: {
      uint16_t w = static_cast<uint16_t>(v);
      std::memcpy(p, &w, 2);
      break;
    }
    case 3:
      p[0] = v & 255, p[1] = (v >> 8) & 255, p[2] = (v >> 16) & 255;
      break;
    default:
      std::memcpy(p, &v, 4);
  }
}

}  // namespace

uint32_t colourCubeEntry(int v) {
  v &= 255;
  auto grey = [](uint32_t g) { return (g << 16) | (g << 8) | g; };
  if (v >= 12 && v <= 19) return grey(16 * (v - 12));
  if (v >= 236 && v <= 243) return grey(16 * (v - 228));
  if (v < 20 || v > 235) return 0;
  int i = v - 20, r = i / 36, g = (i / 6) % 6, b = i % 6;
  return (uint32_t(51 * r) << 16) | (uint32_t(51 * g) << 8) | uint32_t(51 * b);
}

bool placePicture(const Context& ctx, const PixelImage& img, PicturePlacement& out) {
  if (!pictureUsable(img)) return false;
  const View& v = ctx.view;
  uint64_t d = img.resolution();
  // Rounded to the nearest 2^-32, so that whole ratios such as 1/10 step exactly.
  uint32_t scale = v.viewScale ? v.viewScale : 1;
  unsigned __int128 s = ((static_cast<unsigned __int128>(d) << 48) + scale / 2) / scale;
  out.step = static_cast<uint64_t>(std::min<unsigned __int128>(s, kMaxStep));
  if (out.step == 0) out.step = 1;
  // With the image editor open a magnified picture pixel is centred on its
  // position: the picture moves by half a picture pixel.
  int64_t a = ctx.screen.imageEditorOpen && out.step < kOne ? 32767 / static_cast<int64_t>(d) : 0;
  out.left = worldToPixelX(v, clampWorld(static_cast<int64_t>(img.x0()) - a));
  out.top = worldToPixelY(v, clampWorld(static_cast<int64_t>(img.y1()) + a));
  // The picture covers W x H picture pixels: the last column and row are
  // shown in full.
  int64_t wWorld = static_cast<int64_t>(img.width()) * 65536 / static_cast<int64_t>(d);
  int64_t hWorld = static_cast<int64_t>(img.height()) * 65536 / static_cast<int64_t>(d);
  out.right = std::max(out.left, worldToPixelX(v, clampWorld(static_cast<int64_t>(img.x0()) - a + wWorld)) - 1);
  out.bottom = std::max(out.top, worldToPixelY(v, clampWorld(static_cast<int64_t>(img.y1()) + a - hWorld)) - 1);
  return true;
}

// One pass over the dirty rows per pixel format, kept together for speed.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
bool drawPicture(Context& ctx, const PixelImage& img, const Rect& dirty) {
  Surface& sf = ctx.screen.surface;
  if (!sf.valid()) return true;
  PicturePlacement pl;
  if (!placePicture(ctx, img, pl)) return true;
  Rect rect = intersect(dirty, sf.bounds());
  if (rect.empty() || pl.top > rect.bottom || pl.bottom < rect.top || pl.left > rect.right || pl.right < rect.left)
    return true;
  const uint64_t s = pl.step;
  uint64_t rowStart = 0, colStart = 0;
  int64_t T = pl.top, L = pl.left;
  if (rect.top > T) rowStart = static_cast<uint64_t>(rect.top - T) * s, T = rect.top;
  if (rect.left > L) colStart = static_cast<uint64_t>(rect.left - L) * s, L = rect.left;
  int64_t B = std::min<int64_t>(pl.bottom, rect.bottom), R = std::min<int64_t>(pl.right, rect.right);
  const uint32_t W = img.width(), H = img.height(), stride = img.stride();
  const bool colour24 = img.kind() == 3;
  const PixelFormat& f = sf.format();
  const int bytes = f.bytesPerPixel();
  std::array<uint32_t, 256> lut{};
  if (!colour24)
    for (int v = 0; v < 256; ++v) lut[v] = colourToPixel(f, pictureColour(img, v));
  const uint8_t* pixels = img.block.data() + kImageHeaderSize;
  int phase = 0;
  do {
    uint64_t rowAcc = rowStart + static_cast<uint64_t>(phase) * s;
    for (int64_t y = T + phase; y <= B; y += 32, rowAcc += 32 * s) {
      uint64_t row = rowAcc >> 32;
      if (row >= H) break;
      if ((colStart >> 32) >= W) break;
      const uint8_t* src = pixels + row * stride * (colour24 ? 3 : 1);
      uint8_t* dst = sf.pixels() + y * sf.pitch() + L * bytes;
      uint64_t colAcc = colStart;
      for (int64_t x = L; x <= R; ++x, dst += bytes, colAcc += s) {
        uint64_t col = std::min<uint64_t>(colAcc >> 32, W - 1);
        uint32_t v;
        if (colour24) {
          const uint8_t* q = src + col * 3;  // stored blue, green, red
          uint32_t rgb = (uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0];
          v = f.bitsPerPixel >= 24 ? rgb : f.bitsPerPixel == 16 ? colourToPixel(f, rgb) : cubePixel(rgb);
        } else {
          v = lut[src[col]];
        }
        writePixel(dst, bytes, v);
      }
    }
    phase = nextPicturePhase(phase);
    if (phase != 0 && ctx.screen.zoomPending && ctx.screen.zoomPending()) return false;
  } while (phase != 0);
  return true;
}

}  // namespace trelmo
