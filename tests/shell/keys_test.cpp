#include "shell/keys.h"

#include <gtest/gtest.h>

#include <tuple>

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
  // A name ends at a blank; an empty name is Space; typing * is not the replay key.
  const std::pair<const char*, uint16_t> names[] = {
      {"a", 0x1E61},   {"A", 0x1E41},       {"up", 0x4800}, {"PGDN", 0x5100}, {"#esc", 0x0100},   {"sF1", 0x5400},
      {"F12", 0x8600}, {"CR rest", 0x1C0D}, {"", 0x3920},   {"Bogus", 0},     {"Center", 0x4C00}, {"*", 0x092A}};
  for (auto [name, code] : names) EXPECT_EQ(keyNameToCode(name), code) << "\"" << name << "\"";
  const std::pair<uint16_t, const char*> codes[] = {{0x48E0, "Up"},   {0x011B, "Esc"}, {0x1C0A, "LF"},
                                                    {0x372A, "PrSc"}, {0, ""},         {0x0041, ""}};
  for (auto [code, name] : codes) EXPECT_EQ(keyCodeToName(code), name) << code;
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
  // A letter, keypad 8, grey Up, right Alt, out of range.
  const std::pair<int, int> evdev[] = {{30, 30}, {72, 72}, {103, 72 | kExtendedKey}, {100, 56 | kExtendedKey},
                                       {500, 0}, {-1, 0}};
  for (auto [code, scan] : evdev) EXPECT_EQ(scanCodeFromEvdev(code), scan) << code;
  constexpr int kQtUp = 0x01000013, kQtF1 = 0x01000030, kQtF12 = 0x0100003B;
  const std::tuple<int, bool, int> keys[] = {{'A', false, 30},   {'!', false, 2},     {kQtUp, false, 72 | kExtendedKey},
                                             {kQtUp, true, 72},  {'8', true, 72},     {'*', true, 55},
                                             {kQtF1, false, 59}, {kQtF12, false, 88}, {0x7FFFFFFF, false, 0}};
  for (auto [key, keypad, scan] : keys) EXPECT_EQ(scanCodeFromToolkitKey(key, keypad), scan) << key << " " << keypad;
}

}  // namespace
}  // namespace trelmo
