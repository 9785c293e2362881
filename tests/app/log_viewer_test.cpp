// The log viewer: Net Scan Log opens it with the log's lines; a second log
// replaces the first.
#include "app/log_viewer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPlainTextEdit>

#include "app_test_support.h"
#include "shell/dispatch.h"
#include "shell/file_functions.h"
#include "shell/function_codes.h"

namespace trelmo::app {
namespace {

TEST(LogViewer, NetScanLogShowsItsLinesInTheViewer) {
  testing::Editor e;
  const QString board = e.dir.filePath("demo.pcb");
  ASSERT_TRUE(QFile::copy(QString::fromStdString(testing::demoBoard()), board));
  ASSERT_TRUE(openFileByName(e.ctx, board.toStdString(), 0));
  e.ctx.shell.prefs.displayLogs = true;
  executeFunction(e.ctx, fc('N', 'G'), kFromMacro);
  auto* viewer = e.window.findChild<LogViewer*>("ViewBox");
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->isVisible());
  EXPECT_EQ(viewer->windowTitle(), e.dir.filePath("demo.LOG"));
  const QString text = viewer->text();
  EXPECT_TRUE(text.startsWith("LOG FILE\nNETSCAN ERROR LOG")) << text.toStdString();
  EXPECT_TRUE(text.contains("7 nets scanned, 5 errors detected.\n\f"));
  // Scanning again shows the new log alone.
  executeFunction(e.ctx, fc('N', 'G'), kFromMacro);
  EXPECT_EQ(viewer->text().count("NETSCAN ERROR LOG"), 1);
  // With the option off no viewer opens.
  viewer->hide();
  e.ctx.shell.prefs.displayLogs = false;
  executeFunction(e.ctx, fc('N', 'G'), kFromMacro);
  EXPECT_FALSE(viewer->isVisible());
}

}  // namespace
}  // namespace trelmo::app
