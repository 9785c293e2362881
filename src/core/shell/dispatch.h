// The dispatcher: every command, from menus, keys and macros, arrives here.
#pragma once
#include <cstdint>

#include "shell/shell_state.h"

namespace trelmo {

struct Context;

// Hands a function code to its family. Unknown families and members give the
// Beop sound and nothing else.
void executeFunction(Context& ctx, uint16_t code, int source);

// A menu command (menu bar or popup): ignored before start-up phase 1; MS
// brings back the menu bar; the ids of screens 1 and up go to the
// selectScreen hook (the "&Screen Parameters" box to its hook when there is
// one, else to the Setup family); everything else is recorded into a macro
// being recorded and dispatched with the last input source.
void menuCommand(Context& ctx, uint16_t id);

// Subsystems register their members here; a registered handler takes
// precedence over the built-in one of the same code.
void registerFunction(Context& ctx, uint16_t code, FunctionHandler handler);

// The built-in families.
void fileFamily(Context& ctx, uint16_t code, int source);
void helpFamily(Context& ctx, uint16_t code, int source);
void setupFamily(Context& ctx, uint16_t code, int source);
void zoomFamily(Context& ctx, uint16_t code, int source);

}  // namespace trelmo
