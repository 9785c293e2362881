// The dispatcher: every command, from menus, keys and macros, arrives here.
#pragma once
#include <cstdint>

#include "shell/host.h"
#include "shell/shell_state.h"

namespace trelmo {

struct Context;

// Hands a function code to its family. Unknown families and members give the
// Beop sound and nothing else.
void executeFunction(Context& ctx, uint16_t code, int source);

// A menu command (menu bar or popup): ignored before start-up phase 1; MS
// brings back the menu bar; screen ids go to their hooks; everything else is
// recorded into a macro being recorded and dispatched with the last input
// source.
void menuCommand(Context& ctx, uint16_t id);

// Subsystems register their members here; a registered handler takes
// precedence over the built-in one of the same code.
void registerFunction(Context& ctx, uint16_t code, FunctionHandler handler);

// The built-in families.
void fileFamily(Context& ctx, uint16_t code, int source);
void helpFamily(Context& ctx, uint16_t code, int source);
void setupFamily(Context& ctx, uint16_t code, int source);
void zoomFamily(Context& ctx, uint16_t code, int source);

// The Zoom Scale box (ZS), showing the current scale.
DialogBox zoomScaleBox(const Context& ctx);

}  // namespace trelmo
