// The Query menu: modeless boxes that show the item under the cursor, the
// file view and the quick zoom windows. The front end shows them; the core
// decides what they hold and when they are refreshed.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/signals.h"
#include "edit/edit_boxes.h"
#include "edit/edit_functions.h"
#include "edit/edit_pick.h"
#include "edit/hit_tests.h"
#include "edit/place_boxes.h"
#include "edit/query_boxes.h"
#include "image/image_editor.h"
#include "screen/view.h"
#include "shell/dialog_values.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/input_state.h"

namespace trelmo {

namespace {

struct Window {
  char member;
  uint8_t bit;
  const char* name;
  const char* title;
};

constexpr Window kWindows[] = {
    {'L', kQueryLine, "QueryLineBox", "Query Line"},
    {'A', kQueryArc, "QueryArcBox", "Query Arc/Circle"},
    {'P', kQueryPad, "QueryPadBox", "Query Pad/Via"},
    {'T', kQueryText, "QueryTextBox", "Query Text"},
    {'C', kQueryComponent, "QueryComponentBox", "Query Component"},
    {'V', kViewWindow, "ViewBox", "File View"},
    {'Z', kZoomWindow, "ZoomBox", "Quick Zoom"},
};
constexpr uint8_t kQueryBoxes = kQueryLine | kQueryArc | kQueryPad | kQueryText | kQueryComponent;

const Window* windowOf(char member) {
  for (const Window& w : kWindows)
    if (w.member == member) return &w;
  return nullptr;
}

// A length in the file's units, trimmed ("0.0120", "0.30 mm").
std::string length(const Context& ctx, int64_t v) {
  const int8_t raw = ctx.params.units;
  const int units = raw < 0 ? -std::abs(int{raw}) : std::abs(int{raw});
  std::string s = trimmedText(formatReadout(clamp32(v), units, 65536));
  if (units < 0) s += " mm";
  return s;
}

std::string angle(uint16_t a) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.2f", a * 360.0 / 65536.0);
  return buf;
}

std::string signalOrNone(const Context& ctx, Handle h) {
  const std::string s = itemSignal(ctx, h);
  return s.empty() ? "[NONE]" : s;
}

void add(DialogBox& box, const char* name, const char* label, const std::string& value) {
  DialogField f;
  f.name = name;
  f.kind = DialogField::Label;
  f.label = label;
  f.value = value;
  box.fields.push_back(f);
}

void lineValues(const Context& ctx, DialogBox& box, Handle h) {
  const Record& r = ctx.rec(h);
  add(box, "signal", "Signal:", signalOrNone(ctx, h));
  add(box, "layer", "Layer:", std::to_string(r.layer));
  add(box, "width", "Width:", length(ctx, r.size));
}

void arcValues(const Context& ctx, DialogBox& box, Handle h) {
  const Record& r = ctx.rec(h);
  lineValues(ctx, box, h);
  char ecc[16];
  std::snprintf(ecc, sizeof ecc, "%.4f", item::eccentricity(r) / 65536.0);
  add(box, "radius", "Radius:", length(ctx, std::abs(int64_t{item::radius(r)})));
  add(box, "start", "Start Angle:", angle(item::start(r)));
  add(box, "sweep", "Sweep Angle:", item::sweep(r) == 0 ? "360.00" : angle(item::sweep(r)));
  add(box, "ellipse", "Eccentricity:", ecc);
  add(box, "rotation", "Rotation:", angle(item::axisAngle(r)));
}

void padValues(const Context& ctx, DialogBox& box, Handle h) {
  const Record& r = ctx.rec(h);
  add(box, "signal", "Signal:", signalOrNone(ctx, h));
  add(box, "pin", "Pin:", pinName(ctx, h));
  add(box, "layer", "Layer:", std::to_string(r.layer));
  add(box, "type", "Type:", padTypeChoices()[item::padType(r)]);
  add(box, "x", "X Size:", length(ctx, item::padX(r)));
  add(box, "y", "Y Size:", length(ctx, item::padY(r)));
  add(box, "hole", "Hole Size:", length(ctx, item::padHole(r)));
  add(box, "rotation", "Rotation:", angle(item::padAngle(r)));
}

void textValues(const Context& ctx, DialogBox& box, Handle h) {
  const Record& r = ctx.rec(h);
  add(box, "layer", "Layer:", std::to_string(r.layer));
  add(box, "size", "Size:", length(ctx, r.size));
  add(box, "rotation", "Rotation:", angle(item::textAngle(r)));
  add(box, "anchor", "Anchor:", std::to_string(item::textAnchor(r)));
}

void componentValues(const Context& ctx, DialogBox& box, Handle h) {
  const ComponentFields f = componentFields(ctx, h);
  add(box, "pattern", "Pattern:", toDisplay(f[0], FieldRule::Tab));
  add(box, "ref", "Ref ID:", toDisplay(f[1], FieldRule::Tab));
  add(box, "value", "Type/value:", toDisplay(f[2], FieldRule::Tab));
  add(box, "modifier", "Modifier:", toDisplay(f[3], FieldRule::Tab));
  add(box, "rotation", "Rotation:", angle(ctx.rec(h).size));
}

// The same fields, empty, when nothing of the box's kind is under the cursor.
void blank(DialogBox& box, std::initializer_list<std::pair<const char*, const char*>> fields) {
  for (const auto& [name, label] : fields) add(box, name, label, "");
}

void fill(const Context& ctx, DialogBox& box, char member) {
  const bool file = ctx.current != kNull;
  const int32_t x = ctx.view.cursorX, y = ctx.view.cursorY;
  switch (member) {
    case 'L': {
      const Hit hit = file ? searchLayers(ctx, lineUnder) : Hit{};
      if (hit) return lineValues(ctx, box, hit.item);
      return blank(box, {{"signal", "Signal:"}, {"layer", "Layer:"}, {"width", "Width:"}});
    }
    case 'A': {
      const Hit hit = file ? searchLayers(ctx, arcUnder) : Hit{};
      if (hit) return arcValues(ctx, box, hit.item);
      return blank(box, {{"signal", "Signal:"},
                         {"layer", "Layer:"},
                         {"width", "Width:"},
                         {"radius", "Radius:"},
                         {"start", "Start Angle:"},
                         {"sweep", "Sweep Angle:"},
                         {"ellipse", "Eccentricity:"},
                         {"rotation", "Rotation:"}});
    }
    case 'P': {
      const Hit hit = file ? searchLayers(ctx, padUnder) : Hit{};
      if (hit) return padValues(ctx, box, hit.item);
      return blank(box, {{"signal", "Signal:"},
                         {"pin", "Pin:"},
                         {"layer", "Layer:"},
                         {"type", "Type:"},
                         {"x", "X Size:"},
                         {"y", "Y Size:"},
                         {"hole", "Hole Size:"},
                         {"rotation", "Rotation:"}});
    }
    case 'T': {
      const Hit hit = file ? textUnder(ctx, x, y, activeLayer(ctx)) : Hit{};
      if (hit) return textValues(ctx, box, hit.item);
      return blank(box, {{"layer", "Layer:"}, {"size", "Size:"}, {"rotation", "Rotation:"}, {"anchor", "Anchor:"}});
    }
    case 'C': {
      const Hit hit = file ? componentUnder(ctx, x, y, activeLayer(ctx)) : Hit{};
      if (hit) return componentValues(ctx, box, hit.item);
      return blank(box, {{"pattern", "Pattern:"},
                         {"ref", "Ref ID:"},
                         {"value", "Type/value:"},
                         {"modifier", "Modifier:"},
                         {"rotation", "Rotation:"}});
    }
    default:
      return;
  }
}

void closeWindow(Context& ctx, const Window& w) {
  ctx.edit.query.open &= static_cast<uint8_t>(~w.bit);
  if (ctx.edit.query.close) ctx.edit.query.close(ctx, w.name);
}

void showWindow(Context& ctx, const Window& w) {
  ctx.edit.query.open |= w.bit;
  if (ctx.edit.query.show) ctx.edit.query.show(ctx, queryBox(ctx, w.member));
}

// QI: the image editor. Repeated by Enter or the left button it applies
// its mode at the cursor; otherwise it opens or closes the editor.
void imageEditorFunction(Context& ctx, int source) {
  if (source == kFromRepeat && imageEditorOpen(ctx)) return repeatImageEditor(ctx);
  toggleImageEditor(ctx);
}

void queryFamily(Context& ctx, uint16_t code, int source) {
  const char member = memberOf(code);
  if (member == 'I') return imageEditorFunction(ctx, source);
  if (member == 'R') {
    bool& raft = ctx.shell.prefs.queryRaft;
    raft = !raft;
    ctx.host->writeSetting("Query Raft Boxes", raft ? "Yes" : "No");
    return;
  }
  const Window* w = windowOf(member);
  if (!w) return ctx.host->sound(Sound::Beop);
  if (ctx.edit.query.open & w->bit) return closeWindow(ctx, *w);
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  ctx.edit.query.putAway = 0;
  showWindow(ctx, *w);
}

}  // namespace

DialogBox queryBox(const Context& ctx, char member) {
  DialogBox box;
  const Window* w = windowOf(member);
  if (!w) return box;
  box.name = w->name;
  box.title = w->title;
  fill(ctx, box, member);
  return box;
}

void refreshQueryBoxes(Context& ctx) {
  for (const Window& w : kWindows)
    if (ctx.edit.query.open & w.bit) showWindow(ctx, w);
  imageEditorCommand(ctx, kImageEditorRefresh);
}

void queryWindowClosed(Context& ctx, const std::string& name) {
  if (name == "QueryImageBox") closeImageEditor(ctx);
  for (const Window& w : kWindows)
    if (name == w.name) ctx.edit.query.open &= static_cast<uint8_t>(~w.bit);
}

void toggleQueryBoxes(Context& ctx) {
  QueryState& q = ctx.edit.query;
  if (q.open & kQueryBoxes) {
    q.putAway = q.open & kQueryBoxes;
    for (const Window& w : kWindows)
      if (q.putAway & w.bit) closeWindow(ctx, w);
    return;
  }
  const uint8_t back = q.putAway;
  q.putAway = 0;
  for (const Window& w : kWindows)
    if (back & w.bit) showWindow(ctx, w);
}

void installQueryFunctions(Context& ctx) {
  for (char m : {'L', 'A', 'P', 'T', 'C', 'I', 'R', 'V', 'Z'}) registerFunction(ctx, fc('Q', m), queryFamily);
  installImageEditor(ctx);
  ctx.shell.hooks.refreshQueryBoxes = refreshQueryBoxes;
  ctx.shell.hooks.boxOpen = [](const Context& c, uint16_t code) {
    if (code == fc('Q', 'I')) return imageEditorOpen(c);
    const Window* w = familyOf(code) == 'Q' ? windowOf(memberOf(code)) : nullptr;
    return w && (c.edit.query.open & w->bit) != 0;
  };
  ctx.input.hooks.toggleQueryBoxes = toggleQueryBoxes;
}

}  // namespace trelmo
