// The editing families registered with the dispatcher: Grab (G) and Un-Do (U).
#pragma once
#include <cstdint>

namespace trelmo {

struct Context;

// Registers the members of the G and U families and plugs the grab list's
// drop and release and the undo facts into the shell. Call once per context.
void installEditFunctions(Context& ctx);

// The Un-Do menu functions (UU UA UE UR US UP).
void undoFamily(Context& ctx, uint16_t code, int source);

}  // namespace trelmo
