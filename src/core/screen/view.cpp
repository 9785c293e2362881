#include "screen/view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "database/params.h"

namespace trelmo {

namespace {

using i128 = __int128;

int32_t saturate(i128 v) {
  if (v > 0x7FFFFFFF) return 0x7FFFFFFF;
  if (v < -0x7FFFFFFF) return -0x7FFFFFFF;
  return static_cast<int32_t>(v);
}

// round(viewScale x / 2^32): (viewScale / 2 * x) * 2 plus its own low 32 bits,
// high half taken (round half up).
int64_t scaled(uint32_t scale, int32_t x) {
  i128 q = static_cast<i128>(scale >> 1) * x * 2;
  i128 low = static_cast<i128>(static_cast<uint64_t>(q) & 0xFFFFFFFFu);
  return static_cast<int64_t>((q + low) >> 32);
}

// 2^32 / viewScale as a 32.32 number.
i128 reciprocal(uint32_t scale) { return (static_cast<i128>(1) << 64) / (scale ? scale : 1); }

int64_t centreX(const View& v) { return (v.area.left + v.area.right + 1) / 2; }
int64_t centreY(const View& v) { return (v.area.top + v.area.bottom + 1) / 2; }

}  // namespace

int64_t worldToPixelX(const View& v, int32_t x) { return scaled(v.viewScale, x) - v.viewOriginX; }
int64_t worldToPixelY(const View& v, int32_t y) {
  return (v.screenHeight - 1) - (scaled(v.viewScale, y) - v.viewOriginY);
}
int32_t pixelToWorldX(const View& v, int64_t px) {
  return saturate((static_cast<i128>(px + v.viewOriginX) * reciprocal(v.viewScale)) >> 32);
}
int32_t pixelToWorldY(const View& v, int64_t py) {
  return saturate((static_cast<i128>((v.screenHeight - 1) - py + v.viewOriginY) * reciprocal(v.viewScale)) >> 32);
}
int64_t worldLengthToPixels(const View& v, int64_t l) {
  return static_cast<int64_t>(static_cast<i128>(l) * v.viewScale / (static_cast<i128>(1) << 32));
}
int32_t pixelLengthToWorld(const View& v, int64_t p) {
  return saturate(static_cast<i128>(p) * (static_cast<i128>(1) << 32) / (v.viewScale ? v.viewScale : 1));
}
double worldLengthToPixelsExact(const View& v, double l) { return l * v.viewScale / 4294967296.0; }

int32_t snapAxis(int32_t value, int32_t zero, uint32_t gridSnap, int32_t* remainder) {
  if (gridSnap < 65536) {
    if (remainder) *remainder = 0;
    return value;
  }
  int64_t d = static_cast<int64_t>(value) - zero;
  uint64_t mag = static_cast<uint64_t>(d < 0 ? -d : d);
  // Number of snaps as a 32.32 quotient, rounded half up (ties away from zero).
  i128 q = (static_cast<i128>(mag) << 48) / gridSnap;
  i128 n = (q + (static_cast<i128>(1) << 31)) >> 32;
  i128 snapped = (n * gridSnap + 32768) >> 16;
  int64_t rem = static_cast<int64_t>(static_cast<i128>(mag) - snapped);
  if (remainder) *remainder = static_cast<int32_t>(std::clamp<int64_t>(d < 0 ? -rem : rem, INT32_MIN, INT32_MAX));
  return saturate(zero + (d < 0 ? -snapped : snapped));
}

void updateCursorPixel(View& v) {
  v.cursorPixelX = worldToPixelX(v, v.cursorX);
  v.cursorPixelY = worldToPixelY(v, v.cursorY);
}

void snapCursor(View& v, const Params& p) {
  v.cursorX = snapAxis(v.cursorX, p.zeroX, p.snapStep, &v.snapRemainderX);
  v.cursorY = snapAxis(v.cursorY, p.zeroY, p.snapStep, &v.snapRemainderY);
  updateCursorPixel(v);
}

void panPixels(View& v, int64_t dx, int64_t dy) {
  v.cursorPixelX += dx;
  v.cursorPixelY += dy;
  v.viewOriginX = saturate(static_cast<i128>(v.viewOriginX) - dx);
  v.viewOriginY = saturate(static_cast<i128>(v.viewOriginY) + dy);
}

void moveCursorBy(View& v, const Params& p, int32_t dx, int32_t dy, bool fileOpen, int64_t* panX, int64_t* panY) {
  int64_t px = 0, py = 0;
  v.cursorX = saturate(static_cast<i128>(v.cursorX) + dx);
  v.cursorY = saturate(static_cast<i128>(v.cursorY) + dy);
  snapCursor(v, p);
  if (!fileOpen) {
    v.cursorPixelX = std::clamp<int64_t>(v.cursorPixelX, v.area.left, v.area.right);
    v.cursorPixelY = std::clamp<int64_t>(v.cursorPixelY, v.area.top, v.area.bottom);
  } else {
    // Keep the cross-hair inside the margins by panning the view under it.
    if (v.cursorPixelX < v.area.left + kCursorMarginX) px = v.area.left + kCursorMarginX - v.cursorPixelX;
    if (v.cursorPixelX > v.area.right - kCursorMarginX) px = v.area.right - kCursorMarginX - v.cursorPixelX;
    if (v.cursorPixelY < v.area.top + kCursorMarginY) py = v.area.top + kCursorMarginY - v.cursorPixelY;
    if (v.cursorPixelY > v.area.bottom - kCursorMarginY) py = v.area.bottom - kCursorMarginY - v.cursorPixelY;
    if (px || py) panPixels(v, px, py);
  }
  if (panX) *panX = px;
  if (panY) *panY = py;
}

void setCursorFromPixel(View& v, const Params& p, int64_t px, int64_t py) {
  v.cursorX = pixelToWorldX(v, px);
  v.cursorY = pixelToWorldY(v, py);
  snapCursor(v, p);
}

void placeCursorAt(View& v, int64_t px, int64_t py) {
  v.viewOriginX = saturate(scaled(v.viewScale, v.cursorX) - px);
  v.viewOriginY = saturate(py - (v.screenHeight - 1) + scaled(v.viewScale, v.cursorY));
  updateCursorPixel(v);
}

void centreOnCursor(View& v) { placeCursorAt(v, centreX(v), centreY(v)); }

bool cursorInsideMargins(const View& v) {
  return v.cursorPixelX >= v.area.left + kCursorMarginX && v.cursorPixelX <= v.area.right - kCursorMarginX &&
         v.cursorPixelY >= v.area.top + kCursorMarginY && v.cursorPixelY <= v.area.bottom - kCursorMarginY;
}

void savePreviousView(View& v) {
  v.previousScale = v.viewScale;
  v.previousOriginX = v.viewOriginX;
  v.previousOriginY = v.viewOriginY;
}

namespace {
void recentre(View& v) {
  if (v.windowsMode)
    placeCursorAt(v, v.cursorPixelX, v.cursorPixelY);
  else
    centreOnCursor(v);
}
}  // namespace

bool zoomIn(View& v) {
  savePreviousView(v);
  bool ok = v.viewScale != kMaxViewScale;
  uint64_t grow = (static_cast<uint64_t>(v.viewScale) * 0x6A09E668u) >> 32;
  v.viewScale += static_cast<uint32_t>(std::min<uint64_t>(grow, kMaxViewScale - v.viewScale));
  recentre(v);
  return ok;
}

bool zoomOut(View& v) {
  savePreviousView(v);
  bool ok = v.viewScale > v.minViewScale;
  uint64_t shrunk = (static_cast<uint64_t>(v.viewScale) * 0xB504F334u) >> 32;
  v.viewScale = static_cast<uint32_t>(std::max<uint64_t>(shrunk, v.minViewScale));
  recentre(v);
  return ok;
}

void zoomCentre(View& v) {
  savePreviousView(v);
  centreOnCursor(v);
}

bool zoomPrevious(View& v, const Params& p) {
  if (v.previousScale == 0) return false;
  std::swap(v.viewScale, v.previousScale);
  std::swap(v.viewOriginX, v.previousOriginX);
  std::swap(v.viewOriginY, v.previousOriginY);
  setCursorFromPixel(v, p, v.cursorPixelX, v.cursorPixelY);
  return true;
}

void zoomToRectangle(View& v, const Params& p, int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool savePrevious) {
  if (savePrevious) savePreviousView(v);
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  int64_t w = std::max(v.area.right - v.area.left - 7, 1), h = std::max(v.area.bottom - v.area.top - 7, 1);
  int64_t ww = static_cast<int64_t>(x2) - x1, wh = static_cast<int64_t>(y2) - y1;
  uint64_t sx = ww > w ? static_cast<uint64_t>((static_cast<i128>(w) << 32) / ww) : kMaxViewScale;
  uint64_t sy = wh > h ? static_cast<uint64_t>((static_cast<i128>(h) << 32) / wh) : kMaxViewScale;
  v.viewScale = static_cast<uint32_t>(std::clamp<uint64_t>(std::min(sx, sy), kFitMinScale, kMaxViewScale));
  int32_t oldX = v.cursorX, oldY = v.cursorY;
  v.cursorX = static_cast<int32_t>((static_cast<int64_t>(x1) + x2) / 2);
  v.cursorY = static_cast<int32_t>((static_cast<int64_t>(y1) + y2) / 2);
  centreOnCursor(v);
  snapCursor(v, p);
  View keep = v;
  keep.cursorX = oldX;
  keep.cursorY = oldY;
  updateCursorPixel(keep);
  if (cursorInsideMargins(keep)) v = keep;
}

void setScaleDpi(View& v, const Params& p, uint32_t dpi) {
  savePreviousView(v);
  uint64_t s = static_cast<uint64_t>(dpi) << 16;
  v.viewScale = static_cast<uint32_t>(std::clamp<uint64_t>(s, kFitMinScale, kMaxViewScale));
  centreOnCursor(v);
  snapCursor(v, p);
}

void textViewPlacement(View& v) {
  v.viewScale = v.screenWidth >= 1281 ? static_cast<uint32_t>((uint64_t{1} << 33) / 7)
                                      : static_cast<uint32_t>((uint64_t{1} << 32) / 7);
  // World (0, 0) lands 8 pixels right of the left edge and at the top of the
  // area: the first line sits just below it and the following ones fill the
  // window downwards.
  v.viewOriginX = -(v.area.left + 8);
  v.viewOriginY = v.area.top - (v.screenHeight - 1);
  updateCursorPixel(v);
}

bool stepLayer(Params& p, int direction) {
  for (int n = static_cast<int>(p.currentLayer & 255) + direction; n >= 0 && n <= 255; n += direction) {
    const LayerEntry& e = p.layers[n];
    if (!e.unused() && !(e.color & kColorDisabled)) {
      p.currentLayer = static_cast<uint16_t>(n);
      return true;
    }
  }
  return false;
}

std::string formatReadout(int32_t value, int units, int32_t factor) {
  static const uint32_t kHalf[5] = {0x8000, 0xCCD, 0x148, 0x21, 3};
  bool mm = units < 0;
  int decimals = std::clamp(std::abs(units), 0, 4);
  uint64_t m = static_cast<uint64_t>(value < 0 ? -static_cast<int64_t>(value) : value);
  if (mm) m = m * 1664614 / 65536;
  m = static_cast<uint64_t>((static_cast<i128>(m) * static_cast<uint32_t>(factor)) >> 16);
  m += kHalf[decimals];
  uint64_t whole = (m >> 16) % 100000, frac = ((m & 0xFFFF) * 10000) >> 16;
  char digits[8];
  std::snprintf(digits, sizeof digits, "%5u", static_cast<unsigned>(whole));
  std::string out = " ";
  out += digits;
  if (value < 0) {  // the sign moves right to the first digit
    size_t first = out.find_first_not_of(' ');
    out[first - 1] = '-';
  }
  char f[8];
  std::snprintf(f, sizeof f, "%04u", static_cast<unsigned>(frac));
  out += '.';
  for (int i = 0; i < 4; ++i) out += i < decimals ? f[i] : ' ';
  out += ' ';
  return out;
}

std::string gridReadout(const View& v, const Params& p) {
  std::string out = "Grid: ";
  int idx = std::clamp(p.snapIndex, 0, kSnapEntries - 1);
  std::string entry(p.snapTable[idx], strnlen(p.snapTable[idx], kSnapEntryMax + 1));
  bool fraction = std::count(entry.begin(), entry.end(), '/') == 1 &&
                  (std::count(entry.begin(), entry.end(), '"') == 1 || entry.find("mm") != std::string::npos);
  if (fraction) {
    out += entry;
  } else {
    int32_t snapUnits = static_cast<int32_t>(std::min<uint64_t>(p.snapStep >> 16, 0x7FFFFFFF));
    if (v.readoutFactor != 65536) out += '*';
    std::string num = formatReadout(snapUnits, p.units, v.readoutFactor);
    size_t a = num.find_first_not_of(' '), b = num.find_last_not_of(' ');
    out += num.substr(a, b - a + 1);
    out += p.units < 0 ? "mm" : "\"";
  }
  if (v.snapMode == 1)
    out += '*';
  else if (v.snapMode != 0)
    out += '#';
  return out + "  ";
}

std::string polarReadout(const View& v, const Params& p, int32_t refX, int32_t refY) {
  double dx = static_cast<double>(v.cursorX) - refX, dy = static_cast<double>(v.cursorY) - refY;
  double deg = std::atan2(dy, dx) * 180.0 / M_PI;
  if (deg < 0) deg += 360.0;
  double dist = std::hypot(dx, dy) / 65536.0;
  bool mm = p.units < 0;
  if (mm) dist *= 25.4;
  int dec = dist < 10 ? 4 : dist < 100 ? 3 : dist < 1000 ? 2 : 1;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%5.1f\xF8 %.*f%s", deg, dec, dist, mm ? "mm" : "\"");
  return buf;
}

std::string cursorReadout(const View& v, const Params& p) {
  std::string out = formatReadout(v.cursorX - p.zeroX, p.units, v.readoutFactor);
  out += formatReadout(v.cursorY - p.zeroY, p.units, v.readoutFactor);
  out += (p.zeroX || p.zeroY) ? '*' : ' ';
  if (p.drawTags & kTagReadout) out += " " + polarReadout(v, p, p.zeroX, p.zeroY) + "  ";
  out += gridReadout(v, p);
  return out;
}

int cursorEntryColumn(const Params& p) { return (p.drawTags & kTagReadout) ? 70 : 52; }

namespace {

// One length: a number with an optional inch mark or "mm"; without a suffix it
// is in the current units.
bool parseLength(std::string_view s, size_t& i, const Params& p, int64_t& out) {
  double v = 0;
  bool any = false;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') v = v * 10 + (s[i++] - '0'), any = true;
  if (i < s.size() && s[i] == '.') {
    ++i;
    for (double f = 0.1; i < s.size() && s[i] >= '0' && s[i] <= '9'; f /= 10) v += (s[i++] - '0') * f, any = true;
  }
  if (!any) return false;
  bool mm = p.units < 0;
  if (i < s.size() && s[i] == '"')
    ++i, mm = false;
  else if (i + 1 < s.size() && (s[i] == 'm' || s[i] == 'M') && (s[i + 1] == 'm' || s[i + 1] == 'M'))
    i += 2, mm = true;
  if (mm) v /= 25.4;
  out = std::llround(std::clamp(v, -40000.0, 40000.0) * 65536.0);
  return true;
}

bool parseAxis(std::string_view s, size_t& i, const Params& p, int32_t current, int32_t zero, int32_t& out) {
  if (i >= s.size()) return false;
  char c = s[i];
  if (!(c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9'))) return false;
  int64_t base = (c == '+' || c == '-') ? current : zero;
  int64_t total = 0;
  int sign = 1;
  if (c == '+' || c == '-') sign = c == '-' ? -1 : 1, ++i;
  for (;;) {
    int64_t len;
    if (!parseLength(s, i, p, len)) return false;
    total += sign * len;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
      sign = s[i++] == '-' ? -1 : 1;
      continue;
    }
    break;
  }
  out = saturate(static_cast<i128>(base) + total);
  return true;
}

}  // namespace

bool parseCursorEntry(std::string_view text, const View& v, const Params& p, int32_t& x, int32_t& y) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  int32_t nx, ny;
  if (!parseAxis(text, i, p, v.cursorX, p.zeroX, nx)) return false;
  if (i >= text.size()) return false;
  ++i;  // one separator
  if (!parseAxis(text, i, p, v.cursorY, p.zeroY, ny)) return false;
  x = nx;
  y = ny;
  return true;
}

void orthoConstrain(int32_t startX, int32_t startY, int32_t& x, int32_t& y, bool axesOnly) {
  int64_t dx = static_cast<int64_t>(x) - startX, dy = static_cast<int64_t>(y) - startY;
  int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
  if (axesOnly ? ay < ax : 2 * ay < ax) {
    dy = 0;
  } else if (axesOnly || ay >= 2 * ax) {
    dx = 0;
  } else {
    int64_t d = std::min(ax, ay);
    dx = dx < 0 ? -d : d;
    dy = dy < 0 ? -d : d;
  }
  x = static_cast<int32_t>(std::clamp<int64_t>(startX + dx, INT32_MIN, INT32_MAX));
  y = static_cast<int32_t>(std::clamp<int64_t>(startY + dy, INT32_MIN, INT32_MAX));
}

std::string clockReadout(int hour24, int minute, bool colon) {
  int h = ((hour24 % 24) + 24) % 24;
  int m = ((minute % 60) + 60) % 60;
  int h12 = h % 12 == 0 ? 12 : h % 12;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%2d%c%02d%s", h12, colon ? ':' : ' ', m, h < 12 ? "am" : "pm");
  return buf;
}

}  // namespace trelmo
