// What flood fill, track isolation and isolation output remember between
// runs that the design file does not hold: the crosshatch grid, the rows of
// the isolation output box and the settings of the G-code mill.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace trelmo {

// One row of "IsolationOutputBox": Drill, Top, Bottom or Route.
struct IsolationRow {
  std::string fileName;
  bool mirror = false;
  int sourceLayer = 0;
};

// How the milling files are written: T-Tech plotter commands or G-code.
enum class MillFormat { TTech = 0, GCode = 1 };

// The G-code mill, in millimetres (depths below the copper surface are
// positive numbers here and written as negative Z), feeds in mm/min.
struct GCodeSettings {
  double cutDepth = 0.1;     // isolation and flood paths
  double drillDepth = 1.8;   // drill hits
  double routeDepth = 1.8;   // the Route row (board outline)
  double safeHeight = 2.0;   // Z of every rapid move
  double changeHeight = 20;  // Z at which tools are changed
  double feed = 200;         // cutting feed
  double plungeFeed = 60;    // downward feed
  int spindle = 10000;       // spindle speed, rpm
  double dwell = 2;          // seconds for the spindle to reach speed
};

struct FloodState {
  int32_t hatchGrid = 0;  // crosshatch grid; 0: the flood line size
  std::array<IsolationRow, 4> rows{};
  std::string outputPath;
  bool rowsSet = false;  // the rows hold what the box was last given
  MillFormat format = MillFormat::TTech;
  GCodeSettings gcode;
};

}  // namespace trelmo
