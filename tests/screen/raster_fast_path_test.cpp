// The rasterizer's fast paths (spans written unclipped when a shape lies
// inside the clip rectangle, disc half-widths kept per radius, the depth fixed
// per shape) must put down exactly the pixels of the plain per-row rule. The
// plain rule is spelled out here, over nothing but Surface::fillSpan, and both
// draw the same random shapes side by side.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "screen_fixture.h"

namespace trelmo::test {
namespace {

const PixelFormat kFormats[] = {PixelFormat::depth(8), PixelFormat::rgb565(), PixelFormat::depth(24),
                                PixelFormat::depth(32)};

constexpr double kFar = 1e15;
int64_t toInt(double v) { return static_cast<int64_t>(std::clamp(v, -kFar, kFar)); }

// A round-ended track: every row through a pixel centre takes the span from
// the leftmost to the rightmost reach of the two end discs and the sides.
void plainCapsule(Surface& s, uint32_t pixel, double r, double x1, double y1, double x2, double y2) {
  const Rect& c = s.clip();
  double top = std::max(std::min(y1, y2) - r, static_cast<double>(c.top));
  double bottom = std::min(std::max(y1, y2) + r, static_cast<double>(c.bottom) + 1);
  if (top >= bottom) return;
  double dx = x2 - x1, dy = y2 - y1, len = std::hypot(dx, dy);
  double nx = 0, ny = 0;
  if (len > 0) nx = -dy / len * r, ny = dx / len * r;
  const double qx[4] = {x1 + nx, x2 + nx, x2 - nx, x1 - nx};
  const double qy[4] = {y1 + ny, y2 + ny, y2 - ny, y1 - ny};
  for (int64_t y = toInt(std::ceil(top)); y < toInt(std::ceil(bottom)); ++y) {
    double fy = static_cast<double>(y), lo = HUGE_VAL, hi = -HUGE_VAL;
    for (auto [cx, cy] : {std::pair{x1, y1}, std::pair{x2, y2}}) {
      double d = fy - cy;
      if (d * d <= r * r) {
        double h = std::sqrt(r * r - d * d);
        lo = std::min(lo, cx - h), hi = std::max(hi, cx + h);
      }
    }
    if (len > 0)
      for (int i = 0; i < 4; ++i) {
        double ax = qx[i], ay = qy[i], bx = qx[(i + 1) & 3], by = qy[(i + 1) & 3];
        if (fy < std::min(ay, by) || fy > std::max(ay, by)) continue;
        if (ay == by) {
          lo = std::min(lo, std::min(ax, bx)), hi = std::max(hi, std::max(ax, bx));
        } else {
          double x = ax + (fy - ay) * ((bx - ax) / (by - ay));
          lo = std::min(lo, x), hi = std::max(hi, x);
        }
      }
    int64_t a = toInt(std::ceil(lo)), b = toInt(std::ceil(hi)) - 1;
    if (a <= b) s.fillSpan(pixel, y, a, b);
  }
}

// A one-pixel line: the segment cut to the surface grown by half a pixel, its
// ends rounded half away from zero, then stepped; the clip rectangle keeps the
// steps inside it.
void plainLine(Surface& s, uint32_t pixel, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  const Rect c = s.bounds();
  if (s.clip().empty()) return;
  double ax = static_cast<double>(x1), ay = static_cast<double>(y1);
  double dx = static_cast<double>(x2) - ax, dy = static_cast<double>(y2) - ay;
  double t0 = 0, t1 = 1;
  auto edge = [&](double p, double q) {
    if (p == 0) return q >= 0;
    double t = q / p;
    if (p < 0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
    return true;
  };
  double l = c.left - 0.5, r = c.right + 0.5, t = c.top - 0.5, b = c.bottom + 0.5;
  if (!edge(-dx, ax - l) || !edge(dx, r - ax) || !edge(-dy, ay - t) || !edge(dy, b - ay)) return;
  auto end = [](double v, int lo, int hi) {
    return std::clamp<int64_t>(toInt(static_cast<double>(std::lround(v))), lo, hi);
  };
  int64_t px = end(ax + t0 * dx, c.left, c.right), py = end(ay + t0 * dy, c.top, c.bottom);
  int64_t qx = end(ax + t1 * dx, c.left, c.right), qy = end(ay + t1 * dy, c.top, c.bottom);
  int64_t sx = px < qx ? 1 : -1, sy = py < qy ? 1 : -1;
  int64_t ex = std::abs(qx - px), ey = -std::abs(qy - py), err = ex + ey;
  for (;;) {
    s.fillSpan(pixel, py, px, px);
    if (px == qx && py == qy) break;
    int64_t e2 = 2 * err;
    if (e2 >= ey) err += ey, px += sx;
    if (e2 <= ex) err += ex, py += sy;
  }
}

struct Pair {
  Canvas fast, plain;
  Surface a, b;
  explicit Pair(const PixelFormat& f, int w = 97, int h = 61) : fast(w, h, f, 3), plain(w, h, f, 3) {
    std::mt19937 rng(99);
    for (size_t i = kGuard; i + kGuard < fast.memory.size(); ++i) fast.memory[i] = static_cast<uint8_t>(rng());
    plain.memory = fast.memory;
    a.attach(fast.pixels(), fast.pitch, fast.width, fast.height, f);
    b.attach(plain.pixels(), plain.pitch, plain.width, plain.height, f);
  }
  void clip(const Rect& r) { a.setClip(r), b.setClip(r); }
};

int64_t coordinate(std::mt19937_64& rng) {
  switch (rng() % 8) {
    case 0:
      return static_cast<int64_t>(rng() % 400) - 150;  // often far outside
    case 1: {
      static const int64_t far[] = {INT32_MAX, INT32_MIN, int64_t{1} << 40, -(int64_t{1} << 40)};
      return far[rng() % 4];
    }
    default:
      return static_cast<int64_t>(rng() % 110) - 6;  // mostly inside, some across the edges
  }
}

double width(std::mt19937_64& rng) {
  static const double shared[] = {1.6, 2, 2.5, 3, 4.4, 5.25, 8};  // repeated widths reuse the disc rows
  switch (rng() % 4) {
    case 0:
      return static_cast<double>(rng() % 6000) / 100.0;
    case 1:
      return static_cast<double>(rng() % 300) / 100.0;
    default:
      return shared[rng() % std::size(shared)];
  }
}

TEST(RasterFastPaths, ThickLinesMatchThePlainRowRule) {
  std::mt19937_64 rng(2026);
  for (const PixelFormat& f : kFormats) {
    Pair p(f);
    for (int round = 0; round < 3000; ++round) {
      if (round % 50 == 0) {
        Rect clip = round % 100 == 0 ? p.a.bounds()
                                     : Rect{static_cast<int>(rng() % 40), static_cast<int>(rng() % 25),
                                            static_cast<int>(50 + rng() % 47), static_cast<int>(30 + rng() % 31)};
        p.clip(clip);
      }
      uint32_t px = static_cast<uint32_t>(rng()) & 0xFFFFFF;
      if (rng() % 4 == 0) px = colourToPixel(f, px, true);
      const double w = width(rng);
      const int64_t x1 = coordinate(rng), y1 = coordinate(rng);
      const bool dot = rng() % 10 == 0;
      const int64_t x2 = dot ? x1 : coordinate(rng), y2 = dot ? y1 : coordinate(rng);
      p.a.thickLine(px, w, x1, y1, x2, y2);
      if (w > 1.5)
        plainCapsule(p.b, px, w / 2, static_cast<double>(x1), static_cast<double>(y1), static_cast<double>(x2),
                     static_cast<double>(y2));
      else
        plainLine(p.b, px, x1, y1, x2, y2);
      ASSERT_EQ(p.fast.memory, p.plain.memory) << "bpp " << f.bitsPerPixel << " round " << round << " width " << w
                                               << " from " << x1 << "," << y1 << " to " << x2 << "," << y2;
    }
    EXPECT_TRUE(p.fast.guardsIntact());
  }
}

// Tracks taller than the block of rows the rasterizer gathers at a time.
TEST(RasterFastPaths, TallThickLinesMatchThePlainRowRule) {
  std::mt19937_64 rng(22);
  for (const PixelFormat& f : {PixelFormat::depth(8), PixelFormat::depth(32)}) {
    Pair p(f, 61, 700);
    for (int round = 0; round < 300; ++round) {
      const uint32_t px = static_cast<uint32_t>(rng()) & 0xFFFFFF;
      const double w = 2 + static_cast<double>(rng() % 4000) / 100.0;
      const int64_t x1 = 25 + static_cast<int64_t>(rng() % 11), y1 = static_cast<int64_t>(rng() % 720) - 10;
      const int64_t x2 = 25 + static_cast<int64_t>(rng() % 11), y2 = static_cast<int64_t>(rng() % 720) - 10;
      p.a.thickLine(px, w, x1, y1, x2, y2);
      plainCapsule(p.b, px, w / 2, static_cast<double>(x1), static_cast<double>(y1), static_cast<double>(x2),
                   static_cast<double>(y2));
      ASSERT_EQ(p.fast.memory, p.plain.memory) << "bpp " << f.bitsPerPixel << " round " << round << " width " << w;
    }
  }
}

// A redraw in strips puts down the pixels of one whole redraw: one-pixel
// lines keep their steps when a strip edge cuts them.
TEST(RasterFastPaths, LinesDrawnInStripsMatchTheWholeLine) {
  std::mt19937_64 rng(5);
  Pair p(PixelFormat::depth(32));
  for (int round = 0; round < 400; ++round) {
    const int64_t x1 = coordinate(rng), y1 = coordinate(rng), x2 = coordinate(rng), y2 = coordinate(rng);
    const double w = round % 2 ? 1 : width(rng);
    p.a.setClip(p.a.bounds());
    p.a.thickLine(0xFFFFFF, w, x1, y1, x2, y2);
    for (int left = 0; left < p.plain.width; left += 7) {
      p.b.setClip({left, round % 3, left + 6, p.plain.height - 1 - round % 3});
      p.b.thickLine(0xFFFFFF, w, x1, y1, x2, y2);
    }
    p.b.setClip({0, 0, p.plain.width - 1, round % 3 - 1});
    p.b.thickLine(0xFFFFFF, w, x1, y1, x2, y2);
    p.b.setClip({0, p.plain.height - round % 3, p.plain.width - 1, p.plain.height - 1});
    p.b.thickLine(0xFFFFFF, w, x1, y1, x2, y2);
    ASSERT_EQ(p.fast.memory, p.plain.memory)
        << "round " << round << " width " << w << " from " << x1 << "," << y1 << " to " << x2 << "," << y2;
  }
}

TEST(RasterFastPaths, FilledRectanglesAndDiscsMatchSpanBySpan) {
  std::mt19937_64 rng(7);
  for (const PixelFormat& f : kFormats) {
    Pair p(f);
    for (int round = 0; round < 600; ++round) {
      if (round % 40 == 0)
        p.clip(round % 80 == 0 ? p.a.bounds()
                               : Rect{static_cast<int>(rng() % 30), static_cast<int>(rng() % 20),
                                      static_cast<int>(40 + rng() % 57), static_cast<int>(25 + rng() % 36)});
      uint32_t px = static_cast<uint32_t>(rng()) & 0xFFFFFF;
      if (rng() % 3 == 0) px = colourToPixel(f, px, true);
      const int64_t x1 = coordinate(rng), y1 = coordinate(rng), x2 = coordinate(rng), y2 = coordinate(rng);
      if (round % 2) {
        p.a.fillRect(px, x1, y1, x2, y2);
        for (int64_t y = std::max<int64_t>(std::min(y1, y2), -10); y <= std::min<int64_t>(std::max(y1, y2), 200); ++y)
          p.b.fillSpan(px, y, x1, x2);
      } else {
        const int64_t radius = static_cast<int64_t>(rng() % 40);
        p.a.circle(px, radius, x1, y1);
        for (int64_t y = y1 - radius; y <= y1 + radius; ++y) {
          const int h = circleHalfWidth(radius, y - y1);
          if (h >= 0) p.b.fillSpan(px, y, x1 - h, x1 + h);
        }
      }
      ASSERT_EQ(p.fast.memory, p.plain.memory) << "bpp " << f.bitsPerPixel << " round " << round;
    }
  }
}

}  // namespace
}  // namespace trelmo::test
