// The built-in symbols of the Place menu (ports, grounds, arrowheads and
// dimension lines), signal names, and the dimension line's own text.
#include <cmath>
#include <string>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/rings.h"
#include "edit/grab.h"
#include "edit/place_boxes.h"
#include "edit/place_functions.h"
#include "edit/place_geometry.h"
#include "edit/undo.h"
#include "files/item_lines.h"
#include "resources/symbols.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int kSymbolPrompt = 0x116, kTextPrompt = 0x114;
constexpr uint16_t kSignalNameSize = 3932;

struct SymbolMember {
  char member;
  bool schematicOnly;
  bool asksName;
  bool increments;
};

const SymbolMember kSymbolMembers[] = {
    {'S', true, true, true},   {'B', true, true, true},  {'+', true, true, false},   {'G', true, false, false},
    {'H', true, false, false}, {'M', true, true, false}, {'R', false, false, false}, {'X', false, false, false},
};

const char* symbolName(char member, const std::string& name) {
  switch (member) {
    case 'S':
      return "signal";
    case 'B':
      return "bus";
    case '+':
      return !name.empty() && name[0] == '-' ? "pminus" : "pplus";
    case 'G':
      return "ground";
    case 'H':
      return "earth";
    case 'M':
      return "voltage";
    case 'R':
      return "arrow";
    default:
      return "dim";
  }
}

// Text items of a ring get the length of the text they show.
void fitTexts(Context& ctx, Handle ring, uint16_t size) {
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    Record& r = ctx.rec(h);
    if (r.type() != kText) continue;
    if (size) r.size = size;
    const int32_t length = textLengthOf(readText(ctx, h), r.size);
    r.w3 = item::textLength(r) < 0 ? -length : length;
  }
}

// The signal port's outline grows to the left with its name, in steps of a
// tenth of an inch.
void widenPort(Context& ctx, Handle header) {
  const Handle ring = ctx.rec(header).ext;
  Handle text = kNull;
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next)
    if (ctx.rec(h).type() == kText) text = h;
  if (text == kNull) return;
  const int32_t width = portWidth(std::abs(item::textLength(ctx.rec(text))));
  const int32_t from = ctx.rec(text).x1;
  ctx.rec(text).x1 -= width;
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    Record& r = ctx.rec(h);
    if (r.type() != kLine) continue;
    if (r.x1 < from) r.x1 -= width;
    if (r.w3 < from) r.w3 -= width;
  }
  ctx.rec(header).x1 -= width;
}

bool isDimension(const Context& ctx, Handle header) {
  const Record& h = ctx.rec(header);
  if (h.type() != kComponent || !ctx.pool.valid(h.ext)) return false;
  return readText(ctx, h.ext).rfind("$$DIM", 0) == 0;
}

void symbolFunction(Context& ctx, uint16_t code, int source) {
  const SymbolMember* m = nullptr;
  for (const SymbolMember& s : kSymbolMembers)
    if (fc('P', s.member) == code) m = &s;
  if (!m || !placeStart(ctx, code, m->schematicOnly)) return;
  if (dropGrabList(ctx)) return;
  PlaceState& ps = ctx.edit.place;
  if (m->increments) ps.signalName = nextPinName(ps.signalName);
  if (source == kFromKeys || source == kFromMenuBar) {
    if (m->asksName && !askSignalName(ctx)) return;
    ctx.shell.currentFunction = code;
    showMessage(ctx, kSymbolPrompt);
  }
  placeSymbol(ctx, symbolName(m->member, ps.signalName), m->asksName ? ps.signalName : std::string());
}

// PN: a signal name as text on the schematic layer.
void signalNameFunction(Context& ctx, uint16_t code, int source) {
  if (!placeStart(ctx, code, true) || dropGrabList(ctx)) return;
  PlacementParams& p = ctx.input.placement;
  ctx.params.currentLayer = 2;
  ctx.params.textSize = kSignalNameSize;
  p.textRotation = 0, p.textAnchor = 15, p.textMirror = false;
  PlaceState& ps = ctx.edit.place;
  ps.signalName = nextPinName(ps.signalName);
  if (source == kFromKeys || source == kFromMenuBar) {
    if (!askSignalName(ctx)) return;
    ctx.shell.currentFunction = code;
    showMessage(ctx, kTextPrompt);
  }
  std::string name = toInternal(ps.signalName);
  for (char& c : name)
    if (c == ' ') c = '_';
  if (name.empty()) return ctx.host->sound(Sound::Beep);
  const Handle file = ctx.current;
  const Handle before = ctx.rec(file).prev;
  UndoTransaction t(ctx);
  // The height is set below: a number without a decimal point reads as mils.
  const std::string inches = "4 2 .06 0 0 0 0 15 0 " + name;
  if (!parseItemText(ctx, file, inches, ctx.view.cursorX, ctx.view.cursorY) || ctx.rec(file).prev == before)
    return ctx.host->sound(Sound::Beop);
  const Handle text = ctx.rec(file).prev;
  Record& r = ctx.rec(text);
  r.size = kSignalNameSize;
  r.w3 = textLengthOf(readText(ctx, text), r.size);
  t.added(text);
  ctx.rec(file).size |= kFileModified;
}

}  // namespace

bool placeSymbol(Context& ctx, std::string_view symbol, std::string_view name) {
  const std::string_view source = builtInSymbol(symbol);
  std::string lines;
  bool ended = false;
  size_t pos = 0;
  const std::string replacement = toInternal(name);
  while (pos < source.size() && !ended) {
    size_t end = source.find('\n', pos);
    if (end == std::string_view::npos) end = source.size();
    const std::string_view line = source.substr(pos, end - pos);
    pos = end + 1;
    if (line.empty() || line[0] < '0' || line[0] > '6') continue;
    for (char c : line) {
      if (c == '*')
        lines += replacement;
      else
        lines += c;
    }
    lines += "\r\n";
    ended = line[0] == '0';
  }
  const Handle file = ctx.current;
  const Handle before = ctx.rec(file).prev;
  if (!parseItemText(ctx, file, lines, ctx.view.cursorX, ctx.view.cursorY) || !ended) {
    ctx.host->sound(ended ? Sound::Beop : Sound::Beep);
    return false;
  }
  const Handle header = ctx.rec(file).prev;
  if (header == before || ctx.rec(header).type() != kComponent) return false;
  const bool dimension = symbol == "dim";
  if (dimension && ctx.params.dimTextSize < 3) ctx.params.dimTextSize = 6291;
  fitTexts(ctx, ctx.rec(header).ext, dimension ? static_cast<uint16_t>(ctx.params.dimTextSize) : 0);
  if (symbol == "signal") widenPort(ctx, header);
  if (!grabItem(ctx, header, kGrabNewWhole)) {
    freeItemDeeply(ctx, header);
    return false;
  }
  setGrabReference(ctx);
  showGrab(ctx);
  return true;
}

void rebuildDimension(Context& ctx, uint32_t header, UndoTransaction& t) {
  if (!isDimension(ctx, header)) return;
  const Handle ring = ctx.rec(header).ext;
  Handle lines[5] = {kNull, kNull, kNull, kNull, kNull};
  int count = 0;
  Handle text = kNull;
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.type() == kLine && !item::isSolid(r) && count < 5) lines[count++] = h;
    if (r.type() == kText && text == kNull) text = h;
  }
  if (count < 5 || text == kNull) return;
  const Record main = ctx.rec(lines[0]);
  const double x1 = main.x1, y1 = main.y1, x2 = main.w3, y2 = main.w4;
  const double length = std::hypot(x2 - x1, y2 - y1);
  if (length < 1) return;
  const double ux = (x2 - x1) / length, uy = (y2 - y1) / length;
  const double size = ctx.params.dimTextSize < 3 ? 6291 : ctx.params.dimTextSize;
  const double s = size * 32768.0 / 3146.0;
  const std::string label = dimensionLabel(static_cast<int64_t>(std::llround(length)), ctx.params.units);
  const uint16_t height = static_cast<uint16_t>(size);
  const int32_t textLength = textLengthOf(label, height);
  // Arrowheads point outward at both ends, or inward from outside when the
  // text leaves no room between them.
  const bool inward = length / 2 - textLength / 2.0 < s / 10;
  const double tip = 0.099 * s, side = 0.033 * s;
  auto head = [&](int first, double px, double py, double dx, double dy) {
    const double back = inward ? -1 : 1;
    for (int k = 0; k < 2; ++k) {
      const double sign = k == 0 ? 1 : -1;
      t.modified(lines[first + k]);
      Record& r = ctx.rec(lines[first + k]);
      r.x1 = clamp32(std::llround(px)), r.y1 = clamp32(std::llround(py));
      r.w3 = clamp32(std::llround(px - back * tip * dx - sign * side * dy));
      r.w4 = clamp32(std::llround(py - back * tip * dy + sign * side * dx));
      t.touch(lines[first + k]);
    }
  };
  head(1, x1, y1, -ux, -uy);
  head(3, x2, y2, ux, uy);
  // The text along the line, reading from the left or from below.
  const uint16_t a = direction(main.x1, main.y1, main.w3, main.w4);
  const bool vertical = (a >= 8192 && a < 24576) || (a >= 40960 && a < 57344);
  const double mx = (x1 + x2) / 2, my = (y1 + y2) / 2, gap = size / 4;
  const double tx = vertical ? mx - gap : mx - textLength / 2.0;
  const double ty = vertical ? my - textLength / 2.0 : my + gap;
  const Record old = ctx.rec(text);
  const Handle fresh =
      createTextItem(ctx, ring, old.layer, height, clamp32(std::llround(tx)), clamp32(std::llround(ty)), label);
  if (fresh == kNull) return;
  moveItem(ctx.pool, fresh, text);
  Record& nr = ctx.rec(fresh);
  nr.flags = old.flags;
  item::setText(nr, item::textLength(old) < 0 ? -textLength : textLength, vertical ? 16384 : 0,
                item::textAnchorFont(old) & 0xF0);
  t.touch(text);
  t.removed(text);
  t.added(fresh);
  t.touch(fresh);
  t.modified(header);
  const ItemBox b = ringBounds(ctx.pool, ring);
  Record& hr = ctx.rec(header);
  hr.x1 = clamp32(b.x0), hr.y1 = clamp32(b.y0), hr.w3 = clamp32(b.x1), hr.w4 = clamp32(b.y1);
}

void installSymbolFunctions(Context& ctx) {
  for (const SymbolMember& m : kSymbolMembers) registerFunction(ctx, fc('P', m.member), symbolFunction);
  registerFunction(ctx, fc('P', 'N'), signalNameFunction);
}

}  // namespace trelmo
