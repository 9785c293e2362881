// The files of one design that resequencing numbers together: their
// components as resequencing sees them, and the new references written back,
// each file's changes one undo event on its own Un-Do stack.
#pragma once
#include <string>
#include <vector>

#include "database/record.h"
#include "edit/resequence.h"

namespace trelmo {

struct Context;

struct RefComponent {
  Handle header = kNull;
  Handle ring = kNull;
  std::string ref;    // as renumbered so far
  std::string value;  // Type/value in upper case, "?" when empty
  RefPlace place;     // oriented for the start corner
  bool done = false;
  bool changed = false;
};

struct FamilyFile {
  Handle file = kNull;
  int index = -1;
  std::vector<RefComponent> components;  // top-level, in design-list order
};

// The open files named like `active` up to its last '.', with a family index
// (the active file first, then by index); with `all` false the active file
// alone. Empty when the active file has no family index.
std::vector<FamilyFile> familyFiles(Context& ctx, Handle active, bool all, bool boardToo);
// Writes the changed references of one file (with its "&1" texts fitted) as
// one undo event of that file; the number written.
int writeReferences(Context& ctx, FamilyFile& f);

}  // namespace trelmo
