// Screen forms of the display colours. The 32-bit surface takes 0x00RRGGBB
// as it is; other surface formats convert here.
#include "context.h"
#include "database/options_internal.h"
#include "resources/pixel_format.h"

namespace trelmo {

uint32_t convertColor(const Context& ctx, uint32_t rgb) {
  return colourToPixel(ctx.screen.surface.format(), rgb & 0xFFFFFF);
}

void convertColors(Context& ctx) {
  Params& p = ctx.params;
  p.gridPixel = convertColor(ctx, p.gridColor);
  p.backgroundPixel = convertColor(ctx, p.backgroundColor);
  p.hilightPixel = convertColor(ctx, p.hilightColor);
  p.attentionPixel = convertColor(ctx, p.attentionColor);
  for (LayerEntry& e : p.layers) e.screenColor = convertColor(ctx, e.color);
}

}  // namespace trelmo
