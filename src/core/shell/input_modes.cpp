#include <algorithm>

#include "context.h"
#include "shell/design_busy.h"
#include "shell/input.h"
#include "shell/keys.h"

namespace trelmo {

namespace {

constexpr int kMinConfineWidth = 32, kMinConfineHeight = 24;

// World units per grid snap, at least one.
int32_t snapUnits(const Params& p) { return std::max<int32_t>(1, static_cast<int32_t>(p.snapStep >> 16)); }

// Whole snaps that cover `pixels` at the current zoom.
int32_t snapsFor(const Context& ctx, int64_t pixels) {
  const int64_t world = pixelLengthToWorld(ctx.view, pixels);
  const int64_t step = snapUnits(ctx.params);
  return static_cast<int32_t>(std::min<int64_t>((world + step - 1) / step + 1, 1 << 20));
}

// The cross-hair must not start closer than 16 pixels (12 vertically) to the
// edge of the confinement rectangle: step the cursor inward by grid snaps.
void stepCursorInside(Context& ctx) {
  View& v = ctx.view;
  const InputState& in = ctx.input;
  const int32_t step = snapUnits(ctx.params);
  updateCursorPixel(v);
  int64_t dx = 0, dy = 0;
  if (v.cursorPixelX < in.confineLeft + kCursorMarginX)
    dx = snapsFor(ctx, in.confineLeft + kCursorMarginX - v.cursorPixelX);
  if (v.cursorPixelX > in.confineRight - kCursorMarginX)
    dx = -snapsFor(ctx, v.cursorPixelX - (in.confineRight - kCursorMarginX));
  if (v.cursorPixelY < in.confineTop + kCursorMarginY)
    dy = -snapsFor(ctx, in.confineTop + kCursorMarginY - v.cursorPixelY);
  if (v.cursorPixelY > in.confineBottom - kCursorMarginY)
    dy = snapsFor(ctx, v.cursorPixelY - (in.confineBottom - kCursorMarginY));
  if (!dx && !dy) return;
  v.cursorX = static_cast<int32_t>(std::clamp<int64_t>(v.cursorX + dx * step, INT32_MIN + 1, INT32_MAX));
  v.cursorY = static_cast<int32_t>(std::clamp<int64_t>(v.cursorY + dy * step, INT32_MIN + 1, INT32_MAX));
  snapCursor(v, ctx.params);
}

void chooseConfinement(Context& ctx) {
  InputState& in = ctx.input;
  const Rect& a = ctx.view.area;
  in.confineLeft = a.left;
  in.confineTop = a.top;
  in.confineRight = std::max(a.right, a.left + kMinConfineWidth - 1);
  in.confineBottom = std::max(a.bottom, a.top + kMinConfineHeight - 1);
}

void centrePointer(Context& ctx) {
  InputState& in = ctx.input;
  in.lastX = (in.confineLeft + in.confineRight + 1) / 2;
  in.lastY = (in.confineTop + in.confineBottom + 1) / 2;
  ctx.host->warpPointer(static_cast<int>(in.lastX), static_cast<int>(in.lastY));
}

void saveCursor(Context& ctx) {
  ctx.input.savedCursorX = ctx.view.cursorX;
  ctx.input.savedCursorY = ctx.view.cursorY;
}

void restoreCursor(Context& ctx) {
  ctx.view.cursorX = ctx.input.savedCursorX;
  ctx.view.cursorY = ctx.input.savedCursorY;
  updateCursorPixel(ctx.view);
}

}  // namespace

bool grabListBusy(const Context& ctx) {
  const Handle grab = ctx.rings[kGrabList];
  return ctx.pool.valid(grab) && ctx.rec(grab).next != grab;
}

void enterTrelmoMode(Context& ctx) {
  ShellState& s = ctx.shell;
  Host& host = *ctx.host;
  host.setPointerShape(PointerShape::Hidden);
  if (s.windowsMode) {
    host.attachMenuBar(false);
    s.windowsMode = false;
  }
  chooseConfinement(ctx);
  stepCursorInside(ctx);
  centrePointer(ctx);
  const InputState& in = ctx.input;
  host.confinePointer(true, in.confineLeft, in.confineTop, in.confineRight, in.confineBottom);
  host.capturePointer(true);
  ctx.input.captured = true;
  s.crossHairMode = true;
  ctx.view.windowsMode = false;
  ctx.input.crossHairShown = true;
  host.showCrossHair(true);
}

void leaveTrelmoMode(Context& ctx, bool restoreMenuBar) {
  ShellState& s = ctx.shell;
  Host& host = *ctx.host;
  if (s.crossHairMode) {
    ctx.input.crossHairShown = false;
    host.showCrossHair(false);
    s.acceptHooks = {};
    const Hook worker = s.cancelHooks[kWorkerHookSlot];
    s.cancelHooks = {};
    s.cancelHooks[kWorkerHookSlot] = worker;
    s.blockAnimating = false;
    ctx.screen.rubber.on = false;
    host.confinePointer(false, 0, 0, 0, 0);
    host.capturePointer(false);
    ctx.input.captured = false;
    s.crossHairMode = false;
    ctx.view.windowsMode = true;
    // The menu bar first: it moves the drawing area, and the pointer goes to
    // the cross-hair's place in the area as it will be.
    if (restoreMenuBar && !s.windowsMode) {
      host.attachMenuBar(true);
      s.windowsMode = true;
    }
    updateCursorPixel(ctx.view);
    ctx.input.lastX = ctx.view.cursorPixelX;
    ctx.input.lastY = ctx.view.cursorPixelY;
    host.warpPointer(static_cast<int>(ctx.input.lastX), static_cast<int>(ctx.input.lastY));
    host.setPointerShape(PointerShape::Arrow);
  }
  if (restoreMenuBar && !s.windowsMode) {
    host.attachMenuBar(true);
    s.windowsMode = true;
  }
}

void suspendForDialog(Context& ctx, bool on) {
  ShellState& s = ctx.shell;
  InputState& in = ctx.input;
  if (on) {
    if (s.dialogSuspend == 1) return;
    in.dialogWasTrelmo = s.crossHairMode;
    saveCursor(ctx);
    if (s.crossHairMode) leaveTrelmoMode(ctx, false);
    in.savedPointerX = in.lastX;
    in.savedPointerY = in.lastY;
    const Rect& a = ctx.view.area;
    ctx.host->warpPointer((a.left + a.right + 1) / 2, (a.top + a.bottom + 1) / 2);
    s.dialogSuspend = 1;
    return;
  }
  if (s.dialogSuspend != 1) return;
  s.dialogSuspend = 0;
  in.lastX = in.savedPointerX;
  in.lastY = in.savedPointerY;
  ctx.host->warpPointer(static_cast<int>(in.lastX), static_cast<int>(in.lastY));
  if (in.dialogWasTrelmo) {
    restoreCursor(ctx);
    enterTrelmoMode(ctx);
  }
}

void suspendForMenu(Context& ctx, int kind) {
  ShellState& s = ctx.shell;
  InputState& in = ctx.input;
  if (kind != 0) {
    if (s.menuSuspend == 0) {
      in.menuWasTrelmo = s.crossHairMode;
      saveCursor(ctx);
    }
    if (s.crossHairMode) leaveTrelmoMode(ctx, kind == 1);
    s.menuSuspend = static_cast<int8_t>(kind < 0 ? -1 : 1);
    return;
  }
  if (s.menuSuspend != 0 && in.menuWasTrelmo && !s.crossHairMode) {
    restoreCursor(ctx);
    enterTrelmoMode(ctx);
  }
  s.menuSuspend = 0;
}

void activationChanged(Context& ctx, bool active, uint8_t keyFlags, uint8_t toggleHeld) {
  ShellState& s = ctx.shell;
  if (s.startupPhase < 1 || s.minimised) return;
  s.menuSuspend = 0;
  s.dragTicks = 0;
  if (active) {
    setKeyboardState(ctx, keyFlags, toggleHeld);
    return;
  }
  if (s.dialogSuspend) return;
  if (s.keyHook) {
    KeyHook hook = s.keyHook;
    hook(ctx, kKeyEscape);
  }
  if (grabListBusy(ctx) && s.hooks.releaseGrab) s.hooks.releaseGrab(ctx);
  leaveTrelmoMode(ctx, true);
}

}  // namespace trelmo
