// Where a plot goes on its page: the window of the design that is plotted,
// the scale S (device dots per world unit) and the origin, with centring,
// mirroring and the negative image as the print flags ask.
#pragma once
#include <cstdint>

#include "screen/surface.h"

namespace trelmo {

struct Context;
struct Params;

// The output kinds of "PlotterOutputBox", by their stored numbers; PDF is
// this program's own addition.
enum class PlotKind : int { Dib = 0, Bmp = 1, Ps = 2, Hpgl = 4, Pcl = 8, Gdi = 16, Pdf = 32 };

// The page of a device: dots per inch and the printable area in dots.
struct PlotPage {
  double dpi = 300;
  int width = 2400, height = 3150;
};

struct PlotFrame {
  int32_t window[4] = {0, 0, 0, 0};  // world Xmin, Ymin, Xmax, Ymax
  double scale = 0;                  // dots per world unit (S / 2^32)
  double originX = 0, originY = 0;   // dots
  PlotPage page;
  bool mirror = false, negative = false;
  Rect image;  // the dots the window covers, inside the page

  double x(double wx) const {
    double d = wx * scale - originX;
    return mirror ? (page.width - 1) - d : d;
  }
  double y(double wy) const { return (page.height - 1) - (wy * scale - originY); }
  double length(double l) const { return l * scale; }
};

// The window: the print rectangle, or the design's extents when "Print
// extents" is set or the rectangle is empty (Xmin >= Xmax or Ymin >= Ymax).
// False when the design is empty as well.
bool plotWindow(const Context& ctx, int32_t window[4]);

// Scale to page fits the window into the page less 7 dots each way; print to
// scale takes the 16.16 scaling factor times the dots per inch. "Center"
// puts the window's centre on the page's; otherwise its top left corner sits
// 3 dots in from the page's.
PlotFrame plotFrame(const int32_t window[4], uint8_t flags, int32_t scaleFactor, const PlotPage& page);

// A page that is the window itself at `dpi` (bitmap files): a dot of margin
// all round. Returns false when the picture would be unreasonably large.
bool windowPage(const int32_t window[4], double dpi, PlotPage& page);

}  // namespace trelmo
