// Printer Out (FP): the settings box, then the output chosen, then the worker.
#include <memory>

#include "context.h"
#include "output/output_functions.h"
#include "output/plot_boxes.h"
#include "output/plot_job.h"
#include "output/plot_worker.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"

namespace trelmo {

namespace {

constexpr const char* kPrinterError = "TRELMO'98 Printer Error";

struct FileKind {
  PlotKind kind;
  const char* filter;
  const char* errorTitle;
};
constexpr FileKind kFileKinds[] = {
    {PlotKind::Hpgl, "HPGL Files (*.hpg)", "TRELMO'98 HPGL Out Error"},
    {PlotKind::Bmp, "BMP Files (*.bmp)", "TRELMO'98 BMP Out Error"},
    {PlotKind::Pdf, "PDF Files (*.pdf)", "TRELMO'98 PDF Out Error"},
};

bool toFile(Context& ctx, const FileKind& k, PlotJob& job) {
  FileDialog pick;
  pick.save = true;
  pick.title = "Printer Out";
  pick.filters = {k.filter, "All Files (*.*)"};
  if (!ctx.host->chooseFile(pick) || pick.fileName.empty()) return false;
  auto sink = std::make_unique<FileSink>(pick.fileName);
  if (!sink->open()) {
    ctx.host->messageBox(k.errorTitle, "Unable to open specified output file.");
    return false;
  }
  job.sink = std::move(sink);
  return true;
}

bool toPrinter(Context& ctx, PlotJob& job) {
  PrinterPort* port = ctx.output.printer.get();
  if (!port || !port->setup(0)) {
    ctx.host->messageBox(kPrinterError, "Unable to acquire handle to DC for printer.");
    return false;
  }
  std::string error;
  job.printer = port->start("Graphics Data", error);
  if (!job.printer) ctx.host->messageBox(kPrinterError, error);
  return job.printer != nullptr;
}

bool toRawJob(Context& ctx, PlotJob& job) {
  std::string failure;
  job.sink = ctx.output.openRawJob ? ctx.output.openRawJob(ctx, "Graphics Data", failure)
                                   : openCupsJob(ctx, "Graphics Data", failure);
  if (!job.sink) ctx.host->messageBox(kPrinterError, failure);
  return job.sink != nullptr;
}

bool openOutput(Context& ctx, PlotJob& job) {
  const PlotKind kind = job.settings.kind;
  for (const FileKind& k : kFileKinds)
    if (k.kind == kind) return toFile(ctx, k, job);
  if (kind == PlotKind::Gdi || kind == PlotKind::Dib) return toPrinter(ctx, job);
  return toRawJob(ctx, job);
}

}  // namespace

void printerOut(Context& ctx, int source) {
  if (ctx.current == kNull || plotWorkerRunning(ctx)) return ctx.host->sound(Sound::Beep);
  if (source != kFromMacro && !editPlotSettings(ctx)) return;
  auto job = std::make_unique<PlotJob>();
  if (!preparePlot(ctx, currentPlotSettings(ctx), *job)) return ctx.host->sound(Sound::Beep);
  if (!openOutput(ctx, *job)) return;
  startPlotWorker(ctx, std::move(job));
}

void installOutputFunctions(Context& ctx) {
  registerFunction(ctx, fc('F', 'P'), [](Context& c, uint16_t, int source) { printerOut(c, source); });
  registerFunction(ctx, fc('F', 'G'), [](Context& c, uint16_t, int source) { gerberOut(c, source); });
  ctx.shell.hooks.plotWaitBox = [](Context& c) { collectPlotWorker(c); };
}

}  // namespace trelmo
