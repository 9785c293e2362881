// The one formatter of item lines, shared by the data file writer and the
// editor's item texts (clipboard, undo, blocks, libraries).
#pragma once
#include <cstdint>
#include <string>

#include "database/pool.h"

namespace trelmo {

struct Context;

struct ItemLineStyle {
  int32_t ox = 0, oy = 0;      // origin subtracted from every point
  bool compact = false;        // no line ends; vertices after bytes 127; fewer signals
  bool libraryLayers = false;  // Silk, Mask and Copper layers as two letters
};

// Appends the line (a filled solid: the head line and its vertex lines) of one
// item of any type, hidden or not. A sentinel writes the end line of its ring
// ("0" layer size X Y). A component writes its header line only. Returns false
// and appends nothing for a text without text or an unknown record.
bool appendItemLines(const Context& ctx, Handle item, std::string& out, const ItemLineStyle& style);

// True when a text or reserved item carries any text at all.
bool itemHasText(const Context& ctx, Handle item);

// Ends the line begun at lineStart: trailing blanks removed, then CR LF.
void endLine(std::string& out, size_t lineStart);

}  // namespace trelmo
