// The editing families registered with the dispatcher: Place (P), Grab (G),
// Edit (E), Delete (D), Query (Q) and Un-Do (U), with Place Component and the
// library setup.
#pragma once
#include <cstdint>

namespace trelmo {

struct Context;

// Registers the members of the P, G and U families (and PC, SF, SV, SX) and
// plugs the grab list's drop and release and the undo facts into the shell.
// Call once per context.
void installEditFunctions(Context& ctx);

// The Edit menu's item editors (EL EA EP ET EX EI EC).
void installEditItemFunctions(Context& ctx);
// The rest of the Edit menu (EE EO EK EF ER EG ED ES).
void installEditToolFunctions(Context& ctx);
// The Delete menu (DL DM DE DA DP DT DC DF DI DG DH).
void installDeleteFunctions(Context& ctx);
// The Query menu (QL QA QP QT QC QR QV QZ), Alt-Q and the query refresh.
void installQueryFunctions(Context& ctx);

// The Un-Do menu functions (UU UA UE UR US UP).
void undoFamily(Context& ctx, uint16_t code, int source);

}  // namespace trelmo
