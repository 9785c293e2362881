#include <algorithm>
#include <cstdlib>

#include "context.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/heartbeat.h"
#include "shell/input.h"
#include "shell/input_actions.h"
#include "shell/keys.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int kMessageNothingToEscape = 0x12C;

bool giveKeyHook(Context& ctx, uint16_t key) {
  if (!ctx.shell.keyHook) return false;
  KeyHook hook = ctx.shell.keyHook;  // the hook may remove itself
  hook(ctx, key);
  return true;
}

void startDrag(Context& ctx) {
  ctx.host->capturePointer(true);
  ctx.input.captured = true;
  ctx.shell.dragTicks = 1;
  ctx.input.dragDX = ctx.input.dragDY = 0;
  // The Hand comes with the heartbeat once the press has lasted as long as a drag.
}

void endDrag(Context& ctx) {
  ctx.host->capturePointer(false);
  ctx.input.captured = false;
  ctx.host->setPointerShape(PointerShape::Arrow);
}

bool anyInteraction(const ShellState& s) {
  for (const Hook& h : s.acceptHooks)
    if (h) return true;
  for (const Hook& h : s.cancelHooks)
    if (h) return true;
  return s.currentFunction != 0;
}

void openPopupOrMenuBar(Context& ctx) {
  ShellState& s = ctx.shell;
  if (!s.prefs.popupMenus || ctx.current == kNull) {
    leaveTrelmoMode(ctx, true);
    return;
  }
  suspendForMenu(ctx, -1);
  s.lastInputSource = kFromKeys;
  const int popup = ctx.params.isSchematic() ? 0 : 1;
  ctx.host->trackPopupMenu(popup, static_cast<int>(ctx.view.cursorPixelX), static_cast<int>(ctx.view.cursorPixelY));
}

// Keeps the world cursor at least 16 pixels inside the drawing area after a pan.
void keepCursorInside(Context& ctx) {
  View& v = ctx.view;
  updateCursorPixel(v);
  if (cursorInsideMargins(v)) return;
  const int64_t px = std::clamp<int64_t>(v.cursorPixelX, v.area.left + kCursorMarginX, v.area.right - kCursorMarginX);
  const int64_t py = std::clamp<int64_t>(v.cursorPixelY, v.area.top + kCursorMarginY, v.area.bottom - kCursorMarginY);
  setCursorFromPixel(v, ctx.params, px, py);
}

// In TRELMO mode the pointer stays near the centre of the confinement
// rectangle, so that its motion never stops at an edge.
void recentrePointer(Context& ctx, int64_t& x, int64_t& y) {
  InputState& in = ctx.input;
  const int64_t cx = (in.confineLeft + in.confineRight + 1) / 2, cy = (in.confineTop + in.confineBottom + 1) / 2;
  const int64_t hx = (in.confineRight - in.confineLeft + 1) / 2, hy = (in.confineBottom - in.confineTop + 1) / 2;
  const int64_t mx = std::max<int64_t>(1, hx / 4), my = std::max<int64_t>(1, hy / 4);
  int64_t nx = x, ny = y;
  if (x < cx - hx / 2) nx = x + mx / 2 + 1;
  if (x > cx + hx / 2) nx = x - mx / 2 - 1;
  if (y < cy - hy / 2) ny = y + my / 2 + 1;
  if (y > cy + hy / 2) ny = y - my / 2 - 1;
  if (nx == x && ny == y) return;
  x = nx;
  y = ny;
  ctx.host->warpPointer(static_cast<int>(x), static_cast<int>(y));
}

void dragMove(Context& ctx, int64_t dx, int64_t dy) {
  ShellState& s = ctx.shell;
  InputState& in = ctx.input;
  in.dragDX += dx;
  in.dragDY += dy;
  const bool early = !(s.dragTicks & kDragPanned) && (s.dragTicks & 0xFFFF) <= kClickTicks;
  if (early && std::abs(in.dragDX) < kDragSlack && std::abs(in.dragDY) < kDragSlack) return;
  s.dragTicks |= kDragPanned;
  ctx.host->showCrossHair(false);
  panPixels(ctx.view, in.dragDX, in.dragDY);
  in.dragDX = in.dragDY = 0;
  ctx.host->redrawView();
}

void trackCursor(Context& ctx, int64_t x, int64_t y, int64_t dx, int64_t dy) {
  View& v = ctx.view;
  if (!ctx.shell.crossHairMode) {
    if (!dx && !dy) return;
    setCursorFromPixel(v, ctx.params, x, y);
    ctx.shell.queryRefreshSeconds = 2;
    if (ctx.shell.hooks.cursorMoved) ctx.shell.hooks.cursorMoved(ctx);
    return;
  }
  // Carry what the snap took off, so slow motion still adds up to a snap.
  const int64_t wx = int64_t{v.snapRemainderX} + pixelLengthToWorld(v, dx);
  const int64_t wy = int64_t{v.snapRemainderY} - pixelLengthToWorld(v, dy);
  int64_t panX = 0, panY = 0;
  moveCursorBy(v, ctx.params, static_cast<int32_t>(std::clamp<int64_t>(wx, INT32_MIN + 1, INT32_MAX)),
               static_cast<int32_t>(std::clamp<int64_t>(wy, INT32_MIN + 1, INT32_MAX)), ctx.current != kNull, &panX,
               &panY);
  if (panX || panY) ctx.host->redrawView();
  ctx.shell.queryRefreshSeconds = 2;
  if (ctx.shell.hooks.cursorMoved) ctx.shell.hooks.cursorMoved(ctx);
}

}  // namespace

void leftButtonDown(Context& ctx, int64_t x, int64_t y) {
  ShellState& s = ctx.shell;
  noteUserInput(ctx);
  ctx.input.leftDown = true;
  if (s.dialogSuspend) return;
  s.menuSuspend = 0;
  s.pressTick = 0;
  if (giveKeyHook(ctx, kKeyEnter)) return;
  if (!s.crossHairMode) {
    if (anyInteraction(s) || !s.prefs.zoomWithMouse || grabListBusy(ctx) || ctx.input.rightDown) {
      if (ctx.input.rightDown) endDrag(ctx);
      s.dragTicks = 0;
      enterTrelmoMode(ctx);
    } else if (ctx.current != kNull) {
      startDrag(ctx);
    }
    return;
  }
  s.dragTicks = 0;
  s.pressTick = s.tickCount ? s.tickCount : 1;
  if (!acceptAction(ctx)) openPopupOrMenuBar(ctx);
}

void leftButtonUp(Context& ctx, int64_t, int64_t) {
  ShellState& s = ctx.shell;
  noteUserInput(ctx);
  ctx.input.leftDown = false;
  if (s.dialogSuspend || s.keyHook) return;
  if (!s.crossHairMode && s.dragTicks && s.prefs.zoomWithMouse) {
    endDrag(ctx);
    if (s.dragTicks < kClickTicks) executeFunction(ctx, fc('Z', 'I'), kFromMacro);
  } else if (s.crossHairMode && s.pressTick && s.tickCount - s.pressTick >= kHoldRepeatTicks) {
    repeatAction(ctx);
  }
  s.pressTick = 0;
  s.dragTicks = 0;
}

void rightButtonDown(Context& ctx, int64_t, int64_t) {
  ShellState& s = ctx.shell;
  noteUserInput(ctx);
  ctx.input.rightDown = true;
  if (s.dialogSuspend || ctx.current == kNull) return;
  // A popup menu still up closes itself on this click in the front end.
  if (s.crossHairMode) {
    s.dragTicks = 1;
    ctx.input.dragDX = ctx.input.dragDY = 0;
  } else if (ctx.input.leftDown) {
    endDrag(ctx);
    s.dragTicks = 0;
    enterTrelmoMode(ctx);
  } else {
    startDrag(ctx);
  }
}

void rightButtonUp(Context& ctx, int64_t, int64_t) {
  ShellState& s = ctx.shell;
  noteUserInput(ctx);
  ctx.input.rightDown = false;
  if (s.dialogSuspend || ctx.input.leftDown) return;
  if (!s.windowsMode && !s.crossHairMode) {
    ctx.host->attachMenuBar(true);
    s.windowsMode = true;
  }
  if (!s.crossHairMode) endDrag(ctx);
  const uint32_t drag = s.dragTicks;
  s.dragTicks = 0;
  if (drag & kDragPanned) {
    keepCursorInside(ctx);
    if (s.crossHairMode) ctx.host->showCrossHair(true);
    return;
  }
  s.menuSuspend = 0;
  if (giveKeyHook(ctx, kKeyEscape) || cancelAction(ctx)) return;
  if (drag < 1 || drag >= kClickTicks) return;
  if (s.crossHairMode)
    leaveTrelmoMode(ctx, true);
  else if (s.prefs.zoomWithMouse)
    executeFunction(ctx, fc('Z', 'O'), kFromMacro);
  else
    showMessage(ctx, kMessageNothingToEscape);
}

void mouseMove(Context& ctx, int64_t x, int64_t y) {
  ShellState& s = ctx.shell;
  InputState& in = ctx.input;
  noteUserInput(ctx);
  if (s.dialogSuspend == 2) {
    s.dialogSuspend = 0;
    setCursorFromPixel(ctx.view, ctx.params, x, y);
    enterTrelmoMode(ctx);
    return;
  }
  if (s.startupPhase < 1 || s.keyHook || s.dialogSuspend || s.menuSuspend) {
    in.lastX = x;
    in.lastY = y;
    return;
  }
  const int64_t dx = x - in.lastX, dy = y - in.lastY;
  if (dx || dy) s.lastInputSource = kFromMenuBar;
  if (s.crossHairMode) recentrePointer(ctx, x, y);
  in.lastX = x;
  in.lastY = y;
  if (!in.leftDown && !in.rightDown) s.dragTicks = 0;
  if (s.dragTicks)
    dragMove(ctx, dx, dy);
  else
    trackCursor(ctx, x, y, dx, dy);
}

}  // namespace trelmo
