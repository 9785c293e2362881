// The keyboard state as the window system has it: the modifiers of a key
// event or of the moment, and the lock keys as the keyboard lights show them.
#pragma once
#include <Qt>
#include <cstdint>

namespace trelmo::app {

// Shift, Ctrl and Alt in the program's key-flag bits. A held Shift keeps the
// side `current` knows of (left when it knows none).
uint8_t modifierFlags(Qt::KeyboardModifiers modifiers, uint8_t current);
// Caps Lock, Num Lock and Scroll Lock from the keyboard's indicators where the
// platform tells them (X11: the XKB indicator state); elsewhere those bits of
// `current`.
uint8_t lockFlags(uint8_t current);

}  // namespace trelmo::app
