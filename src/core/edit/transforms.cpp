#include "edit/transforms.h"

#include <algorithm>
#include <functional>

#include "context.h"
#include "database/geometry.h"
#include "edit/grab.h"

namespace trelmo {

namespace {

using PointFn = std::function<void(int32_t&, int32_t&)>;

bool firstFollows(const Ghost& g) { return (g.follow & kFirstFollows) != 0; }
bool follows(const Ghost& g) {
  const bool inertGhost = (g.follow & (kNewItem | kDeleteOnDrop)) == (kNewItem | kDeleteOnDrop);
  return !inertGhost && (g.follow & (kFirstFollows | kSecondFollows)) != 0;
}

// The following points of a ghost through f.
void movePoints(Context& ctx, const Ghost& g, const PointFn& f) {
  Record& r = ctx.rec(g.record);
  const bool first = firstFollows(g), second = (g.follow & kSecondFollows) != 0;
  if (item::isSolid(r)) {
    bool any = false;
    for (Handle v = r.ext; v != kNull; v = ctx.rec(v).ext) {
      Record& e = ctx.rec(v);
      f(e.x1, e.y1);
      f(e.w3, e.w4);
      if (!any) r.x1 = r.w3 = e.x1, r.y1 = r.w4 = e.y1, any = true;
      r.x1 = std::min(r.x1, e.x1), r.y1 = std::min(r.y1, e.y1);
      r.w3 = std::max(r.w3, e.x1), r.w4 = std::max(r.w4, e.y1);
    }
    if (!any) f(r.x1, r.y1), f(r.w3, r.w4);
    return;
  }
  switch (r.type()) {
    case kLine:
    case kComponent:
    case kContainer:
    case kReserved:
      if (first) f(r.x1, r.y1);
      if (second) f(r.w3, r.w4);
      return;
    default:
      if (first) f(r.x1, r.y1);
      return;
  }
}

bool hasEllipse(const Record& r) { return item::eccentricity(r) != 0 || item::axisAngle(r) != 0; }

void setArcAngles(Record& r, uint16_t start, uint16_t axis) {
  item::setArc(r, item::radius(r), start, item::sweep(r), item::eccentricity(r), axis);
}

void setTextAngleAnchor(Record& r, uint16_t angle, uint8_t anchor) {
  const uint8_t font = item::textAnchorFont(r) & 0xF0;
  item::setText(r, item::textLength(r), angle, static_cast<uint8_t>(font | (anchor & 15)));
}

// Runs the change over every ghost that follows, with the ghosts taken off
// the screen and put back after.
template <typename F>
bool transform(Context& ctx, int emptyMessage, F f) {
  if (!isGrabbed(ctx)) {
    (void)emptyMessage;
    return false;
  }
  followCursor(ctx);
  xorGhosts(ctx);
  for (const Ghost& g : ctx.edit.grab.ghosts)
    if (follows(g)) f(g, ctx.rec(g.record));
  xorGhosts(ctx);
  return true;
}

int32_t refX(const Context& ctx) { return ctx.edit.grab.refX; }
int32_t refY(const Context& ctx) { return ctx.edit.grab.refY; }

// Mirror X's change of the angles of an arc, a pad or a text.
void mirrorAnglesX(Record& r) {
  switch (r.type()) {
    case kArc: {
      const uint16_t end = static_cast<uint16_t>(item::start(r) + item::sweep(r));
      if (!hasEllipse(r))
        setArcAngles(r, static_cast<uint16_t>(32768 - end), item::axisAngle(r));
      else
        setArcAngles(r, static_cast<uint16_t>(-end), static_cast<uint16_t>(32768 - item::axisAngle(r)));
      return;
    }
    case kPad:
      item::setPad(r, item::padX(r), item::padY(r), item::padHole(r), static_cast<uint16_t>(32768 - item::padAngle(r)));
      return;
    case kText: {
      const uint8_t a = item::textAnchor(r);
      setTextAngleAnchor(r, static_cast<uint16_t>(-item::textAngle(r)),
                         static_cast<uint8_t>((a & 12) | flipAnchorCode(a & 3)));
      return;
    }
    default:
      return;
  }
}

uint16_t scale16(uint16_t v, int32_t f) {
  return static_cast<uint16_t>(std::clamp<int64_t>((int64_t{v} * f) >> 16, 0, 65535));
}
int32_t scale32(int32_t v, int32_t f) { return clamp32((int64_t{v} * f) >> 16); }

}  // namespace

bool rotateGrab90(Context& ctx) {
  const int32_t rx = refX(ctx), ry = refY(ctx);
  return transform(ctx, 0x12A, [&](const Ghost& g, Record& r) {
    movePoints(ctx, g, [&](int32_t& x, int32_t& y) {
      const int64_t nx = int64_t{rx} - (int64_t{y} - ry), ny = int64_t{ry} + (int64_t{x} - rx);
      x = clamp32(nx), y = clamp32(ny);
    });
    if (!firstFollows(g)) return;
    switch (r.type()) {
      case kArc:
        if (hasEllipse(r))
          setArcAngles(r, item::start(r), static_cast<uint16_t>(item::axisAngle(r) + 16384));
        else
          setArcAngles(r, static_cast<uint16_t>(item::start(r) + 16384), item::axisAngle(r));
        return;
      case kPad:
        item::setPad(r, item::padX(r), item::padY(r), item::padHole(r),
                     static_cast<uint16_t>(item::padAngle(r) + 16384));
        return;
      case kComponent:
        r.size = static_cast<uint16_t>(r.size + 16384);
        return;
      case kText: {
        uint16_t angle = static_cast<uint16_t>(item::textAngle(r) + 16384);
        uint8_t a = item::textAnchor(r);
        const uint8_t h = a & 3, v = (a >> 2) & 3;
        // Text never comes to read upside down: it turns back and its anchor flips.
        if (angle == 32768 && h != 3 && v != 3) {
          angle = 0;
          a = static_cast<uint8_t>(flipAnchorCode(h) | (flipAnchorCode(v) << 2));
        }
        setTextAngleAnchor(r, angle, a);
        return;
      }
      default:
        return;
    }
  });
}

bool rotateGrab(Context& ctx, uint16_t angle) {
  const int32_t rx = refX(ctx), ry = refY(ctx);
  return transform(ctx, 0x12A, [&](const Ghost& g, Record& r) {
    movePoints(ctx, g, [&](int32_t& x, int32_t& y) {
      int32_t dx = clamp32(int64_t{x} - rx), dy = clamp32(int64_t{y} - ry);
      rotatePoint(dx, dy, angle);
      x = clamp32(int64_t{rx} + dx), y = clamp32(int64_t{ry} + dy);
    });
    if (!firstFollows(g)) return;
    switch (r.type()) {
      case kArc:
        if (hasEllipse(r))
          setArcAngles(r, item::start(r), static_cast<uint16_t>(item::axisAngle(r) + angle));
        else
          setArcAngles(r, static_cast<uint16_t>(item::start(r) + angle), item::axisAngle(r));
        return;
      case kPad:
        item::setPad(r, item::padX(r), item::padY(r), item::padHole(r),
                     static_cast<uint16_t>(item::padAngle(r) + angle));
        return;
      case kComponent:
        r.size = static_cast<uint16_t>(r.size + angle);
        return;
      case kText:
        setTextAngleAnchor(r, static_cast<uint16_t>(item::textAngle(r) + angle), item::textAnchor(r));
        return;
      default:
        return;
    }
  });
}

bool mirrorGrabX(Context& ctx) {
  const int32_t rx = refX(ctx);
  return transform(ctx, 0x12B, [&](const Ghost& g, Record& r) {
    movePoints(ctx, g, [&](int32_t& x, int32_t&) { x = clamp32(2 * int64_t{rx} - x); });
    if (firstFollows(g)) mirrorAnglesX(r);
  });
}

bool mirrorGrabY(Context& ctx) {
  const int32_t ry = refY(ctx);
  return transform(ctx, 0x12B, [&](const Ghost& g, Record& r) {
    movePoints(ctx, g, [&](int32_t&, int32_t& y) { y = clamp32(2 * int64_t{ry} - y); });
    if (!firstFollows(g)) return;
    switch (r.type()) {
      case kArc: {
        const uint16_t end = static_cast<uint16_t>(item::start(r) + item::sweep(r));
        if (!hasEllipse(r))
          setArcAngles(r, static_cast<uint16_t>(-end), item::axisAngle(r));
        else
          setArcAngles(r, static_cast<uint16_t>(32768 - end), static_cast<uint16_t>(32768 - item::axisAngle(r)));
        return;
      }
      case kPad:
        item::setPad(r, item::padX(r), item::padY(r), item::padHole(r),
                     static_cast<uint16_t>(32768 - item::padAngle(r)));
        return;
      case kText: {
        const uint8_t a = item::textAnchor(r);
        setTextAngleAnchor(r, static_cast<uint16_t>(-item::textAngle(r)),
                           static_cast<uint8_t>((a & 3) | (flipAnchorCode((a >> 2) & 3) << 2)));
        return;
      }
      default:
        return;
    }
  });
}

std::array<uint8_t, 256> topBottomLayerMap(const Params& p) {
  std::array<uint8_t, 256> map{};
  auto letter = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  for (int i = 0; i < 256; ++i) {
    map[i] = static_cast<uint8_t>(i);
    const LayerEntry& e = p.layers[i];
    const char c = letter(e.name[0]);
    const uint8_t kind = e.kind();
    if ((c != 'T' && c != 'B') || !(kind == kSilk || kind == kMask || kind == kCopper || kind == kPaste)) continue;
    const char other = c == 'T' ? 'B' : 'T';
    for (int j = 255; j >= 0; --j)
      if (letter(p.layers[j].name[0]) == other && p.layers[j].kind() == kind) {
        map[i] = static_cast<uint8_t>(j);
        break;
      }
  }
  return map;
}

bool mirrorGrabTopBottom(Context& ctx) {
  const int32_t rx = refX(ctx);
  const std::array<uint8_t, 256> map = topBottomLayerMap(ctx.params);
  return transform(ctx, 0x12B, [&](const Ghost& g, Record& r) {
    movePoints(ctx, g, [&](int32_t& x, int32_t&) { x = clamp32(2 * int64_t{rx} - x); });
    switch (r.type()) {
      case kLine:
        r.layer = map[r.layer];
        return;
      case kArc:
      case kPad:
        r.layer = map[r.layer];
        if (firstFollows(g)) mirrorAnglesX(r);
        return;
      case kText:
        r.layer = map[r.layer];
        if (firstFollows(g))
          item::setText(r, clamp32(-int64_t{item::textLength(r)}), static_cast<uint16_t>(-item::textAngle(r)),
                        item::textAnchorFont(r));
        return;
      default:
        return;
    }
  });
}

bool scaleGrab(Context& ctx, int32_t factor) {
  const int32_t rx = refX(ctx), ry = refY(ctx);
  return transform(ctx, 0x120, [&](const Ghost& g, Record& r) {
    movePoints(ctx, g, [&](int32_t& x, int32_t& y) {
      x = clamp32(int64_t{rx} + ((int64_t{x} - rx) * factor >> 16));
      y = clamp32(int64_t{ry} + ((int64_t{y} - ry) * factor >> 16));
    });
    switch (r.type()) {
      case kLine:
        if (!item::isSolid(r)) r.size = std::max<uint16_t>(scale16(r.size, factor), 1);
        return;
      case kArc:
        r.size = scale16(r.size, factor);
        r.w3 = scale32(r.w3, factor);
        return;
      case kPad:
        item::setPad(r, scale16(item::padX(r), factor), scale16(item::padY(r), factor),
                     scale16(item::padHole(r), factor), item::padAngle(r));
        return;
      case kText:
        r.size = scale16(r.size, factor);
        r.w3 = scale32(r.w3, factor);
        return;
      default:
        return;
    }
  });
}

}  // namespace trelmo
