// Record pool: allocation and free.
#include <benchmark/benchmark.h>

#include <vector>

#include "context.h"
#include "database/rings.h"

namespace {

// Allocate n records, then free them all (the free list is warm after the
// first round, as in an editing session).
void BM_AllocateFree(benchmark::State& state) {
  trelmo::RecordPool pool;
  const auto n = static_cast<size_t>(state.range(0));
  std::vector<trelmo::Handle> handles(n);
  for (auto _ : state) {
    for (size_t i = 0; i < n; ++i) handles[i] = pool.allocate();
    for (size_t i = 0; i < n; ++i) pool.release(handles[i]);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * n * 2));
}
BENCHMARK(BM_AllocateFree)->Arg(1000)->Arg(1000000);

// Create and delete items in a ring (allocate + link, unlink + free).
void BM_CreateDeleteItems(benchmark::State& state) {
  trelmo::RecordPool pool;
  const trelmo::Handle ring = trelmo::newRing(pool, trelmo::kFileRing);
  const auto n = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    for (size_t i = 0; i < n; ++i) trelmo::createItem(pool, ring, trelmo::kLine, 1, 655, 0, 0, 1, 1, 0);
    while (!trelmo::ringEmpty(pool, ring)) trelmo::deleteItem(pool, pool[ring].next);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * n));
}
BENCHMARK(BM_CreateDeleteItems)->Arg(1000000);

}  // namespace

BENCHMARK_MAIN();
