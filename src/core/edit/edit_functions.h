// The editing families registered with the dispatcher: Place (P), Grab (G)
// and Un-Do (U), with Place Component and the library setup.
#pragma once
#include <cstdint>

namespace trelmo {

struct Context;

// Registers the members of the P, G and U families (and PC, SF, SV, SX) and
// plugs the grab list's drop and release and the undo facts into the shell.
// Call once per context.
void installEditFunctions(Context& ctx);

// The Un-Do menu functions (UU UA UE UR US UP).
void undoFamily(Context& ctx, uint16_t code, int source);

}  // namespace trelmo
