// One plot: the settings taken at its start, the design as a scene, and where
// it goes. Built on the user-interface thread; run on the worker thread (or
// directly by trelmo-cli).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "output/byte_sink.h"
#include "output/plot_control.h"
#include "output/plot_frame.h"
#include "output/plot_scene.h"
#include "output/printer_port.h"

namespace trelmo {

struct Context;

struct PlotSettings {
  PlotKind kind = PlotKind::Bmp;
  uint8_t flags = 0, exclusions = 0;
  int32_t scaleFactor = 65536;  // 16.16; for BMP dots per inch x 65536 / 300
  int32_t depth = 24;
  double pclDpi = 300;
};

// The print settings of the current file ("-gp" and the output kind).
PlotSettings currentPlotSettings(const Context& ctx);
// Dots per inch of a bitmap file from the scaling factor field, and back.
double bmpDpi(int32_t scaleFactor);
int32_t bmpScaleFactor(double dpi);

// The page of a PCL job: US letter less its unprintable edges, at `dpi`.
PlotPage pclPage(double dpi);

struct PlotJob {
  PlotSettings settings;
  int32_t window[4] = {0, 0, 0, 0};
  PlotScene scene;
  std::unique_ptr<ByteSink> sink;     // files, raw printer jobs
  std::unique_ptr<PrintJob> printer;  // the vector and raster printer paths
};

// Takes the settings and the scene. False when there is nothing to plot.
bool preparePlot(const Context& ctx, const PlotSettings& settings, PlotJob& job);

// Writes the whole plot; the sink or printer job is finished when it is
// done and aborted otherwise (a cancelled or failed file plot leaves no
// file). `control.error` tells what failed.
PlotResult runPlotJob(PlotJob& job, PlotControl& control);

}  // namespace trelmo
