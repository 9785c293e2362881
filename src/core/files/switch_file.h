// Changing the current design file.
#pragma once
#include "database/pool.h"

namespace trelmo {

struct Context;

// Makes the next (step > 0) or previous (step < 0) open file current, |step|
// files away. The file left behind is autosaved first when that is enabled
// and it is modified; its parameters are parked and the new file's restored.
// False when no other file is open or the parameters could not be parked.
bool switchFile(Context& ctx, int step);
// The same for a chosen open file (its design-list sentinel).
bool switchToFile(Context& ctx, Handle sentinel);

}  // namespace trelmo
