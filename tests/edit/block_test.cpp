// Blocks: what counts as inside a region, and the block functions on the
// example board, each one undo event.
#include "edit/block.h"

#include <gtest/gtest.h>

#include "database/chains.h"
#include "database/design_files.h"
#include "database/rings.h"
#include "database/walk.h"
#include "edit/edit_fixture.h"
#include "screen/draw_items.h"
#include "shell/heartbeat.h"
#include "shell/input_actions.h"

namespace trelmo::testing {
namespace {

TEST(BlockRegion, EdgesAndVerticesOfAPolygonAreInsideItsNotchIsNot) {
  // An L: the notch (upper right) lies inside the bounding rectangle only.
  const std::vector<int32_t> l = {0, 0, 100, 0, 100, 50, 50, 50, 50, 100, 0, 100};
  EXPECT_TRUE(pointInPolygon(l, 10, 10));
  EXPECT_TRUE(pointInPolygon(l, 100, 25));  // on an edge
  EXPECT_TRUE(pointInPolygon(l, 50, 50));   // on the reflex vertex
  EXPECT_TRUE(pointInPolygon(l, 0, 100));   // on a corner
  EXPECT_TRUE(pointInPolygon(l, 75, 50));   // on the edge under the notch
  EXPECT_FALSE(pointInPolygon(l, 75, 51));  // in the notch
  EXPECT_FALSE(pointInPolygon(l, 101, 25));
  EXPECT_FALSE(pointInPolygon(l, -1, 50));
  // A horizontal pass through a vertex counts the crossing once.
  const std::vector<int32_t> diamond = {50, 0, 100, 50, 50, 100, 0, 50};
  EXPECT_TRUE(pointInPolygon(diamond, 20, 50));
  EXPECT_FALSE(pointInPolygon(diamond, -20, 50));
  EXPECT_FALSE(pointInPolygon(diamond, 120, 50));
  // Far coordinates do not overflow.
  const std::vector<int32_t> huge = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX};
  EXPECT_TRUE(pointInPolygon(huge, INT32_MAX - 1, 0));
  EXPECT_FALSE(pointInPolygon(huge, INT32_MIN, 0));
  BlockRegion r{0, 0, 100, 100, {}};
  EXPECT_TRUE(pointInRegion(r, 100, 100));
  EXPECT_FALSE(pointInRegion(r, 100, 101));
}

class Containment : public ::testing::Test {
 protected:
  Containment() : ring(newRing(b.ctx.pool, kFileRing)) {
    block.region = {0, 0, 1000, 1000, {}};
    block.layers.fill(true);
    block.layers[5] = false;
  }
  Handle add(uint8_t type, uint8_t layer, uint16_t size, int32_t x1, int32_t y1, int32_t w3, int32_t w4) {
    return createItem(b.ctx.pool, ring, type, layer, size, x1, y1, w3, w4, kNull);
  }
  int in(Handle h) { return containmentCode(b.ctx, block, h); }
  int out(Handle h) { return containmentCode(b.ctx, block, h, true); }
  EditBoard b{""};
  Handle ring;
  BlockDefinition block;
};

TEST_F(Containment, LinesCrossingTheBoundaryCountNeitherInsideNorOutside) {
  const Handle both = add(kLine, 3, 10, 10, 10, 1000, 1000);  // on the corner
  const Handle first = add(kLine, 3, 10, 500, 500, 1500, 500);
  const Handle second = add(kLine, 3, 10, -500, 500, 500, 500);
  const Handle away = add(kLine, 3, 10, 2000, 0, 3000, 0);
  EXPECT_EQ(in(both), 7);
  EXPECT_EQ(in(first), 1);
  EXPECT_EQ(in(second), 2);
  EXPECT_EQ(in(away), 0);
  EXPECT_FALSE(contained(in(first)) || contained(out(first)));
  EXPECT_TRUE(contained(out(away)));
  // A filled solid and a component count by both corners of their box.
  const Handle solid = add(kLine, 3, 0, 100, 100, 1100, 900);
  EXPECT_EQ(in(solid), 0);
  EXPECT_EQ(out(solid), 0);
  const Handle comp = add(kComponent, 1, 0, 100, 100, 900, 900);
  EXPECT_EQ(in(comp), 7);
}

TEST_F(Containment, LayersPadsAndArcs) {
  const Handle thru = add(kPad, 5, item::kOvalThru, 500, 500, 0, 0);  // counts on layer 0
  const Handle smt = add(kPad, 5, item::kRectSmt, 500, 500, 0, 0);
  EXPECT_EQ(in(thru), 5);
  EXPECT_EQ(in(smt), 0);
  EXPECT_EQ(out(smt), 0);
  block.layers[0] = false;
  EXPECT_EQ(in(thru), 0);
  // A short arc by its two ends (its centre may lie outside); a long one by its centre.
  const Handle shortArc = add(kArc, 3, 10, -200, 500, 0, 0);
  item::setArc(b.ctx.rec(shortArc), 400, 60000, 11000, 0, 0);
  EXPECT_EQ(in(shortArc), 5);
  const Handle longArc = add(kArc, 3, 10, -200, 500, 0, 0);
  item::setArc(b.ctx.rec(longArc), 400, 49152, 32768, 0, 0);
  EXPECT_EQ(in(longArc), 0);
  const Handle text = add(kText, 3, 100, 999, 1000, 0, 0);
  EXPECT_EQ(in(text), 5);
}

// The line of the example board from (x1, y1) to (x2, y2), kNull when none.
Handle lineOf(const Context& ctx, double x1, double y1, double x2, double y2) {
  for (Handle h = ctx.rec(ctx.current).next; h != ctx.current; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.type() == kLine && r.x1 == inches(x1) && r.y1 == inches(y1) && r.w3 == inches(x2) && r.w4 == inches(y2))
      return h;
  }
  return kNull;
}

class BlockBoard : public ::testing::Test {
 protected:
  void click(double x, double y) {
    b.cursor(x, y);
    acceptAction(b.ctx);
  }
  // A rectangle from (x0, y0) to (x1, y1) with its reference point.
  void define(double x0, double y0, double x1, double y1, double rx, double ry) {
    b.run('B', 'G', kFromKeys);
    click(x0, y0);
    click(x1, y1);
    click(rx, ry);
  }
  EditBoard b;
};

TEST_F(BlockBoard, MoveStretchesATrackWithOneEndInsideAndUndoesInOneEvent) {
  const std::string original = b.items();
  define(2.9, .6, 3.2, 1.1, 3.0, .8);  // around D1
  EXPECT_EQ(b.host.status.back(), "<Block has been defined>");
  const size_t depth = undoDepth(b.ctx);
  b.run('B', 'M', kFromKeys);
  EXPECT_EQ(b.ctx.shell.stagePrompt, "Block Move:  Select target reference point.");
  click(3.0, 1.8);
  // The track from R3 to D1 keeps its far end and follows with its near one.
  EXPECT_NE(lineOf(b.ctx, 2.4, .8, 3.0, 1.8), kNull);
  const Record& d1 = b.ctx.rec(b.freeItem(kComponent, 1));
  EXPECT_EQ(d1.y1, inches(1.68));
  EXPECT_EQ(b.ctx.rec(d1.ext).y1, inches(1.8));
  const BlockDefinition& block = *blockOf(b.ctx);
  EXPECT_EQ(block.region.y0, inches(1.6));  // the outline followed
  EXPECT_EQ(block.sourceY, inches(1.8));
  EXPECT_GT(undoDepth(b.ctx), depth);
  ASSERT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(b.items(), original);
  // The outline goes back with the items, and forward again.
  EXPECT_EQ(block.region.y0, inches(.6));
  EXPECT_EQ(block.sourceY, inches(.8));
  ASSERT_TRUE(redoEvent(b.ctx));
  EXPECT_NE(lineOf(b.ctx, 2.4, .8, 3.0, 1.8), kNull);
  EXPECT_EQ(block.region.y0, inches(1.6));
  EXPECT_EQ(block.sourceY, inches(1.8));
}

// With a block in the file, the whole-file scopes of Edit Line and Edit Pad
// change only what lies on the picked item's side of the boundary.
TEST_F(BlockBoard, EditingEveryLineOrPadKeepsToThePickedSideOfTheBlock) {
  define(.1, .1, 1.05, 2.9, .5, .5);
  b.answer({{"width", ".02"}, {"all", "1"}});
  b.ctx.params.currentLayer = 12;
  b.cursor(.3, 1.5);  // inside
  b.run('E', 'L', kFromKeys);
  const std::string lines = b.items();
  EXPECT_NE(lines.find("1 12 .02 .3 2.4 .3 .5 GND"), std::string::npos) << lines;
  EXPECT_NE(lines.find("1 12 .02 1.0 1.0 1.0 .5 GND"), std::string::npos);
  EXPECT_NE(lines.find("1 12 .016 .3 .5 3.1 .5 GND"), std::string::npos);   // across the boundary
  EXPECT_NE(lines.find("1 12 .016 3.1 .5 3.1 .8 GND"), std::string::npos);  // outside
  b.answer({{"x", ".08"}, {"all", "1"}});
  b.cursor(2.0, 1.6);  // outside: R1 pin 1
  b.run('E', 'P', kFromKeys);
  const std::string pads = b.items();
  EXPECT_NE(pads.find("3 0 1 2.0 1.6 .08 .065 .035 0 1 VCC"), std::string::npos) << pads;
  EXPECT_NE(pads.find("3 0 1 1.1 1.3 .08 .065 .035 0 7 DIS"), std::string::npos);
  EXPECT_NE(pads.find("3 0 1 1.0 1.3 .065 .065 .035 0 8 VCC"), std::string::npos);  // inside
}

TEST_F(BlockBoard, DeleteInsideAndOutsideLeaveTracksThatCrossTheBoundary) {
  const std::string original = b.items();
  define(2.9, .6, 3.2, 1.1, 3.0, .8);
  b.run('B', 'D', kFromKeys);
  EXPECT_NE(b.items(), original);
  EXPECT_NE(lineOf(b.ctx, 2.4, .8, 3.0, .8), kNull);
  const size_t depth = undoDepth(b.ctx);
  b.run('B', 'D', kFromKeys);  // nothing left inside: nothing recorded
  EXPECT_EQ(undoDepth(b.ctx), depth);
  ASSERT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(b.items(), original);
  b.run('B', 'U', kFromKeys);
  EXPECT_NE(lineOf(b.ctx, 2.4, .8, 3.0, .8), kNull);
  EXPECT_EQ(lineOf(b.ctx, 0, 0, 3.5, 0), kNull);  // the outline went
  EXPECT_NE(b.freeItem(kComponent, 0), kNull);    // D1 stayed
  EXPECT_EQ(b.freeItem(kComponent, 1), kNull);
  ASSERT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(b.items(), original);
}

TEST_F(BlockBoard, CopyTurnedAndMirroredAboutTheTarget) {
  define(1.05, .75, 1.55, .85, 1.1, .8);  // a track and a via
  b.answer({{"angle", "90"}, {"mirrorx", "1"}});
  b.run('B', 'R', kFromKeys);
  const Handle last = b.ctx.rec(b.ctx.current).prev;
  b.run('B', 'C', kFromKeys);
  click(2, 2);
  // (1.5, .8) is .4 right of the source: mirrored .4 left, turned .4 down.
  EXPECT_NE(lineOf(b.ctx, 2, 2, 2, 1.6), kNull);
  std::vector<Handle> added;
  for (Handle h = b.ctx.rec(last).next; h != b.ctx.current; h = b.ctx.rec(h).next) added.push_back(h);
  ASSERT_EQ(added.size(), 2u);  // the partly inside tracks are not copied
  const Record& via = b.ctx.rec(added[0]);
  EXPECT_EQ(via.type(), kPad);
  EXPECT_EQ(via.x1, inches(2));
  EXPECT_EQ(via.y1, inches(1.6));
  ASSERT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(b.ctx.rec(b.ctx.current).prev, last);
}

TEST_F(BlockBoard, MessagesWithoutABlockAndAcrossFiles) {
  b.run('B', 'M', kFromKeys);
  EXPECT_EQ(b.ctx.shell.stagePrompt, "");
  b.run('B', 'X', kFromKeys);
  EXPECT_EQ(b.host.status.back(), "Block must be defined before this function can be used.");
  define(2.9, .6, 3.2, 1.1, 3.0, .8);
  b.run('B', 'X', kFromKeys);  // nothing armed
  EXPECT_EQ(b.host.count(Sound::Beep), 1);
  // A pad on a deselected layer stays behind.
  b.host.dialog = [](DialogBox& box) {
    box.slot("Layer0.Selected").value->assign("0");
    return true;
  };
  b.run('B', 'L', kFromKeys);
  EXPECT_FALSE(blockOf(b.ctx)->layers[0]);
  b.run('B', 'E', kFromKeys);
  EXPECT_EQ(blockOf(b.ctx)->file, kNull);
  // A block goes with its file.
  define(2.9, .6, 3.2, 1.1, 3.0, .8);
  closeDesignFile(b.ctx, b.ctx.current);
  openFileByName(b.ctx, b.dir.example("demo.sch"), 0);
  b.host.status.clear();
  b.run('B', 'C', kFromKeys);
  ASSERT_FALSE(b.host.status.empty());
  EXPECT_EQ(b.host.status.back(), "Block must be defined before this function can be used.");
}

TEST_F(BlockBoard, TheAnimatedOutlineLeavesNothingBehind) {
  std::vector<uint32_t> px(400 * 300);
  b.ctx.screen.surface.attach(reinterpret_cast<uint8_t*>(px.data()), 400 * 4, 400, 300, PixelFormat::depth(32));
  refreshScreenPixels(b.ctx);
  b.ctx.view.area = {0, 0, 399, 299};
  auto lit = [&] {
    int n = 0;
    for (uint32_t p : px) n += p != 0;
    return n;
  };
  b.run('B', 'P', kFromKeys);
  EXPECT_TRUE(b.ctx.shell.prefs.animatedBlockPerimeter);
  EXPECT_EQ(b.host.settings["Animated Block Perimeter"], "Yes");
  define(.5, .5, 2.5, 2, 1, 1);
  const int drawn = lit();
  EXPECT_GT(drawn, 100);
  for (int tick = 0; tick < 5; ++tick) heartbeatTick(b.ctx);
  EXPECT_GT(lit(), 100);
  b.run('B', 'P', kFromKeys);  // refused while the block shows
  EXPECT_TRUE(b.ctx.shell.prefs.animatedBlockPerimeter);
  b.run('B', 'E', kFromKeys);
  EXPECT_EQ(lit(), 0);
}

TEST_F(BlockBoard, MoveBetweenFilesOnlyBetweenSheetsOfOneSchematic) {
  define(2.9, .6, 3.2, 1.1, 3.0, .8);
  newDesignFile(b.ctx, b.dir.file("other.pcb"));
  b.run('B', 'M', kFromKeys);
  click(1, 1);
  EXPECT_EQ(b.host.status.back(), "Block move not usable between files, please use block copy.");
  EXPECT_TRUE(ringEmpty(b.ctx.pool, b.ctx.current));
  // From the first sheet to the second: the items change files.
  const Handle sheet1 = newDesignFile(b.ctx, b.dir.file("demo.sh1"));
  const Handle pad = createItem(b.ctx.pool, sheet1, kPad, 3, item::kSchematicDot, inches(1), inches(1), 0, 0, kNull);
  b.run('B', 'E', kFromKeys);
  define(.5, .5, 1.5, 1.5, 1, 1);
  const Handle sheet2 = newDesignFile(b.ctx, b.dir.file("demo.sh2"));
  b.run('B', 'M', kFromKeys);
  click(2, 2);
  EXPECT_TRUE(ringEmpty(b.ctx.pool, sheet1));
  ASSERT_FALSE(ringEmpty(b.ctx.pool, sheet2));
  EXPECT_EQ(b.ctx.rec(b.ctx.rec(sheet2).next).x1, inches(2));
  EXPECT_EQ(blockOf(b.ctx)->file, sheet2);
  ASSERT_TRUE(undoEvent(b.ctx));  // the copy goes from the second sheet
  EXPECT_TRUE(ringEmpty(b.ctx.pool, sheet2));
  b.ctx.current = sheet1;
  ASSERT_TRUE(undoEvent(b.ctx));  // and the first gets its pad back
  EXPECT_EQ(b.ctx.rec(sheet1).next, pad);
}

TEST_F(BlockBoard, BuildComponentMakesOneComponentAndUndoGivesTheItemsBack) {
  const std::string original = b.items();
  define(1.05, .75, 1.55, .85, 1.1, .8);
  b.answer({{"pattern", "LINK"}, {"ref", "W1"}});
  b.run('B', 'B', kFromKeys);
  const Handle header = b.ctx.rec(b.ctx.current).prev;
  ASSERT_EQ(b.ctx.rec(header).type(), kComponent);
  const Handle ring = b.ctx.rec(header).ext;
  EXPECT_EQ(readText(b.ctx, ring), "LINK\x7FW1");
  EXPECT_EQ(b.ctx.rec(ring).x1, inches(1.1));
  int members = 0;
  for (Handle h = b.ctx.rec(ring).next; h != ring; h = b.ctx.rec(h).next) ++members;
  EXPECT_EQ(members, 2);
  EXPECT_EQ(lineOf(b.ctx, 1.1, .8, 1.5, .8), kNull);
  ASSERT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(b.items(), original);
  // An empty pattern builds nothing.
  b.host.dialog = [](DialogBox&) { return true; };
  b.run('B', 'N', kFromKeys);
  EXPECT_EQ(b.items(), original);
}

TEST_F(BlockBoard, HilightMismatchesLeavesOnlyTheDifferences) {
  define(2.9, .6, 3.2, 1.1, 3.0, .8);
  b.run('B', 'C', kFromKeys);
  click(3.0, 1.8);
  // The copy is changed by one pad.
  const Handle header = b.ctx.rec(b.ctx.current).prev;
  const Handle ring = b.ctx.rec(header).ext;
  Handle pad = kNull;
  for (Handle h = b.ctx.rec(ring).next; h != ring; h = b.ctx.rec(h).next)
    if (b.ctx.rec(h).type() == kPad) pad = h;
  ASSERT_NE(pad, kNull);
  b.ctx.rec(pad).x1 += inches(.01);
  b.run('B', 'H', kFromKeys);
  click(3.0, 1.8);
  std::vector<Handle> lit;
  Handle cursor = b.ctx.current;
  while (hilighted(b.ctx.pool, cursor)) lit.push_back(cursor);
  ASSERT_EQ(lit.size(), 2u);  // the moved pad and the one it was copied from
  EXPECT_TRUE(lit[0] == pad || lit[1] == pad);
}

}  // namespace
}  // namespace trelmo::testing
