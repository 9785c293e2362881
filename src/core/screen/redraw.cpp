#include "screen/redraw.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <future>
#include <system_error>
#include <thread>

#include "context.h"
#include "database/options.h"
#include "image/display.h"
#include "screen/draw_items.h"

namespace trelmo {

namespace {

constexpr int kMaxNesting = 64;
constexpr int32_t kComponentSlack = 0x8000;  // half an inch around a component's box

bool throughHolePad(const Record& r) { return r.type() == kPad && !(item::padType(r) & item::kSurfaceMount); }
int passLayerOf(const Record& r) { return throughHolePad(r) ? 0 : r.layer; }
bool usable(const LayerEntry& e) { return !e.unused() && !(e.color & kColorDisabled); }

// Visits every drawable record of the current design (components descended,
// hidden items and containers skipped). `enter` may refuse a component;
// `visit` sees items and, when a component ring ends, its sentinel.
template <class Enter, class Visit>
bool walkDesign(const Context& ctx, Enter enter, Visit visit) {
  if (ctx.current == kNull) return true;
  struct Level {
    Handle sentinel, header;
  };
  std::vector<Level> stack;
  Handle sentinel = ctx.current;
  Handle cur = ctx.rec(sentinel).next;
  for (;;) {
    if (cur == sentinel || cur == kNull || !ctx.pool.valid(cur)) {
      if (stack.empty()) return true;
      if (!visit(sentinel)) return false;
      Level up = stack.back();
      stack.pop_back();
      sentinel = up.sentinel;
      cur = ctx.rec(up.header).next;
      continue;
    }
    const Record& r = ctx.rec(cur);
    uint8_t type = r.type();
    if (type == kComponent && !r.hidden() && stack.size() < kMaxNesting && ctx.pool.valid(r.ext) &&
        ctx.rec(r.ext).type() == kSentinel && enter(r)) {
      stack.push_back({sentinel, cur});
      sentinel = r.ext;
      cur = ctx.rec(sentinel).next;
      continue;
    }
    if (type >= kLine && type <= kReserved && !r.hidden())
      if (!visit(cur)) return false;
    cur = r.next;
  }
}

Rect pixelBox(const View& v, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  auto clampW = [](int64_t w) { return static_cast<int32_t>(std::clamp<int64_t>(w, INT32_MIN, INT32_MAX)); };
  int64_t l = worldToPixelX(v, clampW(x1)), r = worldToPixelX(v, clampW(x2));
  int64_t t = worldToPixelY(v, clampW(y2)), b = worldToPixelY(v, clampW(y1));
  auto c = [](int64_t p) { return static_cast<int>(std::clamp<int64_t>(p, -(1 << 30), 1 << 30)); };
  return {c(std::min(l, r)), c(std::min(t, b)), c(std::max(l, r)), c(std::max(t, b))};
}

// The redraw rectangles in world units, widened by a few pixels so that every
// item whose own clip test would pass lies within reach of one of them.
struct WorldRect {
  double left, bottom, right, top;
};

std::vector<WorldRect> worldRects(const View& v, const std::vector<Rect>& rects) {
  const double s = v.viewScale / 4294967296.0;
  constexpr double m = 4;
  const double h = v.screenHeight - 1;
  std::vector<WorldRect> out;
  out.reserve(rects.size());
  for (const Rect& r : rects)
    out.push_back({(r.left - m + v.viewOriginX) / s, (h - (r.bottom + m) + v.viewOriginY) / s,
                   (r.right + m + v.viewOriginX) / s, (h - (r.top - m) + v.viewOriginY) / s});
  return out;
}

// Whether an item may put pixels into one of the rectangles: its box widened
// by half its width, pads (out to half the diagonal when turned) by the most
// any pass grows them. Text is always kept, since drawing measures it first;
// records that drawing ignores never are.
bool mayReach(const Record& r, const std::vector<WorldRect>& world, double padGrow) {
  double l = 0, b = 0, rt = 0, t = 0;
  switch (r.type()) {
    case kSentinel:
    case kText:
      return true;
    case kLine: {
      if (r.size == 0 && r.ext != kNull) return true;  // a filled polygon
      const double half = r.size / 2.0;
      l = std::min(r.x1, r.w3) - half, rt = std::max(r.x1, r.w3) + half;
      b = std::min(r.y1, r.w4) - half, t = std::max(r.y1, r.w4) + half;
      break;
    }
    case kArc: {
      const double reach = std::fabs(static_cast<double>(item::radius(r))) + r.size / 2.0;
      l = r.x1 - reach, rt = r.x1 + reach, b = r.y1 - reach, t = r.y1 + reach;
      break;
    }
    case kPad: {
      const double xs = item::padX(r), ys = item::padY(r);
      const double reach = ((item::padAngle(r) % 16384 ? std::hypot(xs, ys) : std::max(xs, ys)) + padGrow) / 2.0;
      l = r.x1 - reach, rt = r.x1 + reach, b = r.y1 - reach, t = r.y1 + reach;
      break;
    }
    default:
      return false;
  }
  return std::any_of(world.begin(), world.end(),
                     [&](const WorldRect& w) { return rt >= w.left && l <= w.right && t >= w.bottom && b <= w.top; });
}

std::vector<Rect> redrawRects(const Context& ctx) {
  const Rect& area = ctx.view.area;
  std::vector<Rect> out;
  if (ctx.screen.dirty.empty()) {
    out.push_back(intersect(area, ctx.screen.surface.bounds()));
  } else {
    for (const Rect& d : ctx.screen.dirty) {
      if (d.top < area.top || d.top > area.bottom) continue;  // only rectangles whose top is in the area
      Rect r = intersect(intersect(d, area), ctx.screen.surface.bounds());
      if (!r.empty()) out.push_back(r);
    }
  }
  if (!out.empty() && out[0].empty()) out.clear();
  return out;
}

}  // namespace

void attachSurface(Context& ctx, uint8_t* pixels, int pitch, int width, int height, const PixelFormat& format,
                   bool statusBar) {
  ctx.screen.surface.attach(pixels, pitch, width, height, format);
  View& v = ctx.view;
  v.screenWidth = ctx.screen.surface.width();
  v.screenHeight = ctx.screen.surface.height();
  v.area = {0, 0, v.screenWidth - 1, v.screenHeight - 1 - (statusBar ? kStatusBarRows : 0)};
  ctx.screen.dirty.clear();
  refreshScreenPixels(ctx);
}

int inputCheckInterval(uint32_t viewScale) {
  int zeros = std::countl_zero(viewScale);
  return zeros >= 7 ? 128 : 1 << zeros;
}

std::vector<int> layerPassOrder(Context& ctx) {
  const Params& p = ctx.params;
  bool holds[256] = {};
  bool anyPad = false;
  walkDesign(
      ctx, [](const Record&) { return true; },
      [&](Handle h) {
        const Record& r = ctx.rec(h);
        if (r.type() != kSentinel) holds[passLayerOf(r)] = true;
        anyPad |= r.type() == kPad;
        return true;
      });
  if (anyPad && (p.drawPads & kPadMaskPaste))
    for (int l = 0; l < 256; ++l)
      if (p.layers[l].kind() == kMask || p.layers[l].kind() == kPaste) holds[l] = true;
  int active = p.currentLayer & 255;
  bool activeCopper = p.layers[active].kind() == kCopper;
  std::vector<int> order;
  for (int l = 255; l >= 0; --l) {
    if (l == active || (activeCopper && l == 0)) continue;
    if (holds[l] && usable(p.layers[l])) order.push_back(l);
  }
  if (holds[active] || activeCopper) order.push_back(active);
  if (activeCopper) order.push_back(kPadMasterPass);
  return order;
}

void drawGridDots(Context& ctx, const Rect& rect) {
  const View& v = ctx.view;
  uint32_t spacing = ctx.params.gridSpacing;
  Surface& sf = ctx.screen.surface;
  if (spacing < 65536 || rect.empty()) return;
  double pixelSpacing = static_cast<double>(spacing) * v.viewScale / 281474976710656.0;  // / 2^48
  if (pixelSpacing < 8) return;
  // Index of the dot nearest to a world coordinate (ties away from zero).
  auto nearest = [&](int32_t w) -> int64_t {
    __int128 mag = static_cast<__int128>(w < 0 ? -static_cast<int64_t>(w) : w) << 48;
    int64_t n = static_cast<int64_t>((mag / spacing + (static_cast<__int128>(1) << 31)) >> 32);
    return w < 0 ? -n : n;
  };
  // World position of dot n: n spacings with the fractions carried along.
  auto at = [&](int64_t n) -> int32_t {
    __int128 w = (static_cast<__int128>(n) * spacing + (n < 0 ? -32768 : 32768)) / 65536;
    return static_cast<int32_t>(std::clamp<__int128>(w, INT32_MIN, INT32_MAX));
  };
  int64_t col0 = nearest(pixelToWorldX(v, rect.left)), row0 = nearest(pixelToWorldY(v, rect.top));
  std::vector<int64_t> cols;
  for (int64_t n = col0;; ++n) {
    int64_t px = worldToPixelX(v, at(n));
    if (px > rect.right + pixelSpacing || cols.size() > 100000) break;
    cols.push_back(px);
  }
  Rect saved = sf.clip();
  sf.setClip(rect);
  for (int64_t m = row0, count = 0; count < 100000; --m, ++count) {
    int64_t py = worldToPixelY(v, at(m));
    if (py > rect.bottom + pixelSpacing) break;
    for (int64_t px : cols) sf.plot(ctx.screen.gridPixel, px, py);
  }
  sf.setClip(saved);
}

namespace {

// Clears the rectangles when asked and draws the picture and the grid dots
// in them; false when there is no design to draw over them.
bool drawBackground(Context& ctx, const std::vector<Rect>& rects, bool clear) {
  Surface& sf = ctx.screen.surface;
  for (const Rect& r : rects) {
    sf.setClip(r);
    if (clear) sf.fillRect(ctx.screen.backgroundPixel, r.left, r.top, r.right, r.bottom);
  }
  if (ctx.current == kNull || rects.empty()) return false;
  for (const Rect& r : rects) {
    if (ctx.params.imageCurrent) {
      if (const PixelImage* img = ctx.images.get(ctx.params.imageCurrent)) drawPicture(ctx, *img, r);
    }
    drawGridDots(ctx, r);
  }
  return true;
}

// One walk keeps, in drawing order, what may reach the rectangles; every
// pass then runs over those alone, so a redraw follows the visible items.
template <class Enter>
std::vector<Handle> itemsToDraw(const Context& ctx, const std::vector<Rect>& rects, Enter enter) {
  std::vector<Handle> kept;
  if (ctx.view.viewScale == 0) {
    walkDesign(ctx, enter, [&](Handle h) {
      kept.push_back(h);
      return true;
    });
    return kept;
  }
  const Params& p = ctx.params;
  const std::vector<WorldRect> world = worldRects(ctx.view, rects);
  const double padGrow = std::fabs(static_cast<double>(p.maskSwell)) + std::fabs(static_cast<double>(p.pasteShrink));
  walkDesign(ctx, enter, [&](Handle h) {
    if (mayReach(ctx.rec(h), world, padGrow)) kept.push_back(h);
    return true;
  });
  return kept;
}

// What one layer pass draws of an item.
struct PassDraw {
  bool draw = false;
  int32_t grow = 0;
  int colourLayer = -1;
};

class Pass {
 public:
  Pass(const Params& p, int pass, bool last) : p_(p), pass_(pass), last_(last), entry_(p.layers[pass & 255]) {
    const bool maskPaste = pass < 256 && (p.drawPads & kPadMaskPaste);
    mask_ = maskPaste && entry_.kind() == kMask;
    paste_ = maskPaste && entry_.kind() == kPaste;
  }

  PassDraw of(const Record& r) const {
    if (r.type() == kSentinel) return {last_};
    if (pass_ == kPadMasterPass) return {r.layer == 0 || throughHolePad(r)};
    if (passLayerOf(r) == pass_) return {true};
    if (r.type() != kPad || !(mask_ || paste_)) return {};
    const uint8_t t = item::padType(r);
    const LayerEntry& own = p_.layers[r.layer];
    const bool smtSameSide = (t & item::kSurfaceMount) && own.kind() == kCopper && own.bottom() == entry_.bottom();
    if (mask_ && (t == item::kOvalThru || t == item::kRectThru || smtSameSide)) return {true, p_.maskSwell, pass_};
    if (paste_ && smtSameSide) return {true, -p_.pasteShrink, pass_};
    return {};
  }

 private:
  const Params& p_;
  int pass_;
  bool last_, mask_ = false, paste_ = false;
  const LayerEntry& entry_;
};

// A horizontal band of a redraw: its own surface over the shared pixels (its
// own clip), its rectangles, and what it drew. Bands share no pixel, and the
// pass order holds per pixel, so bands may be drawn at the same time. Each
// takes cache lines of its own: the clip and the count change every item.
struct alignas(64) Band {
  Surface surface;
  std::vector<Rect> rects;
  long drawn = 0;
  bool completed = true;
};

// Draws the items into one band, pass by pass; stops when `giveWay`, asked
// every few drawn items, says so.
template <class GiveWay>
void drawBand(Context& ctx, const std::vector<int>& passes, Band& band, GiveWay giveWay) {
  const int k = inputCheckInterval(ctx.view.viewScale);
  long sinceCheck = 0;
  auto drawIn = [&](Handle h, const PassDraw& d) {
    bool any = false;
    for (const Rect& r : band.rects) {
      band.surface.setClip(r);
      any |= drawItem(ctx, band.surface, h, d.grow, d.colourLayer);
    }
    if (!any) return true;
    ++band.drawn;
    if (++sinceCheck < k) return true;
    sinceCheck = 0;
    return !giveWay();
  };
  auto enter = [&](const Record& header) {
    Rect box = pixelBox(
        ctx.view, static_cast<int64_t>(header.x1) - kComponentSlack, static_cast<int64_t>(header.y1) - kComponentSlack,
        static_cast<int64_t>(header.w3) + kComponentSlack, static_cast<int64_t>(header.w4) + kComponentSlack);
    return std::any_of(band.rects.begin(), band.rects.end(), [&](const Rect& r) { return !intersect(box, r).empty(); });
  };
  const std::vector<Handle> kept = itemsToDraw(ctx, band.rects, enter);
  for (size_t i = 0; i < passes.size() && band.completed; ++i) {
    const Pass pass(ctx.params, passes[i], i + 1 == passes.size());
    for (Handle h : kept) {
      const PassDraw d = pass.of(ctx.rec(h));
      if (d.draw && !drawIn(h, d)) {
        band.completed = false;
        break;
      }
    }
  }
}

bool inputPending(const Context& ctx) { return ctx.screen.zoomPending && ctx.screen.zoomPending(); }

// Rows a single redraw rectangle needs before a second thread pays for itself.
constexpr int kMinRowsForBands = 400;

// One band for each rectangle, or, when two threads are asked (or, `threads`
// 0, available and worth it), a single rectangle cut into an upper and a
// lower half.
std::vector<Band> splitIntoBands(const Surface& sf, const std::vector<Rect>& rects, int threads) {
  const int rows = rects.size() == 1 ? rects[0].bottom - rects[0].top + 1 : 0;
  const bool two = threads >= 2   ? rows >= 2
                   : threads == 0 ? rows >= kMinRowsForBands && std::thread::hardware_concurrency() >= 2
                                  : false;
  if (!two) return {Band{sf, rects}};
  Rect upper = rects[0], lower = rects[0];
  upper.bottom = upper.top + rows / 2 - 1;
  lower.top = upper.bottom + 1;
  return {Band{sf, {upper}}, Band{sf, {lower}}};
}

// The first band on this thread, the second on a worker. Only this thread
// looks at input: the worker stops at a flag set when a look finds some
// (in this band, or while waiting for the worker), so both bands give way
// together. When the worker drew enough items for a look of its own, one is
// taken once it is done, so that input waiting then counts as an
// interruption, as it would on one thread.
void drawTwoBands(Context& ctx, const std::vector<int>& passes, Band& upper, Band& lower) {
  std::atomic<bool> stop{false};
  auto giveWay = [&] {
    if (!stop.load(std::memory_order_relaxed) && inputPending(ctx)) stop.store(true, std::memory_order_relaxed);
    return stop.load(std::memory_order_relaxed);
  };
  std::future<void> worker;
  try {
    worker = std::async(std::launch::async,
                        [&] { drawBand(ctx, passes, lower, [&] { return stop.load(std::memory_order_relaxed); }); });
  } catch (const std::system_error&) {
    // No thread to be had: this thread draws both.
  }
  drawBand(ctx, passes, upper, giveWay);
  if (!worker.valid()) {
    drawBand(ctx, passes, lower, giveWay);
    return;
  }
  if (ctx.screen.zoomPending)
    while (!giveWay() && worker.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
    }
  worker.get();
  const long drawn = upper.drawn + lower.drawn;
  if (lower.completed && drawn >= inputCheckInterval(ctx.view.viewScale) && giveWay()) lower.completed = false;
}

}  // namespace

bool drawDesign(Context& ctx, bool clear, int threads) {
  ScreenState& s = ctx.screen;
  s.itemsDrawn = 0;
  s.interrupted = false;
  if (!s.surface.valid()) return true;
  const std::vector<Rect> rects = redrawRects(ctx);
  if (!drawBackground(ctx, rects, clear)) {
    s.surface.setClip(ctx.view.area);
    return true;
  }
  const std::vector<int> passes = layerPassOrder(ctx);
  std::vector<Band> bands = splitIntoBands(s.surface, rects, threads);
  if (bands.size() == 2)
    drawTwoBands(ctx, passes, bands[0], bands[1]);
  else
    drawBand(ctx, passes, bands[0], [&] { return inputPending(ctx); });
  bool completed = true;
  for (const Band& b : bands) {
    s.itemsDrawn += b.drawn;  // an item reaching both bands counts in each
    completed &= b.completed;
  }
  // What follows the cursor (ghosts) goes over the fresh pixels of each rectangle.
  if (s.drawOverlay)
    for (const Rect& r : rects) {
      s.surface.setClip(r);
      s.drawOverlay(ctx);
    }
  s.surface.setClip(ctx.view.area);
  s.interrupted = !completed;
  return completed;
}

bool designExtents(const Context& ctx, int32_t box[4], bool drawn) {
  int64_t b[4] = {INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
  auto add = [&](int64_t x, int64_t y) {
    b[0] = std::min(b[0], x), b[1] = std::min(b[1], y), b[2] = std::max(b[2], x), b[3] = std::max(b[3], y);
  };
  if (ctx.current != kNull) {
    walkDesign(
        ctx, [](const Record&) { return true; },
        [&](Handle h) {
          const Record& r = ctx.rec(h);
          // Half the width of a track or arc, when the drawn box is asked for.
          const int64_t half = drawn && !item::isSolid(r) ? (r.size + 1) / 2 : 0;
          switch (r.type()) {
            case kLine:
              add(std::min(r.x1, r.w3) - half, std::min(r.y1, r.w4) - half);
              add(std::max(r.x1, r.w3) + half, std::max(r.y1, r.w4) + half);
              break;
            case kArc: {
              int64_t rad = (r.w3 < 0 ? -static_cast<int64_t>(r.w3) : r.w3) + half;
              add(r.x1 - rad, r.y1 - rad), add(r.x1 + rad, r.y1 + rad);
              break;
            }
            case kPad: {
              // A turned pad reaches out to half its diagonal.
              const int64_t xs = item::padX(r), ys = item::padY(r);
              const int64_t reach = drawn && item::padAngle(r) != 0
                                        ? static_cast<int64_t>(std::ceil(std::hypot(xs, ys) / 2))
                                        : std::max(xs, ys) / 2;
              add(r.x1 - reach, r.y1 - reach), add(r.x1 + reach, r.y1 + reach);
              break;
            }
            case kText: {
              // The text's box by its anchor; turned text takes the circle its box can sweep.
              int64_t len = std::abs(static_cast<int64_t>(item::textLength(r))), h = r.size;
              if (item::textAngle(r) != 0) {
                add(r.x1 - len - h, r.y1 - len - h), add(r.x1 + len + h, r.y1 + len + h);
                break;
              }
              int64_t sign = item::textLength(r) < 0 ? -1 : 1, u = h / 6;
              int64_t starts[4] = {0, -len / 2, -len, 2 * u};
              int64_t x = r.x1 + sign * starts[item::textAnchor(r) & 3];
              add(x, r.y1 - h), add(x + sign * len, r.y1 + h);
              break;
            }
            case kReserved:
              add(r.x1, r.y1);
              break;
            default:
              break;
          }
          return true;
        });
    if (ctx.params.imageCurrent)
      if (const PixelImage* img = ctx.images.get(ctx.params.imageCurrent))
        add(img->x0(), img->y0()), add(img->x1(), img->y1());
  }
  if (b[0] > b[2]) return false;
  for (int i = 0; i < 4; ++i) box[i] = static_cast<int32_t>(std::clamp<int64_t>(b[i], INT32_MIN, INT32_MAX));
  return true;
}

bool zoomExtents(Context& ctx) {
  if (ctx.current == kNull) return false;
  if (ctx.params.format == 'Z') {
    textViewPlacement(ctx.view);
    return true;
  }
  int32_t box[4];
  if (designExtents(ctx, box, true)) {
    zoomToRectangle(ctx.view, ctx.params, box[0], box[1], box[2], box[3], true);
    return true;
  }
  // An empty design: its drawing limits when the file set them, otherwise the
  // default scale about the origin (a rectangle of no size would give the
  // largest scale there is).
  const int32_t* lim = ctx.params.limits;
  Params startup{};
  startupParams(startup);
  const bool ownLimits = lim[2] > lim[0] && lim[3] > lim[1] && !std::equal(lim, lim + 4, startup.limits);
  if (ownLimits) {
    zoomToRectangle(ctx.view, ctx.params, lim[0], lim[1], lim[2], lim[3], true);
    return true;
  }
  View& v = ctx.view;
  savePreviousView(v);
  v.viewScale = kDefaultViewScale;
  v.cursorX = v.cursorY = 0;
  centreOnCursor(v);
  snapCursor(v, ctx.params);
  return true;
}

}  // namespace trelmo
