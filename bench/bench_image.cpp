// Resampling a photograph: the projective and the bilinear rectification of
// a 24-bit picture (one mapping per output pixel, four pixels interpolated),
// and a quarter turn for comparison. The counter mpixel_per_s is the rate of
// output pixels.
#include <benchmark/benchmark.h>

#include <vector>

#include "image/rectify.h"
#include "image/turns.h"

namespace trelmo {
namespace {

std::unique_ptr<PixelImage> photo(uint32_t w, uint32_t h) {
  auto img = makeImage(w, h, 3, 300);
  img->setI32(40, static_cast<int32_t>((w - 1) * 65536 / 300));
  img->setI32(44, static_cast<int32_t>((h - 1) * 65536 / 300));
  for (uint32_t r = 0; r < h; ++r)
    for (uint32_t k = 0; k < 3 * w; ++k) img->row(r)[k] = static_cast<uint8_t>(k * 7 + r * 3);
  return img;
}

// A board seen slightly from one side: the far edge a little shorter.
std::vector<PointPair> pairs(const PixelImage& img) {
  const double w = img.x1() / 65536.0, h = img.y1() / 65536.0;
  return {{0, 0, 0, 0}, {w, 0, w, 0}, {0.03 * w, h, 0, h}, {0.97 * w, h, w, h}, {0.5 * w, 0.5 * h, 0.5 * w, 0.49 * h}};
}

void BM_Rectify(benchmark::State& state) {
  auto img = photo(static_cast<uint32_t>(state.range(0)), static_cast<uint32_t>(state.range(0) * 3 / 4));
  const FitModel model = state.range(1) ? FitModel::Projective : FitModel::Bilinear;
  const std::vector<PointPair> p = pairs(*img);
  double pixels = 0;
  for (auto _ : state) {
    FitResidual residual;
    std::string why;
    auto out = rectifyPicture(*img, p, model, nullptr, residual, why);
    if (!out) state.SkipWithError(why.c_str());
    pixels += out ? static_cast<double>(out->width()) * out->height() : 0;
    benchmark::DoNotOptimize(out);
  }
  state.counters["mpixel_per_s"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Rectify)->Args({2000, 0})->Args({2000, 1})->Unit(benchmark::kMillisecond);

void BM_QuarterTurn(benchmark::State& state) {
  auto img = photo(static_cast<uint32_t>(state.range(0)), static_cast<uint32_t>(state.range(0) * 3 / 4));
  for (auto _ : state) benchmark::DoNotOptimize(rotatePicture90(*img, false));
}
BENCHMARK(BM_QuarterTurn)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trelmo

BENCHMARK_MAIN();
