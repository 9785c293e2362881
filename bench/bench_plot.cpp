// Plot and photo-plot output of generated boards: the scene built from the
// design, the HPGL pen order, the bitmap bands at 300 dpi and one copper
// Gerber file.
#include <benchmark/benchmark.h>

#include "context.h"
#include "database/design_files.h"
#include "generate_design.h"
#include "output/gerber_writer.h"
#include "output/hpgl_writer.h"
#include "output/plot_job.h"

namespace trelmo {
namespace {

struct Board {
  Context ctx;
  explicit Board(long items) {
    newDesignFile(ctx, "bench.pcb");
    bench::generateBoard(ctx, items);
  }
};

void BM_PlotScene(benchmark::State& state) {
  Board b(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(buildPlotScene(b.ctx, 0).itemCount());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlotScene)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_HpglGreedyOrder(benchmark::State& state) {
  Board b(state.range(0));
  const PlotScene scene = buildPlotScene(b.ctx, 0);
  for (auto _ : state) {
    MemorySink out;
    PlotControl control;
    benchmark::DoNotOptimize(writeHpgl(scene, out, control));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HpglGreedyOrder)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_BitmapAt300Dpi(benchmark::State& state) {
  Board b(state.range(0));
  PlotSettings s;
  s.kind = PlotKind::Bmp;
  s.scaleFactor = bmpScaleFactor(300);
  for (auto _ : state) {
    PlotJob job;
    preparePlot(b.ctx, s, job);
    job.sink = std::make_unique<MemorySink>();
    PlotControl control;
    benchmark::DoNotOptimize(runPlotJob(job, control));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BitmapAt300Dpi)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_GerberCopper(benchmark::State& state) {
  Board b(state.range(0));
  GerberFileJob job;
  job.layers.set(1);
  for (auto _ : state) {
    MemorySink out;
    benchmark::DoNotOptimize(writeGerberFile(b.ctx, job, out, nullptr));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GerberCopper)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelmo

BENCHMARK_MAIN();
