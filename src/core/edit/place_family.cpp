// The Place menu: lines and wires with their rubber band, vertices, arcs,
// pads, vias and dots, filled solids. Text entry, the schematic symbols and
// components have files of their own.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/rings.h"
#include "edit/grab.h"
#include "edit/hit_tests.h"
#include "edit/place_boxes.h"
#include "edit/place_functions.h"
#include "edit/place_geometry.h"
#include "edit/place_route.h"
#include "edit/undo.h"
#include "screen/draw_items.h"
#include "screen/view.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int kLinePrompt = 0x111, kArcPrompt = 0x112, kPadPrompt = 0x113, kViaPrompt = 0x117;
constexpr int kVertexPrompt = 0x151, kPadOverlap = 0x11B;
constexpr uint16_t kWireWidth = 655, kBusWidth = 1966;
constexpr uint8_t kSignalLayer = 2;

int activeLayer(const Context& ctx) { return ctx.params.currentLayer & 255; }

// The one ghost of the function, when the grab list holds nothing else.
Ghost* ownGhost(Context& ctx, uint8_t type) {
  GrabList& gl = ctx.edit.grab;
  if (gl.ghosts.size() != 1) return nullptr;
  Ghost& g = gl.ghosts.front();
  if (!(g.follow & kNewItem) || g.item != ctx.edit.place.ghostItem || ctx.rec(g.record).type() != type) return nullptr;
  return &g;
}

bool isOrtho(uint16_t code) { return code == fc('P', 'O') || code == fc('P', 'W') || code == fc('P', 'I'); }

// A new item of the design, hidden, on the cursor as the function's ghost.
bool startGhost(Context& ctx, uint8_t type, uint8_t layer, uint16_t size, int32_t w3, int32_t w4, int32_t w5,
                uint8_t mode) {
  const int32_t x = ctx.view.cursorX, y = ctx.view.cursorY;
  const Handle h = createItem(ctx.pool, ctx.current, type, layer, size, x, y, w3, w4, kNull);
  if (h == kNull) return false;
  ctx.rec(h).w5 = w5;
  if (!grabItem(ctx, h, mode)) {
    deleteItem(ctx.pool, h);
    return false;
  }
  ctx.edit.place.ghostItem = h;
  setGrabReference(ctx);
  xorGhosts(ctx);
  return true;
}

// Changes a ghost's record with its exclusive-or image taken off and put on.
template <typename Fn>
void reshapeGhost(Context& ctx, Ghost& g, Fn fn) {
  xorGhosts(ctx);
  fn(ctx.rec(g.record));
  xorGhosts(ctx);
}

void markModified(Context& ctx) { ctx.rec(ctx.current).size |= kFileModified; }

// The rubber band's free end: the cursor, held to the eight directions from
// the first point for the ortho functions.
void rubberEnd(const Context& ctx, const Record& band, int32_t& x, int32_t& y) {
  x = ctx.view.cursorX, y = ctx.view.cursorY;
  if (isOrtho(ctx.edit.place.lineCode)) orthoConstrain(band.x1, band.y1, x, y, false);
}

// ------------------------------------------------------------------ lines

// A via where a new copper track starts on the end of exactly one track of
// another copper layer (none when a track of its own layer ends there).
void automaticVia(Context& ctx, UndoTransaction& t, Handle line) {
  const Record n = ctx.rec(line);
  if (ctx.layer(n.layer).kind() != kCopper) return;
  const Handle file = ctx.current;
  int others = 0;
  for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (h == line || r.hidden() || r.type() != kLine || item::isSolid(r)) continue;
    if (!samePoint(r.x1, r.y1, n.x1, n.y1) && !samePoint(r.w3, r.w4, n.x1, n.y1)) continue;
    if (r.layer == n.layer) return;
    if (ctx.layer(r.layer).kind() == kCopper) ++others;
  }
  if (others != 1) return;
  const Params& p = ctx.params;
  const Handle via = createItem(ctx.pool, file, kPad, 0, item::kRoundVia, n.x1, n.y1, 0, 0, kNull);
  if (via == kNull) return;
  item::setPad(ctx.rec(via), p.viaSize, p.viaSize, p.viaHole, 0);
  t.added(via);
}

// The newest visible item of the design.
Handle newestItem(const Context& ctx) {
  const Handle file = ctx.current;
  for (Handle h = ctx.rec(file).prev; h != file && h != kNull; h = ctx.rec(h).prev)
    if (!ctx.rec(h).hidden()) return h;
  return kNull;
}

Handle createLine(Context& ctx, UndoTransaction& t, const Record& band, int32_t ax, int32_t ay, int32_t bx,
                  int32_t by) {
  const Handle line = createItem(ctx.pool, ctx.current, kLine, band.layer, band.size, ax, ay, bx, by, kNull);
  if (line == kNull) return kNull;
  t.added(line);
  automaticVia(ctx, t, line);
  return line;
}

void lineStep(Context& ctx, uint16_t code) {
  Ghost* g = ownGhost(ctx, kLine);
  ctx.edit.place.lineCode = code;
  if (!g) {
    if (dropGrabList(ctx)) return;
    uint8_t layer = static_cast<uint8_t>(activeLayer(ctx));
    uint16_t width = ctx.params.lineWidth;
    if (code == fc('P', 'W') || code == fc('P', 'I')) {
      layer = kSignalLayer;
      width = code == fc('P', 'I') ? kBusWidth : kWireWidth;
    } else if (width < 4) {
      width = ctx.params.lineWidth = 655;
    }
    if (!startGhost(ctx, kLine, layer, width, ctx.view.cursorX, ctx.view.cursorY, 0, kGrabNewSecond))
      return ctx.host->sound(Sound::Beop);
    ctx.edit.place.lastX = ctx.view.cursorX, ctx.edit.place.lastY = ctx.view.cursorY;
    ctx.edit.place.lineCode = code;
    return;
  }
  followCursor(ctx);
  Record& band = ctx.rec(g->record);
  int32_t bx, by;
  rubberEnd(ctx, band, bx, by);
  const int32_t ax = band.x1, ay = band.y1;
  if (samePoint(ax, ay, bx, by)) {
    // The same spot twice backs the track up by one segment.
    const Handle last = newestItem(ctx);
    if (last == kNull) return;
    const Record& r = ctx.rec(last);
    if (r.type() != kLine || item::isSolid(r) || r.layer != band.layer || r.size != band.size ||
        !samePoint(r.w3, r.w4, bx, by))
      return;
    const int32_t fx = r.x1, fy = r.y1;
    {
      UndoTransaction t(ctx);
      t.touch(last);
      t.removed(last);
    }
    reshapeGhost(ctx, *g, [&](Record& b) { b.x1 = fx, b.y1 = fy; });
    ctx.edit.place.lastX = fx, ctx.edit.place.lastY = fy;
    markModified(ctx);
    return;
  }
  {
    UndoTransaction t(ctx);
    // The routed line goes round what is in the way, in runs along the axes.
    std::vector<std::pair<int32_t, int32_t>> path;
    if (code == fc('P', 'U')) path = routedPath(ctx, band.layer, band.size, ax, ay, bx, by);
    if (path.size() < 2) path = {{ax, ay}, {bx, by}};
    for (size_t i = 0; i + 1 < path.size(); ++i)
      if (createLine(ctx, t, band, path[i].first, path[i].second, path[i + 1].first, path[i + 1].second) == kNull)
        return ctx.host->sound(Sound::Beop);
  }
  reshapeGhost(ctx, *g, [&](Record& b) { b.x1 = bx, b.y1 = by, b.w3 = bx, b.w4 = by; });
  ctx.edit.place.lastX = bx, ctx.edit.place.lastY = by;
  markModified(ctx);
}

// ----------------------------------------------------------------- vertex

void vertexStep(Context& ctx) {
  if (dropGrabList(ctx)) return;
  const int32_t x = ctx.view.cursorX, y = ctx.view.cursorY;
  const int layer = activeLayer(ctx);
  Hit hit = lineUnder(ctx, x, y, layer == 0 ? -1 : layer);
  if (!hit && layer != 0) hit = lineUnder(ctx, x, y, -1);
  if (!hit || hit.ring != ctx.current || item::isSolid(ctx.rec(hit.item))) return ctx.host->sound(Sound::Beep);
  const Record r = ctx.rec(hit.item);
  ctx.params.currentLayer = r.layer;
  ctx.params.lineWidth = r.size;
  const Handle a = createItem(ctx.pool, ctx.current, kLine, r.layer, r.size, r.x1, r.y1, x, y, kNull);
  const Handle b = createItem(ctx.pool, ctx.current, kLine, r.layer, r.size, x, y, r.w3, r.w4, kNull);
  if (a == kNull || b == kNull) {
    if (a != kNull) deleteItem(ctx.pool, a);
    if (b != kNull) deleteItem(ctx.pool, b);
    return ctx.host->sound(Sound::Beop);
  }
  // The longer half first; the old line last, so that its removal is taken
  // back while the halves that follow it in the ring are still there.
  auto half = [](const Record& l) { return std::abs(int64_t{l.x1} - l.w3) / 2 + std::abs(int64_t{l.y1} - l.w4) / 2; };
  if (half(ctx.rec(a)) >= half(ctx.rec(b))) {
    grabItem(ctx, a, kGrabNewSecond);
    grabItem(ctx, b, kGrabNewFirst);
  } else {
    grabItem(ctx, b, kGrabNewFirst);
    grabItem(ctx, a, kGrabNewSecond);
  }
  grabItem(ctx, hit.item, kGrabDelete);
  setGrabReference(ctx);
  showGrab(ctx);
}

// -------------------------------------------------------------- arcs, pads

uint16_t eccentricityField(int32_t e) { return e <= 0 || e >= 65536 ? 0 : static_cast<uint16_t>(e); }

void arcStep(Context& ctx, bool first) {
  const PlacementParams& p = ctx.input.placement;
  if (p.arcWidth < 6) ctx.input.placement.arcWidth = 655;
  if (p.arcRadius < 6) ctx.input.placement.arcRadius = 6554;
  Ghost* g = ownGhost(ctx, kArc);
  if (!g) {
    if (dropGrabList(ctx)) return;
    const int32_t w4 = pack16(p.arcSweep, p.arcStart), w5 = pack16(eccentricityField(p.arcEccentricity), p.arcAxis);
    if (!startGhost(ctx, kArc, static_cast<uint8_t>(activeLayer(ctx)), p.arcWidth, p.arcRadius, w4, w5, kGrabNewFirst))
      ctx.host->sound(Sound::Beop);
    return;
  }
  if (first) return;
  followCursor(ctx);
  const Record& gr = ctx.rec(g->record);
  UndoTransaction t(ctx);
  const Handle arc = createItem(ctx.pool, ctx.current, kArc, static_cast<uint8_t>(activeLayer(ctx)), gr.size, gr.x1,
                                gr.y1, gr.w3, gr.w4, kNull);
  if (arc == kNull) return ctx.host->sound(Sound::Beop);
  ctx.rec(arc).w5 = gr.w5;
  t.added(arc);
  markModified(ctx);
}

// A pad under the point: on any layer when `anyLayer`, else on `layer`
// (through-hole pads count on every layer).
bool padOverlap(Context& ctx, int32_t x, int32_t y, bool anyLayer, int layer) {
  return static_cast<bool>(padUnder(ctx, x, y, anyLayer ? -1 : layer));
}

void padStep(Context& ctx, bool first) {
  Params& pp = ctx.params;
  Ghost* g = ownGhost(ctx, kPad);
  if (!g) {
    if (dropGrabList(ctx)) return;
    const int32_t w3 = pack16(pp.padX, pp.padY), w4 = pack16(pp.padHole, ctx.input.placement.padRotation);
    if (!startGhost(ctx, kPad, pp.padLayer, pp.padType & 7, w3, w4, 0, kGrabNewFirst)) ctx.host->sound(Sound::Beop);
    return;
  }
  if (first) return;
  followCursor(ctx);
  const Record gr = ctx.rec(g->record);
  if (padOverlap(ctx, gr.x1, gr.y1, item::padHole(gr) != 0, gr.layer)) return showMessage(ctx, kPadOverlap);
  UndoTransaction t(ctx);
  const Handle pad = createItem(ctx.pool, ctx.current, kPad, gr.layer, gr.size, gr.x1, gr.y1, gr.w3, gr.w4, kNull);
  if (pad == kNull) return ctx.host->sound(Sound::Beop);
  std::string& pin = ctx.input.placement.pinName;
  if (!pin.empty()) {
    storePin(ctx, pad, pin);
    pin = nextPinName(pin);
  }
  t.added(pad);
  markModified(ctx);
}

// Via (and the schematic dot): at once, ending a rubber band that is active.
void viaStep(Context& ctx) {
  const Params& p = ctx.params;
  const int32_t x = ctx.view.cursorX, y = ctx.view.cursorY;
  Ghost* band = ownGhost(ctx, kLine);
  if (!band && dropGrabList(ctx)) return;
  if (padOverlap(ctx, x, y, p.viaHole != 0, p.viaLayer)) return showMessage(ctx, kPadOverlap);
  {
    UndoTransaction t(ctx);
    if (band) {
      followCursor(ctx);
      const Record b = ctx.rec(band->record);
      auto longEnough = [](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        return std::abs(int64_t{x1} - x2) > 3 || std::abs(int64_t{y1} - y2) > 3;
      };
      if (longEnough(b.x1, b.y1, b.w3, b.w4)) createLine(ctx, t, b, b.x1, b.y1, b.w3, b.w4);
      if (longEnough(b.w3, b.w4, x, y)) createLine(ctx, t, b, b.w3, b.w4, x, y);
    }
    const uint16_t type = p.viaHole != 0 ? item::kRoundVia : item::kSchematicDot;
    const Handle via = createItem(ctx.pool, ctx.current, kPad, p.viaLayer, type, x, y, 0, 0, kNull);
    if (via == kNull) return ctx.host->sound(Sound::Beop);
    item::setPad(ctx.rec(via), p.viaSize, p.viaSize, p.viaHole, 0);
    t.added(via);
  }
  if (band) reshapeGhost(ctx, *band, [&](Record& b) { b.x1 = x, b.y1 = y, b.w3 = x, b.w4 = y; });
  ctx.edit.place.lastX = x, ctx.edit.place.lastY = y;
  markModified(ctx);
}

// --------------------------------------------------------- graphic arc (PY)

void arcPrompt(Context& ctx) {
  static const char* const kPrompts[3] = {"Define Arc:  Select center point.",
                                          "Define Arc:  Select radius/start point.", "Define Arc:  Select end point."};
  ctx.shell.stagePrompt = kPrompts[std::clamp(ctx.edit.place.arcStage, 0, 2)];
  showStatus(ctx, ctx.shell.stagePrompt, 0);
}

// The graphic arc follows the cursor: its radius and start in the second
// stage, its end in the third.
void followGraphicArc(Context& ctx) {
  PlaceState& ps = ctx.edit.place;
  Ghost* g = ownGhost(ctx, kArc);
  if (!g || ps.arcStage == 0) return;
  reshapeGhost(ctx, *g, [&](Record& r) {
    ArcPoints a;
    const int32_t cx = ctx.view.cursorX, cy = ctx.view.cursorY;
    if (ps.arcStage == 1) {
      if (!arcFromPoints(r.x1, r.y1, cx, cy, r.x1, r.y1, a)) return;
      r.w3 = a.radius;
      r.w4 = pack16(0, a.start);
    } else {
      const uint16_t start = item::start(r);
      r.w4 = pack16(static_cast<uint16_t>(direction(r.x1, r.y1, cx, cy) - start), start);
    }
  });
}

void graphicArcAccept(Context& ctx) {
  PlaceState& ps = ctx.edit.place;
  PlacementParams& p = ctx.input.placement;
  const int32_t cx = ctx.view.cursorX, cy = ctx.view.cursorY;
  Ghost* g = ownGhost(ctx, kArc);
  if (!g) ps.arcStage = 0;
  switch (ps.arcStage) {
    case 0: {
      if (dropGrabList(ctx)) return arcPrompt(ctx);
      const uint16_t width = p.arcWidth < 4 ? ctx.params.lineWidth : p.arcWidth;
      if (!startGhost(ctx, kArc, static_cast<uint8_t>(activeLayer(ctx)), width, 0, 0, 0, kGrabNewFirst))
        return ctx.host->sound(Sound::Beop);
      ctx.edit.grab.ghosts.front().follow &= static_cast<uint8_t>(~kFirstFollows);  // the centre stays
      ps.arcStage = 1;
      break;
    }
    case 1: {
      const Record& r = ctx.rec(g->record);
      ArcPoints a;
      if (!arcFromPoints(r.x1, r.y1, cx, cy, r.x1, r.y1, a)) return ctx.host->sound(Sound::Beep);
      reshapeGhost(ctx, *g, [&](Record& gr) {
        gr.w3 = a.radius;
        gr.w4 = pack16(0, a.start);
      });
      ps.arcStage = 2;
      break;
    }
    default: {
      followGraphicArc(ctx);
      const Record r = ctx.rec(g->record);
      ctx.rec(g->item).layer = static_cast<uint8_t>(activeLayer(ctx));
      ctx.rec(g->record).layer = static_cast<uint8_t>(activeLayer(ctx));
      dropGrabList(ctx);
      p.arcRadius = item::radius(r), p.arcStart = item::start(r), p.arcSweep = item::sweep(r);
      p.arcEccentricity = 65536, p.arcAxis = 0;
      ps.arcStage = 0;
      markModified(ctx);
      break;
    }
  }
  arcPrompt(ctx);
}

void graphicArcCancel(Context& ctx) {
  ctx.shell.acceptHooks[0] = nullptr;
  ctx.shell.cancelHooks[0] = nullptr;
  ctx.edit.place.arcStage = 0;
  releaseGrabList(ctx);
  ctx.shell.stagePrompt.clear();
  restoreStatusBar(ctx);
}

// ------------------------------------------------------- filled solid (PF)

void solidPrompt(Context& ctx) {
  static const char* const kPrompts[4] = {
      "Define Polygon:  Select first point.", "Define Polygon:  Select second point.",
      "Define Polygon:  Select third point.", "Define Polygon:  Select additional points."};
  const size_t n = ctx.edit.place.polygon.size() / 2;
  ctx.shell.stagePrompt = kPrompts[std::min<size_t>(n, 3)];
  showStatus(ctx, ctx.shell.stagePrompt, 0);
}

void solidAccept(Context& ctx) {
  std::vector<int32_t>& v = ctx.edit.place.polygon;
  const int32_t x = ctx.view.cursorX, y = ctx.view.cursorY;
  if (v.size() >= 2 && samePoint(v[v.size() - 2], v.back(), x, y)) {
    v.resize(v.size() - 2);
  } else if (v.size() < size_t{2} * 65536) {
    v.push_back(x), v.push_back(y);
  }
  solidPrompt(ctx);
}

void solidCancel(Context& ctx) {
  ctx.shell.acceptHooks[0] = nullptr;
  ctx.shell.cancelHooks[0] = nullptr;
  std::vector<int32_t> v;
  v.swap(ctx.edit.place.polygon);
  ctx.shell.stagePrompt.clear();
  restoreStatusBar(ctx);
  if (v.size() < 6 || ctx.current == kNull) return;
  UndoTransaction t(ctx);
  const Handle solid = createItem(ctx.pool, ctx.current, kLine, static_cast<uint8_t>(activeLayer(ctx)), 0, v[0], v[1],
                                  v[0], v[1], kNull);
  if (solid == kNull) return ctx.host->sound(Sound::Beop);
  for (size_t i = 0; i + 1 < v.size(); i += 2) {
    if (!appendVertex(ctx, solid, v[i], v[i + 1])) {
      freeItemDeeply(ctx, solid);
      return ctx.host->sound(Sound::Beop);
    }
  }
  t.added(solid);
  markModified(ctx);
}

// ------------------------------------------------------------- the family

struct PlaceMember {
  char member;
  int prompt;
  bool (*ask)(Context&);  // the parameter box, or null
  bool schematicOnly;
  bool waitsFromMenu;  // never acts at once from the menu bar
};

const PlaceMember kMembers[] = {
    {'L', kLinePrompt, askLineParameters, false, true},
    {'O', kLinePrompt, askLineParameters, false, true},
    {'U', kLinePrompt, askLineParameters, false, true},
    {'E', kVertexPrompt, nullptr, false, false},
    {'A', kArcPrompt, askArcParameters, false, false},
    {'P', kPadPrompt, askPadParameters, false, false},
    {'V', kViaPrompt, nullptr, false, false},
    {'D', kPadPrompt, nullptr, true, false},
    {'W', kLinePrompt, nullptr, true, true},
    {'I', kLinePrompt, nullptr, true, true},
    {'F', 0, nullptr, false, true},
    {'Y', 0, nullptr, false, true},
};

const PlaceMember* memberFor(uint16_t code) {
  for (const PlaceMember& m : kMembers)
    if (fc('P', m.member) == code) return &m;
  return nullptr;
}

void step(Context& ctx, uint16_t code, bool first) {
  switch (memberOf(code)) {
    case 'L':
    case 'O':
    case 'U':
    case 'W':
    case 'I':
      return lineStep(ctx, code);
    case 'E':
      return vertexStep(ctx);
    case 'A':
      return arcStep(ctx, first);
    case 'P':
      return padStep(ctx, first);
    case 'D': {
      Params& p = ctx.params;
      p.viaLayer = kSignalLayer, p.viaSize = 2621, p.viaHole = 0;
      return viaStep(ctx);
    }
    case 'V':
      return viaStep(ctx);
    default:
      return;
  }
}

}  // namespace

bool placeStart(Context& ctx, uint16_t code, bool schematicOnly) {
  if (ctx.current == kNull) {
    ctx.host->sound(Sound::Beop);
    return false;
  }
  if (!autoPurgeRedo(ctx)) return false;
  if (schematicOnly && !ctx.params.isSchematic()) {
    showMessage(ctx, 0x11F);
    return false;
  }
  (void)code;
  return true;
}

void placeFunction(Context& ctx, uint16_t code, int source) {
  const PlaceMember* m = memberFor(code);
  if (!m) return ctx.host->sound(Sound::Beop);
  if (!placeStart(ctx, code, m->schematicOnly)) return;
  const bool interactive = source == kFromKeys || source == kFromMenuBar;
  // A via while a track is on the cursor: the line function stays current.
  const bool viaOnTrack = (code == fc('P', 'V') || code == fc('P', 'D')) && ownGhost(ctx, kLine) != nullptr;
  if (memberOf(code) == 'F' || memberOf(code) == 'Y') {
    if (dropGrabList(ctx)) return;
    ctx.shell.currentFunction = code;
    if (memberOf(code) == 'F') {
      ctx.edit.place.polygon.clear();
      ctx.shell.acceptHooks[0] = solidAccept;
      ctx.shell.cancelHooks[0] = solidCancel;
      return solidPrompt(ctx);
    }
    ctx.edit.place.arcStage = 0;
    ctx.shell.acceptHooks[0] = graphicArcAccept;
    ctx.shell.cancelHooks[0] = graphicArcCancel;
    return arcPrompt(ctx);
  }
  bool first = false;
  if (interactive) {
    if (m->ask && !m->ask(ctx)) return;
    if (!viaOnTrack) ctx.shell.currentFunction = code;
    showMessage(ctx, m->prompt);
    // Pads and arcs put their ghost on the cursor from the menu too.
    if (source == kFromMenuBar && m->waitsFromMenu) return;
    if (source == kFromMenuBar && code != fc('P', 'A') && code != fc('P', 'P')) return;
    first = true;
  }
  step(ctx, code, first);
}

void placeCursorMoved(Context& ctx) {
  followCursor(ctx);
  const uint16_t code = ctx.shell.currentFunction;
  if (code == fc('P', 'Y')) return followGraphicArc(ctx);
  Ghost* g = ownGhost(ctx, kLine);
  if (!g || !isOrtho(ctx.edit.place.lineCode)) return;
  reshapeGhost(ctx, *g, [&](Record& b) {
    int32_t x, y;
    rubberEnd(ctx, b, x, y);
    b.w3 = x, b.w4 = y;
  });
}

void installPlaceFunctions(Context& ctx) {
  for (const PlaceMember& m : kMembers) registerFunction(ctx, fc('P', m.member), placeFunction);
  registerFunction(ctx, fc('S', 'V'), [](Context& c, uint16_t, int) { askViaParameters(c); });
  registerFunction(ctx, fc('S', 'X'), [](Context& c, uint16_t, int) { askDimensionParameters(c); });
  registerFunction(ctx, fc('P', 'T'), placeTextFunction);
  installSymbolFunctions(ctx);
  ctx.shell.hooks.cursorMoved = placeCursorMoved;
}

}  // namespace trelmo
