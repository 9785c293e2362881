// The keyboard part of the start-up data block: for every scan code 0-127
// the key codes in the PC BIOS convention (scan code high, character low) and
// the key names used by keystroke macros, in the columns normal, Shift, Ctrl
// and Alt.
#pragma once
#include <cstdint>
#include <string_view>

namespace trelmo {

constexpr int kKeyScanCodes = 128;
constexpr int kKeyColumns = 4;
constexpr int kKeyNameMax = 6;

enum KeyColumn { kColumnNormal = 0, kColumnShift = 1, kColumnCtrl = 2, kColumnAlt = 3 };

struct KeyRecord {
  uint16_t codes[kKeyColumns];
  const char* names[kKeyColumns];  // up to 6 characters; empty when the key has no such form
};

// The record of a scan code; codes above 127 give the empty record 0.
const KeyRecord& keyRecord(int scan);

}  // namespace trelmo
