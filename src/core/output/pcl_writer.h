// PCL raster jobs: the job header, one packed row (method 2) per pixel row in
// one bit plane (monochrome) or three (cyan, magenta, yellow), and the job end.
// Rows become bit planes as bitmap files do at the same colour depth: depth 1
// prints every dot that is not white, depth 2 dithers the grey level, deeper
// settings dither each of the three inks (8x8 ordered dither).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "output/byte_sink.h"
#include "output/plot_raster.h"

namespace trelmo {

// Method 2 (PackBits): runs of 2 or more equal bytes as a count byte 1 - n
// and the byte; other bytes in literal groups of at most 128 after a count
// byte n - 1.
std::vector<uint8_t> packBits(const uint8_t* data, size_t n);

class PclWriter : public BandSink {
 public:
  PclWriter(ByteSink& out, int depth, int resolution)
      : out_(out), colour_(depth >= 3), depth_(depth), dpi_(resolution) {}
  // The job header with the page offset of the picture's top left dot.
  bool begin(int offsetX, int offsetY);
  bool band(const uint8_t* pixels, int pitch, int width, BandPlace at, int rows) override;
  bool end();

 private:
  bool sendPlane(const std::vector<uint8_t>& bits, const char* select, char terminator);
  ByteSink& out_;
  bool colour_;
  int depth_, dpi_;
};

}  // namespace trelmo
