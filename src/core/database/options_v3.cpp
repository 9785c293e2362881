// Old option lines of version 3 files (and version 2's built-in defaults):
// dimensions in whole mils, colours from the 16-entry palettes.
#include <algorithm>
#include <cstring>

#include "context.h"
#include "database/options_internal.h"

namespace trelmo {

const uint32_t kDisplayPalette[16] = {
    0x01000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAAAA00, 0x000000,
    0x555555,   0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF00, 0xFFFFFF,
};
const uint32_t kPlotPalette[16] = {
    0x01000000, 0xFFFF00, 0xFF00FF, 0xFF0000, 0x00FFFF, 0x00FF00, 0x0000FF, 0xFFFFFF,
    0x333333,   0x555500, 0x550055, 0x550000, 0x005555, 0x005500, 0x000055, 0x777777,
};

namespace {

enum class Dialect { V3, V2 };

int32_t mils(NumberReader& r) {
  const int32_t v = r.oldDimension();
  r.skip(',');
  return v;
}

void layer(Context& ctx, NumberReader& r, Dialect dialect) {
  Params& p = ctx.params;
  int32_t n = r.integer();
  if (!r.skip(':')) {
    p.currentLayer = static_cast<uint16_t>(clampLayer(n));
    return;
  }
  const int32_t colorIndex = integerField(r);
  const uint8_t type = static_cast<uint8_t>(integerField(r));
  const std::string_view name = layerNameText(r);
  if (n < 0 || n > 255) return;
  // Old files kept the ratsnest on layer 15; it lives on layer 255 now.
  if (dialect == Dialect::V3 && n == 15 && colorIndex == 14 &&
      (name.starts_with("Ratnest") || name.starts_with("Ratsnest") || name.starts_with("Special")))
    n = kRatnestLayer;
  LayerEntry& e = p.layers[n];
  e.color = kDisplayPalette[colorIndex & 15];
  e.screenColor = convertColor(ctx, e.color);
  e.type = type;
  if (dialect == Dialect::V3) e.sequence = static_cast<uint8_t>(n);
  copyBounded(e.name, name, kLayerNameMax);
}

void plotColors(Params& p, NumberReader& r) {
  for (int i = 0; i < 16; ++i) {
    NumberReader digit{r.s.substr(0, r.pos + 1), r.pos};  // one hexadecimal digit
    const uint32_t v = digit.hex();
    if (digit.pos == r.pos) return;
    r.pos = digit.pos;
    p.layers[i].plotColor = kPlotPalette[v & 15];
  }
}

void pad(Params& p, NumberReader& r) {
  const uint16_t size = clampSize(r.oldDimension());
  int code = -1;
  switch (r.peek()) {
    case 'Z':
    case 'z':
      code = 0;
      break;
    case 'R':
    case 'r':
      code = 1;
      break;
    case 'S':
    case 's':
      code = 2;
      break;
    case 'V':
    case 'v':
      code = 3;
      break;
    default:
      break;
  }
  if (code >= 0) ++r.pos;
  const uint16_t hole = clampSize(r.oldDimension());
  r.skip(',');
  const uint8_t padLayer = static_cast<uint8_t>(r.integer());
  if (code >= 0) p.padType = static_cast<uint8_t>(code);
  p.padX = p.padY = size;
  p.padHole = hole;
  p.padLayer = padLayer;
  if (code == 3) {
    p.viaSize = size;
    p.viaHole = hole;
    p.viaLayer = padLayer;
  }
}

void snapSetting(Params& p, NumberReader& r) {
  p.units = static_cast<int8_t>(std::clamp(integerField(r), -3, 4));
  p.snapStep = milsFraction(std::max(r.integer(), 0));
  p.snapIndex = 0;
  parseSnapTable(p, r);
}

// Up to eight values: line, pad and text modes, a skipped value, the tags,
// then single bits for track signal names and pad pin numbers.
void drawModes(Params& p, NumberReader& r) {
  for (int i = 1; i <= 8; ++i) {
    const int32_t v = r.integer();
    switch (i) {
      case 1:
        p.drawLines = static_cast<uint8_t>(v & 3);
        break;
      case 2:
        p.drawPads = static_cast<uint8_t>(v & 3);
        break;
      case 3:
        p.drawText = static_cast<uint8_t>(v & 3);
        break;
      case 5:
        p.drawTags = static_cast<uint8_t>(v);
        break;
      case 6:
        if (v & 1) p.drawLines |= kTrackSignalNames;
        break;
      case 8:
        if (v & 1) p.drawPads |= kPadPinNumbers;
        break;
      default:
        break;
    }
    if (!r.skip(',')) return;  // the list ends at the first value without a comma
  }
}

void printSetting(Params& p, NumberReader& r) {
  p.printScale = r.plainNumber();
  r.skip(',');
  for (int32_t& v : p.printArea) v = mils(r);
  for (int32_t& v : p.printRect) v = mils(r);
}

void clearances(Params& p, NumberReader& r) {
  for (int32_t* f : {&p.floodToLine, &p.floodToPad, &p.lineToLine, &p.lineToPad, &p.padToPad, &p.floodLineSize})
    *f = mils(r);
  p.thermalSignal[0] = p.solidSignal[0] = 0;
  p.floodTarget = 0;
  p.floodSources.clear();
}

bool parse(Context& ctx, std::string_view line, Dialect dialect) {
  Params& p = ctx.params;
  NumberReader r{line};
  if (!optionStart(line, r.pos)) return false;
  if (takeOption(r, "y")) {
    layer(ctx, r, dialect);
  } else if (takeOption(r, "hp")) {
    plotColors(p, r);
  } else if (takeOption(r, "hs")) {
    printSetting(p, r);
  } else if (takeOption(r, "m")) {
    for (int32_t& v : p.limits) v = mils(r);
  } else if (takeOption(r, "l")) {
    p.lineWidth = clampSize(r.oldDimension());
  } else if (takeOption(r, "t")) {
    p.textSize = clampSize(r.oldDimension());
  } else if (takeOption(r, "p")) {
    pad(p, r);
  } else if (takeOption(r, "gd")) {
    p.gridSpacing = milsFraction(std::max(r.integer(), 0));
  } else if (takeOption(r, "gr")) {
    snapSetting(p, r);
  } else if (takeOption(r, "gz")) {
    p.zeroX = mils(r);
    p.zeroY = mils(r);
  } else if (takeOption(r, "gm")) {
    drawModes(p, r);
  } else if (takeOption(r, "nc")) {
    clearances(p, r);
  } else if (takeOption(r, "nr")) {
    p.routerPasses = static_cast<uint32_t>(r.integer());
  } else if (takeOption(r, "hm") || takeOption(r, "n")) {
    // the print modes and other net options of old files (such as "-nh") are
    // not used; "-n" is taken only after "-nc" and "-nr" above
  } else if (takeOption(r, "dp")) {
    for (int32_t* f : {&p.maskSwell, &p.pasteShrink, &p.planeSwell, &p.planeHoleSwell}) *f = mils(r);
  } else if (takeOption(r, "dy")) {
    parseGerberEntry(p, r);
  } else if (takeOption(r, "b")) {
    parseLibrary(p, r);
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool parseOptionV3(Context& ctx, std::string_view line) { return parse(ctx, line, Dialect::V3); }
bool parseOptionV2(Context& ctx, std::string_view line) { return parse(ctx, line, Dialect::V2); }

void parseOptionsV3(Context& ctx, std::initializer_list<std::string_view> lines) {
  for (std::string_view line : lines) parseOptionV3(ctx, line);
}

}  // namespace trelmo
