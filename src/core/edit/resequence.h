// Resequencing component reference IDs by position, prefix by prefix, and
// carrying the new numbers to the schematic sheets and the board of the same
// design (forward and back annotation).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "database/record.h"

namespace trelmo {

struct Context;

// Where numbering starts.
enum class StartCorner { UpperLeft = 0, LowerLeft = 1, UpperRight = 2, LowerRight = 3 };

// The parameters of "ResequenceComponentsBox", kept for the run.
struct ResequenceState {
  bool centroid = false;  // the centre of the component's box, else its insertion point
  bool columns = false;   // vertical columns, else horizontal rows
  StartCorner corner = StartCorner::UpperLeft;
  int32_t start = 100, step = 1;
  bool annotate = false;
  bool multiSheet = false, sheetStep = false;
  int32_t sheetValue = 100;
  Handle multiFile = kNull;  // the file the multi-sheet flags were set for
};

// The parameters of this context (made on first use).
ResequenceState& resequenceState(Context& ctx);

// A reference ID taken apart: letters ('A' to 'z'), a decimal number, a gate
// letter and a tail beginning with '-' (anything after the gate is kept as the
// tail). `number` is -1 when there are no digits.
struct RefParts {
  std::string prefix;
  int64_t number = -1;
  char gate = 0;
  std::string tail;
};
RefParts parseReference(std::string_view ref);
// prefix + number + gate + tail.
std::string joinReference(const RefParts& parts, int64_t number);

// The family index of a file name by its extension: "PCB" 0, "SCH" 1,
// "SHn" n, "Snn" nn (n, nn not 0); -1 for any other name.
int familyIndex(std::string_view path);
// The name up to and including its last '.' (the whole name without one).
std::string familyBase(std::string_view path);

// A candidate's position with the start corner's orientation applied (the
// smallest comes first).
struct RefPlace {
  int32_t x = 0, y = 0;
};
RefPlace orientedPlace(StartCorner corner, int32_t x, int32_t y);
// The next candidate to number: rows take the smallest y, and candidates
// whose y differ by less than 3 units count as one row where the smaller x
// wins; columns the same with x and y exchanged. -1 for an empty list.
int nextInOrder(const std::vector<RefPlace>& places, bool columns);

// Resequences the current file (and its family with annotation on) with the
// parameters; each file's changes form one undo event on its own stack.
// Returns the number of references changed.
int resequenceComponents(Context& ctx);

// Edit Resequence Components (EQ): the box, then the renumbering.
void resequenceFunction(Context& ctx, uint16_t code, int source);
void installResequenceFunctions(Context& ctx);

}  // namespace trelmo
