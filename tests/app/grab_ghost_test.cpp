// Ghosts on the editor's canvas: drawn by exclusive-or over the design, they
// follow the cursor, and Escape leaves the surface exactly as it was.
#include <gtest/gtest.h>

#include <QImage>

#include "app/canvas.h"
#include "app_test_support.h"
#include "context.h"
#include "edit/edit_functions.h"
#include "edit/grab.h"
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

TEST(GrabGhosts, AGrabAMoveAndEscapeLeaveTheSurfaceAsItWas) {
  CanvasHost host;
  Context ctx(host);
  installEditFunctions(ctx);
  ASSERT_TRUE(openFileByName(ctx, demoBoard(), 0));
  Canvas canvas(ctx, QImage::Format_RGB32);
  host.canvas = &canvas;
  canvas.resize(400, 300);
  canvas.show();
  ASSERT_TRUE(waitFor([&] { return canvas.image().size() == QSize(400, 300); }));
  zoomExtents(ctx);
  canvas.redrawDesign();
  // The drawing area: the status bar below it shows the moving cursor.
  const Rect a = canvas.drawingArea();
  const QRect area(a.left, a.top, a.right - a.left + 1, a.bottom - a.top + 1);
  auto view = [&] { return canvas.image().copy(area); };
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
  canvas.redrawDesign();
  EXPECT_EQ(view(), moved);

  ASSERT_TRUE(cancelAction(ctx));
  EXPECT_FALSE(isGrabbed(ctx));
  EXPECT_EQ(view(), before);
}

}  // namespace
}  // namespace trelmo::app
