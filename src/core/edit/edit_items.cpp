// The Edit menu's item editors: lines, arcs, pads, text (its string and its
// parameters) and components, one at a time or in a scope. Every confirmed
// box is one undo event.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "database/signals.h"
#include "edit/block.h"
#include "edit/edit_boxes.h"
#include "edit/edit_functions.h"
#include "edit/edit_pick.h"
#include "edit/grab.h"
#include "edit/place_boxes.h"
#include "edit/place_functions.h"
#include "edit/undo.h"
#include "library/library_boxes.h"
#include "shell/dialog_script.h"
#include "shell/dialog_values.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"

namespace trelmo {

namespace {

constexpr int kLinePrompt = 0x131, kArcPrompt = 0x132, kPadPrompt = 0x133, kTextPrompt = 0x134;
constexpr int kComponentPrompt = 0x136;
constexpr size_t kContiguousMax = 2047;

using ItemFn = std::function<void(Handle item, Handle ring)>;

// Every item of a ring and the rings of its components.
void eachItem(const Context& ctx, Handle ring, const ItemFn& fn) {
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.hidden()) continue;
    if (r.type() == kComponent && ctx.pool.valid(r.ext)) {
      eachItem(ctx, r.ext, fn);
      continue;
    }
    fn(h, ring);
  }
}

// The items of one ring alone.
void ringItems(const Context& ctx, Handle ring, const ItemFn& fn) {
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next)
    if (!ctx.rec(h).hidden() && ctx.rec(h).type() != kComponent) fn(h, ring);
}

// With a block defined in this file, the wide scopes change only items on
// the picked item's side of its boundary, whatever the block's layers.
class BlockSide {
 public:
  BlockSide(const Context& ctx, Handle picked) : ctx_(ctx) {
    const BlockDefinition* b = blockIn(ctx, ctx.current);
    if (!b) return;
    block_ = *b;
    block_.layers.fill(true);
    defined_ = true;
    side_ = sideOf(picked);
  }
  bool same(Handle h) const { return !defined_ || sideOf(h) == side_; }

 private:
  // 1 inside, 2 outside, 0 across the boundary.
  int sideOf(Handle h) const {
    if (contained(containmentCode(ctx_, block_, h))) return 1;
    return contained(containmentCode(ctx_, block_, h, true)) ? 2 : 0;
  }
  const Context& ctx_;
  BlockDefinition block_;
  bool defined_ = false;
  int side_ = 0;
};

// ------------------------------------------------------------------ lines

struct LineValues {
  uint8_t layer;
  uint16_t width;
};

void setLine(Context& ctx, UndoTransaction& t, Handle h, LineValues v) {
  t.modified(h);
  Record& r = ctx.rec(h);
  r.layer = v.layer, r.size = v.width;
  t.touch(h);
}

// From the picked line, every line of its layer and width joined end to end.
void contiguousLines(Context& ctx, UndoTransaction& t, Handle picked, Handle ring, LineValues v) {
  const Record first = ctx.rec(picked);
  std::vector<std::pair<int32_t, int32_t>> pending = {{first.x1, first.y1}, {first.w3, first.w4}};
  std::vector<Handle> done = {picked};
  setLine(ctx, t, picked, v);
  for (size_t i = 0; i < pending.size(); ++i) {
    const auto [x, y] = pending[i];
    for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
      const Record& r = ctx.rec(h);
      if (r.type() != kLine || r.hidden() || r.layer != first.layer || r.size != first.size) continue;
      const bool a = coincide(r.x1, r.y1, x, y), b = coincide(r.w3, r.w4, x, y);
      if ((!a && !b) || std::find(done.begin(), done.end(), h) != done.end()) continue;
      done.push_back(h);
      if (pending.size() < kContiguousMax) pending.emplace_back(a ? r.w3 : r.x1, a ? r.w4 : r.y1);
      setLine(ctx, t, h, v);
    }
  }
}

bool editLine(Context& ctx) {
  const Hit hit = searchLayers(ctx, lineUnder);
  if (!hit) return false;
  const Record old = ctx.rec(hit.item);
  const uint16_t activeBefore = ctx.params.currentLayer;
  ctx.params.currentLayer = old.layer;
  DialogBox box = editLineBox(ctx, hit.item);
  if (!ctx.host->runDialog(box)) return true;
  FieldReader in(box);
  const auto layer = static_cast<uint8_t>(in.integer("layer", 0, 255));
  const int32_t width = in.dimension("width");
  if (!in.report(ctx)) return true;
  const LineValues v{layer, width <= 0 ? uint16_t{1} : boxSize16(width)};
  UndoTransaction t(ctx);
  t.activeLayer(activeBefore);
  switch (scopeOf(box)) {
    case 0:
      setLine(ctx, t, hit.item, v);
      break;
    case 1:
      contiguousLines(ctx, t, hit.item, hit.ring, v);
      break;
    default: {
      const BlockSide side(ctx, hit.item);
      eachItem(ctx, ctx.current, [&](Handle h, Handle) {
        const Record& r = ctx.rec(h);
        if ((r.type() == kLine || r.type() == kArc) && r.size != 0 && r.layer == old.layer && r.size == old.size &&
            r.hilighted() == old.hilighted() && side.same(h))
          setLine(ctx, t, h, v);
      });
      break;
    }
  }
  componentChanged(ctx, t, hit.ring);
  ctx.params.currentLayer = v.layer;
  return true;
}

// ------------------------------------------------------------------- arcs

// Eccentricity as a fraction 0 .. 0.99998; a value outside is refused.
uint16_t readEccentricity(FieldReader& in, const std::string& key) {
  const std::string t = trimmedText(in.text(key));
  char* end = nullptr;
  const double d = std::strtod(t.c_str(), &end);
  if (t.empty() || !end || *end != 0 || !(d >= 0 && d < 1)) {
    in.refuse(key, "The eccentricity must be a number from 0 up to 1.");
    return 0;
  }
  return static_cast<uint16_t>(std::min(65535L, std::lround(d * 65536.0)));
}

bool editArc(Context& ctx) {
  const Hit hit = searchLayers(ctx, arcUnder);
  if (!hit) return false;
  const uint16_t activeBefore = ctx.params.currentLayer;
  ctx.params.currentLayer = ctx.rec(hit.item).layer;
  DialogBox box = editArcBox(ctx, hit.item);
  if (!ctx.host->runDialog(box)) return true;
  FieldReader in(box);
  const auto layer = static_cast<uint8_t>(in.integer("layer", 0, 255));
  const int32_t width = in.dimension("width"), radius = in.dimension("radius");
  const uint16_t start = readAngle(in, "start"), sweep = readAngle(in, "sweep"), axis = readAngle(in, "axis");
  const uint16_t ecc = readEccentricity(in, "ellipse");
  if (!in.report(ctx)) return true;
  UndoTransaction t(ctx);
  t.activeLayer(activeBefore);
  t.modified(hit.item);
  Record& r = ctx.rec(hit.item);
  r.layer = layer, r.size = boxSize16(width);
  item::setArc(r, item::radius(r) < 0 ? -radius : radius, start, sweep, ecc, axis);
  t.touch(hit.item);
  componentChanged(ctx, t, hit.ring);
  return true;
}

// ------------------------------------------------------------------- pads

struct PadValues {
  std::string signal, pin;
  uint8_t layer, type;
  uint16_t x, y, drill, rotation;
};

// The box until its values keep the pad rules (the same refused values
// twice end it); false when it was escaped.
bool askPad(Context& ctx, DialogBox& box, PadValues& v) {
  std::string refused;
  for (;;) {
    if (!ctx.host->runDialog(box)) return false;
    FieldReader in(box);
    v.signal = trimmedText(in.text("signal"));
    v.pin = trimmedText(in.text("pin"));
    const int64_t layer = in.integer("layer", 0, 255);
    const int type = in.choice("type", 8);
    const int32_t x = in.dimension("x"), y = in.dimension("y");
    int32_t drill = in.dimension("drill");
    v.rotation = readAngle(in, "rotation");
    if (!in.report(ctx)) return false;
    std::string title, text;
    if (!padConflict(type, layer, drill, x, y, title, text)) {
      if (type & item::kSurfaceMount) drill = 0;
      v.layer = static_cast<uint8_t>(layer), v.type = static_cast<uint8_t>(type);
      v.x = boxSize16(x), v.y = boxSize16(y), v.drill = boxSize16(drill);
      return true;
    }
    ctx.host->messageBox(title, text);
    const std::string values = dialogValues(box);
    if (values == refused) return false;
    refused = values;
  }
}

// The picked pad gives way to a new one with the box's values.
Handle replacePad(Context& ctx, UndoTransaction& t, Handle old, const PadValues& v) {
  const Record o = ctx.rec(old);
  const Handle h = createItem(ctx.pool, ctx.current, kPad, v.layer, o.size, o.x1, o.y1, 0, 0, kNull);
  if (h == kNull) return kNull;
  moveItem(ctx.pool, h, old);
  Record& r = ctx.rec(h);
  r.flags = static_cast<uint8_t>(o.flags & ~kUndoBits);
  r.size = static_cast<uint16_t>((o.size & ~7) | v.type);
  item::setPad(r, v.x, v.y, v.drill, v.rotation);
  r.w5 = 0;
  if (!storePin(ctx, h, v.pin) || !attachSignal(ctx, h, v.signal)) {
    freeItemDeeply(ctx, h);
    return kNull;
  }
  t.removed(old);
  t.added(h);
  return h;
}

bool padMatches(const Record& r, const Record& old, const PadValues& v) {
  const bool thru = !(item::padType(r) & item::kSurfaceMount);
  const bool layer = r.layer == old.layer || (thru && old.layer == 0);
  const bool rotation = v.rotation != item::padAngle(old) || item::padAngle(r) == item::padAngle(old);
  return layer && rotation && r.size == old.size && item::padX(r) == item::padX(old) &&
         item::padY(r) == item::padY(old) && item::padHole(r) == item::padHole(old);
}

void changePad(Context& ctx, UndoTransaction& t, Handle h, const Record& old, const PadValues& v) {
  t.modified(h);
  Record& r = ctx.rec(h);
  if (v.layer != old.layer) r.layer = v.layer;
  const uint16_t rotation = v.rotation != item::padAngle(old) ? v.rotation : item::padAngle(r);
  r.size = static_cast<uint16_t>((r.size & ~7) | v.type);
  item::setPad(r, v.x, v.y, v.drill, rotation);
  t.touch(h);
}

bool editPad(Context& ctx) {
  const Hit hit = searchLayers(ctx, padUnder);
  if (!hit) return false;
  DialogBox box = editPadBox(ctx, hit.item);
  PadValues v;
  if (!askPad(ctx, box, v)) return true;
  const Record old = ctx.rec(hit.item);
  const int scope = scopeOf(box);
  const BlockSide side(ctx, hit.item);
  UndoTransaction t(ctx);
  if (replacePad(ctx, t, hit.item, v) == kNull) {
    ctx.host->sound(Sound::Beop);
    return true;
  }
  auto change = [&](Handle h, Handle) {
    const Record& r = ctx.rec(h);
    if (r.type() == kPad && padMatches(r, old, v) && side.same(h)) changePad(ctx, t, h, old, v);
  };
  if (scope == 1) ringItems(ctx, hit.ring, change);
  if (scope == 2) eachItem(ctx, ctx.current, change);
  componentChanged(ctx, t, hit.ring);
  return true;
}

// ------------------------------------------------------------------- text

struct TextValues {
  uint8_t layer, anchor;
  uint16_t size, rotation;
  bool mirror;
};

bool textMirrored(const Context& ctx, const Record& r) {
  return (item::textLength(r) < 0) != ctx.layer(r.layer).bottom();
}

// What a text shows: an attribute reference ("&" and a digit) shows the
// attribute of its component.
std::string shownText(const Context& ctx, Handle h, Handle ring) {
  std::string s = readText(ctx, h);
  const Handle header = headerOf(ctx, ring);
  if (header == kNull || s.size() != 2 || s[0] != '&' || s[1] < '0' || s[1] > '4') return s;
  return componentFields(ctx, header)[static_cast<size_t>(s[1] - '0')];
}

void changeText(Context& ctx, UndoTransaction& t, Handle h, Handle ring, const Record& old, const TextValues& v,
                bool picked) {
  t.modified(h);
  Record& r = ctx.rec(h);
  const bool mirror = picked || v.mirror != textMirrored(ctx, old) ? v.mirror : textMirrored(ctx, r);
  if (picked || v.layer != old.layer) r.layer = v.layer;
  r.size = v.size;
  const uint16_t angle = picked || v.rotation != item::textAngle(old) ? v.rotation : item::textAngle(r);
  const uint8_t anchor = picked || v.anchor != item::textAnchor(old) ? v.anchor : item::textAnchor(r);
  const int32_t length = textLengthOf(shownText(ctx, h, ring), r.size);
  item::setText(r, mirror != ctx.layer(r.layer).bottom() ? -length : length, angle,
                static_cast<uint8_t>((item::textFont(r) << 4) | (anchor & 15)));
  t.touch(h);
}

bool editTextParameters(Context& ctx) {
  const Hit hit = textUnder(ctx, ctx.view.cursorX, ctx.view.cursorY, activeLayer(ctx));
  if (!hit) return false;
  DialogBox box = editTextBox(ctx, hit.item);
  if (!ctx.host->runDialog(box)) return true;
  FieldReader in(box);
  TextValues v{};
  v.layer = static_cast<uint8_t>(in.integer("layer", 0, 255));
  v.size = boxSize16(in.dimension("size"));
  v.rotation = readAngle(in, "rotation");
  v.anchor = static_cast<uint8_t>(in.integer("anchor", 0, 15));
  v.mirror = in.check("mirror");
  if (v.size == 0) in.refuse("size", "A text needs a size.");
  if (!in.report(ctx)) return true;
  const Record old = ctx.rec(hit.item);
  const int scope = scopeOf(box);
  const BlockSide side(ctx, hit.item);
  UndoTransaction t(ctx);
  changeText(ctx, t, hit.item, hit.ring, old, v, true);
  auto change = [&](Handle h, Handle ring) {
    const Record& r = ctx.rec(h);
    if (h == hit.item || r.type() != kText || r.layer != old.layer || r.size != old.size || !side.same(h)) return;
    if (v.rotation == item::textAngle(old) && item::textAngle(r) != item::textAngle(old)) return;
    changeText(ctx, t, h, ring, old, v, false);
  };
  if (scope == 1) ringItems(ctx, hit.ring, change);
  if (scope == 2) eachItem(ctx, ctx.current, change);
  componentChanged(ctx, t, hit.ring);
  return true;
}

bool editTextData(Context& ctx) {
  const Hit hit = textUnder(ctx, ctx.view.cursorX, ctx.view.cursorY, activeLayer(ctx));
  if (!hit) return false;
  const Record& r = ctx.rec(hit.item);
  startTextEntry(ctx, r.x1, r.y1, hit.item);
  return true;
}

// ------------------------------------------------------------- components

std::string joinFields(std::vector<std::string> fields) {
  while (fields.size() > 1 && fields.back().empty()) fields.pop_back();
  std::string text;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) text += static_cast<char>(kFieldSeparator);
    text += toInternal(fields[i]);
  }
  return text;
}

// New attributes and rotation for a component, and the texts that show
// them fitted to what they show now.
bool setComponent(Context& ctx, UndoTransaction& t, Handle header, const std::string& params, uint16_t rotation) {
  const Handle ring = ctx.rec(header).ext;
  t.modified(header);
  ctx.rec(header).size = rotation;
  t.modified(ring);
  ctx.rec(ring).ext = kNull;  // the old text stays with the undo entry
  if (!storeText(ctx, ring, params)) return false;
  const ComponentFields fields = componentFields(ctx, header);
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    if (ctx.rec(h).type() != kText) continue;
    const std::string s = readText(ctx, h);
    if (s.size() != 2 || s[0] != '&' || s[1] < '0' || s[1] > '4') continue;
    t.modified(h);
    Record& r = ctx.rec(h);
    const int32_t length = textLengthOf(fields[static_cast<size_t>(s[1] - '0')], r.size);
    r.w3 = item::textLength(r) < 0 ? -length : length;
    t.touch(h);
  }
  t.touch(header);
  return true;
}

// The component box until its Ref ID is acceptable; false when escaped.
bool askComponent(Context& ctx, DialogBox& box, std::vector<std::string>& fields, uint16_t& rotation) {
  for (;;) {
    if (!ctx.host->runDialog(box)) return false;
    FieldReader in(box);
    fields.clear();
    for (const char* key : {"pattern", "ref", "value", "modifier"}) fields.push_back(trimmedText(in.text(key)));
    if (box.field("pcb")) {
      fields.push_back(trimmedText(in.text("pcb")));
    } else {
      rotation = readAngle(in, "rotation");
    }
    if (!in.report(ctx)) return false;
    if (validReferenceId(fields[1]) || fields[1].empty()) return true;
    refuseReferenceId(ctx);
  }
}

bool editComponent(Context& ctx) {
  const Hit hit = componentUnder(ctx, ctx.view.cursorX, ctx.view.cursorY, activeLayer(ctx));
  if (!hit) return false;
  DialogBox box = editComponentBox(ctx, hit.item, ctx.params.isSchematic());
  std::vector<std::string> fields;
  uint16_t rotation = ctx.rec(hit.item).size;
  if (!askComponent(ctx, box, fields, rotation)) return true;
  if (!autoPurgeRedo(ctx)) return true;
  if (fields.size() < 5) fields.push_back(componentFields(ctx, hit.item)[4]);
  UndoTransaction t(ctx);
  if (!setComponent(ctx, t, hit.item, joinFields(fields), rotation)) ctx.host->sound(Sound::Beop);
  return true;
}

// Edit Components: the list box; each changed row is applied, all in one
// event.
void editComponentList(Context& ctx) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  if (!autoPurgeRedo(ctx) || dropGrabList(ctx)) return;
  DialogBox box = editComponentListBox(ctx);
  const DialogBox before = box;
  if (!ctx.host->runDialog(box)) return;
  const DialogField* table = box.field("components");
  const DialogField* old = const_cast<DialogBox&>(before).field("components");
  if (!table || !old) return;
  std::vector<Handle> headers;
  const Handle file = ctx.current;
  for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.type() == kComponent && !r.hidden() && ctx.pool.valid(r.ext)) headers.push_back(h);
  }
  UndoTransaction t(ctx);
  for (size_t i = 0; i < table->rows.size() && i < headers.size() && i < old->rows.size(); ++i) {
    const std::vector<std::string>& v = table->rows[i].values;
    if (v == old->rows[i].values || v.size() < 6) continue;
    if (!v[1].empty() && !validReferenceId(trimmedText(v[1]))) {
      refuseReferenceId(ctx);
      continue;
    }
    DialogBox one;
    one.fields.push_back(textField("rotation", "Rotation:", v[5], 16));
    FieldReader in(one);
    const uint16_t rotation = readAngle(in, "rotation");
    if (!in.report(ctx)) continue;
    std::vector<std::string> fields;
    for (size_t k = 0; k < 5; ++k) fields.push_back(trimmedText(v[k]));
    setComponent(ctx, t, headers[i], joinFields(fields), rotation);
  }
}

// ---------------------------------------------------------------- family

struct Member {
  char member;
  int prompt;
  bool (*edit)(Context&);
};

const Member kMembers[] = {
    {'L', kLinePrompt, editLine},
    {'A', kArcPrompt, editArc},
    {'P', kPadPrompt, editPad},
    {'T', kTextPrompt, editTextData},
    {'X', kTextPrompt, editTextParameters},
    {'I', kComponentPrompt, editComponent},
};

void editFamily(Context& ctx, uint16_t code, int source) {
  if (code == fc('E', 'C')) return editComponentList(ctx);
  for (const Member& m : kMembers) {
    if (fc('E', m.member) != code) continue;
    if (ctx.shell.keyHook) return;  // a text is being typed
    if (pickStart(ctx, code, source, m.prompt) && !m.edit(ctx)) pickFailed(ctx, m.prompt);
    return;
  }
  ctx.host->sound(Sound::Beop);
}

}  // namespace

void installEditItemFunctions(Context& ctx) {
  for (char m : {'L', 'A', 'P', 'T', 'X', 'I', 'C'}) registerFunction(ctx, fc('E', m), editFamily);
}

}  // namespace trelmo
