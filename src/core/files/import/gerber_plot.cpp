// Turning photo-plot draws, flashes, arcs and regions into items.
#include <algorithm>
#include <cmath>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "files/import/gerber_reader.h"

namespace trelmo {

namespace {

constexpr uint16_t kThinnest = 3;         // narrower draws are widened
constexpr uint16_t kDefaultWidth = 655;   // 0.010 inch
constexpr uint16_t kDefaultFlash = 2048;  // 1/32 inch
constexpr int32_t kLargePicture = 24 * kInch;
constexpr double kChordDegrees = 10;

int32_t clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN + 1, INT32_MAX)); }

uint16_t binaryAngle(double radians) {
  double turns = radians / (2 * M_PI);
  turns -= std::floor(turns);
  return static_cast<uint16_t>(static_cast<int64_t>(std::llround(turns * 65536)) & 0xFFFF);
}

// Start angle and counter-clockwise sweep (radians) of an arc; a full
// circle when start and end coincide.
void arcAngles(double sx, double sy, double ex, double ey, double cx, double cy, bool clockwise, double& start,
               double& sweep) {
  double a0 = std::atan2(sy - cy, sx - cx), a1 = std::atan2(ey - cy, ex - cx);
  if (clockwise) std::swap(a0, a1);
  sweep = a1 - a0;
  while (sweep <= 0) sweep += 2 * M_PI;
  if (sx == ex && sy == ey) sweep = 2 * M_PI;
  start = a0;
}

}  // namespace

int32_t PlotOutput::shiftX(int64_t x) const { return clamp32(x + ctx_.params.zeroX); }
int32_t PlotOutput::shiftY(int64_t y) const { return clamp32(y + ctx_.params.zeroY); }

void PlotOutput::line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint16_t width) {
  if (!budget_.allows()) return;
  if (width < kThinnest) width = kDefaultWidth;
  if (createItem(ctx_.pool, ctx_.current, kLine, layer_, width, shiftX(x1), shiftY(y1), shiftX(x2), shiftY(y2), kNull))
    ++items_;
}

void PlotOutput::flash(int32_t x, int32_t y, const Aperture& ap) {
  if (!budget_.allows()) return;
  uint16_t type = static_cast<uint16_t>(ap.shape + item::kSurfaceMount);
  uint16_t xs = ap.x, ys = ap.y;
  if (xs == 0 && ys == 0) xs = ys = kDefaultFlash, type = item::kRectThru;
  Handle h = createItem(ctx_.pool, ctx_.current, kPad, layer_, type, shiftX(int64_t{x} + ap.offsetX),
                        shiftY(int64_t{y} + ap.offsetY), pack16(xs, ys), 0, kNull);
  if (h) ++items_;
}

void PlotOutput::arc(int32_t sx, int32_t sy, int32_t ex, int32_t ey, int32_t cx, int32_t cy, bool clockwise,
                     uint16_t width) {
  if (!budget_.allows()) return;
  if (width < kThinnest) width = kDefaultWidth;
  double start, sweep;
  arcAngles(sx, sy, ex, ey, cx, cy, clockwise, start, sweep);
  int32_t radius = clamp32(std::llround(std::hypot(double(sx) - cx, double(sy) - cy)));
  uint16_t sweepAngle = sweep >= 2 * M_PI - 1e-9 ? 0 : binaryAngle(sweep);  // 0 = full circle
  Handle h = createItem(ctx_.pool, ctx_.current, kArc, layer_, width, shiftX(cx), shiftY(cy), radius,
                        pack16(sweepAngle, binaryAngle(start)), kNull);
  if (h) ++items_;
}

void PlotOutput::contourTo(int32_t x, int32_t y) {
  if (contour_.size() < kMaxContour) contour_.emplace_back(x, y);
}

void PlotOutput::contourArc(int32_t sx, int32_t sy, int32_t ex, int32_t ey, int32_t cx, int32_t cy, bool clockwise) {
  double start, sweep;
  arcAngles(sx, sy, ex, ey, cx, cy, clockwise, start, sweep);
  double r = std::hypot(double(sx) - cx, double(sy) - cy);
  int steps = std::max(1, static_cast<int>(std::ceil(sweep * 180 / M_PI / kChordDegrees)));
  for (int k = 1; k < steps; ++k) {
    double t = clockwise ? start + sweep - sweep * k / steps : start + sweep * k / steps;
    contourTo(clamp32(std::llround(cx + r * std::cos(t))), clamp32(std::llround(cy + r * std::sin(t))));
  }
  contourTo(ex, ey);
}

void PlotOutput::closeContour() {
  if (contour_.size() > 1 && contour_.front() == contour_.back()) contour_.pop_back();
  if (contour_.size() >= 3 && budget_.allows()) {
    auto [x0, y0] = contour_.front();
    Handle h =
        createItem(ctx_.pool, ctx_.current, kLine, layer_, 0, shiftX(x0), shiftY(y0), shiftX(x0), shiftY(y0), kNull);
    if (h) {
      ++items_;
      for (auto [x, y] : contour_)
        if (!appendVertex(ctx_, h, shiftX(x), shiftY(y))) break;
    }
  }
  contour_.clear();
}

void PlotOutput::beginRepeat(int nx, int ny, int32_t dx, int32_t dy) {
  endRepeat();
  if (nx < 1 || ny < 1 || int64_t{nx} * ny > kMaxRepeatCells || int64_t{nx} * ny == 1) return;
  repeatMark_ = ctx_.rec(ctx_.current).prev;
  repeatX_ = nx, repeatY_ = ny, repeatDx_ = dx, repeatDy_ = dy;
}

void PlotOutput::endRepeat() {
  if (!repeatMark_) return;
  closeContour();
  Handle file = ctx_.current;
  std::vector<Handle> made;
  for (Handle h = ctx_.rec(repeatMark_).next; h != file; h = ctx_.rec(h).next) made.push_back(h);
  for (int j = 0; j < repeatY_; ++j)
    for (int i = 0; i < repeatX_; ++i)
      if (i || j)
        for (Handle h : made) {
          if (!budget_.allows()) break;
          copyItem(h, int64_t{i} * repeatDx_, int64_t{j} * repeatDy_);
        }
  repeatMark_ = 0;
}

void PlotOutput::copyItem(Handle h, int64_t dx, int64_t dy) {
  const Record r = ctx_.rec(h);
  auto x = [&](int32_t v) { return clamp32(v + dx); };
  auto y = [&](int32_t v) { return clamp32(v + dy); };
  bool ends = r.type() == kLine;  // lines and solids carry a second point
  Handle c = createItem(ctx_.pool, ctx_.current, r.flags, r.layer, r.size, x(r.x1), y(r.y1), ends ? x(r.w3) : r.w3,
                        ends ? y(r.w4) : r.w4, kNull);
  if (!c) return;
  ++items_;
  ctx_.rec(c).w5 = r.w5;
  if (!item::isSolid(r)) return;
  size_t n = 0;
  for (Handle v = r.ext; v && ctx_.pool.valid(v) && n++ <= kMaxContour; v = ctx_.rec(v).ext)
    if (!appendVertex(ctx_, c, x(ctx_.rec(v).x1), y(ctx_.rec(v).y1))) break;
}

void PlotOutput::scaleDownWhenLarge() {
  Handle file = ctx_.current;
  int64_t minX = INT64_MAX, minY = INT64_MAX, maxX = INT64_MIN, maxY = INT64_MIN;
  auto grow = [&](int64_t x, int64_t y) {
    minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
  };
  for (Handle h = ctx_.rec(file).next; h != file; h = ctx_.rec(h).next) {
    const Record& r = ctx_.rec(h);
    if (r.layer != layer_) continue;
    if (r.type() == kLine) grow(r.x1, r.y1), grow(r.w3, r.w4);
    if (r.type() == kPad || r.type() == kArc) grow(r.x1, r.y1);
  }
  if (minX > maxX || (maxX - minX < kLargePicture && maxY - minY < kLargePicture)) return;
  for (Handle h = ctx_.rec(file).next; h != file; h = ctx_.rec(h).next) {
    Record& r = ctx_.rec(h);
    if (r.layer != layer_) continue;
    r.x1 /= 10, r.y1 /= 10;
    if (r.type() == kLine) {
      size_t n = 0;
      r.w3 /= 10, r.w4 /= 10;
      if (r.size == 0)  // a region's vertices
        for (Handle v = r.ext; v && ctx_.pool.valid(v) && n++ <= kMaxContour; v = ctx_.rec(v).ext) {
          Record& e = ctx_.rec(v);
          e.x1 /= 10, e.y1 /= 10, e.w3 /= 10, e.w4 /= 10;
        }
    }
    if (r.type() == kArc) r.w3 /= 10;
  }
}

}  // namespace trelmo
