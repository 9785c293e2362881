// The File family's output members: Printer Out (FP) and Gerber Out (FG).
#pragma once

namespace trelmo {

struct Context;

// Registers FP and FG and the heartbeat's collection of finished plots.
void installOutputFunctions(Context& ctx);

void printerOut(Context& ctx, int source);
void gerberOut(Context& ctx, int source);

}  // namespace trelmo
