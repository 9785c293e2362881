// Undo and redo: events, identity of removed items, markers, purges, the
// Re-Do purge question, saves and the closing of a file.
#include <gtest/gtest.h>

#include "database/design_files.h"
#include "edit_fixture.h"

namespace trelmo::testing {
namespace {

TEST(Undo, OneEventTakesBackAddedModifiedAndRemovedItemsAndRedoRepeatsIt) {
  EditBoard b;
  const std::string before = b.save();
  const Handle line = b.freeItem(kLine, 0), pad = b.freeItem(kPad, 0);
  const Handle successor = b.ctx.rec(pad).next;
  Handle added = kNull;
  {
    UndoTransaction t(b.ctx);
    added = createItem(b.ctx.pool, b.ctx.current, kLine, 3, 100, 0, 0, inches(1), 0, kNull);
    t.added(added);
    t.modified(line);
    b.ctx.rec(line).x1 += inches(0.5);
    t.removed(pad);
  }
  EXPECT_EQ(undoDepth(b.ctx), 3u);
  EXPECT_TRUE(fileModified(b.ctx.rec(b.ctx.current)));
  const std::string after = b.save();
  EXPECT_NE(after, before);

  b.run('U', 'U');
  EXPECT_EQ(b.save(), before);
  EXPECT_EQ(undoDepth(b.ctx), 0u);
  EXPECT_EQ(undoDepth(b.ctx, true), 3u);
  // The removed pad is the very record, back in its place.
  EXPECT_EQ(b.ctx.rec(pad).next, successor);
  EXPECT_EQ(b.ctx.rec(successor).prev, pad);

  b.run('U', 'E');
  EXPECT_EQ(b.save(), after);
  EXPECT_EQ(b.ctx.rec(b.ctx.current).prev, added);
  b.run('U', 'U');
  EXPECT_EQ(b.save(), before);
  EXPECT_TRUE(b.host.sounds.empty());
}

TEST(Undo, EachEventGoesAloneAndAllOfThemTogether) {
  EditBoard b;
  const Handle line = b.freeItem(kLine, 3);
  const std::string saves[1] = {b.save()};
  for (int i = 1; i <= 3; ++i) {
    UndoTransaction t(b.ctx);
    t.modified(line);
    b.ctx.rec(line).w3 += inches(0.1);
    t.touch(line);
  }
  b.run('U', 'U');
  EXPECT_EQ(undoDepth(b.ctx), 2u);
  EXPECT_EQ(undoDepth(b.ctx, true), 1u);
  const std::string two = b.save();
  b.run('U', 'A');
  EXPECT_EQ(b.save(), saves[0]);
  EXPECT_EQ(undoDepth(b.ctx, true), 3u);
  b.run('U', 'E');
  b.run('U', 'E');
  EXPECT_EQ(b.save(), two);
  b.run('U', 'R');
  EXPECT_EQ(undoDepth(b.ctx), 3u);
  EXPECT_EQ(undoDepth(b.ctx, true), 0u);
  b.run('U', 'A');
  EXPECT_EQ(b.save(), saves[0]);
}

TEST(Undo, NothingToUndoBeepsAndClearsTheFunctionUnlessFromAMacro) {
  EditBoard b;
  b.ctx.shell.currentFunction = fc('G', 'L');
  b.run('U', 'U', kFromMacro);
  EXPECT_EQ(b.host.count(Sound::Beep), 1);
  EXPECT_EQ(b.ctx.shell.currentFunction, fc('G', 'L'));
  b.run('U', 'E', kFromKeys);
  EXPECT_EQ(b.host.count(Sound::Beep), 2);
  EXPECT_EQ(b.ctx.shell.currentFunction, 0);
  b.run('U', 'A', kFromKeys);
  EXPECT_EQ(b.host.count(Sound::Beep), 3);

  EditBoard none("");
  none.run('U', 'U');
  EXPECT_EQ(none.host.count(Sound::Beop), 1);
}

TEST(Undo, ANewChangeAfterUndoEmptiesTheRedoStackOrAsksFirst) {
  EditBoard b;
  const Handle line = b.freeItem(kLine, 0);
  for (int i = 0; i < 2; ++i) {
    UndoTransaction t(b.ctx);
    t.modified(line);
    b.ctx.rec(line).y1 += 100;
  }
  b.run('U', 'U');
  b.run('U', 'U');
  ASSERT_EQ(undoDepth(b.ctx, true), 2u);
  // Silently by default.
  EXPECT_TRUE(autoPurgeRedo(b.ctx));
  EXPECT_EQ(undoDepth(b.ctx, true), 0u);
  EXPECT_TRUE(b.host.questions.empty());

  {
    UndoTransaction t(b.ctx);
    t.modified(line);
    b.ctx.rec(line).y1 += 100;
  }
  b.run('U', 'U');
  b.ctx.shell.prefs.purgeRedoNotify = true;
  b.host.answers = {Answer::Cancel};
  const int32_t y = b.ctx.rec(line).y1;
  b.cursor(0.3, 1.5);  // on the VCC track
  b.run('G', 'L');
  ASSERT_EQ(b.host.questions.size(), 1u);
  EXPECT_EQ(b.host.questions[0].title, "Re-Do Purge");
  EXPECT_EQ(b.host.questions[0].buttons, Buttons::OkCancel);
  EXPECT_FALSE(isGrabbed(b.ctx));  // cancelled: the function did not run
  EXPECT_EQ(undoDepth(b.ctx, true), 1u);
  b.host.answers = {Answer::Ok};
  b.run('G', 'L');
  EXPECT_TRUE(isGrabbed(b.ctx));
  EXPECT_EQ(undoDepth(b.ctx, true), 0u);
  EXPECT_EQ(b.ctx.rec(line).y1, y);
}

TEST(Undo, MarkersStopASingleEventWithTheirBoxAndPassSilentlyInUndoAll) {
  EditBoard b;
  const Handle line = b.freeItem(kLine, 0);
  {
    UndoTransaction t(b.ctx);
    t.modified(line);
  }
  EXPECT_FALSE(pushMarker(b.ctx, ""));
  EXPECT_TRUE(pushMarker(b.ctx, "Before routing"));
  b.run('U', 'U');
  ASSERT_EQ(b.host.boxes.size(), 1u);
  EXPECT_EQ(b.host.boxes[0], std::make_pair(std::string("Un-Do Marker"), std::string("Before routing")));
  EXPECT_EQ(undoDepth(b.ctx), 1u);
  b.run('U', 'E');
  EXPECT_EQ(b.host.boxes.back().first, "Re-Do Marker");
  b.run('U', 'A');
  EXPECT_EQ(b.host.boxes.size(), 2u);
  EXPECT_EQ(undoDepth(b.ctx), 0u);
  EXPECT_EQ(undoDepth(b.ctx, true), 2u);
}

TEST(Undo, SavingPurgesTheUndoStackUnlessUndoBeyondSave) {
  EditBoard b;
  const Handle line = b.freeItem(kLine, 0);
  {
    UndoTransaction t(b.ctx);
    t.modified(line);
    b.ctx.rec(line).x1 += 1000;
  }
  b.ctx.shell.prefs.undoBeyondSave = true;
  ASSERT_TRUE(saveCurrentFile(b.ctx));
  EXPECT_EQ(undoDepth(b.ctx), 1u);
  b.run('U', 'U');
  // Taken back beyond the save: the design differs from the file again.
  EXPECT_TRUE(fileModified(b.ctx.rec(b.ctx.current)));
  b.run('U', 'E');
  b.ctx.shell.prefs.undoBeyondSave = false;
  ASSERT_TRUE(saveCurrentFile(b.ctx));
  EXPECT_EQ(undoDepth(b.ctx), 0u);
  b.run('U', 'U');
  EXPECT_EQ(b.host.count(Sound::Beep), 1);
}

TEST(Undo, PurgesAskAndAnEmptyStackBeeps) {
  EditBoard b;
  b.run('U', 'S');
  b.run('U', 'P');
  EXPECT_EQ(b.host.count(Sound::Beep), 2);
  EXPECT_TRUE(b.host.questions.empty());
  const Handle line = b.freeItem(kLine, 0);
  for (int i = 0; i < 2; ++i) {
    UndoTransaction t(b.ctx);
    t.modified(line);
  }
  b.run('U', 'U');
  b.host.answers = {Answer::Cancel, Answer::Ok, Answer::Ok};
  b.run('U', 'S');
  EXPECT_EQ(undoDepth(b.ctx), 1u);
  b.run('U', 'S');
  EXPECT_EQ(undoDepth(b.ctx), 0u);
  b.run('U', 'P');
  EXPECT_EQ(undoDepth(b.ctx, true), 0u);
  ASSERT_EQ(b.host.questions.size(), 3u);
  EXPECT_EQ(b.host.questions[0].title, "Un-Do Purge");
  EXPECT_EQ(b.host.questions[0].text,
            "Are You Sure?\n\nPurging the Un-Do stack cannot be un-done.\nAll data will be lost.");
  EXPECT_EQ(b.host.questions[2].title, "Re-Do Purge");
}

TEST(Undo, ARemovedComponentComesBackWholeAndIsFreedWithTheRedoStack) {
  EditBoard b;
  const Handle comp = b.freeItem(kComponent, 0);
  const std::string before = b.save();
  const size_t freeBefore = b.ctx.pool.freeCount();
  {
    UndoTransaction t(b.ctx);
    t.removed(comp);
  }
  EXPECT_NE(b.save(), before);
  b.run('U', 'U');
  EXPECT_EQ(b.save(), before);
  b.run('U', 'E');
  b.run('U', 'U');
  b.run('U', 'E');  // removed again: the component sits on the Un-Do stack
  b.run('U', 'U');  // ... and is back; its removal waits on the Re-Do stack
  {
    UndoTransaction t(b.ctx);
    t.removed(comp);
  }
  // The new removal purged the Re-Do stack's entry; purging the Un-Do stack
  // frees the component with its ring.
  purgeUndoStack(b.ctx, b.ctx.current);
  EXPECT_GT(b.ctx.pool.freeCount(), freeBefore + 5);
}

// An item is removed after new ones were linked in right behind it (an
// item replaced in its place): the removed item's successor is then one of
// the new items, which Un-Do takes out first.
TEST(Undo, AnItemRemovedAfterNewItemsWereLinkedBehindItComesBackInItsPlace) {
  EditBoard b;
  const Handle pad = b.freeItem(kPad, 0), successor = b.ctx.rec(pad).next;
  const std::string before = b.save();
  {
    UndoTransaction t(b.ctx);
    Handle made[2];
    for (Handle& h : made) {
      h = createItem(b.ctx.pool, b.ctx.current, kLine, 3, 100, 0, 0, inches(1), 0, kNull);
      moveItem(b.ctx.pool, h, successor);
    }
    t.removed(pad);
    for (Handle h : made) t.added(h);
  }
  const std::string after = b.save();
  for (int round = 0; round < 2; ++round) {
    b.run('U', 'U');
    ASSERT_EQ(b.save(), before);
    EXPECT_EQ(b.ctx.rec(pad).next, successor);
    EXPECT_EQ(b.ctx.rec(successor).prev, pad);
    b.run('U', 'E');
    ASSERT_EQ(b.save(), after);
  }
}

TEST(Undo, AForgottenItemLeavesADeadEntryThatIsPassedOver) {
  EditBoard b;
  const std::string before = b.save();
  Handle added;
  {
    UndoTransaction t(b.ctx);
    added = createItem(b.ctx.pool, b.ctx.current, kLine, 3, 100, 0, 0, inches(1), 0, kNull);
    t.added(added);
  }
  forgetItem(b.ctx, added);
  deleteItem(b.ctx.pool, added);
  b.run('U', 'U');
  EXPECT_EQ(b.save(), before);
  EXPECT_EQ(undoDepth(b.ctx), 0u);
  EXPECT_EQ(undoDepth(b.ctx, true), 0u);
}

TEST(Undo, ClosingAFileFreesItsStacksWithWhatTheyHold) {
  // The pool after opening and closing the board untouched.
  size_t untouched = 0;
  {
    EditBoard plain;
    closeDesignFile(plain.ctx, plain.ctx.current);
    untouched = plain.ctx.pool.freeCount();
  }
  EditBoard b;
  const Handle comp = b.freeItem(kComponent, 0), line = b.freeItem(kLine, 0);
  {
    UndoTransaction t(b.ctx);
    t.removed(comp);
    t.modified(line);
  }
  b.run('U', 'U');
  b.run('U', 'E');
  {
    UndoTransaction t(b.ctx);
    t.modified(line);
  }
  b.run('U', 'U');
  const Handle file = b.ctx.current;
  closeDesignFile(b.ctx, file);
  EXPECT_EQ(b.ctx.edit.undo.count(file), 0u);
  EXPECT_EQ(b.ctx.current, kNull);
  EXPECT_EQ(b.ctx.pool.freeCount(), untouched);
}

TEST(Undo, TheMirrorViewIsOneEventThatUndoTurnsBack) {
  EditBoard b;
  const std::string before = b.items();
  const size_t freeBefore = b.ctx.pool.freeCount();
  b.run('S', 'W');
  const std::string mirrored = b.items();
  EXPECT_NE(mirrored, before);
  b.run('U', 'U');
  EXPECT_EQ(b.items(), before);  // the filled solid's vertices too
  b.run('U', 'E');
  EXPECT_EQ(b.items(), mirrored);
  // The kept vertices and the entries go with the stacks.
  purgeUndoStack(b.ctx, b.ctx.current);
  EXPECT_EQ(b.ctx.pool.freeCount(), freeBefore);
}

TEST(Undo, AFilledSolidMovedAndTakenBackKeepsNoStrayVertices) {
  EditBoard b;
  const std::string before = b.items();
  const size_t freeBefore = b.ctx.pool.freeCount();
  b.ctx.params.currentLayer = 12;
  b.cursor(3.0, 2.3);
  b.run('G', 'F');
  ASSERT_TRUE(isGrabbed(b.ctx));
  b.cursor(3.5, 2.0);
  b.run('G', 'R');
  ASSERT_TRUE(dropGrabList(b.ctx));
  const std::string moved = b.items();
  EXPECT_EQ(moved.find("1 12 0 2.6 1.9\r\n"), std::string::npos);
  b.run('U', 'U');
  EXPECT_EQ(b.items(), before);
  b.run('U', 'E');
  EXPECT_EQ(b.items(), moved);
  b.run('U', 'U');
  purgeRedoStack(b.ctx, b.ctx.current);
  EXPECT_EQ(b.ctx.pool.freeCount(), freeBefore);
}

}  // namespace
}  // namespace trelmo::testing
