// ZS and ZL: the zoom scale box and the layer box.
#include "shell/zoom_boxes.h"

#include <cstring>

#include "context.h"
#include "screen/view.h"
#include "shell/dialog_values.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int64_t kMaxDpi = 65536;

// The layers the box offers: named and displayed, as the layer keys step.
std::vector<int> selectableLayers(const Params& p) {
  std::vector<int> out;
  for (int n = 0; n < 256; ++n)
    if (!p.layers[n].unused() && !(p.layers[n].color & kColorDisabled)) out.push_back(n);
  return out;
}

std::string layerText(const Params& p, int n) {
  const LayerEntry& e = p.layers[n];
  return std::to_string(n) + " " + std::string(e.name, strnlen(e.name, sizeof e.name));
}

}  // namespace

DialogBox zoomScaleBox(const Context& ctx) {
  const uint64_t dpi = (uint64_t{ctx.view.viewScale} * kInch) >> 32;
  DialogBox box{"ZoomScaleBox", "Zoom Scale", {}};
  DialogField f = textField("dpi", "Scale (dots per inch)", std::to_string(dpi), 9);
  f.kind = DialogField::Integer;
  box.fields.push_back(f);
  return box;
}

bool applyZoomScale(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  const int64_t dpi = in.integer("dpi", 1, kMaxDpi);
  if (!in.ok()) {
    ctx.host->sound(Sound::Beep);
    return false;
  }
  setScaleDpi(ctx.view, ctx.params, static_cast<uint32_t>(dpi));
  return true;
}

DialogBox selectLayerBox(const Context& ctx) {
  const Params& p = ctx.params;
  std::vector<std::string> choices;
  int chosen = 0;
  for (int n : selectableLayers(p)) {
    if (n == (p.currentLayer & 255)) chosen = static_cast<int>(choices.size());
    choices.push_back(layerText(p, n));
  }
  DialogBox box{"SelectLayerBox", "Select Layer", {}};
  DialogField f = radioField("layer", "Active layer", choices, chosen);
  f.kind = DialogField::Choice;
  box.fields.push_back(f);
  return box;
}

bool applySelectLayer(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  const std::vector<int> layers = selectableLayers(ctx.params);
  if (layers.empty()) return false;
  const int i = in.choice("layer", static_cast<int>(layers.size()));
  if (!in.report(ctx)) return false;
  ctx.params.currentLayer = static_cast<uint16_t>(layers[i]);
  restoreStatusBar(ctx);
  return true;
}

}  // namespace trelmo
