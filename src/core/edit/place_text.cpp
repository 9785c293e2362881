// Place Text (PT) and the on-screen text entry it starts: a key hook that
// edits a buffer with a caret, committed by Enter as one undo event.
#include <string>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "edit/grab.h"
#include "edit/place_boxes.h"
#include "edit/place_functions.h"
#include "edit/undo.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/keys.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int kTextPrompt = 0x114;
constexpr size_t kTextMax = 255;

// Scan codes of the editing keys (extended keys report 0 or 0xE0 as their
// character).
enum Scan : uint8_t {
  kHome = 0x47,
  kUp = 0x48,
  kLeft = 0x4B,
  kRight = 0x4D,
  kEnd = 0x4F,
  kDown = 0x50,
  kDelete = 0x53,
  kCtrlLeft = 0x73,
  kCtrlRight = 0x74,
  kAltU = 0x16,
  kAltO = 0x18,
  kAlt2 = 0x79,
  kAlt4 = 0x7B,
};

void showEntry(Context& ctx) {
  const PlaceState& ps = ctx.edit.place;
  std::string line = "Text: " + toDisplay(ps.text.substr(0, ps.caret), FieldRule::Tab) + "|" +
                     toDisplay(ps.text.substr(ps.caret), FieldRule::Tab);
  showStatus(ctx, line, 0);
}

void endEntry(Context& ctx) {
  ctx.shell.keyHook = nullptr;
  ctx.edit.place.text.clear();
  ctx.edit.place.caret = 0;
  ctx.edit.place.editing = kNull;
  restoreStatusBar(ctx);
}

// The length a text is drawn with, negative when it is stored mirrored.
int32_t storedLength(const Context& ctx, const std::string& text, uint16_t size, uint8_t layer, bool mirror) {
  const int32_t length = textLengthOf(text, size);
  return mirror != ctx.layer(layer).bottom() ? -length : length;
}

// Writes the buffer into the design; false when nothing was written.
bool commit(Context& ctx) {
  PlaceState& ps = ctx.edit.place;
  if (!ps.typed || ctx.current == kNull) return false;
  const PlacementParams& p = ctx.input.placement;
  UndoTransaction t(ctx);
  if (ps.editing != kNull && ctx.pool.valid(ps.editing)) {
    // The changed text is a new record in the old one's place, so that the
    // old one keeps its text on the Un-Do stack.
    const Record old = ctx.rec(ps.editing);
    const Handle h = createTextItem(ctx, ctx.current, old.layer, old.size, old.x1, old.y1, ps.text);
    if (h == kNull) {
      ctx.host->sound(Sound::Beop);
      return false;
    }
    moveItem(ctx.pool, h, ps.editing);
    const int32_t length = textLengthOf(ps.text, old.size);
    Record& r = ctx.rec(h);
    r.flags = old.flags;
    r.w3 = item::textLength(old) < 0 ? -length : length;
    r.w4 = old.w4;
    r.w5 = old.w5;
    t.touch(ps.editing);
    t.removed(ps.editing);
    t.added(h);
    ps.editing = h;
  } else {
    const uint8_t layer = static_cast<uint8_t>(ctx.params.currentLayer);
    const uint16_t size = ctx.params.textSize;
    const Handle h = createTextItem(ctx, ctx.current, layer, size, ps.textX, ps.textY, ps.text);
    if (h == kNull) {
      ctx.host->sound(Sound::Beop);
      return false;
    }
    item::setText(ctx.rec(h), storedLength(ctx, ps.text, size, layer, p.textMirror), p.textRotation,
                  static_cast<uint8_t>(p.textAnchor & 15));
    t.added(h);
    ps.editing = h;
  }
  ctx.rec(ctx.current).size |= kFileModified;
  return true;
}

// The text item before or after `from` in the design list (round the ring).
Handle neighbourText(const Context& ctx, Handle from, bool up) {
  const Handle file = ctx.current;
  Handle h = from == kNull ? file : from;
  for (size_t guard = 0; guard < size_t{1} << 26; ++guard) {
    h = up ? ctx.rec(h).prev : ctx.rec(h).next;
    if (h == kNull || h == from) return kNull;
    if (h == file) {
      if (from == kNull) return kNull;
      continue;
    }
    const Record& r = ctx.rec(h);
    if (r.type() == kText && !r.hidden()) return h;
  }
  return kNull;
}

void insert(PlaceState& ps, char c) {
  if (ps.editing != kNull && !ps.typed) {
    // The first key typed replaces an old text.
    ps.text.clear();
    ps.caret = 0;
  }
  if (ps.text.size() >= kTextMax) return;
  ps.text.insert(ps.caret++, 1, c);
  ps.typed = true;
}

// The caret keys: false when the key cannot act (the caret at an end).
bool caretKey(PlaceState& ps, uint8_t scan) {
  const size_t n = ps.text.size();
  switch (scan) {
    case kLeft:
      if (ps.caret == 0) return false;
      --ps.caret;
      return true;
    case kRight:
      if (ps.caret >= n) return false;
      ++ps.caret;
      return true;
    case kHome:
      ps.caret = 0;
      return true;
    case kEnd:
      ps.caret = n;
      return true;
    case kCtrlLeft:
      if (ps.caret == 0) return false;
      while (ps.caret > 0 && ps.text[ps.caret - 1] == ' ') --ps.caret;
      while (ps.caret > 0 && ps.text[ps.caret - 1] != ' ') --ps.caret;
      return true;
    case kCtrlRight:
      if (ps.caret >= n) return false;
      while (ps.caret < n && ps.text[ps.caret] == ' ') ++ps.caret;
      while (ps.caret < n && ps.text[ps.caret] != ' ') ++ps.caret;
      return true;
    case kDelete:
      if (ps.caret >= n) return false;
      ps.text.erase(ps.caret, 1);
      ps.typed = true;
      return true;
    default:
      return false;
  }
}

// Alt-2, Alt-4, Alt-U and Alt-O: the special characters; false for others.
bool specialCharacter(PlaceState& ps, uint8_t scan) {
  switch (scan) {
    case kAlt2:
      insert(ps, static_cast<char>(kHalf));
      return true;
    case kAlt4:
      insert(ps, static_cast<char>(kQuarter));
      return true;
    case kAltU:
      insert(ps, static_cast<char>(kMicro));
      return true;
    case kAltO:
      insert(ps, static_cast<char>(kOhm));
      return true;
    default:
      return false;
  }
}

// Up and Down: commit, then edit the text item before or after this one.
void editNeighbour(Context& ctx, bool up) {
  commit(ctx);
  const Handle next = neighbourText(ctx, ctx.edit.place.editing, up);
  endEntry(ctx);
  if (next == kNull) return ctx.host->sound(Sound::Beep);
  startTextEntry(ctx, ctx.rec(next).x1, ctx.rec(next).y1, next);
}

void textKey(Context& ctx, uint16_t key) {
  PlaceState& ps = ctx.edit.place;
  const auto c = static_cast<uint8_t>(key & 0xFF);
  const auto scan = static_cast<uint8_t>(key >> 8);
  const bool extended = c == 0 || c == 0xE0;
  if (key == kKeyEscape || c == 27) return endEntry(ctx);
  if (c == 13) {
    commit(ctx);
    return endEntry(ctx);
  }
  if (extended && (scan == kUp || scan == kDown)) return editNeighbour(ctx, scan == kUp);
  bool acted = true;
  if (c == 10) {
    insert(ps, static_cast<char>(kLineBreak));
  } else if (c == 8) {
    acted = ps.caret > 0;
    if (acted) ps.text.erase(--ps.caret, 1), ps.typed = true;
  } else if (c >= 32 && c < 127) {
    insert(ps, static_cast<char>(c));
  } else {
    acted = extended && (caretKey(ps, scan) || specialCharacter(ps, scan));
  }
  if (!acted) return ctx.host->sound(Sound::Beep);
  showEntry(ctx);
}

}  // namespace

void startTextEntry(Context& ctx, int32_t x, int32_t y, uint32_t editing) {
  PlaceState& ps = ctx.edit.place;
  ps.textX = x, ps.textY = y;
  ps.editing = editing;
  ps.text = editing != kNull ? readText(ctx, editing) : std::string();
  ps.caret = ps.text.size();
  ps.typed = false;
  ctx.shell.keyHook = textKey;
  showEntry(ctx);
}

void placeTextFunction(Context& ctx, uint16_t code, int source) {
  if (!placeStart(ctx, code, false)) return;
  if (ctx.shell.keyHook || dropGrabList(ctx)) return;
  const bool interactive = source == kFromKeys || source == kFromMenuBar;
  if (interactive) {
    if (!askTextParameters(ctx)) return;
    ctx.shell.currentFunction = code;
    showMessage(ctx, kTextPrompt);
    if (source == kFromMenuBar) return;
  }
  startTextEntry(ctx, ctx.view.cursorX, ctx.view.cursorY, kNull);
}

}  // namespace trelmo
