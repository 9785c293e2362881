// The main window: placement from the stored values, start-up through the
// heartbeat, and the close button going through File Exit.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>

#include "app/canvas.h"
#include "app/qt_host.h"
#include "app_test_support.h"
#include "context.h"
#include "shell/command_line.h"

namespace trelmo::app {
namespace {

using testing::Editor;

TEST(MainWindowPlacement, AStoredPositionThatFitsIsUsedOtherwiseMaximized) {
  {
    Editor e;
    e.host.writeSetting("Window Position", "10,20 400x300");
    e.window.placeAndShow();
    EXPECT_FALSE(e.window.isMaximized());
    EXPECT_EQ(e.window.geometry().size(), QSize(400, 300));
    EXPECT_EQ(e.window.minimumSize(), QSize(300, 200));
  }
  for (const char* bad : {"10,20 200x100", "-5,0 400x300", "Maximized", "", "0,0 99999x300"}) {
    Editor e;
    e.host.writeSetting("Window Position", bad);
    e.window.placeAndShow();
    EXPECT_TRUE(testing::waitFor([&] { return e.window.isMaximized(); }, 5000)) << bad;
  }
}

TEST(MainWindowStartUp, TheHeartbeatOpensQueuedFilesAndTitlesTheWindow) {
  Editor e;
  queueCommandLine(e.ctx, parseCommandLine("\"" + testing::demoBoard() + "\""));
  e.window.placeAndShow();
  e.window.startHeartbeat();
  ASSERT_TRUE(testing::waitFor([&] { return e.ctx.shell.startupPhase == 3; }, 30000));
  EXPECT_TRUE(e.window.windowTitle().endsWith("demo.pcb")) << e.window.windowTitle().toStdString();
  EXPECT_GT(e.ctx.shell.tickCount, 18);
}

TEST(MainWindowStartUp, AFileHandedOverDuringAQuestionWaitsUntilItIsAnswered) {
  Editor e;
  e.window.placeAndShow();
  e.window.startHeartbeat();
  ASSERT_TRUE(testing::waitFor([&] { return e.ctx.shell.startupPhase == 3; }, 30000));
  bool openedDuringQuestion = true;
  testing::whenModalOpens([&](QWidget* box) {
    e.window.openHandedOver("\"" + testing::demoBoard() + "\"");
    testing::waitFor([] { return false; }, 600);  // the retry comes round meanwhile
    openedDuringQuestion = e.ctx.current != kNull;
    static_cast<QDialog*>(box)->reject();
  });
  e.host.question("Exit Save Warning", "Save?", Buttons::YesNoCancel);
  EXPECT_FALSE(openedDuringQuestion);
  EXPECT_TRUE(testing::waitFor([&] { return e.ctx.current != kNull; }, 10000));
}

TEST(MainWindowExit, TheCloseButtonRunsFileExitAndThenCloses) {
  Editor e;
  e.window.placeAndShow();
  e.window.startHeartbeat();
  ASSERT_TRUE(testing::waitFor([&] { return e.ctx.shell.startupPhase >= 1; }));
  e.window.close();  // no open files: nothing to ask
  ASSERT_TRUE(testing::waitFor([&] { return !e.window.isVisible(); }, 10000));
  EXPECT_TRUE(e.ctx.shell.quitting);
  EXPECT_FALSE(e.window.heartbeatRunning());
}

}  // namespace
}  // namespace trelmo::app
