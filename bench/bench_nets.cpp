// The net scan log (NG) and the rat-nest (NR) on generated boards of a
// constant density: nets of four pads (half of them component pins) joined
// by tracks, one net in four left with a gap, vias and labels between. The
// indexed scan should grow linearly: the counter per_item_us stays flat from
// 1,000 to 100,000 items, and time(4n)/time(n) stays below 5; the all-pairs
// reference shows what the index saves.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "context.h"
#include "database/chains.h"
#include "database/design_files.h"
#include "database/options.h"
#include "database/rings.h"
#include "database/signals.h"
#include "nets/net_scan.h"
#include "nets/ratsnest.h"

namespace trelmo {
namespace {

constexpr int kItemsPerNet = 9;

Handle pad(Context& ctx, Handle ring, int32_t x, int32_t y, const std::string& signal, uint32_t pin) {
  const Handle h = createItem(ctx.pool, ring, kPad, 0, item::kOvalThru, x, y, 0, 0, 0);
  if (!h) return h;
  item::setPad(ctx.rec(h), 4000, 4000, 2300, 0);
  ctx.rec(h).w5 = static_cast<int32_t>(pin);
  attachSignal(ctx, h, signal);
  return h;
}

// About `items` items over a square that grows with them.
void netBoard(Context& ctx, long items, bool routed = true, uint32_t seed = 7) {
  parseOptionsV4(ctx, {"-y3", "-y0:00AAAAAA,00FFFFFF,2,0,Pad Master", "-y1:00FFFFFF,00FFFFFF,0,1,Top Silk",
                       "-y3:00AA0000,00FF0000,2,3,Top Copper", "-y12:000000AA,000000FF,2,12,Bottom Copper",
                       "-gc.012,.012,.008,.008,.008,.01,.005,,,3"});
  std::mt19937 rng(seed);
  const long nets = std::max(1L, items / kItemsPerNet);
  const int32_t side = static_cast<int32_t>(std::sqrt(static_cast<double>(nets)) * 0.6 * kInch);
  const Handle file = ctx.current;
  for (long n = 0; n < nets; ++n) {
    const std::string signal = "N" + std::to_string(n);
    const int32_t x = static_cast<int32_t>(rng() % static_cast<uint32_t>(side));
    const int32_t y = static_cast<int32_t>(rng() % static_cast<uint32_t>(side));
    Handle ring = file;
    if (n % 2 == 0) {
      const Handle hdr =
          createItem(ctx.pool, file, kComponent, 1, 0, x - 4000, y - 4000, x + 3 * 6554 + 4000, y + 4000, 0);
      ring = newRing(ctx.pool, kComponentRing);
      ctx.rec(hdr).ext = ring;
      ctx.rec(ring).w4 = static_cast<int32_t>(hdr);
      ctx.rec(ring).x1 = x, ctx.rec(ring).y1 = y;
      storeText(ctx, ring, "DIP4\x7fU" + std::to_string(n) + "\x7f\x7f");
    }
    for (uint32_t p = 0; p < 4; ++p) pad(ctx, ring, x + static_cast<int32_t>(p) * 6554, y, signal, p + 1);
    const int layer = (n & 1) ? 3 : 12;
    for (int32_t p = 0; p < 3; ++p) {
      if (routed && p == 1 && n % 4 == 3) continue;  // a gap
      const Handle t = createItem(ctx.pool, file, kLine, static_cast<uint8_t>(layer), 655, x + p * 6554, y,
                                  x + (p + 1) * 6554, y, 0);
      if (routed)
        attachSignal(ctx, t, signal);
      else
        ctx.rec(t).layer = 1;  // not a track: the pads stay apart
    }
    const Handle via = createItem(ctx.pool, file, kPad, 0, item::kRoundVia, x + 3 * 6554, y + 13000, 0, 0, 0);
    item::setPad(ctx.rec(via), 2900, 2900, 1300, 0);
    const Handle label = createItem(ctx.pool, file, kText, 1, 3900, x, y + 8000, 0, 0, 0);
    item::setText(ctx.rec(label), 3900 * 3, 0, 0);
    storeText(ctx, label, "LBL");
  }
}

void BM_NetScanLog(benchmark::State& state, Search search) {
  long errors = 0, nets = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto ctx = std::make_unique<Context>();
    ctx->shell.prefs.displayLogs = false;
    newDesignFile(*ctx, "/tmp/trelmo-bench-nets.pcb");
    netBoard(*ctx, state.range(0));
    ScanLogOptions o;
    o.path = "/tmp/trelmo-bench-nets.LOG";
    o.search = search;
    state.ResumeTiming();
    const ScanLogResult r = netScanLog(*ctx, o);
    state.PauseTiming();
    errors = r.errors, nets = r.nets;
    ctx.reset();
    state.ResumeTiming();
  }
  state.counters["items"] = static_cast<double>(state.range(0));
  state.counters["nets"] = static_cast<double>(nets);
  state.counters["errors"] = static_cast<double>(errors);
  state.counters["per_item_us"] =
      benchmark::Counter(static_cast<double>(state.range(0)) * 1e-6,
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  std::remove("/tmp/trelmo-bench-nets.LOG");
}

void BM_NetScanLogIndexed(benchmark::State& state) { BM_NetScanLog(state, Search::Indexed); }
void BM_NetScanLogAllPairs(benchmark::State& state) { BM_NetScanLog(state, Search::AllPairs); }

BENCHMARK(BM_NetScanLogIndexed)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(10000)
    ->Arg(25000)
    ->Arg(40000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NetScanLogAllPairs)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

// Rat-nest over 500 unrouted nets of four pads.
void BM_Ratsnest500Nets(benchmark::State& state) {
  long lines = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto ctx = std::make_unique<Context>();
    newDesignFile(*ctx, "/tmp/trelmo-bench-rats.pcb");
    netBoard(*ctx, 500L * kItemsPerNet, false);
    state.ResumeTiming();
    ratsnest(*ctx, true);
    state.PauseTiming();
    lines = 0;
    for (Handle h = ctx->rec(ctx->current).next; h != ctx->current; h = ctx->rec(h).next)
      lines += ctx->rec(h).layer == kRatnestLayer;
    ctx.reset();
    state.ResumeTiming();
  }
  state.counters["rat_lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_Ratsnest500Nets)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelmo

BENCHMARK_MAIN();
