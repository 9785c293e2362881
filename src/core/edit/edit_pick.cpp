#include "edit/edit_pick.h"

#include <cstdlib>

#include "context.h"
#include "database/walk.h"
#include "edit/grab.h"
#include "edit/undo.h"
#include "screen/view.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo {

int activeLayer(const Context& ctx) { return ctx.params.currentLayer & 255; }

bool pickStart(Context& ctx, uint16_t code, int source, int prompt) {
  if (ctx.current == kNull) {
    ctx.host->sound(Sound::Beop);
    return false;
  }
  if (!autoPurgeRedo(ctx)) return false;
  if (dropGrabList(ctx)) return false;
  if (source == kFromMenuBar || source == kFromKeys) ctx.shell.currentFunction = code;
  if (source == kFromMenuBar) {
    showMessage(ctx, prompt);
    return false;
  }
  return true;
}

void pickFailed(Context& ctx, int prompt) {
  ctx.host->sound(Sound::Beep);
  showMessage(ctx, prompt);
}

Hit searchLayers(const Context& ctx, HitTest test) {
  const int32_t x = ctx.view.cursorX, y = ctx.view.cursorY;
  const int layer = activeLayer(ctx);
  Hit hit = test(ctx, x, y, layer == 0 ? -1 : layer);
  if (!hit && layer != 0) hit = test(ctx, x, y, -1);
  return hit;
}

void moveCursorTo(Context& ctx, int32_t x, int32_t y) {
  View& v = ctx.view;
  v.cursorX = x, v.cursorY = y;
  updateCursorPixel(v);
  if (!cursorInsideMargins(v)) {
    centreOnCursor(v);
    ctx.host->redrawView();
  }
}

void componentChanged(Context& ctx, UndoTransaction& t, Handle ring) {
  const Handle header = headerOf(ctx, ring);
  if (header == kNull) return;
  t.modified(header);
  recomputeExtent(ctx, header);
  t.touch(header);
}

bool coincide(int32_t ax, int32_t ay, int32_t bx, int32_t by) {
  return std::abs(int64_t{ax} - bx) < kCoincidence && std::abs(int64_t{ay} - by) < kCoincidence;
}

}  // namespace trelmo
