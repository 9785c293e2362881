#include "edit/place_boxes.h"

#include <cmath>
#include <cstdio>

#include "context.h"
#include "shell/dialog_script.h"
#include "shell/dialog_values.h"

namespace trelmo {

namespace {

constexpr int kPinNameMax = 23;

std::string degrees(uint16_t angle) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4g", angle * 360.0 / 65536.0);
  return buf;
}

std::string plain(int32_t v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.5g", v / 65536.0);
  return buf;
}

DialogField layerField(int layer) { return numberField("layer", "Layer:", std::to_string(layer & 255)); }

// Degrees read from a box into a binary angle; out-of-range or malformed
// values are refused.
uint16_t angleOf(FieldReader& in, DialogBox& box, const std::string& key) {
  const std::string t = trimmedText(in.text(key));
  char* end = nullptr;
  const double d = std::strtod(t.c_str(), &end);
  if (t.empty() || !end || *end != 0 || !std::isfinite(d) || std::fabs(d) > 1e6) {
    in.refuse(key, "An angle must be a number of degrees.");
    return 0;
  }
  (void)box;
  return static_cast<uint16_t>(static_cast<unsigned long>(std::lround(d * 65536.0 / 360.0)) & 0xFFFF);
}

uint16_t size16(int32_t v) { return static_cast<uint16_t>(v < 0 ? 0 : v > 65535 ? 65535 : v); }

const std::vector<std::string> kPadTypes = {
    "T0 = Schematic Pin",    "T1 = Oval thru Pad", "T2 = Rectangular thru Pad", "T3 = Round thru Via",
    "S0 = Padstack special", "S1 = Oval SMT Pad",  "S2 = Rectangluar SMT Pad",  "S3 = Schematic Dot"};

bool confirmLayer(Context& ctx, DialogBox& box, FieldReader& in, uint8_t& layer) {
  const int64_t n = in.integer("layer", 0, 255);
  (void)box;
  if (!in.ok()) return in.report(ctx);
  layer = static_cast<uint8_t>(n);
  return true;
}

}  // namespace

DialogBox placeLineBox(const Context& ctx) {
  DialogBox box;
  box.name = "PlaceLineBox";
  box.title = "Line Parameters";
  box.fields.push_back(layerField(ctx.params.currentLayer));
  box.fields.push_back(textField("width", "Thickness:", dimensionText(ctx.params.lineWidth), 16));
  return box;
}

bool askLineParameters(Context& ctx) {
  DialogBox box = placeLineBox(ctx);
  if (!ctx.host->runDialog(box)) return false;
  FieldReader in(box);
  uint8_t layer = 0;
  const int32_t width = in.dimension("width");
  if (!confirmLayer(ctx, box, in, layer) || !in.report(ctx)) return false;
  ctx.params.lineWidth = width <= 0 ? 1 : size16(width);
  ctx.params.currentLayer = layer;
  return true;
}

DialogBox placeArcBox(const Context& ctx) {
  const PlacementParams& p = ctx.input.placement;
  DialogBox box;
  box.name = "PlaceArcBox";
  box.title = "Arc/Circle Parameters";
  box.fields.push_back(layerField(ctx.params.currentLayer));
  box.fields.push_back(textField("width", "Thickness:", dimensionText(p.arcWidth), 16));
  box.fields.push_back(textField("radius", "Radius:", dimensionText(p.arcRadius), 16));
  box.fields.push_back(numberField("start", "Start angle:", degrees(p.arcStart)));
  box.fields.push_back(numberField("sweep", "Sweep angle (0 = circle):", degrees(p.arcSweep)));
  box.fields.push_back(numberField("ellipse", "Eccentricity (r/R):", plain(p.arcEccentricity)));
  box.fields.push_back(numberField("axis", "Axis angle:", degrees(p.arcAxis)));
  return box;
}

bool askArcParameters(Context& ctx) {
  DialogBox box = placeArcBox(ctx);
  if (!ctx.host->runDialog(box)) return false;
  FieldReader in(box);
  uint8_t layer = 0;
  const int32_t width = in.dimension("width"), radius = in.dimension("radius");
  const uint16_t start = angleOf(in, box, "start"), sweep = angleOf(in, box, "sweep"), axis = angleOf(in, box, "axis");
  const int32_t ecc = in.factor("ellipse");
  if (!confirmLayer(ctx, box, in, layer) || !in.report(ctx)) return false;
  PlacementParams& p = ctx.input.placement;
  p.arcWidth = size16(width), p.arcRadius = radius, p.arcStart = start, p.arcSweep = sweep;
  p.arcEccentricity = ecc, p.arcAxis = axis;
  ctx.params.currentLayer = layer;
  return true;
}

DialogBox placePadBox(const Context& ctx) {
  const Params& p = ctx.params;
  DialogBox box;
  box.name = "PlacePadBox";
  box.title = "Pad Parameters";
  box.fields.push_back(textField("pin", "Pin Name:", ctx.input.placement.pinName, kPinNameMax));
  box.fields.push_back(numberField("layer", "Layer:", std::to_string(p.padLayer)));
  DialogField type = radioField("type", "Pad Type Code:", kPadTypes, p.padType & 7);
  type.kind = DialogField::Choice;
  box.fields.push_back(type);
  box.fields.push_back(textField("x", "X Size:", dimensionText(p.padX), 16));
  box.fields.push_back(textField("y", "Y Size:", dimensionText(p.padY), 16));
  box.fields.push_back(textField("drill", "Drill Size:", dimensionText(p.padHole), 16));
  box.fields.push_back(numberField("rotation", "Rotation:", degrees(ctx.input.placement.padRotation)));
  return box;
}

const std::vector<std::string>& padTypeChoices() { return kPadTypes; }

bool padConflict(int type, int64_t layer, int32_t drill, int32_t x, int32_t y, std::string& title, std::string& text) {
  const bool smt = (type & 4) != 0;
  if (smt && layer == 0) {
    title = "Pad layer/type conflict";
    text =
        "Surface mount pads may not be placed\nonto the pad master layer.\n\nPlease specify target layer or "
        "select\nthrough-hole pad type.";
  } else if (smt && drill != 0) {
    title = "Pad type/drill conflict";
    text =
        "Surface mount pads may not contain\na drill hole.\n\nPlease clear the hole size or select\nthrough-hole "
        "pad type.";
  } else if (type >= 1 && type <= 3 && drill == 0) {
    title = "Pad type/drill conflict";
    text =
        "Through-hole pads must contain\na drill hole.\n\nPlease specify a hole size or select\nsurface mount "
        "pad type.";
  } else if (x == 0 || y == 0) {
    title = "Pad XY size error";
    text =
        "Pads may not have a null or zero size\nin either the X and Y dimensions.\n\nPlease specify the desired "
        "pad size.";
  } else {
    return false;
  }
  return true;
}

bool askPadParameters(Context& ctx) {
  // The box stays open while its values are refused (a box answered the
  // same way again ends the function).
  DialogBox box = placePadBox(ctx);
  std::string refused;
  for (;;) {
    if (!ctx.host->runDialog(box)) return false;
    FieldReader in(box);
    const std::string pin = trimmedText(in.text("pin"));
    const int64_t layer = in.integer("layer", 0, 255);
    const int type = in.choice("type", 8);
    const int32_t x = in.dimension("x"), y = in.dimension("y"), drill = in.dimension("drill");
    const uint16_t rotation = angleOf(in, box, "rotation");
    if (!in.report(ctx)) return false;
    std::string title, text;
    padConflict(type, layer, drill, x, y, title, text);
    if (!title.empty()) {
      ctx.host->messageBox(title, text);
      const std::string values = dialogValues(box);
      if (values == refused) return false;
      refused = values;
      continue;
    }
    Params& p = ctx.params;
    ctx.input.placement.pinName = pin;
    p.padLayer = static_cast<uint8_t>(layer);
    p.padType = static_cast<uint8_t>((p.padType & ~7) | type);
    p.padX = size16(x), p.padY = size16(y), p.padHole = size16(drill);
    ctx.input.placement.padRotation = rotation;
    return true;
  }
}

DialogBox placeTextBox(const Context& ctx) {
  const PlacementParams& p = ctx.input.placement;
  DialogBox box;
  box.name = "PlaceTextBox";
  box.title = "Text Parameters";
  box.fields.push_back(layerField(ctx.params.currentLayer));
  box.fields.push_back(textField("size", "Text Size:", dimensionText(ctx.params.textSize), 16));
  box.fields.push_back(numberField("rotation", "Rotation:", degrees(p.textRotation)));
  box.fields.push_back(numberField("anchor", "Anchor Point (0-15):", std::to_string(p.textAnchor)));
  box.fields.push_back(checkField("mirror", "Mirror", p.textMirror));
  return box;
}

bool askTextParameters(Context& ctx) {
  DialogBox box = placeTextBox(ctx);
  if (!ctx.host->runDialog(box)) return false;
  FieldReader in(box);
  uint8_t layer = 0;
  const int32_t size = in.dimension("size");
  const uint16_t rotation = angleOf(in, box, "rotation");
  const int64_t anchor = in.integer("anchor", 0, 15);
  const bool mirror = in.check("mirror");
  if (!confirmLayer(ctx, box, in, layer) || !in.report(ctx)) return false;
  PlacementParams& p = ctx.input.placement;
  ctx.params.textSize = size16(size);
  p.textRotation = rotation, p.textAnchor = static_cast<uint8_t>(anchor), p.textMirror = mirror;
  ctx.params.currentLayer = layer;
  return true;
}

DialogBox placeSignalNameBox(const Context& ctx) {
  DialogBox box;
  box.name = "PlaceSignalNameBox";
  box.title = "Signal Name";
  box.fields.push_back(textField("name", "Signal Name:", ctx.edit.place.signalName, 24));
  return box;
}

bool askSignalName(Context& ctx) {
  DialogBox box = placeSignalNameBox(ctx);
  if (!ctx.host->runDialog(box)) return false;
  FieldReader in(box);
  ctx.edit.place.signalName = trimmedText(in.text("name"));
  return true;
}

DialogBox setupViaBox(const Context& ctx) {
  const Params& p = ctx.params;
  DialogBox box;
  box.name = "SetupViaBox";
  box.title = "Via Parameters";
  box.fields.push_back(numberField("layer", "Layer:", std::to_string(p.viaLayer)));
  box.fields.push_back(textField("size", "Via Size:", dimensionText(p.viaSize), 16));
  box.fields.push_back(textField("drill", "Drill Size:", dimensionText(p.viaHole), 16));
  return box;
}

bool askViaParameters(Context& ctx) {
  DialogBox box = setupViaBox(ctx);
  if (!ctx.host->runDialog(box)) return false;
  FieldReader in(box);
  uint8_t layer = 0;
  const int32_t size = in.dimension("size"), drill = in.dimension("drill");
  if (size == 0) in.refuse("size", "A via needs a size.");
  if (!confirmLayer(ctx, box, in, layer) || !in.report(ctx)) return false;
  Params& p = ctx.params;
  p.viaLayer = layer, p.viaSize = size16(size), p.viaHole = size16(drill);
  if (ctx.current != kNull) ctx.rec(ctx.current).size |= kFileModified;
  return true;
}

DialogBox setupDimensionBox(const Context& ctx) {
  DialogBox box;
  box.name = "SetupDimensionBox";
  box.title = "XY Dimension Lines";
  box.fields.push_back(textField("size", "Text Size:", dimensionText(ctx.params.dimTextSize), 16));
  return box;
}

bool askDimensionParameters(Context& ctx) {
  DialogBox box = setupDimensionBox(ctx);
  if (!ctx.host->runDialog(box)) return false;
  FieldReader in(box);
  const int32_t size = in.dimension("size");
  if (!in.report(ctx)) return false;
  ctx.params.dimTextSize = size < 3 ? 6291 : std::min<int32_t>(size, 65535);
  if (ctx.current != kNull) ctx.rec(ctx.current).size |= kFileModified;
  return true;
}

}  // namespace trelmo
