#include "edit/edit_boxes.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "context.h"
#include "database/chains.h"
#include "database/component_keys.h"
#include "database/signals.h"
#include "edit/grab_boxes.h"
#include "edit/place_boxes.h"
#include "shell/dialog_values.h"

namespace trelmo {

namespace {

constexpr int kPinNameMax = 23;
constexpr int kAttributeMax = 23;

std::string plain(int32_t v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", v / 65536.0);
  return buf;
}

DialogField button(const std::string& name, const std::string& label) {
  DialogField b;
  b.name = name;
  b.kind = DialogField::Button;
  b.label = label;
  b.value = "0";
  return b;
}

// The record to fill a box from: the item, or an empty one for the catalogue.
Record recordOf(const Context& ctx, Handle h) {
  if (h != kNull && ctx.pool.valid(h)) return ctx.rec(h);
  Record r{};
  return r;
}

}  // namespace

uint16_t readAngle(FieldReader& in, const std::string& key) {
  const std::string t = trimmedText(in.text(key));
  char* end = nullptr;
  const double d = std::strtod(t.c_str(), &end);
  if (t.empty() || !end || *end != 0 || !std::isfinite(d) || std::fabs(d) > 1e6) {
    in.refuse(key, "An angle must be a number of degrees.");
    return 0;
  }
  return static_cast<uint16_t>(static_cast<unsigned long>(std::lround(d * 65536.0 / 360.0)) & 0xFFFF);
}

uint16_t boxSize16(int32_t v) { return static_cast<uint16_t>(v < 0 ? 0 : v > 65535 ? 65535 : v); }

int scopeOf(DialogBox& box) {
  for (const char* name : {"contiguous", "component"})
    if (const DialogField* f = box.field(name); f && f->value == "1") return 1;
  if (const DialogField* f = box.field("all"); f && f->value == "1") return 2;
  return 0;
}

DialogBox editLineBox(const Context& ctx, Handle line) {
  const Record r = recordOf(ctx, line);
  DialogBox box;
  box.name = "EditLineBox";
  box.title = "Edit Line";
  box.fields.push_back(numberField("layer", "Layer:", std::to_string(r.layer)));
  box.fields.push_back(textField("width", "Thickness:", dimensionText(r.size), 16));
  box.fields.push_back(button("this", "&This line only"));
  box.fields.push_back(button("contiguous", "&Contiguous lines"));
  box.fields.push_back(button("all", "&All lines in file"));
  return box;
}

DialogBox editArcBox(const Context& ctx, Handle arc) {
  const Record r = recordOf(ctx, arc);
  DialogBox box;
  box.name = "EditArcBox";
  box.title = "Edit Arc";
  box.fields.push_back(numberField("layer", "Layer:", std::to_string(r.layer)));
  box.fields.push_back(textField("width", "Thickness:", dimensionText(r.size), 16));
  box.fields.push_back(textField("radius", "Radius:", dimensionText(std::abs(item::radius(r))), 16));
  box.fields.push_back(numberField("start", "Start angle:", degreesText(item::start(r))));
  box.fields.push_back(numberField("sweep", "Sweep angle (0 = circle):", degreesText(item::sweep(r))));
  box.fields.push_back(numberField("ellipse", "Eccentricity (r/R):", plain(item::eccentricity(r))));
  box.fields.push_back(numberField("axis", "Axis angle:", degreesText(item::axisAngle(r))));
  return box;
}

DialogBox editPadBox(const Context& ctx, Handle pad) {
  const Record r = recordOf(ctx, pad);
  const bool real = pad != kNull && ctx.pool.valid(pad);
  DialogBox box;
  box.name = "EditPadBox";
  box.title = "Edit Pad";
  box.fields.push_back(textField("signal", "Signal Name:", real ? itemSignal(ctx, pad) : "", kSignalNameMax));
  box.fields.push_back(textField("pin", "Pin Name:", real ? pinName(ctx, pad) : "", kPinNameMax));
  box.fields.push_back(numberField("layer", "Layer:", std::to_string(r.layer)));
  DialogField type = radioField("type", "Pad Type Code:", padTypeChoices(), item::padType(r));
  type.kind = DialogField::Choice;
  box.fields.push_back(type);
  box.fields.push_back(textField("x", "X Size:", dimensionText(item::padX(r)), 16));
  box.fields.push_back(textField("y", "Y Size:", dimensionText(item::padY(r)), 16));
  box.fields.push_back(textField("drill", "Drill Size:", dimensionText(item::padHole(r)), 16));
  box.fields.push_back(numberField("rotation", "Rotation:", degreesText(item::padAngle(r))));
  box.fields.push_back(button("this", "&This Pad Only"));
  box.fields.push_back(button("component", "&Entire Component"));
  box.fields.push_back(button("all", "&All Pads in File"));
  return box;
}

DialogBox editTextBox(const Context& ctx, Handle text) {
  const Record r = recordOf(ctx, text);
  const bool mirrored = (item::textLength(r) < 0) != ctx.layer(r.layer).bottom();
  DialogBox box;
  box.name = "EditTextBox";
  box.title = "Edit Text Parameters";
  box.fields.push_back(numberField("layer", "Layer:", std::to_string(r.layer)));
  box.fields.push_back(textField("size", "Text Size:", dimensionText(r.size), 16));
  box.fields.push_back(numberField("rotation", "Rotation:", degreesText(item::textAngle(r))));
  box.fields.push_back(numberField("anchor", "Anchor Point (0-15):", std::to_string(item::textAnchor(r))));
  box.fields.push_back(checkField("mirror", "Mirror", text != kNull && mirrored));
  box.fields.push_back(button("this", "&This text only"));
  box.fields.push_back(button("component", "&Entire Component"));
  box.fields.push_back(button("all", "&All text in file"));
  return box;
}

DialogBox editComponentBox(const Context& ctx, Handle header, bool schematic) {
  const ComponentFields f =
      header != kNull && ctx.pool.valid(header) ? componentFields(ctx, header) : ComponentFields{};
  DialogBox box;
  box.name = schematic ? "EditCompSchBox" : "EditCompPcbBox";
  box.title = schematic ? "Edit Schematic Component" : "Edit PCB Component";
  box.fields.push_back(textField("pattern", "Pattern:", toEditable(f[0]), kAttributeMax));
  box.fields.push_back(textField("ref", "Ref ID:", toEditable(f[1]), kAttributeMax));
  box.fields.push_back(textField("value", "Type/value:", toEditable(f[2]), kAttributeMax));
  box.fields.push_back(textField("modifier", "Modifier:", toEditable(f[3]), kAttributeMax));
  if (schematic) {
    box.fields.push_back(textField("pcb", "PCB Footprint:", toEditable(f[4]), kAttributeMax));
  } else {
    const Record r = recordOf(ctx, header);
    box.fields.push_back(numberField("rotation", "Rotation:", degreesText(r.size)));
  }
  return box;
}

DialogBox editComponentListBox(const Context& ctx) {
  DialogBox box;
  box.name = "EditCompListBox";
  box.title = "Edit Components";
  DialogField table;
  table.name = "components";
  table.kind = DialogField::Table;
  table.label = "Components:";
  table.columns = {textField("pattern", "Pattern", "", kAttributeMax),
                   textField("ref", "Ref ID", "", kAttributeMax),
                   textField("value", "Type/Value", "", kAttributeMax),
                   textField("modifier", "Modifier", "", kAttributeMax),
                   textField("pcb", "Footprint", "", kAttributeMax),
                   numberField("rotation", "Rotation", "0"),
                   labelField("flags", "Flags")};
  if (ctx.current != kNull) {
    int n = 0;
    const Handle file = ctx.current;
    for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
      const Record& r = ctx.rec(h);
      if (r.type() != kComponent || r.hidden() || !ctx.pool.valid(r.ext)) continue;
      std::vector<std::string> values;
      for (const std::string& f : componentFields(ctx, h)) values.push_back(toEditable(f));
      values.push_back(degreesText(r.size));
      char flags[8];
      std::snprintf(flags, sizeof flags, "%02X", r.flags);
      values.emplace_back(flags);
      table.rows.push_back({"C" + std::to_string(++n), values});
    }
  }
  box.fields.push_back(table);
  return box;
}

DialogBox locateTextBox(const Context& ctx) {
  DialogBox box;
  box.name = "LocateTextBox";
  box.title = "Locate Text";
  const std::vector<std::string>& last = ctx.edit.query.textFields;
  box.fields.push_back(textField("text", "Text:", last.empty() ? std::string() : last[0], 255));
  box.fields.push_back(button("next", "Find &Next"));
  return box;
}

}  // namespace trelmo
