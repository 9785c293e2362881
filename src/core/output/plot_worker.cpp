#include "output/plot_worker.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>

#include "context.h"
#include "output/cups_sink.h"
#include "output/plot_boxes.h"
#include "shell/design_busy.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int kLoweredPriority = 5;
constexpr int kPlotCancelledMessage = 0x932;

void work(PlotWorker* w) {
  // Only this thread is lowered: the user interface stays as it was.
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kLoweredPriority);
  w->result = runPlotJob(*w->job, w->control);
  w->finished.store(true, std::memory_order_release);
}

}  // namespace

bool plotWorkerRunning(const Context& ctx) { return ctx.output.worker.thread.joinable(); }

bool startPlotWorker(Context& ctx, std::unique_ptr<PlotJob> job) {
  PlotWorker& w = ctx.output.worker;
  if (plotWorkerRunning(ctx)) return false;
  if (!markDesignBusy(ctx, "plot", [](Context& c) { waitPlotWorker(c, true); })) return false;
  w.job = std::move(job);
  w.control.percent = 0;
  w.control.cancel = false;
  w.control.error.clear();
  w.finished = false;
  try {
    w.thread = std::thread(work, &w);
  } catch (const std::system_error&) {
    w.job.reset();
    clearDesignBusy(ctx);
    ctx.host->messageBox("TRELMO'98 Plotting Error", "Unable to create multi-tasking thread for plotting.");
    return false;
  }
  ctx.host->openWaitBox(waitPlotterBox(ctx), w.control);
  return true;
}

bool collectPlotWorker(Context& ctx) {
  PlotWorker& w = ctx.output.worker;
  if (!plotWorkerRunning(ctx) || !w.finished.load(std::memory_order_acquire)) return false;
  w.thread.join();
  w.job.reset();
  ctx.host->closeWaitBox();
  clearDesignBusy(ctx);
  if (w.result == PlotResult::Cancelled) showMessage(ctx, kPlotCancelledMessage);
  if (w.result == PlotResult::Failed) ctx.host->messageBox("TRELMO'98 Plotting Error", w.control.error);
  return true;
}

void waitPlotWorker(Context& ctx, bool cancel) {
  PlotWorker& w = ctx.output.worker;
  if (!plotWorkerRunning(ctx)) return;
  if (cancel) w.control.cancel = true;
  while (!w.finished.load(std::memory_order_acquire)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  collectPlotWorker(ctx);
}

std::unique_ptr<ByteSink> openCupsJob(Context& ctx, const std::string& title, std::string& failure) {
  std::string queue;
  if (ctx.output.printer && ctx.output.printer->setup(-1)) queue = ctx.output.printer->queueName();
  auto sink = std::make_unique<CupsSink>(queue);
  if (!sink->open(title, failure)) {
    failure += "\n\n" + sink->error;
    return nullptr;
  }
  return sink;
}

}  // namespace trelmo
