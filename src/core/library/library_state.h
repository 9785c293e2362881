// What the component library functions keep for the whole run: the fields of
// the library box, the chosen library and the component last loaded.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "database/record.h"

namespace trelmo {

// The drop-down index that stands for the current design file.
constexpr int kCurrentFileLibrary = 127;

struct LibraryState {
  // Pattern, Ref ID, Type/value, Modifier, alternate pattern.
  std::array<std::string, 5> fields;
  int chosen = 0;          // library index (0..31, or kCurrentFileLibrary)
  uint32_t lastEntry = 0;  // entry reference of the component last loaded
  Handle loaded = kNull;   // scratch ring holding that component (kNull: none)
  bool graphics = false;   // the box shows the preview instead of the listing
  // The library file kept open between loads: its path and its text.
  std::string openPath;
  std::string openText;
};

}  // namespace trelmo
