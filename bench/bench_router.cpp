// The autorouter on generated boards of 20, 50 and 100 components (see
// route_board.h): the time of a whole run and the share of rat-lines routed,
// with the geometric passes alone and with the maze pass and its rip-up
// round; and on dense boards (closer components, longer nets), where the
// rip-up round has work to do, the maze pass without and with it.
// Counters: ratlines, routed, completion_pct.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "context.h"
#include "route_board.h"
#include "router/autoroute.h"
#include "shell/file_functions.h"
#include "shell/messages.h"

namespace trelmo {
namespace {

constexpr uint32_t kGeometricPasses = kClearPreroutes | kStraightRoutes | kDataBusRoutes | kInlineRoutes | kLRoutes;

std::string boardFile(int components, bool dense) {
  const std::string path = "/tmp/trelmo-bench-route-" + std::to_string(components) + (dense ? "-dense" : "") + ".pcb";
  std::ofstream(path, std::ios::binary) << bench::routeBoard(
      components, 1, dense ? bench::denseRouteBoard() : bench::RouteBoardLayout{});
  return path;
}

void routeBench(benchmark::State& state, uint32_t passes, bool dense = false) {
  const int components = static_cast<int>(state.range(0));
  const std::string path = boardFile(components, dense);
  RouterTotals last;
  for (auto _ : state) {
    state.PauseTiming();
    auto ctx = std::make_unique<Context>();
    loadMessageTable(*ctx);
    ctx->shell.prefs.displayLogs = false;
    if (!openFileByName(*ctx, path, 0)) {
      state.SkipWithError("board not read");
      return;
    }
    RouterOptions o;
    o.passes = passes;
    o.logPath = path + ".LOG";
    state.ResumeTiming();
    last = autoroute(*ctx, o);
    state.PauseTiming();
    ctx.reset();
    state.ResumeTiming();
  }
  state.counters["ratlines"] = last.ratLines;
  state.counters["routed"] = last.routed;
  state.counters["completion_pct"] = last.ratLines ? 100.0 * last.routed / last.ratLines : 0.0;
  std::remove(path.c_str());
  std::remove((path + ".LOG").c_str());
}

void BM_RouteGeometric(benchmark::State& state) { routeBench(state, kGeometricPasses); }
void BM_RouteWithMaze(benchmark::State& state) { routeBench(state, kAllPasses); }
void BM_RouteDenseNoRipUp(benchmark::State& state) { routeBench(state, kAllPasses & ~kSnakeRoutes, true); }
void BM_RouteDenseWithRipUp(benchmark::State& state) { routeBench(state, kAllPasses, true); }

BENCHMARK(BM_RouteGeometric)->Arg(20)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RouteWithMaze)->Arg(20)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RouteDenseNoRipUp)->Arg(20)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RouteDenseWithRipUp)->Arg(20)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelmo

BENCHMARK_MAIN();
