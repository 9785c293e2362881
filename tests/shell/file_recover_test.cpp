// Autosave copies after a crash: offered back when newer than their file,
// removed when discarded or when their file is closed in order.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "database/design_files.h"
#include "database/signals.h"
#include "editor_bench.h"
#include "files/item_lines.h"
#include "files/writer.h"
#include "shell/dispatch.h"
#include "shell/file_functions.h"
#include "shell/function_codes.h"

namespace trelmo {
namespace {

namespace fs = std::filesystem;
using testing::readAll;
using testing::ScriptedHost;
using testing::TempDir;

struct Editor : testing::EditorBench {
  std::string board = dir.example("demo.pcb");
  std::string copy() const { return autosavePath(ctx, board); }
  // What a session that stopped after an autosave tick leaves behind: the
  // board with one more line, written to the Autosave folder only.
  void stoppedSession() {
    Context earlier;
    earlier.paths.data = ctx.paths.data;
    ASSERT_TRUE(openFileByName(earlier, board, 0));
    ASSERT_TRUE(parseItemText(earlier, earlier.current, "1 3 .01 0 0 7 7 RECOVERED\r\n", 0, 0));
    earlier.rec(earlier.current).size |= kFileModified;
    ASSERT_TRUE(autosave(earlier, earlier.current));
    fs::last_write_time(copy(), fs::last_write_time(board) + std::chrono::seconds(2));
  }
  bool holdsTheEdit() const { return findSignal(ctx, "RECOVERED") != kNull; }
};

TEST(AutosaveRecovery, ANewerCopyIsRecoveredAsAnUnsavedEdit) {
  Editor e;
  e.stoppedSession();
  const std::string before = readAll(e.board);
  e.host.answers = {Answer::Yes};
  ASSERT_TRUE(openFileByName(e.ctx, e.board, 0));
  ASSERT_EQ(e.host.questions.size(), 1u);
  EXPECT_EQ(e.host.questions[0].title, "Autosave Recovery");
  EXPECT_EQ(e.host.questions[0].buttons, Buttons::YesNo);
  EXPECT_NE(e.host.questions[0].text.find(e.copy()), std::string::npos);
  EXPECT_NE(e.host.questions[0].text.find(e.board), std::string::npos);
  // The file keeps its name and its old contents on the disk until saved.
  EXPECT_EQ(filePath(e.ctx, e.ctx.current), e.board);
  EXPECT_TRUE(e.holdsTheEdit());
  EXPECT_TRUE(fileModified(e.ctx.rec(e.ctx.current)));
  EXPECT_EQ(readAll(e.board), before);
  EXPECT_TRUE(fs::exists(e.copy()));  // until the file is closed in order
  e.run('F', 'S');
  EXPECT_NE(readAll(e.board).find("RECOVERED"), std::string::npos);
}

TEST(AutosaveRecovery, ADiscardedCopyIsRemovedAndTheFileReadAsItIs) {
  Editor e;
  e.stoppedSession();
  e.host.answers = {Answer::No};
  ASSERT_TRUE(openFileByName(e.ctx, e.board, 0));
  EXPECT_EQ(e.host.questions.size(), 1u);
  EXPECT_FALSE(e.holdsTheEdit());
  EXPECT_FALSE(fileModified(e.ctx.rec(e.ctx.current)));
  EXPECT_FALSE(fs::exists(e.copy()));
}

TEST(AutosaveRecovery, ACopyOlderThanTheFileIsNotOffered) {
  Editor e;
  e.stoppedSession();
  fs::last_write_time(e.copy(), fs::last_write_time(e.board) - std::chrono::seconds(2));
  ASSERT_TRUE(openFileByName(e.ctx, e.board, 0));
  EXPECT_TRUE(e.host.questions.empty());
  EXPECT_FALSE(e.holdsTheEdit());
}

TEST(AutosaveRecovery, ClosingInOrderTakesTheCopyAlong) {
  Editor e;
  e.stoppedSession();
  e.host.answers = {Answer::Yes, Answer::No};  // recover; then do not save on close
  ASSERT_TRUE(openFileByName(e.ctx, e.board, 0));
  e.run('F', 'C');
  EXPECT_EQ(e.ctx.current, kNull);
  EXPECT_FALSE(fs::exists(e.copy()));
}

TEST(AutosaveRecovery, ACleanExitRemovesTheCopiesOfTheFilesItClosed) {
  Editor e;
  e.stoppedSession();
  const std::string other = e.dir.example("demo.sch");
  e.host.answers = {Answer::Yes};
  ASSERT_TRUE(openFileByName(e.ctx, e.board, 0));
  ASSERT_TRUE(openFileByName(e.ctx, other, 0));
  e.ctx.rec(e.ctx.current).size |= kFileModified;
  ASSERT_TRUE(autosave(e.ctx, e.ctx.current));
  ASSERT_TRUE(fs::exists(autosavePath(e.ctx, other)));
  // A cancelled exit keeps them: the editor goes on.
  e.host.answers = {Answer::Cancel};
  e.run('F', 'X');
  EXPECT_FALSE(e.host.quitCalled);
  EXPECT_TRUE(fs::exists(e.copy()));
  e.host.answers = {Answer::No, Answer::No};
  e.run('F', 'X');
  EXPECT_TRUE(e.host.quitCalled);
  EXPECT_FALSE(fs::exists(e.copy()));
  EXPECT_FALSE(fs::exists(autosavePath(e.ctx, other)));
}

}  // namespace
}  // namespace trelmo
