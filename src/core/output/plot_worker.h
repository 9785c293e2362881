// The plot worker: exactly one at a time, on its own thread at lowered
// priority, while the "WaitPlotterBox" window shows its percentage. The design
// is marked busy for as long as it runs (shell/design_busy.h).
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "output/byte_sink.h"
#include "output/plot_job.h"
#include "output/printer_port.h"

namespace trelmo {

struct Context;

struct PlotWorker {
  std::thread thread;
  std::unique_ptr<PlotJob> job;
  PlotControl control;
  std::atomic<bool> finished{false};
  PlotResult result = PlotResult::Done;
  // A context that goes away with a plot running stops it first.
  ~PlotWorker() {
    if (!thread.joinable()) return;
    control.cancel = true;
    thread.join();
  }
};

// The plot subsystem's state in the context.
struct OutputState {
  PlotWorker worker;
  // The editor's printers; null in trelmo-cli and the tests unless they
  // install one.
  std::shared_ptr<PrinterPort> printer;
  // Opens a raw job (PCL, PostScript) on the printer queue; `failure` gets
  // the title of the box that reports a refusal. The default goes to CUPS;
  // tests replace it.
  std::function<std::unique_ptr<ByteSink>(Context&, const std::string& title, std::string& failure)> openRawJob;
};

// Starts the worker on a prepared job: the design becomes busy and the wait
// window opens. False, after "Unable to create multi-tasking thread for
// plotting.", when no thread could be made; false without a word when a
// worker already runs.
bool startPlotWorker(Context& ctx, std::unique_ptr<PlotJob> job);
bool plotWorkerRunning(const Context& ctx);
// A finished worker is joined, its wait window closed, the design freed and
// the result reported: the cancel message, or the failure in a box. Called
// once a second by the heartbeat. True when a worker was collected.
bool collectPlotWorker(Context& ctx);
// Waits for the worker (after asking it to stop when `cancel`) and collects it.
void waitPlotWorker(Context& ctx, bool cancel);

// The raw job the default way: CUPS, to the printer of the stored setup.
std::unique_ptr<ByteSink> openCupsJob(Context& ctx, const std::string& title, std::string& failure);

}  // namespace trelmo
