// Shared set-up of the screen tests: a context with a design file, a pixel
// buffer with guard bytes around it, and item builders.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/design_files.h"
#include "database/rings.h"
#include "database/signals.h"
#include "screen/draw_items.h"
#include "screen/png_file.h"
#include "screen/redraw.h"

namespace trelmo::test {

constexpr size_t kGuard = 64;
constexpr uint8_t kGuardByte = 0xA5;

class Canvas {
 public:
  Canvas(int w, int h, const PixelFormat& f, int extraPitch = 0)
      : width(w),
        height(h),
        format(f),
        pitch(w * f.bytesPerPixel() + extraPitch),
        memory(kGuard * 2 + static_cast<size_t>(pitch) * h, kGuardByte) {}
  uint8_t* pixels() { return memory.data() + kGuard; }
  bool guardsIntact() const {
    for (size_t i = 0; i < kGuard; ++i)
      if (memory[i] != kGuardByte || memory[memory.size() - 1 - i] != kGuardByte) return false;
    return true;
  }
  int width, height;
  PixelFormat format;
  int pitch;
  std::vector<uint8_t> memory;
};

inline void nameLayer(Params& p, int n, const char* name, uint8_t type, uint32_t colour) {
  LayerEntry& e = p.layers[n];
  std::snprintf(e.name, sizeof e.name, "%s", name);
  e.type = type;
  e.color = colour;
}

// A board with a small layer table: 0 pad master, 1 top copper, 2 bottom
// copper, 3 silk, 4 top mask, 5 top paste.
class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file = newDesignFile(ctx, "test.pcb");
    ASSERT_NE(file, kNull);
    Params& p = ctx.params;
    for (auto& e : p.layers) e = LayerEntry{};
    nameLayer(p, 0, "Pad Master", kCopper, 0x00AA00);
    nameLayer(p, 1, "Top Copper", kCopper, 0xAA0000);
    nameLayer(p, 2, "Bottom Copper", kCopper | kBottomSide, 0x0000AA);
    nameLayer(p, 3, "Silk", kSilk, 0xFFFF00);
    nameLayer(p, 4, "Top Mask", kMask, 0xAA00AA);
    nameLayer(p, 5, "Top Paste", kPaste, 0x00AAAA);
    p.currentLayer = 3;
    p.backgroundColor = 0x000000;
    p.gridColor = 0xFFFFFF;
    p.gridSpacing = 0;
    p.drawLines = kLinesDense;
    p.drawPads = kPadsDense;
    p.drawText = kTextFilled;
    p.drawTags = 0;
  }

  void attach(Canvas& c) { attachSurface(ctx, c.pixels(), c.pitch, c.width, c.height, c.format, false); }
  // 100 pixels per inch with world (0, 0) at the bottom-left pixel.
  void viewAt100Dpi() {
    ctx.view.viewScale = 100u << 16;
    ctx.view.viewOriginX = 0;
    ctx.view.viewOriginY = 0;
  }

  Handle line(int layer, int32_t width, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return createItem(ctx.pool, file, kLine, static_cast<uint8_t>(layer), static_cast<uint16_t>(width), x1, y1, x2, y2,
                      kNull);
  }
  Handle pad(int layer, uint8_t type, uint16_t xs, uint16_t ys, uint16_t hole, uint16_t angle, int32_t x, int32_t y,
             Handle ring = kNull) {
    Handle h = createItem(ctx.pool, ring ? ring : file, kPad, static_cast<uint8_t>(layer), type, x, y, 0, 0, kNull);
    item::setPad(ctx.rec(h), xs, ys, hole, angle);
    return h;
  }
  Handle arc(int layer, int32_t width, int32_t x, int32_t y, int32_t radius, uint16_t start, uint16_t sweep,
             uint16_t ecc = 0, uint16_t axis = 0) {
    Handle h =
        createItem(ctx.pool, file, kArc, static_cast<uint8_t>(layer), static_cast<uint16_t>(width), x, y, 0, 0, kNull);
    item::setArc(ctx.rec(h), radius, start, sweep, ecc, axis);
    return h;
  }
  Handle text(int layer, int32_t height, int32_t x, int32_t y, const std::string& s, uint8_t anchorFont = 0,
              uint16_t angle = 0, int32_t length = 1, Handle ring = kNull) {
    Handle h = createItem(ctx.pool, ring ? ring : file, kText, static_cast<uint8_t>(layer),
                          static_cast<uint16_t>(height), x, y, 0, 0, kNull);
    item::setText(ctx.rec(h), length, angle, anchorFont);
    storeText(ctx, h, s);
    return h;
  }
  Handle solid(int layer, std::initializer_list<std::pair<int32_t, int32_t>> pts) {
    Handle h = createItem(ctx.pool, file, kLine, static_cast<uint8_t>(layer), 0, 0, 0, 0, 0, kNull);
    for (auto [x, y] : pts) appendVertex(ctx, h, x, y);
    return h;
  }
  // A component header with its ring; returns the ring's sentinel.
  Handle component(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const std::string& fields,
                   Handle* header = nullptr) {
    Handle hd = createItem(ctx.pool, file, kComponent, 0, 0, x1, y1, x2, y2, kNull);
    Handle s = newRing(ctx.pool, kComponentRing);
    ctx.rec(hd).ext = s;
    ctx.rec(s).w4 = static_cast<int32_t>(hd);
    ctx.rec(s).x1 = x1, ctx.rec(s).y1 = y1;
    storeText(ctx, s, fields);
    if (header) *header = hd;
    return s;
  }

  uint32_t colourAt(int x, int y) {
    return pixelToColour(ctx.screen.surface.format(), ctx.screen.surface.pixelAt(x, y));
  }
  long countColour(uint32_t rgb) {
    long n = 0;
    for (int y = 0; y < ctx.screen.surface.height(); ++y)
      for (int x = 0; x < ctx.screen.surface.width(); ++x) n += colourAt(x, y) == rgb;
    return n;
  }

  Context ctx;
  Handle file = kNull;
};

}  // namespace trelmo::test
