#include <iterator>

#include "resources/key_tables.h"
#include "shell/keys.h"

namespace trelmo {

namespace {

// Linux input codes above the main block, with their set-1 extended codes.
struct Pair {
  int from, scan;
};
constexpr Pair kEvdevExtended[] = {
    {96, 28 | kExtendedKey},   // keypad Enter
    {97, 29 | kExtendedKey},   // right Ctrl
    {98, 53 | kExtendedKey},   // keypad /
    {99, 55 | kExtendedKey},   // Print Screen
    {100, 56 | kExtendedKey},  // right Alt
    {102, 71 | kExtendedKey}, {103, 72 | kExtendedKey}, {104, 73 | kExtendedKey}, {105, 75 | kExtendedKey},
    {106, 77 | kExtendedKey}, {107, 79 | kExtendedKey}, {108, 80 | kExtendedKey}, {109, 81 | kExtendedKey},
    {110, 82 | kExtendedKey}, {111, 83 | kExtendedKey},
};

// Toolkit key values of the keys without a character.
constexpr int kSpecial = 0x01000000;
constexpr Pair kToolkitKeys[] = {
    {kSpecial + 0x00, 1},                  // Escape
    {kSpecial + 0x01, 15},                 // Tab
    {kSpecial + 0x02, 15},                 // Backtab
    {kSpecial + 0x03, 14},                 // Backspace
    {kSpecial + 0x04, 28},                 // Return
    {kSpecial + 0x05, 28 | kExtendedKey},  // Enter
    {kSpecial + 0x06, 82 | kExtendedKey},
    {kSpecial + 0x07, 83 | kExtendedKey},  // Insert, Delete
    {kSpecial + 0x09, 55 | kExtendedKey},  // Print
    {kSpecial + 0x10, 71 | kExtendedKey},
    {kSpecial + 0x11, 79 | kExtendedKey},  // Home, End
    {kSpecial + 0x12, 75 | kExtendedKey},
    {kSpecial + 0x13, 72 | kExtendedKey},  // Left, Up
    {kSpecial + 0x14, 77 | kExtendedKey},
    {kSpecial + 0x15, 80 | kExtendedKey},  // Right, Down
    {kSpecial + 0x16, 73 | kExtendedKey},
    {kSpecial + 0x17, 81 | kExtendedKey},  // PageUp, PageDown
    {kSpecial + 0x20, 42},                 // Shift
    {kSpecial + 0x21, 29},                 // Control
    {kSpecial + 0x23, 56},                 // Alt
    {kSpecial + 0x24, 58},                 // Caps Lock
    {kSpecial + 0x25, 69},                 // Num Lock
    {kSpecial + 0x26, 70},                 // Scroll Lock
};

// The keypad: its grey keys as reached with Num Lock off, and its digits.
constexpr Pair kKeypadKeys[] = {
    {'0', 82},
    {'1', 79},
    {'2', 80},
    {'3', 81},
    {'4', 75},
    {'5', 76},
    {'6', 77},
    {'7', 71},
    {'8', 72},
    {'9', 73},
    {'.', 83},
    {'*', 55},
    {'-', 74},
    {'+', 78},
    {'/', 53 | kExtendedKey},
    {kSpecial + 0x05, 28 | kExtendedKey},
    {kSpecial + 0x06, 82},
    {kSpecial + 0x07, 83},
    {kSpecial + 0x10, 71},
    {kSpecial + 0x11, 79},
    {kSpecial + 0x12, 75},
    {kSpecial + 0x13, 72},
    {kSpecial + 0x14, 77},
    {kSpecial + 0x15, 80},
    {kSpecial + 0x16, 73},
    {kSpecial + 0x17, 81},
    {kSpecial + 0x0B, 76},  // Clear: keypad 5
};

int find(const Pair* table, size_t n, int key) {
  for (size_t i = 0; i < n; ++i)
    if (table[i].from == key) return table[i].scan;
  return 0;
}

// A printable character: the main-block key that types it, unshifted or shifted.
int scanOfCharacter(int c) {
  for (int scan = 1; scan < 0x36; ++scan) {
    const KeyRecord& r = keyRecord(scan);
    if ((r.codes[kColumnNormal] & 0xFF) == c || (r.codes[kColumnShift] & 0xFF) == c) return scan;
  }
  return 0;
}

}  // namespace

int scanCodeFromEvdev(int code) {
  if (code > 0 && code <= 88 && code != 84 && code != 85) return code;
  return find(kEvdevExtended, std::size(kEvdevExtended), code);
}

int scanCodeFromToolkitKey(int key, bool keypad) {
  if (keypad)
    if (const int scan = find(kKeypadKeys, std::size(kKeypadKeys), key)) return scan;
  if (key >= kSpecial + 0x30 && key <= kSpecial + 0x39) return 59 + key - (kSpecial + 0x30);  // F1-F10
  if (key == kSpecial + 0x3A || key == kSpecial + 0x3B) return 87 + key - (kSpecial + 0x3A);  // F11, F12
  if (key == ' ') return 57;
  if (key > ' ' && key < 127) {
    const int lower = key >= 'A' && key <= 'Z' ? key + 32 : key;
    return scanOfCharacter(lower);
  }
  return find(kToolkitKeys, std::size(kToolkitKeys), key);
}

}  // namespace trelmo
