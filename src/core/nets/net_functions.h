// The Nets menu registered with the dispatcher: NH NN NC NS N+ N- NG NR NL
// NU and NM, all on the current design file.
#pragma once
#include <cstdint>
#include <string>

#include "database/record.h"
#include "shell/host.h"

namespace trelmo {

struct Context;

// Registers the members of the N family and the hilight fact of the menus.
// Call once per context.
void installNetFunctions(Context& ctx);
void netFamily(Context& ctx, uint16_t code, int source);

// Hilights every item carrying the signal (after clearing all hilight),
// makes it the current signal and shows its name.
void hilightNet(Context& ctx, Handle signal);
// NH at the cursor: a pad's signal (a pad without one alone), else another
// item's signal, else the signal chosen in "SelectSignalBox".
void hilightNetAtCursor(Context& ctx);
// NN: the name asked in "NameNetBox" given to every hilighted line, arc, pad
// and schematic text. False when nothing was named.
bool nameNet(Context& ctx);

// NM: the hilighted items drawn into "<signal>.bmp" in the design's folder
// (200 dots an inch, 24-bit) and the file shown in "SignalDisplayBox".
// Beep without a current signal or anything hilighted.
bool signalImage(Context& ctx);
std::string signalImagePath(const Context& ctx, Handle signal);

DialogBox selectSignalBox(const Context& ctx);
DialogBox signalDisplayBox(const Context& ctx);
DialogBox nameNetBox(const Context& ctx);

}  // namespace trelmo
