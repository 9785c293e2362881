// Full redraws of a generated board of 100,000 items at 1920 x 1080, 32 bpp,
// solid draw modes; and, for scale, one fill of the whole buffer.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/design_files.h"
#include "database/rings.h"
#include "screen/draw_items.h"
#include "screen/redraw.h"
#include "screen/view.h"

namespace trelmo {
namespace {

constexpr int kWidth = 1920, kHeight = 1080;

struct Board {
  Context ctx;
  std::vector<uint8_t> pixels = std::vector<uint8_t>(size_t{kWidth} * kHeight * 4);
  long items = 0;

  Board() {
    Handle file = newDesignFile(ctx, "bench.pcb");
    Params& p = ctx.params;
    auto layer = [&](int n, const char* name, uint8_t type, uint32_t colour) {
      std::snprintf(p.layers[n].name, sizeof p.layers[n].name, "%s", name);
      p.layers[n].type = type;
      p.layers[n].color = colour;
    };
    layer(0, "Pad Master", kCopper, 0x00AA00);
    layer(1, "Top Copper", kCopper, 0xAA0000);
    layer(2, "Bottom Copper", kCopper | kBottomSide, 0x0000AA);
    layer(3, "Silk", kSilk, 0xFFFF00);
    p.currentLayer = 1;
    p.drawLines = kLinesDense;
    p.drawPads = kPadsDense;
    p.drawText = kTextFilled;
    std::mt19937 rng(2026);
    const int32_t span = 12 * kInch, height = 8 * kInch;
    auto rx = [&] { return static_cast<int32_t>(rng() % span); };
    auto ry = [&] { return static_cast<int32_t>(rng() % height); };
    auto add = [&](Handle ring, uint8_t type, int layerNo, uint16_t size, int32_t x1, int32_t y1, int32_t w3,
                   int32_t w4) {
      ++items;
      return createItem(ctx.pool, ring, type, static_cast<uint8_t>(layerNo), size, x1, y1, w3, w4, kNull);
    };
    // 1,500 components of 20 pads, a silk outline and a reference text each.
    for (int c = 0; c < 1500; ++c) {
      int32_t x = rx(), y = ry();
      Handle hd = createItem(ctx.pool, file, kComponent, 0, 0, x, y, x + kInch, y + kInch / 2, kNull);
      Handle s = newRing(ctx.pool, kComponentRing);
      ctx.rec(hd).ext = s;
      ctx.rec(s).w4 = static_cast<int32_t>(hd);
      storeText(ctx, s, std::string("DIP20\x7fU") + std::to_string(c));
      for (int i = 0; i < 20; ++i) {
        Handle pd = add(s, kPad, 1, i < 10 ? item::kRectThru : item::kOvalThru, x + (i % 10) * 6554,
                        y + (i / 10) * 19661, 0, 0);
        item::setPad(ctx.rec(pd), 4000, 4000, 2000, 0);
      }
      add(s, kLine, 3, 655, x, y, x + kInch, y);
      Handle t = add(s, kText, 3, 4000, x, y + 26000, 0, 0);
      item::setText(ctx.rec(t), 1, 0, 0);
      storeText(ctx, t, "&@");
    }
    // Tracks, vias and free text fill the rest.
    while (items < 100000 - 12) {
      int kind = static_cast<int>(rng() % 10);
      int32_t x = rx(), y = ry();
      if (kind < 7) {
        add(file, kLine, 1 + static_cast<int>(rng() % 2), 800 + rng() % 2000, x, y,
            x + static_cast<int32_t>(rng() % 40000), y + static_cast<int32_t>(rng() % 40000) - 20000);
      } else if (kind < 9) {
        Handle v = add(file, kPad, 1, item::kRoundVia, x, y, 0, 0);
        item::setPad(ctx.rec(v), 3000, 3000, 1200, 0);
      } else {
        Handle t = add(file, kText, 3, 3000, x, y, 0, 0);
        item::setText(ctx.rec(t), 1, 0, 0);
        storeText(ctx, t, "R" + std::to_string(items % 1000));
      }
    }
    for (int i = 0; i < 12; ++i) {  // a few filled solids (copper pours)
      Handle sd = add(file, kLine, 2, 0, 0, 0, 0, 0);
      int32_t x = rx(), y = ry();
      for (int k = 0; k < 24; ++k)
        appendVertex(ctx, sd, x + static_cast<int32_t>(30000 * std::cos(k * 0.2618)),
                     y + static_cast<int32_t>(30000 * std::sin(k * 0.2618)));
    }
    attachSurface(ctx, pixels.data(), kWidth * 4, kWidth, kHeight, PixelFormat::depth(32), false);
    zoomExtents(ctx);
    refreshScreenPixels(ctx);
  }
};

Board& board() {
  static auto* b = new Board();
  return *b;
}

// Wall time on one thread (argument 1) and in two bands on two threads (2).
void BM_FullRedraw(benchmark::State& state) {
  Board& b = board();
  const int threads = static_cast<int>(state.range(0));
  const std::clock_t start = std::clock();  // CPU time of every thread
  for (auto _ : state) {
    drawDesign(b.ctx, true, threads);
    benchmark::DoNotOptimize(b.pixels.data());
  }
  state.counters["cpu_all_ms"] =
      1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC / static_cast<double>(state.iterations());
  state.counters["items"] = static_cast<double>(b.items);
  state.counters["drawn"] = static_cast<double>(b.ctx.screen.itemsDrawn);
}
BENCHMARK(BM_FullRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same board zoomed in about its middle so that about a tenth of it is
// in view (the scale of Zoom Extents times the square root of ten).
void BM_CulledRedraw(benchmark::State& state) {
  Board& b = board();
  const View saved = b.ctx.view;
  View& v = b.ctx.view;
  v.viewScale = static_cast<uint32_t>(v.viewScale * 3.1623);
  v.cursorX = 6 * kInch, v.cursorY = 4 * kInch;
  centreOnCursor(v);
  for (auto _ : state) {
    drawDesign(b.ctx, true, 1);
    benchmark::DoNotOptimize(b.pixels.data());
  }
  state.counters["items"] = static_cast<double>(b.items);
  state.counters["drawn"] = static_cast<double>(b.ctx.screen.itemsDrawn);
  b.ctx.view = saved;
}
BENCHMARK(BM_CulledRedraw)->Unit(benchmark::kMillisecond);

// The walk behind Zoom Extents over 100,000 items: the item geometry alone
// (argument 0) and the drawn box that adds track and arc widths (1).
void BM_DesignExtents(benchmark::State& state) {
  Board& b = board();
  int32_t box[4];
  for (auto _ : state) {
    designExtents(b.ctx, box, state.range(0) != 0);
    benchmark::DoNotOptimize(box);
  }
}
BENCHMARK(BM_DesignExtents)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FillBufferOnce(benchmark::State& state) {
  Board& b = board();
  Surface& s = b.ctx.screen.surface;
  s.setClip(s.bounds());
  for (auto _ : state) {
    s.fillRect(b.ctx.screen.backgroundPixel, 0, 0, kWidth - 1, kHeight - 1);
    benchmark::DoNotOptimize(b.pixels.data());
  }
}
BENCHMARK(BM_FillBufferOnce)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelmo

BENCHMARK_MAIN();
