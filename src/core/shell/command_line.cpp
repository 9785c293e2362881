#include "shell/command_line.h"

#include <cstdint>
#include <cstdio>

#include "context.h"

namespace trelmo {

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// An unquoted name runs over a space when a letter not followed by ':' comes
// next.
bool continuesOverSpace(std::string_view text, size_t space) {
  const size_t next = space + 1;
  if (next >= text.size() || !isLetter(text[next])) return false;
  return !(next + 1 < text.size() && text[next + 1] == ':');
}

}  // namespace

CommandLine parseCommandLine(std::string_view text) {
  CommandLine line;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t') {
      ++i;
      continue;
    }
    if (text[i] == '-') {
      if (i + 1 < text.size() && (text[i + 1] == 's' || text[i + 1] == 'S'))
        line.screen = i + 2 < text.size() ? (static_cast<unsigned char>(text[i + 2]) & 7) : 0;
      while (i < text.size() && text[i] != ' ') ++i;
      continue;
    }
    std::string name;
    if (text[i] == '"') {
      const size_t close = text.find('"', i + 1);
      const size_t end = close == std::string_view::npos ? text.size() : close;
      name = text.substr(i + 1, end - i - 1);
      i = end == text.size() ? end : end + 1;
    } else {
      size_t end = i;
      while (end < text.size() && (text[end] != ' ' || continuesOverSpace(text, end))) ++end;
      name = text.substr(i, end - i);
      i = end;
    }
    if (!name.empty() && static_cast<unsigned char>(name[0]) > 32 && name[0] != 127) line.files.push_back(name);
  }
  return line;
}

void queueCommandLine(Context& ctx, const CommandLine& line) {
  for (const std::string& f : line.files) ctx.shell.queuedFiles.push_back(f);
  ctx.shell.screenIndex = line.screen;
}

namespace {

uint32_t parseCountOf(std::string_view text) {
  uint32_t v = 0;
  for (size_t i = 0; i < text.size() && i < 9 && text[i] >= '0' && text[i] <= '9'; ++i) v = v * 10 + (text[i] - '0');
  return v;
}

// The four numbers in order, separators ignored; false when fewer.
bool fourNumbers(std::string_view text, int64_t out[4]) {
  int n = 0;
  size_t i = 0;
  while (n < 4 && i < text.size()) {
    const bool negative = text[i] == '-' && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9';
    if (negative) ++i;
    if (text[i] < '0' || text[i] > '9') {
      ++i;
      continue;
    }
    int64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
      if (v < (int64_t{1} << 40)) v = v * 10 + (text[i] - '0');
    out[n++] = negative ? -v : v;
  }
  return n == 4;
}

}  // namespace

WindowRect parseWindowPosition(std::string_view text, int screenWidth, int screenHeight) {
  const WindowRect fallback{screenWidth / 4, screenHeight / 4, screenWidth / 2, screenHeight / 2, true};
  if (text.empty() || text == "Maximized") return fallback;
  int64_t v[4];
  if (!fourNumbers(text, v)) return fallback;
  const int64_t x = v[0], y = v[1], w = v[2], h = v[3];
  if (w < kMinWindowWidth || h < kMinWindowHeight || x < 0 || y < 0) return fallback;
  if (x + w > screenWidth || y + h > screenHeight) return fallback;
  return {static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h), false};
}

std::string formatWindowPosition(const WindowRect& r) {
  if (r.maximized) return "Maximized";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d,%d %dx%d", r.x, r.y, r.width, r.height);
  return buf;
}

WindowRect storedWindowPlacement(Context& ctx, int screenWidth, int screenHeight, int* screen) {
  if (screen) *screen = static_cast<int>(parseCountOf(ctx.host->readSetting("Window Screen")) & 7);
  return parseWindowPosition(ctx.host->readSetting("Window Position"), screenWidth, screenHeight);
}

}  // namespace trelmo
