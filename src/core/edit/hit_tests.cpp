#include "edit/hit_tests.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "context.h"
#include "database/geometry.h"
#include "screen/draw_items.h"

namespace trelmo {

namespace {

bool layerShown(const Context& ctx, int layer) { return !(ctx.layer(layer).color & kColorDisabled); }

bool throughHole(const Record& r) { return r.type() == kPad && !(item::padType(r) & item::kSurfaceMount); }

// Calls f(item, ring, insideComponent) from the newest item backwards,
// descending into components; f returns true to stop. True when stopped.
template <typename F>
bool walkBack(const Context& ctx, Handle ring, bool inside, F& f) {
  for (Handle h = ctx.rec(ring).prev; h != ring && h != kNull; h = ctx.rec(h).prev) {
    const Record& r = ctx.rec(h);
    if (r.hidden()) continue;
    if (r.type() == kComponent) {
      if (ctx.pool.valid(r.ext) && walkBack(ctx, r.ext, true, f)) return true;
      continue;
    }
    if (f(h, ring, inside)) return true;
  }
  return false;
}

template <typename F>
void walkDesignBack(const Context& ctx, F f) {
  if (ctx.current != kNull) walkBack(ctx, ctx.current, false, f);
}

int64_t sq(int64_t v) { return v * v; }

int textLines(const Context& ctx, Handle h) {
  const std::string s = shownText(ctx, h);
  return 1 + static_cast<int>(std::count(s.begin(), s.end(), static_cast<char>(255)));
}

}  // namespace

int32_t hitTolerance(const Context& ctx) {
  const uint32_t scale = std::max<uint32_t>(ctx.view.viewScale, 1);
  return static_cast<int32_t>(std::min<uint64_t>(((uint64_t{1} << 32) + scale / 2) / scale, INT32_MAX));
}

bool lineHit(const Record& r, int32_t x, int32_t y, int32_t tol) {
  const int32_t halfWidth = r.size / 2;  // in whole units
  const double h = static_cast<double>(halfWidth) + static_cast<double>(tol);
  const double px = static_cast<double>(x) - r.x1, py = static_cast<double>(y) - r.y1;
  const double vx = static_cast<double>(r.w3) - r.x1, vy = static_cast<double>(r.w4) - r.y1;
  const double len2 = vx * vx + vy * vy;
  const double t = len2 > 0 ? std::clamp((px * vx + py * vy) / len2, 0.0, 1.0) : 0.0;
  const double dx = px - t * vx, dy = py - t * vy;
  return dx * dx + dy * dy <= h * h;
}

bool arcHit(const Record& r, int32_t x, int32_t y, int32_t tol) {
  const int64_t h = r.size / 2 + int64_t{tol};
  const int64_t rad = std::abs(int64_t{item::radius(r)});
  int64_t dx = int64_t{x} - r.x1, dy = int64_t{y} - r.y1;
  if (std::abs(dx) > rad + h || std::abs(dy) > rad + h) return false;
  const uint16_t ecc = item::eccentricity(r), axis = item::axisAngle(r);
  uint16_t start = item::start(r);
  if (ecc != 0) {
    int32_t rx = clamp32(dx), ry = clamp32(dy);
    rotatePoint(rx, ry, static_cast<uint16_t>(-axis));
    dx = rx;
    dy = int64_t{ry} * 65536 / std::max<int64_t>(ecc, 3);
  } else {
    start = static_cast<uint16_t>(start + axis);
  }
  const int64_t d2 = sq(dx) + sq(dy);
  if (d2 < sq(std::max<int64_t>(rad - h, 0)) || d2 > sq(rad + h)) return false;
  const uint16_t sweep = item::sweep(r);
  if (sweep == 0) return true;
  auto nearEnd = [&](uint16_t a) {
    int32_t ex, ey;
    polar(clamp32(rad), a, ex, ey);
    const int64_t ddx = dx - ex, ddy = dy - ey;
    return std::abs(ddx) <= h && std::abs(ddy) <= h && sq(ddx) + sq(ddy) <= sq(h);
  };
  if (nearEnd(start) || nearEnd(static_cast<uint16_t>(start + sweep))) return true;
  const uint16_t a = direction(0, 0, clamp32(dx), clamp32(dy));
  return static_cast<uint16_t>(a - start) <= sweep;
}

bool padHit(const Record& r, int32_t x, int32_t y, int32_t tol) {
  int64_t dx = int64_t{r.x1} - x, dy = int64_t{r.y1} - y;
  const int64_t xs = item::padX(r), ys = item::padY(r);
  const int64_t hx = xs / 2 + tol, hy = ys / 2 + tol;
  const uint8_t shape = item::padType(r) & 3;
  if (hx == hy && shape != 2) return std::max(std::abs(dx), std::abs(dy)) <= hx && sq(dx) + sq(dy) <= sq(hx);
  if (item::padAngle(r) != 0) {
    int32_t rx = clamp32(dx), ry = clamp32(dy);
    rotatePoint(rx, ry, static_cast<uint16_t>(-item::padAngle(r)));
    dx = rx, dy = ry;
  }
  if (std::abs(dx) > hx || std::abs(dy) > hy) return false;
  if (shape == 2) return true;
  if (hy >= hx) {
    const int64_t e = std::abs(dy) - (ys / 2 - xs / 2);
    return e <= 0 || sq(dx) + sq(e) <= sq(hx);
  }
  const int64_t e = std::abs(dx) - (xs / 2 - ys / 2);
  return e <= 0 || sq(e) + sq(dy) <= sq(hy);
}

bool textHit(const Record& r, int32_t x, int32_t y, int lines) {
  int32_t dx = clamp32(int64_t{x} - r.x1), dy = clamp32(int64_t{y} - r.y1);
  if (item::textAngle(r) != 0) rotatePoint(dx, dy, static_cast<uint16_t>(-item::textAngle(r)));
  const int64_t h = r.size, len = item::textLength(r);
  const int hc = item::textAnchor(r) & 3, vc = (item::textAnchor(r) >> 2) & 3;
  const int64_t hoff = hc == 1 ? -len / 2 : hc == 2 ? -len : 0;
  const int64_t voff = vc == 1 ? -h / 2 : vc == 2 ? -h : 0;
  int64_t x0 = hoff, x1 = hoff + len;
  if (x0 > x1) std::swap(x0, x1);
  const int64_t y0 = voff - (h / 6) * 9 * std::max(lines - 1, 0), y1 = voff + h;
  const int64_t m = h / 8;
  return dx >= x0 - m && dx <= x1 + m && dy >= y0 - m && dy <= y1 + m;
}

bool solidHit(const Context& ctx, const Record& r, int32_t x, int32_t y, int32_t tol) {
  if (int64_t{x} < int64_t{r.x1} - tol || int64_t{x} > int64_t{r.w3} + tol || int64_t{y} < int64_t{r.y1} - tol ||
      int64_t{y} > int64_t{r.w4} + tol)
    return false;
  bool inside = false;
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  size_t n = 0;
  for (Handle v = r.ext; v != kNull && ctx.pool.valid(v) && n < cap; v = ctx.rec(v).ext, ++n) {
    const Record& e = ctx.rec(v);
    // Crossings of a ray to the right, and the edge itself within the tolerance.
    if ((e.y1 > y) != (e.w4 > y)) {
      const double cx = e.x1 + (static_cast<double>(y) - e.y1) * (static_cast<double>(e.w3) - e.x1) /
                                   (static_cast<double>(e.w4) - e.y1);
      if (x < cx) inside = !inside;
    }
    Record edge{};
    edge.x1 = e.x1, edge.y1 = e.y1, edge.w3 = e.w3, edge.w4 = e.w4;
    if (lineHit(edge, x, y, tol)) return true;
  }
  return inside;
}

Hit lineUnder(const Context& ctx, int32_t x, int32_t y, int layer) {
  const int32_t tol = hitTolerance(ctx);
  Hit best;
  bool bestOn = false, bestFree = false;
  double bestLen = 0;
  auto f = [&](Handle h, Handle ring, bool inside) {
    const Record& r = ctx.rec(h);
    if (r.type() != kLine || item::isSolid(r)) return false;
    if (layer >= 0 ? r.layer != layer : inside || !layerShown(ctx, r.layer)) return false;
    if (!lineHit(r, x, y, tol)) return false;
    const bool on = layer >= 0 && r.layer == layer, free = !inside;
    const double len = std::hypot(static_cast<double>(r.w3) - r.x1, static_cast<double>(r.w4) - r.y1);
    const bool better = !best || (on != bestOn ? on : free != bestFree ? free : len < bestLen);
    if (better) best = {h, ring}, bestOn = on, bestFree = free, bestLen = len;
    return false;
  };
  walkDesignBack(ctx, f);
  return best;
}

Hit arcUnder(const Context& ctx, int32_t x, int32_t y, int layer) {
  const int32_t tol = hitTolerance(ctx);
  Hit hit;
  auto f = [&](Handle h, Handle ring, bool inside) {
    const Record& r = ctx.rec(h);
    if (r.type() != kArc) return false;
    if (layer >= 0 ? r.layer != layer : inside || !layerShown(ctx, r.layer)) return false;
    if (!arcHit(r, x, y, tol)) return false;
    hit = {h, ring};
    return true;
  };
  walkDesignBack(ctx, f);
  return hit;
}

Hit padUnder(const Context& ctx, int32_t x, int32_t y, int layer) {
  const int32_t tol = hitTolerance(ctx);
  Hit hit;
  auto f = [&](Handle h, Handle ring, bool) {
    const Record& r = ctx.rec(h);
    if (r.type() != kPad) return false;
    if (layer >= 0 ? !throughHole(r) && r.layer != layer : !layerShown(ctx, r.layer)) return false;
    if (!padHit(r, x, y, tol)) return false;
    hit = {h, ring};
    return true;
  };
  walkDesignBack(ctx, f);
  return hit;
}

Hit textUnder(const Context& ctx, int32_t x, int32_t y, int layer) {
  Hit hit;
  if (ctx.current == kNull) return hit;
  auto test = [&](Handle ring, bool wantLayer) {
    for (Handle h = ctx.rec(ring).prev; h != ring && h != kNull; h = ctx.rec(h).prev) {
      const Record& r = ctx.rec(h);
      if (r.hidden() || r.type() != kText || (wantLayer && r.layer != layer)) continue;
      if (textHit(r, x, y, textLines(ctx, h))) {
        hit = {h, ring};
        return true;
      }
    }
    return false;
  };
  const Handle file = ctx.current;
  if (layer >= 0 && test(file, true)) return hit;
  if (test(file, false)) return hit;
  for (Handle h = ctx.rec(file).prev; h != file && h != kNull; h = ctx.rec(h).prev) {
    const Record& r = ctx.rec(h);
    if (r.hidden() || r.type() != kComponent || !ctx.pool.valid(r.ext)) continue;
    if (layer >= 0 && test(r.ext, true)) return hit;
    if (test(r.ext, false)) return hit;
  }
  return hit;
}

Hit solidUnder(const Context& ctx, int32_t x, int32_t y, int layer) {
  const int32_t tol = hitTolerance(ctx);
  Hit hit;
  if (layer >= 0) {
    auto f = [&](Handle h, Handle ring, bool) {
      const Record& r = ctx.rec(h);
      if (!item::isSolid(r) || r.layer != layer || !solidHit(ctx, r, x, y, tol)) return false;
      hit = {h, ring};
      return true;
    };
    walkDesignBack(ctx, f);
    if (hit) return hit;
  }
  auto g = [&](Handle h, Handle ring, bool inside) {
    const Record& r = ctx.rec(h);
    if (inside || !item::isSolid(r) || !layerShown(ctx, r.layer) || !solidHit(ctx, r, x, y, tol)) return false;
    hit = {h, ring};
    return true;
  };
  walkDesignBack(ctx, g);
  return hit;
}

Hit componentUnder(const Context& ctx, int32_t x, int32_t y, int layer) {
  Hit best;
  if (ctx.current == kNull) return best;
  bool bestPad = false;
  int64_t bestArea = 0;
  const Handle file = ctx.current;
  for (Handle h = ctx.rec(file).prev; h != file && h != kNull; h = ctx.rec(h).prev) {
    const Record& r = ctx.rec(h);
    if (r.hidden() || r.type() != kComponent || !ctx.pool.valid(r.ext)) continue;
    const int64_t x0 = std::min(r.x1, r.w3) - 3, x1 = std::max(r.x1, r.w3) + 3;
    const int64_t y0 = std::min(r.y1, r.w4) - 3, y1 = std::max(r.y1, r.w4) + 3;
    if (x < x0 || x > x1 || y < y0 || y > y1) continue;
    bool pad = false;
    for (Handle i = ctx.rec(r.ext).next; i != r.ext && i != kNull && layer >= 0; i = ctx.rec(i).next) {
      const Record& p = ctx.rec(i);
      if (p.type() == kPad && (p.layer == layer || throughHole(p))) pad = true;
    }
    const int64_t area = std::abs(int64_t{r.w3} - r.x1) * std::abs(int64_t{r.w4} - r.y1) / 65536;
    const bool better = !best || (pad != bestPad ? pad : area < bestArea);
    if (better) best = {h, file}, bestPad = pad, bestArea = area;
  }
  return best;
}

Hit itemUnder(const Context& ctx, int32_t x, int32_t y, int layer) {
  Hit hit;
  if (ctx.current == kNull) return hit;
  const int32_t tol = hitTolerance(ctx);
  const Handle file = ctx.current;
  for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.hidden()) continue;
    const int itemLayer = throughHole(r) ? 0 : r.layer;
    if (itemLayer != layer) continue;
    bool on = false;
    switch (r.type()) {
      case kLine:
        on = !item::isSolid(r) && lineHit(r, x, y, tol);
        break;
      case kArc:
        on = arcHit(r, x, y, tol);
        break;
      case kPad:
        on = padHit(r, x, y, tol);
        break;
      case kText:
        on = textHit(r, x, y, textLines(ctx, h));
        break;
      default:
        break;
    }
    if (on) return {h, file};
  }
  return hit;
}

NearPoint nearestLineEnd(const Context& ctx, int32_t x, int32_t y) {
  NearPoint active, other;
  int64_t activeD = 16385, otherD = 16385;
  const int layer = ctx.params.currentLayer;
  auto f = [&](Handle h, Handle, bool) {
    const Record& r = ctx.rec(h);
    if (r.type() != kLine || item::isSolid(r)) return false;
    for (int end = 1; end <= 2; ++end) {
      const int32_t px = end == 1 ? r.x1 : r.w3, py = end == 1 ? r.y1 : r.w4;
      const int64_t d = std::abs(int64_t{px} - x) + std::abs(int64_t{py} - y);
      if (r.layer == layer) {
        if (d < activeD) activeD = d, active = {h, end, px, py};
      } else if (layerShown(ctx, r.layer) && d < otherD) {
        otherD = d, other = {h, end, px, py};
      }
    }
    return false;
  };
  walkDesignBack(ctx, f);
  return active.line != kNull ? active : other;
}

}  // namespace trelmo
