// Hilight Mismatches: the items of the block and of the region the block's
// transform carries it to are hilighted, and every pair that matches (the
// same kind of item, carried onto each other within 3 units) loses its
// hilight again; what stays hilighted is where the two regions differ.
#include <cstdlib>
#include <unordered_set>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "edit/block.h"
#include "edit/block_functions.h"
#include "nets/connectivity.h"
#include "nets/item_index.h"

namespace trelmo {

namespace {

constexpr int64_t kMatchTolerance = 3;

// The drawn items of the members, components opened to their items.
void flatten(const Context& ctx, Handle ring, std::vector<Handle>& out, int depth) {
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.hidden()) continue;
    if (r.type() == kComponent && ctx.pool.valid(r.ext) && depth < 32)
      flatten(ctx, r.ext, out, depth + 1);
    else if (r.type() >= kLine && r.type() <= kText)
      out.push_back(h);
  }
}

std::vector<Handle> drawnItems(const Context& ctx, const std::vector<BlockMember>& members) {
  std::vector<Handle> out;
  for (const BlockMember& m : members) {
    const Record& r = ctx.rec(m.item);
    if (r.type() == kComponent && ctx.pool.valid(r.ext))
      flatten(ctx, r.ext, out, 1);
    else
      out.push_back(m.item);
  }
  return out;
}

bool near(int64_t a, int64_t b) { return std::abs(a - b) <= kMatchTolerance; }

int32_t scaled(int64_t v, int32_t scale) { return static_cast<int32_t>((v * scale) >> 16); }

// Whether `c` is what `s` becomes under the block's transform.
bool matches(const Context& ctx, const BlockDefinition& b, Handle sh, Handle ch) {
  const Record& s = ctx.rec(sh);
  const Record& c = ctx.rec(ch);
  constexpr uint8_t kCompared = static_cast<uint8_t>(~(kHilight | kHidden));
  if ((s.flags & kCompared) != (c.flags & kCompared) || s.layer != c.layer) return false;
  const bool mirrored = (b.mode & (kBlockMirrorX | kBlockMirrorY)) != 0;
  int32_t x = s.x1, y = s.y1;
  blockTransformPoint(b, x, y);
  if (!near(x, c.x1) || !near(y, c.y1)) return false;
  if (s.type() != kPad && s.type() != kText && !near(scaled(s.size, b.scale), c.size)) return false;
  switch (s.type()) {
    case kLine: {
      if (item::isSolid(s)) return true;
      int32_t x2 = s.w3, y2 = s.w4;
      blockTransformPoint(b, x2, y2);
      return near(x2, c.w3) && near(y2, c.w4);
    }
    case kArc:
      return near(scaled(item::radius(s), b.scale), item::radius(c)) && item::sweep(s) == item::sweep(c) &&
             item::eccentricity(s) == item::eccentricity(c) &&
             (mirrored || static_cast<uint16_t>(item::start(s) + item::axisAngle(s) + b.angle) ==
                              static_cast<uint16_t>(item::start(c) + item::axisAngle(c)));
    case kPad:
      return near(scaled(item::padX(s), b.scale), item::padX(c)) &&
             near(scaled(item::padY(s), b.scale), item::padY(c)) && item::padType(s) == item::padType(c) &&
             (mirrored || static_cast<uint16_t>(item::padAngle(s) + b.angle) == item::padAngle(c));
    case kText:
      return near(scaled(s.size, b.scale), c.size) && readText(ctx, sh) == readText(ctx, ch) &&
             (mirrored || (static_cast<uint16_t>(item::textAngle(s) + b.angle) == item::textAngle(c) &&
                           item::textAnchor(s) == item::textAnchor(c)));
    default:
      return true;
  }
}

void setHilight(Context& ctx, const std::vector<Handle>& items) {
  for (Handle h : items) ctx.rec(h).flags |= kHilight;
}

void clearHilightIn(Context& ctx, Handle file) {
  const Handle active = ctx.current;
  ctx.current = file;
  clearHilight(ctx);
  ctx.current = active;
}

}  // namespace

void blockCompare(Context& ctx) {
  const BlockDefinition& b = *blockOf(ctx);
  const Handle active = ctx.current;
  if (active == kNull || b.file == kNull) return ctx.host->sound(Sound::Beop);
  if (b.file != active) clearHilightIn(ctx, b.file);
  clearHilight(ctx);
  BlockDefinition target = b;
  target.region = transformedRegion(b);
  const std::vector<Handle> sources = drawnItems(ctx, blockMembers(ctx, b, b.file));
  const std::vector<Handle> targets = drawnItems(ctx, blockMembers(ctx, target, active));
  setHilight(ctx, sources);
  setHilight(ctx, targets);
  const std::unordered_set<Handle> inTarget(targets.begin(), targets.end());
  ItemIndex index;
  index.build(ctx);
  std::vector<int> found;
  for (Handle s : sources) {
    if (!ctx.rec(s).hilighted()) continue;  // already matched from the other side
    int32_t x = ctx.rec(s).x1, y = ctx.rec(s).y1;
    blockTransformPoint(b, x, y);
    index.query(Box{x - kMatchTolerance, y - kMatchTolerance, x + kMatchTolerance, y + kMatchTolerance}, found);
    for (int ordinal : found) {
      const Handle c = index[ordinal].item;
      if (!ctx.rec(c).hilighted() || !inTarget.count(c) || !matches(ctx, b, s, c)) continue;
      ctx.rec(s).flags &= static_cast<uint8_t>(~kHilight);
      ctx.rec(c).flags &= static_cast<uint8_t>(~kHilight);
      break;
    }
  }
  ctx.screen.dirty.clear();
  ctx.host->redrawView();
}

}  // namespace trelmo
