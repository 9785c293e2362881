// The setup parameter block of a design file and its layer table.
#pragma once
#include <cstdint>
#include <type_traits>

#include "database/layer_set.h"

namespace trelmo {

// Layer kinds (bits 0-2 of a layer's type).
enum LayerKind : uint8_t {
  kSilk = 0,
  kMask = 1,
  kCopper = 2,
  kPlane = 3,
  kSymbols = 4,
  kPaste = 5,
  kSchematic = 6,
  kDrawing = 7,
};
constexpr uint8_t kLayerKindMask = 7;
constexpr uint8_t kBottomSide = 8;
constexpr uint8_t kRouteDirShift = 4;          // bits 4-5: 0 none, 1 X, 2 Y, 3 either
constexpr uint32_t kColorDisabled = 1u << 24;  // "Video Disabled" / not plotted
constexpr int kRatnestLayer = 255;

constexpr int kLayerNameMax = 15;
constexpr int kSignalFieldMax = 31;
constexpr int kSnapEntryMax = 11;
constexpr int kSnapEntries = 16;
constexpr int kLibraryNameMax = 32;
constexpr int kLibraries = 32;
constexpr int kGerberEntries = 24;
constexpr uint32_t kAllOnes = 0xFFFFFFFFu;

struct LayerEntry {
  char name[kLayerNameMax + 1];
  uint8_t type;
  uint8_t sequence;
  uint32_t color;        // 0x00RRGGBB, bit 24 = video disabled
  uint32_t screenColor;  // color converted for the current surface (not saved)
  uint32_t plotColor;    // bit 24 = not printed or plotted

  uint8_t kind() const { return type & kLayerKindMask; }
  bool bottom() const { return (type & kBottomSide) != 0; }
  bool unused() const { return name[0] == 0 || (name[0] == '-' && name[1] == 0); }
};

struct GerberEntry {
  char name[4];  // 3 characters; a control character or blank first means empty
  int32_t number;
  LayerSet layers;
  bool empty() const { return static_cast<unsigned char>(name[0]) <= ' '; }
};

// Track isolation of one board side ("-gtt", "-gtb").
struct IsolationParams {
  int32_t passes;
  uint16_t isoTool, isoOverlap, isoClearance, floodTool, floodOverlap, floodClearance;
  char signal[kSignalFieldMax + 1];
  uint8_t target;
  LayerSet sources;
};

// Draw mode bits ("-gm").
enum DrawBits : uint8_t {
  kLinesCenterline = 0,
  kLinesOutline = 1,
  kLinesSparse = 2,
  kLinesDense = 3,
  kTrackSignalNames = 4,
  kPadsOutline = 0,
  kPadsOutlineHole = 1,
  kPadsDense = 2,
  kPadsDenseNoHole = 3,
  kPadPinNumbers = 4,
  kPadSignalNames = 8,
  kPadMaskPaste = 16,
  kTextDisabled = 0,
  kTextThin = 1,
  kTextHollow = 2,
  kTextFilled = 3,
  kTagReadout = 1,
  kTagOrigins = 2,
  kTagEndpoints = 4,
  kTagArcCenters = 8,
};

// Print flags and exclusions ("-gp").
enum PrintBits : uint8_t {
  kPrintExtents = 1,
  kPrintScaleToPage = 2,
  kPrintCentre = 4,
  kPrintMirror = 64,
  kPrintNegative = 128,
  kNoHoles = 1,
  kNoVias = 2,
  kNoPads = 4,
  kNoImage = 8,
  kNoTracks = 16,
};

// The whole block. It is copied byte for byte when a file is parked, so it
// holds no pointers: picture slots name images in the context's image store.
struct Params {
  // -gc: clearances and flood connections
  int32_t floodToLine, floodToPad, lineToLine, lineToPad, padToPad, floodLineSize, ratnestLineSize;
  char thermalSignal[kSignalFieldMax + 1];
  char solidSignal[kSignalFieldMax + 1];
  uint8_t floodTarget;
  LayerSet floodSources;
  // -gd: grid dots and colours (0x00RRGGBB) with their screen forms
  uint32_t gridSpacing;  // 0.32 fraction of an inch; all ones = one inch or more
  uint32_t gridColor, backgroundColor, hilightColor, attentionColor;
  uint32_t gridPixel, backgroundPixel, hilightPixel, attentionPixel;
  // -gm
  uint8_t drawLines, drawPads, drawText, drawTags;
  // -gp (and the version 3 "-hs" area that is read but not saved)
  uint8_t printFlags, printExclusions;
  int32_t printScale;  // 16.16
  int32_t printRect[4];
  int32_t printDepth;
  int32_t printArea[4];
  int32_t printKind;  // the output kind of "PlotterOutputBox" (not saved in the file)
  // -gs: snap step and units
  uint32_t snapStep;  // 0.32 fraction of an inch; all ones at start-up
  int8_t units;       // decimals shown; negative = millimetres with that many decimals
  int32_t snapIndex;
  char snapTable[kSnapEntries][kSnapEntryMax + 1];
  // -gx, -gz
  int32_t limits[4];  // min X, min Y, max X, max Y
  int32_t zeroX, zeroY;
  // -gtt, -gtb
  IsolationParams isoTop, isoBottom;
  // -ga, -gf
  uint32_t routerPasses;
  char format;  // remembered input format code, 0 = none
  // -il, -iv, -ip, -it, -ix
  uint16_t lineWidth;
  uint8_t viaLayer;
  uint16_t viaSize, viaHole;
  uint8_t padType, padLayer;
  uint16_t padX, padY, padHole;
  uint16_t textSize;
  int32_t dimTextSize;
  // -y
  uint16_t currentLayer;
  LayerEntry layers[256];
  // -dp, -dy
  int32_t maskSwell, pasteShrink, planeSwell, planeHoleSwell, solidFillLine;
  GerberEntry gerber[kGerberEntries];
  // -b
  char libraries[kLibraries][kLibraryNameMax + 1];
  // Picture slots: ids in the context's image store, 0 = empty.
  uint32_t imageCurrent, imageAlternate;

  bool isSchematic() const { return layers[1].kind() == kSymbols && layers[2].kind() == kSchematic; }
};
static_assert(std::is_trivially_copyable_v<Params>, "the block is parked byte for byte");

}  // namespace trelmo
