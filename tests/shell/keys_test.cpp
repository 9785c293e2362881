#include "shell/keys.h"

#include <gtest/gtest.h>

#include "context.h"
#include "resources/key_tables.h"

namespace trelmo {
namespace {

constexpr int kLShift = 42, kCtrlKey = 29, kAltKey = 56, kCaps = 58, kNumLockKey = 69;
constexpr int kA = 30, kKeypad8 = 72, kKeypad6 = 77, kKeypad5 = 76, kInsertKey = 82, kF1 = 59;

struct Keyboard {
  Context ctx;
  uint16_t press(int scan) { return translateKey(ctx, scan, true); }
  uint16_t release(int scan) { return translateKey(ctx, scan, false); }
  uint16_t tap(int scan) {
    const uint16_t code = press(scan);
    EXPECT_EQ(release(scan), 0);
    return code;
  }
};

TEST(TranslateKey, ShiftAndCapsLockChooseTheLetterCase) {
  Keyboard k;
  EXPECT_EQ(k.tap(kA), 0x1E61);
  k.press(kLShift);
  EXPECT_EQ(k.tap(kA), 0x1E41);
  k.release(kLShift);
  EXPECT_EQ(k.tap(kA), 0x1E61);

  // Auto-repeat of Caps Lock toggles once.
  k.press(kCaps);
  k.press(kCaps);
  k.release(kCaps);
  EXPECT_EQ(k.tap(kA), 0x1E41);
  k.press(kLShift);
  EXPECT_EQ(k.tap(kA), 0x1E61) << "Shift with Caps Lock gives lower case";
  k.release(kLShift);
  EXPECT_EQ(k.tap(2), 0x0231) << "digits are not letters";
  k.tap(kCaps);
  EXPECT_EQ(k.tap(kA), 0x1E61);
}

TEST(TranslateKey, NumLockAndShiftOnTheKeypadAndTheGreyBlock) {
  Keyboard k;
  EXPECT_EQ(k.tap(kKeypad8), 0x4800);
  k.tap(kNumLockKey);
  EXPECT_EQ(k.tap(kKeypad8), 0x4838);
  k.press(kLShift);
  EXPECT_EQ(k.tap(kKeypad8), 0x4800) << "Shift inverts Num Lock on the keypad";
  k.release(kLShift);
  // The grey arrow is an extended key: never a digit, never the keypad code.
  EXPECT_EQ(k.tap(kKeypad8 | kExtendedKey), 0x48E0);
  k.press(kCtrlKey);
  EXPECT_EQ(k.tap(kKeypad8 | kExtendedKey), 0x8DE0);
  k.release(kCtrlKey);
  EXPECT_EQ(k.tap(kF1), 0x3B00);
}

TEST(TranslateKey, AltWithKeypadDigitsTypesANumberOnRelease) {
  Keyboard k;
  k.tap(kNumLockKey);
  k.press(kAltKey);
  EXPECT_EQ(k.tap(kKeypad6), 0);
  EXPECT_EQ(k.tap(kKeypad5), 0);
  EXPECT_EQ(k.release(kAltKey), 65);
  // The number is kept to a byte and starts again afterwards.
  k.press(kAltKey);
  for (int scan : {81, 82, 82}) k.tap(scan);  // 3 0 0
  EXPECT_EQ(k.release(kAltKey), 300 % 256);
  k.press(kAltKey);
  EXPECT_EQ(k.tap(kF1), 0x6800);
  EXPECT_EQ(k.release(kAltKey), 0);
}

TEST(TranslateKey, InsertTogglesItsFlagInsteadOfGivingACode) {
  Keyboard k;
  EXPECT_EQ(k.tap(kInsertKey), 0);
  EXPECT_TRUE(k.ctx.input.keyFlags & kInsert);
  EXPECT_EQ(k.tap(kInsertKey | kExtendedKey), 0);
  EXPECT_FALSE(k.ctx.input.keyFlags & kInsert);
  // Out-of-range scan codes and the extended system keys give nothing.
  EXPECT_EQ(k.tap(200), 0);
  EXPECT_EQ(k.tap(0x5B | kExtendedKey), 0);
}

TEST(KeyNames, OneCharacterNamesAreExactLongerOnesIgnoreCase) {
  EXPECT_EQ(keyNameToCode("a"), 0x1E61);
  EXPECT_EQ(keyNameToCode("A"), 0x1E41);
  EXPECT_EQ(keyNameToCode("up"), 0x4800);
  EXPECT_EQ(keyNameToCode("PGDN"), 0x5100);
  EXPECT_EQ(keyNameToCode("#esc"), 0x0100);
  EXPECT_EQ(keyNameToCode("sF1"), 0x5400);
  EXPECT_EQ(keyNameToCode("F12"), 0x8600);
  EXPECT_EQ(keyNameToCode("CR rest"), 0x1C0D) << "the name ends at a blank";
  EXPECT_EQ(keyNameToCode(""), 0x3920) << "an empty name is Space";
  EXPECT_EQ(keyNameToCode("Bogus"), 0);
  EXPECT_EQ(keyNameToCode("Center"), 0x4C00);
  EXPECT_EQ(keyNameToCode("*"), 0x092A) << "typing * is not the replay key";

  EXPECT_EQ(keyCodeToName(0x48E0), "Up");
  EXPECT_EQ(keyCodeToName(0x011B), "Esc");
  EXPECT_EQ(keyCodeToName(0x1C0A), "LF");
  EXPECT_EQ(keyCodeToName(0x372A), "PrSc");
  EXPECT_EQ(keyCodeToName(0), "");
  EXPECT_EQ(keyCodeToName(0x0041), "");
}

TEST(KeyNames, EveryPrintableCharacterIsAKeyAndEveryNameLeadsBack) {
  for (int c = 33; c < 127; ++c) {
    const char ch = static_cast<char>(c);
    const uint16_t code = keyNameToCode(std::string_view(&ch, 1));
    ASSERT_NE(code, 0) << "character " << ch;
    EXPECT_EQ(code & 0xFF, c) << "character " << ch;
  }
  for (int scan = 0; scan < kKeyScanCodes; ++scan) {
    for (int col = 0; col < kKeyColumns; ++col) {
      const KeyRecord& r = keyRecord(scan);
      EXPECT_LE(std::string_view(r.names[col]).size(), 6u) << scan;
      if (!r.codes[col]) continue;
      const std::string name = keyCodeToName(r.codes[col]);
      ASSERT_FALSE(name.empty()) << "scan " << scan << " column " << col;
      EXPECT_EQ(keyCodeToName(keyNameToCode(name)), name);
    }
  }
}

TEST(NativeScanCodes, LinuxCodesAndToolkitKeysBecomeSetOneScanCodes) {
  EXPECT_EQ(scanCodeFromEvdev(30), 30);
  EXPECT_EQ(scanCodeFromEvdev(72), 72) << "keypad 8";
  EXPECT_EQ(scanCodeFromEvdev(103), 72 | kExtendedKey) << "grey Up";
  EXPECT_EQ(scanCodeFromEvdev(100), 56 | kExtendedKey) << "right Alt";
  EXPECT_EQ(scanCodeFromEvdev(500), 0);
  EXPECT_EQ(scanCodeFromEvdev(-1), 0);

  constexpr int kQtUp = 0x01000013, kQtF1 = 0x01000030, kQtF12 = 0x0100003B;
  EXPECT_EQ(scanCodeFromToolkitKey('A', false), 30);
  EXPECT_EQ(scanCodeFromToolkitKey('!', false), 2);
  EXPECT_EQ(scanCodeFromToolkitKey(kQtUp, false), 72 | kExtendedKey);
  EXPECT_EQ(scanCodeFromToolkitKey(kQtUp, true), 72);
  EXPECT_EQ(scanCodeFromToolkitKey('8', true), 72);
  EXPECT_EQ(scanCodeFromToolkitKey('*', true), 55);
  EXPECT_EQ(scanCodeFromToolkitKey(kQtF1, false), 59);
  EXPECT_EQ(scanCodeFromToolkitKey(kQtF12, false), 88);
  EXPECT_EQ(scanCodeFromToolkitKey(0x7FFFFFFF, false), 0);
}

}  // namespace
}  // namespace trelmo
