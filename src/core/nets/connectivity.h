// The connectivity core: which items of the current design are electrically
// joined. A flood starts from a point and spreads through everything that
// touches on conductive layers, hilighting what it reaches; on that rest the
// net scan, its log, the rat-nest and, later, the autorouter and flooding.
//
// Use one Connectivity per command: it indexes the current design when made
// (see ItemIndex) and must be told of items deleted or appended meanwhile
// (itemAdded / itemRemoved; its own functions do this themselves).
//
// Touch rules (A the item taken from the flood queue, B an item not yet
// reached). Layers meet when both are on the same layer, or one is on the pad
// master layer 0 and the other on a conductive layer (type Copper or
// Schematic), or B is a through-hole pad. "hw" is half a line's width and "P
// within D of L" means the distance from P to L's centre segment is at most D
// plus L's half width.
//   line  -> line : an end of either within hw of the other; else, both on
//                   Copper layers, the centre segments cross properly
//   line  -> solid: an end of A on B within hw(A)
//   line  -> arc  : an end of A on the arc within hw(A)/2
//   line  -> pad  : (pad box 3/8 of its larger size) an end of A inside the pad
//                   grown by hw(A)/2, or the pad centre within half the pad's
//                   smaller size of A
//   line  -> text : any layer rule of its own (A's layer, any on layer 0); the
//                   anchor within hw(A) + 2 of A. Texts are reached, never
//                   searched from
//   solid -> line : an end of B on A within hw(B)
//   solid -> solid: a vertex of A exactly on B
//   solid -> pad  : the pad centre on A within half its smaller size
//   arc   -> line : an end of the line on the arc within its hw
//   pad   -> line, arc: the pad centre within half its smaller size of it
//   pad   -> pad  : A's centre inside B grown by half A's smaller size
//   through-hole pad on a Plane or Schematic layer -> another through-hole pad
//                   of the same layer and the same (named) signal
// Other pairs never join. Items of a component whose box does not overlap
// A's reach box are skipped (not for the plane rule).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "database/record.h"
#include "nets/item_index.h"
#include "nets/nearest_pairs.h"

namespace trelmo {

struct Context;
class UndoTransaction;

// How candidates are found: through the index, or (the reference the tests
// compare with) by testing every item of the design.
enum class Search { Indexed, AllPairs };

constexpr int kScanQueueMax = 262143;
constexpr int kPickTolerance = 4;  // every call site passes 4; half is used

// A fault line of a log-mode check: the other item's signal (column 24) and
// the message (column 48).
using FaultLog = std::function<void(const std::string& target, const std::string& message)>;

// The signal record an item carries; kNull when none (filled solids never).
Handle signalOf(const Context& ctx, Handle item);
bool conductiveLayer(const Context& ctx, int layer);
// "(X,Y)": relative to the zero point, inches with three decimals.
std::string pointText(const Context& ctx, int64_t x, int64_t y);
// A pad as messages name it: "R1-2" for a component pin, else "via", "dot",
// "pad" or "pin" and its position. (Finding the component walks the pad's
// ring; Connectivity::describe knows it from its index.)
std::string padDescription(const Context& ctx, Handle pad);
// Clears the hilight flag of every item (inside components too) and empties
// the current signal.
void clearHilight(Context& ctx);
bool anyHilighted(const Context& ctx);
// The entries of the signal name table in its (alphabetical) order.
std::vector<Handle> signalList(const Context& ctx);
// Asked every 128 items of a long scan: shows `status` and, when a key is
// waiting, asks whether to go on. True when the user cancels.
bool scanInterrupted(Context& ctx, const std::string& status);

class Connectivity {
 public:
  explicit Connectivity(Context& ctx, Search search = Search::Indexed);
  Connectivity(const Connectivity&) = delete;
  Connectivity& operator=(const Connectivity&) = delete;

  // Flood from a point: layer 0 means every conductive layer. 0 when nothing
  // lies under the point, 1 when the flood completed, -1 when cancelled. Sets
  // the current signal to the first signal met (ctx.nets.currentSignal).
  int flood(int layer, int tolerance, int32_t x, int32_t y);
  Handle crossLink() const { return crossLink_; }
  Handle unknownPin() const { return unknownPin_; }
  // Everything the floods since the last forgetReached() hilighted, in the
  // order reached.
  const std::vector<Handle>& reached() const { return reached_; }
  // Clears the hilight of what was reached and forgets it.
  void clearReached();

  // Gives the signal to every reached, hilighted line of non-zero width, arc
  // of radius 1 or more and pad that carries another (each change recorded
  // in `undo` when given); returns the number of hilighted items seen.
  int applySignal(Handle signal, UndoTransaction* undo);
  // The pad of the signal not hilighted nearest (|dX| + |dY|, zero distances
  // ignored, the first pair in list order kept on ties) to a hilighted pad
  // reached so far. False when none remains.
  bool nearestUnreached(Handle signal, Handle& from, Handle& to);
  // The first pad of the design list (components included) carrying it.
  Handle firstPad(Handle signal) const;
  // The pads carrying the signal, in list order.
  std::vector<Handle> padsOf(Handle signal) const;

  // The checks over the hilighted items, interactive (log null: stop at the
  // first fault, mark it and move the cursor there) or logging every fault.
  // Duplicate pads are deleted through `undo` in both modes, and logged (and
  // counted) in log mode only. Each returns the number of faults.
  int padOverlapCheck(UndoTransaction& undo, const FaultLog* log);
  int clearanceCheck(const FaultLog* log);

  // The rat-lines (lines and arcs of the design's own ring on layer 255)
  // carrying the signal.
  std::vector<Handle> ratLinesOf(Handle signal) const;

  // padDescription through the index.
  std::string describe(Handle pad) const;

  void itemAdded(Handle item);
  void itemRemoved(Handle item);
  const ItemIndex& index() const { return index_; }

 private:
  // An item a clearance check tests, with the layer it counts on (0 for a
  // through-hole pad) and its box.
  struct ClearanceItem {
    int ordinal;
    Handle handle;
    const Record* record;
    bool line;
    int layer;
    Box box;
  };
  std::string lineText(const Record& r) const;
  bool clearanceComparable(const ClearanceItem& t, int o) const;
  std::string lineClearance(const ClearanceItem& t, Handle oh, const Record& O) const;
  std::string padClearance(const ClearanceItem& t, Handle oh, const Record& O) const;
  void append(Handle h);
  void seed(const Box& point, int layer, int32_t x, int32_t y, int tol);
  void notePadSignal(Handle ah, const Record& A);
  bool joins(int a, int b, const Box& probe) const;
  bool seedHit(int b, int layer, int32_t x, int32_t y, int tol) const;
  void inBox(const Box& probe, std::vector<int>& out) const;
  void candidates(int a, const Box& probe, std::vector<int>& out) const;
  void sortedHilighted(uint8_t type, std::vector<int>& out) const;
  void mark(Handle a, Handle b, int64_t x, int64_t y);
  void padMoved(int ordinal, Handle oldSignal, Handle newSignal);

  Context& ctx_;
  Search search_;
  ItemIndex index_;
  std::vector<int> queue_;
  int read_ = 0;
  std::vector<Handle> reached_;
  Handle crossLink_ = kNull, unknownPin_ = kNull;
  // Pads by signal, and through-hole pads on plane layers by layer and signal.
  std::unordered_map<Handle, std::vector<int>> padsBySignal_;
  std::unordered_map<uint64_t, std::vector<int>> planePads_;
  std::unordered_map<Handle, std::vector<int>> ratLines_;
  // The nearest-pad search of one signal, kept between calls.
  Handle nearSignal_ = kNull;
  NearestPairs near_;
  size_t sourcesSeen_ = 0;
  mutable std::vector<int> scratch_;
};

}  // namespace trelmo
