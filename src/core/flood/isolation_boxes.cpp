#include "flood/isolation_boxes.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "context.h"
#include "database/chains.h"
#include "flood/flood_functions.h"
#include "flood/isolation_output.h"
#include "flood/isolation_passes.h"
#include "shell/dialog_values.h"

namespace trelmo {

namespace {

DialogField column(const char* name, DialogField::Kind kind, const char* label) {
  DialogField f;
  f.name = name;
  f.kind = kind;
  f.label = label;
  return f;
}

DialogField button(const char* name, const char* label) {
  DialogField f = column(name, DialogField::Button, label);
  f.value = "0";
  return f;
}

struct SizeColumn {
  const char* name;
  const char* label;
  uint16_t IsolationParams::*member;
};
constexpr SizeColumn kSizes[] = {
    {"isoTool", "Isolation Tool Size:", &IsolationParams::isoTool},
    {"isoOverlap", "Isolation Overlap Amount:", &IsolationParams::isoOverlap},
    {"isoClearance", "Isolation Item Clearance:", &IsolationParams::isoClearance},
    {"floodTool", "Flood Tool Size:", &IsolationParams::floodTool},
    {"floodOverlap", "Flood Overlap Amount:", &IsolationParams::floodOverlap},
    {"floodClearance", "Flood Item Clearance:", &IsolationParams::floodClearance},
};

std::vector<std::string> sideValues(const IsolationParams& p) {
  std::vector<std::string> v = {std::to_string(p.target), layerListText(p.sources),
                                std::string(p.signal, strnlen(p.signal, kSignalFieldMax)), std::to_string(p.passes)};
  for (const SizeColumn& c : kSizes) v.push_back(dimensionText(p.*c.member));
  return v;
}

void readSide(FieldReader& in, const std::string& row, IsolationParams& p) {
  p.target = static_cast<uint8_t>(in.integer(row + ".target", 0, 254));
  if (!readLayerList(in.text(row + ".source"), p.sources)) in.refuse(row + ".source", "a list of layer numbers");
  const std::string signal = trimmedText(in.text(row + ".signal")).substr(0, kSignalFieldMax);
  std::memset(p.signal, 0, sizeof p.signal);
  signal.copy(p.signal, kSignalFieldMax);
  p.passes = static_cast<int32_t>(in.integer(row + ".passes", 0, 100));
  for (const SizeColumn& c : kSizes) {
    const int32_t v = in.dimension(row + "." + c.name);
    if (v > 65535) in.refuse(row + "." + c.name, "at most 1 inch");
    p.*c.member = static_cast<uint16_t>(std::min(v, 65535));
  }
}

struct MmField {
  const char* name;
  const char* label;
  double GCodeSettings::*member;
};
constexpr MmField kMillimetres[] = {
    {"cutDepth", "Cut Depth (mm):", &GCodeSettings::cutDepth},
    {"drillDepth", "Drill Depth (mm):", &GCodeSettings::drillDepth},
    {"routeDepth", "Route Depth (mm):", &GCodeSettings::routeDepth},
    {"safeHeight", "Safe Height (mm):", &GCodeSettings::safeHeight},
    {"changeHeight", "Tool Change Height (mm):", &GCodeSettings::changeHeight},
    {"feed", "Feed (mm/min):", &GCodeSettings::feed},
    {"plungeFeed", "Plunge Feed (mm/min):", &GCodeSettings::plungeFeed},
    {"dwell", "Spindle Dwell (s):", &GCodeSettings::dwell},
};
constexpr const char* kRowNames[] = {"drill", "top", "bottom", "route"};

std::string decimal(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

// A plain number between the limits, or the field refused.
double readNumber(FieldReader& in, const std::string& key, double low, double high) {
  const std::string t = trimmedText(in.text(key));
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (t.empty() || *end != 0 || !(v >= low && v <= high)) {
    in.refuse(key, "a number from " + decimal(low) + " to " + decimal(high));
    return low;
  }
  return v;
}

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

FloodState withDefaults(const Context& ctx) {
  FloodState s = ctx.flood;
  bool empty = true;
  for (const IsolationRow& r : s.rows) empty = empty && r.fileName.empty();
  if (!empty) return s;
  const std::string design = ctx.current != kNull ? readText(ctx, ctx.current) : std::string("design");
  const std::vector<std::string> names =
      flood::defaultMillNames(design, s.format == MillFormat::GCode ? ".nc" : ".plt");
  const int layers[] = {0, ctx.params.isoTop.target, ctx.params.isoBottom.target, 2};
  for (size_t i = 0; i < 4; ++i) s.rows[i] = {names[i], i >= 2, layers[i]};
  s.outputPath = folderOf(design);
  return s;
}

}  // namespace

DialogBox trackIsolationBox(const Context& ctx) {
  DialogBox box{"TrackIsolationBox", "Track Isolation", {}};
  DialogField table = column("sides", DialogField::Table, "Track Isolation");
  table.columns = {column("target", DialogField::Integer, "Target:"), column("source", DialogField::Text, "Source:"),
                   column("signal", DialogField::Text, "Signal Name:"),
                   column("passes", DialogField::Integer, "Isolation Pass Count:")};
  table.columns[2].maxLength = kSignalFieldMax;
  for (const SizeColumn& c : kSizes) table.columns.push_back(column(c.name, DialogField::Text, c.label));
  table.rows = {{"top", sideValues(ctx.params.isoTop)}, {"bottom", sideValues(ctx.params.isoBottom)}};
  box.fields.push_back(std::move(table));
  box.fields.push_back(button("confirm", "Confirm"));
  box.fields.push_back(button("top", "Top"));
  box.fields.push_back(button("bottom", "Bottom"));
  return box;
}

int applyTrackIsolationBox(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  IsolationParams top = ctx.params.isoTop, bottom = ctx.params.isoBottom;
  readSide(in, "top", top);
  readSide(in, "bottom", bottom);
  if (!in.report(ctx)) return 0;
  ctx.params.isoTop = top;
  ctx.params.isoBottom = bottom;
  if (ctx.current != kNull) ctx.rec(ctx.current).size |= kFileModified;
  auto pressed = [&](const char* name) {
    const DialogField* f = box.field(name);
    return f && f->value == "1";
  };
  if (pressed("top")) return flood::kTopSide;
  if (pressed("bottom")) return flood::kBottomSide;
  return flood::kTopSide | flood::kBottomSide;
}

void defaultIsolationRows(Context& ctx) { ctx.flood = withDefaults(ctx); }

DialogBox isolationOutputBox(const Context& ctx) {
  const FloodState s = withDefaults(ctx);
  DialogBox box{"IsolationOutputBox", "Isolation Output", {}};
  DialogField table = column("rows", DialogField::Table, "Isolation Output");
  table.columns = {column("fileName", DialogField::Text, "File Name"),
                   column("mirror", DialogField::Check, "Mirror on Y"),
                   column("sourceLayer", DialogField::Integer, "Source Layer")};
  for (size_t i = 0; i < 4; ++i) {
    const IsolationRow& r = s.rows[i];
    table.rows.push_back({kRowNames[i], {r.fileName, checkText(r.mirror), std::to_string(r.sourceLayer)}});
  }
  box.fields.push_back(std::move(table));
  box.fields.push_back(textField("path", "Path:", s.outputPath, 0));
  box.fields.push_back(radioField("format", "Format:", {"T-Tech", "G-code"}, static_cast<int>(s.format)));
  for (const MmField& f : kMillimetres) box.fields.push_back(textField(f.name, f.label, decimal(s.gcode.*f.member), 0));
  box.fields.push_back(textField("spindle", "Spindle Speed (rpm):", std::to_string(s.gcode.spindle), 0));
  return box;
}

bool applyIsolationOutputBox(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  FloodState s = ctx.flood;
  for (size_t i = 0; i < 4; ++i) {
    const std::string row = kRowNames[i];
    s.rows[i].fileName = trimmedText(in.text(row + ".fileName"));
    s.rows[i].mirror = in.check(row + ".mirror");
    s.rows[i].sourceLayer = i == 0 ? 0 : static_cast<int>(in.integer(row + ".sourceLayer", 0, 255));
  }
  s.outputPath = trimmedText(in.text("path"));
  s.format = in.choice("format", 2) == 1 ? MillFormat::GCode : MillFormat::TTech;
  for (const MmField& f : kMillimetres) s.gcode.*f.member = readNumber(in, f.name, 0, 100000);
  s.gcode.spindle = static_cast<int>(in.integer("spindle", 0, 100000));
  if (!in.report(ctx)) return false;
  s.rowsSet = true;
  ctx.flood = s;
  return true;
}

}  // namespace trelmo
