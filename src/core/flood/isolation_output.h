// Isolation Output (BO): the drill hits and the milling paths of a board as
// files for the milling machine, in T-Tech plotter commands or in G-code.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "flood/flood_region.h"
#include "flood/flood_state.h"
#include "output/plot_scene.h"

namespace trelmo {
struct Context;
}

namespace trelmo::flood {

// What one tool does: its size in world units, the paths it cuts (each may be
// cut from either end when it is a single line or arc) and the holes it
// drills.
struct MillTool {
  int32_t size = 0;
  std::vector<PlotPath> paths;
  std::vector<Pt> hits;
};

enum class MillRow { Drill = 0, Top = 1, Bottom = 2, Route = 3 };

struct MillJob {
  MillRow row = MillRow::Drill;
  bool mirror = false;          // Y negated
  std::vector<MillTool> tools;  // ascending sizes
};

// The drill row: one tool a hole size, smallest first, with the centre of
// every through-hole pad of that hole size. The other rows: one tool a width
// of the lines and arcs on the layer (655 units for its text), smallest
// first, cutting the isolation passes "$IS1", "$IS2"... in turn, then the
// "$FLD" lines, and with the 655-unit tool the text. Only what lies inside
// the region is taken.
MillJob millJob(const Context& ctx, MillRow row, int layer, const FloodRegion& region);

// The T-Tech plotter commands of a job: one command a line (CR LF), ending
// with "PU0,0;" and byte 26.
std::string ttechCommands(const MillJob& job);

// The default file names of the four rows for a design file name: its first
// six characters (up to the first ".") and "-d", "-t", "-b" or "-r", then
// the extension.
std::vector<std::string> defaultMillNames(const std::string& designPath, const std::string& extension);

// BO with the rows and folder of ctx.flood: each row with a file name is
// written, Drill, Top, Bottom, Route. 1, or 0 when a file cannot be created
// ("Unable to create output file." titled "TRELMO'98"; files already written
// stay).
int isolationOutput(Context& ctx, const FloodRegion& region);

}  // namespace trelmo::flood
