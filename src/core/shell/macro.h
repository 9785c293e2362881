// Keystroke macros: texts of keys, typed strings, function codes, parameter
// settings and delays, bound to the function keys and Alt-digits, and one
// recorded live from the keyboard.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "shell/host.h"

namespace trelmo {

struct Context;

constexpr uint16_t kKeyRecordToggle = 0x3700;   // Alt-keypad-*
constexpr uint16_t kKeyRecordToggle2 = 0x9600;  // its Ctrl form
constexpr uint16_t kKeyReplay = 0x372A;         // keypad *
constexpr int kMacroCheckTokens = 64;           // pending keys are looked for this often

// The stored setting a macro key runs ("Key Stroke F1", "Key Stroke Alt-0"),
// empty for other keys.
std::string macroSettingName(uint16_t key);

// Handles the macro keys (the setting texts, recording and replay); false
// for every other key.
bool runMacroKey(Context& ctx, uint16_t key);
// Runs a text. While a macro runs, the new text replaces it and runs from
// its start: a macro that runs another ends itself.
void runMacroText(Context& ctx, std::string_view text);
// The heartbeat's call when a macro delay has run out.
void resumeMacro(Context& ctx);
// Heartbeat ticks for a delay given in seconds with an optional fraction.
int32_t macroDelayTicks(std::string_view seconds);

// Recording: on and off, and what keys and menu commands add to it.
void toggleRecording(Context& ctx);
void recordText(Context& ctx, std::string_view text);
// Characters of the Windows set converted to the program's own set.
std::string macroTextFromSetting(std::string_view stored);

// The parameter commands: "LY", "LT", ... with their value; false (and the
// Beep sound) for an unknown command or a value that cannot be used.
bool setFunctionParameter(Context& ctx, uint16_t code, std::string_view value);

// The factory texts of the macro keys, after the warning question.
void restoreFactoryMacros(Context& ctx);
// Setup Keystrokes (SK): choose a macro key or the recording and edit its text.
void keystrokeMacroSetup(Context& ctx);
// Its two boxes: the key list (with the help text shown or not) and the text
// of the key at `choice` in that list.
DialogBox keyStrokeSetupBox(int choice, bool help);
DialogBox keyStrokeEditBox(const Context& ctx, int choice);

}  // namespace trelmo
