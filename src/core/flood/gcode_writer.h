// G-code for a milling machine, in the common ground of GRBL and LinuxCNC:
// millimetres (G21), absolute positions (G90), XY plane (G17), feed per
// minute (G94); rapid moves (G0) at the safe height, straight (G1) and
// circular (G2 clockwise, G3 counter-clockwise, centre by I and J) cuts at the
// depth; spindle on (M3 S) with a dwell (G4 P, seconds) and off (M5); a tool
// change as a pause (M0) at the change height with the tool named in a
// comment; program end M2. No tool numbers or M6: GRBL refuses them.
#pragma once
#include <string>

#include "flood/flood_state.h"
#include "flood/isolation_output.h"

namespace trelmo::flood {

// The program of one job; `title` goes into the first comment.
std::string gcodeProgram(const MillJob& job, const GCodeSettings& settings, const std::string& title);

// Millimetres of a world length.
inline double millimetres(double units) { return units * 25.4 / 65536.0; }

}  // namespace trelmo::flood
