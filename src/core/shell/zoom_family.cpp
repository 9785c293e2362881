#include <cstdlib>

#include "context.h"
#include "screen/redraw.h"
#include "screen/view.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/input.h"
#include "shell/zoom_boxes.h"

namespace trelmo {

namespace {

void zoomScale(Context& ctx, int source) {
  if (source == kFromMacro) return ctx.host->sound(Sound::Beep);
  DialogBox box = zoomScaleBox(ctx);
  if (ctx.host->runDialog(box) && applyZoomScale(ctx, box)) ctx.host->redrawView();
}

// ZL: the layer box is the whole function, so it opens from the L key and
// from macros too.
void zoomLayer(Context& ctx) {
  DialogBox box = selectLayerBox(ctx);
  if (ctx.host->runDialog(box) && applySelectLayer(ctx, box)) ctx.host->redrawView();
}

// The zooms that act on the cursor at once; false when refused.
bool zoomNow(Context& ctx, char member) {
  switch (member) {
    case 'I':
      return zoomIn(ctx.view);
    case 'O':
      return zoomOut(ctx.view);
    case 'C':
      zoomCentre(ctx.view);
      return true;
    case 'P':
      return zoomPrevious(ctx.view, ctx.params);
    case 'X':
      savePreviousView(ctx.view);
      return zoomExtents(ctx);
    default:  // 'R'
      return true;
  }
}

}  // namespace

// Zoom functions over the view.
void zoomFamily(Context& ctx, uint16_t code, int source) {
  const char m = memberOf(code);
  if (ctx.current == kNull && m != 'R') return ctx.host->sound(Sound::Beop);
  switch (m) {
    case 'I':
    case 'O':
    case 'C':
      // From a menu the user places the cursor first.
      if (source == kFromKeys || source == kFromMenuBar) return promptCentralPoint(ctx, code);
      break;
    case 'P':
    case 'X':
    case 'R':
      break;
    case 'S':
      return zoomScale(ctx, source);
    case 'L':
      return zoomLayer(ctx);
    case 'W':
      return startZoomWindow(ctx);
    default:
      return ctx.host->sound(Sound::Beop);
  }
  if (!zoomNow(ctx, m)) return ctx.host->sound(Sound::Beep);
  if (m == 'C') enterTrelmoMode(ctx);
  ctx.host->redrawView();
}

}  // namespace trelmo
