#include "app/input_events.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "app/keyboard_state.h"
#include "context.h"
#include "shell/input.h"
#include "shell/keys.h"

namespace trelmo {

namespace {

// X11 and Wayland report the Linux input code plus 8; elsewhere the key
// value is mapped through the fallback table.
int scanCodeOf(const QKeyEvent& e) {
  const quint32 native = e.nativeScanCode();
  if (native > 8)
    if (const int scan = scanCodeFromEvdev(static_cast<int>(native) - 8)) return scan;
  return scanCodeFromToolkitKey(e.key(), e.modifiers() & Qt::KeypadModifier);
}

// Modifier and lock keys keep their own bookkeeping in the core.
bool isModifierOrLock(int scan) {
  switch (scan & 0xFF) {
    case 29:
    case 42:
    case 54:
    case 56:
    case 58:
    case 69:
    case 70:
      return true;
    default:
      return false;
  }
}

}  // namespace

void syncKeyboardState(Context& ctx, Qt::KeyboardModifiers modifiers) {
  const uint8_t current = ctx.input.keyFlags;
  const uint8_t flags = app::modifierFlags(modifiers, current) | app::lockFlags(current) | (current & kInsert);
  setKeyboardState(ctx, flags, ctx.input.keyToggleHeld);
}

void forwardKeyEvent(Context& ctx, const QKeyEvent& e, bool down) {
  const int scan = scanCodeOf(e);
  if (!scan) return;
  // A release that went to a menu or a box never reached the program: the
  // state is taken from the system with every other key.
  if (!isModifierOrLock(scan)) syncKeyboardState(ctx, e.modifiers());
  if (down)
    keyDown(ctx, scan);
  else
    keyUp(ctx, scan);
}

void forwardMousePress(Context& ctx, const QMouseEvent& e) {
  const QPoint p = e.position().toPoint();
  if (e.button() == Qt::LeftButton) leftButtonDown(ctx, p.x(), p.y());
  if (e.button() == Qt::RightButton) rightButtonDown(ctx, p.x(), p.y());
}

void forwardMouseRelease(Context& ctx, const QMouseEvent& e) {
  const QPoint p = e.position().toPoint();
  if (e.button() == Qt::LeftButton) leftButtonUp(ctx, p.x(), p.y());
  if (e.button() == Qt::RightButton) rightButtonUp(ctx, p.x(), p.y());
}

void forwardMouseMove(Context& ctx, const QMouseEvent& e) {
  const QPoint p = e.position().toPoint();
  mouseMove(ctx, p.x(), p.y());
}

void forwardActivation(Context& ctx, bool active) {
  if (active) syncKeyboardState(ctx, QGuiApplication::queryKeyboardModifiers());
  activationChanged(ctx, active, ctx.input.keyFlags, ctx.input.keyToggleHeld);
}

}  // namespace trelmo
