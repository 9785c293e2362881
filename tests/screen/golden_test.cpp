// Renders of small scenes compared with the reference pictures in
// tests/data/render. TRELMO_UPDATE_GOLDEN=1 rewrites the references (look at
// them before committing).
#include <gtest/gtest.h>

#include <cstdlib>

#include "image/display.h"
#include "screen_fixture.h"

namespace trelmo::test {
namespace {

class Golden : public ScreenTest {
 protected:
  Golden() : canvas(240, 160, PixelFormat::depth(32)) {}
  void SetUp() override {
    ScreenTest::SetUp();
    attach(canvas);
    ctx.params.backgroundColor = 0x202020;
    ctx.params.layers[3].color = 0xFFFF55;
    refreshScreenPixels(ctx);
    // 80 pixels per inch, world (0, 0) at the bottom-left corner.
    ctx.view.viewScale = 80u << 16;
    ctx.view.viewOriginX = 0, ctx.view.viewOriginY = 0;
  }
  void compare(const std::string& name) {
    ASSERT_TRUE(drawDesign(ctx, true));
    std::vector<uint32_t> got = surfaceColours(ctx.screen.surface);
    std::string path = std::string(TRELMO_TEST_DATA) + "/render/" + name + ".png";
    const char* update = std::getenv("TRELMO_UPDATE_GOLDEN");
    if (update && *update == '1') {
      ASSERT_TRUE(writeFile(path, encodePng(got, canvas.width, canvas.height)));
      return;
    }
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readFile(path, bytes)) << "missing reference " << path;
    std::vector<uint32_t> want;
    int w = 0, h = 0;
    ASSERT_TRUE(decodePng(bytes, want, w, h));
    ASSERT_EQ(w, canvas.width);
    ASSERT_EQ(h, canvas.height);
    long differ = 0;
    for (size_t i = 0; i < want.size(); ++i) differ += want[i] != got[i];
    EXPECT_EQ(differ, 0) << name << ": pixels differ from the reference";
  }
  static int32_t in(double inches) { return static_cast<int32_t>(inches * kInch); }

  void trackScene() {
    line(1, in(0.02), in(0.2), in(1.7), in(1.2), in(1.7));
    line(1, in(0.08), in(0.2), in(1.4), in(1.2), in(1.0));
    line(2, in(0.15), in(0.3), in(0.5), in(1.1), in(0.5));
    line(1, 0, in(0.2), in(0.2), in(1.2), in(0.2));
    arc(1, in(0.06), in(1.8), in(1.5), in(0.35), 0, 0);               // circle
    arc(2, in(0.10), in(1.8), in(0.6), in(0.35), 8192, 32768);        // half arc
    arc(3, in(0.03), in(2.55), in(1.0), in(0.3), 0, 0, 32768, 8192);  // ellipse
    solid(2, {{in(2.3), in(1.6)}, {in(2.9), in(1.9)}, {in(2.8), in(1.3)}, {in(2.5), in(1.45)}});
    createItem(ctx.pool, file, kLine, 3, 0, in(2.3), in(0.2), in(2.9), in(0.45), kNull);  // box only
  }
  void padScene() {
    ctx.params.drawPads |= kPadPinNumbers;
    int32_t s = in(0.2), hole = in(0.08);
    for (int t = 0; t < 8; ++t) {
      Handle h = pad(1, static_cast<uint8_t>(t), t == 1 || t == 5 ? s * 2 : s, s, hole, 0, in(0.3 + 0.35 * t), in(1.5));
      storePin(ctx, h, std::to_string(t + 1));
    }
    Handle r = pad(1, item::kRectThru, in(0.4), in(0.2), hole, 6000, in(0.5), in(0.6));
    storePin(ctx, r, "12");
    pad(1, item::kOvalThru, in(0.15), in(0.45), hole, 0, in(1.2), in(0.6));
    pad(2, item::kRoundVia, in(0.1), in(0.1), in(0.04), 0, in(1.7), in(0.6));
    Handle sm = pad(2, item::kRectSmt, in(0.5), in(0.25), 0, 16384, in(2.3), in(0.6));
    storePin(ctx, sm, "A7");
  }
  void anchorMarker(int32_t x, int32_t y) {
    line(2, 0, x - in(0.05), y, x + in(0.05), y);
    line(2, 0, x, y - in(0.05), x, y + in(0.05));
  }

  Canvas canvas;
};

TEST_F(Golden, TracksArcsAndSolidsInEveryLineMode) {
  trackScene();
  for (int mode = 0; mode < 4; ++mode) {
    ctx.params.drawLines = static_cast<uint8_t>(mode);
    compare("tracks_mode" + std::to_string(mode));
  }
}

TEST_F(Golden, PadsOfEveryTypeInEveryPadMode) {
  padScene();
  for (int mode = 0; mode < 4; ++mode) {
    ctx.params.drawPads = static_cast<uint8_t>(mode | kPadPinNumbers);
    compare("pads_mode" + std::to_string(mode));
  }
}

TEST_F(Golden, TextAnchors) {
  ctx.params.drawText = kTextFilled;
  for (int a = 0; a < 16; ++a) {
    int32_t x = in(0.4 + 0.75 * (a & 3)), y = in(1.7 - 0.45 * (a >> 2));
    text(3, in(0.1), x, y, "Ab", static_cast<uint8_t>(a), 0, in(0.1) / 6 * 10);
    anchorMarker(x, y);
  }
  compare("text_anchors");
}

TEST_F(Golden, RotatedMirroredAndMultiLineText) {
  ctx.params.drawText = kTextFilled;
  text(3, in(0.15), in(0.2), in(1.3), "Rot 30\xf8", 0, 5461);
  text(3, in(0.15), in(2.8), in(0.2), "Up 90", 0, 16384);
  text(3, in(0.15), in(2.6), in(1.7), "Mirror", 0, 0, -1);
  text(3, in(0.12), in(0.2), in(0.9),
       "Two\xff"
       "lines 4\xea",
       0x00);
  text(3, in(0.12), in(1.5), in(0.9), "Font15 il", 0xF0);
  text(3, in(0.02), in(0.2), in(0.2), "greeked text here", 0, 0, in(0.2));
  anchorMarker(in(2.6), in(1.7));
  compare("text_rotated_mirrored");
}

TEST_F(Golden, TheWholeStrokeFont) {
  ctx.params.drawText = kTextThin;
  std::string chars;
  for (int c = 32; c < 127; ++c) chars += static_cast<char>(c);
  chars += "\xf8\xe6\xab\xac\xea\x01";
  for (size_t row = 0; row * 20 < chars.size(); ++row)
    text(3, in(0.13), in(0.1), in(1.8 - 0.3 * row), chars.substr(row * 20, 20));
  compare("stroke_font");
}

TEST_F(Golden, PassOrderWithTheActiveCopperLayer) {
  ctx.params.drawPads = kPadsDense;
  line(1, in(0.25), in(0.2), in(1.0), in(2.8), in(1.0));
  line(2, in(0.25), in(1.5), in(0.2), in(1.5), in(1.8));
  line(3, in(0.05), in(0.2), in(0.2), in(2.8), in(1.8));
  pad(1, item::kRoundVia, in(0.35), in(0.35), in(0.12), 0, in(2.3), in(1.0));
  ctx.params.currentLayer = 2;
  compare("pass_order_bottom");
  ctx.params.currentLayer = 1;
  compare("pass_order_top");
}

TEST_F(Golden, PadAndTrackLabels) {
  ctx.view.viewScale = 0x1400000;  // 320 dpi: track labels need more than 256
  ctx.params.drawPads = kPadsDense | kPadPinNumbers | kPadSignalNames;
  ctx.params.drawLines = kLinesDense | kTrackSignalNames;
  Handle a = pad(1, item::kRectThru, in(0.1), in(0.1), in(0.02), 0, in(0.1), in(0.35));
  storePin(ctx, a, "14");
  attachSignal(ctx, a, "VCC");
  Handle b = pad(1, item::kOvalSmt, in(0.07), in(0.16), 0, 0, in(0.27), in(0.35));
  storePin(ctx, b, "B2");
  Handle t = line(2, in(0.04), in(0.03), in(0.07), in(0.72), in(0.07));
  attachSignal(ctx, t, "DATA7");
  Handle d = line(2, in(0.035), in(0.72), in(0.2), in(0.4), in(0.45));
  attachSignal(ctx, d, "CLK");
  compare("labels");
}

TEST_F(Golden, PictureKinds) {
  ASSERT_TRUE(drawDesign(ctx, true));
  for (uint32_t kind = 0; kind < 4; ++kind) {
    auto img = makeImage(16, 16, kind, 16);
    ASSERT_TRUE(img);
    for (uint32_t y = 0; y < 16; ++y)
      for (uint32_t x = 0; x < 16; ++x) {
        uint8_t* p = img->row(y);
        if (kind == 3) {
          p[3 * x] = static_cast<uint8_t>(x * 16), p[3 * x + 1] = static_cast<uint8_t>(y * 16), p[3 * x + 2] = 200;
        } else {
          p[x] = static_cast<uint8_t>(y * 16 + x);
        }
      }
    if (kind == 2)
      for (int i = 0; i < 256; ++i) img->setPaletteEntry(i, static_cast<uint32_t>(i) << 16 | (255 - i));
    int32_t x0 = in(0.1 + 0.72 * kind);
    img->setI32(32, x0), img->setI32(36, in(0.5)), img->setI32(40, x0 + in(1.0)), img->setI32(44, in(1.5));
    ctx.params.imageCurrent = ctx.images.add(std::move(img));
    ctx.screen.dirty = {{static_cast<int>(8 + 57.6 * kind), 0, static_cast<int>(8 + 57.6 * kind) + 52, 159}};
    ASSERT_TRUE(drawDesign(ctx, false));
  }
  ctx.screen.dirty.clear();
  std::vector<uint32_t> got = surfaceColours(ctx.screen.surface);
  std::string path = std::string(TRELMO_TEST_DATA) + "/render/picture_kinds.png";
  const char* update = std::getenv("TRELMO_UPDATE_GOLDEN");
  if (update && *update == '1') {
    ASSERT_TRUE(writeFile(path, encodePng(got, canvas.width, canvas.height)));
    return;
  }
  std::vector<uint8_t> bytes;
  std::vector<uint32_t> want;
  int w, h;
  ASSERT_TRUE(readFile(path, bytes) && decodePng(bytes, want, w, h));
  EXPECT_EQ(want, got);
}

}  // namespace
}  // namespace trelmo::test
