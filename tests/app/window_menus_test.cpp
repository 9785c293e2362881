// The first title of the window, and TRELMO mode coming back after a menu.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include "app/main_window.h"
#include "app/qt_host.h"
#include "app_test_support.h"
#include "context.h"
#include "shell/input.h"

namespace trelmo::app {
namespace {

using testing::Editor;

TEST(MainWindowTitle, BeforeAnyFileTheTitleIsTheProductsFullName) {
  Editor e;
  EXPECT_EQ(e.window.windowTitle(), "TRELMO'98 for Windows");
}

// The offscreen platform moves the focus away when a shown popup closes,
// which rightly leaves TRELMO mode: the menus' closing is signalled directly.
TEST(MainWindowMenus, ClosingAMenuBarMenuGoesBackToTrelmoMode) {
  Editor e;
  e.window.placeAndShow();
  e.window.startHeartbeat();
  ASSERT_TRUE(testing::waitFor([&] { return e.ctx.shell.startupPhase == 3; }, 30000));
  enterTrelmoMode(e.ctx);
  ASSERT_TRUE(e.ctx.shell.crossHairMode);
  suspendForMenu(e.ctx, 1);  // as Alt and a letter do
  ASSERT_FALSE(e.ctx.shell.crossHairMode);
  QMenu* file = e.window.menuBar()->actions().front()->menu();
  ASSERT_NE(file, nullptr);
  Q_EMIT file->aboutToHide();
  EXPECT_FALSE(e.ctx.shell.crossHairMode);  // not while the menu is still closing
  EXPECT_TRUE(testing::waitFor([&] { return e.ctx.shell.crossHairMode; }, 5000));
  EXPECT_EQ(e.ctx.shell.menuSuspend, 0);
}

TEST(MainWindowMenus, AMenuOpenedInWindowsModeStaysInWindowsMode) {
  Editor e;
  e.window.placeAndShow();
  e.window.startHeartbeat();
  ASSERT_TRUE(testing::waitFor([&] { return e.ctx.shell.startupPhase == 3; }, 30000));
  ASSERT_FALSE(e.ctx.shell.crossHairMode);
  for (QAction* top : e.window.menuBar()->actions()) Q_EMIT top->menu()->aboutToHide();
  testing::waitFor([] { return false; }, 200);
  EXPECT_FALSE(e.ctx.shell.crossHairMode);
}

}  // namespace
}  // namespace trelmo::app
