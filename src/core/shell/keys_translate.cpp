#include "context.h"
#include "resources/key_tables.h"
#include "shell/keys.h"

namespace trelmo {

namespace {

constexpr int kFirstKeypad = 71, kLastKeypad = 83;
constexpr int kGreyOffset = 20;
constexpr int kPrintScreen =
    55;  // extended; plain 55 is keypad *  // extended 71-83 become 91-103, apart from the keypad

bool isKeypad(int scan) { return scan >= kFirstKeypad && scan <= kLastKeypad; }

// The digit of a keypad key, -1 for keypad minus and plus.
int keypadDigit(int scan) {
  static constexpr int kDigits[13] = {7, 8, 9, -1, 4, 5, 6, -1, 1, 2, 3, 0, -1};
  return isKeypad(scan) ? kDigits[scan - kFirstKeypad] : -1;
}

void setFlag(InputState& in, uint8_t bit, bool on) {
  if (on)
    in.keyFlags |= bit;
  else
    in.keyFlags &= static_cast<uint8_t>(~bit);
}

// Lock keys toggle once per press, however long auto-repeat runs.
void toggleKey(InputState& in, uint8_t bit, bool down) {
  if (!down) {
    in.keyToggleHeld &= static_cast<uint8_t>(~bit);
    return;
  }
  if (in.keyToggleHeld & bit) return;
  in.keyToggleHeld |= bit;
  in.keyFlags ^= bit;
}

int columnFor(uint8_t flags, int scan) {
  const bool shift = flags & (kLeftShift | kRightShift);
  if (flags & kAlt) return kColumnAlt;
  if (flags & kCtrl) return kColumnCtrl;
  if (isKeypad(scan)) return ((flags & kNumLock) != 0) != shift ? kColumnShift : kColumnNormal;
  return shift ? kColumnShift : kColumnNormal;
}

}  // namespace

uint16_t translateKey(Context& ctx, int scanAndFlag, bool down) {
  InputState& in = ctx.input;
  int scan = scanAndFlag & 0xFF;
  if (scanAndFlag & kExtendedKey) {
    if (isKeypad(scan))
      scan += kGreyOffset;
    else if (scan > kLastKeypad || scan == kPrintScreen)
      return 0;  // the system keys and Print Screen: their codes would be the grey block's or keypad *
  }
  switch (scan) {
    case 29:
      setFlag(in, kCtrl, down);
      return 0;
    case 56:
    case 96:
      setFlag(in, kAlt, down);
      if (!down) {
        const uint16_t typed = in.altNumber;
        in.altNumber = 0;
        return typed;
      }
      return 0;
    case 42:
      if (down)
        in.keyFlags |= kLeftShift;
      else
        in.keyFlags &= static_cast<uint8_t>(~(kLeftShift | kRightShift));
      return 0;
    case 54:
      setFlag(in, kRightShift, down);
      return 0;
    case 58:
      toggleKey(in, kCapsLock, down);
      return 0;
    case 69:
      toggleKey(in, kNumLock, down);
      return 0;
    case 70:
      toggleKey(in, kScrollLock, down);
      return 0;
    default:
      break;
  }
  if (!down || scan >= kKeyScanCodes) return 0;
  if ((in.keyFlags & kAlt) && keypadDigit(scan) >= 0) {
    in.altNumber = static_cast<uint8_t>((in.altNumber * 10 + keypadDigit(scan)) % 256);
    return 0;
  }
  uint16_t code = keyRecord(scan).codes[columnFor(in.keyFlags, scan)];
  if (code == 0x52E0 || code == 0x5200) {
    in.keyFlags ^= kInsert;
    return 0;
  }
  const int letter = code & 0xDF & 0xFF;
  if ((in.keyFlags & kCapsLock) && (code & 0xFF) >= 'A' && letter >= 'A' && letter <= 'Z') code ^= 0x20;
  return code;
}

void setKeyboardState(Context& ctx, uint8_t flags, uint8_t toggleHeld) {
  ctx.input.keyFlags = flags;
  ctx.input.keyToggleHeld = toggleHeld & (kScrollLock | kNumLock | kCapsLock | kInsert);
}

}  // namespace trelmo
