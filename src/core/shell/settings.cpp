#include "shell/settings.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "context.h"

namespace trelmo {

namespace {

constexpr FlagSetting kFlags[] = {
    {"Display Logs", &Preferences::displayLogs, true},
    {"Popup Menus", &Preferences::popupMenus, false},
    {"Animated Icon", &Preferences::animatedIcon, true},
    {"Zoom with Mouse Buttons", &Preferences::zoomWithMouse, true},
    {"Un-Do Beyond Save to Disk", &Preferences::undoBeyondSave, false},
    {"Purge Re-Do Notification", &Preferences::purgeRedoNotify, false},
    {"Query Raft Boxes", &Preferences::queryRaft, true},
    {"Sound Blaster Tones", &Preferences::soundBlasterTones, true},
    {"Thick Cross-hair Cursor", &Preferences::thickCrossHair, false},
    {"Animated Block Perimeter", &Preferences::animatedBlockPerimeter, false},
    {"Open File Name Preview", &Preferences::openPreview, false},
    {"Open File Name Expand", &Preferences::openExpand, true},
    {"Explorer File Open", &Preferences::explorerOpen, true},
    {"Auto-open Project Files", &Preferences::autoOpenProject, true},
};

constexpr double kMaxMinutes = 1e6;  // keeps tick counts inside 32 bits

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool startsWith(std::string_view text, char letter) { return !text.empty() && upper(text[0]) == letter; }

bool isOff(std::string_view text) {
  return text.size() >= 3 && upper(text[0]) == 'O' && upper(text[1]) == 'F' && upper(text[2]) == 'F';
}

// The leading decimal number of text (after blanks); false when none.
bool leadingNumber(std::string_view text, double& value) {
  std::string s(text.substr(0, 64));
  const char* begin = s.c_str();
  while (*begin == ' ' || *begin == '\t') ++begin;
  if (!(*begin == '.' || *begin == '-' || *begin == '+' || (*begin >= '0' && *begin <= '9'))) return false;
  char* end = nullptr;
  value = std::strtod(begin, &end);
  return end != begin && std::isfinite(value);
}

}  // namespace

std::span<const FlagSetting> flagSettings() { return kFlags; }

bool readFlag(std::string_view text, bool defaultOn) {
  return defaultOn ? !startsWith(text, 'N') : startsWith(text, 'Y');
}

const char* flagText(bool on) { return on ? "Yes" : "No"; }

int32_t minutesToTicks(double minutes) {
  if (!(minutes > 0)) return 0;
  if (minutes > kMaxMinutes) minutes = kMaxMinutes;
  return static_cast<int32_t>(std::lround(minutes * 65536.0 / 60.0));
}

int32_t parseAutosaveTicks(std::string_view text) {
  if (startsWith(text, 'N') || isOff(text)) return 0;
  double minutes = 0;
  if (!leadingNumber(text, minutes) || minutes < 1.0 / 256) return kDefaultAutosaveTicks;
  return minutesToTicks(minutes);
}

int32_t parseSleepTicks(std::string_view text) {
  if (startsWith(text, 'Y')) return kTicksPerMinute;
  double minutes = 0;
  if (!leadingNumber(text, minutes) || minutes <= 0) return 0;
  return std::max<int32_t>(1, minutesToTicks(minutes));
}

int parseMaskIndex(std::string_view text) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return 5;
  int v = 0;
  for (size_t i = 0; i < text.size() && i < 4 && text[i] >= '0' && text[i] <= '9'; ++i) v = v * 10 + (text[i] - '0');
  return v;
}

int32_t parseCount(std::string_view text) {
  int64_t v = 0;
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    v = v * 10 + (text[i] - '0');
    if (v > INT32_MAX) return INT32_MAX;
  }
  return static_cast<int32_t>(v);
}

std::vector<int32_t> parseNumbers(std::string_view text, size_t count) {
  std::vector<int32_t> out;
  size_t i = 0;
  while (out.size() < count && i < text.size()) {
    while (i < text.size() && !(text[i] == '-' || (text[i] >= '0' && text[i] <= '9'))) ++i;
    if (i >= text.size()) break;
    const bool negative = text[i] == '-';
    if (negative) ++i;
    int64_t v = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      digits = true;
      if (v < INT32_MAX) v = v * 10 + (text[i] - '0');
    }
    if (!digits) continue;
    v = std::min<int64_t>(v, INT32_MAX);
    out.push_back(static_cast<int32_t>(negative ? -v : v));
  }
  if (out.size() < count) out.clear();
  return out;
}

std::vector<std::string> splitList(std::string_view text, size_t maxEntries) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos <= text.size() && out.size() < maxEntries) {
    size_t end = text.find(';', pos);
    if (end == std::string_view::npos) end = text.size();
    if (end > pos) out.emplace_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  return out;
}

std::string joinList(const std::vector<std::string>& entries) {
  std::string out;
  for (const std::string& e : entries) {
    // Whole entries only, within what a stored value holds.
    if (out.size() + e.size() + 1 > kMaxSettingLength) break;
    if (!out.empty()) out += ';';
    out += e;
  }
  return out;
}

void loadSettings(Context& ctx) {
  Host& host = *ctx.host;
  Preferences& p = ctx.shell.prefs;
  for (const FlagSetting& f : kFlags) p.*f.member = readFlag(host.readSetting(f.name), f.defaultOn);
  p.autosaveTicks = parseAutosaveTicks(host.readSetting("Autosave Timer"));
  p.sleepTicks = parseSleepTicks(host.readSetting("Sleep Mode Timer"));
  p.scrollDelay = parseCount(host.readSetting("Scroll Delay"));
  p.openMaskIndex = parseMaskIndex(host.readSetting("Open File Name Mask Index"));
  p.editComponentBox = parseNumbers(host.readSetting("Edit Component Box"), 14);
  p.fileOpenBox = parseNumbers(host.readSetting("File Open Box"), 11);
  p.fileRecallBox = parseNumbers(host.readSetting("File Re-Call Box"), 9);
  p.templatePath = host.readSetting("Template Path");
  p.libraryPath = host.readSetting("Library Path");
  loadFileLists(ctx);
  ctx.autosaveEnabled = p.autosaveTicks != 0;
  ctx.shell.blockPhase = p.animatedBlockPerimeter ? 0 : 0x80;
}

void loadFileLists(Context& ctx) {
  ctx.shell.reopenList = splitList(ctx.host->readSetting("File Re-Open List"), 10);
  ctx.shell.recallList = splitList(ctx.host->readSetting("File Re-Call List"), 64);
  ctx.shell.listsLoaded = true;
}

void storeReopenList(Context& ctx) { ctx.host->writeSetting("File Re-Open List", joinList(ctx.shell.reopenList)); }

void storeRecallList(Context& ctx) { ctx.host->writeSetting("File Re-Call List", joinList(ctx.shell.recallList)); }

}  // namespace trelmo
