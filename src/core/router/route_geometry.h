// What the autorouter sees of a board: the lines, pads and other copper of
// the current design copied into shapes with a bucket grid over them, so
// that a routing run can test its tracks without touching the design list
// (the worker thread never reads the records themselves).
#pragma once
#include <cstdint>
#include <vector>

#include "database/record.h"
#include "nets/item_index.h"
#include "nets/shapes.h"

namespace trelmo {

struct Context;

// The sizes a routing run works with (world units).
struct RouteRules {
  uint16_t track = 787;  // 0.012 inch
  uint16_t viaPad = 3277, viaHole = 1835;
  int32_t lineToLine = 0, lineToPad = 0, padToPad = 0;
};

struct Shape {
  enum Kind : uint8_t { kTrack, kPadShape, kBlock };
  Kind kind = kTrack;
  uint8_t layer = 0;  // 0: every copper layer (pad master items, through-hole pads)
  bool alive = true;
  Handle item = kNull;
  Handle signal = kNull;
  int32_t group = -1;                      // the component it belongs to (an ordinal), -1 at the top
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // a track's centre segment; a pad's centre in x1, y1
  int32_t half = 0;                        // a track's half width
  uint16_t padX = 0, padY = 0, angle = 0;  // a pad's sizes and rotation
  uint16_t hole = 0;                       // a through-hole pad's drill
  Outline outline{};
  Box box{};  // the shape itself
};

// A track or via someone means to place, tested against the shapes.
struct Probe {
  int layer = 0;  // 0: a via, on every layer
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int32_t half = 0;  // half the track width; a via's half pad size
  Handle signal = kNull;
  // Ends of a rat-line without a signal: pads and line ends within 3 units
  // of them are not foreign.
  bool loose = false;
  int32_t ax = 0, ay = 0, bx = 0, by = 0;
};

class Obstacles {
 public:
  // Every unhidden line of non-zero width, pad, filled solid and arc of the
  // current design (components included) on layer 0 or a copper layer.
  void build(const Context& ctx, const RouteRules& rules);
  // No shapes yet; those added later are bucketed over `area`.
  void start(const RouteRules& rules, const Box& area);
  int add(const Shape& s);
  void removeItem(Handle item);
  int size() const { return static_cast<int>(shapes_.size()); }
  const Shape& operator[](int i) const { return shapes_[i]; }
  const RouteRules& rules() const { return rules_; }

  // True when the probe comes within clearance of a foreign shape, or, for
  // a via, when its drill would meet the drill of a pad of its own net.
  bool hits(const Probe& p) const;
  bool hitsShape(const Probe& p, const Shape& s) const;
  // A via's drill at (x, y) would meet the shape's drill.
  bool drillsMeet(int32_t x, int32_t y, const Shape& s) const;
  // How far a track of the probe's width may go from (x1, y1) towards
  // (x2, y2) before it hits a foreign shape: the distance and the shape (-1
  // when nothing is in the way over the whole length).
  struct Run {
    int64_t distance = INT32_MAX;
    int shape = -1;
  };
  Run freeRun(const Probe& p) const;
  // Shapes whose grown boxes overlap the box.
  void query(const Box& b, std::vector<int>& out) const;
  // The box a probe reaches, its clearance included.
  Box reach(const Probe& p) const;

  // Extra room around a shape that any probe may need: the largest half
  // width or pad a probe can have plus the largest clearance.
  int64_t slack() const { return slack_; }

 private:
  bool foreign(const Probe& p, const Shape& s) const;
  void bucketsOf(const Box& b, int& cx0, int& cy0, int& cx1, int& cy1) const;
  void insert(int index);
  RouteRules rules_;
  std::vector<Shape> shapes_;
  int64_t originX_ = 0, originY_ = 0, cell_ = 6554;
  int gridW_ = 1, gridH_ = 1;
  int64_t slack_ = 0;
  std::vector<std::vector<int>> buckets_;
  std::vector<int> outside_;  // shapes beyond the grid
  mutable std::vector<uint32_t> stamp_;
  mutable uint32_t stampNow_ = 0;
};

}  // namespace trelmo
