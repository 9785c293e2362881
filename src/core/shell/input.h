// The two input modes and the event entry points the front end calls: key
// presses and releases by scan code, mouse buttons and motion, activation,
// menus and dialogs. Mouse positions are drawing-surface pixels.
#pragma once
#include <cstdint>

namespace trelmo {

struct Context;

constexpr uint32_t kDragPanned = 0x10000;  // dragTicks: the drag has panned the view
constexpr int32_t kHoldRepeatTicks = 6;    // a left press held this long acts again on release
constexpr uint32_t kClickTicks = 8;        // shorter button presses are clicks
constexpr int kDragSlack = 10;             // pixels a drag may wander before it pans

// Plugs the keyboard, macro and mode logic into the shell's hooks and
// registers Setup Keystrokes (SK). Call once per context.
void installInputHandlers(Context& ctx);

void enterTrelmoMode(Context& ctx);
void leaveTrelmoMode(Context& ctx, bool restoreMenuBar);
void suspendForDialog(Context& ctx, bool on);
// 1 = the menu bar, -1 = a popup menu, 0 = resume.
void suspendForMenu(Context& ctx, int kind);

// Keyboard events (scan code with kExtendedKey for extended keys).
void keyDown(Context& ctx, int scan);
void keyUp(Context& ctx, int scan);
// Every key code, typed or from a macro, goes through here.
void dispatchKey(Context& ctx, uint16_t key);

void leftButtonDown(Context& ctx, int64_t x, int64_t y);
void leftButtonUp(Context& ctx, int64_t x, int64_t y);
void rightButtonDown(Context& ctx, int64_t x, int64_t y);
void rightButtonUp(Context& ctx, int64_t x, int64_t y);
void mouseMove(Context& ctx, int64_t x, int64_t y);

// The main window gained or lost the focus; `keyFlags` is the keyboard state
// as the system reports it (KeyFlag bits), `toggleHeld` which lock keys are down.
void activationChanged(Context& ctx, bool active, uint8_t keyFlags, uint8_t toggleHeld);
// A menu closed: the front end resumes TRELMO mode with suspendForMenu(ctx, 0)
// when the command came from the keyboard or a popup (lastInputSource < 3).

// Cursor keys: moves by whole grid snaps in TRELMO mode, by pixels otherwise.
void moveCursorSteps(Context& ctx, int dx, int dy);
// Typed cursor position: installs the key hook and gives it the first key.
void startCursorEntry(Context& ctx, uint16_t firstKey);

// The grab list holds items.
bool grabListBusy(const Context& ctx);

}  // namespace trelmo
