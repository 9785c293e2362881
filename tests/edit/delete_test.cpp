// The Delete menu on the example board: whole tracks through vias, vertices,
// grabbed, hilighted and unconnected copper, each one undo event.
#include <gtest/gtest.h>

#include "edit/edit_fixture.h"
#include "nets/connectivity.h"

namespace trelmo::testing {
namespace {

int countLines(const std::string& items, const std::string& prefix) {
  int n = 0;
  for (size_t at = items.find("\r\n" + prefix); at != std::string::npos; at = items.find("\r\n" + prefix, at + 2)) ++n;
  return n;
}

TEST(Delete, MultiLineFollowsThroughAViaAndStopsAtComponentPads) {
  EditBoard b;
  const std::string original = b.items();
  b.ctx.params.currentLayer = 12;
  b.cursor(2.0, 1.15);
  b.run('D', 'M');
  const std::string after = b.items();
  // The track from U1 pin 2 through the via to R2 pin 2 is gone, the via too.
  for (const char* gone : {"1 12 .012 1.1 1.0 1.1 .8", "1 12 .012 1.1 .8 1.5 .8", "1 12 .012 1.5 .8 1.5 1.15",
                           "1 12 .012 1.5 1.15 2.4 1.15", "1 12 .012 2.4 1.15 2.4 1.3", "3 0 3 1.5 .8 "})
    EXPECT_EQ(after.find(gone), std::string::npos) << gone;
  // The walk ends at the pads: the tracks beyond them stay.
  EXPECT_NE(after.find("1 3 .012 2.4 1.3 2.9 1.3 TRIG"), std::string::npos);
  EXPECT_NE(after.find("1 12 .012 2.4 1.75 2.4 1.6 DIS"), std::string::npos);
  b.run('U', 'U');
  EXPECT_EQ(b.items(), original);
}

TEST(Delete, VertexJoinsTheTwoLinesThatMeetThereAndNothingElse) {
  EditBoard b;
  const std::string original = b.items();
  b.ctx.params.currentLayer = 3;
  b.cursor(1.31, 2.49);
  b.run('D', 'E');
  const std::string after = b.items();
  EXPECT_NE(after.find("1 3 .016 .3 2.5 1.3 1.3 VCC"), std::string::npos) << after;
  EXPECT_EQ(after.find("1 3 .016 1.3 2.5 1.3 1.3"), std::string::npos);
  EXPECT_EQ(b.ctx.view.cursorX, inches(.3));  // the far end nearer the vertex
  EXPECT_EQ(b.ctx.view.cursorY, inches(2.5));
  b.run('U', 'U');
  EXPECT_EQ(b.items(), original);
  // A line end that meets no other line on its layer: nothing is joined.
  b.cursor(1.2, 1.3);
  b.ctx.params.currentLayer = 12;
  b.run('D', 'E');
  EXPECT_EQ(b.items(), original);
  EXPECT_EQ(b.host.count(Sound::Beep), 1);
}

TEST(Delete, NothingUnderTheCursorBeepsWithThePrompt) {
  EditBoard b;
  const std::string original = b.items();
  b.cursor(4.2, 3.2);
  for (char m : {'L', 'M', 'A', 'P', 'T', 'C', 'F'}) b.run('D', m);
  EXPECT_EQ(b.items(), original);
  EXPECT_EQ(b.host.count(Sound::Beep), 7);
  EXPECT_EQ(undoDepth(b.ctx), 0u);
}

TEST(Delete, ComponentGoesWholeAndComesBackWhole) {
  EditBoard b;
  const std::string original = b.items();
  b.cursor(2.2, 1.3);
  b.run('D', 'C');
  EXPECT_EQ(b.items().find("R210KRES"), std::string::npos);
  EXPECT_EQ(countLines(b.items(), "6 "), countLines(original, "6 ") - 1);
  b.run('U', 'U');
  EXPECT_EQ(b.items(), original);
}

TEST(Delete, GrabbedItemsLeaveTheDesignAndNewOnesLeaveNoTrace) {
  EditBoard b;
  const std::string original = b.items();
  b.cursor(1.5, .8);
  b.run('G', 'P');
  b.cursor(2, 2);
  b.run('D', 'G');
  EXPECT_TRUE(b.ctx.edit.grab.ghosts.empty());
  EXPECT_EQ(b.items().find("3 0 3 1.5 .8 "), std::string::npos);
  EXPECT_EQ(b.items().find("3 0 3 2.0 2.0 "), std::string::npos);
  b.run('U', 'U');
  EXPECT_EQ(b.items(), original);
  // A line being placed (a new item on the cursor) is simply dropped.
  b.run('P', 'L');
  b.cursor(2.5, 2);
  const size_t depth = undoDepth(b.ctx);
  b.run('D', 'G');
  EXPECT_EQ(undoDepth(b.ctx), depth);
  EXPECT_EQ(b.items(), original);
}

TEST(Delete, HilightedTopLevelItemsGo) {
  EditBoard b;
  const std::string original = b.items();
  b.run('D', 'H');
  EXPECT_EQ(b.host.count(Sound::Beep), 1);
  b.ctx.rec(b.freeItem(kLine, 0)).flags |= kHilight;
  b.ctx.rec(b.freeItem(kPad, 0)).flags |= kHilight;
  b.run('D', 'H');
  EXPECT_EQ(b.items().find("1 3 .016 .3 2.5 1.3 2.5"), std::string::npos);
  EXPECT_EQ(b.items().find("3 0 3 1.5 .8 "), std::string::npos);
  b.run('U', 'U');
  for (Handle h = b.ctx.rec(b.ctx.current).next; h != b.ctx.current; h = b.ctx.rec(h).next)
    b.ctx.rec(h).flags &= static_cast<uint8_t>(~kHilight);
  EXPECT_EQ(b.items(), original);
}

TEST(Delete, IsoIslandsTakesOnlyCopperNoPadReaches) {
  EditBoard b;
  const std::string original = b.items();
  // A stray copper track, a stray line on the outline layer and a track
  // hanging off a pad.
  const Handle file = b.ctx.current;
  createItem(b.ctx.pool, file, kLine, 3, inches(.012), inches(3.6), inches(.5), inches(3.9), inches(.5), kNull);
  createItem(b.ctx.pool, file, kLine, 15, inches(.012), inches(3.6), inches(.2), inches(3.9), inches(.2), kNull);
  createItem(b.ctx.pool, file, kLine, 3, inches(.012), inches(3.3), inches(2.6), inches(3.6), inches(2.9), kNull);
  b.run('D', 'I');
  const std::string after = b.items();
  EXPECT_EQ(after.find("1 3 .012 3.6 .5 3.9 .5"), std::string::npos) << after;
  EXPECT_NE(after.find("1 15 .012 3.6 .2 3.9 .2"), std::string::npos);
  EXPECT_NE(after.find("1 3 .012 3.3 2.6 3.6 2.9"), std::string::npos);
  EXPECT_FALSE(anyHilighted(b.ctx));
  EXPECT_EQ(countLines(after, "1 "), countLines(original, "1 ") + 2);
  b.run('U', 'U');
  EXPECT_NE(b.items().find("1 3 .012 3.6 .5 3.9 .5"), std::string::npos);
}

}  // namespace
}  // namespace trelmo::testing
