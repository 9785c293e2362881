// Version 4 option lines: the grammar the data file writer produces.
#include <algorithm>
#include <cstdlib>

#include "context.h"
#include "database/options_internal.h"

namespace trelmo {
namespace {

using Handler = void (*)(Context&, NumberReader&);

int32_t dim(NumberReader& r) {
  const int32_t v = r.dimension();
  r.skip(',');
  return v;
}
uint16_t size(NumberReader& r) { return clampSize(dim(r)); }
uint8_t byte(NumberReader& r) { return static_cast<uint8_t>(integerField(r)); }
void skipSeparator(NumberReader& r) {
  if (r.peek() == ',' || r.peek() == ' ') ++r.pos;
}

// A signal-name field: up to "," or a blank, at most 31 characters kept.
void signalField(NumberReader& r, char* dst) { copyBounded(dst, r.token(','), kSignalFieldMax); }

void clearances(Context& ctx, NumberReader& r) {
  Params& p = ctx.params;
  for (int32_t* f :
       {&p.floodToLine, &p.floodToPad, &p.lineToLine, &p.lineToPad, &p.padToPad, &p.floodLineSize, &p.ratnestLineSize})
    *f = dim(r);
  signalField(r, p.thermalSignal);
  skipSeparator(r);
  signalField(r, p.solidSignal);
  skipSeparator(r);
  p.floodTarget = static_cast<uint8_t>(clampLayer(r.integer()));
  readLayerList(r, p.floodSources);
}

void gridDots(Context& ctx, NumberReader& r) {
  Params& p = ctx.params;
  const Decimal d = readDecimal(r, true);
  uint64_t inch = d.point ? decimalTo3232(d) : (std::min<uint64_t>(d.whole, 1000000) << 32) / 1000;
  if (d.point && (r.peek() == 'm' || r.peek() == 'M')) {
    ++r.pos;
    inch = mm3232ToInch(inch);
  }
  p.gridSpacing = fractionOfInch(inch);
  r.skip(',');
  for (uint32_t* c : {&p.gridColor, &p.backgroundColor, &p.hilightColor, &p.attentionColor}) {
    *c = r.hex() & 0xFFFFFF;
    r.skip(',');
  }
  p.gridPixel = convertColor(ctx, p.gridColor);
  p.backgroundPixel = convertColor(ctx, p.backgroundColor);
  p.hilightPixel = convertColor(ctx, p.hilightColor);
  p.attentionPixel = convertColor(ctx, p.attentionColor);
}

void drawModes(Context& ctx, NumberReader& r) {
  Params& p = ctx.params;
  for (uint8_t* b : {&p.drawLines, &p.drawPads, &p.drawText, &p.drawTags}) *b = byte(r);
}

void print(Context& ctx, NumberReader& r) {
  Params& p = ctx.params;
  p.printFlags = byte(r);
  p.printExclusions = byte(r);
  p.printScale = r.plainNumber();
  r.skip(',');
  for (int32_t& v : p.printRect) v = dim(r);
  p.printDepth = r.integer();
}

// The snap step: "n/m", a decimal with an optional inch mark or "mm", or
// whole mils, into the step and the units setting. An invalid fraction leaves
// both as they were and gives false.
bool snapStep(uint32_t& step, int8_t& units, NumberReader& r) {
  const Decimal d = readDecimal(r, false);
  uint64_t inch = 0;
  int decimals;
  bool valid = true;
  if (!d.point && r.peek() == '/') {
    ++r.pos;
    const uint64_t m = static_cast<uint64_t>(std::max(0, r.integer()));
    valid = d.whole != 0 && d.whole < m;
    if (valid) inch = (d.whole << 32) / m;
    decimals = std::abs(units);
  } else if (d.point) {
    inch = decimalTo3232(d);
    decimals = std::min(d.fractionDigits, 4);
  } else {
    step = milsFraction(d.whole);
    units = 3;
    return true;
  }
  if (r.peek() == '"') {
    ++r.pos;
  } else if (r.peek() == 'm' || r.peek() == 'M') {
    ++r.pos;
    if (r.peek() == 'm' || r.peek() == 'M') ++r.pos;
    inch = mm3232ToInch(inch);
    decimals = -std::min(decimals, 3);
  }
  if (!valid) return false;
  step = fractionOfInch(inch);
  units = static_cast<int8_t>(decimals);
  return true;
}

void snap(Context& ctx, NumberReader& r) {
  Params& p = ctx.params;
  snapStep(p.snapStep, p.units, r);
  if (!r.skip(',')) return;
  p.snapIndex = std::clamp(r.integer(), 0, kSnapEntries - 1);
  parseSnapTable(p, r);
}

void limits(Context& ctx, NumberReader& r) {
  for (int32_t& v : ctx.params.limits) v = dim(r);
}

void zero(Context& ctx, NumberReader& r) {
  ctx.params.zeroX = dim(r);
  ctx.params.zeroY = dim(r);
}

void isolation(IsolationParams& iso, NumberReader& r) {
  iso.passes = integerField(r);
  for (uint16_t* s :
       {&iso.isoTool, &iso.isoOverlap, &iso.isoClearance, &iso.floodTool, &iso.floodOverlap, &iso.floodClearance})
    *s = size(r);
  // A bare layer number (also at the end of the line, when no source layers
  // follow) means there is no signal name.
  int32_t target = 0;
  if (integerBeforeComma(r, target, true)) {
    iso.signal[0] = 0;
  } else {
    signalField(r, iso.signal);
    skipSeparator(r);
    target = r.integer();
  }
  iso.target = static_cast<uint8_t>(clampLayer(target));
  iso.sources.clear();
  readLayerList(r, iso.sources);
}

void isolationTop(Context& ctx, NumberReader& r) { isolation(ctx.params.isoTop, r); }
void isolationBottom(Context& ctx, NumberReader& r) { isolation(ctx.params.isoBottom, r); }
void router(Context& ctx, NumberReader& r) { ctx.params.routerPasses = static_cast<uint32_t>(r.integer()); }

void format(Context& ctx, NumberReader& r) {
  const char c = r.peek();
  ctx.params.format = static_cast<unsigned char>(c) > ' ' ? c : 0;
}

void lineWidth(Context& ctx, NumberReader& r) { ctx.params.lineWidth = size(r); }
void via(Context& ctx, NumberReader& r) {
  Params& p = ctx.params;
  p.viaLayer = byte(r);
  p.viaSize = size(r);
  p.viaHole = size(r);
}
void pad(Context& ctx, NumberReader& r) {
  Params& p = ctx.params;
  p.padType = byte(r);
  p.padLayer = byte(r);
  p.padX = size(r);
  p.padY = size(r);
  p.padHole = size(r);
}
void textSize(Context& ctx, NumberReader& r) { ctx.params.textSize = size(r); }
void dimensionText(Context& ctx, NumberReader& r) { ctx.params.dimTextSize = r.dimension(); }

void layer(Context& ctx, NumberReader& r) {
  Params& p = ctx.params;
  const int32_t n = r.integer();
  if (!r.skip(':')) {
    p.currentLayer = static_cast<uint16_t>(clampLayer(n));
    resetLayerTable(p);
    return;
  }
  if (n < 0 || n > 255) return;
  LayerEntry& e = p.layers[n];
  e.color = r.hex();
  e.screenColor = convertColor(ctx, e.color);
  r.skip(',');
  e.plotColor = r.hex();
  r.skip(',');
  e.type = byte(r);
  int32_t sequence = n;
  if (integerBeforeComma(r, sequence, false)) r.skip(',');
  e.sequence = static_cast<uint8_t>(sequence);
  copyBounded(e.name, layerNameText(r), kLayerNameMax);
}

void gerberSwell(Context& ctx, NumberReader& r) {
  Params& p = ctx.params;
  for (int32_t* f : {&p.maskSwell, &p.pasteShrink, &p.planeSwell, &p.planeHoleSwell, &p.solidFillLine}) *f = dim(r);
  const bool allZero = p.maskSwell == 0 && p.pasteShrink == 0 && p.planeSwell == 0 && p.planeHoleSwell == 0;
  if (p.solidFillLine < 131 && !allZero) p.solidFillLine = 131;  // 0.002 inch
}

void gerberEntry(Context& ctx, NumberReader& r) { parseGerberEntry(ctx.params, r); }
void library(Context& ctx, NumberReader& r) { parseLibrary(ctx.params, r); }

struct Option {
  std::string_view letters;
  Handler handler;
};
// Longer letter runs come before their prefixes.
constexpr Option kOptions[] = {
    {"gtt", isolationTop}, {"gtb", isolationBottom},
    {"gc", clearances},    {"gd", gridDots},
    {"gm", drawModes},     {"gp", print},
    {"gs", snap},          {"gx", limits},
    {"gz", zero},          {"ga", router},
    {"gf", format},        {"il", lineWidth},
    {"iv", via},           {"ip", pad},
    {"it", textSize},      {"ix", dimensionText},
    {"dp", gerberSwell},   {"dy", gerberEntry},
    {"y", layer},          {"b", library},
};

}  // namespace

bool readSnapStep(std::string_view text, uint32_t& step, int8_t& units) {
  NumberReader r{text};
  const bool digits = !text.empty() && ((text[0] >= '0' && text[0] <= '9') || text[0] == '.');
  uint32_t s = step;
  int8_t u = units;
  if (!digits || !snapStep(s, u, r) || !r.atEnd()) return false;
  step = s;
  units = u;
  return true;
}

bool parseOptionV4(Context& ctx, std::string_view line) {
  NumberReader r{line};
  if (!optionStart(line, r.pos)) return false;
  for (const Option& o : kOptions) {
    if (takeOption(r, o.letters)) {
      o.handler(ctx, r);
      return true;
    }
  }
  return false;
}

void parseOptionsV4(Context& ctx, std::initializer_list<std::string_view> lines) {
  for (std::string_view line : lines) parseOptionV4(ctx, line);
}

}  // namespace trelmo
