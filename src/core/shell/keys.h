// Key codes: the program's own translation of scan codes into 16-bit codes
// in the PC BIOS convention, and the key names of keystroke macros.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace trelmo {

struct Context;

constexpr uint16_t kKeyEnter = 0x1C0D;
constexpr uint16_t kKeyEscape = 0x011B;
constexpr uint16_t kKeySpace = 0x3920;
constexpr uint16_t kKeyBackspace = 0x0E08;
constexpr int kExtendedKey = 0x100;  // added to a scan code for the extended keys

// Translates a key press or release. `scan` is the PC set-1 scan code with
// kExtendedKey set for extended keys. Modifier and lock keys update the
// keyboard state and give 0; so do releases, except that releasing Alt gives
// the number typed on the keypad meanwhile (0 when none).
uint16_t translateKey(Context& ctx, int scan, bool down);

// Scan codes from what the front end's toolkit reports: a Linux input
// (evdev) key code, or, where no native code is given, the toolkit's key
// value (the Qt::Key numbering; printable keys by their character) with a
// flag for keys of the numeric keypad. 0 when unknown.
int scanCodeFromEvdev(int evdevCode);
int scanCodeFromToolkitKey(int key, bool keypad);

// The keyboard state as the system reports it on activation.
void setKeyboardState(Context& ctx, uint8_t flags, uint8_t toggleHeld);

// The code of the first key whose name matches the first word of `name` (up
// to 6 characters, ended by a space or control character); names longer than
// one character match without regard to case. An empty name is Space; an
// unknown one gives 0.
uint16_t keyNameToCode(std::string_view name);
// The name of the first key with this code, empty when none.
std::string keyCodeToName(uint16_t code);

}  // namespace trelmo
