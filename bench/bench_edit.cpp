// Editing a block of 10,000 items: grab, move and drop as one undo event,
// then the undo and the redo of that event. The undo of an event should cost
// no more than the drop that made it: the counter undo_per_drop reports it.
#include <benchmark/benchmark.h>

#include <chrono>

#include "context.h"
#include "database/design_files.h"
#include "edit/edit_functions.h"
#include "edit/grab.h"
#include "edit/undo.h"
#include "generate_design.h"

namespace trelmo {
namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// Everything of the file's own ring on the cursor, whole.
void grabAll(Context& ctx) {
  const Handle file = ctx.current;
  for (Handle h = ctx.rec(file).next; h != file; h = ctx.rec(h).next) grabItem(ctx, h, kGrabWhole);
  setGrabReference(ctx);
}

void BM_BlockGrabDropUndoRedo(benchmark::State& state) {
  Context ctx;
  installEditFunctions(ctx);
  newDesignFile(ctx, "bench.pcb");
  bench::generateBoard(ctx, state.range(0));
  double grab = 0, drop = 0, undo = 0, redo = 0;
  long rounds = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    grabAll(ctx);
    ctx.view.cursorX += 65536;
    followCursor(ctx);
    const auto t1 = Clock::now();
    dropGrabList(ctx);
    const auto t2 = Clock::now();
    undoEvent(ctx);
    const auto t3 = Clock::now();
    redoEvent(ctx);
    const auto t4 = Clock::now();
    grab += seconds(t0, t1), drop += seconds(t1, t2), undo += seconds(t2, t3), redo += seconds(t3, t4);
    state.SetIterationTime(seconds(t0, t4));
    ++rounds;
    // The Un-Do stack would grow by one event a round.
    purgeUndoStack(ctx, ctx.current);
  }
  const double n = static_cast<double>(rounds);
  state.counters["grab_move_ms"] = grab / n * 1e3;
  state.counters["drop_ms"] = drop / n * 1e3;
  state.counters["undo_ms"] = undo / n * 1e3;
  state.counters["redo_ms"] = redo / n * 1e3;
  state.counters["undo_per_drop"] = drop > 0 ? undo / drop : 0;
  state.counters["items"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_BlockGrabDropUndoRedo)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelmo

BENCHMARK_MAIN();
