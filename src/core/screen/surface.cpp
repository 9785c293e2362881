#include "screen/surface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <numbers>

namespace trelmo {

namespace {

// Doubles far outside any surface are brought into a range where the integer
// conversions are defined; the clip rectangle then rejects them.
constexpr double kFar = 1e15;
int64_t toInt(double v) { return static_cast<int64_t>(std::clamp(v, -kFar, kFar)); }
int clampTo(int64_t v, int lo, int hi) { return static_cast<int>(std::clamp<int64_t>(v, lo, hi)); }

}  // namespace

Rect intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

void Surface::attach(uint8_t* pixels, int pitch, int width, int height, const PixelFormat& format) {
  pixels_ = pixels;
  pitch_ = pitch;
  width_ = pixels ? std::max(width, 0) : 0;
  height_ = pixels ? std::max(height, 0) : 0;
  format_ = format;
  // A pitch too small for the width would let rows overlap the next one.
  if (pitch_ < width_ * format_.bytesPerPixel())
    width_ = format_.bytesPerPixel() ? pitch_ / format_.bytesPerPixel() : 0;
  clip_ = bounds();
}

uint32_t Surface::pixelAt(int x, int y) const {
  if (!valid() || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const uint8_t* p = pixels_ + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(x) * format_.bytesPerPixel();
  switch (format_.bitsPerPixel) {
    case 8:
      return p[0];
    case 16: {
      uint16_t v;
      std::memcpy(&v, p, 2);
      return v;
    }
    case 24:
      return p[0] | (p[1] << 8) | (p[2] << 16);
    default: {
      uint32_t v;
      std::memcpy(&v, p, 4);
      return v & 0xFFFFFF;
    }
  }
}

namespace {

// n pixels of four bytes from q, sixteen bytes a store (eight for two or three
// pixels); the last store may overlap the one before, writing the same value.
[[gnu::always_inline]] inline void fill32(uint8_t* q, int n, uint32_t v) {
  if (n >= 4) {
    const std::array<uint32_t, 4> quad{v, v, v, v};
    uint8_t* const last = q + 4 * static_cast<size_t>(n) - 16;
    for (; q + 16 < last; q += 32) {
      std::memcpy(q, quad.data(), 16);
      std::memcpy(q + 16, quad.data(), 16);
    }
    if (q < last) std::memcpy(q, quad.data(), 16);
    std::memcpy(last, quad.data(), 16);
  } else if (n >= 2) {
    const uint64_t pair = v | (uint64_t{v} << 32);
    std::memcpy(q, &pair, 8);
    std::memcpy(q + 4 * static_cast<size_t>(n) - 8, &pair, 8);
  } else if (n == 1) {
    std::memcpy(q, &v, 4);
  }
}

// Span writers with the depth and the combining rule fixed at compile time:
// one is chosen per primitive rather than per pixel.
template <int Bits, bool Xor>
[[gnu::always_inline]] inline void writeSpan(uint8_t* row, int x1, int x2, uint32_t pixel) {
  const int n = x2 - x1 + 1;
  if constexpr (Bits == 8) {
    const uint8_t v = static_cast<uint8_t>(pixel);
    if constexpr (Xor)
      for (int i = 0; i < n; ++i) row[x1 + i] ^= v;
    else
      std::memset(row + x1, v, static_cast<size_t>(n));
  } else if constexpr (Bits == 16) {
    const uint16_t v = static_cast<uint16_t>(pixel);
    uint8_t* q = row + 2 * static_cast<size_t>(x1);
    for (int i = 0; i < n; ++i, q += 2) {
      uint16_t w = v;
      if constexpr (Xor) {
        std::memcpy(&w, q, 2);
        w ^= v;
      }
      std::memcpy(q, &w, 2);
    }
  } else if constexpr (Bits == 24) {
    const uint8_t b = pixel & 255, g = (pixel >> 8) & 255, r = (pixel >> 16) & 255;
    uint8_t* q = row + 3 * static_cast<size_t>(x1);
    for (int i = 0; i < n; ++i, q += 3) {
      if constexpr (Xor) {
        q[0] ^= b, q[1] ^= g, q[2] ^= r;
      } else {
        q[0] = b, q[1] = g, q[2] = r;
      }
    }
  } else {
    const uint32_t v = pixel & 0xFFFFFF;
    uint8_t* q = row + 4 * static_cast<size_t>(x1);
    if constexpr (!Xor) return fill32(q, n, v);
    for (int i = 0; i < n; ++i, q += 4) {
      uint32_t w = v;
      if constexpr (Xor) {
        std::memcpy(&w, q, 4);
        w ^= v;
      }
      std::memcpy(q, &w, 4);
    }
  }
}

using SpanWriter = void (*)(uint8_t* row, int x1, int x2, uint32_t pixel);

SpanWriter spanWriter(int bitsPerPixel, uint32_t pixel) {
  const bool xorMode = (pixel & kXorFlag) != 0;
  switch (bitsPerPixel) {
    case 8:
      return xorMode ? writeSpan<8, true> : writeSpan<8, false>;
    case 16:
      return xorMode ? writeSpan<16, true> : writeSpan<16, false>;
    case 24:
      return xorMode ? writeSpan<24, true> : writeSpan<24, false>;
    default:
      return xorMode ? writeSpan<32, true> : writeSpan<32, false>;
  }
}

// Rounding of values well inside the int range without a library call: the
// same results as std::ceil and std::lround there.
inline int ceilSmall(double v) {
  const int t = static_cast<int>(v);
  return t < v ? t + 1 : t;
}

// The spans of a round-ended track row by row. Every row lies inside the clip
// rectangle; `inside` says that every span does too, so none is clipped.
struct CapsuleEdge {
  double ylo, yhi, x0, y0, slope, xlo, xhi;
  bool flat;
};
struct CapsuleShape {
  double x1, y1, x2, y2, r2;
  const CapsuleEdge* edges;
  int edgeCount;
  const double* half;  // end-disc half-widths by row distance, or null
  int64_t halfCount;
  int64_t firstRow, endRow;
  bool inside;
};

// The reach of the two end discs and the sides on row fy.
[[gnu::always_inline]] inline void capsuleReach(const CapsuleShape& c, double fy, double& lo, double& hi) {
  lo = HUGE_VAL, hi = -HUGE_VAL;
  const double ends[2][2] = {{c.x1, c.y1}, {c.x2, c.y2}};
  for (const auto& e : ends) {
    const double cx = e[0], d = fy - e[1];
    if (c.half) {
      const double ad = std::fabs(d);
      if (ad < static_cast<double>(c.halfCount)) {
        const double h = c.half[static_cast<int64_t>(ad)];
        lo = std::min(lo, cx - h), hi = std::max(hi, cx + h);
      }
    } else if (d * d <= c.r2) {
      const double h = std::sqrt(c.r2 - d * d);
      lo = std::min(lo, cx - h), hi = std::max(hi, cx + h);
    }
  }
  for (int i = 0; i < c.edgeCount; ++i) {
    const CapsuleEdge& e = c.edges[i];
    if (fy < e.ylo || fy > e.yhi) continue;
    if (e.flat) {
      lo = std::min(lo, e.xlo), hi = std::max(hi, e.xhi);
    } else {
      const double x = e.x0 + (fy - e.y0) * e.slope;
      lo = std::min(lo, x), hi = std::max(hi, x);
    }
  }
}

// A capsule without an end-disc table: each row from the exact reach.
template <int Bits, bool Xor>
void capsuleRowsExact(const CapsuleShape& c, uint8_t* pixels, int pitch, uint32_t pixel) {
  for (int64_t y = c.firstRow; y < c.endRow; ++y) {
    double lo, hi;
    capsuleReach(c, static_cast<double>(y), lo, hi);
    if (lo > hi) continue;
    const int a = ceilSmall(lo), b = ceilSmall(hi) - 1;
    if (a <= b) writeSpan<Bits, Xor>(pixels + static_cast<size_t>(y) * pitch, a, b, pixel);
  }
}

// The rows [from, to) each end disc (parts 0, 1) and side (parts 2..5) of a
// capsule reaches.
struct CapsuleParts {
  double ends[2][2];
  int64_t endRow[2];
  int64_t from[6], to[6];
  int parts = 0;
};

CapsuleParts capsuleParts(const CapsuleShape& c) {
  CapsuleParts p{{{c.x1, c.y1}, {c.x2, c.y2}}, {}, {}, {}};
  const double lowest = static_cast<double>(c.firstRow) - 1, highest = static_cast<double>(c.endRow) + 1;
  // Clamping before rounding gives the same rows: the bounds are whole.
  auto row = [&](double v) { return static_cast<int64_t>(std::clamp(v, lowest, highest)); };
  auto rowUp = [&](double v) { return static_cast<int64_t>(ceilSmall(std::clamp(v, lowest, highest))); };
  for (const auto& e : p.ends) {
    const bool near = std::fabs(e[1]) < 4503599627370496.0;  // 2^52: further off, no row is near it
    p.endRow[p.parts] = near ? static_cast<int64_t>(e[1]) : 0;
    p.from[p.parts] = near ? row(e[1] - static_cast<double>(c.halfCount - 1)) : 0;
    p.to[p.parts] = near ? row(e[1] + static_cast<double>(c.halfCount)) : 0;
    ++p.parts;
  }
  for (int i = 0; i < c.edgeCount; ++i, ++p.parts) {
    p.from[p.parts] = rowUp(c.edges[i].ylo);
    // floor(v) + 1 is the smallest whole number above v.
    const double hi = std::clamp(c.edges[i].yhi, lowest, highest);
    const int64_t up = ceilSmall(hi);
    p.to[p.parts] = static_cast<double>(up) == hi ? up + 1 : up;
  }
  return p;
}

// Rows are filled a block at a time: each end disc and side widens the reach
// of the rows it meets, then every row's span is written.
constexpr int kCapsuleBlock = 128;

struct RowReach {
  int64_t top;
  int count;
  double lo[kCapsuleBlock], hi[kCapsuleBlock];
  void widen(int i, double a, double b) { lo[i] = std::min(lo[i], a), hi[i] = std::max(hi[i], b); }
};

void reachOfDisc(RowReach& r, const CapsuleParts& p, int k, const double* half, int64_t from, int64_t to) {
  const double cx = p.ends[k][0];
  const int64_t centre = p.endRow[k];
  for (int64_t y = from; y < to; ++y) {
    const int64_t d = y < centre ? centre - y : y - centre;
    r.widen(static_cast<int>(y - r.top), cx - half[d], cx + half[d]);
  }
}

void reachOfSide(RowReach& r, const CapsuleEdge& e, int64_t from, int64_t to) {
  if (e.flat) {
    for (int64_t y = from; y < to; ++y) r.widen(static_cast<int>(y - r.top), e.xlo, e.xhi);
    return;
  }
  for (int64_t y = from; y < to; ++y) {
    const double x = e.x0 + (static_cast<double>(y) - e.y0) * e.slope;
    r.widen(static_cast<int>(y - r.top), x, x);
  }
}

void reachOfBlock(RowReach& r, const CapsuleShape& c, const CapsuleParts& p) {
  std::fill_n(r.lo, r.count, HUGE_VAL);
  std::fill_n(r.hi, r.count, -HUGE_VAL);
  const int64_t end = r.top + r.count;
  for (int k = 0; k < p.parts; ++k) {
    const int64_t from = std::max(p.from[k], r.top), to = std::min(p.to[k], end);
    if (from >= to) continue;
    if (k < 2)
      reachOfDisc(r, p, k, c.half, from, to);
    else
      reachOfSide(r, c.edges[k - 2], from, to);
  }
}

template <int Bits, bool Xor>
void capsuleInside(const CapsuleShape& c, uint8_t* pixels, int pitch, uint32_t pixel) {
  if (!c.half) return capsuleRowsExact<Bits, Xor>(c, pixels, pitch, pixel);
  const CapsuleParts parts = capsuleParts(c);
  RowReach r;
  for (r.top = c.firstRow; r.top < c.endRow; r.top += kCapsuleBlock) {
    r.count = static_cast<int>(std::min<int64_t>(kCapsuleBlock, c.endRow - r.top));
    reachOfBlock(r, c, parts);
    uint8_t* row = pixels + static_cast<size_t>(r.top) * pitch;
    for (int i = 0; i < r.count; ++i, row += pitch) {
      if (r.lo[i] > r.hi[i]) continue;
      const int a = ceilSmall(r.lo[i]), b = ceilSmall(r.hi[i]) - 1;
      if (a <= b) writeSpan<Bits, Xor>(row, a, b, pixel);
    }
  }
}

// Bresenham steps between two points inside the clip rectangle.
template <int Bits, bool Xor>
void stepLine(uint8_t* pixels, int pitch, int px, int py, int qx, int qy, uint32_t pixel) {
  const int sx = px < qx ? 1 : -1, sy = py < qy ? 1 : -1;
  const int ex = std::abs(qx - px), ey = -std::abs(qy - py);
  int err = ex + ey;
  uint8_t* row = pixels + static_cast<size_t>(py) * pitch;
  const ptrdiff_t rowStep = sy * static_cast<ptrdiff_t>(pitch);
  for (;;) {
    writeSpan<Bits, Xor>(row, px, px, pixel);
    if (px == qx && py == qy) break;
    const int e2 = 2 * err;
    if (e2 >= ey) err += ey, px += sx;
    if (e2 <= ex) err += ex, py += sy, row += rowStep;
  }
}

template <template <int, bool> class Op, class... Args>
void byDepth(int bitsPerPixel, uint32_t pixel, Args&&... args) {
  const bool xorMode = (pixel & kXorFlag) != 0;
  switch (bitsPerPixel) {
    case 8:
      return xorMode ? Op<8, true>::run(args...) : Op<8, false>::run(args...);
    case 16:
      return xorMode ? Op<16, true>::run(args...) : Op<16, false>::run(args...);
    case 24:
      return xorMode ? Op<24, true>::run(args...) : Op<24, false>::run(args...);
    default:
      return xorMode ? Op<32, true>::run(args...) : Op<32, false>::run(args...);
  }
}

template <int Bits, bool Xor>
struct CapsuleOp {
  static void run(const CapsuleShape& c, uint8_t* pixels, int pitch, uint32_t pixel) {
    capsuleInside<Bits, Xor>(c, pixels, pitch, pixel);
  }
};
template <int Bits, bool Xor>
struct LineOp {
  static void run(uint8_t* pixels, int pitch, int px, int py, int qx, int qy, uint32_t pixel) {
    stepLine<Bits, Xor>(pixels, pitch, px, py, qx, qy, pixel);
  }
};

}  // namespace

void Surface::spanClipped(uint32_t pixel, int row, int x1, int x2) {
  spanWriter(format_.bitsPerPixel, pixel)(pixels_ + static_cast<size_t>(row) * pitch_, x1, x2, pixel);
}

void Surface::fillSpan(uint32_t pixel, int64_t row, int64_t x1, int64_t x2) {
  if (!valid() || clip_.empty() || row < clip_.top || row > clip_.bottom) return;
  if (x1 > x2) std::swap(x1, x2);
  if (x2 < clip_.left || x1 > clip_.right) return;
  spanClipped(pixel, static_cast<int>(row), clampTo(x1, clip_.left, clip_.right), clampTo(x2, clip_.left, clip_.right));
}

void Surface::fillRect(uint32_t pixel, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  if (!valid() || clip_.empty()) return;
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x2 < clip_.left || x1 > clip_.right || y2 < clip_.top || y1 > clip_.bottom) return;
  int l = clampTo(x1, clip_.left, clip_.right), r = clampTo(x2, clip_.left, clip_.right);
  int t = clampTo(y1, clip_.top, clip_.bottom), b = clampTo(y2, clip_.top, clip_.bottom);
  const SpanWriter write = spanWriter(format_.bitsPerPixel, pixel);
  for (int y = t; y <= b; ++y) write(pixels_ + static_cast<size_t>(y) * pitch_, l, r, pixel);
}

void Surface::plot(uint32_t pixel, int64_t x, int64_t y) {
  if (!valid() || x < clip_.left || x > clip_.right || y < clip_.top || y > clip_.bottom) return;
  spanClipped(pixel, static_cast<int>(y), static_cast<int>(x), static_cast<int>(x));
}

void Surface::line(uint32_t pixel, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  if (!valid() || clip_.empty()) return;
  const auto in = [&](int64_t x, int64_t y) {
    return x >= clip_.left && x <= clip_.right && y >= clip_.top && y <= clip_.bottom;
  };
  // Both ends inside: the segment is stepped as it is.
  if (in(x1, y1) && in(x2, y2)) {
    byDepth<LineOp>(format_.bitsPerPixel, pixel, pixels_, pitch_, static_cast<int>(x1), static_cast<int>(y1),
                    static_cast<int>(x2), static_cast<int>(y2), pixel);
    return;
  }
  // The segment is cut at the edges of the surface (Liang-Barsky), not of the
  // clip rectangle, and its ends rounded there: a line puts down the same
  // pixels whatever part of the surface is redrawn, the clip rectangle only
  // picks among them.
  const Rect all = bounds();
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
  double l = all.left - 0.5, r = all.right + 0.5, t = all.top - 0.5, b = all.bottom + 0.5;
  if (!edge(-dx, ax - l) || !edge(dx, r - ax) || !edge(-dy, ay - t) || !edge(dy, b - ay)) return;
  int px = clampTo(toInt(std::lround(ax + t0 * dx)), all.left, all.right);
  int py = clampTo(toInt(std::lround(ay + t0 * dy)), all.top, all.bottom);
  int qx = clampTo(toInt(std::lround(ax + t1 * dx)), all.left, all.right);
  int qy = clampTo(toInt(std::lround(ay + t1 * dy)), all.top, all.bottom);
  if (py == qy) return fillSpan(pixel, py, px, qx);
  int sx = px < qx ? 1 : -1, sy = py < qy ? 1 : -1;
  int ex = std::abs(qx - px), ey = -std::abs(qy - py);
  int err = ex + ey;
  for (;;) {
    if (in(px, py)) spanClipped(pixel, py, px, px);
    if (px == qx && py == qy) break;
    int e2 = 2 * err;
    if (e2 >= ey) err += ey, px += sx;
    if (e2 <= ex) err += ex, py += sy;
  }
}

void Surface::capsuleRows(uint32_t pixel, double r, double x1, double y1, double x2, double y2) {
  double top = std::max(std::min(y1, y2) - r, static_cast<double>(clip_.top));
  double bottom = std::min(std::max(y1, y2) + r, static_cast<double>(clip_.bottom) + 1);
  if (top >= bottom) return;
  double dx = x2 - x1, dy = y2 - y1, len = std::hypot(dx, dy);
  double nx = 0, ny = 0;
  if (len > 0) nx = -dy / len * r, ny = dx / len * r;
  const double qx[4] = {x1 + nx, x2 + nx, x2 - nx, x1 - nx};
  const double qy[4] = {y1 + ny, y2 + ny, y2 - ny, y1 - ny};
  const double r2 = r * r;
  CapsuleEdge edges[4];
  int edgeCount = 0;
  if (len > 0)
    for (int i = 0; i < 4; ++i) {
      double ax = qx[i], ay = qy[i], bx = qx[(i + 1) & 3], by = qy[(i + 1) & 3];
      edges[edgeCount++] = {std::min(ay, by), std::max(ay, by), ax,      ay, ay == by ? 0 : (bx - ax) / (by - ay),
                            std::min(ax, bx), std::max(ax, bx), ay == by};
    }
  // Half-widths of the end discs by row distance, kept while the radius stays
  // the same (the tracks of a board share a few widths).
  const bool tabled = r2 <= kCapTableMax * kCapTableMax;
  if (tabled && r2 != capR2_) {
    capR2_ = r2;
    capHalf_.clear();
    for (int d = 0; static_cast<double>(d) * d <= r2; ++d)
      capHalf_.push_back(std::sqrt(r2 - static_cast<double>(d) * d));
  }
  CapsuleShape c{x1,
                 y1,
                 x2,
                 y2,
                 r2,
                 edges,
                 edgeCount,
                 tabled ? capHalf_.data() : nullptr,
                 static_cast<int64_t>(capHalf_.size()),
                 toInt(std::ceil(top)),
                 toInt(std::ceil(bottom)),
                 false};
  // Rows always lie inside the clip rectangle; when the whole capsule does
  // too, its spans are written without further clipping.
  if (std::min(x1, x2) - r - 2 >= clip_.left && std::max(x1, x2) + r + 2 <= static_cast<double>(clip_.right))
    return byDepth<CapsuleOp>(format_.bitsPerPixel, pixel, c, pixels_, pitch_, pixel);
  for (int64_t y = c.firstRow; y < c.endRow; ++y) {
    double lo, hi;
    capsuleReach(c, static_cast<double>(y), lo, hi);
    int64_t a = toInt(std::ceil(lo)), b = toInt(std::ceil(hi)) - 1;
    if (a <= b) fillSpan(pixel, y, a, b);
  }
}

void Surface::thickLine(uint32_t pixel, double width, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  if (!valid() || clip_.empty()) return;
  if (!(width > 1.5)) return line(pixel, x1, y1, x2, y2);
  capsuleRows(pixel, width / 2, static_cast<double>(x1), static_cast<double>(y1), static_cast<double>(x2),
              static_cast<double>(y2));
}

void Surface::trackOutline(uint32_t pixel, double width, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  if (!valid() || clip_.empty()) return;
  if (!(width > 1.5)) return line(pixel, x1, y1, x2, y2);
  double r = width / 2;
  if (x1 == x2 && y1 == y2) return circleOutline(pixel, toInt(std::lround(r)), x1, y1);
  double a = std::atan2(static_cast<double>(y2 - y1), static_cast<double>(x2 - x1));
  int steps = std::clamp(static_cast<int>(r / 2), 4, 48);
  std::vector<PixelPoint> pts;
  pts.reserve(2 * steps + 2);
  auto cap = [&](int64_t cx, int64_t cy, double from) {
    for (int i = 0; i <= steps; ++i) {
      double t = from + std::numbers::pi * i / steps;
      pts.push_back({toInt(std::lround(static_cast<double>(cx) + r * std::cos(t))),
                     toInt(std::lround(static_cast<double>(cy) + r * std::sin(t)))});
    }
  };
  cap(x2, y2, a - std::numbers::pi / 2);
  cap(x1, y1, a + std::numbers::pi / 2);
  polyline(pixel, pts, true);
}

const std::vector<uint16_t>& circleTable() {
  static const std::vector<uint16_t> table = [] {
    std::vector<uint16_t> t;
    t.reserve(255 * 258 / 2);
    for (int r = 1; r <= 255; ++r) {
      // Midpoint rule: the row's half-width is the largest x with
      // x^2 + dy^2 <= r^2 + r (a pixel centre within r + 1/2).
      for (int dy = 0; dy <= r; ++dy) {
        int x = static_cast<int>(std::sqrt(static_cast<double>(r * r + r - dy * dy)));
        while (x * x + dy * dy > r * r + r) --x;
        while ((x + 1) * (x + 1) + dy * dy <= r * r + r) ++x;
        t.push_back(static_cast<uint16_t>(x));
      }
    }
    return t;
  }();
  return table;
}

int circleHalfWidth(int64_t radius, int64_t dy) {
  if (dy < 0) dy = -dy;
  if (radius <= 0 || dy > radius) return radius == 0 && dy == 0 ? 0 : -1;
  if (radius <= 255) return circleTable()[radius * (radius + 1) / 2 - 1 + dy];
  double r = static_cast<double>(radius), d = static_cast<double>(dy);
  double v = std::sqrt(std::max(0.0, r * r + r - d * d));
  return static_cast<int>(std::min(v, 2e9));
}

void Surface::circle(uint32_t pixel, int64_t radius, int64_t cx, int64_t cy) {
  if (!valid() || clip_.empty() || radius < 0) return;
  radius = std::min<int64_t>(radius, int64_t{1} << 40);
  int64_t t = std::max(cy - radius, int64_t{clip_.top}), b = std::min(cy + radius, int64_t{clip_.bottom});
  for (int64_t y = t; y <= b; ++y) {
    int h = circleHalfWidth(radius, y - cy);
    if (h >= 0) fillSpan(pixel, y, cx - h, cx + h);
  }
}

void Surface::circleOutline(uint32_t pixel, int64_t radius, int64_t cx, int64_t cy) {
  if (!valid() || clip_.empty() || radius < 0) return;
  radius = std::min<int64_t>(radius, int64_t{1} << 40);
  int64_t t = std::max(cy - radius, int64_t{clip_.top}), b = std::min(cy + radius, int64_t{clip_.bottom});
  for (int64_t y = t; y <= b; ++y) {
    int64_t dy = y - cy < 0 ? cy - y : y - cy;
    int64_t a = circleHalfWidth(radius, dy);
    if (a < 0) continue;
    if (dy == radius || a == 0) {
      fillSpan(pixel, y, cx - a, cx + a);
      continue;
    }
    int64_t inner = std::min<int64_t>(circleHalfWidth(radius, dy + 1) + 1, a);
    fillSpan(pixel, y, cx - a, cx - inner);
    fillSpan(pixel, y, cx + inner, cx + a);
  }
}

void Surface::fillPolygon(uint32_t pixel, const std::vector<PixelPoint>& v, bool everyOtherRow) {
  if (!valid() || clip_.empty() || v.size() < 3) return;
  int64_t minY = v[0].y, maxY = v[0].y, minX = v[0].x, maxX = v[0].x;
  for (const auto& p : v) {
    minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
  }
  if (maxX < clip_.left || minX > clip_.right) return;
  int64_t t = std::max(minY, int64_t{clip_.top}), b = std::min(maxY, int64_t{clip_.bottom});
  std::vector<double> xs;
  xs.reserve(v.size());
  for (int64_t y = t; y <= b; ++y) {
    if (everyOtherRow && (y & 1)) continue;
    xs.clear();
    double fy = static_cast<double>(y);
    for (size_t i = 0; i < v.size(); ++i) {
      const PixelPoint& a = v[i];
      const PixelPoint& c = v[(i + 1) % v.size()];
      if (a.y == c.y) continue;
      int64_t lo = std::min(a.y, c.y), hi = std::max(a.y, c.y);
      if (y < lo || y >= hi) continue;
      xs.push_back(static_cast<double>(a.x) +
                   (fy - static_cast<double>(a.y)) * static_cast<double>(c.x - a.x) / static_cast<double>(c.y - a.y));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t i = 0; i + 1 < xs.size(); i += 2) {
      int64_t x1 = toInt(std::ceil(xs[i])), x2 = toInt(std::ceil(xs[i + 1])) - 1;
      if (x2 >= x1) fillSpan(pixel, y, x1, x2);
    }
  }
}

void Surface::polyline(uint32_t pixel, const std::vector<PixelPoint>& v, bool closed) {
  if (v.empty()) return;
  if (v.size() == 1) return plot(pixel, v[0].x, v[0].y);
  for (size_t i = 0; i + 1 < v.size(); ++i) line(pixel, v[i].x, v[i].y, v[i + 1].x, v[i + 1].y);
  if (closed && v.size() > 2) line(pixel, v.back().x, v.back().y, v[0].x, v[0].y);
}

void Surface::xorCrossHair(int64_t x, int64_t y, const Rect& area, bool thick) {
  Rect saved = clip_;
  setClip(area);
  uint32_t px = colourToPixel(format_, kXorColour, true);
  for (int d = thick ? -1 : 0; d <= (thick ? 1 : 0); ++d) {
    fillSpan(px, y + d, area.left, area.right);
    for (int64_t row = clip_.top; row <= clip_.bottom; ++row)
      if (row < y - (thick ? 1 : 0) || row > y + (thick ? 1 : 0)) plot(px, x + d, row);
  }
  clip_ = saved;
}

void Surface::xorDashedCrossHair(int64_t x, int64_t y, const Rect& area) {
  Rect saved = clip_;
  setClip(area);
  uint32_t px = colourToPixel(format_, kXorColour, true);
  for (int64_t col = clip_.left; col <= clip_.right; ++col)
    if (((col - (x - 8)) & 16) == 0) plot(px, col, y);
  for (int64_t row = clip_.top; row <= clip_.bottom; ++row)
    if (row != y && ((row - (y - 8)) & 16) == 0) plot(px, x, row);
  clip_ = saved;
}

void Surface::xorRubberRectangle(int64_t cornerX, int64_t cornerY, int64_t x, int64_t y, const Rect& area) {
  Rect saved = clip_;
  setClip(area);
  if (clip_.empty()) {
    clip_ = saved;
    return;
  }
  // Sides and cross-hair share pixels; a pixel combined twice would vanish,
  // so the figure is collected first and each pixel written once.
  std::vector<PixelPoint> pts;
  auto add = [&](int64_t px, int64_t py) {
    if (px >= clip_.left && px <= clip_.right && py >= clip_.top && py <= clip_.bottom) pts.push_back({px, py});
  };
  auto row = [&](int64_t r, int64_t a, int64_t b) {
    if (r < clip_.top || r > clip_.bottom) return;
    for (int64_t c = std::max<int64_t>(std::min(a, b), clip_.left); c <= std::min<int64_t>(std::max(a, b), clip_.right);
         ++c)
      pts.push_back({c, r});
  };
  auto column = [&](int64_t c, int64_t a, int64_t b) {
    if (c < clip_.left || c > clip_.right) return;
    for (int64_t r = std::max<int64_t>(std::min(a, b), clip_.top); r <= std::min<int64_t>(std::max(a, b), clip_.bottom);
         ++r)
      pts.push_back({c, r});
  };
  row(cornerY, cornerX, x);
  row(y, cornerX, x);
  column(cornerX, cornerY, y);
  column(x, cornerY, y);
  for (int64_t col = clip_.left; col <= clip_.right; ++col)
    if (((col - (x - 8)) & 16) == 0) add(col, y);
  for (int64_t r = clip_.top; r <= clip_.bottom; ++r)
    if (((r - (y - 8)) & 16) == 0) add(x, r);
  std::sort(pts.begin(), pts.end(),
            [](const PixelPoint& a, const PixelPoint& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  pts.erase(std::unique(pts.begin(), pts.end(),
                        [](const PixelPoint& a, const PixelPoint& b) { return a.x == b.x && a.y == b.y; }),
            pts.end());
  uint32_t px = colourToPixel(format_, kXorColour, true);
  for (const PixelPoint& p : pts) plot(px, p.x, p.y);
  clip_ = saved;
}

}  // namespace trelmo
