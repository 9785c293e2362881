// Reads a G-code program back as a machine would and checks it: only the
// words GRBL and LinuxCNC both know, millimetres and absolute positions set
// before the first move, every position inside the block, rapid moves only
// at the safe height, cuts only at the depths set with the spindle on and a
// feed given, arcs whose centre is as far from both ends.
#pragma once
#include <cmath>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "flood/flood_state.h"

namespace trelmo::testing {

struct GCodeReport {
  int cuts = 0, drills = 0, arcs = 0, toolChanges = 0;
  bool ended = false;
  std::string error;  // the first fault, with its line
};

inline GCodeReport checkGCode(const std::string& text, const double box[4], const GCodeSettings& s, double depth) {
  GCodeReport rep;
  std::istringstream in(text);
  std::string line;
  double x = 0, y = 0, z = 0;
  bool metric = false, absolute = false, spindle = false, feed = false, xyKnown = false;
  int motion = -1, n = 0;
  auto fail = [&](const std::string& why) {
    if (rep.error.empty()) rep.error = "line " + std::to_string(n) + ": " + why + ": " + line;
  };
  auto near = [](double a, double b) { return std::fabs(a - b) < 1e-3; };
  while (std::getline(in, line)) {
    ++n;
    std::string code = line.substr(0, line.find('('));
    std::istringstream words(code);
    std::string w;
    double nx = x, ny = y, nz = z, ci = 0, cj = 0;
    bool hasXY = false, hasZ = false;
    while (words >> w) {
      const char letter = w[0];
      char* end = nullptr;
      const double v = std::strtod(w.c_str() + 1, &end);
      if (*end != 0 || w.size() < 2) fail("malformed word");
      const int iv = static_cast<int>(v);
      if (letter == 'G' && (iv <= 3))
        motion = iv;
      else if (letter == 'G' && iv == 21)
        metric = true;
      else if (letter == 'G' && iv == 90)
        absolute = true;
      else if (letter == 'G' && (iv == 4 || iv == 17 || iv == 94))
        continue;
      else if (letter == 'M' && iv == 3)
        spindle = true;
      else if (letter == 'M' && iv == 5)
        spindle = false;
      else if (letter == 'M' && iv == 2)
        rep.ended = true;
      else if (letter == 'M' && iv == 0)
        ++rep.toolChanges;
      else if (letter == 'X')
        nx = v, hasXY = true;
      else if (letter == 'Y')
        ny = v, hasXY = true;
      else if (letter == 'Z')
        nz = v, hasZ = true;
      else if (letter == 'I')
        ci = v;
      else if (letter == 'J')
        cj = v;
      else if (letter == 'F')
        feed = true;
      else if (letter != 'S' && letter != 'P')
        fail("unknown word");
    }
    if ((hasXY || hasZ) && (!metric || !absolute)) fail("move before G21 and G90");
    if (hasZ && !near(nz, s.safeHeight) && !near(nz, s.changeHeight) && !near(nz, -depth) && !near(nz, -s.drillDepth))
      fail("depth not as set");
    if (hasXY && (nx < box[0] - 1e-3 || nx > box[2] + 1e-3 || ny < box[1] - 1e-3 || ny > box[3] + 1e-3))
      fail("outside the block");
    if (hasXY && motion == 0 && z < s.safeHeight - 1e-3) fail("rapid move below the safe height");
    if (hasXY && motion >= 1) {
      if (!near(z, -depth)) fail("cut not at the depth");
      if (!spindle || !feed) fail("cut without spindle or feed");
      if (!xyKnown) fail("cut from an unknown place");
      ++rep.cuts;
    }
    if (hasXY && motion >= 2) {
      ++rep.arcs;
      const double r0 = std::hypot(ci, cj), r1 = std::hypot(x + ci - nx, y + cj - ny);
      if (std::fabs(r0 - r1) > 2e-3) fail("arc ends not on one circle");
    }
    if (hasZ && near(nz, -s.drillDepth) && !hasXY) {
      if (!spindle) fail("drill without spindle");
      ++rep.drills;
    }
    if (hasXY) xyKnown = true;
    x = nx, y = ny, z = nz;
  }
  if (!rep.ended) rep.error += " (no M2)";
  return rep;
}

}  // namespace trelmo::testing
