// The contour pass: an outline round every obstacle at the clearance plus
// half the line width, cut where it meets other obstacles.
//   pads    the pad's shape grown (square: its four sides; round: a circle;
//           oblong: two half circles joined by two sides), turned with it
//   arcs    two concentric arcs at the radius plus and minus
//           (width + 2 line clearance + W) / 2 + 2, half circles at the ends
//   lines   half circles round both ends and two sides, at that offset
//   solids  the same round every edge, at W/2 + line clearance + 2
// Arcs are laid as chords on the side away from the obstacle, so that no
// point of them comes nearer than the offset.
#pragma once
#include <functional>
#include <vector>

#include "database/record.h"
#include "flood/flood_pieces.h"

namespace trelmo::flood {

// The closed or open polylines of one obstacle's outline.
std::vector<std::vector<Pt>> outlineOf(const Context& ctx, const Record& r, const Clearances& c);
// A closed outline round the segment p-q at distance radius (a circle when
// they coincide).
std::vector<Pt> stadium(Pt p, Pt q, double radius);

struct ContourPass {
  Clearances clearances;
  // Track isolation: the items of this signal get no outline, nor do pads on
  // the target layer.
  bool isolation = false;
  Handle signal = kNull;
  int target = 0;
  // Flood fill: called for each pad after its outline; -1 ends the pass.
  std::function<int(int ordinal)> tie;
};

// -1 when a pad tie was cancelled (what was added stays), else 0.
int contourPass(Context& ctx, const Obstacles& obstacles, PieceWriter& out, const ContourPass& pass);

}  // namespace trelmo::flood
