// The vector path shared by printers (through the front end), PostScript and
// PDF: each plotted layer in plot order, tracks stroked with round ends,
// pads and solids filled, drill holes in the paper colour; for a negative the
// window's dots are darkened first and every colour inverted.
#pragma once
#include <cstdint>
#include <vector>

#include "output/plot_control.h"
#include "output/plot_frame.h"
#include "output/plot_scene.h"

namespace trelmo {

struct DevicePoint {
  double x, y;  // dots, y down
};

class VectorDevice {
 public:
  virtual ~VectorDevice() = default;
  virtual void fill(const std::vector<DevicePoint>& polygon, uint32_t rgb) = 0;
  // An open polyline of the given width with round ends and joins.
  virtual void stroke(const std::vector<DevicePoint>& line, double width, uint32_t rgb) = 0;
};

// Cancel is looked at between layers.
PlotResult drawVector(const PlotScene& scene, const PlotFrame& frame, VectorDevice& device, PlotControl& control);

}  // namespace trelmo
