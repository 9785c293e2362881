#include "context.h"
#include "shell/macro.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int kMessagePlayback = 0x810;
constexpr int kMessageRecording = 0x811;
constexpr int kMessageRecorded = 0x812;

// The first code of each function-key row: F1-F10 run on, F11 and F12 elsewhere.
struct FunctionKeyRow {
  const char* prefix;
  uint16_t f1, f11;
};
constexpr FunctionKeyRow kRows[] = {
    {"F", 0x3B00, 0x8500},
    {"Shift-F", 0x5400, 0x8700},
    {"Ctrl-F", 0x5E00, 0x8900},
    {"Alt-F", 0x6800, 0x8B00},
};
constexpr uint16_t kAlt1 = 0x7800, kAlt0 = 0x8100;

}  // namespace

std::string macroSettingName(uint16_t key) {
  for (const FunctionKeyRow& r : kRows) {
    if (key >= r.f1 && key <= r.f1 + 9 * 0x100 && (key & 0xFF) == 0)
      return std::string("Key Stroke ") + r.prefix + std::to_string(((key - r.f1) >> 8) + 1);
    if (key == r.f11 || key == r.f11 + 0x100)
      return std::string("Key Stroke ") + r.prefix + std::to_string(key == r.f11 ? 11 : 12);
  }
  if (key >= kAlt1 && key <= kAlt0 && (key & 0xFF) == 0)
    return "Key Stroke Alt-" + std::to_string((((key - kAlt1) >> 8) + 1) % 10);
  return {};
}

std::string macroTextFromSetting(std::string_view stored) {
  std::string out(stored);
  for (char& c : out) {
    switch (static_cast<unsigned char>(c)) {
      case 0xB0:
        c = static_cast<char>(0xF8);
        break;
      case 0xB5:
        c = static_cast<char>(0xE6);
        break;
      case 0xF6:
        c = static_cast<char>(0xEA);
        break;
      case 0xBD:
        c = static_cast<char>(0xAB);
        break;
      case 0xBC:
        c = static_cast<char>(0xAC);
        break;
      default:
        break;
    }
  }
  return out;
}

void recordText(Context& ctx, std::string_view text) {
  std::string& rec = ctx.input.recording;
  if (rec.size() + text.size() > kMacroRecordMax) return ctx.host->sound(Sound::Beep);
  rec += text;
  ctx.shell.recordedLength = rec.size();
}

void toggleRecording(Context& ctx) {
  ShellState& s = ctx.shell;
  if (s.macroRecording) {
    s.macroRecording = false;
    showMessage(ctx, kMessageRecorded);
    return;
  }
  ctx.host->sound(Sound::Peep);
  s.macroRecording = true;
  ctx.input.recording.clear();
  ctx.shell.recordedLength = 0;
  ctx.input.lengthBeforeKey = ctx.input.lengthBeforePrefix = 0;
  showMessage(ctx, kMessageRecording);
}

bool runMacroKey(Context& ctx, uint16_t key) {
  if (key == kKeyRecordToggle || key == kKeyRecordToggle2) {
    toggleRecording(ctx);
    return true;
  }
  if (key == kKeyReplay) {
    showMessage(ctx, kMessagePlayback);
    ctx.shell.macroRecording = false;
    const std::string text = ctx.input.recording;
    runMacroText(ctx, text);
    return true;
  }
  const std::string name = macroSettingName(key);
  if (name.empty()) return false;
  runMacroText(ctx, macroTextFromSetting(ctx.host->readSetting(name)));
  return true;
}

}  // namespace trelmo
