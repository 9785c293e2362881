// Thermal ties: the spokes that join a power or ground pad to the flood.
#pragma once
#include "database/record.h"
#include "flood/flood_pieces.h"

namespace trelmo::flood {

// What decides which pads are tied.
struct TieRule {
  int target = 0;
  Handle thermal = kNull;  // the thermal connection signal
  Handle plane = kNull;    // the plane signal
};

// True when the pad gets spokes: a through-hole pad on the target layer, or
// a pad of the thermal connection signal or of the plane signal.
bool tiedPad(const Context& ctx, const Record& pad, const TieRule& rule);

// The four spokes of a pad for a line of width c.width: surface-mount pads
// along their own axes, through-hole pads on the diagonals (from both ends of
// an oblong pad). Each as start and end point.
std::vector<std::pair<Pt, Pt>> spokes(const Record& pad, const Clearances& c);

// Lays the spokes of the pad at `ordinal` that are free of other obstacles;
// when none is, tries again with the line size 65 units smaller while it is
// at least 458, and at last asks whether to go on. The number of spokes laid,
// 0 when the user goes on without, -1 when the user cancels.
int tiePad(Context& ctx, const Obstacles& obstacles, PieceWriter& out, int ordinal, const Clearances& c);

}  // namespace trelmo::flood
