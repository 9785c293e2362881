// The boxes of Printer Out: "PlotterOutputBox" (the print settings of the
// current file), "PlotterSettingsBox" (the printer's parameters) and
// "WaitPlotterBox" (the wait window of a running plot).
#pragma once
#include "shell/host.h"

namespace trelmo {

struct Context;

// The builders, with the current file's values (the defaults without one).
DialogBox plotterOutputBox(const Context& ctx);
DialogBox plotterSettingsBox(const Context& ctx);
DialogBox waitPlotterBox(const Context& ctx);

// Shows the print settings and stores the answer in the current file's
// parameters and layer table. Its "Setup" button shows the printer's
// parameters and comes back. False when cancelled.
bool editPlotSettings(Context& ctx);
// "Printer Parameters": the printer's facts, with "Change" opening the
// system print-setup dialog and then asking whether to keep the new setup.
void printerParameters(Context& ctx);

}  // namespace trelmo
