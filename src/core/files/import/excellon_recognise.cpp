// Recognising a drill file by its first kilobyte: letters followed by
// numbers count for it, other letters against it; many "*" mean photo-plot.
#include <algorithm>

#include "files/import/gerber_reader.h"

namespace trelmo {

namespace {

constexpr size_t kScanBytes = 1024;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool startsNumber(std::string_view s, size_t i) {
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  if (i < s.size() && s[i] == '.') ++i;
  return i < s.size() && isDigit(s[i]);
}
size_t skipNumber(std::string_view s, size_t i) {
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  while (i < s.size() && (isDigit(s[i]) || s[i] == '.')) ++i;
  return i;
}

}  // namespace

DrillFacts scanExcellon(std::string_view first) {
  std::string_view s = first.substr(0, std::min(first.size(), kScanBytes));
  DrillFacts f;
  bool lineStart = true;
  size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == '\r' || c == '\n') {
      lineStart = true;
      ++i;
      continue;
    }
    if (c == ';' && lineStart) {  // a comment line (Allegro leaders, tool notes)
      while (i < s.size() && s[i] != '\n' && s[i] != '\r') ++i;
      continue;
    }
    lineStart = false;
    if (c == '*') ++f.stars;
    if (c == '%') f.start = true;
    if (c == 'X' || c == 'Y') f.coordinates = true;
    ++i;
    if (c == 'T' && i < s.size() && isDigit(s[i])) {
      size_t j = skipNumber(s, i);
      // A definition in the body selects its tool too.
      f.toolSelect = true;
      if (j < s.size() && (s[j] == 'C' || s[j] == '=')) f.toolDefinition = true;
    }
    if (isLetter(c)) {
      if (startsNumber(s, i)) {
        ++f.counter;
        i = skipNumber(s, i);
      } else if (c == 'M') {
        ++f.counter;
      } else {
        --f.counter;
      }
    }
  }
  return f;
}

bool isExcellon(const DrillFacts& f) { return f.coordinates && f.toolSelect && f.counter >= 16 && f.stars < 16; }

}  // namespace trelmo
