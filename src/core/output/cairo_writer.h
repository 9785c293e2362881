// PostScript (level 2) and PDF files of one page through cairo: a US letter
// page with quarter-inch margins, fitted or scaled as the other outputs are.
#pragma once
#include <memory>

#include "output/byte_sink.h"
#include "output/vector_plot.h"

namespace trelmo {

// The printable area of the page, in points (72 a inch).
PlotPage cairoPage();

class CairoDocument : public VectorDevice {
 public:
  // `pdf` chooses PDF, else PostScript level 2. The stream goes to `out`.
  CairoDocument(ByteSink& out, bool pdf);
  ~CairoDocument() override;
  bool ok() const;
  void fill(const std::vector<DevicePoint>& polygon, uint32_t rgb) override;
  void stroke(const std::vector<DevicePoint>& line, double width, uint32_t rgb) override;
  // Ends the page and the document; false when cairo or the sink failed.
  bool finish();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace trelmo
