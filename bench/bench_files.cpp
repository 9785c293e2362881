// Writing and reading a generated design of 1,000,000 items, with the copy
// and plain-read speeds of the same file as the floor to compare with.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "context.h"
#include "database/design_files.h"
#include "database/walk.h"
#include "files/reader_chain.h"
#include "files/writer.h"
#include "generate_design.h"

namespace {

constexpr long kItems = 1000000;

std::string benchFile() { return (std::filesystem::temp_directory_path() / "trelmo-bench-1m.pcb").string(); }

long countItems(trelmo::Context& ctx) {
  long n = 0;
  trelmo::Handle cur = ctx.current;
  while (trelmo::anyItem(ctx.pool, cur) != 0) ++n;
  return n;
}

void setBytes(benchmark::State& state, long items) {
  const auto bytes = static_cast<int64_t>(std::filesystem::file_size(benchFile()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * items);
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_WriteDesign(benchmark::State& state) {
  trelmo::Context ctx;
  trelmo::newDesignFile(ctx, benchFile());
  trelmo::bench::generateBoard(ctx, kItems);
  const long items = countItems(ctx);
  for (auto _ : state) {
    if (!trelmo::writeDesignFile(ctx, benchFile(), 'C')) state.SkipWithError("write failed");
  }
  setBytes(state, items);
}
BENCHMARK(BM_WriteDesign)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadDesign(benchmark::State& state) {
  long items = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      trelmo::Context ctx;
      trelmo::newDesignFile(ctx, benchFile());
      state.ResumeTiming();
      if (trelmo::readFile(ctx, benchFile(), 0) != 'C') state.SkipWithError("read failed");
      state.PauseTiming();
      items = countItems(ctx);
    }
    state.ResumeTiming();
  }
  setBytes(state, items);
}
BENCHMARK(BM_ReadDesign)->Unit(benchmark::kMillisecond)->Iterations(3);

// 20,000 components whose reference IDs come in ascending (0) or descending
// (1) order: each is sorted into its place among the leading components.
void BM_ReadComponents(benchmark::State& state) {
  constexpr int kComponents = 20000;
  const std::string path = (std::filesystem::temp_directory_path() / "trelmo-bench-components.pcb").string();
  {
    std::string text = "TRELMO Version 4.0 -- Data File.\r\n-y1\r\n-y1:00FFFFFF,00FFFFFF,0,1,Top Silk\r\n";
    for (int i = 0; i < kComponents; ++i) {
      const int n = state.range(0) == 0 ? i + 1 : kComponents - i;
      text += "6 1 0 0 0 .1 .1 DIP\x7fR" + std::to_string(n) + "\r\n1 1 .01 0 0 .1 0\r\n0 6 0 0 0\r\n";
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size()) state.SkipWithError("cannot write");
    if (f) std::fclose(f);
  }
  for (auto _ : state) {
    state.PauseTiming();
    {
      trelmo::Context ctx;
      trelmo::newDesignFile(ctx, path);
      state.ResumeTiming();
      if (trelmo::readFile(ctx, path, 0) != 'C') state.SkipWithError("read failed");
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kComponents);
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReadComponents)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor: reading the same file in 64 KiB blocks (cat FILE > /dev/null).
void BM_CatFloor(benchmark::State& state) {
  std::vector<char> buf(65536);
  for (auto _ : state) {
    FILE* f = std::fopen(benchFile().c_str(), "rb");
    if (!f) {
      state.SkipWithError("no file");
      break;
    }
    while (std::fread(buf.data(), 1, buf.size(), f) > 0) {
    }
    std::fclose(f);
  }
  setBytes(state, 0);
}
BENCHMARK(BM_CatFloor)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor for writing: copying the file (cp).
void BM_CpFloor(benchmark::State& state) {
  const std::string copy = benchFile() + ".copy";
  for (auto _ : state) {
    std::filesystem::copy_file(benchFile(), copy, std::filesystem::copy_options::overwrite_existing);
  }
  std::filesystem::remove(copy);
  setBytes(state, 0);
}
BENCHMARK(BM_CpFloor)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
