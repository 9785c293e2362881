// What lies inside a block: point containment, the layer selection and the
// containment codes of items, and the point transform of move and copy.
#include <algorithm>

#include "context.h"
#include "database/design_files.h"
#include "database/geometry.h"
#include "edit/block.h"

namespace trelmo {

namespace {

using Wide = __int128;

// p on the segment a-b (end points included).
bool onSegment(int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t x, int64_t y) {
  const Wide cross = Wide{bx - ax} * (y - ay) - Wide{by - ay} * (x - ax);
  if (cross != 0) return false;
  return x >= std::min(ax, bx) && x <= std::max(ax, bx) && y >= std::min(ay, by) && y <= std::max(ay, by);
}

bool pointCode(const BlockRegion& region, int32_t x, int32_t y, bool outside) {
  return pointInRegion(region, x, y) != outside;
}

}  // namespace

namespace {

bool stillOpen(const Context& ctx, const BlockDefinition& b) {
  return fileIsOpen(ctx, b.file) && filePath(ctx, b.file) == b.path;
}

}  // namespace

bool fileIsOpen(const Context& ctx, Handle file) {
  const Handle ring = ctx.rings[kOpenFiles];
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next)
    if (ctx.rec(h).ext == file) return true;
  return false;
}

BlockDefinition* blockOf(Context& ctx) {
  BlockDefinition* b = ctx.edit.block.get();
  // A block whose file was closed is gone with it.
  if (b && b->file != kNull && !stillOpen(ctx, *b)) {
    b->file = kNull;
    b->region = {};
    b->mode = 0;
    b->stage = 0;
  }
  return b;
}

const BlockDefinition* blockOf(const Context& ctx) {
  const BlockDefinition* b = ctx.edit.block.get();
  return b && (b->file == kNull || stillOpen(ctx, *b)) ? b : nullptr;
}

const BlockDefinition* blockIn(const Context& ctx, Handle file) {
  const BlockDefinition* b = blockOf(ctx);
  return b && file != kNull && b->file == file && b->stage == 0 ? b : nullptr;
}

bool pointInPolygon(const std::vector<int32_t>& polygon, int32_t x, int32_t y) {
  const size_t n = polygon.size() / 2;
  if (n < 3) return false;
  bool inside = false;
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const int64_t ax = polygon[2 * j], ay = polygon[2 * j + 1];
    const int64_t bx = polygon[2 * i], by = polygon[2 * i + 1];
    if (onSegment(ax, ay, bx, by, x, y)) return true;
    if ((ay > y) == (by > y)) continue;
    // The edge crosses the horizontal through p: p is left of the crossing
    // when (x - ax)(by - ay) < (y - ay)(bx - ax), signs taken with by - ay.
    const Wide lhs = Wide{x - ax} * (by - ay), rhs = Wide{y - ay} * (bx - ax);
    if (by > ay ? lhs < rhs : lhs > rhs) inside = !inside;
  }
  return inside;
}

bool pointInRegion(const BlockRegion& region, int32_t x, int32_t y) {
  if (x < region.x0 || x > region.x1 || y < region.y0 || y > region.y1) return false;
  return region.polygon.empty() || pointInPolygon(region.polygon, x, y);
}

std::array<bool, 256> defaultBlockLayers(const Params& p) {
  std::array<bool, 256> on{};
  for (int i = 0; i < 256; ++i) {
    const LayerEntry& l = p.layers[i];
    const auto first = static_cast<unsigned char>(l.name[0]);
    on[i] = !(l.color & kColorDisabled) && first >= 33 && !(l.name[0] == '-' && l.name[1] == 0);
  }
  return on;
}

bool blockLayerSelected(const Context&, const BlockDefinition& b, const Record& r) {
  const bool thruPad = r.type() == kPad && !(item::padType(r) & item::kSurfaceMount);
  return b.layers[thruPad ? 0 : r.layer];
}

int containmentCode(const Context& ctx, const BlockDefinition& b, Handle item, bool outside) {
  const Record& r = ctx.rec(item);
  if (!blockLayerSelected(ctx, b, r)) return 0;
  const BlockRegion& g = b.region;
  switch (r.type()) {
    case kLine:
    case kComponent: {
      const bool first = pointCode(g, r.x1, r.y1, outside), second = pointCode(g, r.w3, r.w4, outside);
      if (first && second) return 7;
      if (r.type() == kComponent || item::isSolid(r)) return 0;
      return first ? 1 : second ? 2 : 0;
    }
    case kArc: {
      const uint16_t sweep = item::sweep(r);
      if (item::eccentricity(r) == 0 && sweep != 0 && sweep < 32768) {
        int32_t sx, sy, ex, ey;
        const uint16_t start = static_cast<uint16_t>(item::start(r) + item::axisAngle(r));
        polar(item::radius(r), start, sx, sy);
        polar(item::radius(r), static_cast<uint16_t>(start + sweep), ex, ey);
        const bool both = pointCode(g, clamp32(int64_t{r.x1} + sx), clamp32(int64_t{r.y1} + sy), outside) &&
                          pointCode(g, clamp32(int64_t{r.x1} + ex), clamp32(int64_t{r.y1} + ey), outside);
        return both ? 5 : 0;
      }
      return pointCode(g, r.x1, r.y1, outside) ? 5 : 0;
    }
    case kPad:
    case kText:
      return pointCode(g, r.x1, r.y1, outside) ? 5 : 0;
    default:
      return 0;
  }
}

void blockTransformPoint(const BlockDefinition& b, int32_t& x, int32_t& y) {
  int64_t dx = int64_t{x} - b.sourceX, dy = int64_t{y} - b.sourceY;
  if (b.mode & kBlockMirrorX) dx = -dx;
  if (b.mode & kBlockMirrorY) dy = -dy;
  int32_t sx = clamp32((dx * b.scale) >> 16), sy = clamp32((dy * b.scale) >> 16);
  rotatePoint(sx, sy, b.angle);
  x = clamp32(int64_t{sx} + b.targetX), y = clamp32(int64_t{sy} + b.targetY);
}

std::vector<BlockMember> blockMembers(const Context& ctx, const BlockDefinition& b, Handle file, bool outside,
                                      bool partial) {
  std::vector<BlockMember> out;
  for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.hidden() || r.type() == kSentinel || r.type() == kContainer) continue;
    const int code = containmentCode(ctx, b, h, outside);
    if (contained(code) || (partial && code != 0)) out.push_back({h, code});
  }
  return out;
}

BlockRegion transformedRegion(const BlockDefinition& b) {
  BlockRegion g = b.region;
  if (g.polygon.empty() && b.angle % 16384 != 0) g.polygon = {g.x0, g.y0, g.x1, g.y0, g.x1, g.y1, g.x0, g.y1};
  if (g.polygon.empty()) {
    int32_t ax = g.x0, ay = g.y0, bx = g.x1, by = g.y1;
    blockTransformPoint(b, ax, ay);
    blockTransformPoint(b, bx, by);
    g.x0 = std::min(ax, bx), g.x1 = std::max(ax, bx), g.y0 = std::min(ay, by), g.y1 = std::max(ay, by);
    return g;
  }
  for (size_t i = 0; i + 1 < g.polygon.size(); i += 2) blockTransformPoint(b, g.polygon[i], g.polygon[i + 1]);
  g.x0 = g.x1 = g.polygon[0], g.y0 = g.y1 = g.polygon[1];
  for (size_t i = 0; i + 1 < g.polygon.size(); i += 2) {
    g.x0 = std::min(g.x0, g.polygon[i]), g.x1 = std::max(g.x1, g.polygon[i]);
    g.y0 = std::min(g.y0, g.polygon[i + 1]), g.y1 = std::max(g.y1, g.polygon[i + 1]);
  }
  return g;
}

}  // namespace trelmo
