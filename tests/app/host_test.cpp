// The Qt host: settings kept in the INI file, questions answered by the
// buttons, the progress bar in the status band, messages on the status bar.
#include <gtest/gtest.h>

#include <QFile>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include "app/canvas.h"
#include "app/qt_host.h"
#include "app_test_support.h"
#include "context.h"

namespace trelmo::app {
namespace {

TEST(HostSettings, ValuesSurviveARestartWithTheirExactText) {
  QTemporaryDir dir;
  const QString file = dir.filePath("settings.ini");
  // 8-bit macro texts (one half, one quarter) and a UTF-8 path, byte for byte.
  const std::pair<const char*, const char*> values[] = {
      {"Window Position", "100,50 800x600"},       {"Autosave Timer", "2.5"},
      {"Library Path", "/home/me/my libs;/opt/x"}, {"Key Stroke Alt-2", "\xBD"},
      {"Key Stroke F5", "\"25\xB0\xB5\" CR"},      {"File Re-Open List", "/home/me/caf\xC3\xA9.pcb"}};
  {
    QtHost host(file);
    for (auto [name, value] : values) host.writeSetting(name, value);
    host.writeSetting("Sleep Mode Timer", "Off");
    host.deleteSetting("Sleep Mode Timer");
  }
  QtHost again(file);
  for (auto [name, value] : values) EXPECT_EQ(again.readSetting(name), value) << name;
  EXPECT_EQ(again.readSetting("Sleep Mode Timer"), "");
  EXPECT_EQ(again.readSetting("Never Written"), "");
}

TEST(HostSettings, AHandEditedValueWithCommasIsReadWhole) {
  QTemporaryDir dir;
  const QString file = dir.filePath("settings.ini");
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[General]\nWindow%20Position=10,20 640x480\n");
  f.close();
  QtHost host(file);
  EXPECT_EQ(host.readSetting("Window Position"), "10,20 640x480");
}

TEST(HostQuestions, TheButtonChosenIsTheAnswer) {
  QtHost host(QTemporaryDir().filePath("unused.ini"));
  testing::whenModalOpens([](QWidget* w) { static_cast<QMessageBox*>(w)->button(QMessageBox::No)->click(); });
  EXPECT_EQ(host.question("Exit Save Warning", "Save?", Buttons::YesNoCancel), Answer::No);
  testing::whenModalOpens([](QWidget* w) { static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click(); });
  EXPECT_EQ(host.question("TRELMO'98", "Go on?", Buttons::OkCancel), Answer::Ok);
  testing::whenModalOpens([](QWidget* w) { static_cast<QMessageBox*>(w)->reject(); });
  EXPECT_EQ(host.question("TRELMO'98", "Go on?", Buttons::YesNoCancel), Answer::Cancel);
}

struct HostOnCanvas : ::testing::Test {
  Context ctx;
  QtHost host{QTemporaryDir().filePath("unused.ini")};
  Canvas canvas{ctx};
  void SetUp() override {
    host.canvas = &canvas;
    canvas.resize(400, 300);
    canvas.show();
    ASSERT_TRUE(testing::waitFor([&] { return canvas.image().size() == QSize(400, 300); }));
  }
};

TEST_F(HostOnCanvas, ProgressBarSitsInTheBandWhileAReadRuns) {
  EXPECT_FALSE(host.progress(0));
  ASSERT_NE(host.progressBar(), nullptr);
  EXPECT_EQ(host.progressBar()->geometry(), QRect(0, 300 - kStatusBarRows + 3, kProgressWidth, kProgressHeight));
  host.progress(40);
  EXPECT_EQ(host.progressBar()->value(), 40);
  host.progress(100);
  EXPECT_EQ(host.progressBar(), nullptr);
}

TEST_F(HostOnCanvas, StatusTextIsDrawnIntoTheBand) {
  const QImage before = canvas.image().copy();
  host.statusText("1.11 Position the cursor for line placement.");
  const QImage with = canvas.image().copy();
  host.statusText("");
  EXPECT_FALSE(before == with);
  EXPECT_TRUE(before == canvas.image()) << "an empty text brings the plain band back";
  EXPECT_TRUE(before.copy(0, 0, 400, 300 - kStatusBarRows) == with.copy(0, 0, 400, 300 - kStatusBarRows));
}

}  // namespace
}  // namespace trelmo::app
