#include "flood/flood_functions.h"

#include <cstring>
#include <utility>

#include "context.h"
#include "edit/block.h"
#include "edit/undo.h"
#include "flood/flood_fill.h"
#include "flood/isolation_boxes.h"
#include "flood/isolation_output.h"
#include "flood/isolation_passes.h"
#include "shell/dialog_values.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int kNoBlock = 0x928;

std::string signalText(const char* field) { return std::string(field, strnlen(field, kSignalFieldMax)); }

void storeSignal(char* field, const std::string& text) {
  const std::string t = trimmedText(text).substr(0, kSignalFieldMax);
  std::memset(field, 0, kSignalFieldMax + 1);
  t.copy(field, kSignalFieldMax);
}

DialogField buttonField(const std::string& name, const std::string& label) {
  DialogField f;
  f.name = name;
  f.kind = DialogField::Button;
  f.label = label;
  f.value = "0";
  return f;
}

// The box's values into the setup; false (with the message shown) when one
// does not read.
bool applyFloodBox(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  const int64_t target = in.integer("target", 0, 254);
  LayerSet sources;
  if (!readLayerList(in.text("sources"), sources)) in.refuse("sources", "a list of layer numbers such as 0,3");
  const int32_t size = in.dimension("lineSize"), track = in.dimension("trackClearance");
  const int32_t pad = in.dimension("padClearance"), grid = in.dimension("hatchGrid");
  if (!in.report(ctx)) return false;
  Params& p = ctx.params;
  p.floodTarget = static_cast<uint8_t>(target);
  p.floodSources = sources;
  storeSignal(p.thermalSignal, in.text("thermal"));
  storeSignal(p.solidSignal, in.text("solid"));
  p.floodLineSize = size, p.floodToLine = track, p.floodToPad = pad;
  ctx.flood.hatchGrid = grid;
  if (ctx.current != kNull) ctx.rec(ctx.current).size |= kFileModified;
  return true;
}

void floodFamily(Context& ctx, uint16_t code, int source) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  flood::FloodRegion region;
  const bool block = currentBlockRegion(ctx, region);
  switch (memberOf(code)) {
    case 'F':
      floodFillFunction(ctx, block ? &region : nullptr, source, flood::kFloodLines);
      return;
    case 'T':
      trackIsolationFunction(ctx, block ? &region : nullptr, source, flood::kTopSide | flood::kBottomSide);
      return;
    case 'O':
      isolationOutputFunction(ctx, block ? &region : nullptr, source);
      return;
    default:
      return ctx.host->sound(Sound::Beop);
  }
}

}  // namespace

std::string layerListText(const LayerSet& layers) {
  std::string s;
  for (int l = 0; l < 256; ++l)
    if (layers.test(l)) s += (s.empty() ? "" : ",") + std::to_string(l);
  return s;
}

bool readLayerList(const std::string& text, LayerSet& layers) {
  layers.clear();
  const std::string t = trimmedText(text);
  size_t i = 0;
  while (i < t.size()) {
    int n = 0, digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9' && digits < 4) n = n * 10 + (t[i++] - '0'), ++digits;
    if (digits == 0 || n > 255) return false;
    layers.set(n);
    while (i < t.size() && t[i] == ' ') ++i;
    if (i < t.size() && t[i++] != ',') return false;
    while (i < t.size() && t[i] == ' ') ++i;
  }
  return true;
}

bool currentBlockRegion(Context& ctx, flood::FloodRegion& region) {
  const BlockDefinition* b = blockOf(std::as_const(ctx));
  // A block still being drawn, or one defined in another file, is no block here.
  if (b == nullptr || b->file == kNull || b->file != ctx.current || b->stage != 0) return false;
  const BlockRegion& r = b->region;
  if (r.polygon.size() >= 6) {
    region = flood::FloodRegion{};
    for (size_t i = 0; i + 1 < r.polygon.size(); i += 2)
      region.polygon.push_back({static_cast<double>(r.polygon[i]), static_cast<double>(r.polygon[i + 1])});
  } else {
    if (r.x0 == r.x1 || r.y0 == r.y1) return false;
    region = flood::FloodRegion::fromRectangle(r.x0, r.y0, r.x1, r.y1);
  }
  region.layers = LayerSet{};
  for (int l = 0; l < 256; ++l)
    if (b->layers[static_cast<size_t>(l)]) region.layers.set(l);
  return true;
}

DialogBox floodFillBox(const Context& ctx) {
  const Params& p = ctx.params;
  DialogBox box{"FloodFillBox", "Flood/Crosshatch Fill", {}};
  box.fields.push_back(numberField("target", "Target Layer:", std::to_string(p.floodTarget)));
  box.fields.push_back(textField("sources", "Source Layers:", layerListText(p.floodSources), 0));
  box.fields.push_back(
      textField("thermal", "Thermal Connection Signal:", signalText(p.thermalSignal), kSignalFieldMax));
  box.fields.push_back(textField("solid", "Solid Connection Signal:", signalText(p.solidSignal), kSignalFieldMax));
  box.fields.push_back(textField("lineSize", "Flood Line Size:", dimensionText(p.floodLineSize), 0));
  box.fields.push_back(textField("trackClearance", "Track Clearance:", dimensionText(p.floodToLine), 0));
  box.fields.push_back(textField("padClearance", "Pad Clearance:", dimensionText(p.floodToPad), 0));
  box.fields.push_back(textField("hatchGrid", "Crosshatch Grid:", dimensionText(ctx.flood.hatchGrid), 0));
  box.fields.push_back(buttonField("flood", "Flood Fill"));
  box.fields.push_back(buttonField("hatch", "Hatch Fill"));
  return box;
}

bool floodFillFunction(Context& ctx, const flood::FloodRegion* region, int source, int mode) {
  if (!region) {
    showMessage(ctx, kNoBlock);
    return false;
  }
  if (!autoPurgeRedo(ctx)) return false;
  if (source != kFromMacro) {
    DialogBox box = floodFillBox(ctx);
    if (!ctx.host->runDialog(box) || !applyFloodBox(ctx, box)) return false;
    const DialogField* hatch = box.field("hatch");
    const DialogField* lines = box.field("flood");
    if (hatch && hatch->value == "1") mode = flood::kHatchLines;
    if (lines && lines->value == "1") mode = flood::kFloodLines;
  }
  flood::floodFill(ctx, *region, mode);
  return true;
}

bool trackIsolationFunction(Context& ctx, const flood::FloodRegion* region, int source, int sides) {
  if (!region) {
    showMessage(ctx, kNoBlock);
    return false;
  }
  if (!autoPurgeRedo(ctx)) return false;
  if (source != kFromMacro) {
    DialogBox box = trackIsolationBox(ctx);
    if (!ctx.host->runDialog(box)) return false;
    const int chosen = applyTrackIsolationBox(ctx, box);
    if (chosen == 0) return false;
    if (chosen != (flood::kTopSide | flood::kBottomSide)) sides = chosen;
  }
  flood::trackIsolation(ctx, *region, sides);
  return true;
}

int isolationOutputFunction(Context& ctx, const flood::FloodRegion* region, int source) {
  if (!region) {
    showMessage(ctx, kNoBlock);
    return 0;
  }
  if (!autoPurgeRedo(ctx)) return 0;
  if (source != kFromMacro) {
    DialogBox box = isolationOutputBox(ctx);
    if (!ctx.host->runDialog(box) || !applyIsolationOutputBox(ctx, box)) return 0;
  } else {
    defaultIsolationRows(ctx);
  }
  return flood::isolationOutput(ctx, *region);
}

void installFloodFunctions(Context& ctx) {
  for (const char m : {'F', 'T', 'O'}) registerFunction(ctx, fc('B', m), floodFamily);
}

}  // namespace trelmo
