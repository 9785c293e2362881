// A drawing surface (pixel memory handed over by the window or a test) and the
// pixel primitives that write into it. Every primitive clips to the clip
// rectangle, which is always kept inside the surface, so no coordinate, however
// large, negative or saturated, can make one write outside the pixel memory.
#pragma once
#include <cstdint>
#include <vector>

#include "resources/pixel_format.h"

namespace trelmo {

// Inclusive pixel rectangle.
struct Rect {
  int left = 0, top = 0, right = -1, bottom = -1;
  bool empty() const { return right < left || bottom < top; }
  bool operator==(const Rect&) const = default;
};
Rect intersect(const Rect& a, const Rect& b);

struct PixelPoint {
  int64_t x, y;
};

class Surface {
 public:
  Surface() = default;
  // Adopts pixel memory: pitch in bytes, rows top first.
  void attach(uint8_t* pixels, int pitch, int width, int height, const PixelFormat& format);
  bool valid() const { return pixels_ != nullptr && width_ > 0 && height_ > 0; }

  uint8_t* pixels() const { return pixels_; }
  int pitch() const { return pitch_; }
  int width() const { return width_; }
  int height() const { return height_; }
  const PixelFormat& format() const { return format_; }
  Rect bounds() const { return {0, 0, width_ - 1, height_ - 1}; }

  // The clip rectangle, cut to the surface.
  void setClip(const Rect& r) { clip_ = intersect(r, bounds()); }
  const Rect& clip() const { return clip_; }

  uint32_t pixelAt(int x, int y) const;  // for tests and picture output

  // Primitives. A pixel value with bit 31 set combines by exclusive-or.
  void fillSpan(uint32_t pixel, int64_t row, int64_t x1, int64_t x2);
  void fillRect(uint32_t pixel, int64_t x1, int64_t y1, int64_t x2, int64_t y2);
  void plot(uint32_t pixel, int64_t x, int64_t y);
  void line(uint32_t pixel, int64_t x1, int64_t y1, int64_t x2, int64_t y2);  // one pixel wide
  // A track of the given width in pixels with round ends; width <= 1 is a
  // one-pixel line.
  void thickLine(uint32_t pixel, double width, int64_t x1, int64_t y1, int64_t x2, int64_t y2);
  void trackOutline(uint32_t pixel, double width, int64_t x1, int64_t y1, int64_t x2, int64_t y2);
  void circle(uint32_t pixel, int64_t radius, int64_t cx, int64_t cy);  // filled disc
  void circleOutline(uint32_t pixel, int64_t radius, int64_t cx, int64_t cy);
  // Even-odd scanline fill. With `everyOtherRow` only rows with an even y.
  void fillPolygon(uint32_t pixel, const std::vector<PixelPoint>& v, bool everyOtherRow = false);
  void polyline(uint32_t pixel, const std::vector<PixelPoint>& v, bool closed);
  void xorCrossHair(int64_t x, int64_t y, const Rect& area, bool thick);
  void xorDashedCrossHair(int64_t x, int64_t y, const Rect& area);
  // The rubber rectangle of a pending first corner: the four sides between
  // the corner and the cursor plus the dashed cross-hair, every pixel of the
  // figure combined once, so that drawing it twice removes it.
  void xorRubberRectangle(int64_t cornerX, int64_t cornerY, int64_t x, int64_t y, const Rect& area);

 private:
  void spanClipped(uint32_t pixel, int row, int x1, int x2);
  void capsuleRows(uint32_t pixel, double r, double x1, double y1, double x2, double y2);

  // End-disc half-widths of the last capsule radius, by row distance.
  static constexpr double kCapTableMax = 1024;
  double capR2_ = -1;
  std::vector<double> capHalf_;

  uint8_t* pixels_ = nullptr;
  int pitch_ = 0, width_ = 0, height_ = 0;
  PixelFormat format_;
  Rect clip_;
};

// Half-widths of disc rows: entry r(r+1)/2 - 1 + dy is the half-width of row
// dy of a disc of radius r (1..255), computed once.
const std::vector<uint16_t>& circleTable();
int circleHalfWidth(int64_t radius, int64_t dy);

}  // namespace trelmo
