// Windows bitmap files from plot bands, at every colour depth of the plot
// box: 1 "1-bit B/W" (anything not white is black), 2 "1-bit gray" (ordered
// dither of the grey level), 3 "3-bit RGB" (each channel halved, 4 bits a
// pixel), 4 "4-bit EGA" (nearest of the 16 EGA colours), 6 "8-bit color" (a
// 6x6x6 colour cube), 8 "8-bit gray" (256 greys) and 24 "24-bit color";
// any other depth is 24.
#pragma once
#include <cstdint>
#include <vector>

#include "output/byte_sink.h"
#include "output/plot_raster.h"

namespace trelmo {

int bmpDepthSetting(int32_t depth);  // the setting, 24 for unknown values
int bmpBitsPerPixel(int depth);      // 1, 4, 8 or 24 bits in the file

// The file's 54-byte headers and palette for a picture of width x height.
std::vector<uint8_t> bmpHeader(int width, int height, int depth, double dpi);

// Writes bands that arrive bottom band first (renderBands with bottomUp).
class BmpWriter : public BandSink {
 public:
  BmpWriter(ByteSink& out, int depth) : out_(out), depth_(bmpDepthSetting(depth)) {}
  bool begin(int width, int height, double dpi);
  bool band(const uint8_t* pixels, int pitch, int width, BandPlace at, int rows) override;

 private:
  void packRow(const uint8_t* bgr, int width, int y, std::vector<uint8_t>& row) const;
  ByteSink& out_;
  int depth_;
};

// Grey level of a pixel and the 8x8 ordered-dither threshold at a dot.
int greyLevel(const uint8_t* bgr);
int ditherThreshold(int x, int y);

}  // namespace trelmo
