// One decoder per picture format, and the helpers they share.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

#include "image/pixel_image.h"

namespace trelmo::picture {

using Bytes = std::span<const uint8_t>;

std::unique_ptr<PixelImage> decodeBmp(Bytes file);
std::unique_ptr<PixelImage> decodePcx(Bytes file);
std::unique_ptr<PixelImage> decodeGif(Bytes file);
std::unique_ptr<PixelImage> decodeTiff(Bytes file);
std::unique_ptr<PixelImage> decodeFits(Bytes file);
std::unique_ptr<PixelImage> decodePng(Bytes file);
std::unique_ptr<PixelImage> decodeJpeg(Bytes file);

// Pictures that give no usable resolution (below 50 dpi) are taken as 100 dpi.
constexpr uint32_t kDefaultDpi = 100;
constexpr uint32_t kMinDpi = 50;
inline uint32_t sensibleDpi(double dpi) {
  if (!(dpi >= kMinDpi) || dpi > 1e6) return kDefaultDpi;
  return static_cast<uint32_t>(std::lround(dpi));
}

inline uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }

// A palette image: kind 0 when all 256 palette entries are greys, else 2 (its
// own palette; kind 1 is the display's fixed colour cube, which would show
// the picture's indices in the wrong colours).
inline uint32_t paletteKind(const uint32_t* palette, int count) {
  for (int i = 0; i < count; ++i) {
    const uint32_t c = palette[i];
    if (((c >> 16) & 255) != ((c >> 8) & 255) || ((c >> 8) & 255) != (c & 255)) return 2;
  }
  return 0;
}

// Copies a palette into the image header and sets its kind to match.
inline void setPalette(PixelImage& img, const uint32_t* palette, int count) {
  for (int i = 0; i < 256; ++i) img.setPaletteEntry(i, i < count ? palette[i] : 0);
  img.setU32(28, paletteKind(palette, count));
}

inline void setGreyPalette(PixelImage& img) {
  for (uint32_t i = 0; i < 256; ++i) img.setPaletteEntry(static_cast<int>(i), rgb(i, i, i));
  img.setU32(28, 0);
}

// Bounded little-endian reads: zero outside the data.
inline uint32_t le16(Bytes b, size_t off) {
  return off + 2 <= b.size() ? uint32_t{b[off]} | uint32_t{b[off + 1]} << 8 : 0;
}
inline uint32_t le32(Bytes b, size_t off) { return off + 4 <= b.size() ? le16(b, off) | le16(b, off + 2) << 16 : 0; }

}  // namespace trelmo::picture
