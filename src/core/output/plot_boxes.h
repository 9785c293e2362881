// The boxes of Printer Out: "PlotterOutputBox" (the print settings of the
// current file) and "PlotterSettingsBox" (the printer's parameters).
#pragma once

namespace trelmo {

struct Context;

// Shows the print settings and stores the answer in the current file's
// parameters and layer table. Its "Setup" button shows the printer's
// parameters and comes back. False when cancelled.
bool plotterOutputBox(Context& ctx);
// "Printer Parameters": the printer's facts, with "Change" opening the
// system print-setup dialog and then asking whether to keep the new setup.
void plotterSettingsBox(Context& ctx);

}  // namespace trelmo
