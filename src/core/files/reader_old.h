// The old DOS data files (versions 3 and 2): integer mils, 8-bit angles.
#pragma once
#include <string_view>

#include "files/input_file.h"

namespace trelmo {

struct Context;
class ItemBuilder;

struct OldSyntax {
  int version;  // 3 or 2
  int minor;    // version 2: the digit after "2."
};

// One item line of an old file into the builder's current ring.
void parseOldItem(Context& ctx, ItemBuilder& items, std::string_view line, const OldSyntax& syntax);
// Reads the lines of an old file (options with `option`, items as above).
using OptionParser = bool (*)(Context&, std::string_view);
void readOldLines(Context& ctx, InputFile& in, const OldSyntax& syntax, OptionParser option);
// Both old readers start from the start-up "-gd" colours.
void resetGridColors(Context& ctx);

}  // namespace trelmo
