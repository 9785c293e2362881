#include "files/header_writer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "context.h"
#include "database/options.h"
#include "files/number_format.h"

namespace trelmo {
namespace {

// Builds one line at a time: values joined by commas, trailing blanks removed
// and CR LF appended at the end.
class Lines {
 public:
  explicit Lines(std::string& out) : out_(out) {}
  Lines& begin(const char* option) {
    start_ = out_.size();
    out_ += option;
    first_ = true;
    return *this;
  }
  std::string& field() {
    if (!first_) out_ += ',';
    first_ = false;
    return out_;
  }
  Lines& dim(int32_t v) { return appendDimension(field(), v), *this; }
  Lines& num(int64_t v) { return appendInt(field(), v), *this; }
  // A text field of a fixed-size array, safe without its terminating zero.
  template <size_t N>
  Lines& text(const char (&s)[N]) {
    field().append(s, strnlen(s, N));
    return *this;
  }
  Lines& layers(const LayerSet& set) {
    for (int n = 0; n < 256; ++n)
      if (set.test(n)) num(n);
    return *this;
  }
  std::string& raw() { return out_; }
  void end() {
    while (out_.size() > start_ && out_.back() == ' ') out_.pop_back();
    out_ += "\r\n";
    start_ = out_.size();
  }
  void line(const char* text) {
    begin(text);
    end();
  }

 private:
  std::string& out_;
  size_t start_ = 0;
  bool first_ = true;
};

void clearances(const Params& p, Lines& l) {
  l.begin("-gc");
  for (int32_t v :
       {p.floodToLine, p.floodToPad, p.lineToLine, p.lineToPad, p.padToPad, p.floodLineSize, p.ratnestLineSize})
    l.dim(v);
  l.text(p.thermalSignal).text(p.solidSignal).num(p.floodTarget).layers(p.floodSources).end();
}

void gridDots(const Params& p, Lines& l) {
  // The spacing to the nearest 16-bit fraction; all ones becomes "1.0".
  const int32_t spacing = static_cast<int32_t>((uint64_t{p.gridSpacing} + 0x8000) >> 16);
  l.begin("-gd").dim(spacing);
  for (uint32_t c : {p.gridColor, p.backgroundColor, p.hilightColor, p.attentionColor})
    appendHex(l.field(), c & 0xFFFFFF, 6);
  l.end();
}

// The snap step with as many decimals as the units show, or with more when
// those would change it: a 0.025 inch step shown with no decimals is written
// 0.025", not 0" (which would read back as no snap at all). A step that no
// count of decimals writes exactly (1/3 inch) keeps the units' count.
// "Exactly" allows the few 2^-32 inch that the millimetre conversion costs.
constexpr int64_t kSnapSlack = 16;

std::string snapStepText(const Params& p) {
  const bool mm = p.units < 0;
  const uint64_t value = mm ? (uint64_t{p.snapStep} * 254 + 5) / 10 : p.snapStep;
  const int first = std::clamp(std::abs(static_cast<int>(p.units)), 1, 4);
  std::string fallback;
  for (int decimals = first; decimals <= 4; ++decimals) {
    std::string text;
    appendFixed(text, value, decimals);
    text += mm ? "mm" : "\"";
    uint32_t step = 0;
    int8_t units = 0;
    if (readSnapStep(text, step, units) && std::llabs(int64_t{step} - int64_t{p.snapStep}) <= kSnapSlack) return text;
    if (fallback.empty()) fallback = text;
  }
  return fallback;
}

void snap(const Params& p, Lines& l) {
  l.begin("-gs");
  l.field() += snapStepText(p);
  l.num(p.snapIndex);
  for (const auto& entry : p.snapTable)
    if (entry[0] != 0) l.text(entry);
  l.end();
}

void isolation(const char* option, const IsolationParams& iso, Lines& l) {
  l.begin(option).num(iso.passes);
  for (uint16_t v :
       {iso.isoTool, iso.isoOverlap, iso.isoClearance, iso.floodTool, iso.floodOverlap, iso.floodClearance})
    l.dim(v);
  if (iso.signal[0] != 0) l.text(iso.signal);
  l.num(iso.target).layers(iso.sources).end();
}

void setup(const Params& p, Lines& l) {
  l.line("Setup parameters:");
  clearances(p, l);
  gridDots(p, l);
  l.begin("-gm").num(p.drawLines).num(p.drawPads).num(p.drawText).num(p.drawTags).end();
  l.begin("-gp").num(p.printFlags).num(p.printExclusions).dim(p.printScale);
  for (int32_t v : p.printRect) l.dim(v);
  l.num(p.printDepth).end();
  snap(p, l);
  l.begin("-gx").dim(p.limits[0]).dim(p.limits[1]).dim(p.limits[2]).dim(p.limits[3]).end();
  l.begin("-gz").dim(p.zeroX).dim(p.zeroY).end();
  isolation("-gtt", p.isoTop, l);
  isolation("-gtb", p.isoBottom, l);
  l.begin("-ga").num(static_cast<int32_t>(p.routerPasses)).end();  // a set with bit 31 reads back signed
  l.begin("-gf");
  if (static_cast<unsigned char>(p.format) > ' ') l.raw() += p.format;
  l.end();
}

void items(const Params& p, Lines& l) {
  l.line("");
  l.line("Item parameters:");
  l.begin("-il").dim(p.lineWidth).end();
  l.begin("-iv").num(p.viaLayer).dim(p.viaSize).dim(p.viaHole).end();
  l.begin("-ip").num(p.padType).num(p.padLayer).dim(p.padX).dim(p.padY).dim(p.padHole).end();
  l.begin("-it").dim(p.textSize).end();
  l.begin("-ix").dim(p.dimTextSize).end();
}

void layerTable(const Params& p, Lines& l) {
  l.line("");
  l.line("Layer/color/plot/type/sequence/name table:");
  l.begin("-y").num(p.currentLayer).end();
  for (int n = 0; n < 256; ++n) {
    const LayerEntry& e = p.layers[n];
    if (n != 0 && e.unused()) continue;
    l.begin("-y");
    std::string& out = l.raw();
    appendInt(out, n);
    out += ':';
    appendHex(out, e.color, 8);
    out += ',';
    appendHex(out, e.plotColor, 8);
    out += ',';
    appendInt(out, e.type);
    out += ',';
    appendInt(out, e.sequence);
    out += ',';
    out.append(e.name, strnlen(e.name, sizeof e.name));
    l.end();
  }
}

void gerber(const Params& p, Lines& l) {
  l.line("");
  l.line("Gerber parameters:");
  l.begin("-dp");
  for (int32_t v : {p.maskSwell, p.pasteShrink, p.planeSwell, p.planeHoleSwell, p.solidFillLine}) l.dim(v);
  l.end();
  l.line("-dy");
  for (const GerberEntry& g : p.gerber) {
    if (g.empty()) continue;
    l.begin("-dy");
    std::string& out = l.raw();
    for (int i = 0; i < 3 && g.name[i] != 0; ++i) out += g.name[i];
    out += ':';
    l.num(g.number).layers(g.layers).end();
  }
}

void libraries(const Params& p, Lines& l) {
  l.line("");
  l.line("Component libraries:");
  l.line("-b");
  for (const auto& name : p.libraries) {
    if (name[0] == 0) continue;
    l.begin("-b").raw().append(name, strnlen(name, kLibraryNameMax));
    l.end();
  }
  l.line("");
}

void legend(Lines& l) {
  l.line("Primary Data File:");
  l.line("Component: 6 0 0 X1 Y1 X2 Y2 Parameters");
  l.line("Text: 4 layer height X0 Y0 length angle anchor font data");
  l.line("Pad: 3 layer type X0 Y0 width height hole angle pin signal");
  l.line("Arc: 2 layer width X0 Y0 radius start sweep ellipse angle signal");
  l.line("Line: 1 layer width X1 Y1 X2 Y2 signal");
}

}  // namespace

void writeHeader(const Context& ctx, std::string& out) {
  const Params& p = ctx.params;
  Lines l(out);
  l.line("TRELMO Version 4.0 -- Data File.");
  l.line("");
  setup(p, l);
  items(p, l);
  layerTable(p, l);
  gerber(p, l);
  libraries(p, l);
  legend(l);
}

}  // namespace trelmo
