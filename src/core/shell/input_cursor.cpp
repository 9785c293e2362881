#include <algorithm>

#include "context.h"
#include "shell/input.h"
#include "shell/keys.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr const char* kEntryPrompt = "Enter new X,Y cursor position:  ";
constexpr int32_t kEntryRefreshSeconds = 3;

int32_t clampWorld(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN + 1, INT32_MAX)); }

// WINDOWS mode: the pointer moves by pixels; past the drawing area's edge
// the view scrolls by the overshoot.
void movePointer(Context& ctx, int dx, int dy) {
  View& v = ctx.view;
  InputState& in = ctx.input;
  const int64_t x = std::clamp<int64_t>(in.lastX, v.area.left, v.area.right) + dx;
  const int64_t y = std::clamp<int64_t>(in.lastY, v.area.top, v.area.bottom) - dy;
  const int64_t cx = std::clamp<int64_t>(x, v.area.left, v.area.right);
  const int64_t cy = std::clamp<int64_t>(y, v.area.top, v.area.bottom);
  if ((cx != x || cy != y) && ctx.current != kNull) {
    panPixels(v, cx - x, cy - y);
    ctx.host->redrawView();
  }
  in.lastX = cx;
  in.lastY = cy;
  ctx.host->warpPointer(static_cast<int>(cx), static_cast<int>(cy));
  setCursorFromPixel(v, ctx.params, cx, cy);
  if (ctx.shell.hooks.cursorMoved) ctx.shell.hooks.cursorMoved(ctx);
}

// The prompt, then what was typed at the entry column and a '?' marker.
std::string entryLine(const Context& ctx, const std::string& typed) {
  std::string line = kEntryPrompt;
  line.resize(std::max<size_t>(line.size(), static_cast<size_t>(cursorEntryColumn(ctx.params))), ' ');
  return line + typed + "?";
}

void endEntry(Context& ctx) {
  ctx.shell.keyHook = nullptr;
  ctx.input.crossHairShown = true;
  ctx.host->showCrossHair(true);
  restoreStatusBar(ctx);
}

void acceptEntry(Context& ctx) {
  View& v = ctx.view;
  int32_t x, y;
  const bool ok = parseCursorEntry(ctx.input.cursorEntry, v, ctx.params, x, y);
  ctx.input.cursorEntry.clear();
  if (!ok) {
    ctx.host->sound(Sound::Beep);
    return endEntry(ctx);
  }
  v.cursorX = x;
  v.cursorY = y;
  updateCursorPixel(v);
  const Rect& a = v.area;
  if (v.cursorPixelX < a.left || v.cursorPixelX > a.right || v.cursorPixelY < a.top || v.cursorPixelY > a.bottom) {
    centreOnCursor(v);
    ctx.host->redrawView();
  }
  ctx.shell.queryRefreshSeconds = kEntryRefreshSeconds;
  endEntry(ctx);
  if (ctx.shell.hooks.cursorMoved) ctx.shell.hooks.cursorMoved(ctx);
}

void entryKey(Context& ctx, uint16_t key) {
  std::string& text = ctx.input.cursorEntry;
  const unsigned char c = key & 0xFF;
  if (key == kKeyEscape || c == 27) {
    text.clear();
    return endEntry(ctx);
  }
  if (c == 8) {
    if (!text.empty()) text.pop_back();
  } else if (c == 13) {
    return acceptEntry(ctx);
  } else if (c >= ' ' && c < 127) {
    if (text.size() < kCursorEntryMax) text += static_cast<char>(c);
  } else {
    return;
  }
  showStatus(ctx, entryLine(ctx, text), 0);
}

}  // namespace

void moveCursorSteps(Context& ctx, int dx, int dy) {
  if (!ctx.shell.crossHairMode) return movePointer(ctx, dx, dy);
  View& v = ctx.view;
  const int64_t step = std::max<int64_t>(1, ctx.params.snapStep >> 16);
  int64_t panX = 0, panY = 0;
  moveCursorBy(v, ctx.params, clampWorld(dx * step), clampWorld(dy * step), ctx.current != kNull, &panX, &panY);
  if (panX || panY) ctx.host->redrawView();
  ctx.shell.queryRefreshSeconds = 2;
  ctx.shell.lastInputSource = 2;
  if (ctx.shell.hooks.cursorMoved) ctx.shell.hooks.cursorMoved(ctx);
}

void startCursorEntry(Context& ctx, uint16_t firstKey) {
  enterTrelmoMode(ctx);
  ctx.input.crossHairShown = false;
  ctx.host->showCrossHair(false);
  ctx.input.cursorEntry.clear();
  ctx.shell.messageSeconds = 0;
  showStatus(ctx, kEntryPrompt, 0);
  ctx.shell.keyHook = entryKey;
  entryKey(ctx, firstKey);
}

}  // namespace trelmo
