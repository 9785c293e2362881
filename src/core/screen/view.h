// The world-to-pixel transform, the cursor and its snap, zoom and the
// status-bar readouts. World units are 1/65536 inch, Y up; pixels are those of
// the whole drawing surface, Y down.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "screen/surface.h"

namespace trelmo {

struct Params;
struct Context;

constexpr uint32_t kMaxViewScale = 0xFFFFFFFFu;  // one pixel per unit
constexpr uint32_t kFitMinScale = 256;
constexpr uint32_t kDefaultViewScale = 100u << 16;  // 100 dpi
constexpr int kCursorMarginX = 16, kCursorMarginY = 12;
constexpr int kStatusBarRows = 22;

struct View {
  uint32_t viewScale = kDefaultViewScale;  // pixels per unit x 2^32
  uint32_t minViewScale = 32768;
  int32_t viewOriginX = 0, viewOriginY = 0;
  int screenWidth = 1024, screenHeight = 768;
  Rect area{0, 0, 1023, 768 - kStatusBarRows - 1};  // drawing area, inclusive
  int32_t cursorX = 0, cursorY = 0;
  int64_t cursorPixelX = 0, cursorPixelY = 0;
  int32_t snapRemainderX = 0, snapRemainderY = 0;
  uint32_t previousScale = 0;  // 0: no previous view
  int32_t previousOriginX = 0, previousOriginY = 0;
  bool windowsMode = false;
  int32_t readoutFactor = 65536;  // 16.16, this session only
  int snapMode = 0;               // 1: ortho-snap (ST)
};

// Transform.
int64_t worldToPixelX(const View& v, int32_t x);
int64_t worldToPixelY(const View& v, int32_t y);
int32_t pixelToWorldX(const View& v, int64_t px);
int32_t pixelToWorldY(const View& v, int64_t py);
int64_t worldLengthToPixels(const View& v, int64_t l);
int32_t pixelLengthToWorld(const View& v, int64_t p);
double worldLengthToPixelsExact(const View& v, double l);

// One axis of the snap: the snapped value, with the remainder (raw minus
// snapped) reported. Snaps below one unit (gridSnap < 65536) do nothing.
int32_t snapAxis(int32_t value, int32_t zero, uint32_t gridSnap, int32_t* remainder = nullptr);
void snapCursor(View& v, const Params& p);
void updateCursorPixel(View& v);
// Moves the cursor, snaps it and pans when it comes near the area's edges;
// returns the pan (pixels) the caller must scroll or redraw.
void moveCursorBy(View& v, const Params& p, int32_t dx, int32_t dy, bool fileOpen, int64_t* panX, int64_t* panY);
void setCursorFromPixel(View& v, const Params& p, int64_t px, int64_t py);
void panPixels(View& v, int64_t dx, int64_t dy);
// Puts the cursor's world point at pixel (px, py).
void placeCursorAt(View& v, int64_t px, int64_t py);
void centreOnCursor(View& v);
bool cursorInsideMargins(const View& v);

// Zoom functions; false means refused (the caller sounds Beep).
void savePreviousView(View& v);
bool zoomIn(View& v);
bool zoomOut(View& v);
void zoomCentre(View& v);
bool zoomPrevious(View& v, const Params& p);
void zoomToRectangle(View& v, const Params& p, int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool savePrevious);
void setScaleDpi(View& v, const Params& p, uint32_t dpi);
// The text/hexdump view scale: 2^32 / 7 (2^32 / 3.5 on screens of 1281 pixels
// or wider), world origin 8 pixels right of the area's left edge and at its
// top, so that the lines, which run downwards from Y = 0, fill the window.
void textViewPlacement(View& v);

// Layer stepping: the next named, displayed layer above (+1) or below (-1)
// the current one; false when there is none.
bool stepLayer(Params& p, int direction);

// Readouts.
std::string formatReadout(int32_t value, int units, int32_t factor);
std::string gridReadout(const View& v, const Params& p);
std::string polarReadout(const View& v, const Params& p, int32_t refX, int32_t refY);
// X, Y, the zero-point mark, the polar readout when the file's tags ask for
// it (bit 0) and the grid field.
std::string cursorReadout(const View& v, const Params& p);
// The status-bar column at which a typed cursor position is echoed: 70 with
// the polar readout on, else 52.
int cursorEntryColumn(const Params& p);

// The ortho constraint on a motion from (startX, startY) to (x, y): a motion
// with |dy| < |dx| / 2 becomes horizontal, one with |dy| >= 2 |dx| vertical,
// anything between a 45-degree diagonal of the smaller length. Filled solids
// (`axesOnly`) keep to horizontal or vertical.
void orthoConstrain(int32_t startX, int32_t startY, int32_t& x, int32_t& y, bool axesOnly);

// The status-bar clock: 12-hour hours with a blank for a leading zero, a
// colon shown only when `colon`, minutes and "am" or "pm" (" 3:07pm").
std::string clockReadout(int hour24, int minute, bool colon);

// Typed cursor position ("+0.1,-0.1", "1,2", "25mm,3+.5"): the new cursor.
bool parseCursorEntry(std::string_view text, const View& v, const Params& p, int32_t& x, int32_t& y);

}  // namespace trelmo
