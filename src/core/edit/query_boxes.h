// The Query menu's windows as data: what each shows of the item under the
// cursor, refreshed by the heartbeat while it is open.
#pragma once
#include <string>

#include "shell/host.h"

namespace trelmo {

struct Context;

// The box of a Query member ('L', 'A', 'P', 'T', 'C'; 'V' and 'Z' name the
// file view and quick zoom windows, which have no fields) with the values of
// the item of its kind under the cursor (active layer first), all empty
// when there is none. Lengths are in the file's units, angles in degrees.
DialogBox queryBox(const Context& ctx, char member);
// Every open window shows its values again.
void refreshQueryBoxes(Context& ctx);
// The user closed the window named `name` (its menu item is no longer
// checked; the window is not asked to close again).
void queryWindowClosed(Context& ctx, const std::string& name);
// Alt-Q: open query boxes go away; pressed again, they come back.
void toggleQueryBoxes(Context& ctx);

}  // namespace trelmo
