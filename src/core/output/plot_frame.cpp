#include "output/plot_frame.h"

#include <algorithm>
#include <cmath>

#include "context.h"
#include "screen/redraw.h"

namespace trelmo {

namespace {
constexpr double kUnitsPerInch = 65536.0;
constexpr int kFitSlack = 7;
constexpr int kCornerInset = 3;
constexpr double kMaxPictureDots = 1 << 28;  // a quarter of a gigapixel
}  // namespace

bool plotWindow(const Context& ctx, int32_t window[4]) {
  const Params& p = ctx.params;
  const int32_t* r = p.printRect;
  if (!(p.printFlags & kPrintExtents) && r[0] < r[2] && r[1] < r[3]) {
    std::copy(r, r + 4, window);
    return true;
  }
  return designExtents(ctx, window);
}

PlotFrame plotFrame(const int32_t window[4], uint8_t flags, int32_t scaleFactor, const PlotPage& page) {
  PlotFrame f;
  std::copy(window, window + 4, f.window);
  f.page = page;
  f.mirror = (flags & kPrintMirror) != 0;
  f.negative = (flags & kPrintNegative) != 0;
  const double ww = std::max(1.0, static_cast<double>(window[2]) - window[0]);
  const double wh = std::max(1.0, static_cast<double>(window[3]) - window[1]);
  if (flags & kPrintScaleToPage)
    f.scale = std::max(1e-9, std::min((page.width - kFitSlack) / ww, (page.height - kFitSlack) / wh));
  else
    f.scale = std::max(1e-9, scaleFactor / 65536.0 * page.dpi / kUnitsPerInch);
  if (flags & kPrintCentre) {
    f.originX = (static_cast<double>(window[0]) + window[2]) / 2 * f.scale - (page.width - 1) / 2.0;
    f.originY = (static_cast<double>(window[1]) + window[3]) / 2 * f.scale - (page.height - 1) / 2.0;
  } else {
    f.originX = window[0] * f.scale - kCornerInset;
    f.originY = window[3] * f.scale - (page.height - 1 - kCornerInset);
  }
  const double xs[2] = {f.x(window[0]), f.x(window[2])}, ys[2] = {f.y(window[1]), f.y(window[3])};
  auto dot = [](double v) { return static_cast<int>(std::clamp(std::floor(v), -1e9, 1e9)); };
  const Rect full{dot(std::min(xs[0], xs[1])), dot(std::min(ys[0], ys[1])), dot(std::ceil(std::max(xs[0], xs[1]))),
                  dot(std::ceil(std::max(ys[0], ys[1])))};
  f.image = intersect(full, Rect{0, 0, page.width - 1, page.height - 1});
  return f;
}

bool windowPage(const int32_t window[4], double dpi, PlotPage& page) {
  const double w = (static_cast<double>(window[2]) - window[0]) / kUnitsPerInch * dpi;
  const double h = (static_cast<double>(window[3]) - window[1]) / kUnitsPerInch * dpi;
  if (!(dpi > 0) || w < 0 || h < 0 || (w + 8) * (h + 8) > kMaxPictureDots) return false;
  page.dpi = dpi;
  page.width = static_cast<int>(std::ceil(w)) + 2 * kCornerInset + 1;
  page.height = static_cast<int>(std::ceil(h)) + 2 * kCornerInset + 1;
  return true;
}

}  // namespace trelmo
