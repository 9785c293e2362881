// Boards for measuring the autorouter: N components on a grid (two-pin
// resistors and eight-pin DIPs), random two-pin and multi-pin nets between
// nearby pins, two routing layers (top along X, bottom along Y) and no
// tracks yet. Written as the text of a data file; the same seed gives the
// same board. The dense form packs the components closer, has more DIPs and
// nets reaching twice as far, so that routes compete for the same channels.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace trelmo::bench {

struct RouteBoardPin {
  double x, y;
  int component;
  int pin;
  int net = 0;
};

struct RouteBoardLayout {
  double pitchX = 0.7, pitchY = 0.6;  // component grid, inches
  uint32_t dipOneIn = 3;              // one component in this many is a DIP
  double reach = 1.0;                 // farthest pin a net joins, inches
};

inline RouteBoardLayout denseRouteBoard() { return {0.5, 0.4, 2, 2.0}; }

inline std::string routeBoard(int components, uint32_t seed = 1, const RouteBoardLayout& layout = {}) {
  uint64_t state = seed * 2654435761u + 12345;
  auto next = [&state](uint32_t n) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>((state >> 33) % n);
  };
  const int columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(components * 1.2))));
  std::vector<RouteBoardPin> pins;
  std::vector<bool> dip(components);
  for (int c = 0; c < components; ++c) {
    const double ox = 0.5 + (c % columns) * layout.pitchX, oy = 0.5 + (c / columns) * layout.pitchY;
    dip[c] = next(layout.dipOneIn) == 0;
    if (dip[c]) {
      for (int p = 0; p < 8; ++p) pins.push_back({ox + (p < 4 ? 0 : 0.3), oy + (p < 4 ? p : 7 - p) * 0.1, c, p + 1});
    } else {
      pins.push_back({ox, oy + 0.15, c, 1});
      pins.push_back({ox + 0.4, oy + 0.15, c, 2});
    }
  }
  // Nets: each free pin in turn starts one (four in five do), joined by one
  // to three other free pins within reach.
  int nets = 0;
  for (size_t i = 0; i < pins.size(); ++i) {
    if (pins[i].net || next(5) == 0) continue;
    std::vector<size_t> near;
    for (size_t j = 0; j < pins.size(); ++j)
      if (j != i && !pins[j].net && pins[j].component != pins[i].component &&
          std::hypot(pins[j].x - pins[i].x, pins[j].y - pins[i].y) < layout.reach)
        near.push_back(j);
    if (near.empty()) continue;
    pins[i].net = ++nets;
    const int more = next(10) < 7 ? 1 : 2 + static_cast<int>(next(2));
    for (int k = 0; k < more && !near.empty(); ++k) {
      const size_t pick = next(static_cast<uint32_t>(near.size()));
      pins[near[pick]].net = nets;
      near.erase(near.begin() + static_cast<long>(pick));
    }
  }
  std::string out =
      "TRELMO Version 4.0 -- Data File.\r\n\r\nSetup parameters:\r\n-gc.012,.012,.008,.008,.008,.01,.005,,,3\r\n"
      "-gz0,0\r\n-ga0\r\n\r\nItem parameters:\r\n-il.012\r\n-iv0,.04,.02\r\n\r\n"
      "Layer/color/plot/type/sequence/name table:\r\n-y3\r\n-y0:00C0C0C0,00000000,2,0,Pad Master\r\n"
      "-y1:00FFFFFF,00000000,0,1,Top Silk\r\n-y3:00E04040,00000000,18,3,Top Copper\r\n"
      "-y12:004080E0,00000000,42,12,Bottom Copper\r\n-y255:00FFFF00,01000000,7,255,Ratnest\r\n\r\n"
      "Primary Data File:\r\n";
  char line[160];
  size_t at = 0;
  for (int c = 0; c < components; ++c) {
    const double ox = 0.5 + (c % columns) * layout.pitchX, oy = 0.5 + (c / columns) * layout.pitchY;
    const double w = dip[c] ? 0.3 : 0.4, h = dip[c] ? 0.3 : 0.3;
    std::snprintf(line, sizeof line, "6 1 0 %.4f %.4f %.4f %.4f %s\x7fU%d\x7f\x7f\x7f\r\n", ox - 0.05, oy - 0.05,
                  ox + w + 0.05, oy + h + 0.05, dip[c] ? "DIP8" : "AXIAL4", c + 1);
    out += line;
    const double px = pins[at].x, py = pins[at].y;
    for (; at < pins.size() && pins[at].component == c; ++at) {
      const RouteBoardPin& p = pins[at];
      const std::string net = p.net ? "N" + std::to_string(p.net) : "";
      std::snprintf(line, sizeof line, "3 0 1 %.4f %.4f .065 .065 .035 0 %d %s\r\n", p.x, p.y, p.pin, net.c_str());
      out += line;
    }
    std::snprintf(line, sizeof line, "0 6 0 %.4f %.4f\r\n", px, py);
    out += line;
  }
  return out + "END OF FILE\r\n";
}

}  // namespace trelmo::bench
