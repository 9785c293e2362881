#include "app/input_events.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

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

}  // namespace

void forwardKeyEvent(Context& ctx, const QKeyEvent& e, bool down) {
  const int scan = scanCodeOf(e);
  if (!scan) return;
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
  uint8_t flags = 0;
  const Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
  if (m & Qt::ShiftModifier) flags |= kLeftShift;
  if (m & Qt::ControlModifier) flags |= kCtrl;
  if (m & Qt::AltModifier) flags |= kAlt;
  // Qt does not report the lock keys: keep the state the program already has.
  flags |= ctx.input.keyFlags & (kScrollLock | kNumLock | kCapsLock | kInsert);
  activationChanged(ctx, active, flags, 0);
}

}  // namespace trelmo
