// What the keyboard, mouse and keystroke-macro logic keeps between events.
#pragma once
#include <cstdint>
#include <string>

#include "shell/shell_state.h"

namespace trelmo {

constexpr size_t kMacroRunMax = 4095;
constexpr size_t kMacroRecordMax = 4080;
constexpr size_t kCursorEntryMax = 255;

// Keyboard state in the PC BIOS flag layout.
enum KeyFlag : uint8_t {
  kRightShift = 1,
  kLeftShift = 2,
  kCtrl = 4,
  kAlt = 8,
  kScrollLock = 16,
  kNumLock = 32,
  kCapsLock = 64,
  kInsert = 128,
};

// Placement parameters that live for the whole run (the ones that a data
// file stores are in the file's parameter block).
struct PlacementParams {
  uint16_t arcWidth = 655;
  int32_t arcRadius = 6554;
  uint16_t arcStart = 0, arcSweep = 0;
  int32_t arcEccentricity = 65536;  // r/R, 16.16
  uint16_t arcAxis = 0;
  std::string pinName;
  uint16_t padRotation = 0;
  uint16_t textRotation = 0;
  uint8_t textAnchor = 0;
  bool textMirror = false;
};

// Work of subsystems that the keys and buttons reach directly; each may stay
// empty (the key then gives the Beep sound).
struct InputHooks {
  Hook dropGrab;                        // commit the grab list (a click with items grabbed)
  Hook rotateBlock;                     // R with a block: a quarter turn of its placement angle
  Hook swapImages;                      // Alt-M: current and alternate picture
  Hook toggleQueryBoxes;                // Alt-Q
  std::function<bool(Context&)> paste;  // Ctrl-V; false when there is nothing to paste
};

struct InputState {
  uint8_t keyFlags = 0;
  uint8_t keyToggleHeld = 0;
  uint8_t altNumber = 0;

  // Mouse.
  bool leftDown = false, rightDown = false;
  bool captured = false;
  int64_t lastX = 0, lastY = 0;    // pointer, drawing-surface pixels
  int64_t dragDX = 0, dragDY = 0;  // movement held back at the start of a drag
  int confineLeft = 0, confineTop = 0, confineRight = 0, confineBottom = 0;
  bool crossHairShown = false;

  // Suspension for dialogs and menus: the mode and cursor to come back to.
  bool dialogWasTrelmo = false, menuWasTrelmo = false;
  int32_t savedCursorX = 0, savedCursorY = 0;
  int64_t savedPointerX = 0, savedPointerY = 0;

  // Keystroke macros.
  std::string runText;
  size_t runPos = 0;
  bool insideRunLoop = false;
  uint32_t runGeneration = 0;  // counts texts started, so a replaced text stops its caller's repeats
  std::string recording;
  size_t lengthBeforeKey = 0;     // recording length before the last key added
  size_t lengthBeforePrefix = 0;  // ... and before the last menu-prefix key

  // Typed cursor position.
  std::string cursorEntry;

  PlacementParams placement;
  InputHooks hooks;
};

}  // namespace trelmo
