// Under a real X server (xvfb-run), the editor's window shows the example
// board exactly as trelmo-cli renders the same view.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>

#include "app/canvas.h"
#include "app/main_window.h"
#include "app/qt_host.h"
#include "app_test_support.h"
#include "context.h"
#include "screen/redraw.h"
#include "shell/file_functions.h"

namespace trelmo::app {
namespace {

TEST(Screenshot, TheWindowShowsTheBoardAsTheCliRendersIt) {
  if (qEnvironmentVariable("TRELMO_XVFB") != "1" || QGuiApplication::platformName() != "xcb")
    GTEST_SKIP() << "runs under xvfb-run only";
  QTemporaryDir dir;
  QtHost host(dir.filePath("settings.ini"));
  Context ctx(host);
  MainWindow window(ctx, host);
  window.resize(640, 480);
  window.show();
  Canvas* canvas = window.canvas();
  ASSERT_TRUE(testing::waitFor([&] { return window.isVisible() && canvas->image().width() > 100; }));
  ASSERT_TRUE(openFileByName(ctx, testing::demoBoard(), 0));
  zoomExtents(ctx);
  canvas->redrawDesign();
  const Rect area = canvas->drawingArea();
  const int w = area.right + 1, h = area.bottom + 1;

  // Let the window system show it, then read the screen's own pixels.
  QImage shot;
  testing::waitFor(
      [&] {
        shot = window.screen()->grabWindow(canvas->winId(), 0, 0, w, h).toImage();
        return !shot.isNull() && shot.size() == QSize(w, h) &&
               (shot.pixel(w / 2, h / 2) & 0xFFFFFF) == (canvas->image().pixel(w / 2, h / 2) & 0xFFFFFF);
      },
      20000);
  ASSERT_EQ(shot.size(), QSize(w, h));

  const QString png = dir.filePath("render.png");
  QProcess cli;
  cli.start(TRELMO_CLI, {"render", QString::fromStdString(testing::demoBoard()), "-o", png, "--size",
                         QString("%1x%2").arg(w).arg(h)});
  ASSERT_TRUE(cli.waitForFinished(60000));
  ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  const QImage reference(png);
  ASSERT_EQ(reference.size(), QSize(w, h));
  int differences = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) differences += (shot.pixel(x, y) & 0xFFFFFF) != (reference.pixel(x, y) & 0xFFFFFF);
  EXPECT_EQ(differences, 0);
}

}  // namespace
}  // namespace trelmo::app
