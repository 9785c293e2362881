// The editor as a person uses it: each case starts the real program on an X
// server of its own, presses real keys and buttons, and reads back what the
// window shows.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include "real_editor.h"

namespace trelmo::app::testing {
namespace {

class RealKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string why = realEditorUnavailable();
    if (!why.empty()) GTEST_SKIP() << why;
    x_ = std::make_unique<XServer>();
    ASSERT_TRUE(x_->running()) << "Xvfb did not start";
  }

  // The editor with a copy of the example board open.
  RealEditor& withBoard(const std::map<QString, QString>& settings = {}) {
    board_ = copyOfDemoBoard(home_);
    editor_ = std::make_unique<RealEditor>(*x_, home_, settings);
    EXPECT_TRUE(editor_->start({board_}));
    EXPECT_TRUE(editor_->waitFor([](const State& s) { return s.at("title").find("board.pcb") != std::string::npos; }));
    return *editor_;
  }

  // ... and in TRELMO mode, entered with Enter.
  RealEditor& inTrelmoMode(const std::map<QString, QString>& settings = {}) {
    RealEditor& e = withBoard(settings);
    e.keys({"Return"});
    EXPECT_TRUE(e.waitValue("mode", "TRELMO"));
    return e;
  }

  static bool contains(const State& s, const std::string& name, const std::string& text) {
    return s.count(name) && s.at(name).find(text) != std::string::npos;
  }

  QTemporaryDir home_;
  std::unique_ptr<XServer> x_;
  std::unique_ptr<RealEditor> editor_;
  QString board_;
};

TEST_F(RealKeys, SpaceTwiceLeavesTheCursorWhereItWas) {
  RealEditor& e = inTrelmoMode();
  ASSERT_TRUE(e.waitTicks(3));
  const std::string before = e.state()["cursor"];
  e.keys({"space"});
  ASSERT_TRUE(e.waitFor([](const State& s) { return s.at("mode") == "WINDOWS" && s.at("menubar") == "1"; }));
  ASSERT_TRUE(e.waitTicks(3));
  EXPECT_EQ(e.state()["cursor"], before);
  e.keys({"space"});
  ASSERT_TRUE(e.waitFor([](const State& s) { return s.at("mode") == "TRELMO" && s.at("menubar") == "0"; }));
  ASSERT_TRUE(e.waitTicks(3));
  EXPECT_EQ(e.state()["cursor"], before);
}

// A menu worked from the keyboard: the command's source is two; the box it
// opens comes back to TRELMO mode; letters typed ahead reach a submenu.
TEST_F(RealKeys, AMenuWorkedFromTheKeyboardOpensABoxAndComesBackToTrelmoMode) {
  RealEditor& e = inTrelmoMode();
  e.keys({"f"});  // the File menu opens after a moment
  ASSERT_TRUE(e.waitValue("popup", "&File"));
  e.keys({"i"});  // &Information
  ASSERT_TRUE(e.waitValue("modal", "File Information"));
  EXPECT_EQ(e.state()["command"], "FI 2");
  // The box shows each caption with its value.
  const State box = e.state();
  EXPECT_TRUE(contains(box, "modaltext", "File name")) << box.at("modaltext");
  EXPECT_TRUE(contains(box, "modaltext", board_.toStdString())) << box.at("modaltext");
  e.keys({"Escape"});
  ASSERT_TRUE(e.waitValue("modal", ""));
  ASSERT_TRUE(e.waitTicks(3));
  EXPECT_EQ(e.state()["mode"], "TRELMO");
  EXPECT_EQ(e.state()["menubar"], "0");
  e.keys({"f", "r"});
  ASSERT_TRUE(e.waitValue("popup", "&Re-Open"));
  e.keys({"Escape", "Escape"});
}

TEST_F(RealKeys, AltEOpensAFileInWindowsModeInsteadOfTheEditMenu) {
  RealEditor& e = withBoard();
  e.keys({"alt+e"});
  ASSERT_TRUE(e.waitFor([](const State& s) { return !s.at("modal").empty() || !s.at("popup").empty(); }));
  const State s = e.state();
  EXPECT_EQ(s.at("popup"), "");
  EXPECT_EQ(s.at("modal"), "Open");
  e.keys({"Escape"});
}

TEST_F(RealKeys, AltReleasedInsideAMenuIsNotHeldAfterIt) {
  RealEditor& e = inTrelmoMode();
  e.keyDown("alt");
  e.keys({"f"});
  ASSERT_TRUE(e.waitValue("popup", "&File"));
  e.keyUp("alt");
  e.keys({"Escape"});
  ASSERT_TRUE(e.waitFor([](const State& s) { return s.at("popup").empty() && s.at("mode") == "TRELMO"; }));
  const int sounds = std::stoi(e.state()["sounds"]);
  e.keys({"x"});  // Grab Mirror X, never File Exit
  const bool answered = e.waitFor([&](const State& s) { return std::stoi(s.at("sounds")) > sounds; }, 10000);
  EXPECT_EQ(e.process().state(), QProcess::Running) << "the editor exited";
  EXPECT_TRUE(answered);
  EXPECT_EQ(std::stoi(e.state()["keyflags"]) & 8, 0);
}

// The Y of a "cursor=X,Y" value.
long cursorY(const State& s) { return std::stol(s.at("cursor").substr(s.at("cursor").find(',') + 1)); }

TEST_F(RealKeys, TheKeypadFollowsNumLockAsTheKeyboardHasIt) {
  // Num Lock goes on while the editor is not looking: its keypad 8 is the
  // digit form, which moves the cursor ten snaps (0.025" each) instead of one.
  x_->xdotool({"key", "Num_Lock"});
  RealEditor& e = inTrelmoMode();
  const long before = cursorY(e.state());
  e.keys({"KP_8"});
  ASSERT_TRUE(e.waitFor([&](const State& s) { return cursorY(s) != before; }));
  EXPECT_NEAR(cursorY(e.state()) - before, 10 * 1638, 10) << e.state()["keyflags"];
}

TEST_F(RealKeys, ThePopupsEscapeGoesToWindowsMode) {
  RealEditor& e = inTrelmoMode({{"Popup Menus", "Yes"}});
  e.click(1);
  ASSERT_TRUE(e.waitFor([](const State& s) { return !s.at("popup").empty(); }));
  e.keys({"s"});  // "<E&scape>"
  ASSERT_TRUE(e.waitValue("popup", ""));
  ASSERT_TRUE(e.waitTicks(3));
  EXPECT_EQ(e.state()["mode"], "WINDOWS");
  EXPECT_EQ(e.state()["menubar"], "1");
}

TEST_F(RealKeys, AMacroThatRunsItselfAsksOnAKeyAndEscapeStopsIt) {
  RealEditor& e = inTrelmoMode({{"Key Stroke F2", "Up Down F2"}});
  // Escape waits in the queue while the macro runs.
  e.keys({"F2", "Escape"});
  ASSERT_TRUE(e.waitValue("modal", "TRELMO'98"));
  e.keys({"Escape"});  // Cancel
  ASSERT_TRUE(e.waitValue("macro", "0"));
  EXPECT_EQ(e.state()["modal"], "");
}

TEST_F(RealKeys, TheClockIsTwelveHourWithItsColonBlinking) {
  RealEditor& e = withBoard();
  const QRegularExpression clock("^[ 1][0-9][ :][0-5][0-9][ap]m$");
  ASSERT_TRUE(e.waitFor([&](const State& s) { return clock.match(QString::fromStdString(s.at("clock"))).hasMatch(); }))
      << e.state()["clock"];
  ASSERT_TRUE(e.waitFor([](const State& s) { return s.at("clock").size() > 2 && s.at("clock")[2] == ' '; }));
  ASSERT_TRUE(e.waitFor([](const State& s) { return s.at("clock").size() > 2 && s.at("clock")[2] == ':'; }));
}

TEST_F(RealKeys, FilesGoToTheFirstWindowEvenAfterASecondOneClosed) {
  RealEditor first(*x_, home_);
  ASSERT_TRUE(first.start());
  // Without a file the running editor declines: a second window starts.
  RealEditor second(*x_, home_);
  ASSERT_TRUE(second.start());
  const QString a = copyOfDemoBoard(home_, "a.pcb"), b = copyOfDemoBoard(home_, "b.pcb");
  RealEditor third(*x_, home_);
  EXPECT_EQ(third.runToEnd({a}), 0);
  EXPECT_TRUE(first.waitFor([](const State& s) { return s.at("title").find("a.pcb") != std::string::npos; }));
  second.focus();
  second.keys({"alt+x"});
  ASSERT_TRUE(second.finished(20000));
  RealEditor fourth(*x_, home_);
  EXPECT_EQ(fourth.runToEnd({b}), 0);
  EXPECT_TRUE(first.waitFor([](const State& s) { return s.at("title").find("b.pcb") != std::string::npos; }));
}

TEST_F(RealKeys, AMacroEndsWithFileExit) {
  RealEditor& e = inTrelmoMode({{"Key Stroke F3", "<FX> <FI>"}});
  e.keys({"F3"});
  EXPECT_TRUE(e.finished(20000)) << "still running, showing: " << e.state()["modal"];
}

TEST_F(RealKeys, PrintScreenIsNotTheReplayKey) {
  RealEditor& e = withBoard();
  e.keys({"alt+KP_Multiply"});
  ASSERT_TRUE(e.waitValue("recording", "1"));
  e.keys({"Print", "Escape"});  // Escape: "Nothing to escape from." marks the end
  ASSERT_TRUE(e.waitFor([](const State& s) { return contains(s, "status", "Nothing to escape from."); }));
  EXPECT_EQ(e.state()["recording"], "1") << "Print Screen replayed the recording";
}

TEST_F(RealKeys, CtrlQShowsTheCommandLine) {
  RealEditor& e = withBoard();
  e.keys({"ctrl+q"});
  ASSERT_TRUE(e.waitFor([](const State& s) { return contains(s, "status", "board.pcb"); })) << e.state()["status"];
  EXPECT_TRUE(contains(e.state(), "status", "trelmo"));
}

TEST_F(RealKeys, ABoxShowsItsHelpLine) {
  RealEditor& e = inTrelmoMode();
  e.keys({"f", "w"});  // File New
  ASSERT_TRUE(e.waitValue("modal", "New File"));
  EXPECT_TRUE(e.waitFor([](const State& s) { return contains(s, "status", "Select desired new file type."); }))
      << e.state()["status"];
  e.keys({"Escape"});
}

TEST_F(RealKeys, TheHandComesAfterEightTicksOfDrag) {
  RealEditor& e = withBoard();
  e.moveTo(200, 200);
  e.buttonDown(1);
  ASSERT_TRUE(e.waitFor([](const State& s) { return s.at("dragticks") != "0"; }));
  const State early = e.state();
  if (std::stoi(early.at("dragticks")) < 8) {
    EXPECT_EQ(early.at("pointer"), "arrow");
  }
  EXPECT_TRUE(e.waitFor([](const State& s) { return std::stoi(s.at("dragticks")) >= 8 && s.at("pointer") == "hand"; }));
  e.buttonUp(1);
}

TEST_F(RealKeys, TheWindowHasOurIconAnimatedOnlyWithTheOption) {
  if (QStandardPaths::findExecutable("xprop").isEmpty()) GTEST_SKIP() << "xprop is not installed";
  {
    RealEditor& e = withBoard();
    const QString first = e.windowIcon();
    EXPECT_TRUE(first.contains("=")) << "no icon on the window";
    ASSERT_TRUE(e.waitFor([&](const State&) { return e.windowIcon() != first; }));
  }
  editor_.reset();
  RealEditor& still = withBoard({{"Animated Icon", "No"}});
  const QString shown = still.windowIcon();
  EXPECT_TRUE(shown.contains("="));
  ASSERT_TRUE(still.waitTicks(10));
  EXPECT_EQ(still.windowIcon(), shown);
  EXPECT_EQ(still.state()["icon"], "0");
}

}  // namespace
}  // namespace trelmo::app::testing
