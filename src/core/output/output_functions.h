// The File family's output members: Printer Out (FP) and Gerber Out (FG).
#pragma once
#include "shell/host.h"

namespace trelmo {

struct Context;

// Registers FP and FG and the heartbeat's collection of finished plots.
void installOutputFunctions(Context& ctx);

void printerOut(Context& ctx, int source);
// "GerberOutBox": the entries of the output table to write, the board
// outline layer and the Gerber clearances.
DialogBox gerberOutBox(const Context& ctx);
void gerberOut(Context& ctx, int source);

}  // namespace trelmo
