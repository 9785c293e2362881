// The Grab menu: picking items up at the cursor, and the transforms of what
// is grabbed.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/rings.h"
#include "database/walk.h"
#include "edit/edit_functions.h"
#include "edit/grab.h"
#include "edit/grab_boxes.h"
#include "edit/hit_tests.h"
#include "edit/transforms.h"
#include "edit/undo.h"
#include "screen/draw_items.h"
#include "screen/view.h"
#include "shell/dialog_values.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

using PickFn = std::function<bool(Context&)>;

int activeLayer(const Context& ctx) { return ctx.params.currentLayer & 255; }

void moveCursorTo(Context& ctx, int32_t x, int32_t y) {
  View& v = ctx.view;
  v.cursorX = x, v.cursorY = y;
  updateCursorPixel(v);
  if (!cursorInsideMargins(v)) {
    centreOnCursor(v);
    ctx.host->redrawView();
  }
}

// The cursor onto a point found by the nearest-point search: a point within
// 12 pixels of the left or right or 16 of the top or bottom edge of the view
// pans it by the shortfall.
void moveCursorWithMargin(Context& ctx, int32_t x, int32_t y) {
  View& v = ctx.view;
  v.cursorX = x, v.cursorY = y;
  updateCursorPixel(v);
  const Rect& a = v.area;
  auto shortfall = [](int64_t p, int64_t low, int64_t high) {
    return p < low ? low - p : p > high ? high - p : int64_t{0};
  };
  const int64_t dx = shortfall(v.cursorPixelX, a.left + 12, a.right - 12);
  const int64_t dy = shortfall(v.cursorPixelY, a.top + 16, a.bottom - 16);
  if (!dx && !dy) return;
  panPixels(v, dx, dy);
  updateCursorPixel(v);
  ctx.host->redrawView();
}

// The active layer first; when nothing is there and it is not 0, every layer
// (a hit there makes its layer the active one).
Hit searchLayers(Context& ctx, Hit (*test)(const Context&, int32_t, int32_t, int)) {
  const int32_t x = ctx.view.cursorX, y = ctx.view.cursorY;
  const int layer = activeLayer(ctx);
  Hit hit = test(ctx, x, y, layer == 0 ? -1 : layer);
  if (!hit && layer != 0) {
    hit = test(ctx, x, y, -1);
    if (hit) ctx.params.currentLayer = ctx.rec(hit.item).layer;
  }
  return hit;
}

bool padAt(const Context& ctx, int32_t x, int32_t y, int layer, Handle ring) {
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.hidden()) continue;
    if (r.type() == kComponent && ctx.pool.valid(r.ext)) {
      if (padAt(ctx, x, y, layer, r.ext)) return true;
      continue;
    }
    if (r.type() != kPad) continue;
    const bool thru = !(item::padType(r) & item::kSurfaceMount);
    if ((thru || r.layer == layer) && std::abs(int64_t{r.x1} - x) < kCoincidence &&
        std::abs(int64_t{r.y1} - y) < kCoincidence)
      return true;
  }
  return false;
}

// The ends of other lines at a point of a grabbed line follow it; at a pad a
// new segment from the pad centre keeps the connection.
void stretchAt(Context& ctx, int32_t x, int32_t y, int layer) {
  grabLineEndsAt(ctx, x, y, layer);
  if (!padAt(ctx, x, y, layer, ctx.current)) return;
  const uint16_t width = std::max<uint16_t>(ctx.params.lineWidth, 7);
  const Handle link = createItem(ctx.pool, ctx.current, kLine, static_cast<uint8_t>(layer), width, x, y, x, y, kNull);
  if (link != kNull && !grabItem(ctx, link, kGrabNewSecond)) deleteItem(ctx.pool, link);
}

bool grabLine(Context& ctx) {
  const Hit hit = searchLayers(ctx, lineUnder);
  if (!hit) return false;
  const Record r = ctx.rec(hit.item);
  ctx.params.lineWidth = r.size;
  grabItem(ctx, hit.item, kGrabWhole, hit.ring);
  if (hit.ring == ctx.current) {
    stretchAt(ctx, r.x1, r.y1, r.layer);
    stretchAt(ctx, r.w3, r.w4, r.layer);
  }
  return true;
}

bool grabVertex(Context& ctx) {
  const NearPoint p = nearestLineEnd(ctx, ctx.view.cursorX, ctx.view.cursorY);
  if (p.line == kNull) return false;
  const Record& r = ctx.rec(p.line);
  ctx.params.currentLayer = r.layer;
  ctx.params.lineWidth = r.size;
  moveCursorWithMargin(ctx, p.x, p.y);
  if (grabLineEndsAt(ctx, p.x, p.y, r.layer) == 0) grabItem(ctx, p.line, p.end == 1 ? kGrabFirst : kGrabSecond);
  return true;
}

bool grabArc(Context& ctx, bool toCentre) {
  const Hit hit = searchLayers(ctx, arcUnder);
  if (!hit) return false;
  if (toCentre) moveCursorTo(ctx, ctx.rec(hit.item).x1, ctx.rec(hit.item).y1);
  return grabItem(ctx, hit.item, kGrabFirst, hit.ring);
}

// An end point of an arc: its angle on the circle or ellipse.
void arcEnd(const Record& r, uint16_t angle, int32_t& x, int32_t& y) {
  const int32_t rad = std::abs(item::radius(r));
  const uint16_t ecc = item::eccentricity(r), axis = item::axisAngle(r);
  if (ecc == 0) {
    polar(rad, static_cast<uint16_t>(angle + axis), x, y);
  } else {
    polar(rad, angle, x, y);
    y = static_cast<int32_t>(int64_t{y} * ecc >> 16);
    rotatePoint(x, y, axis);
  }
  x = clamp32(int64_t{x} + r.x1), y = clamp32(int64_t{y} + r.y1);
}

bool grabArcEnd(Context& ctx) {
  const Hit hit = searchLayers(ctx, arcUnder);
  if (!hit) return false;
  const Record& r = ctx.rec(hit.item);
  int32_t sx, sy, ex, ey;
  arcEnd(r, item::start(r), sx, sy);
  arcEnd(r, static_cast<uint16_t>(item::start(r) + item::sweep(r)), ex, ey);
  const int32_t cx = ctx.view.cursorX, cy = ctx.view.cursorY;
  const int64_t ds = std::abs(int64_t{sx} - cx) + std::abs(int64_t{sy} - cy);
  const int64_t de = std::abs(int64_t{ex} - cx) + std::abs(int64_t{ey} - cy);
  const bool start = ds <= de;
  moveCursorTo(ctx, start ? sx : ex, start ? sy : ey);
  if (!grabItem(ctx, hit.item, kGrabSecond, hit.ring)) return false;
  ctx.edit.grab.ghosts.back().arcStart = start;
  return true;
}

bool grabPad(Context& ctx) {
  const Hit hit = searchLayers(ctx, padUnder);
  if (!hit) return false;
  moveCursorTo(ctx, ctx.rec(hit.item).x1, ctx.rec(hit.item).y1);
  return grabItem(ctx, hit.item, kGrabFirst, hit.ring);
}

bool grabText(Context& ctx) {
  const Hit hit = textUnder(ctx, ctx.view.cursorX, ctx.view.cursorY, activeLayer(ctx));
  if (!hit) return false;
  moveCursorTo(ctx, ctx.rec(hit.item).x1, ctx.rec(hit.item).y1);
  return grabItem(ctx, hit.item, kGrabFirst, hit.ring);
}

bool grabSolid(Context& ctx) {
  const Hit hit = solidUnder(ctx, ctx.view.cursorX, ctx.view.cursorY, activeLayer(ctx));
  return hit && grabItem(ctx, hit.item, kGrabWhole, hit.ring);
}

// A pad of the design other than those of `mine` at a point, taking a track
// of the given width on the given layer.
enum class PadAt { None, Mine, Other };
PadAt padKindAt(const Context& ctx, Handle ring, const std::vector<Handle>& mine, int32_t x, int32_t y, int layer,
                uint16_t width) {
  PadAt found = PadAt::None;
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull && found != PadAt::Mine; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.type() == kComponent && ctx.pool.valid(r.ext)) {
      const PadAt inner = padKindAt(ctx, r.ext, mine, x, y, layer, width);
      if (inner != PadAt::None) found = inner;
      continue;
    }
    if (r.type() != kPad) continue;
    const bool thru = !(item::padType(r) & item::kSurfaceMount);
    if ((!thru && r.layer != layer) || !padHit(r, x, y, width / 2)) continue;
    found = std::find(mine.begin(), mine.end(), h) != mine.end() ? PadAt::Mine : PadAt::Other;
  }
  return found;
}

// From the far end of a track leaving a grabbed pad, the tracks joined end
// to end on its layer: when they lead to another pad of the component, every
// one of them moves with it whole (true, the path in `path`).
bool pathToOwnPad(const Context& ctx, Handle track, int32_t x, int32_t y, const std::vector<Handle>& pads,
                  std::vector<Handle>& path) {
  const Handle file = ctx.current;
  const Record& t = ctx.rec(track);
  path.assign(1, track);
  for (int steps = 0; steps < 4096; ++steps) {
    switch (padKindAt(ctx, file, pads, x, y, t.layer, ctx.rec(path.back()).size)) {
      case PadAt::Mine:
        return true;
      case PadAt::Other:
        return false;
      default:
        break;
    }
    // The one track that goes on from here.
    Handle onward = kNull;
    int ends = 0;
    int32_t farX = 0, farY = 0;
    for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
      const Record& r = ctx.rec(h);
      if (r.type() != kLine || item::isSolid(r) || r.hidden() || r.layer != t.layer ||
          std::find(path.begin(), path.end(), h) != path.end())
        continue;
      const bool first = std::abs(int64_t{r.x1} - x) < kCoincidence && std::abs(int64_t{r.y1} - y) < kCoincidence;
      const bool second = std::abs(int64_t{r.w3} - x) < kCoincidence && std::abs(int64_t{r.w4} - y) < kCoincidence;
      if (!first && !second) continue;
      ++ends;
      onward = h;
      farX = first ? r.w3 : r.x1, farY = first ? r.w4 : r.y1;
    }
    if (ends != 1) return false;
    path.push_back(onward);
    x = farX, y = farY;
  }
  return false;
}

// Track ends on a grabbed pad of a component follow it.
void stretchTracksAtPads(Context& ctx, size_t firstGhost) {
  std::vector<Handle> pads;
  for (size_t i = firstGhost; i < ctx.edit.grab.ghosts.size(); ++i) {
    const Handle h = ctx.edit.grab.ghosts[i].item;
    if (ctx.rec(h).type() == kPad) pads.push_back(h);
  }
  const Handle file = ctx.current;
  for (Handle pad : pads) {
    const Record& p = ctx.rec(pad);
    const bool thru = !(item::padType(p) & item::kSurfaceMount);
    const int64_t reach = std::max(item::padX(p), item::padY(p)) * int64_t{3} / 4;
    for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
      const Record& r = ctx.rec(h);
      if (r.type() != kLine || item::isSolid(r) || r.hidden() || (!thru && r.layer != p.layer)) continue;
      auto at = [&](int32_t x, int32_t y) {
        return std::abs(int64_t{x} - p.x1) < reach && std::abs(int64_t{y} - p.y1) < reach &&
               padHit(p, x, y, r.size / 2);
      };
      const uint8_t mode = static_cast<uint8_t>((at(r.x1, r.y1) ? kGrabFirst : 0) | (at(r.w3, r.w4) ? kGrabSecond : 0));
      if (!mode) continue;
      std::vector<Handle> path;
      const bool fromFirst = mode == kGrabFirst;
      if (mode != kGrabWhole && pathToOwnPad(ctx, h, fromFirst ? r.w3 : r.x1, fromFirst ? r.w4 : r.y1, pads, path)) {
        // Between two pads of the component: the whole path moves with it.
        for (Handle line : path) grabItem(ctx, line, kGrabWhole);
      } else {
        grabItem(ctx, h, mode);
      }
    }
  }
}

// Whether the component's attribute fields match every field filled in.
bool attributesMatch(const Context& ctx, Handle header, const std::vector<std::string>& wanted) {
  const std::string text = readText(ctx, ctx.rec(header).ext);
  std::vector<std::string> fields(1);
  for (char c : text) {
    if (c == '\x7F')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  auto fold = [](std::string s) {
    for (char& c : s)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
  };
  for (size_t i = 0; i < wanted.size(); ++i) {
    if (wanted[i].empty()) continue;
    if (i >= fields.size() || fold(fields[i]) != fold(wanted[i])) return false;
  }
  return true;
}

// The next free component after `after` (kNull: from the start) whose
// attributes match.
Handle nextMatch(const Context& ctx, Handle after, const std::vector<std::string>& wanted) {
  const Handle file = ctx.current;
  for (Handle h = after == kNull ? ctx.rec(file).next : ctx.rec(after).next; h != file && h != kNull;
       h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.type() == kComponent && !r.hidden() && ctx.pool.valid(r.ext) && attributesMatch(ctx, h, wanted)) return h;
  }
  return kNull;
}

// No component under the cursor: "LocateCompBox" finds one by its
// attributes. Find Next steps to the next match; Confirm takes the match
// found (the first one when none was stepped to). No match ends the search.
Hit locateComponent(Context& ctx) {
  DialogBox box = locateComponentBox(ctx);
  Handle found = kNull;
  for (;;) {
    if (!ctx.host->runDialog(box)) return {};
    std::vector<std::string> wanted;
    for (const char* key : {"pattern", "ref", "value", "modifier", "pcb"})
      wanted.push_back(trimmedText(box.field(key)->value));
    DialogField* next = box.field("next");
    if (next->value == "1") {
      next->value = "0";
      found = nextMatch(ctx, found, wanted);
      if (found == kNull) return {};
      continue;
    }
    if (found == kNull) found = nextMatch(ctx, kNull, wanted);
    return {found, ctx.current};
  }
}

bool grabComponent(Context& ctx, bool withTracks) {
  Hit hit = componentUnder(ctx, ctx.view.cursorX, ctx.view.cursorY, activeLayer(ctx));
  const bool located = !hit;
  if (located) hit = locateComponent(ctx);
  if (!hit) return false;
  const int32_t cursorX = ctx.view.cursorX, cursorY = ctx.view.cursorY;
  const Record& r = ctx.rec(hit.item);
  moveCursorTo(ctx, r.x1, r.y1);
  const size_t first = ctx.edit.grab.ghosts.size();
  if (!grabItem(ctx, hit.item, kGrabWhole, hit.ring)) return false;
  if (withTracks) stretchTracksAtPads(ctx, first);
  if (located) {
    // The cursor goes back to where it was; the component follows from there.
    setGrabReference(ctx);
    moveCursorTo(ctx, cursorX, cursorY);
    followCursor(ctx);
  }
  return true;
}

bool grabAnyItem(Context& ctx) {
  const int layer = activeLayer(ctx);
  const int32_t x = ctx.view.cursorX, y = ctx.view.cursorY;
  if (const Hit hit = itemUnder(ctx, x, y, layer)) return grabItem(ctx, hit.item, kGrabFirst | kGrabSecond, hit.ring);
  if (layer != 0) return false;
  // On layer 0 a component is found by its origin, and the origin alone
  // (the insertion point) follows the cursor; the items stay where they are.
  const Handle file = ctx.current;
  for (Handle h = ctx.rec(file).prev; h != file && h != kNull; h = ctx.rec(h).prev) {
    const Record& r = ctx.rec(h);
    if (r.hidden() || r.type() != kComponent || !ctx.pool.valid(r.ext)) continue;
    const Record& s = ctx.rec(r.ext);
    if (std::abs(int64_t{s.x1} - x) < kCoincidence && std::abs(int64_t{s.y1} - y) < kCoincidence)
      return grabItem(ctx, r.ext, kGrabFirst, r.ext);
  }
  return false;
}

void pickUp(Context& ctx, uint16_t code, int source, int prompt, const PickFn& pick) {
  if (!autoPurgeRedo(ctx)) return;
  // Item grab repeated with one ghost held looks again at the cursor.
  if (code == fc('G', 'I') && source == kFromRepeat && ctx.edit.grab.ghosts.size() == 1) {
    releaseGrabList(ctx);
  } else if (dropGrabList(ctx)) {
    return;
  }
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  if (source == kFromMenuBar || source == kFromKeys) ctx.shell.currentFunction = code;
  if (source == kFromMenuBar) return showMessage(ctx, prompt);
  if (!pick(ctx)) {
    ctx.host->sound(Sound::Beep);
    return showMessage(ctx, prompt);
  }
  setGrabReference(ctx);
  showGrab(ctx);
}

void transformFamily(Context& ctx, uint16_t code, int) {
  bool done = false;
  int empty = 0x12A;
  switch (memberOf(code)) {
    case 'R':
      done = rotateGrab90(ctx);
      break;
    case 'N': {
      if (!isGrabbed(ctx)) break;
      if (!cursorInsideMargins(ctx.view)) {
        centreOnCursor(ctx.view);
        ctx.host->redrawView();
      }
      uint16_t angle = 0;
      if (!askRotationAngle(ctx, angle)) return;
      done = rotateGrab(ctx, angle);
      break;
    }
    case 'X':
      empty = 0x12B;
      done = mirrorGrabX(ctx);
      break;
    case 'Y':
      empty = 0x12B;
      done = mirrorGrabY(ctx);
      break;
    case 'M':
      empty = 0x12B;
      done = mirrorGrabTopBottom(ctx);
      break;
    case 'S': {
      empty = 0x120;
      if (!isGrabbed(ctx)) break;
      int32_t factor = 0;
      if (!askScalingFactor(ctx, factor)) return;
      done = scaleGrab(ctx, factor);
      break;
    }
    default:
      return ctx.host->sound(Sound::Beop);
  }
  if (!done) showMessage(ctx, empty);
}

struct PickUp {
  char member;
  int prompt;
  PickFn pick;
};

}  // namespace

void installGrabFunctions(Context& ctx) {
  const PickUp picks[] = {
      {'L', 0x121, grabLine},
      {'E', 0x128, grabVertex},
      {'A', 0x122, [](Context& c) { return grabArc(c, false); }},
      {'G', 0x122, [](Context& c) { return grabArc(c, true); }},
      {'D', 0x122, grabArcEnd},
      {'P', 0x123, grabPad},
      {'T', 0x124, grabText},
      {'C', 0x126, [](Context& c) { return grabComponent(c, true); }},
      {'O', 0x126, [](Context& c) { return grabComponent(c, false); }},
      {'F', 0x149, grabSolid},
      {'I', 0x125, grabAnyItem},
  };
  for (const PickUp& p : picks) {
    const int prompt = p.prompt;
    PickFn pick = p.pick;
    registerFunction(ctx, fc('G', p.member),
                     [prompt, pick](Context& c, uint16_t code, int source) { pickUp(c, code, source, prompt, pick); });
  }
  for (char m : {'R', 'N', 'X', 'Y', 'M', 'S'}) registerFunction(ctx, fc('G', m), transformFamily);

  ctx.input.hooks.dropGrab = [](Context& c) { dropGrabList(c); };
  ctx.input.hooks.rotateBlock = [](Context& c) {
    if (!rotateGrab90(c)) c.host->sound(Sound::Beep);
  };
  ctx.shell.hooks.releaseGrab = [](Context& c) { releaseGrabList(c); };
  ctx.shell.hooks.cursorMoved = [](Context& c) { followCursor(c); };
  ctx.screen.drawOverlay = [](Context& c) {
    for (const Ghost& g : c.edit.grab.ghosts) drawGhost(c, g.record);
  };
}

}  // namespace trelmo
