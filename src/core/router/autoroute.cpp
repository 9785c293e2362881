// The routing run: the log, the layer colours, the preparation steps and the
// passes in their order.
#include "router/autoroute.h"

#include <array>
#include <chrono>
#include <cstdio>

#include "context.h"
#include "database/options.h"
#include "edit/undo.h"
#include "nets/connectivity.h"
#include "nets/log_writer.h"
#include "router/route_prepare.h"
#include "router/route_work.h"

namespace trelmo {

namespace {

constexpr int kLogWidth = 79;

int64_t systemClock() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// What the run keeps while it goes: the log, the totals and the colours.
struct RunLog {
  LogWriter& log;
  RouterTotals& totals;
  std::function<int64_t()> clock;
  int64_t started = 0;
  void begin() { started = clock(); }
  int64_t lap() {
    const int64_t now = clock(), ms = now - started;
    started = now;
    totals.milliseconds += ms;
    return ms;
  }
};

void writeHeader(LogWriter& log) {
  const std::string rule(kLogWidth, '-');
  log.line(rule);
  log.line("ALGORITHM                      TRACKS   TRACKS     HIT    PERCENTAGE    ELAPSED");
  log.line("DESCRIPTION                  PROCESSED  ROUTED    RATIO    OF TOTAL       TIME");
  log.line(rule);
  log.line("");
}

// Only layer 0 and the copper layers show while the router runs.
std::array<uint32_t, 256> hideLayers(Context& ctx) {
  std::array<uint32_t, 256> saved{};
  for (int n = 0; n < 256; ++n) {
    LayerEntry& e = ctx.params.layers[n];
    saved[n] = e.color;
    const bool shown = n == 0 || (n != kRatnestLayer && conductiveLayer(ctx, n));
    if (shown) {
      e.color &= ~kColorDisabled, e.screenColor &= ~kColorDisabled;
    } else {
      e.color |= kColorDisabled, e.screenColor |= kColorDisabled;
    }
  }
  return saved;
}

void restoreLayers(Context& ctx, const std::array<uint32_t, 256>& saved) {
  for (int n = 0; n < 256; ++n) ctx.params.layers[n].color = saved[n];
  convertColors(ctx);
  ctx.host->redrawView();
}

// One pass with its row; the counts join the totals.
template <class Pass>
void runPass(RouteWork& work, RunLog& run, const char* description, Pass pass) {
  run.begin();
  const PassCount c = pass();
  const int64_t ms = run.lap();
  run.totals.processed += c.processed;
  run.totals.routed += c.routed;
  const int total = run.totals.ratLines;
  work.onDesign([&] { run.log.line(statisticsRow(description, c.processed, c.routed, total, ms, true)); });
}

void prepare(RouteWork& work, RunLog& run, uint32_t passes) {
  Context& ctx = work.ctx;
  int deleted = 0, made = 0;
  run.begin();
  if (passes & kClearPreroutes) {
    work.onDesign([&] { deleted = deletePreroutes(ctx, *work.undo); });
    const int64_t ms = run.lap();
    work.onDesign([&] {
      run.log.line(statisticsRow("Deleting pre-routes:", deleted, 0, 0, ms, false));
      ctx.host->redrawView();
    });
    run.begin();
    work.onDesign([&] { made = createRatLines(ctx, *work.undo); });
    const int64_t ms2 = run.lap();
    work.onDesign([&] { run.log.line(statisticsRow("Creating ratnest lines:", made, 0, 0, ms2, false)); });
  } else {
    work.onDesign([&] { ctx.host->redrawView(); });
  }
  run.begin();
  work.onDesign([&] {
    work.load();
    work.collectRatLines();
  });
  sortRatLines(work.rats);
  run.totals.ratLines = static_cast<int>(work.rats.size());
  const int64_t ms = run.lap();
  work.onDesign([&] { run.log.line(statisticsRow("Sorting ratnest lines:", run.totals.ratLines, 0, 0, ms, false)); });
}

void routePasses(RouteWork& work, RunLog& run, uint32_t passes) {
  struct Step {
    uint32_t bit;
    const char* description;
    PassCount (RouteWork::*pass)();
  };
  static constexpr Step kSteps[] = {
      {kStraightRoutes, "Zero-via straight routes:", &RouteWork::straightPass},
      {kDataBusRoutes, "Zero-via data bus routes:", &RouteWork::dataBusPass},
      {kInlineRoutes, "Zero-via inline routes:", &RouteWork::inlinePass},
      {kLRoutes, "One-via \"L\" routes:", &RouteWork::lPass},
  };
  for (const Step& s : kSteps)
    if ((passes & s.bit) && !work.stopRequested()) runPass(work, run, s.description, [&] { return (work.*s.pass)(); });
  if (!(passes & (kZRoutes | kCRoutes | kSnakeRoutes)) || work.stopRequested()) return;
  PassCount retried;
  const bool ripUp = (passes & kSnakeRoutes) != 0;
  runPass(work, run, "Maze routes:", [&] { return work.mazePass(ripUp, &retried); });
  if (!ripUp) return;
  run.totals.processed += retried.processed;
  run.totals.routed += retried.routed;
  const int total = run.totals.ratLines;
  work.onDesign([&] {
    run.log.line(statisticsRow("Rip-up and retry routes:", retried.processed, retried.routed, total, 0, true));
  });
}

}  // namespace

std::string statisticsRow(const std::string& description, int processed, int routed, int total, int64_t ms, bool full) {
  std::string row = description;
  if (row.size() < 27) row.resize(27, ' ');
  char buf[96];
  std::snprintf(buf, sizeof buf, "%9d", processed);
  row += buf;
  if (full) {
    const double ratio = processed ? static_cast<double>(routed) / processed : 0.0;
    const double percent = total ? 100.0 * routed / total : 0.0;
    std::snprintf(buf, sizeof buf, "%9d%10.3f%10.2f%%", routed, ratio, percent);
    row += buf;
  } else {
    row += std::string(30, ' ');
  }
  std::snprintf(buf, sizeof buf, "%13.3f", static_cast<double>(ms) / 1000.0);
  return row + buf;
}

RouterTotals autoroute(Context& ctx, const RouterOptions& options, const RouterLink& link) {
  RouterTotals totals;
  RouteWork work(ctx, link);
  LogWriter log(ctx);
  RunLog run{log, totals, options.clock ? options.clock : systemClock};
  bool opened = false;
  std::array<uint32_t, 256> colours{};
  work.onDesign([&] {
    if (ctx.current == kNull) return;
    log.date = options.date;
    opened = log.open("AUTOROUTER STATISTICS LOG", kLogWidth, options.logPath);
    if (!opened) return;
    writeHeader(log);
    colours = hideLayers(ctx);
    work.undo = std::make_unique<UndoTransaction>(ctx);
  });
  if (!opened) return totals;
  prepare(work, run, options.passes);
  routePasses(work, run, options.passes);
  totals.stopped = work.stopRequested();
  for (const RatLine& r : work.rats) totals.unrouted += r.done ? 0 : 1;
  work.onDesign([&] {
    log.line("");
    if (totals.stopped) log.line("Stopped on request: " + std::to_string(totals.unrouted) + " rat-lines left.");
    log.line(statisticsRow("Totals:", totals.processed, totals.routed, totals.ratLines, totals.milliseconds, true));
    totals.logged = log.close();
    work.undo.reset();
    restoreLayers(ctx, colours);
  });
  return totals;
}

}  // namespace trelmo
