// Comparing our pictures with gerbv's: its PNG read as dark dots, ours
// rendered into the same grid, and how well the two agree.
#pragma once
#include <png.h>

#include <algorithm>
#include <string>
#include <vector>

#include "output/plot_raster.h"

namespace trelmo::testing {

// Dark pixels of an 8-bit RGB or RGBA PNG.
inline bool darkPixels(const std::string& path, int& width, int& height, std::vector<bool>& dark) {
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&img, path.c_str())) return false;
  img.format = PNG_FORMAT_GRAY;
  std::vector<uint8_t> px(PNG_IMAGE_SIZE(img));
  if (!png_image_finish_read(&img, nullptr, px.data(), 0, nullptr)) return false;
  width = static_cast<int>(img.width), height = static_cast<int>(img.height);
  dark.resize(px.size());
  for (size_t i = 0; i < px.size(); ++i) dark[i] = px[i] < 128;
  return true;
}

struct GreyBands : BandSink {
  int width = 0, height = 0;
  std::vector<bool> dark;
  bool band(const uint8_t* p, int pitch, int w, BandPlace at, int rows) override {
    const int top = at.top;
    for (int r = 0; r < rows; ++r)
      for (int x = 0; x < w && top + r < height; ++x) {
        const uint8_t* q = p + static_cast<size_t>(r) * pitch + 3 * x;
        dark[static_cast<size_t>(top + r) * width + x] = q[0] + q[1] + q[2] < 3 * 128;
      }
    return true;
  }
};

struct Agreement {
  size_t both = 0, either = 0;
  double overlap = 0;  // dark in both of dark in either
  double near = 0;     // the smaller share of either picture's dark dots with a dark dot of the other within one dot
};

// Rasterizers differ by a dot at edges, hence the second measure.
inline Agreement agreement(const std::vector<bool>& theirs, const std::vector<bool>& ours, int w, int h) {
  Agreement a;
  for (size_t i = 0; i < theirs.size() && i < ours.size(); ++i)
    a.both += theirs[i] && ours[i], a.either += theirs[i] || ours[i];
  a.overlap = a.either ? static_cast<double>(a.both) / static_cast<double>(a.either) : 1.0;
  auto within = [&](const std::vector<bool>& p, const std::vector<bool>& q) {
    size_t dark = 0, met = 0;
    for (int y = 1; y + 1 < h; ++y)
      for (int x = 1; x + 1 < w; ++x) {
        if (!p[static_cast<size_t>(y) * w + x]) continue;
        ++dark;
        bool any = false;
        for (int dy = -1; dy <= 1 && !any; ++dy)
          for (int dx = -1; dx <= 1 && !any; ++dx) any = q[static_cast<size_t>(y + dy) * w + x + dx];
        met += any;
      }
    return dark ? static_cast<double>(met) / static_cast<double>(dark) : 1.0;
  };
  a.near = std::min(within(theirs, ours), within(ours, theirs));
  return a;
}

}  // namespace trelmo::testing
