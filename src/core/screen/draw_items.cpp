#include "screen/draw_items.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/options.h"
#include "database/signals.h"
#include "database/walk.h"
#include "resources/stroke_font.h"

namespace trelmo {

namespace {

constexpr double kFar = 1e15;
// floor(v + 0.5) without a library call: within the clamp the truncated
// value is exact and one step corrects it for negative fractions.
int64_t toInt(double v) {
  const double w = std::clamp(v, -kFar, kFar) + 0.5;
  const int64_t t = static_cast<int64_t>(w);
  return t > w ? t - 1 : t;
}

// World (double) to pixel, rounding half up like the transform.
struct ToPixel {
  const View& v;
  double s;
  explicit ToPixel(const View& view) : v(view), s(view.viewScale / 4294967296.0) {}
  int64_t x(double wx) const { return toInt(wx * s) - v.viewOriginX; }
  int64_t y(double wy) const { return (v.screenHeight - 1) - (toInt(wy * s) - v.viewOriginY); }
  double fx(double wx) const { return wx * s - v.viewOriginX; }
  double fy(double wy) const { return (v.screenHeight - 1) - (wy * s - v.viewOriginY); }
  double len(double l) const { return l * s; }
};

bool missesClip(const Surface& sf, double x1, double y1, double x2, double y2) {
  const Rect& c = sf.clip();
  return c.empty() || std::max(x1, x2) < c.left || std::min(x1, x2) > c.right || std::max(y1, y2) < c.top ||
         std::min(y1, y2) > c.bottom;
}

struct Rotation {
  double c = 1, s = 0;
  explicit Rotation(uint16_t angle) {
    CosSin cs = sinCos(angle);
    c = cs.cos / 32767.0;
    s = cs.sin / 32767.0;
  }
};

uint32_t invertedPixel(const Context& ctx, int layer) {
  return colourToPixel(ctx.screen.surface.format(), (ctx.layer(layer).color ^ 0xFFFFFF) & 0xFFFFFF);
}

// ---------------------------------------------------------------- text pen

struct TextPen {
  const Context& ctx;
  Surface* sf;  // null while measuring
  uint32_t pixel;
  double ox, oy;
  Rotation rot;
  int32_t u, xu;
  double strokeWidth;
  int mode;
  int font = 0;
  int64_t x = 0, y = 0, lineStart = 0, extreme = 0;
  ToPixel px;

  TextPen(const Context& c, Surface* s, uint32_t p, double originX, double originY, uint16_t angle, int32_t unit,
          int32_t xunit, int textMode)
      : ctx(c),
        sf(s),
        pixel(p),
        ox(originX),
        oy(originY),
        rot(angle),
        u(unit),
        xu(xunit),
        strokeWidth(unit),
        mode(textMode),
        px(c.view) {}

  double wx(double fx, double fy) const { return ox + fx * rot.c - fy * rot.s; }
  double wy(double fx, double fy) const { return oy + fx * rot.s + fy * rot.c; }

  void segment(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    if (sf == nullptr) return;
    double ax = static_cast<double>(x1), ay = static_cast<double>(y1);
    double bx = static_cast<double>(x2), by = static_cast<double>(y2);
    int64_t p1x = px.x(wx(ax, ay)), p1y = px.y(wy(ax, ay));
    int64_t p2x = px.x(wx(bx, by)), p2y = px.y(wy(bx, by));
    double w = px.len(strokeWidth);
    if (ctx.screen.drawingXor || mode == kTextThin)
      sf->line(pixel, p1x, p1y, p2x, p2y);
    else if (mode == kTextHollow)
      sf->trackOutline(pixel, w, p1x, p1y, p2x, p2y);
    else
      sf->thickLine(pixel, w, p1x, p1y, p2x, p2y);
  }

  void track() { extreme = xu >= 0 ? std::max(extreme, x) : std::min(extreme, x); }

  void glyph(uint8_t code) {
    GlyphBytes g = glyphBytes(kStrokeFont, code);
    int64_t start = x;
    const uint8_t* i = g.begin;
    auto nib = [](int v) { return v >= 8 ? v - 16 : v; };
    if (font == 15 && u > 0) {  // narrow glyphs are centred in the cell
      int sum = 0;
      for (const uint8_t* k = g.begin; k < g.end; ++k)
        if (*k) sum += nib(*k >> 4);
      x += static_cast<int64_t>(u) * (kFontCell - sum) / 2;
    }
    bool first = true, pending = false;
    if (i < g.end && *i == 0) ++i, first = false;
    int32_t au = u < 0 ? -u : u;
    for (; i < g.end; ++i) {
      if (*i == 0) {
        pending = !pending;
        continue;
      }
      bool up = first || pending || i + 1 == g.end;
      first = pending = false;
      int64_t nx = x + static_cast<int64_t>(nib(*i >> 4)) * xu, ny = y + static_cast<int64_t>(nib(*i & 15)) * au;
      if (!up) segment(x, y, nx, ny);
      x = nx, y = ny;
      track();
    }
    if (font == 15) x = start + static_cast<int64_t>(kFontCell) * xu;
    track();
  }

  // Runs the characters of a text; stops at a field separator (not font 15).
  void run(std::string_view s) {
    for (unsigned char ch : s) {
      switch (ch) {
        case kTab: {
          int64_t cell = static_cast<int64_t>(kFontCell) * xu;
          if (cell == 0) break;
          int64_t cells = (x - lineStart) / cell;
          x = lineStart + ((cells + 8) / 8 * 8) * cell;
          track();
          break;
        }
        case kLineBreak:
          x = lineStart;
          y -= 9LL * (u < 0 ? -u : u);
          break;
        case kFieldSeparator:
          if (font != 15) return;
          glyph(ch);
          break;
        case 192:
          strokeWidth = strokeWidth * 4 / 5;
          break;
        case 193:
          strokeWidth += strokeWidth / 4;
          break;
        case 194:
          u = u * 4 / 5, xu = xu * 4 / 5;
          break;
        case 195:
          u += u / 4, xu += xu / 4;
          break;
        default:
          glyph(ch);
      }
    }
  }
};

// ------------------------------------------------------------- arc points

std::vector<std::pair<double, double>> arcPoints(const Context& ctx, const Record& r, bool& full) {
  ToPixel px(ctx.view);
  double R = std::fabs(static_cast<double>(item::radius(r)));
  uint16_t ecc = item::eccentricity(r), axis = item::axisAngle(r);
  double rr = ecc ? R * ecc / 65536.0 : R;
  full = item::sweep(r) == 0;
  double sweep = full ? 2 * M_PI : item::sweep(r) * 2 * M_PI / 65536.0;
  double start = item::start(r) * 2 * M_PI / 65536.0;
  double phi = axis * 2 * M_PI / 65536.0;
  if (!ecc) start += phi, phi = 0;
  double rpx = px.len(R);
  int n = static_cast<int>(std::clamp(rpx * sweep / 3.0, 8.0, 1024.0));
  std::vector<std::pair<double, double>> pts;
  pts.reserve(n + 1);
  double cp = std::cos(phi), sp = std::sin(phi);
  for (int i = 0; i <= n; ++i) {
    double t = start + sweep * i / n;
    double ex = R * std::cos(t), ey = rr * std::sin(t);
    pts.emplace_back(px.fx(r.x1 + ex * cp - ey * sp), px.fy(r.y1 + ex * sp + ey * cp));
  }
  return pts;
}

// The outline of a curved track of pixel width w around the centre curve.
void curveOutline(Surface& sf, uint32_t pixel, const std::vector<std::pair<double, double>>& c, double w, bool full) {
  size_t n = c.size();
  if (n < 2) return;
  std::vector<PixelPoint> left, right;
  left.reserve(n), right.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    size_t a = i ? i - 1 : (full ? n - 2 : 0), b = i + 1 < n ? i + 1 : (full ? 1 : n - 1);
    double tx = c[b].first - c[a].first, ty = c[b].second - c[a].second, l = std::hypot(tx, ty);
    double nx = l > 0 ? -ty / l * w / 2 : 0, ny = l > 0 ? tx / l * w / 2 : 0;
    left.push_back({toInt(c[i].first + nx), toInt(c[i].second + ny)});
    right.push_back({toInt(c[i].first - nx), toInt(c[i].second - ny)});
  }
  if (full) {
    sf.polyline(pixel, left, true);
    sf.polyline(pixel, right, true);
    return;
  }
  std::vector<PixelPoint> ring = left;
  auto cap = [&](const std::pair<double, double>& centre, const PixelPoint& from, const PixelPoint& to) {
    double a0 = std::atan2(from.y - centre.second, from.x - centre.first);
    double a1 = std::atan2(to.y - centre.second, to.x - centre.first);
    double d = a1 - a0;
    // The cap bulges away from the curve: pick the half turn that leaves it.
    d = d > 0 ? d - 2 * M_PI : d;
    if (std::fabs(d) > 2 * M_PI - 1e-9) d = -M_PI;
    for (int k = 1; k < 8; ++k) {
      double t = a0 + d * k / 8;
      ring.push_back({toInt(centre.first + w / 2 * std::cos(t)), toInt(centre.second + w / 2 * std::sin(t))});
    }
  };
  cap(c.back(), left.back(), right.back());
  for (size_t i = n; i-- > 0;) ring.push_back(right[i]);
  cap(c.front(), right.front(), left.front());
  sf.polyline(pixel, ring, true);
}

}  // namespace

// The text a text item shows: its chain, or its signal name on a schematic
// layer; "&d" and "&@" show attribute fields of the component it belongs to.
std::string componentField(const Context& ctx, Handle h, int field) {
  Handle cur = ctx.rec(h).next;
  for (int steps = 0; steps < 1000000 && cur != kNull && cur != h; ++steps) {
    const Record& r = ctx.rec(cur);
    if (r.type() == kSentinel) {
      if (!componentRingEnd(ctx.pool, cur)) return {};
      std::string all = readText(ctx, cur);
      size_t start = 0;
      for (int f = 0; f < field; ++f) {
        size_t sep = all.find(static_cast<char>(kFieldSeparator), start);
        if (sep == std::string::npos) return {};
        start = sep + 1;
      }
      size_t end = all.find(static_cast<char>(kFieldSeparator), start);
      return all.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }
    cur = r.next;
  }
  return {};
}

std::string shownText(const Context& ctx, Handle h) {
  const Record& r = ctx.rec(h);
  std::string s =
      ctx.layer(r.layer).kind() == kSchematic && isSignalRecord(ctx, r.ext) ? itemSignal(ctx, h) : readText(ctx, h);
  if (s.size() == 2 && s[0] == '&') {
    if (s[1] == '@') return componentField(ctx, h, 1);
    if (s[1] >= '0' && s[1] <= '9') return componentField(ctx, h, s[1] - '0');
  }
  return s;
}

// ------------------------------------------------------------------ colours

void refreshScreenPixels(Context& ctx) {
  ScreenState& s = ctx.screen;
  const PixelFormat& f = s.surface.format();
  for (int i = 0; i < 256; ++i) s.layerPixel[i] = colourToPixel(f, ctx.params.layers[i].color & 0xFFFFFF);
  s.gridPixel = colourToPixel(f, ctx.params.gridColor);
  s.backgroundPixel = colourToPixel(f, ctx.params.backgroundColor);
  s.hilightPixel = colourToPixel(f, ctx.params.hilightColor);
  s.markerPixel = colourToPixel(f, kMarkerColour);
  // The fixed screen colours; an 8 bpp screen has its own entries for them.
  bool indexed = f.bitsPerPixel == 8;
  s.lightGreyPixel = indexed ? 7 : colourToPixel(f, 0xC0C0C0);
  s.whitePixel = indexed ? 255 : colourToPixel(f, 0xFFFFFF);
  s.darkGreyPixel = indexed ? 248 : colourToPixel(f, 0x555555);
  s.xorPixel = colourToPixel(f, kXorColour, true);
  convertColors(ctx);
}

// ------------------------------------------------------------------- marker

void drawMarker(Context& ctx, uint32_t pixel, int32_t x, int32_t y) {
  drawMarker(ctx, ctx.screen.surface, pixel, x, y);
}

void drawMarker(const Context& ctx, Surface& sf, uint32_t pixel, int32_t x, int32_t y) {
  ToPixel px(ctx.view);
  double w = px.len(0x28F), d = 0x666;
  sf.thickLine(pixel, w, px.x(x - d), px.y(y - d), px.x(x + d), px.y(y + d));
  sf.thickLine(pixel, w, px.x(x - d), px.y(y + d), px.x(x + d), px.y(y - d));
}

// -------------------------------------------------------------------- lines

namespace {

bool drawSolid(const Context& ctx, Surface& sf, uint32_t pixel, const Record& r) {
  ToPixel px(ctx.view);
  if (r.ext == kNull) {
    if (missesClip(sf, px.fx(r.x1), px.fy(r.y1), px.fx(r.w3), px.fy(r.w4))) return false;
    sf.fillRect(pixel, px.x(r.x1), px.y(r.y1), px.x(r.w3), px.y(r.w4));
    return true;
  }
  std::vector<PixelPoint> pts;
  pts.reserve(64);
  // Only the first 255 vertices are drawn; the polygon closes back to the first.
  for (Handle v = r.ext; v != kNull && pts.size() < 255 && ctx.pool.valid(v); v = ctx.rec(v).ext)
    pts.push_back({px.x(ctx.rec(v).x1), px.y(ctx.rec(v).y1)});
  if (pts.size() < 3) return false;
  int64_t l = pts[0].x, t = pts[0].y, rgt = l, b = t;
  for (const auto& p : pts) l = std::min(l, p.x), rgt = std::max(rgt, p.x), t = std::min(t, p.y), b = std::max(b, p.y);
  if (missesClip(sf, static_cast<double>(l), static_cast<double>(t), static_cast<double>(rgt), static_cast<double>(b)))
    return false;
  int mode = ctx.params.drawLines & 3;
  if (ctx.screen.drawingXor || mode < 3) sf.polyline(pixel, pts, true);
  if (ctx.screen.drawingXor) return true;
  if (mode == kLinesSparse) sf.fillPolygon(pixel, pts, true);
  if (mode == kLinesDense) sf.fillPolygon(pixel, pts, false);
  return true;
}

void trackLabels(const Context& ctx, Surface& sf, const Record& r, Handle h, double wpx) {
  const View& v = ctx.view;
  if (!(ctx.params.drawLines & kTrackSignalNames) || v.viewScale <= 0xFFFFFF) return;
  if (!(wpx >= 8 || v.viewScale >= 0x80000000u)) return;
  std::string name = itemSignal(ctx, h);
  if (name.empty()) return;
  int32_t u = std::clamp((r.size + 1) / 8, 1, 4095);
  uint16_t angle = direction(r.x1, r.y1, r.w3, r.w4);
  if (angle > 16384 && angle <= 49152) angle = static_cast<uint16_t>(angle + 32768);  // never upside down
  double dx = static_cast<double>(r.w3) - r.x1, dy = static_cast<double>(r.w4) - r.y1;
  double trackLen = std::hypot(dx, dy);
  double labelLen = static_cast<double>(name.size()) * kFontCell * u - 2.0 * u;
  double room = trackLen - 2.0 * r.size;
  if (labelLen > room) return;
  double step = std::max(2 * labelLen, static_cast<double>(pixelLengthToWorld(v, v.screenWidth / 4)));
  double ux = trackLen > 0 ? dx / trackLen : 1, uy = trackLen > 0 ? dy / trackLen : 0;
  double mx = (static_cast<double>(r.x1) + r.w3) / 2, my = (static_cast<double>(r.y1) + r.w4) / 2;
  uint32_t pixel = invertedPixel(ctx, r.layer);
  Rotation rot(angle);
  for (int k = 0; k < 64; ++k) {
    const int steps = (k + 1) / 2;  // 0, +1, -1, +2, ... steps
    double off = step * steps * (k % 2 ? 1 : -1);
    if (k > 0 && std::fabs(off) + labelLen / 2 > room / 2) break;
    double cx = mx + off * ux, cy = my + off * uy;
    // Centred on the point, across the track.
    double sx = -labelLen / 2, sy = -3.0 * u;
    drawLabel(ctx, sf, pixel, name, static_cast<int64_t>(cx + sx * rot.c - sy * rot.s),
              static_cast<int64_t>(cy + sx * rot.s + sy * rot.c), angle, u, kTextFilled);
    if (k == 0 && step <= 0) break;
  }
}

}  // namespace

bool drawLine(const Context& ctx, Surface& sf, uint32_t pixel, Handle h) {
  const Record& r = ctx.rec(h);
  if (item::isSolid(r)) return drawSolid(ctx, sf, pixel, r);
  ToPixel px(ctx.view);
  double wpx = px.len(r.size);
  double x1 = px.fx(r.x1), y1 = px.fy(r.y1), x2 = px.fx(r.w3), y2 = px.fy(r.w4), m = wpx / 2 + 1;
  if (missesClip(sf, std::min(x1, x2) - m, std::min(y1, y2) - m, std::max(x1, x2) + m, std::max(y1, y2) + m))
    return false;
  int64_t a = px.x(r.x1), b = px.y(r.y1), c = px.x(r.w3), d = px.y(r.w4);
  int mode = ctx.params.drawLines & 3;
  if (ctx.screen.drawingXor) {
    sf.trackOutline(pixel, wpx, a, b, c, d);
    return true;
  }
  switch (mode) {
    case kLinesCenterline:
      sf.line(pixel, a, b, c, d);
      break;
    case kLinesOutline:
      sf.trackOutline(pixel, wpx, a, b, c, d);
      break;
    case kLinesSparse:
      sf.trackOutline(pixel, wpx, a, b, c, d);
      for (double w = 0; w < wpx; w += 4) sf.trackOutline(pixel, w, a, b, c, d);
      break;
    default:
      sf.thickLine(pixel, wpx, a, b, c, d);
  }
  trackLabels(ctx, sf, r, h, wpx);
  return true;
}

// --------------------------------------------------------------------- arcs

bool drawArc(const Context& ctx, Surface& sf, uint32_t pixel, Handle h) {
  const Record& r = ctx.rec(h);
  ToPixel px(ctx.view);
  double R = px.len(std::fabs(static_cast<double>(item::radius(r)))), wpx = px.len(r.size);
  double cx = px.fx(r.x1), cy = px.fy(r.y1), m = R + wpx / 2 + 1;
  if (missesClip(sf, cx - m, cy - m, cx + m, cy + m)) return false;
  bool full = false;
  auto c = arcPoints(ctx, r, full);
  std::vector<PixelPoint> centre;
  centre.reserve(c.size());
  for (auto& p : c) centre.push_back({toInt(p.first), toInt(p.second)});
  int mode = ctx.params.drawLines & 3;
  if (wpx < 1.5 || (!ctx.screen.drawingXor && mode == kLinesCenterline)) {
    sf.polyline(pixel, centre, false);
    return true;
  }
  if (ctx.screen.drawingXor || mode == kLinesOutline) {
    curveOutline(sf, pixel, c, wpx, full);
  } else if (mode == kLinesSparse) {
    curveOutline(sf, pixel, c, wpx, full);
    sf.polyline(pixel, centre, false);
    for (double w = 4; w < wpx; w += 4) curveOutline(sf, pixel, c, w, full);
  } else {
    for (size_t i = 0; i + 1 < centre.size(); ++i)
      sf.thickLine(pixel, wpx, centre[i].x, centre[i].y, centre[i + 1].x, centre[i + 1].y);
  }
  return true;
}

// --------------------------------------------------------------------- pads

namespace {

void padLabels(const Context& ctx, Surface& sf, const Record& r, Handle h, double xs, double ys, bool filled) {
  uint8_t bits = ctx.params.drawPads;
  if (!(bits & (kPadPinNumbers | kPadSignalNames)) || ctx.view.viewScale < 0x7FFFFF) return;
  std::vector<std::string> lines;
  if (bits & kPadPinNumbers) {
    std::string pin = pinName(ctx, h);
    if (!pin.empty() && pin != "0") lines.push_back(pin);
  }
  if (bits & kPadSignalNames) {
    std::string sig = itemSignal(ctx, h);
    if (!sig.empty()) lines.push_back(sig);
  }
  if (lines.empty()) return;
  uint16_t angle = item::padAngle(r);
  double along = xs, across = ys;
  if (ys > xs) angle = static_cast<uint16_t>(angle + 16384), along = ys, across = xs;  // read along the long side
  size_t longest = 0;
  for (auto& l : lines) longest = std::max(longest, l.size());
  double byWidth = 0.8 * along / (static_cast<double>(longest) * kFontCell);
  double byHeight = 0.6 * across / (9.0 * lines.size());
  int32_t u = static_cast<int32_t>(std::min(byWidth, byHeight));
  if (u < 1 || ctx.view.viewScale / 4294967296.0 * 6 * u < 3) return;
  uint32_t pixel = invertedPixel(ctx, r.layer);
  Rotation rot(angle);
  for (size_t i = 0; i < lines.size(); ++i) {
    double len = static_cast<double>(lines[i].size()) * kFontCell * u - 2.0 * u;
    double sx = -len / 2, sy = -3.0 * u + 4.5 * u * (static_cast<double>(lines.size()) - 1 - 2.0 * i);
    drawLabel(ctx, sf, pixel, lines[i], static_cast<int64_t>(r.x1 + sx * rot.c - sy * rot.s),
              static_cast<int64_t>(r.y1 + sx * rot.s + sy * rot.c), angle, u, filled ? kTextFilled : kTextThin);
  }
}

}  // namespace

bool drawPad(const Context& ctx, Surface& sf, uint32_t pixel, Handle h, int32_t padGrow) {
  const Record& r = ctx.rec(h);
  ToPixel px(ctx.view);
  double xs = std::max(0.0, static_cast<double>(item::padX(r)) + padGrow);
  double ys = std::max(0.0, static_cast<double>(item::padY(r)) + padGrow);
  double sx = px.len(xs), sy = px.len(ys), cx = px.fx(r.x1), cy = px.fy(r.y1);
  // A turned pad's corners reach out to half its diagonal.
  double m = (item::padAngle(r) % 16384 ? std::hypot(sx, sy) : std::max(sx, sy)) / 2 + 2;
  if (missesClip(sf, cx - m, cy - m, cx + m, cy + m)) return false;
  int64_t icx = px.x(r.x1), icy = px.y(r.y1);
  uint8_t type = item::padType(r);
  int mode = ctx.params.drawPads & 3;
  bool xorMode = ctx.screen.drawingXor;
  bool filled = mode >= kPadsDense && !xorMode;
  Rotation rot(item::padAngle(r));
  // A point of the pad's own frame (pixels, y up) on the screen.
  auto at = [&](double fx, double fy) {
    return PixelPoint{toInt(cx + fx * rot.c - fy * rot.s), toInt(cy - (fx * rot.s + fy * rot.c))};
  };
  switch (type) {
    case item::kOvalThru:
    case item::kOvalSmt: {
      double w = std::min(sx, sy), half = std::fabs(sx - sy) / 2;
      PixelPoint a = sx >= sy ? at(-half, 0) : at(0, -half), b = sx >= sy ? at(half, 0) : at(0, half);
      if (filled)
        sf.thickLine(pixel, w, a.x, a.y, b.x, b.y);
      else
        sf.trackOutline(pixel, w, a.x, a.y, b.x, b.y);
      break;
    }
    case item::kRoundVia:
    case item::kSchematicDot: {
      int64_t rad = toInt(sx / 2 - 0.5);
      if (filled || type == item::kSchematicDot)
        sf.circle(pixel, rad, icx, icy);
      else
        sf.circleOutline(pixel, rad, icx, icy);
      break;
    }
    default: {  // rectangular pads, padstacks and schematic pins
      std::vector<PixelPoint> box = {at(-sx / 2, -sy / 2), at(sx / 2, -sy / 2), at(sx / 2, sy / 2),
                                     at(-sx / 2, sy / 2)};
      bool pin = type == item::kSchematicPin;
      if (filled && !pin) {
        if (item::padAngle(r) % 16384 == 0) {
          int64_t l = std::min({box[0].x, box[2].x}), t = std::min({box[0].y, box[2].y});
          int64_t rr = std::max({box[0].x, box[2].x}), b = std::max({box[0].y, box[2].y});
          sf.fillRect(pixel, l, t, rr - 1 >= l ? rr - 1 : l, b - 1 >= t ? b - 1 : t);
        } else {
          sf.fillPolygon(pixel, box);
        }
      } else {
        sf.polyline(pixel, box, true);
      }
    }
  }
  // Drill holes of through-hole pads.
  bool smt = (type & item::kSurfaceMount) != 0;
  double hole = px.len(item::padHole(r));
  if (!xorMode && !smt && type != item::kSchematicPin && item::padHole(r) > 0) {
    if (mode == kPadsOutlineHole) sf.circleOutline(pixel, toInt(hole / 2 - 0.5), icx, icy);
    // A hole as large as its pad (a drill hit, a mounting hole) would erase
    // the whole pad; it stays a filled disc so drill files can be seen.
    const bool holeInside = item::padHole(r) < std::min(item::padX(r), item::padY(r));
    if (mode == kPadsDense && hole >= 2 && holeInside)
      sf.circle(ctx.screen.backgroundPixel, toInt(hole / 2 - 0.5), icx, icy);
  }
  if (!xorMode) padLabels(ctx, sf, r, h, xs, ys, filled);
  return true;
}

// --------------------------------------------------------------------- text

void drawLabel(const Context& ctx, Surface& sf, uint32_t pixel, std::string_view text, int64_t x, int64_t y,
               uint16_t angle, int32_t u, int mode) {
  TextPen pen(ctx, &sf, pixel, static_cast<double>(x), static_cast<double>(y), angle, u, u, mode);
  pen.run(text);
}

namespace {

// The width the strokes of a text reach (largest X - start - 2 X units): at
// least 1 for normal text, negative (at most -1) for mirrored text.
int32_t measuredTextLength(const Context& ctx, std::string_view s, int32_t u, int32_t xu, int font) {
  TextPen pen(ctx, nullptr, 0, 0, 0, 0, u, xu, kTextThin);
  pen.font = font;
  pen.run(s);
  int64_t measured = pen.extreme - 2LL * pen.xu;
  if (xu >= 0) return static_cast<int32_t>(std::clamp<int64_t>(measured, 1, INT32_MAX));
  return static_cast<int32_t>(std::clamp<int64_t>(measured < 0 ? measured : -1, INT32_MIN + 1, -1));
}

// The bands of one redraw may draw a text at the same time: both measure it
// alike and store the same values, through atomic references so that equal
// stores do not race, and only when changed, so that a steady redraw writes
// nothing the other band reads.
void storeMeasured(Record& r, int32_t length, int32_t lines) {
  std::atomic_ref<int32_t> storedLength(r.w3), storedLines(r.w5);
  if (storedLength.load(std::memory_order_relaxed) != length) storedLength.store(length, std::memory_order_relaxed);
  if (storedLines.load(std::memory_order_relaxed) != lines) storedLines.store(lines, std::memory_order_relaxed);
}

}  // namespace

int32_t textLineCount(const Record& r) { return r.w5; }

bool drawText(Context& ctx, Surface& sf, uint32_t pixel, Handle h) {
  Record& r = ctx.rec(h);
  int mode = ctx.params.drawText & 3;
  if (r.ext == kNull || r.size == 0 || mode == kTextDisabled) return false;
  int32_t u = std::max(1, r.size / 6);
  int32_t length = std::atomic_ref<int32_t>(r.w3).load(std::memory_order_relaxed);
  int32_t xu = length < 0 ? -u : u;
  int font = item::textFont(r), anchor = item::textAnchor(r);
  std::string s = shownText(ctx, h);
  if (s.empty()) return false;
  int extra = 0;
  for (unsigned char ch : s) {
    if (ch == kFieldSeparator && font != 15) break;
    if (ch == kLineBreak) ++extra;
  }
  // The text is measured before it is placed, so that centred and right anchored text sits where it will
  // stay, from the first redraw on; the measured length and the number of lines are stored back.
  length = measuredTextLength(ctx, s, u, xu, font);
  storeMeasured(r, length, extra + 1);
  int64_t x0 = 0, y0 = 0;
  switch (anchor & 3) {
    case 1:
      x0 = -static_cast<int64_t>(length) / 2;
      break;
    case 2:
      x0 = -static_cast<int64_t>(length);
      break;
    case 3:
      x0 = 2LL * xu;
      break;
  }
  // Multi-line blocks keep their anchor: the last line sits on a bottom or
  // base anchor, a centred block is centred, a top anchor holds the first line.
  int64_t block = 9LL * u * extra;
  switch ((anchor >> 2) & 3) {
    case 0:
      y0 = block;
      break;
    case 1:
      y0 = -3LL * u + block / 2;
      break;
    case 2:
      y0 = -6LL * u;
      break;
    case 3:
      y0 = 2LL * u + block;
      break;
  }
  ToPixel px(ctx.view);
  Rotation rot(item::textAngle(r));
  auto wpt = [&](double fx, double fy, double& ox, double& oy) {
    ox = px.fx(r.x1 + fx * rot.c - fy * rot.s);
    oy = px.fy(r.y1 + fx * rot.s + fy * rot.c);
  };
  double bx[4], by[4];
  double left = static_cast<double>(x0 - xu), right = static_cast<double>(x0 + length + xu);
  double bottom = static_cast<double>(y0 - u - block), top = static_cast<double>(y0 + 7LL * u);
  wpt(left, bottom, bx[0], by[0]);
  wpt(right, bottom, bx[1], by[1]);
  wpt(right, top, bx[2], by[2]);
  wpt(left, top, bx[3], by[3]);
  if (missesClip(sf, *std::min_element(bx, bx + 4), *std::min_element(by, by + 4), *std::max_element(bx, bx + 4),
                 *std::max_element(by, by + 4)))
    return false;
  if (px.len(6.0 * u) < 3) {  // greeked: one line along the base
    double ax, ay, cx, cy;
    wpt(static_cast<double>(x0), static_cast<double>(y0 - block), ax, ay);
    wpt(static_cast<double>(x0 + length), static_cast<double>(y0 - block), cx, cy);
    sf.line(pixel, toInt(ax), toInt(ay), toInt(cx), toInt(cy));
    return true;
  }
  TextPen pen(ctx, &sf, pixel, r.x1, r.y1, item::textAngle(r), u, xu, mode);
  pen.font = font;
  pen.strokeWidth = font == 15 ? u - u / 4 : u - u / 8;
  pen.x = pen.lineStart = pen.extreme = x0;
  pen.y = y0;
  pen.run(s);
  return true;
}

// ---------------------------------------------------------------- dispatch

bool drawItem(Context& ctx, Handle h, int32_t padGrow, int layerColour) {
  return drawItem(ctx, ctx.screen.surface, h, padGrow, layerColour);
}

bool drawItem(Context& ctx, Surface& sf, Handle h, int32_t padGrow, int layerColour) {
  const Record& r = ctx.rec(h);
  if (r.hidden()) return false;
  uint8_t type = r.type();
  if (type == kSentinel) {
    if (!componentRingEnd(ctx.pool, h) || !(ctx.params.drawTags & kTagOrigins)) return false;
    drawMarker(ctx, sf, ctx.screen.drawingXor ? ctx.screen.xorPixel : ctx.screen.markerPixel, r.x1, r.y1);
    return true;
  }
  int layer = layerColour >= 0 ? layerColour : r.layer;
  bool thruPad = type == kPad && !(item::padType(r) & item::kSurfaceMount);
  if (layerColour < 0 && thruPad && (ctx.layer(layer).color & kColorDisabled)) layer = 0;  // pad master colour
  if (ctx.layer(layer).color & kColorDisabled) return false;
  uint32_t pixel = ctx.screen.drawingXor ? ctx.screen.xorPixel
                   : r.hilighted()       ? ctx.screen.hilightPixel
                                         : ctx.screen.layerPixel[layer];
  switch (type) {
    case kLine: {
      bool drawn = drawLine(ctx, sf, pixel, h);
      if (!drawn || ctx.screen.drawingXor || item::isSolid(r)) return drawn;
      double wpx = worldLengthToPixelsExact(ctx.view, r.size);
      if (r.hilighted() && wpx > 1)
        sf.thickLine(ctx.screen.layerPixel[layer], wpx / 8, worldToPixelX(ctx.view, r.x1),
                     worldToPixelY(ctx.view, r.y1), worldToPixelX(ctx.view, r.w3), worldToPixelY(ctx.view, r.w4));
      if ((ctx.params.drawTags & kTagEndpoints) && (ctx.layer(r.layer).type & 3) == 2) {
        drawMarker(ctx, sf, ctx.screen.markerPixel, r.x1, r.y1);
        drawMarker(ctx, sf, ctx.screen.markerPixel, r.w3, r.w4);
      }
      return true;
    }
    case kArc: {
      bool drawn = drawArc(ctx, sf, pixel, h);
      if (drawn && !ctx.screen.drawingXor && (ctx.params.drawTags & kTagArcCenters))
        drawMarker(ctx, sf, ctx.screen.markerPixel, r.x1, r.y1);
      return drawn;
    }
    case kPad:
      return drawPad(ctx, sf, pixel, h, padGrow);
    case kText:
      return drawText(ctx, sf, pixel, h);
    default:
      return false;
  }
}

bool drawGhost(Context& ctx, Handle h) {
  bool saved = ctx.screen.drawingXor;
  ctx.screen.drawingXor = true;
  bool drawn = drawItem(ctx, h);
  ctx.screen.drawingXor = saved;
  return drawn;
}

}  // namespace trelmo
