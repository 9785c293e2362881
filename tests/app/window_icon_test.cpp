// The icon: the files installed in the icon theme are what the program
// draws (TRELMO_WRITE_ICONS=1 writes them anew, on purpose), and the
// animation's frames differ from each other and from the still icon.
#include "app/window_icon.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

namespace trelmo::app {
namespace {

QString installedIcon(int size) {
  return QString("%1/../data/desktop/icons/hicolor/%2x%2/apps/trelmo.png").arg(TRELMO_EXAMPLES_DIR).arg(size);
}

TEST(WindowIcon, TheInstalledIconsAreTheDrawnOnes) {
  for (int size : kIconSizes) {
    const QImage drawn = drawIcon(size).convertToFormat(QImage::Format_ARGB32);
    if (qEnvironmentVariable("TRELMO_WRITE_ICONS") == "1") {
      QDir().mkpath(QFileInfo(installedIcon(size)).path());
      ASSERT_TRUE(drawn.save(installedIcon(size)));
    }
    const QImage installed = QImage(installedIcon(size)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(installed.size(), QSize(size, size)) << size;
    EXPECT_EQ(installed, drawn) << size;
  }
}

TEST(WindowIcon, EveryFrameOfTheAnimationIsItsOwn) {
  const QImage still = drawIcon(32);
  QImage previous = drawIcon(32, kIconFrames);
  for (int frame = 1; frame <= kIconFrames; ++frame) {
    const QImage image = drawIcon(32, frame);
    EXPECT_NE(image, still) << frame;
    EXPECT_NE(image, previous) << frame;
    previous = image;
  }
}

}  // namespace
}  // namespace trelmo::app
