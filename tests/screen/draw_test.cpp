#include <gtest/gtest.h>

#include <random>

#include "screen_fixture.h"

namespace trelmo::test {
namespace {

class Drawing : public ScreenTest {
 protected:
  Drawing() : canvas(200, 150, PixelFormat::depth(32)) {}
  void SetUp() override {
    ScreenTest::SetUp();
    attach(canvas);
    viewAt100Dpi();
  }
  // Bounding box of the pixels that are not background.
  Rect inked() {
    Rect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int y = 0; y < canvas.height; ++y)
      for (int x = 0; x < canvas.width; ++x)
        if (colourAt(x, y) != ctx.params.backgroundColor)
          r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x), std::max(r.bottom, y)};
    return r;
  }
  Canvas canvas;
};

constexpr int32_t kU = 6553;  // font unit of a 0.6 inch text: 10 pixels at 100 dpi

TEST_F(Drawing, TextUnitsHeightAdvanceAndMeasuredLength) {
  ctx.params.drawText = kTextThin;
  Handle t = text(3, 6 * kU, kInch / 2, kInch / 2, "H");
  ASSERT_TRUE(drawDesign(ctx, true));
  Rect r = inked();
  EXPECT_NEAR(r.left, 50, 1);
  EXPECT_NEAR(r.right, 50 + 40, 1);  // capitals are 4 units wide
  EXPECT_NEAR(r.bottom, 149 - 50, 1);
  EXPECT_NEAR(r.top, 149 - 50 - 60, 1);  // and 6 units high
  EXPECT_EQ(item::textLength(ctx.rec(t)), 4 * kU);
  Handle two = text(3, 600, 0, 0, "HH");
  ctx.view.viewScale = 0x10000000;  // 600 units are 37 pixels
  drawDesign(ctx, true);
  EXPECT_EQ(item::textLength(ctx.rec(two)), 600 + 400);  // unit 100: advance 600, then a capital of 400
}

TEST_F(Drawing, MirroredTextRunsLeftAndKeepsANegativeLength) {
  ctx.params.drawText = kTextThin;
  Handle t = text(3, 6 * kU, kInch, kInch / 2, "AB", 0, 0, -1);
  drawDesign(ctx, true);
  Rect r = inked();
  EXPECT_LE(r.right, 101);
  EXPECT_NEAR(r.left, 100 - 100, 1);
  EXPECT_EQ(item::textLength(ctx.rec(t)), -10 * kU);
  drawDesign(ctx, true);  // a second redraw keeps it
  EXPECT_EQ(item::textLength(ctx.rec(t)), -10 * kU);
}

TEST_F(Drawing, TabLineBreakAndControlBytes) {
  Handle tab = text(3, 600, 0, 0, "A\tB");
  Handle lines = text(3, 600, 0, 0, "ABC\377D");
  Handle sep = text(3, 600, 0, 0, "AB\177CDEF");
  Handle bigger = text(3, 600, 0, 0, "\303A");
  ctx.view.viewScale = 0x10000000;
  drawDesign(ctx, true);
  EXPECT_EQ(item::textLength(ctx.rec(tab)), 8 * 600 + 600 - 200);  // B starts at the eighth cell
  EXPECT_EQ(item::textLength(ctx.rec(lines)), 3 * 600 - 200);      // the widest line
  EXPECT_EQ(item::textLength(ctx.rec(sep)), 2 * 600 - 200);        // a field separator ends the text
  EXPECT_EQ(item::textLength(ctx.rec(bigger)), 125 * 4);           // unit grown by a quarter
}

TEST_F(Drawing, AttributeReferencesShowComponentFields) {
  Handle ring = component(0, 0, kInch, kInch, std::string("DIP14\177U17\17774HC00"));
  Handle ref = text(3, 600, 0, 0, "&@", 0, 0, 1, ring);
  Handle value = text(3, 600, 0, 0, "&2", 0, 0, 1, ring);
  Handle missing = text(3, 600, 0, 0, "&7", 0, 0, 1, ring);
  ctx.view.viewScale = 0x10000000;
  drawDesign(ctx, true);
  EXPECT_EQ(item::textLength(ctx.rec(ref)), 3 * 600 - 200);    // "U17"
  EXPECT_EQ(item::textLength(ctx.rec(value)), 6 * 600 - 200);  // "74HC00"
  EXPECT_EQ(item::textLength(ctx.rec(missing)), 1);            // nothing to show
}

TEST_F(Drawing, SmallTextIsGreekedIntoOneLine) {
  text(3, 1200, kInch / 2, kInch / 2, "HELLO", 0, 0, 5 * 1200 - 400);  // cap height under 3 pixels
  drawDesign(ctx, true);
  Rect r = inked();
  EXPECT_EQ(r.top, r.bottom);
  EXPECT_GT(r.right - r.left, 6);
}

TEST_F(Drawing, PassOrderPutsTheActiveLayerAndPadsOnTop) {
  line(1, 4000, 0, kInch / 2, 2 * kInch, kInch / 2);
  line(2, 4000, 0, kInch / 2, 2 * kInch, kInch / 2);
  line(3, 100, 0, 0, kInch, kInch);
  pad(1, item::kRoundVia, 8000, 8000, 0, 0, kInch, kInch / 2);
  ctx.params.currentLayer = 3;
  EXPECT_EQ(layerPassOrder(ctx), (std::vector<int>{2, 1, 0, 3}));
  ctx.params.currentLayer = 2;
  EXPECT_EQ(layerPassOrder(ctx), (std::vector<int>{3, 1, 2, kPadMasterPass}));
  drawDesign(ctx, true);
  EXPECT_EQ(colourAt(50, 149 - 50), 0x0000AAu);   // layer 2 over layer 1
  EXPECT_EQ(colourAt(100, 149 - 50), 0xAA0000u);  // the via (layer 1 colour) over the active copper
  ctx.params.currentLayer = 1;
  drawDesign(ctx, true);
  EXPECT_EQ(colourAt(50, 149 - 50), 0xAA0000u);
  // Unnamed and disabled layers have no pass.
  ctx.params.layers[2].color |= kColorDisabled;
  ctx.params.layers[3].name[0] = 0;
  EXPECT_EQ(layerPassOrder(ctx), (std::vector<int>{1, kPadMasterPass}));
}

TEST_F(Drawing, ThroughHolePadOnADisabledLayerUsesThePadMasterColour) {
  ctx.params.layers[1].color |= kColorDisabled;
  pad(1, item::kRoundVia, 8000, 8000, 0, 0, kInch, kInch / 2);
  pad(1, item::kRectSmt, 8000, 8000, 0, 0, kInch / 2, kInch / 2);
  line(1, 4000, 0, kInch, 2 * kInch, kInch);
  drawDesign(ctx, true);
  EXPECT_EQ(colourAt(100, 99), 0x00AA00u);
  EXPECT_EQ(colourAt(50, 99), 0u);  // the surface-mount pad is not drawn
  EXPECT_EQ(colourAt(100, 49), 0u);
}

// In dense mode a hole shows as a background disc, but a drill hit whose
// hole is as large as the pad stays visible.
TEST_F(Drawing, HolesAsLargeAsTheirPadDoNotEraseIt) {
  ctx.params.drawPads = kPadsDense;
  pad(0, item::kRoundVia, 13107, 13107, 6554, 0, kInch / 2, kInch / 2);  // 0.2 pad, 0.1 hole
  pad(0, item::kRoundVia, 13107, 13107, 13107, 0, 3 * kInch / 2, kInch / 2);
  drawDesign(ctx, true);
  EXPECT_EQ(colourAt(50, 99), ctx.params.backgroundColor);      // the hole
  EXPECT_NE(colourAt(50 + 7, 99), ctx.params.backgroundColor);  // the ring around it
  EXPECT_NE(colourAt(150, 99), ctx.params.backgroundColor);     // the drill hit
}

TEST_F(Drawing, PadsOnMaskAndPasteLayersGrowAndShrink) {
  ctx.params.drawPads = kPadsDense | kPadMaskPaste;
  ctx.params.maskSwell = 6554;    // 0.1 inch: 10 pixels larger
  ctx.params.pasteShrink = 3277;  // 5 pixels smaller
  ctx.params.currentLayer = 3;
  pad(1, item::kRectThru, 13107, 13107, 0, 0, kInch / 2, kInch / 2);  // 20 pixels square
  pad(1, item::kRectSmt, 13107, 13107, 0, 0, 3 * kInch / 2, kInch / 2);
  drawDesign(ctx, true);
  EXPECT_EQ(colourAt(50 + 13, 99), 0xAA00AAu);   // the mask ring around the through-hole pad
  EXPECT_EQ(colourAt(50, 99), 0xAA0000u);        // the pad itself on top
  EXPECT_EQ(colourAt(150 + 13, 99), 0xAA00AAu);  // and around the top surface-mount pad
  EXPECT_EQ(colourAt(150 + 8, 99), 0xAA0000u);   // paste is smaller than the pad: the pad covers it
}

TEST_F(Drawing, ComponentsOutsideTheDirtyRectanglesAreSkippedWhole) {
  Handle header;
  Handle ring = component(50 * kInch, 50 * kInch, 51 * kInch, 51 * kInch, "X", &header);
  createItem(ctx.pool, ring, kLine, 1, 4000, 0, kInch / 2, 2 * kInch, kInch / 2, kNull);
  drawDesign(ctx, true);
  EXPECT_EQ(colourAt(50, 99), 0u);
  ctx.rec(header).x1 = 0, ctx.rec(header).y1 = 0;  // a box that reaches the view
  drawDesign(ctx, true);
  EXPECT_EQ(colourAt(50, 99), 0xAA0000u);
}

// Items are culled by their boxes before drawing: redrawing the view in thin
// strips, two at a time, must give the pixels of one whole redraw, with wide
// tracks, grown mask and paste pads, turned pads and arcs reaching across the
// strip edges.
TEST_F(Drawing, RedrawInStripsMatchesTheWholeRedraw) {
  ctx.params.drawPads = kPadsDense | kPadMaskPaste;
  ctx.params.maskSwell = 6554;
  ctx.params.pasteShrink = -3277;  // paste grown rather than shrunk
  ctx.params.currentLayer = 1;
  std::mt19937 rng(22);
  auto coord = [&](int32_t span) { return static_cast<int32_t>(rng() % span) - span / 8; };
  const uint8_t padTypes[] = {item::kRectThru, item::kOvalThru, item::kRoundVia, item::kOvalSmt, item::kRectSmt};
  for (int i = 0; i < 60; ++i) {
    int32_t x = coord(2 * kInch + kInch / 4), y = coord(3 * kInch / 2 + kInch / 4);
    switch (i % 5) {
      case 0:
        line(1 + i % 3, 1000 + static_cast<int32_t>(rng() % 20000), x, y, x + coord(kInch), y + coord(kInch));
        break;
      case 1:
        pad(i % 2 ? 1 : 2, padTypes[rng() % 5], static_cast<uint16_t>(3000 + rng() % 9000),
            static_cast<uint16_t>(3000 + rng() % 9000), 1500, static_cast<uint16_t>(rng() % 65536), x, y);
        break;
      case 2:
        arc(1, 500 + static_cast<int32_t>(rng() % 8000), x, y, 5000 + static_cast<int32_t>(rng() % 30000),
            static_cast<uint16_t>(rng() % 65536), static_cast<uint16_t>(rng() % 65536));
        break;
      case 3:
        arc(3, 20000, x, y, 9000, 0, 0);  // a full ring
        break;
      default:
        solid(2, {{x, y}, {x + 9000, y + 2000}, {x + 4000, y + 12000}});
    }
  }
  ASSERT_TRUE(drawDesign(ctx, true));
  const std::vector<uint32_t> whole = surfaceColours(ctx.screen.surface);
  Surface& sf = ctx.screen.surface;
  for (int across = 0; across < 2; ++across) {
    sf.setClip(sf.bounds());
    sf.fillRect(ctx.screen.gridPixel, 0, 0, canvas.width - 1, canvas.height - 1);
    const int length = across ? canvas.height : canvas.width;
    for (int at = 0; at < length; at += 14) {
      auto strip = [&](int from) {
        int to = std::min(from + 6, length - 1);
        return across ? Rect{0, from, canvas.width - 1, to} : Rect{from, 0, to, canvas.height - 1};
      };
      ctx.screen.dirty = {strip(at), strip(std::min(at + 7, length - 1))};
      ASSERT_TRUE(drawDesign(ctx, true));
    }
    ctx.screen.dirty.clear();
    EXPECT_EQ(surfaceColours(sf), whole) << (across ? "rows" : "columns");
  }
}

// Two bands on two threads put down the pixels of one whole redraw, whatever
// crosses the cut between them (row 75, 0.74 inch up): texts, arcs,
// polygons, pads, wide and one-pixel lines, in solid and in outline modes.
TEST_F(Drawing, TwoBandsDrawWhatOneThreadDraws) {
  const int32_t cut = 74 * kInch / 100;
  std::vector<Handle> texts;
  for (int i = 0; i < 8; ++i) {
    const int32_t x = i * kInch / 4;
    line(1, 40 * i, x, cut - kInch / 3, x + kInch / 5, cut + kInch / 3);  // one pixel and wider
    pad(2, i % 2 ? item::kOvalThru : item::kRectSmt, 9000, 4000, 2500, static_cast<uint16_t>(i * 5000), x,
        cut + (i - 4) * 700);
    arc(1, 300 + 900 * i, x, cut, 6000 + 2000 * i, static_cast<uint16_t>(i * 9000), static_cast<uint16_t>(i * 7000));
    texts.push_back(text(3, 3000 + 2000 * i, x, cut - 3000 * (i % 3), i % 2 ? "Ag\377jW" : "R12",
                         static_cast<uint8_t>((i % 4) | (i % 3) << 2), static_cast<uint16_t>(i * 6000)));
  }
  texts.push_back(text(3, 400, kInch / 2, cut, "greeked"));
  solid(2, {{0, cut - kInch / 2}, {kInch, cut + kInch / 2}, {2 * kInch, cut - kInch / 3}, {kInch / 3, cut}});
  line(1, 0, kInch / 8, cut - kInch / 8, kInch, cut + kInch / 8);  // a filled rectangle
  for (uint8_t mode : {uint8_t{3}, uint8_t{2}, uint8_t{1}}) {
    ctx.params.drawLines = ctx.params.drawPads = ctx.params.drawText = mode;
    for (Handle t : texts) ctx.rec(t).w3 = 1;
    ASSERT_TRUE(drawDesign(ctx, true, 1));
    const std::vector<uint32_t> whole = surfaceColours(ctx.screen.surface);
    std::vector<int32_t> lengths;
    for (Handle t : texts) lengths.push_back(item::textLength(ctx.rec(t))), ctx.rec(t).w3 = 1;
    ASSERT_TRUE(drawDesign(ctx, true, 2));
    EXPECT_EQ(surfaceColours(ctx.screen.surface), whole) << "mode " << int{mode};
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(item::textLength(ctx.rec(texts[i])), lengths[i]);
  }
  // Only this thread looks at input, and stops the other band when it finds
  // some, also when the items lie in that band alone.
  for (int i = 0; i < 300; ++i) line(1, 0, i * 600, 0, i * 600, kInch / 2);
  ctx.screen.zoomPending = [] { return true; };
  EXPECT_FALSE(drawDesign(ctx, true, 2));
  EXPECT_TRUE(ctx.screen.interrupted);
}

TEST_F(Drawing, PendingZoomInterruptsTheRedraw) {
  EXPECT_EQ(inputCheckInterval(0xFFFFFFFFu), 1);
  EXPECT_EQ(inputCheckInterval(0x0FFFFFFFu), 16);
  EXPECT_EQ(inputCheckInterval(0x00FFFFFFu), 128);
  for (int i = 0; i < 300; ++i) line(1, 1000, 0, i * 100, kInch / 2, i * 100);
  int polls = 0;
  ctx.screen.zoomPending = [&] { return ++polls == 2; };
  ctx.view.viewScale = 0x00FFFFFF;  // k = 128
  EXPECT_FALSE(drawDesign(ctx, true));
  EXPECT_TRUE(ctx.screen.interrupted);
  EXPECT_EQ(ctx.screen.itemsDrawn, 256);
  ctx.screen.zoomPending = nullptr;
  EXPECT_TRUE(drawDesign(ctx, true));
  EXPECT_EQ(ctx.screen.itemsDrawn, 300);
}

TEST_F(Drawing, GridDotsKeepTheirSpacingAndVanishBelowEightPixels) {
  ctx.params.gridSpacing = 0x55555555u;  // a third of an inch: 33.3 pixels
  ctx.view.viewScale = 100u << 16;
  drawDesign(ctx, true);
  long dots = countColour(0xFFFFFF);
  EXPECT_EQ(dots, 6L * 5L);                  // columns 0, 33, 67, 100, 133, 167; rows up to 149
  EXPECT_EQ(colourAt(67, 149), 0xFFFFFFu);   // 66.67 rounds to 67: no drift
  EXPECT_EQ(colourAt(167, 149), 0xFFFFFFu);  // 166.67 rounds to 167
  ctx.params.gridSpacing = 0x0CCCCCCDu;      // 0.05 inch: 5 pixels
  drawDesign(ctx, true);
  EXPECT_EQ(countColour(0xFFFFFF), 0);
}

TEST_F(Drawing, HilightedTracksAndGhosts) {
  Handle h = line(1, 13107, 0, kInch / 2, 2 * kInch, kInch / 2);  // 20 pixels wide
  ctx.rec(h).flags |= kHilight;
  ctx.params.hilightColor = 0xFFFFFF;
  refreshScreenPixels(ctx);
  drawDesign(ctx, true);
  EXPECT_EQ(colourAt(50, 99 - 8), 0xFFFFFFu);
  EXPECT_EQ(colourAt(50, 99), 0xAA0000u);  // centre line in the layer colour
  std::vector<uint8_t> before = canvas.memory;
  Handle g = line(2, 4000, 0, 0, 2 * kInch, kInch);
  drawGhost(ctx, g);
  EXPECT_NE(canvas.memory, before);
  drawGhost(ctx, g);
  EXPECT_EQ(canvas.memory, before);
}

TEST_F(Drawing, SameDesignAtEveryDepthGivesTheSameColours) {
  line(1, 8000, 0, kInch / 2, 2 * kInch, kInch / 2);
  pad(2, item::kRoundVia, 20000, 20000, 6000, 0, kInch, kInch);
  arc(3, 2000, kInch / 2, kInch, kInch / 3, 0, 30000);
  text(3, 6 * kU, kInch / 4, kInch / 4, "Aa1");
  solid(0, {{0, 0}, {kInch / 3, 0}, {0, kInch / 3}});
  ctx.params.backgroundColor = 0x909090;
  refreshScreenPixels(ctx);
  drawDesign(ctx, true);
  std::vector<uint32_t> reference = surfaceColours(ctx.screen.surface);
  struct Depth {
    PixelFormat f;
    int tolerance;
  };
  for (Depth d : {Depth{PixelFormat::depth(24), 0}, Depth{PixelFormat::rgb565(), 8}, Depth{PixelFormat::rgb555(), 8},
                  Depth{PixelFormat::depth(8), 40}}) {
    Canvas c(200, 150, d.f, 2);
    attach(c);
    drawDesign(ctx, true);
    std::vector<uint32_t> got = surfaceColours(ctx.screen.surface);
    ASSERT_EQ(got.size(), reference.size());
    long worst = 0;
    for (size_t i = 0; i < got.size(); ++i)
      for (int sh : {0, 8, 16})
        worst =
            std::max<long>(worst, std::labs(static_cast<long>((got[i] >> sh) & 255) - ((reference[i] >> sh) & 255)));
    EXPECT_LE(worst, d.tolerance) << "bpp " << d.f.bitsPerPixel;
    EXPECT_TRUE(c.guardsIntact());
  }
}

TEST_F(Drawing, DesignsWithWildCoordinatesStayInsideTheBuffer) {
  std::mt19937 rng(99);
  auto wild = [&] {
    static const int32_t v[] = {INT32_MIN, INT32_MAX, 0, -1, 65536, -40000000, 40000000};
    return rng() % 2 ? v[rng() % 7] : static_cast<int32_t>(rng() % 300000) - 100000;
  };
  for (int i = 0; i < 400; ++i) {
    switch (i % 5) {
      case 0:
        line(1, rng() % 65536, wild(), wild(), wild(), wild());
        break;
      case 1:
        arc(2, rng() % 65536, wild(), wild(), wild(), rng(), rng(), rng() % 3 ? 0 : rng(), rng());
        break;
      case 2:
        pad(1, rng() % 8, rng(), rng(), rng(), rng(), wild(), wild());
        break;
      case 3:
        text(3, rng() % 65536, wild(), wild(), "Wild\t\xff\xc0\xc2text", rng(), rng(), wild());
        break;
      default:
        solid(0, {{wild(), wild()}, {wild(), wild()}, {wild(), wild()}, {wild(), wild()}});
    }
  }
  for (uint32_t scale : {256u, 65536u, 100u << 16, 0x80000000u, 0xFFFFFFFFu}) {
    for (int mode = 0; mode < 4; ++mode) {
      ctx.view.viewScale = scale;
      ctx.params.drawLines = static_cast<uint8_t>(mode | kTrackSignalNames);
      ctx.params.drawPads = static_cast<uint8_t>(mode | kPadPinNumbers | kPadMaskPaste);
      ctx.params.drawText = static_cast<uint8_t>(mode);
      drawDesign(ctx, true);
      ASSERT_TRUE(canvas.guardsIntact()) << scale << " mode " << mode;
    }
  }
}

}  // namespace
}  // namespace trelmo::test
