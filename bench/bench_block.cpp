// Block Move and Block Delete over a whole generated board, at n and 4n
// items: both should grow linearly (compare the two times of each).
#include <benchmark/benchmark.h>

#include <ctime>

#include "context.h"
#include "database/design_files.h"
#include "database/rings.h"
#include "edit/block.h"
#include "edit/block_functions.h"
#include "edit/edit_functions.h"
#include "edit/undo.h"
#include "generate_design.h"

namespace trelmo {
namespace {

// The thread's CPU time: the machine is shared, and waiting for a core is no
// part of the work.
double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A rectangle block around everything the board holds.
void blockAroundAll(Context& ctx) {
  BlockDefinition& b = *blockOf(ctx);
  const ItemBox box = ringBounds(ctx.pool, ctx.current);
  b.file = ctx.current;
  b.path = filePath(ctx, ctx.current);
  b.region = {static_cast<int32_t>(box.x0) - 1,
              static_cast<int32_t>(box.y0) - 1,
              static_cast<int32_t>(box.x1) + 1,
              static_cast<int32_t>(box.y1) + 1,
              {}};
  b.layers.fill(true);
  b.sourceX = b.sourceY = 0;
  b.targetX = 65536, b.targetY = 0;
}

template <typename Action>
void run(benchmark::State& state, Action action) {
  Context ctx;
  installEditFunctions(ctx);
  newDesignFile(ctx, "bench.pcb");
  bench::generateBoard(ctx, state.range(0));
  blockAroundAll(ctx);
  for (auto _ : state) {
    const double t0 = cpuSeconds();
    action(ctx);
    state.SetIterationTime(cpuSeconds() - t0);
    undoEvent(ctx);
    purgeRedoStack(ctx, ctx.current);
    blockAroundAll(ctx);  // a move carried the block along
  }
  state.counters["items"] = static_cast<double>(state.range(0));
}

void BM_BlockMove(benchmark::State& state) {
  run(state, [](Context& ctx) { blockMoveOrCopy(ctx, false); });
}
BENCHMARK(BM_BlockMove)->Arg(25000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_BlockDelete(benchmark::State& state) {
  run(state, [](Context& ctx) { blockDelete(ctx, false); });
}
BENCHMARK(BM_BlockDelete)->Arg(25000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelmo

BENCHMARK_MAIN();
