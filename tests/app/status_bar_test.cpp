// The status band: glyphs from the bitmap font, the band alone is touched,
// and a long message never covers the layer name or the clock.
#include "app/status_bar.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/bitmap_font.h"
#include "context.h"
#include "screen/view.h"

namespace trelmo::app {
namespace {

struct Buffer {
  static constexpr int W = 400, H = 100;
  std::vector<uint8_t> pixels = std::vector<uint8_t>(W * H * 4, 0);
  Surface s;
  Buffer() {
    s.attach(pixels.data(), W * 4, W, H, PixelFormat::depth(32));
    s.setClip(s.bounds());
  }
};

TEST(StatusBarText, GlyphsComeFromTheFontTableAndStayInTheirCells) {
  Buffer b;
  const int end = drawText(b.s, 10, 20, "A\xF8", 0xFFFFFF, 0x000080);  // 'A' and the degree sign
  EXPECT_EQ(end, 26);
  const auto& font = bitmapFont();
  for (int row = 0; row < 16; ++row)
    for (int bit = 0; bit < 8; ++bit) {
      const bool ink = font['A' * 16 + row] & (0x80 >> bit);
      EXPECT_EQ(b.s.pixelAt(10 + bit, 20 + row), ink ? 0xFFFFFFu : 0x000080u) << row << "," << bit;
    }
  int degreeInk = 0;
  for (int row = 0; row < 16; ++row) degreeInk += font[0xF8 * 16 + row] != 0;
  EXPECT_GT(degreeInk, 0) << "the degree sign of the design's character set has a glyph";
  EXPECT_EQ(b.s.pixelAt(9, 20), 0u);
  EXPECT_EQ(b.s.pixelAt(26, 20), 0u);
  EXPECT_EQ(b.s.pixelAt(10, 36), 0u);
}

TEST(StatusBarBand, OnlyTheRowsBelowTheAreaAreDrawn) {
  Buffer b;
  const Rect area{0, 0, Buffer::W - 1, Buffer::H - kStatusBarRows - 1};
  b.s.fillRect(0x00FF00, 0, 0, Buffer::W - 1, Buffer::H - 1);
  StatusBarText t{"X 1.000 Y 2.000", "3 Top", "12:34", 0xFF0000};
  drawStatusBar(b.s, area, t, StatusBarColours{});
  for (int x = 0; x < Buffer::W; x += 7) {
    EXPECT_EQ(b.s.pixelAt(x, area.bottom), 0x00FF00u);
    EXPECT_NE(b.s.pixelAt(x, area.bottom + 1), 0x00FF00u);
    EXPECT_NE(b.s.pixelAt(x, Buffer::H - 1), 0x00FF00u);
  }
  EXPECT_EQ(b.s.clip(), b.s.bounds()) << "the caller's clip rectangle comes back";
}

TEST(StatusBarBand, ALongMessageLeavesTheLayerAndClockAlone) {
  const Rect area{0, 0, Buffer::W - 1, Buffer::H - kStatusBarRows - 1};
  Buffer shortText, longText;
  drawStatusBar(shortText.s, area, {"ok", "1 Copper", "09:05", 0}, StatusBarColours{});
  drawStatusBar(longText.s, area, {std::string(200, 'X'), "1 Copper", "09:05", 0}, StatusBarColours{});
  const int layerX = Buffer::W - 4 - 5 * 8 - (8 + 2) * 8;
  for (int y = area.bottom + 1; y < Buffer::H; ++y)
    for (int x = layerX; x < Buffer::W; ++x)
      ASSERT_EQ(shortText.s.pixelAt(x, y), longText.s.pixelAt(x, y)) << x << "," << y;
}

TEST(StatusBarBand, TheProgressBarMarginIsLeftUntouchedByText) {
  const Rect area{0, 0, Buffer::W - 1, Buffer::H - kStatusBarRows - 1};
  Buffer plain, withMargin;
  drawStatusBar(plain.s, area, {"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", "", "", 0}, StatusBarColours{});
  drawStatusBar(withMargin.s, area, {"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", "", "", 0}, StatusBarColours{}, kProgressWidth);
  const uint32_t grey = 0xC0C0C0;
  bool textUnderBar = false, textInPlain = false;
  for (int y = area.bottom + 1; y < Buffer::H; ++y)
    for (int x = 0; x < kProgressWidth; ++x) {
      textUnderBar |= withMargin.s.pixelAt(x, y) != grey;
      textInPlain |= plain.s.pixelAt(x, y) != grey;
    }
  EXPECT_FALSE(textUnderBar);
  EXPECT_TRUE(textInPlain);
}

}  // namespace
}  // namespace trelmo::app
