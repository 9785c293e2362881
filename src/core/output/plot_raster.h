// The raster path shared by printer bands, PCL streams and bitmap files: the
// window's dots rendered band by band into a 1 MiB buffer of 24-bit pixels.
#pragma once
#include <cstdint>

#include "output/plot_control.h"
#include "output/plot_frame.h"
#include "output/plot_scene.h"

namespace trelmo {

constexpr size_t kBandBufferBytes = 1048576;

// Where a band sits on the page: its first dot and row.
struct BandPlace {
  int left = 0, top = 0;
};

// Receives the bands: `rows` rows of `width` pixels (blue, green, red bytes)
// from page dot `at`, `pitch` bytes apart, top row first.
class BandSink {
 public:
  virtual ~BandSink() = default;
  virtual bool band(const uint8_t* pixels, int pitch, int width, BandPlace at, int rows) = 0;
};

// Bytes of a band row: (width x 3 + 10) rounded down to a multiple of 8.
int bandPitch(int width);
// Rows a band holds: as many as fit in the buffer with one row kept spare.
int bandRows(int width);

// Renders the frame's image rectangle: each band is filled with white, every
// layer drawn in plot order in its plot colour (holes in white), inverted for
// a negative, then handed over. Bands go from the top, or from the bottom
// when `bottomUp`. Cancel is looked at between bands.
PlotResult renderBands(const PlotScene& scene, const PlotFrame& frame, BandSink& sink, PlotControl& control,
                       bool bottomUp);

}  // namespace trelmo
