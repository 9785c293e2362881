// SL: the layer table as one row per layer.
#include <cstring>

#include "context.h"
#include "database/options.h"
#include "shell/dialog_values.h"
#include "shell/setup_boxes.h"

namespace trelmo {

namespace {

const std::vector<std::string> kKinds = {
    "0 = Silk (screening)",   "1 = Mask (solder resist)", "2 = Copper (normal)",     "3 = Plane (pwr/gnd)",
    "4 = Symbols (pictures)", "5 = Paste (stencil)",      "6 = Schematic (signals)", "7 = Drawing (general)",
};
const std::vector<std::string> kSides = {"Normal (not bottom)", "Bottom side"};
const std::vector<std::string> kRoutes = {"Not routed", "X-axis (horizontal)", "Y-axis (vertical)", "Either axis"};

enum Column { kName, kKind, kSide, kRoute, kColour, kDisabled, kPlotColour, kNoPlot, kSequence, kColumns };

DialogField column(const char* name, DialogField::Kind kind, const char* label,
                   const std::vector<std::string>& choices = {}, int maxLength = 0) {
  DialogField f;
  f.name = name;
  f.kind = kind;
  f.label = label;
  f.choices = choices;
  f.maxLength = maxLength;
  return f;
}

std::vector<std::string> rowValues(const LayerEntry& e) {
  std::vector<std::string> v(kColumns);
  v[kName] = std::string(e.name, strnlen(e.name, sizeof e.name));
  v[kKind] = std::to_string(e.kind());
  v[kSide] = e.bottom() ? "1" : "0";
  v[kRoute] = std::to_string((e.type >> kRouteDirShift) & 3);
  v[kColour] = colourText(e.color);
  v[kDisabled] = checkText(e.color & kColorDisabled);
  v[kPlotColour] = colourText(e.plotColor);
  v[kNoPlot] = checkText(e.plotColor & kColorDisabled);
  v[kSequence] = std::to_string(e.sequence);
  return v;
}

std::string rowName(int n) { return "Layer" + std::to_string(n); }

// A name as the data file keeps it: no ";" or control characters (the name
// would end there when read back), no trailing blanks (the writer drops
// them), at most 15 characters.
void readName(FieldReader& in, const std::string& row, char (&out)[kLayerNameMax + 1]) {
  std::string name = in.text(row + ".Name");
  while (!name.empty() && name.back() == ' ') name.pop_back();
  for (unsigned char c : name)
    if (c < ' ' || c == ';' || c == 127)
      return in.refuse(row + ".Name", "The name of " + row + " may not hold \";\" or control characters.");
  if (name.size() > kLayerNameMax)
    return in.refuse(row + ".Name", "The name of " + row + " is longer than 15 characters.");
  std::memset(out, 0, sizeof out);
  std::memcpy(out, name.data(), name.size());
}

void readRow(FieldReader& in, int n, LayerEntry& e) {
  const std::string row = rowName(n);
  readName(in, row, e.name);
  const int kind = in.choice(row + ".Kind", 8);
  const bool bottom = in.choice(row + ".Bottom", 2) == 1;
  const int route = in.choice(row + ".Route", 4);
  // Bits 6 and 7 of the type are not edited here and stay as they were.
  e.type = static_cast<uint8_t>((e.type & 0xC0) | kind | (bottom ? kBottomSide : 0) | (route << kRouteDirShift));
  const uint32_t keep = ~(0xFFFFFFu | kColorDisabled);
  e.color = (e.color & keep) | in.colour(row + ".Colour") | (in.check(row + ".Disabled") ? kColorDisabled : 0);
  e.plotColor =
      (e.plotColor & keep) | in.colour(row + ".PlotColour") | (in.check(row + ".NoPlot") ? kColorDisabled : 0);
  e.sequence = static_cast<uint8_t>(in.integer(row + ".Sequence", 0, 255));
}

}  // namespace

DialogBox setupLayersBox(const Context& ctx) {
  DialogBox box{"SetupLayersBox", "Setup Layers", {}};
  DialogField table;
  table.name = "layers";
  table.kind = DialogField::Table;
  table.label = "Layer/color/plot/type/sequence/name table";
  table.columns = {
      column("Name", DialogField::Text, "Name", {}, kLayerNameMax),
      column("Kind", DialogField::Choice, "Type", kKinds),
      column("Bottom", DialogField::Choice, "Side", kSides),
      column("Route", DialogField::Choice, "Routing", kRoutes),
      column("Colour", DialogField::Text, "Colour", {}, 6),
      column("Disabled", DialogField::Check, "Video Disabled"),
      column("PlotColour", DialogField::Text, "Plot colour", {}, 6),
      column("NoPlot", DialogField::Check, "Not plotted"),
      column("Sequence", DialogField::Integer, "Sequence", {}, 3),
  };
  for (int n = 0; n < 256; ++n) table.rows.push_back({rowName(n), rowValues(ctx.layer(n))});
  box.fields.push_back(std::move(table));
  return box;
}

bool applySetupLayers(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  LayerEntry layers[256];
  std::memcpy(layers, ctx.params.layers, sizeof layers);
  for (int n = 0; n < 256 && in.ok(); ++n) readRow(in, n, layers[n]);
  if (!in.report(ctx)) return false;
  std::memcpy(ctx.params.layers, layers, sizeof layers);
  convertColors(ctx);
  return true;
}

}  // namespace trelmo
