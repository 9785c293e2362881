// The printer as the plot functions see it. The desktop editor provides one
// (the system's printers through its print dialogs); without one, printing
// to a printer fails with "Unable to acquire handle to DC for printer.".
#pragma once
#include <memory>
#include <string>

#include "output/plot_frame.h"
#include "output/plot_raster.h"
#include "output/vector_plot.h"

namespace trelmo {

// What "PlotterSettingsBox" shows; lengths in inches.
struct PrinterInfo {
  std::string device, colorType, orientation;
  int pixelDepth = 0, dpiX = 0, dpiY = 0;
  double printableWidth = 0, printableHeight = 0, paperWidth = 0, paperHeight = 0;
  double margins[4] = {0, 0, 0, 0};  // left, top, right, bottom
};

// One page on the printer, drawn from the worker thread.
class PrintJob {
 public:
  virtual ~PrintJob() = default;
  virtual PlotPage page() const = 0;
  virtual VectorDevice& vector() = 0;  // the vector ("GDI") path
  virtual BandSink& bands() = 0;       // the raster ("DIB") path: bands placed at their page rows
  virtual bool finish() = 0;           // ends the page and the job
  virtual void abort() = 0;            // the partial job is discarded
  std::string error;
};

class PrinterPort {
 public:
  virtual ~PrinterPort() = default;
  // Mode below 1: a printer from the stored setup when there is none yet;
  // mode 0 or more: the system print-setup dialog chooses it. True when a
  // printer is available.
  virtual bool setup(int mode) = 0;
  virtual bool describe(PrinterInfo& info) = 0;
  // The chosen printer and its settings as "Printer Setup" keeps them.
  virtual std::string setupText() = 0;
  // The printer queue raw streams (PCL, PostScript) are sent to.
  virtual std::string queueName() = 0;
  // A job of one page named `document`; null (with `error`) when refused.
  virtual std::unique_ptr<PrintJob> start(const std::string& document, std::string& error) = 0;
};

}  // namespace trelmo
