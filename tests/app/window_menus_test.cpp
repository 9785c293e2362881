// The first title of the window, and TRELMO mode coming back after a menu.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include "app/main_window.h"
#include "app/menus.h"
#include "app/qt_host.h"
#include "app_test_support.h"
#include "context.h"
#include "shell/function_codes.h"
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

// The Screen submenu: each display described for the Screen Parameters box,
// the check on the display in use, and "-s" past the last display ignored.
TEST(MainWindowScreens, TheScreenInUseIsDescribedAndChecked) {
  Editor e;
  ASSERT_FALSE(e.ctx.shell.screens.empty());
  EXPECT_NE(e.ctx.shell.screens[0].find(" at "), std::string::npos) << e.ctx.shell.screens[0];
  e.ctx.shell.screenIndex = 7;  // "-s7" with fewer displays
  e.window.placeAndShow();
  EXPECT_EQ(e.ctx.shell.screenIndex, 0);
  QAction* parameters = findAction(e.window.menuBar()->actions()[7]->menu(), kScreenBox);
  ASSERT_NE(parameters, nullptr);
  EXPECT_TRUE(parameters->isChecked());
}

}  // namespace
}  // namespace trelmo::app
