// Opening a generated RS-274X photo-plot file of a busy copper layer (200,000
// draws and 50,000 flashes) and drawing it at 2520 x 1919, as
// `trelmo-cli render` does. `bench_gerber --write-sample FILE` writes the file
// alone, so that bench/run-all.sh can time gerbv on the very same input.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "context.h"
#include "database/design_files.h"
#include "files/reader_chain.h"
#include "screen/redraw.h"

namespace {

constexpr int kWidth = 2520, kHeight = 1919;

std::string sampleFile() { return (std::filesystem::temp_directory_path() / "trelmo-bench-copper.gbr").string(); }

// Tracks as short paths of one to three draws with two track widths, pads
// flashed with a round and a square aperture; inches, 2.4 format.
bool writeSample(const std::string& path, long draws = 200000, long flashes = 50000) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::mt19937 rng(22);
  const int span = 100000, height = 76000;  // 10 x 7.6 inches
  std::fputs(
      "G04 generated copper layer*\n%FSLAX24Y24*%\n%MOIN*%\n%ADD10C,0.0100*%\n%ADD11C,0.0250*%\n"
      "%ADD12C,0.0600*%\n%ADD13R,0.0600X0.0600*%\n%LPD*%\nG01*\n",
      f);
  long drawn = 0, flashed = 0;
  int aperture = 0;
  while (drawn < draws || flashed < flashes) {
    if (drawn < draws && (flashed >= flashes || rng() % 5 != 0)) {
      const int want = rng() % 8 == 0 ? 11 : 10;
      if (want != aperture) std::fprintf(f, "D%d*\n", aperture = want);
      int x = static_cast<int>(rng() % span), y = static_cast<int>(rng() % height);
      std::fprintf(f, "X%06dY%06dD02*\n", x, y);
      for (int k = 1 + static_cast<int>(rng() % 3); k > 0 && drawn < draws; --k, ++drawn) {
        if (rng() % 2)
          x = std::clamp(x + static_cast<int>(rng() % 3000) - 1500, 0, span);
        else
          y = std::clamp(y + static_cast<int>(rng() % 3000) - 1500, 0, height);
        std::fprintf(f, "X%06dY%06dD01*\n", x, y);
      }
    } else {
      const int want = rng() % 2 ? 12 : 13;
      if (want != aperture) std::fprintf(f, "D%d*\n", aperture = want);
      std::fprintf(f, "X%06dY%06dD03*\n", static_cast<int>(rng() % span), static_cast<int>(rng() % height));
      ++flashed;
    }
  }
  std::fputs("M02*\n", f);
  return std::fclose(f) == 0;
}

void BM_OpenAndRenderGerber(benchmark::State& state) {
  if (!writeSample(sampleFile())) {
    state.SkipWithError("cannot write the sample file");
    return;
  }
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
  for (auto _ : state) {
    trelmo::Context ctx;
    trelmo::newDesignFile(ctx, "bench.pcb");
    if (trelmo::readFile(ctx, sampleFile(), 0) == 0) state.SkipWithError("read failed");
    trelmo::attachSurface(ctx, pixels.data(), kWidth * 4, kWidth, kHeight, trelmo::PixelFormat::depth(32), false);
    trelmo::zoomExtents(ctx);
    trelmo::drawDesign(ctx, true);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(sampleFile())) / 1e6;
}
BENCHMARK(BM_OpenAndRenderGerber)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--write-sample") == 0) return writeSample(argv[2]) ? 0 : 1;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
