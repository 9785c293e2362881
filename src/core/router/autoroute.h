// The autorouter (NA): turns the rat-lines of the current board into copper
// tracks, pass by pass, cheapest first, and writes the
// "AUTOROUTER STATISTICS LOG". The whole run is one undo event.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "shell/host.h"

namespace trelmo {

struct Context;

// The pass set ("-ga"), one bit per entry of the dialog's "Algorithms:" list.
enum RouterPass : uint32_t {
  kClearPreroutes = 1,
  kStraightRoutes = 2,
  kDataBusRoutes = 4,
  kInlineRoutes = 8,
  kLRoutes = 16,
  kZRoutes = 32,  // with "C" routes: the maze pass
  kCRoutes = 64,
  kSnakeRoutes = 128,  // the maze pass with its rip-up-and-retry round
};
constexpr uint32_t kAllPasses = 255;

struct RouterOptions {
  uint32_t passes = kAllPasses;
  std::string logPath;  // empty: beside the design; "-": standard output
  std::string date;     // the log title's date; empty: today
  // Milliseconds of a steady clock; empty: the system's.
  std::function<int64_t()> clock;
};

// How a run reaches the design. The routing itself works on a copy of the
// board's geometry; every read or change of the design, the layer table and
// the log goes through `onDesign`, which runs the work where the design may
// be touched (the user-interface thread) and returns when it is done. The
// default runs it at once.
struct RouterLink {
  std::function<void(const std::function<void()>&)> onDesign;
  // Percentage done, and the request to stop (checked between two routes).
  WorkerProgress* progress = nullptr;
};

struct RouterTotals {
  int ratLines = 0;  // after sorting: what the percentages are of
  int processed = 0;
  int routed = 0;
  int unrouted = 0;  // rat-lines left at the end
  int64_t milliseconds = 0;
  bool stopped = false;  // ended early on request
  bool logged = false;   // the log was written whole
};

// Runs the selected passes on the current design.
RouterTotals autoroute(Context& ctx, const RouterOptions& options, const RouterLink& link = {});

// One row of the statistics log. Count-only rows (full false) leave the
// routed, ratio and percentage columns blank.
std::string statisticsRow(const std::string& description, int processed, int routed, int total, int64_t ms, bool full);

}  // namespace trelmo
