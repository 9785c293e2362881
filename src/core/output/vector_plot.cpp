#include "output/vector_plot.h"

#include <algorithm>

namespace trelmo {

namespace {

constexpr uint32_t kPaper = 0xFFFFFF;

std::vector<DevicePoint> onPage(const PlotFrame& f, const std::vector<WorldPoint>& pts) {
  std::vector<DevicePoint> d;
  d.reserve(pts.size());
  for (const WorldPoint& w : pts) d.push_back({f.x(w.x), f.y(w.y)});
  return d;
}

}  // namespace

PlotResult drawVector(const PlotScene& scene, const PlotFrame& frame, VectorDevice& device, PlotControl& control) {
  const uint32_t invert = frame.negative ? 0xFFFFFF : 0;
  const double chord = frame.scale > 0 ? 0.25 / frame.scale : 1;
  const double thinnest = std::max(0.5, frame.page.dpi / 300.0);
  if (frame.negative && !frame.image.empty()) {
    const Rect& r = frame.image;
    device.fill({{double(r.left), double(r.top)},
                 {r.right + 1.0, double(r.top)},
                 {r.right + 1.0, r.bottom + 1.0},
                 {double(r.left), r.bottom + 1.0}},
                kPaper ^ invert);
  }
  const size_t layers = scene.layers.size();
  for (size_t li = 0; li < layers; ++li) {
    const PlotLayer& l = scene.layers[li];
    for (const PlotItem& it : l.items)
      for (const PlotPath& p : it.paths) {
        const uint32_t rgb = (p.clear ? kPaper : l.colour) ^ invert;
        const std::vector<DevicePoint> pts = onPage(frame, flattenPath(p, chord));
        if (p.filled)
          device.fill(pts, rgb);
        else
          device.stroke(pts, std::max(thinnest, frame.length(p.width)), rgb);
      }
    if (control.step(static_cast<int>((li + 1) * 100 / layers)) && li + 1 < layers) return PlotResult::Cancelled;
  }
  return PlotResult::Done;
}

}  // namespace trelmo
