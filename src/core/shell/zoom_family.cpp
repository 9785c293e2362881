#include <cstdlib>

#include "context.h"
#include "screen/redraw.h"
#include "screen/view.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"

namespace trelmo {

DialogBox zoomScaleBox(const Context& ctx) {
  const uint64_t dpi = (uint64_t{ctx.view.viewScale} * kInch) >> 32;
  DialogBox box{"ZoomScaleBox", "Zoom Scale", {}};
  box.fields.push_back({"dpi", DialogField::Integer, "Scale (dots per inch)", std::to_string(dpi), {}, 9});
  return box;
}

namespace {

void zoomScale(Context& ctx, int source) {
  if (source == kFromMacro) return ctx.host->sound(Sound::Beep);
  DialogBox box = zoomScaleBox(ctx);
  if (!ctx.host->runDialog(box)) return;
  const long value = std::strtol(box.field("dpi")->value.c_str(), nullptr, 10);
  if (value <= 0 || value > 65536) return ctx.host->sound(Sound::Beep);
  savePreviousView(ctx.view);
  setScaleDpi(ctx.view, ctx.params, static_cast<uint32_t>(value));
  ctx.host->redrawView();
}

}  // namespace

// Zoom functions over the view; the interactive ones (layer, window) come
// with their subsystems through the registry.
void zoomFamily(Context& ctx, uint16_t code, int source) {
  const char m = memberOf(code);
  if (ctx.current == kNull && m != 'R') return ctx.host->sound(Sound::Beep);
  bool done = true;
  switch (m) {
    case 'I':
      done = zoomIn(ctx.view);
      break;
    case 'O':
      done = zoomOut(ctx.view);
      break;
    case 'C':
      zoomCentre(ctx.view);
      break;
    case 'P':
      done = zoomPrevious(ctx.view, ctx.params);
      break;
    case 'X':
      savePreviousView(ctx.view), done = zoomExtents(ctx);
      break;
    case 'R':
      break;
    case 'S':
      return zoomScale(ctx, source);
    default:
      ctx.host->sound(Sound::Beop);
      return;
  }
  if (!done) return ctx.host->sound(Sound::Beep);
  ctx.host->redrawView();
}

}  // namespace trelmo
