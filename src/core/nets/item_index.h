// A spatial index over the items of the current design, for the net
// functions: every unhidden line, filled solid, arc, pad and text of the
// flattened walk (components included) gets an ordinal in list order and a
// box enlarged by the farthest it can reach, and a uniform grid finds the
// items whose boxes overlap a probe. Built once per command; items deleted or
// appended meanwhile are told to it.
#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "database/record.h"

namespace trelmo {

struct Context;

struct Box {
  int64_t x0, y0, x1, y1;
  bool overlaps(const Box& b) const { return x0 <= b.x1 && b.x0 <= x1 && y0 <= b.y1 && b.y0 <= y1; }
  Box grown(int64_t d) const { return {x0 - d, y0 - d, x1 + d, y1 + d}; }
};

struct IndexEntry {
  Handle item = kNull;
  int32_t component = -1;  // innermost enclosing component (see ItemIndex::components), -1 at the top
  Box box{};               // the item's shape grown by its reach
  bool dead = false;       // deleted since the index was built
};

struct ComponentEntry {
  Handle header = kNull;
  Handle ring = kNull;  // sentinel of its ring (its text holds the attributes)
  int32_t parent = -1;
  Box box{};  // the header's bounding box
};

class ItemIndex {
 public:
  // The box an item's join and clearance partners must overlap: its shape
  // grown by what it reaches (twice the half width of a line, a pad's larger
  // size, an arc's half width) and a few units more.
  static Box reachBox(const Context& ctx, Handle item);

  void build(const Context& ctx);
  int size() const { return static_cast<int>(entries_.size()); }
  const IndexEntry& operator[](int ordinal) const { return entries_[ordinal]; }
  const std::vector<ComponentEntry>& components() const { return components_; }
  // -1 for an item the index does not hold.
  int ordinalOf(Handle h) const;

  // Live entries whose boxes overlap the probe, in ascending ordinal order.
  void query(const Box& probe, std::vector<int>& out) const;
  // True when every component enclosing the entry overlaps the probe.
  bool componentsOverlap(int ordinal, const Box& probe) const;

  // An item appended to the end of the design list.
  int add(const Context& ctx, Handle item);
  void remove(Handle item);

 private:
  void buildGrid();
  std::vector<IndexEntry> entries_;
  std::vector<ComponentEntry> components_;
  std::unordered_map<Handle, int> ordinals_;
  // The grid: cell (cx, cy) holds cellItems_[cellStart_[c] .. cellStart_[c+1]).
  int64_t originX_ = 0, originY_ = 0, cell_ = 1;
  int gridW_ = 0, gridH_ = 0;
  std::vector<uint32_t> cellStart_;
  std::vector<int> cellItems_;
  std::vector<int> large_;  // entries that span too many cells, tested on every query
  std::vector<int> added_;  // entries appended after the build
  mutable std::vector<uint32_t> stamp_;
  mutable uint32_t stampNow_ = 0;
  void cellRange(const Box& b, int& cx0, int& cy0, int& cx1, int& cy1) const;
};

}  // namespace trelmo
