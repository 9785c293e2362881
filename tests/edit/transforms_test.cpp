// The transforms of the grab list on every item kind.
#include "edit/transforms.h"

#include <gtest/gtest.h>

#include "edit_fixture.h"

namespace trelmo::testing {
namespace {

// Grabs the component under the point, applies the transforms and drops it.
std::string afterComponent(EditBoard& b, double x, double y, const std::string& codes) {
  b.cursor(x, y);
  b.run('G', 'O');
  EXPECT_TRUE(isGrabbed(b.ctx));
  for (char m : codes) b.run('G', m);
  EXPECT_TRUE(dropGrabList(b.ctx));
  return b.text();
}

TEST(Transforms, AComponentTurnedFourTimesOrMirroredTwiceIsUnchanged) {
  EditBoard b;
  const std::string before = b.text();
  EXPECT_EQ(afterComponent(b, 1.15, 1.15, "RRRR"), before);  // U1: pads, arc, lines, texts
  EXPECT_EQ(afterComponent(b, 3.0, 1.3, "XX"), before);      // C1 with its circle
  EXPECT_EQ(afterComponent(b, 3.05, 0.9, "YY"), before);     // D1
  EXPECT_EQ(afterComponent(b, 2.2, 1.6, "MM"), before);      // R1: top and bottom and back
  b.host.dialog = [](DialogBox& box) {
    box.field("factor")->value = box.field("factor")->value == "2.0" ? "0.5" : "2.0";
    return true;
  };
  EXPECT_EQ(afterComponent(b, 2.2, 1.3, "SS"), before);  // R2 scaled by 2, then by a half
  EXPECT_EQ(undoDepth(b.ctx) > 0, true);
}

TEST(Transforms, RotationTurnsPointsAboutTheCursorWithTheirAngles) {
  EditBoard b;
  const Handle d1 = b.freeItem(kComponent, 1);
  const Record header = b.ctx.rec(d1);
  // Its items: the text, two pads, the circle.
  const Handle ring = header.ext, text = b.ctx.rec(ring).next, pad = b.ctx.rec(text).next;
  const Record t0 = b.ctx.rec(text), p0 = b.ctx.rec(pad);
  b.cursor(3.0, 0.8);
  b.run('G', 'O');
  // The cursor went to the header's first point: that is the centre of the turn.
  const int32_t rx = header.x1, ry = header.y1;
  EXPECT_EQ(b.ctx.view.cursorX, rx);
  b.run('G', 'R');
  ASSERT_TRUE(dropGrabList(b.ctx));
  const Record& p = b.ctx.rec(pad);
  EXPECT_EQ(p.x1, rx - (p0.y1 - ry));
  EXPECT_EQ(p.y1, ry + (p0.x1 - rx));
  EXPECT_EQ(item::padAngle(p), 16384);
  const Record& t = b.ctx.rec(text);
  EXPECT_EQ(t.x1, rx - (t0.y1 - ry));
  EXPECT_EQ(item::textAngle(t), 16384);
  const Record& h = b.ctx.rec(d1);
  EXPECT_EQ(h.size, 16384);
  EXPECT_EQ(h.x1, rx - (header.w4 - ry));
  EXPECT_EQ(h.w3, rx);
  EXPECT_EQ(h.y1, ry);
  EXPECT_EQ(h.w4, ry + (header.w3 - rx));
}

TEST(Transforms, TextTurnedFrom90By90MoreReadsUprightWithItsAnchorFlipped) {
  EditBoard b;
  const Handle text = createTextItem(b.ctx, b.ctx.current, 1, 2621, inches(5), inches(5), "A");
  item::setText(b.ctx.rec(text), 10000, 16384, 0x10 | 4);  // font 1, centre left
  b.cursor(5, 5);
  b.run('G', 'T');
  b.run('G', 'R');
  ASSERT_TRUE(dropGrabList(b.ctx));
  const Record& r = b.ctx.rec(text);
  EXPECT_EQ(item::textAngle(r), 0);
  EXPECT_EQ(item::textAnchor(r), 6);  // centre right
  EXPECT_EQ(item::textFont(r), 1);
  // An offset anchor keeps the half turn.
  item::setText(b.ctx.rec(text), 10000, 16384, 3);
  b.run('G', 'T');
  b.run('G', 'R');
  ASSERT_TRUE(dropGrabList(b.ctx));
  EXPECT_EQ(item::textAngle(r), 32768);
  EXPECT_EQ(item::textAnchor(r), 3);
}

TEST(Transforms, MirrorTopBottomMapsLayersByTheirFirstLetter) {
  EditBoard b;
  const std::array<uint8_t, 256> map = topBottomLayerMap(b.ctx.params);
  // Top Copper and Bottom Copper swap, Top Silk goes to Bottom Silk, Top
  // Mask to Bottom Mask; Board Outline and the pad master keep their layers.
  for (auto [from, to] : {std::pair{3, 12}, {12, 3}, {1, 14}, {2, 13}, {15, 15}, {0, 0}})
    EXPECT_EQ(map[from], to) << from;
  b.cursor(1.5, 0.8);
  b.run('G', 'P');  // the via "3 0 3 1.5 .8": a through-hole pad on layer 0 keeps it
  b.run('G', 'M');
  ASSERT_TRUE(dropGrabList(b.ctx));
  const Handle pad = createItem(b.ctx.pool, b.ctx.current, kPad, 3, item::kRectSmt, inches(5), inches(5), 0, 0, kNull);
  item::setPad(b.ctx.rec(pad), 4000, 2000, 0, 1000);
  b.cursor(5.5, 5);
  b.ctx.params.currentLayer = 3;
  ASSERT_TRUE(grabItem(b.ctx, pad, kGrabFirst));
  setGrabReference(b.ctx);
  b.run('G', 'M');
  ASSERT_TRUE(dropGrabList(b.ctx));
  const Record& r = b.ctx.rec(pad);
  EXPECT_EQ(r.layer, 12);
  EXPECT_EQ(r.x1, inches(6));
  EXPECT_EQ(item::padAngle(r), 32768 - 1000);
}

TEST(Transforms, ArcAnglesUnderMirrorsAndTurns) {
  EditBoard b;
  const Handle arc = createItem(b.ctx.pool, b.ctx.current, kArc, 3, 655, inches(5), inches(5), 0, 0, kNull);
  item::setArc(b.ctx.rec(arc), inches(0.5), 1000, 8000, 0, 0);
  auto apply = [&](char m) {
    b.cursor(5, 5);
    EXPECT_TRUE(grabItem(b.ctx, arc, kGrabFirst));
    setGrabReference(b.ctx);
    b.run('G', m);
    EXPECT_TRUE(dropGrabList(b.ctx));
  };
  const Record& r = b.ctx.rec(arc);
  apply('X');
  EXPECT_EQ(item::start(r), 32768 - 9000);
  apply('Y');
  EXPECT_EQ(item::start(r), static_cast<uint16_t>(-(32768 - 9000 + 8000)));
  apply('R');
  EXPECT_EQ(item::start(r), static_cast<uint16_t>(-(32768 - 1000) + 16384));
  EXPECT_EQ(item::sweep(r), 8000);
  // An ellipse turns by its axis.
  item::setArc(b.ctx.rec(arc), inches(0.5), 1000, 8000, 30000, 100);
  apply('R');
  EXPECT_EQ(item::start(r), 1000);
  EXPECT_EQ(item::axisAngle(r), 16484);
}

TEST(Transforms, ScalingMultipliesPointsAndSizes) {
  EditBoard b;
  const Handle pad = createItem(b.ctx.pool, b.ctx.current, kPad, 3, item::kOvalSmt, inches(5), inches(5), 0, 0, kNull);
  item::setPad(b.ctx.rec(pad), 4000, 2000, 1000, 0);
  b.cursor(4, 5);
  ASSERT_TRUE(grabItem(b.ctx, pad, kGrabFirst));
  setGrabReference(b.ctx);
  b.answer({{"factor", "1.5"}});
  b.run('G', 'S');
  ASSERT_TRUE(dropGrabList(b.ctx));
  const Record& r = b.ctx.rec(pad);
  EXPECT_EQ(r.x1, inches(5.5));
  EXPECT_EQ(item::padX(r), 6000);
  EXPECT_EQ(item::padY(r), 3000);
  EXPECT_EQ(item::padHole(r), 1500);
  // An escaped box changes nothing.
  b.host.dialog = [](DialogBox&) { return false; };
  ASSERT_TRUE(grabItem(b.ctx, pad, kGrabFirst));
  b.run('G', 'S');
  releaseGrabList(b.ctx);
  EXPECT_EQ(item::padX(r), 6000);
}

}  // namespace
}  // namespace trelmo::testing
