// Extended Gerber (RS-274X with X2 attributes) and Excellon drill files for
// board houses, from the Gerber output table of the current file.
#pragma once
#include <string>
#include <vector>

#include "database/params.h"
#include "output/byte_sink.h"

namespace trelmo {

struct Context;

// Output kinds of a table entry (bits 0-2 of its number; 8 = bottom side).
enum GerberKind : int {
  kGerberCopper = 0,
  kGerberPlane = 1,
  kGerberMask = 2,
  kGerberPaste = 3,
  kGerberDrill = 4,
  kGerberSymbols = 5,
  kGerberSilk = 6,
  kGerberApertureList = 7,
};
constexpr int kGerberBottom = 8;

// Where a copper file sits in the stack: L<index> of <count>.
struct CopperPosition {
  int index = 1, count = 2;
};

// One Gerber file for a table entry: the items on the entry's layers, and by
// kind the through-hole pads (copper, plane, mask), pads of the entry's side
// swelled by the mask pad swell or shrunk by the paste pad shrink, and drill
// symbols. Returns the apertures used as "D10 C 0.010000" lines (for the
// aperture list). `outline` set writes the board profile instead.
struct GerberFileJob {
  int kind = kGerberCopper;
  bool bottom = false;
  LayerSet layers;
  CopperPosition position;
  bool outline = false;
};
bool writeGerberFile(const Context& ctx, const GerberFileJob& job, ByteSink& out, std::string* apertureList);

// Excellon: the plated or the non-plated holes (a hole as large as its pad
// has no copper ring: non-plated), inches with decimal points, a tool table.
// False when there are no such holes (nothing is written).
bool writeExcellon(const Context& ctx, bool plated, ByteSink& out);

// Writes the chosen entries of the table (indexes into Params::gerber) and,
// when `outlineLayer` >= 0, the profile, as <base>.<entry name>; drills as
// <base>.<name> (plated) and <base>-NPTH.<name> (non-plated). `written`
// lists the files; false with `error` (file and cause) at the first failure.
struct GerberSet {
  std::vector<int> entries;
  int outlineLayer = -1;
  std::vector<std::string> written;
  std::string error;
};
bool writeGerberSet(const Context& ctx, const std::string& base, GerberSet& set);

// The entries of the current table that are not empty.
std::vector<int> gerberEntries(const Params& p);
// The board outline layer a file most likely has: the first named layer whose
// name holds "outline" or "profile" (any case); -1 when none.
int guessOutlineLayer(const Params& p);

}  // namespace trelmo
