// What a plot worker and the window that waits for it share: the percentage
// done and the Abort request, read and written from both threads.
#pragma once
#include <atomic>
#include <string>

#include "shell/host.h"

namespace trelmo {

struct PlotControl : WorkerProgress {
  // Set by the worker before it ends: what went wrong (empty when nothing).
  std::string error;

  // Progress; true when the plot is to stop.
  bool step(int pct) {
    percent.store(pct, std::memory_order_relaxed);
    return cancel.load(std::memory_order_relaxed);
  }
};

enum class PlotResult { Done, Cancelled, Failed };

}  // namespace trelmo
