// What a file looks like right after opening: the text view's lines in the
// window, Zoom Extents over what is drawn, an empty file at a usable scale,
// and the readouts that follow the file's own settings.
#include "files/input_file.h"
#include "files/reader_chain.h"
#include "files/reader_formats.h"
#include "screen/view.h"
#include "screen_fixture.h"

namespace trelmo::test {
namespace {

class ViewFit : public ScreenTest {
 protected:
  // A drawing surface of the editor's default size with its status bar.
  void attachScreen() {
    attachSurface(ctx, canvas.pixels(), canvas.pitch, canvas.width, canvas.height, canvas.format, true);
  }
  Canvas canvas{1024, 768, PixelFormat::depth(32)};
};

TEST_F(ViewFit, EveryLineOfASixtyLineTextViewIsInTheWindow) {
  std::string text;
  for (int i = 1; i <= 60; ++i) text += "Line " + std::to_string(i) + " of the listing\n";
  InputFile in;
  in.openMemory(text);
  ASSERT_EQ(readerChain(ctx, in, kHintText), kFormatText);
  ctx.params.format = kFormatText;  // as File Open records it
  attachScreen();
  ASSERT_TRUE(zoomExtents(ctx));
  EXPECT_EQ(ctx.view.viewScale, (uint64_t{1} << 32) / 7) << "the text view's own scale";
  ASSERT_TRUE(drawDesign(ctx, true));
  const Rect& area = ctx.view.area;
  int lines = 0;
  for (Handle h = ctx.rec(file).next; h != file; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    ++lines;
    // The text's base and its cap height both lie inside the drawing area.
    const int64_t base = worldToPixelY(ctx.view, r.y1), top = worldToPixelY(ctx.view, r.y1 + r.size);
    EXPECT_GE(top, area.top) << "line " << lines;
    EXPECT_LE(base, area.bottom) << "line " << lines;
    // Something of the line is drawn in its band, in the view's black text.
    long ink = 0;
    for (int64_t y = std::max<int64_t>(top, area.top); y <= base; ++y)
      for (int x = area.left; x < area.left + 200; ++x) ink += colourAt(x, static_cast<int>(y)) == 0x000000;
    EXPECT_GT(ink, 0) << "line " << lines;
  }
  EXPECT_EQ(lines, 60);
  EXPECT_TRUE(canvas.guardsIntact());
}

TEST_F(ViewFit, ExtentsTakeInTheRoundEndsOfWideTracksAndArcs) {
  attachScreen();
  line(1, kInch / 10, 0, 0, 2 * kInch, 0);           // ends reach 0.05 inch beyond
  arc(1, kInch / 5, 4 * kInch, 0, kInch / 2, 0, 0);  // outer edge at 0.6 inch
  ASSERT_TRUE(zoomExtents(ctx));
  const Rect& a = ctx.view.area;
  EXPECT_GE(worldToPixelX(ctx.view, -kInch / 20), a.left) << "the left round end";
  EXPECT_LE(worldToPixelX(ctx.view, 4 * kInch + 6 * kInch / 10), a.right) << "the arc's outer edge";
  EXPECT_GE(worldToPixelY(ctx.view, 6 * kInch / 10), a.top);
  int32_t box[4];
  ASSERT_TRUE(designExtents(ctx, box));
  EXPECT_EQ(box[0], 0) << "the item box itself stays the geometry";
  // A square pad turned by 45 degrees reaches out to half its diagonal.
  pad(1, item::kRectSmt, kInch / 5, kInch / 5, 0, 8192, 6 * kInch, 0);
  ASSERT_TRUE(designExtents(ctx, box, true));
  EXPECT_GE(box[2], 6 * kInch + 9268) << "0.1414 inch beyond its centre";
}

TEST_F(ViewFit, AnEmptyFileOpensAtItsLimitsOrTheDefaultScale) {
  attachScreen();
  ctx.params.limits[0] = ctx.params.limits[1] = -32 * kInch;  // the start-up limits: none of its own
  ctx.params.limits[2] = ctx.params.limits[3] = 32 * kInch;
  ASSERT_TRUE(zoomExtents(ctx));
  EXPECT_EQ(ctx.view.viewScale, kDefaultViewScale);
  EXPECT_EQ(ctx.view.cursorX, 0);
  ctx.params.limits[0] = ctx.params.limits[1] = 0;  // a sheet of 11 x 8.5 inches
  ctx.params.limits[2] = 11 * kInch, ctx.params.limits[3] = 17 * kInch / 2;
  ASSERT_TRUE(zoomExtents(ctx));
  EXPECT_EQ(ctx.view.viewScale >> 16, 738u * 2 / 17) << "8.5 inches fill the 738 usable rows";
  const Rect& a = ctx.view.area;
  EXPECT_GE(worldToPixelX(ctx.view, 0), a.left);
  EXPECT_LE(worldToPixelX(ctx.view, 11 * kInch), a.right);
  EXPECT_LE(worldToPixelY(ctx.view, 0), a.bottom);
  EXPECT_GE(worldToPixelY(ctx.view, 17 * kInch / 2), a.top);
}

TEST(Readouts, PolarReadoutAndEntryColumnFollowTheFileTags) {
  Params p{};
  View v;
  v.cursorX = kInch, v.cursorY = kInch;
  p.units = 3;
  p.snapStep = 214748365;
  EXPECT_EQ(cursorReadout(v, p).find('\xF8'), std::string::npos);
  EXPECT_EQ(cursorEntryColumn(p), 52);
  p.drawTags = kTagReadout;
  const std::string polar = cursorReadout(v, p);
  EXPECT_NE(polar.find(" 45.0\xF8 1.4142\""), std::string::npos) << polar;
  EXPECT_EQ(cursorEntryColumn(p), 70);
}

}  // namespace
}  // namespace trelmo::test
