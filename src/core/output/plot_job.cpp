#include "output/plot_job.h"

#include <cmath>

#include "context.h"
#include "output/bmp_writer.h"
#include "output/cairo_writer.h"
#include "output/hpgl_writer.h"
#include "output/pcl_writer.h"

namespace trelmo {

namespace {

constexpr double kLetterWidth = 8.0, kLetterHeight = 10.5;  // printable inches of a US letter page

PlotResult bitmap(PlotJob& job, PlotControl& control) {
  const double dpi = bmpDpi(job.settings.scaleFactor);
  PlotPage page;
  if (!windowPage(job.window, dpi, page)) {
    control.error = "The picture is too large at this resolution.";
    return PlotResult::Failed;
  }
  const uint8_t flags = job.settings.flags & (kPrintMirror | kPrintNegative);
  PlotFrame frame = plotFrame(job.window, flags, 65536, page);
  frame.image = {0, 0, page.width - 1, page.height - 1};  // the margins too: strokes reach past the extents
  BmpWriter writer(*job.sink, job.settings.depth);
  const Rect& r = frame.image;
  if (!writer.begin(r.right - r.left + 1, r.bottom - r.top + 1, dpi)) return PlotResult::Failed;
  return renderBands(job.scene, frame, writer, control, true);
}

PlotResult pcl(PlotJob& job, PlotControl& control) {
  const PlotPage page = pclPage(job.settings.pclDpi);
  const PlotFrame frame = plotFrame(job.window, job.settings.flags, job.settings.scaleFactor, page);
  const int dpi = static_cast<int>(page.dpi);
  PclWriter writer(*job.sink, job.settings.depth, dpi);
  if (!writer.begin(frame.image.left, frame.image.top)) return PlotResult::Failed;
  const PlotResult r = renderBands(job.scene, frame, writer, control, false);
  if (r != PlotResult::Done) return r;
  return writer.end() ? PlotResult::Done : PlotResult::Failed;
}

PlotResult cairo(PlotJob& job, PlotControl& control, bool pdf) {
  const PlotFrame frame = plotFrame(job.window, job.settings.flags, job.settings.scaleFactor, cairoPage());
  CairoDocument doc(*job.sink, pdf);
  const PlotResult r = drawVector(job.scene, frame, doc, control);
  if (r != PlotResult::Done) return r;
  if (doc.finish()) return PlotResult::Done;
  if (control.error.empty()) control.error = "The document could not be written.";
  return PlotResult::Failed;
}

PlotResult printer(PlotJob& job, PlotControl& control, bool raster) {
  const PlotFrame frame = plotFrame(job.window, job.settings.flags, job.settings.scaleFactor, job.printer->page());
  return raster ? renderBands(job.scene, frame, job.printer->bands(), control, false)
                : drawVector(job.scene, frame, job.printer->vector(), control);
}

PlotResult write(PlotJob& job, PlotControl& control) {
  switch (job.settings.kind) {
    case PlotKind::Hpgl:
      return writeHpgl(job.scene, *job.sink, control, (job.settings.flags & kPrintMirror) != 0);
    case PlotKind::Bmp:
      return bitmap(job, control);
    case PlotKind::Pcl:
      return pcl(job, control);
    case PlotKind::Ps:
    case PlotKind::Pdf:
      return cairo(job, control, job.settings.kind == PlotKind::Pdf);
    case PlotKind::Gdi:
    case PlotKind::Dib:
      return printer(job, control, job.settings.kind == PlotKind::Dib);
  }
  return PlotResult::Failed;
}

}  // namespace

double bmpDpi(int32_t scaleFactor) { return std::max(1.0, std::round(scaleFactor * 300.0 / 65536.0)); }
int32_t bmpScaleFactor(double dpi) { return static_cast<int32_t>(std::lround(dpi * 65536.0 / 300.0)); }

PlotPage pclPage(double dpi) {
  PlotPage p;
  p.dpi = dpi > 0 ? dpi : 300;
  p.width = static_cast<int>(kLetterWidth * p.dpi);
  p.height = static_cast<int>(kLetterHeight * p.dpi);
  return p;
}

PlotSettings currentPlotSettings(const Context& ctx) {
  const Params& p = ctx.params;
  PlotSettings s;
  s.kind = static_cast<PlotKind>(p.printKind);
  s.flags = p.printFlags;
  s.exclusions = p.printExclusions;
  if (!p.imageCurrent) s.exclusions |= kNoImage;  // nothing to leave out otherwise
  s.scaleFactor = p.printScale;
  s.depth = bmpDepthSetting(p.printDepth);
  return s;
}

bool preparePlot(const Context& ctx, const PlotSettings& settings, PlotJob& job) {
  job.settings = settings;
  if (!plotWindow(ctx, job.window)) return false;
  job.scene = buildPlotScene(ctx, settings.exclusions);
  return true;
}

PlotResult runPlotJob(PlotJob& job, PlotControl& control) {
  PlotResult r = write(job, control);
  auto failWith = [&](const std::string& e) {
    if (control.error.empty()) control.error = e.empty() ? "The output could not be written." : e;
  };
  if (job.sink) {
    if (r == PlotResult::Done && !job.sink->finish()) r = PlotResult::Failed;
    if (r != PlotResult::Done) job.sink->abort();
    if (r == PlotResult::Failed) failWith(job.sink->error);
  }
  if (job.printer) {
    if (r == PlotResult::Done && !job.printer->finish()) r = PlotResult::Failed;
    if (r != PlotResult::Done) job.printer->abort();
    if (r == PlotResult::Failed) failWith(job.printer->error);
  }
  if (r == PlotResult::Done) control.step(100);
  return r;
}

}  // namespace trelmo
