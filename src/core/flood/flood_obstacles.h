// The obstacles of one flood or isolation run: the items of the source
// layers near the region, taken once at the start (what the run adds is
// never an obstacle), found through the spatial index of the net functions.
#pragma once
#include <utility>
#include <vector>

#include "database/layer_set.h"
#include "database/record.h"
#include "flood/flood_keepout.h"
#include "flood/flood_region.h"
#include "nets/item_index.h"

namespace trelmo {
struct Context;
}

namespace trelmo::flood {

// What a new line keeps clear of: its width and the clearances to lines
// (and arcs and solids) and to pads, in world units.
struct Clearances {
  double width = 0, line = 0, pad = 0;
};

// Keep-outs are grown by this much beyond the clearance, so that rounding the
// ends of a piece to whole units never brings it nearer than asked.
constexpr double kMargin = 1;

class Obstacles {
 public:
  // Items count when they are unhidden and unhilighted now, lie on a source
  // layer (a through-hole pad is on every layer: it counts when layer 0 or a
  // Copper or Plane layer is a source) and reach within 0.1 inch of the
  // region's box.
  Obstacles(const Context& ctx, const FloodRegion& region, const LayerSet& sources);

  const ItemIndex& index() const { return index_; }
  // The ordinals of the obstacles, in list order.
  const std::vector<int>& items() const { return items_; }
  bool counts(int ordinal) const { return ordinal >= 0 && ordinal < index_.size() && counts_[ordinal]; }

  // The keep-out shapes of one obstacle for a new line of c.width.
  void keepouts(int ordinal, const Clearances& c, std::vector<Keepout>& out) const;
  // The free parts of the segment a-b: clear of every obstacle but `skip`,
  // and inside the region by half the line's width. Pieces shorter than a
  // quarter of the width are dropped.
  std::vector<Span> cut(Pt a, Pt b, const Clearances& c, int skip = -1) const;

 private:
  void regionRim(const Clearances& c, std::vector<Keepout>& out) const;
  const Context& ctx_;
  const FloodRegion& region_;
  ItemIndex index_;
  std::vector<char> counts_;
  std::vector<int> items_;
  std::vector<std::pair<int, Box>> texts_;  // obstacles that are text, with the box of their letters
  mutable std::vector<int> found_;
  mutable std::vector<Keepout> shapes_;
  mutable std::vector<Span> blocked_;
};

// The vertices of a filled solid (its two corners when it has none).
std::vector<Pt> solidCorners(const Context& ctx, const Record& solid);

}  // namespace trelmo::flood
