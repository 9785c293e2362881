// Boards for the flood and isolation tests, and what the net scan log says
// about them.
#pragma once
#include <cstring>
#include <iomanip>
#include <random>
#include <set>
#include <sstream>

#include "flood/flood_fill.h"
#include "flood/flood_functions.h"
#include "nets/net_fixture.h"
#include "nets/net_scan.h"

namespace trelmo::testing {

// The fault lines of the net scan log that involve a signal other than the
// ones allowed (the plane's), with the source signal first.
inline std::multiset<std::string> foreignFaults(NetBoard& b, const std::set<std::string>& allowed) {
  ScanLogOptions options;
  options.path = b.dir.file("scan.log");
  options.date = "01/02/03";
  netScanLog(b.ctx, options);
  std::istringstream in(b.readFile(options.path));
  std::multiset<std::string> out;
  std::string line;
  auto trim = [](std::string s) { return s.erase(s.find_last_not_of(' ') + 1); };
  while (std::getline(in, line)) {
    if (line.size() < 48) continue;
    const std::string source = trim(line.substr(0, 24)), target = trim(line.substr(24, 24));
    const std::string message = line.substr(48);
    if (message.rfind("Clearance", 0) != 0 && message.rfind("Crosslinked", 0) != 0) continue;
    const bool foreign = (!source.empty() && !allowed.count(source)) || (!target.empty() && !allowed.count(target));
    if (foreign) out.insert(source + " / " + target + " " + message.substr(0, 11));
  }
  return out;
}

inline void setSignal(char* field, const std::string& name) {
  std::memset(field, 0, kSignalFieldMax + 1);
  std::strncpy(field, name.c_str(), kSignalFieldMax);
}

// A board of `pads` pads on a 0.2 inch grid with tracks between neighbours of
// one signal, an arc and a filled solid; signals A to E and GND.
inline std::string generatedBoard(int columns, int rows, unsigned seed) {
  std::mt19937 rng(seed);
  const char* names[] = {"A", "B", "C", "D", "E", "GND"};
  std::vector<std::string> sig(static_cast<size_t>(columns * rows));
  std::ostringstream s;
  s << std::fixed << std::setprecision(5);
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < columns; ++x) {
      const std::string n = names[rng() % 6];
      sig[static_cast<size_t>(y * columns + x)] = n;
      const int type = rng() % 3 == 0 ? 2 : 1;
      s << "3 0 " << type << " " << 0.2 + 0.2 * x << " " << 0.2 + 0.2 * y << " .06 .06 .032 0 1 " << n << "\n";
    }
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x + 1 < columns; ++x)
      if (sig[static_cast<size_t>(y * columns + x)] == sig[static_cast<size_t>(y * columns + x + 1)])
        s << "1 3 .012 " << 0.2 + 0.2 * x << " " << 0.2 + 0.2 * y << " " << 0.4 + 0.2 * x << " " << 0.2 + 0.2 * y << " "
          << sig[static_cast<size_t>(y * columns + x)] << "\n";
  s << "2 3 .012 " << 0.1 << " " << 0.1 << " .05 0 90 0 0\n";
  s << "3 3 6 " << 0.3 << " " << 0.1 + 0.2 * rows << " .05 .03 0 45 1 B\n";
  s << "1 3 0 .5 .05 .7 .12\n1 3 0 .5 .05\n1 3 0 .7 .05\n1 3 0 .6 .12\n";
  return s.str();
}

inline int countLines(Context& ctx, int layer) {
  int n = 0;
  for (Handle h = ctx.rec(ctx.current).next; h != ctx.current; h = ctx.rec(h).next)
    n += ctx.rec(h).type() == kLine && ctx.rec(h).layer == layer;
  return n;
}

}  // namespace trelmo::testing
