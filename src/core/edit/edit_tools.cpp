// The rest of the Edit menu: locating text and components, krumping a
// component or a filled solid, a line turned into a half circle, grid
// alignment and the snap to the nearest item point.
#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/rings.h"
#include "edit/edit_boxes.h"
#include "edit/edit_functions.h"
#include "edit/edit_pick.h"
#include "edit/grab.h"
#include "edit/grab_boxes.h"
#include "edit/undo.h"
#include "files/item_lines.h"
#include "shell/dialog_values.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int kNothingToKrump = 0x12E, kNothingToSnap = 0x129, kLineToArcPrompt = 0x151;
constexpr uint16_t kDissolvedEdgeWidth = 65;
constexpr const char* kKrumpError = "Krump Component Error";

void markModified(Context& ctx) { ctx.rec(ctx.current).size |= kFileModified; }

std::string folded(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

// ---------------------------------------------------------------- locate

// Texts and components in design list order, inside components too.
void eachInOrder(const Context& ctx, Handle ring, std::vector<Handle>& out, uint8_t type) {
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.hidden()) continue;
    if (r.type() == type) out.push_back(h);
    if (r.type() == kComponent && ctx.pool.valid(r.ext) && type == kText) eachInOrder(ctx, r.ext, out, type);
  }
}

bool textMatches(const Context& ctx, Handle h, const std::string& wanted) {
  return !wanted.empty() &&
         folded(toDisplay(readText(ctx, h), FieldRule::Tab)).find(folded(wanted)) != std::string::npos;
}

bool componentMatches(const Context& ctx, Handle h, const std::vector<std::string>& wanted) {
  const ComponentFields fields = componentFields(ctx, h);
  for (size_t i = 0; i < wanted.size() && i < fields.size(); ++i)
    if (!wanted[i].empty() && folded(toDisplay(fields[i], FieldRule::Tab)) != folded(wanted[i])) return false;
  return true;
}

// The first candidate after `after` (kNull: from the start) that matches.
template <typename Match>
Handle findAfter(const std::vector<Handle>& list, Handle after, Match match) {
  auto it = list.begin();
  if (after != kNull) {
    it = std::find(list.begin(), list.end(), after);
    if (it != list.end()) ++it;
  }
  for (; it != list.end(); ++it)
    if (match(*it)) return *it;
  return kNull;
}

bool nextPressed(DialogBox& box) {
  const DialogField* f = box.field("next");
  return f && f->value == "1";
}

void locateText(Context& ctx) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  DialogBox box = locateTextBox(ctx);
  if (!ctx.host->runDialog(box)) return;
  const std::string wanted = trimmedText(box.field("text")->value);
  QueryState& q = ctx.edit.query;
  q.textFields = {wanted};
  std::vector<Handle> texts;
  eachInOrder(ctx, ctx.current, texts, kText);
  const Handle found =
      findAfter(texts, nextPressed(box) ? q.textMatch : kNull, [&](Handle h) { return textMatches(ctx, h, wanted); });
  if (found == kNull) return;
  q.textMatch = found;
  const Record& r = ctx.rec(found);
  int32_t x = r.x1, y = r.y1;
  if (item::textAnchor(r) == 0) {
    int32_t dx, dy;
    polar(item::textLength(r) / 2, item::textAngle(r), dx, dy);
    x = clamp32(int64_t{x} + dx), y = clamp32(int64_t{y} + dy);
  }
  moveCursorTo(ctx, x, y);
}

void locateComponent(Context& ctx) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  DialogBox box = locateComponentBox(ctx);
  if (!ctx.host->runDialog(box)) return;
  std::vector<std::string> wanted;
  for (const char* key : {"pattern", "ref", "value", "modifier", "pcb"})
    wanted.push_back(trimmedText(box.field(key)->value));
  QueryState& q = ctx.edit.query;
  q.componentFields = wanted;
  std::vector<Handle> components;
  eachInOrder(ctx, ctx.current, components, kComponent);
  const Handle found = findAfter(components, nextPressed(box) ? q.componentMatch : kNull,
                                 [&](Handle h) { return componentMatches(ctx, h, wanted); });
  if (found == kNull) return;
  q.componentMatch = found;
  const Record& s = ctx.rec(ctx.rec(found).ext);
  moveCursorTo(ctx, s.x1, s.y1);
}

// ----------------------------------------------------------------- krump

// Items written as item lines (a component with its whole ring) and read
// back into a scratch ring; kNull when the pool ran out.
void writeWhole(const Context& ctx, Handle h, std::string& out) {
  writeItemLine(ctx, h, out, 0, 0, false);
  const Record& r = ctx.rec(h);
  if (r.type() != kComponent || !ctx.pool.valid(r.ext)) return;
  for (Handle i = ctx.rec(r.ext).next; i != r.ext && i != kNull; i = ctx.rec(i).next) writeWhole(ctx, i, out);
  writeItemLine(ctx, r.ext, out, 0, 0, false);
}

Handle copies(Context& ctx, const std::vector<Handle>& items, int32_t dx, int32_t dy) {
  std::string text;
  for (Handle h : items) writeWhole(ctx, h, text);
  const Handle scratch = newRing(ctx.pool, kFileRing);
  if (scratch == kNull) return kNull;
  if (!parseItemText(ctx, scratch, text, dx, dy)) {
    freeItemDeeply(ctx, scratch);
    ctx.pool.release(scratch);
    return kNull;
  }
  return scratch;
}

// Moves what the scratch ring holds into `ring`, each recorded as added.
void adopt(Context& ctx, UndoTransaction& t, Handle scratch, Handle ring) {
  for (Handle h = ctx.rec(scratch).next; h != scratch && h != kNull; h = ctx.rec(scratch).next) {
    moveItem(ctx.pool, h, ring);
    t.added(h);
  }
  ctx.pool.release(scratch);
}

void collectRing(const Context& ctx, Handle ring, std::set<Handle>& out) {
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    out.insert(h);
    if (ctx.rec(h).type() == kComponent && ctx.pool.valid(ctx.rec(h).ext)) collectRing(ctx, ctx.rec(h).ext, out);
  }
}

void dissolveComponent(Context& ctx, Handle header) {
  if (!autoPurgeRedo(ctx)) return;
  if (!affirmative(ctx.host->question("Dissolve Component Warning",
                                      "The selected component is about to be dissolved.\n\nDo you wish to continue?",
                                      Buttons::OkCancel)))
    return;
  releaseGrabList(ctx);
  std::vector<Handle> items;
  const Handle ring = ctx.rec(header).ext;
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) items.push_back(h);
  const Handle scratch = copies(ctx, items, 0, 0);
  if (scratch == kNull) return ctx.host->sound(Sound::Beop);
  UndoTransaction t(ctx);
  adopt(ctx, t, scratch, ctx.current);
  t.removed(header);
  markModified(ctx);
}

const char* itemWord(uint8_t type) {
  switch (type) {
    case kLine:
      return "Line ";
    case kArc:
      return "Arc ";
    case kPad:
      return "Pad ";
    default:
      return "Text ";
  }
}

// One item grabbed: a copy of it, where its ghost is now, joins the
// component under the cursor or the top level; the item itself goes.
void krumpItem(Context& ctx, const Ghost& g) {
  if (!autoPurgeRedo(ctx)) return;
  const Record ghost = ctx.rec(g.record);
  const Handle item = g.item, from = g.ring == kNull ? ctx.current : g.ring;
  const Record before = ctx.rec(item);
  releaseGrabList(ctx);
  const Hit target = componentUnder(ctx, ctx.view.cursorX, ctx.view.cursorY, activeLayer(ctx));
  const Handle ring = target ? ctx.rec(target.item).ext : ctx.current;
  const Handle scratch = copies(ctx, {item}, ghost.x1 - before.x1, ghost.y1 - before.y1);
  if (scratch == kNull || ctx.rec(scratch).next == scratch) return ctx.host->sound(Sound::Beop);
  const Handle copy = ctx.rec(scratch).next;
  Record& c = ctx.rec(copy);
  c.flags = static_cast<uint8_t>(before.flags & ~(kHidden | kUndoBits));
  if (!item::isSolid(before)) {
    c.layer = ghost.layer, c.size = ghost.size;
    c.x1 = ghost.x1, c.y1 = ghost.y1, c.w3 = ghost.w3, c.w4 = ghost.w4;
    if (before.type() != kPad) c.w5 = ghost.w5;
  }
  UndoTransaction t(ctx);
  adopt(ctx, t, scratch, ring);
  t.removed(item);
  componentChanged(ctx, t, from);
  if (ring != from) componentChanged(ctx, t, ring);
  markModified(ctx);
  showStatus(ctx, std::string(itemWord(before.type())) + (target ? "added to " : "removed from ") + "component.",
             kMessageSeconds);
}

void krumpComponent(Context& ctx) {
  const std::vector<Ghost>& ghosts = ctx.edit.grab.ghosts;
  std::vector<const Ghost*> active;
  for (const Ghost& g : ghosts) {
    const bool inert = (g.follow & (kNewItem | kDeleteOnDrop)) == (kNewItem | kDeleteOnDrop);
    if (g.item != kNull && !inert) active.push_back(&g);
  }
  if (active.empty()) return showMessage(ctx, kNothingToKrump);
  Handle header = kNull;
  for (const Ghost* g : active)
    if (ctx.rec(g->item).type() == kComponent && header == kNull) header = g->item;
  if (header != kNull) {
    std::set<Handle> own;
    collectRing(ctx, ctx.rec(header).ext, own);
    for (const Ghost* g : active) {
      if (g->item == header || own.count(g->item)) continue;
      return ctx.host->messageBox(kKrumpError,
                                  "The selected component has attached lines.\n\nTo grab a naked component, try "
                                  "using the\n\"Grab Component Only\" function");
    }
    return dissolveComponent(ctx, header);
  }
  if (active.size() > 1)
    return ctx.host->messageBox(kKrumpError,
                                "More than one file element has been grabbed.\n\nTo grab a single entity, try using "
                                "the\n\"Grab Item\" function");
  krumpItem(ctx, *active.front());
}

// A filled solid becomes the lines of its edges.
void dissolveSolid(Context& ctx, Handle solid) {
  releaseGrabList(ctx);
  const Record s = ctx.rec(solid);
  UndoTransaction t(ctx);
  size_t guard = 0;
  for (Handle v = s.ext; v != kNull && ctx.pool.valid(v) && guard < (size_t{1} << 24); v = ctx.rec(v).ext, ++guard) {
    const Record& e = ctx.rec(v);
    const Handle line =
        createItem(ctx.pool, ctx.current, kLine, s.layer, kDissolvedEdgeWidth, e.x1, e.y1, e.w3, e.w4, kNull);
    if (line == kNull) return ctx.host->sound(Sound::Beop);
    t.added(line);
  }
  t.removed(solid);
  markModified(ctx);
}

// The outline traced from a line through the lines joined to it on its
// layer becomes a filled solid.
void buildSolid(Context& ctx, Handle first) {
  releaseGrabList(ctx);
  const Record f = ctx.rec(first);
  std::vector<Handle> used = {first};
  std::vector<std::pair<int32_t, int32_t>> forward = {{f.x1, f.y1}, {f.w3, f.w4}}, backward;
  auto nextLine = [&](int32_t x, int32_t y, int32_t& fx, int32_t& fy) {
    const Handle file = ctx.current;
    for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
      const Record& r = ctx.rec(h);
      if (r.type() != kLine || item::isSolid(r) || r.hidden() || r.layer != f.layer) continue;
      if (std::find(used.begin(), used.end(), h) != used.end()) continue;
      const bool a = coincide(r.x1, r.y1, x, y), b = coincide(r.w3, r.w4, x, y);
      if (!a && !b) continue;
      used.push_back(h);
      fx = a ? r.w3 : r.x1, fy = a ? r.w4 : r.y1;
      return true;
    }
    return false;
  };
  auto closed = [&](int32_t x, int32_t y) {
    return std::abs(int64_t{x} - f.x1) < 3 && std::abs(int64_t{y} - f.y1) < 3;
  };
  int32_t x = f.w3, y = f.w4, nx = 0, ny = 0;
  while (!closed(x, y) && nextLine(x, y, nx, ny)) {
    forward.emplace_back(nx, ny);
    x = nx, y = ny;
  }
  if (!closed(x, y)) {
    ctx.host->sound(Sound::Beep);
    x = f.x1, y = f.y1;
    while (nextLine(x, y, nx, ny)) {
      backward.emplace_back(nx, ny);
      x = nx, y = ny;
    }
  } else {
    forward.pop_back();  // the start again
  }
  std::vector<std::pair<int32_t, int32_t>> outline(backward.rbegin(), backward.rend());
  outline.insert(outline.end(), forward.begin(), forward.end());
  // The traced lines go first: an item removed keeps its successor for the
  // undo, which must not be the new solid.
  UndoTransaction t(ctx);
  for (Handle h : used) t.removed(h);
  const Handle solid =
      createItem(ctx.pool, ctx.current, kLine, f.layer, 0, outline[0].first, outline[0].second, 0, 0, kNull);
  if (solid == kNull) return ctx.host->sound(Sound::Beop);
  for (const auto& [vx, vy] : outline) {
    if (!appendVertex(ctx, solid, vx, vy)) {
      freeItemDeeply(ctx, solid);
      return ctx.host->sound(Sound::Beop);
    }
  }
  t.added(solid);
  markModified(ctx);
}

void krumpSolid(Context& ctx) {
  const std::vector<Ghost>& ghosts = ctx.edit.grab.ghosts;
  if (ghosts.empty()) return showMessage(ctx, kNothingToKrump);
  Handle line = kNull;
  for (const Ghost& g : ghosts)
    if (g.item != kNull && ctx.rec(g.item).type() == kLine && line == kNull) line = g.item;
  if (line == kNull) return ctx.host->sound(Sound::Beep);
  if (!autoPurgeRedo(ctx)) return;
  if (item::isSolid(ctx.rec(line))) return dissolveSolid(ctx, line);
  buildSolid(ctx, line);
}

// ----------------------------------------------------------- line to arc

void lineToArc(Context& ctx, uint16_t code, int source) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  if (!autoPurgeRedo(ctx) || dropGrabList(ctx)) return;
  const int layer = activeLayer(ctx);
  const Hit hit = lineUnder(ctx, ctx.view.cursorX, ctx.view.cursorY, layer == 0 ? -1 : layer);
  if (!hit || hit.ring != ctx.current) return pickFailed(ctx, kLineToArcPrompt);
  if (source == kFromKeys || source == kFromMenuBar) ctx.shell.currentFunction = code;
  const Record r = ctx.rec(hit.item);
  const int32_t mx = clamp32((int64_t{r.x1} + r.w3) / 2), my = clamp32((int64_t{r.y1} + r.w4) / 2);
  const auto radius = static_cast<int32_t>(distance(r.x1, r.y1, r.w3, r.w4) / 2);
  const Handle arc = createItem(ctx.pool, ctx.current, kArc, r.layer, r.size, mx, my, 0, 0, kNull);
  if (arc == kNull) return ctx.host->sound(Sound::Beop);
  item::setArc(ctx.rec(arc), radius, direction(r.x1, r.y1, r.w3, r.w4), 32768, 0, 0);
  moveCursorTo(ctx, mx, my);
  grabItem(ctx, hit.item, kGrabDelete);
  if (!grabItem(ctx, arc, kGrabNewFirst)) deleteItem(ctx.pool, arc);
  setGrabReference(ctx);
  showGrab(ctx);
}

// ------------------------------------------------------------ grid align

// The nearest grid point to v: the step (1/2^32 inch) from the zero point,
// halves rounding up.
int32_t gridPoint(int32_t v, int32_t zero, uint32_t step) {
  if (step < 65536) return v;
  const __int128 d = (__int128{v} - zero) << 16;  // in 1/2^32 inch
  const __int128 s = step;
  __int128 n = (2 * d + s) / (2 * s);
  if ((2 * d + s) % (2 * s) != 0 && (2 * d + s) < 0) --n;  // floor
  return clamp32(static_cast<int64_t>(zero + ((n * s + 32768) >> 16)));
}

void translate(Context& ctx, Handle h, int32_t dx, int32_t dy) {
  Record& r = ctx.rec(h);
  auto add = [](int32_t& v, int32_t d) { v = clamp32(int64_t{v} + d); };
  add(r.x1, dx), add(r.y1, dy);
  if (r.type() == kLine || r.type() == kComponent || r.type() == kContainer) add(r.w3, dx), add(r.w4, dy);
  if (item::isSolid(r)) {
    size_t guard = 0;
    for (Handle v = r.ext; v != kNull && ctx.pool.valid(v) && guard < (size_t{1} << 24); v = ctx.rec(v).ext, ++guard) {
      Record& e = ctx.rec(v);
      add(e.x1, dx), add(e.y1, dy), add(e.w3, dx), add(e.w4, dy);
    }
  }
  if ((r.type() == kComponent || r.type() == kContainer) && ctx.pool.valid(r.ext)) {
    const Handle ring = r.ext;
    add(ctx.rec(ring).x1, dx), add(ctx.rec(ring).y1, dy);
    for (Handle i = ctx.rec(ring).next; i != ring && i != kNull; i = ctx.rec(i).next) translate(ctx, i, dx, dy);
  }
}

void snapTexts(Context& ctx, Handle ring) {
  const Params& p = ctx.params;
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    Record& r = ctx.rec(h);
    if (r.type() == kText) {
      r.x1 = gridPoint(r.x1, p.zeroX, p.snapStep);
      r.y1 = gridPoint(r.y1, p.zeroY, p.snapStep);
    }
    if (r.type() == kComponent && ctx.pool.valid(r.ext)) snapTexts(ctx, r.ext);
  }
}

void snapComponents(Context& ctx) {
  const Params& p = ctx.params;
  const Handle file = ctx.current;
  for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.type() != kComponent || !ctx.pool.valid(r.ext)) continue;
    const Record& s = ctx.rec(r.ext);
    const int32_t dx = clamp32(int64_t{gridPoint(s.x1, p.zeroX, p.snapStep)} - s.x1);
    const int32_t dy = clamp32(int64_t{gridPoint(s.y1, p.zeroY, p.snapStep)} - s.y1);
    if (dx || dy) translate(ctx, h, dx, dy);
  }
}

void gridAlign(Context& ctx, bool components) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  const char* title = components ? "Component Grid Snap Warning" : "Text Grid Snap Warning";
  const char* text = components ? "This function will move all components to\nthe nearest grid snap position.\n\nDo "
                                  "you wish to proceed?"
                                : "This function will move all text strings\nto the nearest grid snap position.\n\nDo "
                                  "you wish to proceed?";
  if (!affirmative(ctx.host->question(title, text, Buttons::OkCancel))) return;
  releaseGrabList(ctx);
  if (components)
    snapComponents(ctx);
  else
    snapTexts(ctx, ctx.current);
  markModified(ctx);
  ctx.host->redrawView();
}

// ------------------------------------------------------------- snap item

// The nearest item point within 16384 units (Manhattan): line ends, pad
// centres, arc centres and end points; on the active layer first.
bool snapItem(Context& ctx) {
  const int32_t cx = ctx.view.cursorX, cy = ctx.view.cursorY;
  const int layer = activeLayer(ctx);
  int64_t best[2] = {16385, 16385};
  int32_t at[2][2] = {{0, 0}, {0, 0}};
  auto offer = [&](int32_t x, int32_t y, bool active) {
    const int64_t d = std::abs(int64_t{x} - cx) + std::abs(int64_t{y} - cy);
    const int k = active ? 0 : 1;
    if (d < best[k]) best[k] = d, at[k][0] = x, at[k][1] = y;
  };
  auto visit = [&](auto& self, Handle ring) -> void {
    for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
      const Record& r = ctx.rec(h);
      if (r.hidden()) continue;
      const bool shown = !(ctx.layer(r.layer).color & kColorDisabled);
      const bool active = r.layer == layer || (r.type() == kPad && !(item::padType(r) & item::kSurfaceMount));
      if (!active && !shown) continue;
      switch (r.type()) {
        case kLine:
          if (!item::isSolid(r)) offer(r.x1, r.y1, active), offer(r.w3, r.w4, active);
          break;
        case kPad:
          offer(r.x1, r.y1, active);
          break;
        case kArc: {
          offer(r.x1, r.y1, active);
          for (uint16_t a : {item::start(r), static_cast<uint16_t>(item::start(r) + item::sweep(r))}) {
            int32_t ex, ey;
            polar(std::abs(item::radius(r)), static_cast<uint16_t>(a + item::axisAngle(r)), ex, ey);
            offer(clamp32(int64_t{r.x1} + ex), clamp32(int64_t{r.y1} + ey), active);
          }
          break;
        }
        case kComponent:
          if (ctx.pool.valid(r.ext)) self(self, r.ext);
          break;
        default:
          break;
      }
    }
  };
  visit(visit, ctx.current);
  const int k = best[0] <= 16384 ? 0 : best[1] <= 16384 ? 1 : -1;
  if (k < 0) return false;
  moveCursorTo(ctx, at[k][0], at[k][1]);
  return true;
}

void editTools(Context& ctx, uint16_t code, int source) {
  switch (memberOf(code)) {
    case 'E':
      return locateText(ctx);
    case 'O':
      return locateComponent(ctx);
    case 'K':
      if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
      return krumpComponent(ctx);
    case 'F':
      if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
      return krumpSolid(ctx);
    case 'R':
      return lineToArc(ctx, code, source);
    case 'G':
      return gridAlign(ctx, true);
    case 'D':
      return gridAlign(ctx, false);
    case 'S':
      if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
      if (!snapItem(ctx)) {
        ctx.host->sound(Sound::Beep);
        showMessage(ctx, kNothingToSnap);
      }
      return;
    default:
      return ctx.host->sound(Sound::Beop);
  }
}

}  // namespace

void installEditToolFunctions(Context& ctx) {
  for (char m : {'E', 'O', 'K', 'F', 'R', 'G', 'D', 'S'}) registerFunction(ctx, fc('E', m), editTools);
}

}  // namespace trelmo
