// A design as the plot writers see it: for each plotted layer in plot order,
// its items as paths in world units (1/65536 inch, Y up). Tracks are open
// paths with a width and round ends; pads and filled solids are closed filled
// outlines; drill holes are filled outlines in the paper colour. Building the
// scene reads the design once, so that the writers never touch it again.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace trelmo {

struct Context;

// One step of a path: a straight move to (x, y), or with `arc` set a
// circular arc to (x, y) around (cx, cy) through `sweep` radians
// (counter-clockwise positive).
struct PathStep {
  double x = 0, y = 0;
  double cx = 0, cy = 0, sweep = 0;
  bool arc = false;
};

struct PlotPath {
  double x0 = 0, y0 = 0;  // start point
  std::vector<PathStep> steps;
  double width = 0;  // stroke width, 0 = the thinnest line the device draws
  bool closed = false, filled = false;
  bool clear = false;  // drawn in the paper colour (drill holes)

  double endX() const { return steps.empty() ? x0 : steps.back().x; }
  double endY() const { return steps.empty() ? y0 : steps.back().y; }
  void lineTo(double x, double y) { steps.push_back({x, y, 0, 0, 0, false}); }
  void arcTo(double x, double y, double cx, double cy, double sweep) { steps.push_back({x, y, cx, cy, sweep, true}); }
};

struct PlotItem {
  std::vector<PlotPath> paths;
  // Box in world units (with the stroke widths), for band and page culling.
  double box[4] = {0, 0, 0, 0};
  // A single open path (a track or an arc): a pen may plot it from either end.
  bool reversible = false;
};

struct PlotLayer {
  int layer = 0;
  int slot = 0;         // its number in the plot order table
  uint32_t colour = 0;  // 0x00RRGGBB plot colour
  std::vector<PlotItem> items;
};

// Item classes left out (the print exclusions: 1 holes, 2 vias, 4 pads, 8
// pixel image, 16 tracks).
struct PlotScene {
  std::vector<PlotLayer> layers;  // plot order: drawn first to last
  size_t itemCount() const;
};

// The plot order table: each plotted layer is entered at its sequence number,
// moving on to the next free number when that one is taken; the result lists
// the layers from number 255 down to 0. Plotted layers are named and their
// plot colour does not carry the disabled bit.
struct Params;
struct PlotSlot {
  int slot, layer;
};
std::vector<PlotSlot> plotOrderTable(const Params& p);
std::vector<int> plotOrder(const Params& p);

PlotScene buildPlotScene(const Context& ctx, uint8_t exclusions);
// The paths of one item (with its classes left out); false when none.
bool plotItemPaths(const Context& ctx, uint32_t item, uint8_t exclusions, PlotItem& it);

// Flattens a path into points (world units): arcs become chords of at most
// `maxChord` world units (and at least 4 a turn).
struct WorldPoint {
  double x, y;
};
std::vector<WorldPoint> flattenPath(const PlotPath& path, double maxChord);

// Paths of text strokes for a text item: each run of connected pen-down
// strokes is one open path of the stroke width.
void textPaths(const Context& ctx, uint32_t item, std::vector<PlotPath>& out);

}  // namespace trelmo
