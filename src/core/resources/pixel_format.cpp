#include "resources/pixel_format.h"

#include <bit>

namespace trelmo {

namespace {

std::array<uint32_t, 256> buildPalette() {
  std::array<uint32_t, 256> p{};
  auto rgb = [](uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; };
  for (int i = 0; i < 8; ++i) {  // bit 0 blue, bit 1 green, bit 2 red
    p[i] = rgb(i & 4 ? 0xAA : 0, i & 2 ? 0xAA : 0, i & 1 ? 0xAA : 0);
    p[248 + i] = rgb(0x55 + (i & 4 ? 0xAA : 0), 0x55 + (i & 2 ? 0xAA : 0), 0x55 + (i & 1 ? 0xAA : 0));
  }
  for (int i = 0; i < 8; ++i) {
    uint32_t g = 17 * i;
    p[12 + i] = rgb(g, g, g);
    uint32_t h = 136 + 17 * i;
    p[236 + i] = rgb(h, h, h);
  }
  for (int b = 0; b < 6; ++b)
    for (int g = 0; g < 6; ++g)
      for (int r = 0; r < 6; ++r) p[20 + r + 6 * g + 36 * b] = rgb(51 * r, 51 * g, 51 * b);
  return p;  // 8-11 and 244-247 stay black
}

struct Channel {
  int shift, width;
};

Channel channel(uint32_t mask) {
  if (mask == 0) return {0, 0};
  int shift = std::countr_zero(mask);
  int width = std::popcount(mask >> shift);
  return {shift, width > 8 ? 8 : width};
}

uint32_t packChannel(uint32_t value8, uint32_t mask) {
  Channel c = channel(mask);
  if (c.width == 0) return 0;
  return ((value8 >> (8 - c.width)) << c.shift) & mask;
}

uint32_t unpackChannel(uint32_t pixel, uint32_t mask) {
  Channel c = channel(mask);
  if (c.width == 0) return 0;
  uint32_t v = (pixel & mask) >> c.shift;
  uint32_t out = v << (8 - c.width);
  for (int filled = c.width; filled < 8; filled += c.width) out |= v << (8 - c.width) >> filled;
  return out & 255;
}

}  // namespace

const std::array<uint32_t, 256>& screenPalette() {
  static const std::array<uint32_t, 256> palette = buildPalette();
  return palette;
}

uint8_t nearestPaletteIndex(uint32_t rgb) {
  const auto& pal = screenPalette();
  int r = (rgb >> 16) & 255, g = (rgb >> 8) & 255, b = rgb & 255;
  int best = 0;
  long bestDist = -1;
  for (int i = 0; i < 256; ++i) {
    int dr = r - static_cast<int>((pal[i] >> 16) & 255);
    int dg = g - static_cast<int>((pal[i] >> 8) & 255);
    int db = b - static_cast<int>(pal[i] & 255);
    long d = 3L * dr * dr + 4L * dg * dg + 2L * db * db;
    if (bestDist < 0 || d < bestDist) {
      bestDist = d;
      best = i;
      if (d == 0) break;
    }
  }
  return static_cast<uint8_t>(best);
}

uint32_t colourToPixel(const PixelFormat& f, uint32_t rgb, bool exclusiveOr) {
  rgb &= 0xFFFFFF;
  uint32_t flag = exclusiveOr ? kXorFlag : 0;
  switch (f.bitsPerPixel) {
    case 8:
      // The fixed screen colours have their own entries.
      if (exclusiveOr && rgb == kXorColour) return 255 | flag;
      if (rgb == 0xC0C0C0) return 7 | flag;
      return nearestPaletteIndex(rgb) | flag;
    case 16:
      return packChannel(rgb >> 16, f.redMask) | packChannel((rgb >> 8) & 255, f.greenMask) |
             packChannel(rgb & 255, f.blueMask) | flag;
    default:
      return rgb | flag;
  }
}

uint32_t pixelToColour(const PixelFormat& f, uint32_t pixel) {
  switch (f.bitsPerPixel) {
    case 8:
      return screenPalette()[pixel & 255];
    case 16:
      return (unpackChannel(pixel, f.redMask) << 16) | (unpackChannel(pixel, f.greenMask) << 8) |
             unpackChannel(pixel, f.blueMask);
    default:
      return pixel & 0xFFFFFF;
  }
}

}  // namespace trelmo
