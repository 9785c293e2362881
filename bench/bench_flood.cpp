// Flood Fill (BF) over the example board and over generated boards of 10,000
// items on ten inches square: the obstacles of each fill line and outline
// piece come from the spatial index, so the time grows with the lines laid,
// not with lines times items.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "context.h"
#include "database/design_files.h"
#include "flood/flood_fill.h"
#include "generate_design.h"
#include "shell/file_functions.h"

namespace trelmo {
namespace {

std::string examplePath() {
  const std::string here = __FILE__;
  return here.substr(0, here.rfind("bench/")) + "examples/demo.pcb";
}

void report(benchmark::State& state, int added) { state.counters["items_added"] = static_cast<double>(added); }

void BM_FloodExampleBoard(benchmark::State& state) {
  int added = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto ctx = std::make_unique<Context>();
    if (!openFileByName(*ctx, examplePath(), 0)) {
      state.SkipWithError("the example board did not open");
      return;
    }
    ctx->params.floodTarget = 3;
    std::snprintf(ctx->params.thermalSignal, sizeof ctx->params.thermalSignal, "GND");
    state.ResumeTiming();
    added = flood::floodFill(*ctx, flood::FloodRegion::fromRectangle(0, 0, 229376, 183501), flood::kFloodLines).added;
    state.PauseTiming();
    ctx.reset();
    state.ResumeTiming();
  }
  report(state, added);
}
BENCHMARK(BM_FloodExampleBoard)->Unit(benchmark::kMillisecond);

// A window of `range(1)` inches square of a generated board of range(0) items.
void BM_FloodGeneratedBoard(benchmark::State& state) {
  int added = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto ctx = std::make_unique<Context>();
    newDesignFile(*ctx, "/tmp/trelmo-bench-flood.pcb");
    bench::generateBoard(*ctx, state.range(0));
    ctx->params.floodTarget = 3;
    ctx->params.floodLineSize = 1311;  // 0.02 inch
    ctx->params.floodToLine = ctx->params.floodToPad = 655;
    const int32_t side = static_cast<int32_t>(state.range(1)) * kInch;
    state.ResumeTiming();
    added = flood::floodFill(*ctx, flood::FloodRegion::fromRectangle(0, 0, side, side), flood::kFloodLines).added;
    state.PauseTiming();
    ctx.reset();
    state.ResumeTiming();
  }
  report(state, added);
}
BENCHMARK(BM_FloodGeneratedBoard)->Args({10000, 2})->Args({10000, 10})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelmo

BENCHMARK_MAIN();
