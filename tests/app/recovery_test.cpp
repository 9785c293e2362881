// Crash recovery as a person meets it: the real editor is killed after an
// edit and an autosave tick (which leaves the file marked modified), started
// again on the same board, and asked whether to recover the copy; the
// recovered edit is then saved.
#include <gtest/gtest.h>

#include <QFile>

#include "real_editor.h"

namespace trelmo::app::testing {
namespace {

QByteArray bytesOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(RealRecovery, AnEditKilledAfterAnAutosaveTickIsRecoveredOnTheNextStart) {
  const std::string why = realEditorUnavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  XServer x;
  ASSERT_TRUE(x.running()) << "Xvfb did not start";
  QTemporaryDir home;
  const QString board = copyOfDemoBoard(home);
  const QByteArray original = bytesOf(board);
  QString copy;
  {
    // Autosave every 0.01 minute: about every 11 ticks.
    RealEditor first(x, home, {{"Autosave Timer", "0.01"}});
    ASSERT_TRUE(first.start({board}));
    ASSERT_TRUE(first.waitFor([](const State& s) { return s.at("title").find("board.pcb") != std::string::npos; }));
    first.keys({"alt+v"});  // mirror view: the file is modified
    ASSERT_TRUE(first.waitFor([](const State& s) { return s.at("title").find("board.pcb *") != std::string::npos; }));
    copy = first.dataPath("Autosave/board.pcb");
    ASSERT_TRUE(first.waitFor([&](const State&) { return QFile::exists(copy); }));
    // The edit is only in the Autosave folder: the window and the status band
    // still say so, and exit still asks.
    ASSERT_TRUE(first.waitTicks(2));
    EXPECT_TRUE(first.windowName().endsWith("board.pcb *")) << first.windowName().toStdString();
    EXPECT_EQ(first.state()["modified"], "1");
    EXPECT_EQ(first.state()["layer"].back(), '*');
    first.keys({"alt+x"});
    ASSERT_TRUE(first.waitValue("modal", "Exit Save Warning"));
    first.keys({"Escape"});  // Cancel: the editor stays
    ASSERT_TRUE(first.waitValue("modal", ""));
    EXPECT_EQ(first.process().state(), QProcess::Running);
    first.process().kill();
    ASSERT_TRUE(first.finished(10000));
  }
  const QByteArray autosaved = bytesOf(copy);
  ASSERT_FALSE(autosaved.isEmpty());
  ASSERT_NE(autosaved, original) << "the edit did not reach the autosave copy";
  EXPECT_EQ(bytesOf(board), original);

  RealEditor second(x, home);
  ASSERT_TRUE(second.launch({board}));
  ASSERT_TRUE(second.waitValue("modal", "Autosave Recovery"));
  EXPECT_NE(second.state()["modaltext"].find("Recover the autosave copy?"), std::string::npos);
  second.keys({"Return"});  // Yes
  ASSERT_TRUE(second.waitFor(
      [](const State& s) { return s.at("modal").empty() && s.at("title").find("board.pcb *") != std::string::npos; }));
  EXPECT_EQ(bytesOf(board), original) << "recovering wrote the file before the user saved";
  second.focus();
  second.keys({"alt+x"});
  ASSERT_TRUE(second.waitValue("modal", "Exit Save Warning"));
  second.keys({"Return"});  // Yes: save, then exit
  ASSERT_TRUE(second.finished(20000));
  EXPECT_EQ(bytesOf(board), autosaved);
  EXPECT_FALSE(QFile::exists(copy)) << "a clean exit left the autosave copy";
}

}  // namespace
}  // namespace trelmo::app::testing
