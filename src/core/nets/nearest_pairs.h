// The nearest pair between a growing set of pads and the pads still outside
// it, by |dX| + |dY|: what the net scan and the rat-nest draw their
// connections along. Pairs at distance 0 are ignored; on ties the pair found
// first when the set's pads are taken in list order, each against the others
// in list order, wins (order numbers stand for list order).
#pragma once
#include <cstdint>
#include <vector>

namespace trelmo {

class NearestPairs {
 public:
  void clear() { targets_.clear(); }
  // A pad outside the set; add them in ascending order.
  void addTarget(int order, int64_t x, int64_t y) { targets_.push_back({order, x, y, INT64_MAX, -1, true}); }
  // A pad joins the set: it is no target any more and every target measures
  // itself against it.
  void addSource(int order, int64_t x, int64_t y);
  void dropTarget(int order);
  bool isTarget(int order) const;
  // The best pair; false when no target has a partner.
  bool best(int& source, int& target) const;

 private:
  struct Target {
    int order;
    int64_t x, y, bestD;
    int bestS;
    bool alive;
  };
  std::vector<Target> targets_;
};

}  // namespace trelmo
