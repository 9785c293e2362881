// Ghosts and markers on the editor's canvas: drawn by exclusive-or over the
// picture and the design, they follow the cursor, a redraw keeps them, and
// Escape leaves the surface exactly as it was.
#include <gtest/gtest.h>

#include <QImage>
#include <memory>

#include "app/canvas.h"
#include "app_test_support.h"
#include "context.h"
#include "edit/edit_functions.h"
#include "edit/grab.h"
#include "image/image_functions.h"
#include "screen/redraw.h"
#include "shell/dispatch.h"
#include "shell/file_functions.h"
#include "shell/function_codes.h"
#include "shell/input_actions.h"

namespace trelmo::app {
namespace {

using testing::CanvasHost;
using testing::demoBoard;
using testing::inch;
using testing::waitFor;

struct MarkerCanvas : ::testing::Test {
  CanvasHost host;
  Context ctx{host};
  std::unique_ptr<Canvas> canvas;
  QRect area;
  void SetUp() override {
    installEditFunctions(ctx);
    installImageFunctions(ctx);
    ASSERT_TRUE(openFileByName(ctx, demoBoard(), 0));
  }
  // The canvas at 400 x 300 with the whole design in view.
  void show() {
    canvas = std::make_unique<Canvas>(ctx, QImage::Format_RGB32);
    host.canvas = canvas.get();
    canvas->resize(400, 300);
    canvas->show();
    ASSERT_TRUE(waitFor([&] { return canvas->image().size() == QSize(400, 300); }));
    zoomExtents(ctx);
    canvas->redrawDesign();
    // The drawing area: the status bar below it shows the moving cursor.
    const Rect a = canvas->drawingArea();
    area = QRect(a.left, a.top, a.right - a.left + 1, a.bottom - a.top + 1);
  }
  QImage view() const { return canvas->image().copy(area); }
};

TEST_F(MarkerCanvas, AGrabAMoveAndEscapeLeaveTheSurfaceAsItWas) {
  show();
  const QImage before = view();

  // The via at 1.5, .8 goes on the cursor.
  ctx.view.cursorX = inch(1.5), ctx.view.cursorY = inch(0.8);
  executeFunction(ctx, fc('G', 'P'), kFromMacro);
  ASSERT_TRUE(isGrabbed(ctx));
  const QImage grabbed = view();
  // Drawn by exclusive-or the ghost differs from the pad in its colour.
  EXPECT_NE(grabbed, before);

  ctx.view.cursorX = inch(2.0), ctx.view.cursorY = inch(2.0);
  ctx.shell.hooks.cursorMoved(ctx);
  const QImage moved = view();
  EXPECT_NE(moved, grabbed);

  // A redraw of the whole view keeps the ghost where it is.
  canvas->redrawDesign();
  EXPECT_EQ(view(), moved);

  ASSERT_TRUE(cancelAction(ctx));
  EXPECT_FALSE(isGrabbed(ctx));
  EXPECT_EQ(view(), before);
}

TEST_F(MarkerCanvas, TheReticleFollowsTheCursorAndEscapeLeavesTheSurfaceAsItWas) {
  auto img = makeImage(64, 64, 0, 32);
  img->setI32(40, inch(2)), img->setI32(44, inch(2));
  for (uint32_t r = 0; r < 64; ++r)
    for (uint32_t k = 0; k < 64; ++k) img->row(r)[k] = static_cast<uint8_t>(4 * k);
  setCurrentImage(ctx, std::move(img));
  show();
  const QImage before = view();

  ctx.view.cursorX = inch(1), ctx.view.cursorY = inch(1);
  executeFunction(ctx, fc('S', '5'), kFromMacro);
  ASSERT_EQ(ctx.edit.grab.ghosts.size(), 4u);
  const QImage reticle = view();
  EXPECT_NE(reticle, before);
  ctx.view.cursorX = inch(1.5);
  ctx.shell.hooks.cursorMoved(ctx);
  const QImage moved = view();
  EXPECT_NE(moved, reticle);
  canvas->redrawDesign();
  EXPECT_EQ(view(), moved) << "a redraw keeps the markers where they are";

  // A source point and its rubber band, then Escape twice: the point is
  // dropped, then the function ends with nothing changed.
  ASSERT_TRUE(acceptAction(ctx));
  EXPECT_EQ(ctx.edit.grab.ghosts.size(), 5u);
  ASSERT_TRUE(cancelAction(ctx));
  ASSERT_TRUE(cancelAction(ctx));
  EXPECT_TRUE(ctx.edit.grab.ghosts.empty());
  EXPECT_EQ(view(), before);
}

}  // namespace
}  // namespace trelmo::app
