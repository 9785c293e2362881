// Screen pixel formats and the conversion of 0x00RRGGBB colours to pixel
// values of the drawing surface.
#pragma once
#include <array>
#include <cstdint>

namespace trelmo {

// Bit 31 of a pixel value: combine by exclusive-or instead of overwriting.
constexpr uint32_t kXorFlag = 0x80000000u;
constexpr uint32_t kXorColour = 0x7F7F7F;

struct PixelFormat {
  int bitsPerPixel = 32;  // 8, 16, 24 or 32
  // 16 bpp channel masks (5-6-5 by default; 0x7C00/0x03E0/0x001F for 5-5-5).
  uint32_t redMask = 0xF800, greenMask = 0x07E0, blueMask = 0x001F;

  int bytesPerPixel() const { return bitsPerPixel == 8 ? 1 : bitsPerPixel == 16 ? 2 : bitsPerPixel == 24 ? 3 : 4; }
  static PixelFormat rgb565() { return {16, 0xF800, 0x07E0, 0x001F}; }
  static PixelFormat rgb555() { return {16, 0x7C00, 0x03E0, 0x001F}; }
  static PixelFormat depth(int bpp) {
    PixelFormat f;
    f.bitsPerPixel = bpp == 8 || bpp == 16 || bpp == 24 ? bpp : 32;
    return f;
  }
};

// The 256 colours of an 8 bpp screen, 0x00RRGGBB.
const std::array<uint32_t, 256>& screenPalette();
// Index of the nearest palette colour (the colour cube, greys and the basic
// colours are searched).
uint8_t nearestPaletteIndex(uint32_t rgb);

// The pixel value of a colour; an exclusive-or colour keeps bit 31.
uint32_t colourToPixel(const PixelFormat& f, uint32_t rgb, bool exclusiveOr = false);
// The 0x00RRGGBB colour a pixel value shows (used to write pictures of the
// screen and by tests).
uint32_t pixelToColour(const PixelFormat& f, uint32_t pixel);

}  // namespace trelmo
