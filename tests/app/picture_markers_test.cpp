// The markers of the picture functions on the editor's canvas: drawn by
// exclusive-or over the picture and the design, they travel with the cursor,
// and Escape leaves the surface exactly as it was.
#include <gtest/gtest.h>

#include <QImage>

#include "app/canvas.h"
#include "app_test_support.h"
#include "context.h"
#include "edit/edit_functions.h"
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

TEST(PictureMarkers, TheReticleFollowsTheCursorAndEscapeLeavesTheSurfaceAsItWas) {
  CanvasHost host;
  Context ctx(host);
  installEditFunctions(ctx);
  installImageFunctions(ctx);
  ASSERT_TRUE(openFileByName(ctx, demoBoard(), 0));
  auto img = makeImage(64, 64, 0, 32);
  img->setI32(40, inch(2)), img->setI32(44, inch(2));
  for (uint32_t r = 0; r < 64; ++r)
    for (uint32_t k = 0; k < 64; ++k) img->row(r)[k] = static_cast<uint8_t>(4 * k);
  setCurrentImage(ctx, std::move(img));
  Canvas canvas(ctx, QImage::Format_RGB32);
  host.canvas = &canvas;
  canvas.resize(400, 300);
  canvas.show();
  ASSERT_TRUE(waitFor([&] { return canvas.image().size() == QSize(400, 300); }));
  zoomExtents(ctx);
  canvas.redrawDesign();
  const Rect a = canvas.drawingArea();
  const QRect area(a.left, a.top, a.right - a.left + 1, a.bottom - a.top + 1);
  auto view = [&] { return canvas.image().copy(area); };
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
  canvas.redrawDesign();
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
