// Block Move and Block Delete over a whole generated board, at n and 4n
// items: both should grow linearly (compare the two times of each).
#include <benchmark/benchmark.h>

#include <chrono>

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

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// A rectangle block around everything the board holds.
void blockAroundAll(Context& ctx) {
  BlockDefinition& b = *blockOf(ctx);
  const ItemBox box = ringBounds(ctx.pool, ctx.current);
  b.file = ctx.current;
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
    const auto t0 = Clock::now();
    action(ctx);
    const auto t1 = Clock::now();
    state.SetIterationTime(seconds(t0, t1));
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
