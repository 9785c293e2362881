// The parameter block at program start.
#include <cstring>

#include "database/options_internal.h"

namespace trelmo {

void startupParams(Params& p) {
  p = Params{};
  p.gridColor = 0xFFFFFF;
  p.backgroundColor = 0x909090;
  p.hilightColor = 0xFFFFFF;
  p.attentionColor = 0xFFFF00;
  p.gridPixel = p.gridColor;
  p.backgroundPixel = p.backgroundColor;
  p.hilightPixel = p.hilightColor;
  p.attentionPixel = p.attentionColor;
  p.gridSpacing = static_cast<uint32_t>((uint64_t{1} << 32) / 10);  // 0.1 inch

  p.units = 4;
  p.snapStep = kAllOnes;
  p.snapIndex = 0;
  std::strcpy(p.snapTable[0], "0.0001\"");

  // Dense lines and pads, filled text, the angle/distance readout.
  p.drawLines = kLinesDense;
  p.drawPads = kPadsDense;
  p.drawText = kTextFilled;
  p.drawTags = kTagReadout;

  p.printScale = kInch;
  p.printDepth = 1;
  p.limits[0] = p.limits[1] = -32 * kInch;
  p.limits[2] = p.limits[3] = 32 * kInch;

  p.lineWidth = 655;  // 0.010 inch
  p.viaLayer = 0;
  p.viaSize = p.padX = p.padY = 2949;  // 0.045 inch
  p.viaHole = p.padHole = 1638;        // 0.025 inch
  p.padType = 3;
  p.textSize = 3146;  // 0.048 inch
  p.dimTextSize = 3146;
  p.solidFillLine = 131;  // 0.002 inch, the smallest fill line

  p.currentLayer = 1;
  resetLayerTable(p);
}

}  // namespace trelmo
