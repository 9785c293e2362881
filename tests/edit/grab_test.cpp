// The grab list: picking items up, following the cursor, dropping them as one
// undo event and putting them back; the hit tests at their tolerance edges.
#include <gtest/gtest.h>

#include "database/chains.h"
#include "database/rings.h"
#include "edit/hit_tests.h"
#include "edit_fixture.h"
#include "screen/view.h"

namespace trelmo::testing {
namespace {

Record lineRecord(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint16_t width) {
  Record r{};
  r.flags = kLine;
  r.size = width;
  r.x1 = x1, r.y1 = y1, r.w3 = x2, r.w4 = y2;
  return r;
}

Record padRecord(uint8_t type, uint16_t xs, uint16_t ys, uint16_t angle) {
  Record r{};
  r.flags = kPad;
  r.size = type;
  item::setPad(r, xs, ys, 0, angle);
  return r;
}

TEST(HitTests, LinesReachHalfTheirWidthAndTheTolerance) {
  const Record r = lineRecord(0, 0, 10000, 0, 200);
  EXPECT_TRUE(lineHit(r, 5000, 100 + 5, 5));
  EXPECT_FALSE(lineHit(r, 5000, 100 + 6, 5));
  EXPECT_TRUE(lineHit(r, -105, 0, 5));  // past the end, round cap
  EXPECT_FALSE(lineHit(r, -106, 0, 5));
  EXPECT_FALSE(lineHit(r, -80, 80, 5));  // the corner is outside the cap
}

TEST(HitTests, PadsByTheirShape) {
  const Record round = padRecord(item::kOvalThru, 1000, 1000, 0);
  EXPECT_TRUE(padHit(round, 0, 505, 5));
  EXPECT_FALSE(padHit(round, 0, 506, 5));
  EXPECT_FALSE(padHit(round, 400, 400, 5));  // outside the circle, inside its square
  const Record square = padRecord(item::kRectThru, 1000, 1000, 0);
  EXPECT_TRUE(padHit(square, 505, 505, 5));
  EXPECT_FALSE(padHit(square, 506, 0, 5));
  // An oval 2000 long in Y, turned by 90 degrees: long in X.
  const Record oval = padRecord(item::kOvalSmt, 1000, 2000, 16384);
  EXPECT_TRUE(padHit(oval, 1005, 0, 5));
  EXPECT_FALSE(padHit(oval, 1006, 0, 5));
  EXPECT_FALSE(padHit(oval, 0, 506, 5));
  EXPECT_FALSE(padHit(oval, 950, 450, 5));  // off the rounded end
}

TEST(HitTests, ArcsOnTheirOutlineAndBetweenTheirEnds) {
  Record r{};
  r.flags = kArc;
  r.size = 100;
  item::setArc(r, 10000, 0, 16384, 0, 0);  // a quarter from +X to +Y
  EXPECT_TRUE(arcHit(r, 7071, 7071, 5));
  EXPECT_TRUE(arcHit(r, 10055, 0, 5));
  EXPECT_FALSE(arcHit(r, 10056, 0, 5));
  EXPECT_FALSE(arcHit(r, -7071, -7071, 5));  // on the circle, outside the sweep
  EXPECT_TRUE(arcHit(r, 10000, -40, 5));     // near the start point
  item::setArc(r, 10000, 0, 0, 0, 0);        // a full circle
  EXPECT_TRUE(arcHit(r, -7071, -7071, 5));
}

TEST(HitTests, TextByItsAnchoredBox) {
  Record r{};
  r.flags = kText;
  r.size = 800;
  item::setText(r, 4000, 0, 0);  // bottom left
  EXPECT_TRUE(textHit(r, 4100, 900, 1));
  EXPECT_FALSE(textHit(r, 4101, 0, 1));
  EXPECT_FALSE(textHit(r, 0, 901, 1));
  item::setText(r, 4000, 0, 2);  // bottom right: the box runs to the left
  EXPECT_TRUE(textHit(r, -3000, 100, 1));
  EXPECT_FALSE(textHit(r, 3000, 100, 1));
  item::setText(r, 4000, 16384, 0);  // turned: the box runs up
  EXPECT_TRUE(textHit(r, -400, 3000, 1));
  EXPECT_FALSE(textHit(r, 3000, 400, 1));
}

TEST(Grab, TheShorterOfTwoOverlappingLinesIsGrabbed) {
  EditBoard b;
  b.ctx.params.currentLayer = 3;
  const Handle longer =
      createItem(b.ctx.pool, b.ctx.current, kLine, 3, 655, inches(5), inches(5), inches(7), inches(5), kNull);
  const Handle shorter =
      createItem(b.ctx.pool, b.ctx.current, kLine, 3, 655, inches(5.5), inches(5), inches(6), inches(5), kNull);
  b.cursor(5.7, 5);
  b.run('G', 'L');
  ASSERT_TRUE(isGrabbed(b.ctx));
  EXPECT_EQ(b.ctx.edit.grab.ghosts[0].item, shorter);
  EXPECT_TRUE(b.ctx.rec(shorter).hidden());
  EXPECT_FALSE(b.ctx.rec(longer).hidden());
}

TEST(Grab, ALineTakesItsAttachedEndsAlongAndOneUndoTakesTheMoveBack) {
  EditBoard b;
  const std::string before = b.items();
  b.ctx.params.currentLayer = 12;
  b.cursor(2.0, 1.15);  // on "1.5 1.15 2.4 1.15 TRIG", layer 12
  b.run('G', 'L', kFromKeys);
  ASSERT_TRUE(isGrabbed(b.ctx));
  EXPECT_EQ(b.ctx.shell.currentFunction, fc('G', 'L'));
  // The line and the two lines attached at its ends.
  EXPECT_EQ(b.ctx.edit.grab.ghosts.size(), 3u);
  b.cursor(2.0, 1.25);
  b.run('G', 'L', kFromRepeat);  // the click drops
  EXPECT_FALSE(isGrabbed(b.ctx));
  const std::string moved = b.items();
  EXPECT_NE(moved.find("1 12 .012 1.5 1.25 2.4 1.25 TRIG"), std::string::npos);
  EXPECT_NE(moved.find("1 12 .012 1.5 .8 1.5 1.25 TRIG"), std::string::npos);
  EXPECT_NE(moved.find("1 12 .012 2.4 1.25 2.4 1.3 TRIG"), std::string::npos);
  EXPECT_EQ(undoDepth(b.ctx), 3u);
  b.run('U', 'U');
  EXPECT_EQ(b.items(), before);
  b.run('U', 'E');
  EXPECT_EQ(b.items(), moved);
}

TEST(Grab, ALineShrunkToAPointDisappearsAndComesBackWithOneUndo) {
  EditBoard b;
  const std::string before = b.items();
  b.ctx.params.currentLayer = 15;
  const Handle edge = b.freeItem(kLine, 23);  // "1 15 .01 0 0 3.5 0"
  ASSERT_EQ(b.ctx.rec(edge).layer, 15);
  b.cursor(3.5, 0);
  b.run('G', 'E');  // the vertex at 3.5,0: both outline corners meet there
  ASSERT_EQ(b.ctx.edit.grab.ghosts.size(), 2u);
  // Only the end of the bottom edge: release and take its own end.
  releaseGrabList(b.ctx);
  ASSERT_TRUE(grabItem(b.ctx, edge, kGrabSecond));
  setGrabReference(b.ctx);
  b.cursor(0, 0);
  ASSERT_TRUE(dropGrabList(b.ctx));
  EXPECT_EQ(b.items().find("1 15 .01 0 0 3.5 0\r\n"), std::string::npos);
  EXPECT_EQ(b.items().find("1 15 .01 0 0 0 0"), std::string::npos);
  b.run('U', 'U');
  EXPECT_EQ(b.items(), before);
}

TEST(Grab, EscapeRestoresEverythingWithoutAnUndoEntry) {
  EditBoard b;
  const std::string before = b.items();
  b.cursor(2.2, 1.6);
  b.run('G', 'C');  // R1 with the tracks at its pads
  ASSERT_TRUE(isGrabbed(b.ctx));
  b.cursor(2.7, 2.1);
  b.run('G', 'R');
  b.run('G', 'X');
  EXPECT_TRUE(releaseGrabList(b.ctx));
  EXPECT_FALSE(isGrabbed(b.ctx));
  EXPECT_EQ(b.items(), before);
  EXPECT_EQ(undoDepth(b.ctx), 0u);
  EXPECT_EQ(b.ctx.rec(b.ctx.rings[kGrabList]).next, b.ctx.rings[kGrabList]);
}

TEST(Grab, APadGrabPutsTheCursorOnItsCentre) {
  EditBoard b;
  b.cursor(1.51, 0.81);
  b.run('G', 'P');
  ASSERT_TRUE(isGrabbed(b.ctx));
  const Handle via = b.ctx.edit.grab.ghosts[0].item;
  EXPECT_EQ(b.ctx.view.cursorX, b.ctx.rec(via).x1);
  EXPECT_EQ(b.ctx.view.cursorY, b.ctx.rec(via).y1);
  b.cursor(1.6, 0.9);
  b.ctx.input.hooks.dropGrab(b.ctx);
  EXPECT_NE(b.items().find("3 0 3 1.6 .9 .05 .05 .028 0 0 TRIG"), std::string::npos);
}

TEST(Grab, AComponentNotUnderTheCursorIsFoundByItsAttributes) {
  EditBoard b;
  const Handle r1 = b.freeItem(kComponent, 3), r2 = b.freeItem(kComponent, 4);
  b.cursor(10, 10);
  int calls = 0;
  b.host.dialog = [&](DialogBox& box) {
    EXPECT_EQ(box.name, "LocateCompBox");
    ++calls;
    box.field("pcb")->value = "res";                   // R1, R2 and R3
    box.field("next")->value = calls < 3 ? "1" : "0";  // Find Next twice, then Confirm
    return true;
  };
  b.run('G', 'O');
  ASSERT_EQ(calls, 3);
  ASSERT_TRUE(isGrabbed(b.ctx));
  EXPECT_EQ(b.ctx.edit.grab.ghosts[0].item, r2);
  // The cursor is back where it was and the component comes along.
  EXPECT_EQ(b.ctx.view.cursorX, inches(10));
  ASSERT_TRUE(dropGrabList(b.ctx));
  EXPECT_EQ(b.ctx.rec(r2).x1, inches(10));
  EXPECT_EQ(b.ctx.rec(r2).y1, inches(10));
  b.run('U', 'U');

  // Confirm at once takes the first match; no match ends the function.
  b.answer({{"ref", "R1"}});
  b.run('G', 'O');
  ASSERT_TRUE(isGrabbed(b.ctx));
  EXPECT_EQ(b.ctx.edit.grab.ghosts[0].item, r1);
  releaseGrabList(b.ctx);
  b.answer({{"ref", "Q9"}});
  b.run('G', 'O');
  EXPECT_FALSE(isGrabbed(b.ctx));
  EXPECT_EQ(b.host.count(Sound::Beep), 1);
}

TEST(Grab, TracksBetweenTwoPadsOfAComponentMoveWithItWhole) {
  EditBoard b;
  Context& c = b.ctx;
  c.params.currentLayer = 3;
  const Handle header =
      createItem(c.pool, c.current, kComponent, 1, 0, inches(4.9), inches(4.9), inches(6.1), inches(5.1), kNull);
  const Handle ring = newComponentRing(c, header, inches(5), inches(5), "X\x7FQ1");
  ASSERT_NE(ring, kNull);
  for (double x : {5.0, 6.0}) {
    const Handle pad = createItem(c.pool, ring, kPad, 0, item::kOvalThru, inches(x), inches(5), 0, 0, kNull);
    item::setPad(c.rec(pad), 3932, 3932, 2000, 0);
  }
  const Handle other = createItem(c.pool, c.current, kPad, 0, item::kOvalThru, inches(7), inches(5), 0, 0, kNull);
  item::setPad(c.rec(other), 3932, 3932, 2000, 0);
  const Handle t1 = createItem(c.pool, c.current, kLine, 3, 786, inches(5), inches(5), inches(5.5), inches(5.5), kNull);
  const Handle t2 = createItem(c.pool, c.current, kLine, 3, 786, inches(5.5), inches(5.5), inches(6), inches(5), kNull);
  const Handle t3 = createItem(c.pool, c.current, kLine, 3, 786, inches(6), inches(5), inches(7), inches(5), kNull);
  b.cursor(5.5, 5.0);
  b.run('G', 'C');
  ASSERT_TRUE(isGrabbed(c));
  b.cursor(5.9, 5.9);  // from the header's first point 4.9, 4.9: one inch up and right
  ASSERT_TRUE(dropGrabList(c));
  // From pad to pad of the component: moved whole.
  EXPECT_EQ(c.rec(t1).x1, inches(6));
  EXPECT_EQ(c.rec(t1).w4, inches(6.5));
  EXPECT_EQ(c.rec(t2).x1, inches(6.5));
  EXPECT_EQ(c.rec(t2).w3, inches(7));
  EXPECT_EQ(c.rec(t2).w4, inches(6));
  // To a pad of its own: stretched at the component's pad only.
  EXPECT_EQ(c.rec(t3).x1, inches(7));
  EXPECT_EQ(c.rec(t3).y1, inches(6));
  EXPECT_EQ(c.rec(t3).w3, inches(7));
  EXPECT_EQ(c.rec(t3).w4, inches(5));
}

TEST(Grab, ItemGrabOnLayerZeroMovesAComponentsOrigin) {
  EditBoard b;
  const std::string before = b.items();
  const Handle c1 = b.freeItem(kComponent, 0), origin = b.ctx.rec(c1).ext;
  const Record s0 = b.ctx.rec(origin);
  const Handle pad = b.ctx.rec(b.ctx.rec(origin).next).next;
  const Record p0 = b.ctx.rec(pad);
  b.ctx.params.currentLayer = 0;
  b.cursor(2.9, 1.3);
  b.run('G', 'I');
  ASSERT_TRUE(isGrabbed(b.ctx));
  EXPECT_EQ(b.ctx.edit.grab.ghosts[0].item, origin);
  b.cursor(3.0, 1.4);
  ASSERT_TRUE(dropGrabList(b.ctx));
  EXPECT_EQ(b.ctx.rec(origin).x1, s0.x1 + inches(3.0) - inches(2.9));
  EXPECT_EQ(b.ctx.rec(origin).y1, s0.y1 + inches(1.4) - inches(1.3));
  EXPECT_EQ(b.ctx.rec(pad).x1, p0.x1);
  b.run('U', 'U');
  EXPECT_EQ(b.items(), before);
}

TEST(Grab, AVertexNearTheEdgeOfTheViewPansItByTheShortfall) {
  EditBoard b;
  View& v = b.ctx.view;
  b.ctx.params.currentLayer = 15;
  const Handle edge = b.freeItem(kLine, 23);  // "1 15 .01 0 0 3.5 0"
  // Its end 3.5, 0 five pixels from the left edge of the view.
  v.cursorX = b.ctx.rec(edge).w3, v.cursorY = b.ctx.rec(edge).w4;
  updateCursorPixel(v);
  panPixels(v, v.area.left + 5 - v.cursorPixelX, v.area.top + 300 - v.cursorPixelY);
  updateCursorPixel(v);
  const int redraws = b.host.redraws;
  b.run('G', 'E');
  ASSERT_TRUE(isGrabbed(b.ctx));
  EXPECT_EQ(v.cursorPixelX, v.area.left + 12);
  EXPECT_EQ(v.cursorPixelY, v.area.top + 300);
  EXPECT_GT(b.host.redraws, redraws);
}

TEST(Grab, NothingUnderTheCursorBeepsWithThePrompt) {
  EditBoard b;
  b.cursor(10, 10);
  const std::pair<char, const char*> cases[] = {{'P', "Position the cursor over the desired via or free pad."},
                                                {'R', "Nothing to rotate."},
                                                {'Y', "Nothing to mirror."},
                                                {'S', "Nothing to re-scale."}};
  for (auto [member, prompt] : cases) {
    b.run('G', member);
    ASSERT_FALSE(b.host.status.empty());
    EXPECT_NE(b.host.status.back().find(prompt), std::string::npos) << member;
  }
  EXPECT_EQ(b.host.count(Sound::Beep), 1);
}

}  // namespace
}  // namespace trelmo::testing
