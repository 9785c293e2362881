// The Place family (P) and the setup boxes of vias and dimension lines (SV,
// SX); Place Component (PC) is registered by the library functions.
#pragma once
#include <cstdint>
#include <string_view>

namespace trelmo {

struct Context;
class UndoTransaction;

// Registers the P members, SV and SX, and makes ghosts follow the cursor with
// the Place functions' constraints. Called by installEditFunctions.
void installPlaceFunctions(Context& ctx);

// The checks every Place function makes first: a file is open, the Re-Do
// stack may be purged, and a schematic-only function has a schematic.
bool placeStart(Context& ctx, uint16_t code, bool schematicOnly);

// Place Text (PT) and its on-screen text entry.
void placeTextFunction(Context& ctx, uint16_t code, int source);
// Starts text entry at (x, y) with the text parameters; `editing` names an
// existing text item to change instead (kNull: a new text).
void startTextEntry(Context& ctx, int32_t x, int32_t y, uint32_t editing);

// The ports, grounds, signal names, arrowheads and dimension lines.
void installSymbolFunctions(Context& ctx);
// Puts a built-in symbol on the cursor as a new component, each '*' of its
// text replaced by `name`. False (Beep) when its text has no end line.
bool placeSymbol(Context& ctx, std::string_view symbol, std::string_view name);
// A dimension component ("$$DIM") gets the text and arrowheads of the
// distance between its ends.
// Part of the change recorded by `t` (the drop of the grab list).
void rebuildDimension(Context& ctx, uint32_t header, UndoTransaction& t);

}  // namespace trelmo
