#include "output/cairo_writer.h"

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo.h>

namespace trelmo {

namespace {
constexpr double kPageWidth = 612, kPageHeight = 792, kMargin = 18;

cairo_status_t toSink(void* closure, const unsigned char* data, unsigned int length) {
  return static_cast<ByteSink*>(closure)->write(data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

void setColour(cairo_t* cr, uint32_t rgb) {
  cairo_set_source_rgb(cr, ((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0);
}

void trace(cairo_t* cr, const std::vector<DevicePoint>& pts) {
  cairo_new_path(cr);
  for (size_t i = 0; i < pts.size(); ++i)
    (i ? cairo_line_to : cairo_move_to)(cr, pts[i].x + kMargin, pts[i].y + kMargin);
}
}  // namespace

struct CairoDocument::Impl {
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
};

PlotPage cairoPage() {
  PlotPage p;
  p.dpi = 72;
  p.width = static_cast<int>(kPageWidth - 2 * kMargin);
  p.height = static_cast<int>(kPageHeight - 2 * kMargin);
  return p;
}

CairoDocument::CairoDocument(ByteSink& out, bool pdf) : impl_(std::make_unique<Impl>()) {
  if (pdf) {
    impl_->surface = cairo_pdf_surface_create_for_stream(toSink, &out, kPageWidth, kPageHeight);
  } else {
    impl_->surface = cairo_ps_surface_create_for_stream(toSink, &out, kPageWidth, kPageHeight);
    cairo_ps_surface_restrict_to_level(impl_->surface, CAIRO_PS_LEVEL_2);
  }
  impl_->cr = cairo_create(impl_->surface);
  cairo_set_line_cap(impl_->cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(impl_->cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_fill_rule(impl_->cr, CAIRO_FILL_RULE_EVEN_ODD);
}

CairoDocument::~CairoDocument() {
  if (impl_->cr) cairo_destroy(impl_->cr);
  if (impl_->surface) cairo_surface_destroy(impl_->surface);
}

bool CairoDocument::ok() const {
  return cairo_surface_status(impl_->surface) == CAIRO_STATUS_SUCCESS &&
         cairo_status(impl_->cr) == CAIRO_STATUS_SUCCESS;
}

void CairoDocument::fill(const std::vector<DevicePoint>& polygon, uint32_t rgb) {
  if (polygon.size() < 3) return;
  setColour(impl_->cr, rgb);
  trace(impl_->cr, polygon);
  cairo_close_path(impl_->cr);
  cairo_fill(impl_->cr);
}

void CairoDocument::stroke(const std::vector<DevicePoint>& line, double width, uint32_t rgb) {
  if (line.empty()) return;
  setColour(impl_->cr, rgb);
  cairo_set_line_width(impl_->cr, width);
  trace(impl_->cr, line);
  if (line.size() == 1) cairo_line_to(impl_->cr, line[0].x + kMargin, line[0].y + kMargin);
  cairo_stroke(impl_->cr);
}

bool CairoDocument::finish() {
  cairo_show_page(impl_->cr);
  cairo_surface_finish(impl_->surface);
  return ok();
}

}  // namespace trelmo
