// The user's preferences: every stored value with its form and default, and
// the rules that turn the stored text into the program's values.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shell/shell_state.h"

namespace trelmo {

struct Context;

constexpr int32_t kTicksPerMinute = 1092;  // 65536 / 60, as the heartbeat counts
constexpr int32_t kDefaultAutosaveTicks = 4 * kTicksPerMinute;
constexpr size_t kMaxSettingLength = 16383;

// A yes/no value and where it lands in Preferences.
struct FlagSetting {
  const char* name;
  bool Preferences::*member;
  bool defaultOn;  // on unless it starts with N; otherwise off unless it starts with Y
};
std::span<const FlagSetting> flagSettings();

// Yes/no text read by its first character.
bool readFlag(std::string_view text, bool defaultOn);
const char* flagText(bool on);

// "Autosave Timer": "Off" or text starting with N = 0 (off); otherwise minutes,
// a missing number or one below 1/256 minute meaning 4 minutes.
int32_t parseAutosaveTicks(std::string_view text);
// "Sleep Mode Timer": starting with Y = 1 minute; otherwise minutes; "Off",
// empty or 0 = never (0).
int32_t parseSleepTicks(std::string_view text);
// Minutes as ticks (minutes x 65536 / 60, rounded), bounded.
int32_t minutesToTicks(double minutes);
// "Open File Name Mask Index": 5 when absent or not starting with a digit.
int parseMaskIndex(std::string_view text);
// "Scroll Delay" and other decimal counts: 0 when absent or malformed.
int32_t parseCount(std::string_view text);
// Up to `count` decimal numbers; empty when fewer are present.
std::vector<int32_t> parseNumbers(std::string_view text, size_t count);
// "File Re-Open List" and "File Re-Call List": entries separated by ';'.
std::vector<std::string> splitList(std::string_view text, size_t maxEntries);
// Joined with ';', dropping the entries that would run past kMaxSettingLength.
std::string joinList(const std::vector<std::string>& entries);

// Reads every value through the host into ctx.shell (prefs and lists).
void loadSettings(Context& ctx);
// The Re-Open and Re-Call lists alone (files opened before the settings are
// loaded must not replace the stored lists).
void loadFileLists(Context& ctx);
void storeReopenList(Context& ctx);
void storeRecallList(Context& ctx);

}  // namespace trelmo
