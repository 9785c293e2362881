// What Enter, Escape and the two buttons share: the accept and cancel steps
// of the interactive function.
#pragma once

namespace trelmo {

struct Context;

// The first accept hook, else the current function repeated, else dropping
// the grab list; false when none of these applies.
bool acceptAction(Context& ctx);
// The same for a held left button released: the Beep sound when nothing applies.
void repeatAction(Context& ctx);
// The first cancel hook, else releasing the grab list; false when there was
// nothing to cancel.
bool cancelAction(Context& ctx);

}  // namespace trelmo
