#include "app/status_bar.h"

#include <algorithm>
#include <cstring>

#include "app/bitmap_font.h"
#include "context.h"
#include "database/design_files.h"
#include "screen/view.h"

namespace trelmo::app {

int drawText(Surface& s, int x, int y, std::string_view text, uint32_t ink, uint32_t paper) {
  const auto& font = bitmapFont();
  const Rect clip = s.clip();
  for (unsigned char ch : text) {
    if (x > clip.right) break;
    if (x + kGlyphWidth > clip.left) {
      const uint8_t* glyph = font.data() + ch * kGlyphHeight;
      for (int row = 0; row < kGlyphHeight; ++row)
        for (int bit = 0; bit < kGlyphWidth; ++bit) s.plot(glyph[row] & (0x80 >> bit) ? ink : paper, x + bit, y + row);
    }
    x += kGlyphWidth;
  }
  return x;
}

void drawStatusBar(Surface& s, const Rect& area, const StatusBarText& text, const StatusBarColours& c, int leftMargin) {
  if (!s.valid()) return;
  const Rect band = intersect({0, area.bottom + 1, s.width() - 1, s.height() - 1}, s.bounds());
  if (band.empty()) return;
  const Rect savedClip = s.clip();
  s.setClip(band);
  const PixelFormat& f = s.format();
  const uint32_t paper = colourToPixel(f, c.background);
  s.fillRect(paper, band.left, band.top, band.right, band.bottom);
  const int y = band.top + kStatusTextTop;
  const int clockX = band.right + 1 - 4 - kGlyphWidth * static_cast<int>(text.clock.size());
  // The layer field: two cells in the layer's colour, a space, the name.
  const int layerCells = text.layer.empty() ? 0 : kLayerSwatchCells + 1;
  const int layerX = clockX - kGlyphWidth * (layerCells + static_cast<int>(text.layer.size()) + 2);
  // The message or readouts never run into the layer name and the clock.
  s.setClip(
      {band.left + leftMargin, band.top, std::max(band.left + leftMargin - 1, layerX - kGlyphWidth), band.bottom});
  drawText(s, band.left + leftMargin + 4, y, text.left, colourToPixel(f, c.text), paper);
  s.setClip(band);
  if (layerX > band.left + leftMargin && !text.layer.empty()) {
    s.fillRect(colourToPixel(f, text.layerColour & 0xFFFFFF), layerX, y, layerX + kLayerSwatchCells * kGlyphWidth - 1,
               y + kGlyphHeight - 1);
    drawText(s, layerX + layerCells * kGlyphWidth, y, text.layer, colourToPixel(f, c.text), paper);
  }
  drawText(s, clockX, y, text.clock, colourToPixel(f, c.text), paper);
  s.setClip(savedClip);
}

StatusBarText statusBarText(const Context& ctx, const std::string& message, const std::string& clock) {
  StatusBarText t;
  t.clock = clock;
  if (!message.empty()) {
    t.left = message;
  } else if (ctx.current != kNull) {
    t.left = cursorReadout(ctx.view, ctx.params);
  }
  if (ctx.current != kNull) {
    const int n = ctx.params.currentLayer & 255;
    const LayerEntry& layer = ctx.layer(n);
    t.layer.assign(layer.name, strnlen(layer.name, sizeof layer.name));
    while (!t.layer.empty() && t.layer.back() == ' ') t.layer.pop_back();
    if (t.layer.empty()) t.layer = std::to_string(n);
    if (fileUnsaved(ctx.rec(ctx.current))) t.layer += '*';
    // A layer drawn in the band's own grey would vanish: show it in black.
    const uint32_t colour = layer.color & 0xFFFFFF;
    t.layerColour = colour == 0xC0C0C0 ? 0 : colour;
  }
  return t;
}

}  // namespace trelmo::app
