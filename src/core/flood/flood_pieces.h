// The new items of a flood or isolation run: straight pieces of one width on
// the target layer, carrying the run's signal, each recorded for undo.
#pragma once
#include <string>
#include <vector>

#include "database/record.h"
#include "flood/flood_obstacles.h"

namespace trelmo {
class UndoTransaction;
}

namespace trelmo::flood {

class PieceWriter {
 public:
  PieceWriter(Context& ctx, UndoTransaction& undo, int layer) : ctx_(ctx), undo_(undo), layer_(layer) {}

  // The width and the signal name (empty: none) of the pieces that follow.
  void style(double width, const std::string& signal);
  // A line from a to b (ends rounded to whole units); false once the pool has
  // run out, after which nothing more is added.
  bool line(Pt a, Pt b);
  // The free parts of a-b (see Obstacles::cut) as lines.
  void cutLine(const Obstacles& obstacles, Pt a, Pt b, const Clearances& c);
  // Each segment of an open polyline, cut.
  void cutPolyline(const Obstacles& obstacles, const std::vector<Pt>& pts, const Clearances& c);

  int count() const { return count_; }
  bool full() const { return full_; }
  int layer() const { return layer_; }

 private:
  Context& ctx_;
  UndoTransaction& undo_;
  int layer_;
  uint16_t width_ = 0;
  std::string signalName_;
  Handle signal_ = kNull;
  int count_ = 0;
  bool full_ = false;
};

}  // namespace trelmo::flood
