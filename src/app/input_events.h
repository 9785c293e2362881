// Qt's key and mouse events handed to the core's input logic: the canvas
// calls these from its event handlers.
#pragma once
#include <Qt>

class QKeyEvent;
class QMouseEvent;

namespace trelmo {

struct Context;

// Key press or release (auto-repeat included, as the keyboard sends it).
void forwardKeyEvent(Context& ctx, const QKeyEvent& event, bool down);
// Button press, release or motion; positions are the canvas's pixels, which
// are the drawing surface's.
void forwardMousePress(Context& ctx, const QMouseEvent& event);
void forwardMouseRelease(Context& ctx, const QMouseEvent& event);
void forwardMouseMove(Context& ctx, const QMouseEvent& event);
// The keyboard state read again from the system: Shift, Ctrl and Alt as
// given, the lock keys from the keyboard.
void syncKeyboardState(Context& ctx, Qt::KeyboardModifiers modifiers);
// The window became active: the keyboard state is read again.
void forwardActivation(Context& ctx, bool active);

}  // namespace trelmo
