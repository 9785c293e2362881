#include "shell/messages.h"

#include <cstdio>

#include "context.h"
#include "resources/message_file.h"
#include "shell/function_codes.h"

namespace trelmo {

namespace {

constexpr size_t kNumberColumns = 4;
constexpr size_t kTextColumn = 6;  // 0-based: text starts in column 7

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Help texts follow the four-character key after blanks.
std::string helpText(const std::string& line) {
  size_t i = kNumberColumns;
  while (i < line.size() && line[i] == ' ') ++i;
  return line.substr(i);
}

}  // namespace

MessageTable parseMessageFile(std::string_view text) {
  MessageTable table;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    // Skip one line end: CR LF, LF or CR.
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    if (line.empty()) continue;
    const unsigned char first = static_cast<unsigned char>(line[0]);
    if (first < 32) break;
    if (isDigit(line[0]))
      table.numbered.emplace_back(line);
    else if (line[0] == 'M' || line[0] == 'W')
      table.help.emplace_back(line);
  }
  return table;
}

void loadMessageTable(Context& ctx) { ctx.shell.messages = parseMessageFile(builtInMessageFile()); }

std::string messageKey(int number) {
  char key[8];
  std::snprintf(key, sizeof key, "%d.%02X", (number >> 8) & 15, number & 0xFF);
  return key;
}

void showStatus(Context& ctx, const std::string& text, int32_t seconds) {
  ctx.shell.statusLine = text;
  ctx.shell.messageSeconds = seconds;
  ctx.host->statusText(text);
}

void restoreStatusBar(Context& ctx) {
  ctx.shell.statusLine.clear();
  ctx.shell.messageSeconds = 0;
  if (ctx.shell.hooks.normalStatusBar)
    ctx.shell.hooks.normalStatusBar(ctx);
  else
    ctx.host->statusText("");
}

void showMessage(Context& ctx, int number) {
  if (ctx.shell.minimised) return;
  const std::string key = messageKey(number);
  const std::string* found = nullptr;
  for (const std::string& line : ctx.shell.messages.numbered) {
    if (line.compare(0, kNumberColumns, key) == 0) {
      found = &line;
      break;
    }
  }
  if (!found) {
    ctx.host->sound(Sound::Beop);
    showStatus(ctx, " Undefined message: " + key, kMessageSeconds);
    return;
  }
  const std::string& line = *found;
  const char alert = line.size() > 4 ? line[4] : ' ';
  const char stay = line.size() > 5 ? line[5] : ' ';
  if (alert == '*') ctx.host->sound(Sound::Beop);
  const std::string text = line.size() > kTextColumn ? line.substr(kTextColumn) : std::string();
  showStatus(ctx, text, stay == ' ' ? kMessageSeconds : 0);
}

std::string helpLine(const MessageTable& table, std::string_view key) {
  for (const std::string& line : table.help)
    if (line.size() >= kNumberColumns && std::string_view(line).substr(0, kNumberColumns) == key) return helpText(line);
  return {};
}

namespace {

void showHelpKey(Context& ctx, const std::string& key) {
  const std::string text = helpLine(ctx.shell.messages, key);
  if (text.empty()) return;
  showStatus(ctx, text, kHelpLineSeconds);
}

}  // namespace

void showHelpLine(Context& ctx, uint16_t code) { showHelpKey(ctx, "M." + codeName(code)); }

void showDialogHelp(Context& ctx, uint16_t code) { showHelpKey(ctx, "W." + codeName(code)); }

void showMenuHelp(Context& ctx, MenuPlace place, int position, uint16_t code) {
  static constexpr char kPopupLetters[8] = {'P', 'G', 'E', 'D', 'U', 'Z', 0, 0};
  char letter = 0;
  switch (place) {
    case MenuPlace::Item:
      showHelpLine(ctx, code);
      return;
    case MenuPlace::MenuBarPopup:
      if (position >= 0 && position < 12) letter = kFamilies[position];
      break;
    case MenuPlace::PopupSubmenu:
      if (position >= 0 && position < 8) letter = kPopupLetters[position];
      break;
  }
  if (letter) showHelpKey(ctx, std::string("M.") + letter + ".");
}

}  // namespace trelmo
