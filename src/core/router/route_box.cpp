// "AutoRouteBox" and the box shown while a run goes on.
#include <cstring>

#include "context.h"
#include "router/router_functions.h"
#include "shell/dialog_values.h"

namespace trelmo {

namespace {

struct Algorithm {
  const char* name;
  const char* label;
};
constexpr Algorithm kAlgorithms[] = {
    {"clear", "Clear all pre-routes"},
    {"straight", "Straight routes"},
    {"bus", "Data-bus routes"},
    {"inline", "In-line routes"},
    {"l", "\"L\" routes"},
    {"z", "\"Z\" routes"},
    {"c", "\"C\" routes"},
    {"snake", "Snake routes"},
};

struct Size {
  const char* name;
  const char* label;
};
constexpr Size kSizes[] = {
    {"track", "Track Line Size:"},           {"viaPad", "Via Pad Size:"},
    {"viaHole", "Via Hole Size:"},           {"lineToLine", "Line to Line Clearance:"},
    {"lineToPad", "Line to Pad Clearance:"}, {"padToPad", "Pad to Pad Clearance:"},
};

const std::vector<std::string> kDirections = {"[NONE]", "X-Axis (horizontal)", "Y-Axis (vertical)",
                                              "Either-Axis (both)"};

DialogField column(const char* name, DialogField::Kind kind, const char* label,
                   const std::vector<std::string>& choices = {}) {
  DialogField f;
  f.name = name;
  f.kind = kind;
  f.label = label;
  f.choices = choices;
  return f;
}

int32_t sizeValue(const Params& p, int i) {
  switch (i) {
    case 0:
      return p.lineWidth;
    case 1:
      return p.viaSize;
    case 2:
      return p.viaHole;
    case 3:
      return p.lineToLine;
    case 4:
      return p.lineToPad;
    default:
      return p.padToPad;
  }
}

}  // namespace

DialogBox autoRouteBox(const Context& ctx) {
  DialogBox box{"AutoRouteBox", "Auto-Router Setup", {}};
  const Params& p = ctx.params;
  box.fields.push_back(labelField("algorithms", "Algorithms:"));
  for (size_t i = 0; i < std::size(kAlgorithms); ++i)
    box.fields.push_back(checkField(kAlgorithms[i].name, kAlgorithms[i].label, (p.routerPasses >> i) & 1));
  for (size_t i = 0; i < std::size(kSizes); ++i)
    box.fields.push_back(
        numberField(kSizes[i].name, kSizes[i].label, dimensionText(sizeValue(p, static_cast<int>(i)))));
  DialogField table;
  table.name = "layers";
  table.kind = DialogField::Table;
  table.label = "Routing Direction:";
  table.columns = {column("Name", DialogField::Label, "Layer Name"),
                   column("Direction", DialogField::Choice, "Direction", kDirections),
                   column("Color", DialogField::Label, "Color")};
  for (int n = 0; n < 256; ++n) {
    const LayerEntry& e = ctx.layer(n);
    table.rows.push_back({"Layer" + std::to_string(n),
                          {std::string(e.name, strnlen(e.name, sizeof e.name)),
                           std::to_string((e.type >> kRouteDirShift) & 3), colourText(e.color & 0xFFFFFF)}});
  }
  box.fields.push_back(std::move(table));
  return box;
}

bool applyAutoRouteBox(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  uint32_t passes = 0;
  for (size_t i = 0; i < std::size(kAlgorithms); ++i)
    if (in.check(kAlgorithms[i].name)) passes |= 1u << i;
  int32_t sizes[std::size(kSizes)];
  for (size_t i = 0; i < std::size(kSizes); ++i) sizes[i] = in.dimension(kSizes[i].name);
  int directions[256];
  for (int n = 0; n < 256; ++n) directions[n] = in.choice("Layer" + std::to_string(n) + ".Direction", 4);
  for (int i = 0; i < 3; ++i)
    if (sizes[i] > 65535) in.refuse(kSizes[i].name, std::string(kSizes[i].label) + " is larger than one inch.");
  if (!in.report(ctx)) return false;
  Params& p = ctx.params;
  p.routerPasses = (p.routerPasses & ~0xFFu) | passes;
  p.lineWidth = static_cast<uint16_t>(sizes[0]);
  p.viaSize = static_cast<uint16_t>(sizes[1]);
  p.viaHole = static_cast<uint16_t>(sizes[2]);
  p.lineToLine = sizes[3], p.lineToPad = sizes[4], p.padToPad = sizes[5];
  for (int n = 0; n < 256; ++n) {
    uint8_t& type = p.layers[n].type;
    type = static_cast<uint8_t>((type & ~(3u << kRouteDirShift)) | (directions[n] << kRouteDirShift));
  }
  return true;
}

DialogBox routerWaitBox(const Context&) {
  DialogBox box{"RouterWaitBox", "Auto-Router", {}};
  box.fields.push_back(labelField("message", "Routing in progress"));
  DialogField percent = labelField("percent", "");
  percent.value = "0%";
  box.fields.push_back(percent);
  DialogField stop;
  stop.name = "abort";
  stop.kind = DialogField::Button;
  stop.label = "Stop";
  stop.value = "0";
  box.fields.push_back(stop);
  return box;
}

RouterOptions routerOptions(const Context& ctx) {
  RouterOptions o;
  o.passes = ctx.params.routerPasses & kAllPasses;
  return o;
}

}  // namespace trelmo
