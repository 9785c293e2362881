// The area flood fill, track isolation and isolation output work in: a
// closed polygon in world units (a rectangle block is its four corners) and
// the block's layer selection.
#pragma once
#include <cstdint>
#include <vector>

#include "database/layer_set.h"
#include "flood/flood_keepout.h"
#include "nets/item_index.h"

namespace trelmo::flood {

struct FloodRegion {
  std::vector<Pt> polygon;  // at least three corners, either orientation
  LayerSet layers;          // the block's layer selection
  bool rectangle = false;   // the polygon is the axis-parallel box

  // The box of the corners (whole units).
  Box box() const;
  // A rectangle from two opposite corners, every layer selected.
  static FloodRegion fromRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  bool valid() const { return polygon.size() >= 3; }
};

}  // namespace trelmo::flood
