// Rat-lines: straight lines on layer 255 ("Ratnest") at the rat-nest line
// size, carrying the signal they connect; ordinary items, saved with the
// design and taken back by Un-Do.
#pragma once
#include <cstdint>

#include "database/record.h"

namespace trelmo {

struct Context;
class Connectivity;
class UndoTransaction;

// The rat-nest line size of the setup parameters, set to 721 (0.011 inch)
// when it is 0.
uint16_t ratnestWidth(Context& ctx);
// A hilighted rat-line from one point to another, appended to the current
// design and recorded in `undo`; kNull when the pool ran out.
Handle addRatLine(Context& ctx, UndoTransaction& undo, Handle signal, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// Deletes every line or arc on layer 255 of the design (of `signal` only,
// when given), each recorded in `undo`; `net` is told of each. True when
// any was deleted.
bool unratnest(Context& ctx, UndoTransaction& undo, Handle signal = kNull, Connectivity* net = nullptr);
// Rat-nest (NR: every signal carried by a pad; NL: the signal of the pad
// under the cursor, the error sound without one). Each signal's pads are
// joined along the shortest connections to the pads already connected:
// through-hole pads on a layer other than 0 and pads a track ends in (else
// the first pad). True when any rat-line was made; one undo event.
bool ratsnest(Context& ctx, bool all);

}  // namespace trelmo
