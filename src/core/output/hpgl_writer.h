// HPGL pen plots: for each plotted layer in plot order the pen of the layer
// ("SP", the low three bits of its plot colour), then its items in greedy
// order, the pen lifted at the end of the layer, and "PU0,0;" at the end.
// Coordinates are thousandths of an inch; every command ends with CR LF.
#pragma once
#include <string>

#include "output/byte_sink.h"
#include "output/plot_control.h"
#include "output/plot_scene.h"

namespace trelmo {

// Writes the stream (the caller finishes or aborts the sink); the percentage after each layer is (255 - slot) x 100
// / 255 of the layer's plot order slot. Cancel is looked at between layers.
PlotResult writeHpgl(const PlotScene& scene, ByteSink& out, PlotControl& control, bool mirror = false);

}  // namespace trelmo
