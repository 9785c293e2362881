#include "output/plot_boxes.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "context.h"
#include "database/options.h"
#include "files/import/gerber_reader.h"
#include "files/number_format.h"
#include "output/plot_frame.h"
#include "output/printer_port.h"

namespace trelmo {

namespace {

struct KindChoice {
  PlotKind kind;
  const char* text;
};
constexpr KindChoice kKinds[] = {{PlotKind::Gdi, "GDI"},   {PlotKind::Dib, "DIB"}, {PlotKind::Pcl, "PCL"},
                                 {PlotKind::Hpgl, "HPGL"}, {PlotKind::Ps, "PS"},   {PlotKind::Bmp, "BMP to Disk"},
                                 {PlotKind::Pdf, "PDF"}};
constexpr int kDepths[] = {1, 2, 3, 4, 6, 8, 24};
constexpr const char* kDepthNames[] = {"1-bit B/W",   "1-bit gray", "3-bit RGB",   "4-bit EGA",
                                       "8-bit color", "8-bit gray", "24-bit color"};
struct ClassBox {
  const char* name;
  uint8_t bit;
};
constexpr ClassBox kClasses[] = {
    {"Holes", kNoHoles}, {"Vias", kNoVias}, {"Pads", kNoPads}, {"Pix Image", kNoImage}, {"Tracks", kNoTracks}};
constexpr const char* kWindowNames[] = {"Xmin", "Ymin", "Xmax", "Ymax"};

std::string dimension(int32_t v) {
  std::string s;
  appendDimension(s, v);
  return s;
}

std::string hex6(uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "%06X", v & 0xFFFFFF);
  return b;
}

int indexOf(const Params& p) {
  for (size_t i = 0; i < std::size(kKinds); ++i)
    if (static_cast<int>(kKinds[i].kind) == p.printKind) return static_cast<int>(i);
  return 1;
}

DialogField field(const std::string& name, DialogField::Kind kind, const std::string& label, const std::string& value,
                  std::vector<std::string> choices = {}) {
  return dialogField(name.c_str(), kind, label, value, std::move(choices));
}

}  // namespace

DialogBox plotterOutputBox(const Context& ctx) {
  const Params& p = ctx.params;
  DialogBox box{"PlotterOutputBox", "Printer Output Setup", {}};
  std::vector<std::string> kinds;
  for (const KindChoice& k : kKinds) kinds.push_back(k.text);
  box.fields.push_back(field("kind", DialogField::Radio, "Output", std::to_string(indexOf(p)), kinds));
  box.fields.push_back(field("range", DialogField::Radio, "Range", p.printFlags & kPrintExtents ? "0" : "1",
                             {"Print extents", "Print rect"}));
  for (int i = 0; i < 4; ++i)
    box.fields.push_back(field(kWindowNames[i], DialogField::Text, kWindowNames[i], dimension(p.printRect[i])));
  box.fields.push_back(field("scaling", DialogField::Radio, "Scaling", p.printFlags & kPrintScaleToPage ? "0" : "1",
                             {"Scale to page", "Print to scale"}));
  std::string scale;
  if (p.printKind == static_cast<int>(PlotKind::Bmp))
    scale = std::to_string(std::lround(p.printScale * 300.0 / 65536.0));
  else
    scale = std::to_string(p.printScale / 65536.0).substr(0, 8);
  box.fields.push_back(field("scale", DialogField::Number, "Scaling factor (BMP: dots per inch)", scale));
  box.fields.push_back(field("center", DialogField::Check, "Center", p.printFlags & kPrintCentre ? "1" : "0"));
  box.fields.push_back(field("mirror", DialogField::Check, "Mirror", p.printFlags & kPrintMirror ? "1" : "0"));
  box.fields.push_back(field("negative", DialogField::Check, "Negative", p.printFlags & kPrintNegative ? "1" : "0"));
  for (const ClassBox& c : kClasses)
    box.fields.push_back(field(c.name, DialogField::Check, c.name, p.printExclusions & c.bit ? "0" : "1"));
  int depth = 6;
  for (int i = 0; i < 7; ++i)
    if (kDepths[i] == p.printDepth) depth = i;
  box.fields.push_back(field("depth", DialogField::Choice, "Color depth", std::to_string(depth),
                             {std::begin(kDepthNames), std::end(kDepthNames)}));
  for (int l = 0; l < 256; ++l) {
    const LayerEntry& e = p.layers[l];
    if (e.unused()) continue;
    const std::string n = "layer" + std::to_string(l);
    box.fields.push_back(field(n, DialogField::Label, std::to_string(l) + " " + e.name, ""));
    box.fields.push_back(field(n + ".color", DialogField::Text, "Plot color:", hex6(e.plotColor)));
    box.fields.push_back(field(n + ".stackup", DialogField::Integer, "Layer stackup:", std::to_string(e.sequence)));
    box.fields.push_back(
        field(n + ".disabled", DialogField::Check, "Disabled", e.plotColor & kColorDisabled ? "1" : "0"));
  }
  box.fields.push_back(field("setup", DialogField::Button, "Setup", "0"));
  return box;
}

namespace {

bool checked(DialogBox& box, const std::string& name) {
  const DialogField* f = box.field(name);
  return f && f->value == "1";
}

std::string value(DialogBox& box, const std::string& name) {
  const DialogField* f = box.field(name);
  return f ? f->value : std::string();
}

void storeLayers(Params& p, DialogBox& box) {
  for (int l = 0; l < 256; ++l) {
    LayerEntry& e = p.layers[l];
    const std::string n = "layer" + std::to_string(l);
    if (e.unused() || !box.field(n + ".color")) continue;
    NumberReader colour{value(box, n + ".color")};
    uint32_t c = colour.hex() & 0xFFFFFF;
    if (checked(box, n + ".disabled")) c |= kColorDisabled;
    e.plotColor = c;
    e.sequence = static_cast<uint8_t>(fieldInt(box, (n + ".stackup").c_str(), e.sequence) & 255);
  }
}

void storeOutput(Params& p, DialogBox& box) {
  const int kind = fieldInt(box, "kind", indexOf(p));
  p.printKind = static_cast<int>(kKinds[kind >= 0 && kind < 7 ? kind : 1].kind);
  uint8_t flags = p.printFlags & ~(kPrintExtents | kPrintScaleToPage | kPrintCentre | kPrintMirror | kPrintNegative);
  if (fieldInt(box, "range", 0) == 0) flags |= kPrintExtents;
  if (fieldInt(box, "scaling", 0) == 0) flags |= kPrintScaleToPage;
  if (checked(box, "center")) flags |= kPrintCentre;
  if (checked(box, "mirror")) flags |= kPrintMirror;
  if (checked(box, "negative")) flags |= kPrintNegative;
  p.printFlags = flags;
  for (int i = 0; i < 4; ++i) p.printRect[i] = NumberReader{value(box, kWindowNames[i])}.dimension();
  uint8_t excluded = 0;
  for (const ClassBox& c : kClasses)
    if (!checked(box, c.name)) excluded |= c.bit;
  p.printExclusions = excluded;
  const double scale = std::atof(value(box, "scale").c_str());
  if (scale > 0 && scale < 30000)
    p.printScale = static_cast<int32_t>(
        std::lround(p.printKind == static_cast<int>(PlotKind::Bmp) ? scale * 65536.0 / 300.0 : scale * 65536.0));
  const int depth = fieldInt(box, "depth", 6);
  p.printDepth = kDepths[depth >= 0 && depth < 7 ? depth : 6];
  storeLayers(p, box);
}

std::string inches(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.2f in", v);
  return b;
}

}  // namespace

// A scripted box may press its button every time it opens: the round trip
// through the other box is made a few times at most.
constexpr int kButtonRounds = 8;

bool editPlotSettings(Context& ctx) {
  for (int round = 0;; ++round) {
    DialogBox box = plotterOutputBox(ctx);
    if (!ctx.host->runDialog(box)) return false;
    storeOutput(ctx.params, box);
    if (ctx.current != kNull) ctx.rec(ctx.current).size |= kFileModified;
    if (!checked(box, "setup") || round >= kButtonRounds) return true;
    printerParameters(ctx);
  }
}

DialogBox plotterSettingsBox(const Context& ctx) {
  PrinterPort* port = ctx.output.printer.get();
  PrinterInfo info;
  const bool have = port && port->describe(info);
  DialogBox box{"PlotterSettingsBox", "Printer Parameters", {}};
  auto label = [&](const char* name, const std::string& text) {
    box.fields.push_back(field(name, DialogField::Label, std::string(name) + " " + text, ""));
  };
  label("Device:", have ? info.device : "(none)");
  label("Color type:", info.colorType);
  label("Pixel depth:", std::to_string(info.pixelDepth));
  label("Page orientation:", info.orientation);
  label("Resolution:", std::to_string(info.dpiX) + " x " + std::to_string(info.dpiY) + " dpi");
  label("Printable width:", inches(info.printableWidth));
  label("Printable height:", inches(info.printableHeight));
  label("Paper width:", inches(info.paperWidth));
  label("Paper height:", inches(info.paperHeight));
  label("Margins:", inches(info.margins[0]) + ", " + inches(info.margins[1]) + ", " + inches(info.margins[2]) + ", " +
                        inches(info.margins[3]));
  box.fields.push_back(field("change", DialogField::Button, "Change", "0"));
  return box;
}

DialogBox waitPlotterBox(const Context&) {
  DialogBox box{"WaitPlotterBox", "Please Stand By", {}};
  box.fields.push_back(field("message", DialogField::Label, "Print processing in progress", ""));
  box.fields.push_back(field("percent", DialogField::Label, "", "0%"));
  box.fields.push_back(field("abort", DialogField::Button, "Abort", "0"));
  box.fields.push_back(field("escape", DialogField::Label, "Escape", ""));
  return box;
}

void printerParameters(Context& ctx) {
  PrinterPort* port = ctx.output.printer.get();
  if (port) port->setup(-1);
  for (int round = 0; round < kButtonRounds; ++round) {
    DialogBox box = plotterSettingsBox(ctx);
    if (!ctx.host->runDialog(box) || !checked(box, "change")) return;
    if (!port) {
      ctx.host->messageBox("TRELMO'98 Printer Error", "Unable to acquire handle to DC for printer.");
      return;
    }
    if (!port->setup(1)) continue;
    const Answer a = ctx.host->question(
        "Printer Setup Settings",
        "Do you wish to save the current printer setup\nparameters as the default settings for future\nprint "
        "operations using TRELMO'98?\n\nSaving these settings will not affect printing\nfunctions in other "
        "applications.",
        Buttons::YesNo);
    if (affirmative(a)) ctx.host->writeSetting("Printer Setup", port->setupText());
  }
}

}  // namespace trelmo
