// The questions the photo-plot reader asks: the format of a file that
// states none, and the size of an undefined aperture.
#include <string>

#include "context.h"
#include "files/import/gerber_reader.h"

namespace trelmo {

DialogField dialogField(const char* name, DialogField::Kind kind, std::string label, std::string value,
                        std::vector<std::string> choices) {
  DialogField f;
  f.name = name;
  f.kind = kind;
  f.label = std::move(label);
  f.value = std::move(value);
  f.choices = std::move(choices);
  return f;
}

int fieldInt(DialogBox& box, const char* name, int fallback) {
  DialogField* f = box.field(name);
  if (!f) return fallback;
  size_t pos = 0;
  std::string_view v = f->value;
  while (pos < v.size() && v[pos] == ' ') ++pos;
  bool neg = pos < v.size() && v[pos] == '-';
  if (neg) ++pos;
  if (pos >= v.size() || v[pos] < '0' || v[pos] > '9') return fallback;
  int n = readInteger(v, pos);
  return neg ? -n : n;
}

namespace {

DialogField radio(const char* name, const char* label, std::vector<std::string> choices, int chosen) {
  return dialogField(name, DialogField::Radio, label, std::to_string(chosen), std::move(choices));
}

}  // namespace

DialogBox gerberFormatBox(const GerberFormat& fmt, bool aperturesDefined) {
  DialogBox box{"GerberInFormatBox", "Gerber Import Alert", {}};
  box.fields.push_back(dialogField("message", DialogField::Label,
                                   aperturesDefined
                                       ? "The selected file appears to contain Gerber\nPhoto Plot data, but it has no "
                                         "format\nstatement."
                                       : "The selected file appears to contain Gerber\nPhoto Plot data, but it has "
                                         "neither a format\nstatement nor any aperture definitions."));
  box.fields.push_back(radio("addressing", "Coordinates", {"&Absolute", "&Incremental"}, fmt.incremental));
  box.fields.push_back(radio("zeros", "Zero suppression", {"&Leading zeros", "&Trailing zeros"}, fmt.trailing));
  box.fields.push_back(
      dialogField("decimal", DialogField::Integer, "Implied decimal digits", std::to_string(fmt.digits)));
  box.fields.push_back(radio("units", "Units", {"I&nches", "&Millimetres"}, fmt.metric));
  box.fields.push_back(dialogField("defaults", DialogField::Check, "Use &Default values for all apertures.",
                                   fmt.useDefaults ? "1" : "0"));
  return box;
}

bool askGerberFormat(Context& ctx, GerberFormat& fmt, bool aperturesDefined) {
  DialogBox box = gerberFormatBox(fmt, aperturesDefined);
  if (!ctx.host->runDialog(box)) return false;
  fmt.incremental = fieldInt(box, "addressing", fmt.incremental) == 1;
  fmt.trailing = fieldInt(box, "zeros", fmt.trailing) == 1;
  fmt.digits = fieldInt(box, "decimal", fmt.digits) & 7;
  fmt.metric = fieldInt(box, "units", fmt.metric) == 1;
  fmt.useDefaults = fieldInt(box, "defaults", fmt.useDefaults) == 1;
  return true;
}

DialogBox gerberApertureBox(int dcode) {
  DialogBox box{"GerberInApertureBox", "Undefined Aperture", {}};
  box.fields.push_back(
      dialogField("message", DialogField::Label,
                  "Aperture D" + std::to_string(dcode) + " is not defined. Sizes in mils (0 = default)."));
  // Zero sizes propose the defaults: 0.010 inch draws and 1/32 inch flashes.
  box.fields.push_back(dialogField("xsize", DialogField::Integer, "&X size (mils)", "0"));
  box.fields.push_back(dialogField("ysize", DialogField::Integer, "&Y size (mils)", "0"));
  box.fields.push_back(
      radio("shape", "Shape", {"&Circular flash/Round draw.", "&Square flash.", "&Rectangular flash."}, 0));
  box.fields.push_back(dialogField("defaults", DialogField::Check, "Use &Default values for all apertures.", "0"));
  return box;
}

bool askAperture(Context& ctx, int dcode, Aperture& ap, bool& useDefaults) {
  DialogBox box = gerberApertureBox(dcode);
  if (!ctx.host->runDialog(box)) return false;
  if (fieldInt(box, "defaults", 0) == 1) {
    useDefaults = true;
    return true;
  }
  auto mils = [&](const char* name) {
    int v = fieldInt(box, name, 0);
    return v <= 0 ? uint16_t{0} : toSize(v / 1000.0, false);
  };
  int shape = fieldInt(box, "shape", 0);
  ap.x = mils("xsize");
  ap.y = shape == 2 ? mils("ysize") : ap.x;
  ap.shape = shape == 0 ? kCircle : kRectangle;
  ap.offsetX = ap.offsetY = 0;
  return true;
}

}  // namespace trelmo
