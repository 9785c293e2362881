// The steps before the routing passes: pre-routes deleted, rat-lines made
// for every signal, and the order the passes take them in.
#pragma once
#include <vector>

#include "router/route_work.h"

namespace trelmo {

// Walking the design list from its end: every line of non-zero width and
// every arc on a routing layer or layer 255, and every via. The count.
int deletePreroutes(Context& ctx, UndoTransaction& undo);
// Rat-lines for every signal carried by a pad: each pad outside the
// connected set joined to its nearest pad inside, by straight distance.
// The count made.
int createRatLines(Context& ctx, UndoTransaction& undo);
// Closest to axis-parallel first, then shortest; differences of up to 4
// units count as equal, and among equals the later one in list order goes
// first.
void sortRatLines(std::vector<RatLine>& rats);

}  // namespace trelmo
