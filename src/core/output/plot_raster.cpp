#include "output/plot_raster.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "screen/surface.h"

namespace trelmo {

namespace {

constexpr uint32_t kPaper = 0xFFFFFF;

struct BandPainter {
  const PlotFrame& frame;
  Surface surface;
  int left = 0, top = 0, bottom = 0;
  double chord = 1;

  int64_t px(double wx) const { return std::llround(std::clamp(frame.x(wx), -1e12, 1e12)) - left; }
  int64_t py(double wy) const { return std::llround(std::clamp(frame.y(wy), -1e12, 1e12)) - top; }

  bool misses(const PlotItem& it) const {
    const double y1 = frame.y(it.box[3]), y2 = frame.y(it.box[1]);
    return y2 < top - 1 || y1 > bottom + 1;
  }

  void path(const PlotPath& p, uint32_t pixel) {
    const std::vector<WorldPoint> pts = flattenPath(p, chord);
    if (p.filled) {
      std::vector<PixelPoint> poly;
      poly.reserve(pts.size());
      for (const WorldPoint& w : pts) poly.push_back({px(w.x), py(w.y)});
      surface.fillPolygon(pixel, poly);
      if (p.width <= 0) surface.polyline(pixel, poly, true);  // thin solids keep their edges
      return;
    }
    const double w = frame.length(p.width);
    if (pts.size() == 1) {
      surface.thickLine(pixel, w, px(pts[0].x), py(pts[0].y), px(pts[0].x), py(pts[0].y));
      return;
    }
    for (size_t i = 0; i + 1 < pts.size(); ++i)
      surface.thickLine(pixel, w, px(pts[i].x), py(pts[i].y), px(pts[i + 1].x), py(pts[i + 1].y));
  }

  void layer(const PlotLayer& l) {
    for (const PlotItem& it : l.items) {
      if (misses(it)) continue;
      for (const PlotPath& p : it.paths) path(p, p.clear ? kPaper : l.colour);
    }
  }
};

}  // namespace

int bandPitch(int width) { return std::max(8, (width * 3 + 10) & ~7); }

int bandRows(int width) { return std::max(1, static_cast<int>(kBandBufferBytes / bandPitch(width)) - 1); }

PlotResult renderBands(const PlotScene& scene, const PlotFrame& frame, BandSink& sink, PlotControl& control,
                       bool bottomUp) {
  const Rect& img = frame.image;
  if (img.empty()) return PlotResult::Done;
  const int width = img.right - img.left + 1, height = img.bottom - img.top + 1;
  const int pitch = bandPitch(width), perBand = bandRows(width);
  std::vector<uint8_t> buffer(static_cast<size_t>(pitch) * (perBand + 1));
  BandPainter painter{frame, {}};
  painter.left = img.left;
  painter.chord = frame.scale > 0 ? 0.5 / frame.scale : 1;
  const int bands = (height + perBand - 1) / perBand;
  for (int b = 0; b < bands; ++b) {
    const int index = bottomUp ? bands - 1 - b : b;
    const int top = img.top + index * perBand, rows = std::min(perBand, img.bottom - top + 1);
    std::fill(buffer.begin(), buffer.end(), 255);
    painter.surface.attach(buffer.data(), pitch, width, rows, PixelFormat::depth(24));
    painter.top = top, painter.bottom = top + rows - 1;
    for (const PlotLayer& l : scene.layers) painter.layer(l);
    if (frame.negative)
      for (int r = 0; r < rows; ++r)
        for (uint8_t *p = buffer.data() + static_cast<size_t>(r) * pitch, *e = p + 3 * static_cast<size_t>(width);
             p < e; ++p)
          *p ^= 255;
    if (!sink.band(buffer.data(), pitch, width, {img.left, top}, rows)) return PlotResult::Failed;
    if (control.step((b + 1) * 100 / bands) && b + 1 < bands) return PlotResult::Cancelled;
  }
  return PlotResult::Done;
}

}  // namespace trelmo
