// The item-line syntax shared by data files, libraries, built-in symbols,
// clipboard and undo texts.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "database/pool.h"

namespace trelmo {

struct Context;

// Editor parser: reads item lines into `ring` with an offset added to every
// point; a negative layer means the current layer; filled-solid vertices may
// follow on the same line after bytes 127. Stops at the end of the text or at
// a byte 26. Returns false when the pool ran out.
bool parseItemText(Context& ctx, Handle ring, std::string_view text, int32_t dx, int32_t dy);
// Editor writer: one item, with the origin subtracted; compact lines have no
// line end and carry vertices after bytes 127.
void writeItemLine(const Context& ctx, Handle item, std::string& out, int32_t ox, int32_t oy, bool compact);

}  // namespace trelmo
