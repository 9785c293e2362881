// Which item lies under the cursor. Every test walks the current design from
// the most recently added item backwards, descends into components and skips
// hidden (grabbed) items. `layer` < 0 asks for no layer.
#pragma once
#include <cstdint>

#include "database/record.h"

namespace trelmo {

struct Context;

struct Hit {
  Handle item = kNull;
  Handle ring = kNull;  // the ring that holds the item (component sentinel or file sentinel)
  explicit operator bool() const { return item != kNull; }
};

// One screen pixel in world units: the rounded quotient of 2^32 by the scale.
int32_t hitTolerance(const Context& ctx);

// The shape tests alone, with the tolerance given.
bool lineHit(const Record& r, int32_t x, int32_t y, int32_t tol);
bool arcHit(const Record& r, int32_t x, int32_t y, int32_t tol);
bool padHit(const Record& r, int32_t x, int32_t y, int32_t tol);
// The text's box (its stored length, `lines` lines) widened by an eighth of
// its height; no pixel tolerance.
bool textHit(const Record& r, int32_t x, int32_t y, int lines);
bool solidHit(const Context& ctx, const Record& r, int32_t x, int32_t y, int32_t tol);

Hit lineUnder(const Context& ctx, int32_t x, int32_t y, int layer);
Hit arcUnder(const Context& ctx, int32_t x, int32_t y, int layer);
Hit padUnder(const Context& ctx, int32_t x, int32_t y, int layer);
Hit textUnder(const Context& ctx, int32_t x, int32_t y, int layer);
Hit solidUnder(const Context& ctx, int32_t x, int32_t y, int layer);
// Components of the file's own level whose box, 3 units larger, holds the
// point: one with a pad on `layer` first, then the smallest box.
Hit componentUnder(const Context& ctx, int32_t x, int32_t y, int layer);
// The first free item on `layer` hit at the point, oldest first (lines of
// non-zero width, arcs, text and pads; through-hole pads count as layer 0).
Hit itemUnder(const Context& ctx, int32_t x, int32_t y, int layer);

// The nearest line end within a Manhattan distance of 16384 units: on the
// active layer when there is one there, else on a displayed layer.
struct NearPoint {
  Handle line = kNull;
  int end = 0;  // 1 or 2
  int32_t x = 0, y = 0;
};
NearPoint nearestLineEnd(const Context& ctx, int32_t x, int32_t y);

}  // namespace trelmo
