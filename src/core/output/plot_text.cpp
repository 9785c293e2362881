// Text items as pen strokes for the plot writers: the stroke font walked as
// the screen walks it, measured first so that the anchor places the text where
// the screen shows it.
#include <cmath>

#include "context.h"
#include "database/chains.h"
#include "output/plot_scene.h"
#include "resources/stroke_font.h"
#include "screen/draw_items.h"

namespace trelmo {

namespace {

struct StrokeWalk {
  int32_t u, xu;
  int font;
  int64_t x = 0, y = 0, lineStart = 0, extreme = 0;
  std::vector<PlotPath>* out = nullptr;  // null: measure only
  double ox = 0, oy = 0, c = 1, s = 0, width = 0;

  double wx(int64_t fx, int64_t fy) const { return ox + fx * c - fy * s; }
  double wy(int64_t fx, int64_t fy) const { return oy + fx * s + fy * c; }

  void segment(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    if (!out) return;
    if (!out->empty()) {
      PlotPath& last = out->back();
      if (std::fabs(last.endX() - wx(x1, y1)) < 0.5 && std::fabs(last.endY() - wy(x1, y1)) < 0.5) {
        last.lineTo(wx(x2, y2), wy(x2, y2));
        return;
      }
    }
    PlotPath p;
    p.x0 = wx(x1, y1), p.y0 = wy(x1, y1), p.width = width;
    p.lineTo(wx(x2, y2), wy(x2, y2));
    out->push_back(std::move(p));
  }

  void track() { extreme = xu >= 0 ? std::max(extreme, x) : std::min(extreme, x); }

  void glyph(uint8_t code) {
    const GlyphBytes g = glyphBytes(kStrokeFont, code);
    const int64_t start = x;
    auto nib = [](int v) { return v >= 8 ? v - 16 : v; };
    if (font == 15 && u > 0) {  // narrow glyphs are centred in the cell
      int sum = 0;
      for (const uint8_t* k = g.begin; k < g.end; ++k)
        if (*k) sum += nib(*k >> 4);
      x += static_cast<int64_t>(u) * (kFontCell - sum) / 2;
    }
    const uint8_t* i = g.begin;
    bool first = true, pending = false;
    if (i < g.end && *i == 0) ++i, first = false;
    for (; i < g.end; ++i) {
      if (*i == 0) {
        pending = !pending;
        continue;
      }
      const bool up = first || pending || i + 1 == g.end;
      first = pending = false;
      const int64_t nx = x + static_cast<int64_t>(nib(*i >> 4)) * xu, ny = y + static_cast<int64_t>(nib(*i & 15)) * u;
      if (!up) segment(x, y, nx, ny);
      x = nx, y = ny;
      track();
    }
    if (font == 15) x = start + static_cast<int64_t>(kFontCell) * xu;
    track();
  }

  void run(std::string_view text) {
    for (unsigned char ch : text) {
      if (ch == kTab) {
        const int64_t cell = static_cast<int64_t>(kFontCell) * xu;
        if (cell != 0) x = lineStart + ((x - lineStart) / cell + 8) / 8 * 8 * cell;
        track();
      } else if (ch == kLineBreak) {
        x = lineStart;
        y -= 9LL * u;
      } else if (ch == kFieldSeparator && font != 15) {
        return;
      } else if (ch == 192) {
        width = width * 4 / 5;
      } else if (ch == 193) {
        width += width / 4;
      } else if (ch == 194) {
        u = u * 4 / 5, xu = xu * 4 / 5;
      } else if (ch == 195) {
        u += u / 4, xu += xu / 4;
      } else {
        glyph(ch);
      }
    }
  }
};

}  // namespace

void textPaths(const Context& ctx, uint32_t h, std::vector<PlotPath>& out) {
  const Record& r = ctx.rec(h);
  if (r.ext == kNull || r.size == 0) return;
  const std::string text = shownText(ctx, h);
  if (text.empty()) return;
  const int32_t u = std::max(1, r.size / 6);
  const int32_t xu = item::textLength(r) < 0 ? -u : u;
  const int font = item::textFont(r), anchor = item::textAnchor(r);
  int extra = 0;
  for (unsigned char ch : text) {
    if (ch == kFieldSeparator && font != 15) break;
    if (ch == kLineBreak) ++extra;
  }
  StrokeWalk measure{u, xu, font};
  measure.run(text);
  int64_t length = measure.extreme - 2LL * xu;
  length = xu >= 0 ? std::max<int64_t>(length, 1) : std::min<int64_t>(length, -1);
  const int64_t starts[4] = {0, -length / 2, -length, 2LL * xu};
  const int64_t block = 9LL * u * extra;
  const int64_t rises[4] = {block, -3LL * u + block / 2, -6LL * u, 2LL * u + block};
  StrokeWalk walk{u, xu, font};
  walk.x = walk.lineStart = walk.extreme = starts[anchor & 3];
  walk.y = rises[(anchor >> 2) & 3];
  walk.out = &out;
  walk.ox = r.x1, walk.oy = r.y1;
  const double a = item::textAngle(r) * 2 * M_PI / 65536.0;
  walk.c = std::cos(a), walk.s = std::sin(a);
  walk.width = font == 15 ? u - u / 4 : u - u / 8;
  walk.run(text);
}

}  // namespace trelmo
