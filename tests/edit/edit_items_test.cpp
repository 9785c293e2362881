// The Edit menu on the example board: the item boxes and their scopes,
// components, krump, line to arc, grid alignment and snap, and the Query
// boxes' values.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "edit/edit_fixture.h"
#include "edit/query_boxes.h"

namespace trelmo::testing {
namespace {

bool has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

TEST(EditItems, ContiguousLinesFollowEndsOfTheSameLayerAndWidthOnly) {
  EditBoard b;
  const std::string original = b.items();
  b.ctx.params.currentLayer = 12;
  b.answer({{"width", ".02"}, {"contiguous", "1"}});
  b.cursor(.3, 1.5);
  b.run('E', 'L');
  const std::string after = b.items();
  for (const char* changed :
       {"1 12 .02 .3 2.4 .3 .5", "1 12 .02 .3 .5 3.1 .5", "1 12 .02 3.1 .5 3.1 .8", "1 12 .02 3.1 1.3 3.1 .8"})
    EXPECT_TRUE(has(after, changed)) << changed << after;
  // Joined in its middle, not at an end, and a track of another width.
  EXPECT_TRUE(has(after, "1 12 .016 1.0 1.0 1.0 .5 GND"));
  EXPECT_TRUE(has(after, "1 12 .012 1.2 1.3 1.2 1.75 DIS"));
  b.run('U', 'U');
  EXPECT_EQ(b.items(), original);
  // All lines in file: the same layer and width anywhere.
  b.answer({{"layer", "3"}, {"all", "1"}});
  b.run('E', 'L');
  EXPECT_FALSE(has(b.items(), "1 12 .016"));
  EXPECT_TRUE(has(b.items(), "1 3 .016 1.0 1.0 1.0 .5 GND"));
}

// Edit Line makes the picked line's layer the active one; Un-Do takes that
// back with the line, Re-Do does it again.
TEST(EditItems, UndoOfAnEditedLineGivesBackTheActiveLayer) {
  EditBoard b;
  b.ctx.params.currentLayer = 3;
  b.answer({{"width", ".02"}});
  b.cursor(.3, 1.5);  // a bottom-side track only
  b.run('E', 'L');
  ASSERT_TRUE(has(b.items(), "1 12 .02 .3 2.4 .3 .5"));
  EXPECT_EQ(b.ctx.params.currentLayer, 12);
  b.run('U', 'U');
  EXPECT_EQ(b.ctx.params.currentLayer, 3);
  EXPECT_FALSE(has(b.items(), "1 12 .02 .3 2.4 .3 .5"));
  b.run('U', 'E');
  EXPECT_EQ(b.ctx.params.currentLayer, 12);
  EXPECT_TRUE(has(b.items(), "1 12 .02 .3 2.4 .3 .5"));
}

// The picked pad is replaced with its pin name; Un-Do brings back the old
// pad with its own name, and purging the stacks leaves no record behind.
TEST(EditItems, AnEditedPinNameGoesBackAndForthWithItsPad) {
  EditBoard b;
  const size_t freeBefore = b.ctx.pool.freeCount();
  b.answer({{"pin", "A1"}});
  b.cursor(2.4, 1.6);  // R1 pin 2
  b.run('E', 'P');
  ASSERT_TRUE(has(b.items(), "3 0 1 2.4 1.6 .065 .065 .035 0 A1 DIS")) << b.items();
  b.answer({{"pin", "B2"}});
  b.run('E', 'P');
  ASSERT_TRUE(has(b.items(), "3 0 1 2.4 1.6 .065 .065 .035 0 B2 DIS"));
  b.run('U', 'U');
  EXPECT_TRUE(has(b.items(), "3 0 1 2.4 1.6 .065 .065 .035 0 A1 DIS"));
  b.run('U', 'U');
  EXPECT_TRUE(has(b.items(), "3 0 1 2.4 1.6 .065 .065 .035 0 2 DIS"));
  b.run('U', 'E');
  b.run('U', 'E');
  EXPECT_TRUE(has(b.items(), "3 0 1 2.4 1.6 .065 .065 .035 0 B2 DIS"));
  b.run('U', 'A');
  purgeRedoStack(b.ctx, b.ctx.current);
  EXPECT_EQ(b.ctx.pool.freeCount(), freeBefore);
}

TEST(EditItems, PadBoxKeepsThePadRulesAndEditsTheComponentInOneEvent) {
  EditBoard b;
  const std::string original = b.items();
  int shown = 0;
  // The first answer breaks a rule (surface mount with a drill); the box
  // comes back and the second answer is taken.
  b.host.dialog = [&](DialogBox& box) {
    box.field("type")->value = ++shown == 1 ? "5" : "2";
    box.field("x")->value = ".08";
    box.field("component")->value = "1";
    return true;
  };
  b.cursor(2.4, 1.6);  // R1 pin 2
  b.run('E', 'P');
  EXPECT_EQ(shown, 2);
  ASSERT_EQ(b.host.boxes.size(), 1u);
  EXPECT_EQ(b.host.boxes[0].first, "Pad layer/type conflict");
  const std::string after = b.items();
  EXPECT_TRUE(has(after, "3 0 2 2.0 1.6 .08 .065 .035 0 1 VCC")) << after;
  EXPECT_TRUE(has(after, "3 0 2 2.4 1.6 .08 .065 .035 0 2 DIS"));
  EXPECT_TRUE(has(after, "3 0 1 2.0 1.3 .065"));  // another component's pads stay
  b.run('U', 'U');
  EXPECT_EQ(b.items(), original);
}

TEST(EditItems, TextParametersAndComponentAttributes) {
  EditBoard b;
  const std::string original = b.items();
  b.answer({{"size", ".1"}, {"rotation", "90"}});
  b.cursor(.5, .12);
  b.run('E', 'X');
  EXPECT_TRUE(has(b.items(), "4 1 .1 .1 .1 2.26612 90 0 0 TRELMO DEMO 555 BLINKER")) << b.items();
  b.run('U', 'U');
  EXPECT_EQ(b.items(), original);

  b.cursor(2.2, 1.3);  // R2
  int asked = 0;
  b.host.dialog = [&](DialogBox& box) {
    box.field("ref")->value = ++asked == 1 ? "R 7" : "R7";
    box.field("rotation")->value = "90";
    return true;
  };
  b.run('E', 'I');
  EXPECT_EQ(asked, 2);  // the blank was refused
  EXPECT_TRUE(has(b.items(), "6 1 90 ")) << b.items();
  EXPECT_TRUE(has(b.items(), "AXIAL4\177R7\17710K\177\177RES")) << b.items();
  b.run('U', 'U');
  EXPECT_EQ(b.items(), original);
}

TEST(EditItems, KrumpAddsALineToTheComponentUnderItAndTakesItOutElsewhere) {
  EditBoard b;
  createItem(b.ctx.pool, b.ctx.current, kLine, 1, inches(.01), inches(2.1), inches(1.7), inches(2.3), inches(1.7),
             kNull);
  b.ctx.params.currentLayer = 1;
  b.cursor(2.1, 1.7);
  b.run('G', 'I');
  b.run('E', 'K');
  EXPECT_TRUE(b.ctx.edit.grab.ghosts.empty());
  const std::string after = b.items();
  // The line is now an item of R1 (before R1's end line).
  EXPECT_TRUE(has(after, "1 1 .01 2.1 1.7 2.3 1.7\r\n0 6 0 2.0 1.6")) << after;
  EXPECT_TRUE(b.host.status.size() && has(b.host.status.back(), "Line added to component."));
  b.run('U', 'U');
  EXPECT_TRUE(has(b.items(), "1 1 .01 2.1 1.7 2.3 1.7\r\n")) << b.items();
  EXPECT_FALSE(has(b.items(), "1 1 .01 2.1 1.7 2.3 1.7\r\n0 6"));
  b.run('U', 'U');  // the line added by hand is not an undo event
  EXPECT_EQ(undoDepth(b.ctx), 0u);
}

TEST(EditItems, LineToArcDropsAHalfCircleThroughBothEndsInOneEvent) {
  EditBoard b;
  const std::string original = b.items();
  b.ctx.params.currentLayer = 3;
  b.cursor(1.6, 1.6);  // on 1.3,1.6 - 2.0,1.6
  b.run('E', 'R');
  EXPECT_EQ(b.ctx.view.cursorX, inches(1.65));
  b.run('G', 'L');  // the next click drops
  const std::string after = b.items();
  EXPECT_FALSE(has(after, "1 3 .012 1.3 1.6 2.0 1.6"));
  EXPECT_TRUE(has(after, "2 3 .012 1.65 1.6 .35 0 180 0 0")) << after;
  b.run('U', 'U');
  EXPECT_EQ(b.items(), original);
}

TEST(EditItems, GridAlignMovesOnlyWhatIsOffTheGridAndRecordsNothing) {
  EditBoard b;
  const Handle text = createTextItem(b.ctx, b.ctx.current, 1, 3932, inches(3.01), inches(3.0), "X");
  b.run('E', 'D');
  EXPECT_EQ(b.ctx.rec(text).x1, inches(3.0));
  EXPECT_EQ(b.host.questions.back().title, "Text Grid Snap Warning");
  EXPECT_EQ(undoDepth(b.ctx), 0u);
  EXPECT_TRUE(has(b.items(), "4 1 .08 .1 .1 1.472 0 0 0 TRELMO"));
  // Cancel leaves the components alone.
  b.host.answers.push_back(Answer::Cancel);
  const std::string before = b.items();
  b.run('E', 'G');
  EXPECT_EQ(b.items(), before);
}

TEST(EditItems, SnapItemGoesToTheNearestPointOrBeeps) {
  EditBoard b;
  b.ctx.params.currentLayer = 3;
  b.cursor(1.31, 2.48);
  b.run('E', 'S');
  EXPECT_EQ(b.ctx.view.cursorX, inches(1.3));
  EXPECT_EQ(b.ctx.view.cursorY, inches(2.5));
  b.cursor(4.3, 3.3);
  b.run('E', 'S');
  EXPECT_EQ(b.host.count(Sound::Beep), 1);
}

TEST(Query, BoxesShowTheItemUnderTheCursorAndFollowIt) {
  EditBoard b;
  std::vector<DialogBox> shown;
  b.ctx.edit.query.show = [&](Context&, const DialogBox& box) { shown.push_back(box); };
  b.ctx.edit.query.close = [&](Context&, const std::string& name) { shown.push_back(DialogBox{name, "closed", {}}); };
  b.cursor(1.5, .8);
  b.run('Q', 'P');
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].name, "QueryPadBox");
  EXPECT_EQ(shown[0].field("signal")->value, "TRIG");
  b.cursor(3.3, 2.6);
  b.ctx.shell.hooks.refreshQueryBoxes(b.ctx);
  EXPECT_EQ(shown.back().field("signal")->value, "[NONE]");
  // A full circle shows a sweep of 360 degrees.
  b.ctx.params.currentLayer = 1;
  b.cursor(3.0, 1.45);
  DialogBox arc = queryBox(b.ctx, 'A');
  EXPECT_EQ(arc.field("sweep")->value, "360.00");
  EXPECT_EQ(arc.field("ellipse")->value, "0.0000");
  b.run('Q', 'P');
  EXPECT_EQ(shown.back().title, "closed");
  EXPECT_FALSE(b.ctx.shell.hooks.boxOpen(b.ctx, fc('Q', 'P')));
}

TEST(EditItems, KrumpFilledSolidDissolvesItAndTracesItBack) {
  EditBoard b;
  const std::string original = b.items();
  b.ctx.params.currentLayer = 12;
  b.cursor(3.0, 2.2);
  b.run('G', 'F');
  b.run('E', 'F');
  const std::string lines = b.items();
  EXPECT_FALSE(has(lines, "1 12 0 2.6 1.9 3.4 2.7"));
  EXPECT_TRUE(has(lines, "1 12 .001 2.6 1.9 3.4 1.9\r\n")) << lines;
  EXPECT_TRUE(has(lines, "1 12 .001 2.6 2.7 2.6 1.9\r\n"));
  b.run('U', 'U');
  EXPECT_EQ(b.items(), original);
  // Four lines joined end to end become one solid; undo gives them back.
  for (auto [x1, y1, x2, y2] : {std::array{3.6, .2, 3.9, .2}, std::array{3.9, .2, 3.9, .4},
                                std::array{3.9, .4, 3.6, .4}, std::array{3.6, .4, 3.6, .2}})
    createItem(b.ctx.pool, b.ctx.current, kLine, 1, inches(.01), inches(x1), inches(y1), inches(x2), inches(y2), kNull);
  const std::string drawn = b.items();
  b.ctx.params.currentLayer = 1;
  b.cursor(3.75, .2);
  b.run('G', 'L');
  b.run('E', 'F');
  const std::string solid = b.items();
  EXPECT_FALSE(has(solid, "1 1 .01 3.6 .2 3.9 .2"));
  EXPECT_TRUE(has(solid, "1 1 0 3.6 .2 3.9 .4")) << solid;
  b.run('U', 'U');
  EXPECT_EQ(b.items(), drawn);
}

TEST(EditItems, LocateFindsTheFirstMatchThenTheNext) {
  EditBoard b;
  b.answer({{"ref", ""}, {"pcb", "res"}});
  b.run('E', 'O');
  EXPECT_EQ(b.ctx.view.cursorX, inches(2.0));  // R1's origin
  EXPECT_EQ(b.ctx.view.cursorY, inches(1.6));
  b.answer({{"pcb", "RES"}, {"next", "1"}});
  b.run('E', 'O');
  EXPECT_EQ(b.ctx.view.cursorY, inches(1.3));  // R2
  b.answer({{"text", "bottom"}});
  b.run('E', 'E');
  EXPECT_EQ(b.ctx.view.cursorX, inches(3.4));
}

}  // namespace
}  // namespace trelmo::testing
