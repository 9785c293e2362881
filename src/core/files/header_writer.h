// The header of a version 4 data file: the title, every setup parameter as
// an option line, the layer table, the Gerber table, the component libraries
// and the legend of the item lines.
#pragma once
#include <string>

namespace trelmo {

struct Context;

// Appends the whole header of the current block; every line ends with CR LF
// and has no trailing blanks. Item lines follow it.
void writeHeader(const Context& ctx, std::string& out);

}  // namespace trelmo
