// A redraw gives way to a waiting zoom key or click, and the input it held
// back arrives afterwards.
#include "app/redraw_interrupt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "app/canvas.h"
#include "app_test_support.h"
#include "context.h"
#include "shell/file_functions.h"

namespace trelmo::app {
namespace {

struct KeyCounter : QWidget {
  std::vector<int> keys;
  int releases = 0;
  void keyPressEvent(QKeyEvent* e) override { keys.push_back(e->key()); }
  void mouseReleaseEvent(QMouseEvent*) override { ++releases; }
};

QKeyEvent* key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) { return new QKeyEvent(QEvent::KeyPress, k, m); }
QMouseEvent* release() {
  return new QMouseEvent(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton,
                         Qt::NoModifier);
}

TEST(RedrawInterruptInput, OnlyIAndOKeysAndClicksOnTheTargetAskForAZoom) {
  std::unique_ptr<QEvent> i(key(Qt::Key_I)), o(key(Qt::Key_O)), ctrlI(key(Qt::Key_I, Qt::ControlModifier)),
      p(key(Qt::Key_P)), up(release());
  EXPECT_TRUE(RedrawInterrupt::isZoomInput(i.get(), false));
  EXPECT_TRUE(RedrawInterrupt::isZoomInput(o.get(), false));
  EXPECT_FALSE(RedrawInterrupt::isZoomInput(ctrlI.get(), false));
  EXPECT_FALSE(RedrawInterrupt::isZoomInput(p.get(), false));
  EXPECT_TRUE(RedrawInterrupt::isZoomInput(up.get(), true));
  EXPECT_FALSE(RedrawInterrupt::isZoomInput(up.get(), false));
}

TEST(RedrawInterruptInput, HeldBackInputArrivesAfterTheRedrawInItsOrder) {
  KeyCounter w;
  RedrawInterrupt ri(&w);
  ri.pollInterval = 0;
  ri.begin();
  QCoreApplication::postEvent(&w, key(Qt::Key_P));
  EXPECT_FALSE(ri.poll());  // not a zoom key
  QCoreApplication::postEvent(&w, key(Qt::Key_O));
  QCoreApplication::postEvent(&w, release());
  EXPECT_TRUE(ri.poll());
  EXPECT_TRUE(w.keys.empty());  // nothing reached the widget during the redraw
  ri.end();
  ASSERT_TRUE(testing::waitFor([&] { return w.keys.size() == 2 && w.releases == 1; }, 5000));
  EXPECT_EQ(w.keys, (std::vector<int>{Qt::Key_P, Qt::Key_O}));
  EXPECT_FALSE(ri.poll());  // no redraw running
}

TEST(RedrawInterruptInput, AClickOnAnotherWidgetIsNotAZoomClick) {
  KeyCounter canvas, other;
  RedrawInterrupt ri(&canvas);
  ri.pollInterval = 0;
  ri.begin();
  QCoreApplication::postEvent(&other, release());
  EXPECT_FALSE(ri.poll());
  ri.end();
  EXPECT_TRUE(testing::waitFor([&] { return other.releases == 1; }, 5000));
}

TEST(RedrawInterruptCanvas, AWaitingZoomKeyCutsTheBoardRedrawShort) {
  Context ctx;
  Canvas canvas{ctx};
  canvas.resize(640, 480);
  canvas.show();
  ASSERT_TRUE(testing::waitFor([&] { return canvas.image().size() == QSize(640, 480); }));
  ASSERT_TRUE(openFileByName(ctx, testing::demoBoard(), 0));
  canvas.redrawInterrupt().pollInterval = 0;
  ctx.view.viewScale = 0x40000000;  // close in: the redraw looks at its input every couple of items
  canvas.redrawDesign();
  ASSERT_FALSE(ctx.screen.interrupted);
  QCoreApplication::postEvent(&canvas, key(Qt::Key_I));
  canvas.redrawDesign();
  EXPECT_TRUE(ctx.screen.interrupted);
  EXPECT_FALSE(canvas.redrawInterrupt().running());
  testing::waitFor([] { return false; }, 100);  // the held key is delivered
  canvas.redrawDesign();
  EXPECT_FALSE(ctx.screen.interrupted);
}

}  // namespace
}  // namespace trelmo::app
