// Recognising a photo-plot file by its first bytes: a counter of plausible
// blocks and flags for coordinates, D codes, format and aperture statements.
#include <algorithm>
#include <string>

#include "files/import/gerber_reader.h"

namespace trelmo {

namespace {

constexpr size_t kScanBytes = 4096;

// Index just past the next `c` at or after i (the end when there is none).
size_t pastNext(std::string_view s, size_t i, char c) {
  size_t p = s.find(c, i);
  return p == std::string_view::npos ? s.size() : p + 1;
}

}  // namespace

GerberFacts scanGerber(std::string_view first) {
  GerberFacts f = scanGerber(first, kScanBytes);
  // Long attribute, macro and comment headers can fill the first 4 KiB of a
  // file that defines its apertures: the whole first block is then looked at.
  if (!isGerber(f) && f.apertures && first.size() > kScanBytes) f = scanGerber(first, first.size());
  return f;
}

GerberFacts scanGerber(std::string_view first, size_t limit) {
  std::string_view s = first.substr(0, std::min(first.size(), limit));
  GerberFacts f;
  size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == '\r' || c == '\n' || c == ' ' || (c >= '0' && c <= '9')) {
      ++i;
    } else if (c == '*') {
      ++f.counter;
      ++i;
    } else if (c == 'X' || c == 'Y') {
      f.coordinates = true;
      ++f.counter;
      i = pastNext(s, i, '*');
    } else if (c == 'G') {
      ++f.counter;
      i = s.compare(i, 3, "G04") == 0 ? pastNext(s, i, '*') : i + 1;
    } else if (c == 'D') {
      f.dcodes = true;
      ++f.counter;
      i = pastNext(s, i, '*');
    } else if (c == '%') {
      if (s.compare(i, 3, "%FS") == 0) f.format = true;
      if (s.compare(i, 3, "%AD") == 0) f.apertures = true;
      ++f.counter;
      i = pastNext(s, i + 1, '%');
    } else if (c == 'M') {
      ++f.counter;
      i = pastNext(s, i, '*');
    } else {
      --f.counter;
      ++i;
    }
  }
  return f;
}

bool isGerber(const GerberFacts& f) {
  if (!f.coordinates || !f.dcodes) return false;
  // A short file that defines its apertures is taken with fewer blocks: a
  // board outline may have only a dozen (P-CAD states its format only in
  // comments, so the aperture definitions alone must do).
  return f.counter >= 16 || (f.apertures && f.counter >= 8);
}

namespace {

bool contains(const std::string& s, const char* word) { return s.find(word) != std::string::npos; }

}  // namespace

bool formatFromComments(std::string_view first, GerberFormat& fmt) {
  bool stated = false;
  int integer = 0, fraction = 0;
  for (size_t at = first.find("G04"); at != std::string_view::npos; at = first.find("G04", at + 3)) {
    const size_t end = std::min(first.find('*', at), first.size());
    std::string c(first.substr(at + 3, end - at - 3));
    for (char& ch : c) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
    if (!contains(c, "format") && !contains(c, "zero") && !contains(c, "unit")) continue;
    if (contains(c, "trailing")) fmt.trailing = true, stated = true;
    if (contains(c, "leading")) fmt.trailing = false, stated = true;
    if (contains(c, "incremental")) fmt.incremental = true, stated = true;
    if (contains(c, "absolute")) fmt.incremental = false, stated = true;
    if (contains(c, "millimet") || contains(c, " mm")) fmt.metric = true, stated = true;
    if (contains(c, "inch")) fmt.metric = false, stated = true;
    if (!contains(c, "format")) continue;
    // "2.3", "2:4": integer and fraction digits.
    for (size_t i = 1; i + 1 < c.size(); ++i) {
      const char a = c[i - 1], b = c[i + 1];
      const bool before = i < 2 || c[i - 2] < '0' || c[i - 2] > '9';
      const bool after = i + 2 >= c.size() || c[i + 2] < '0' || c[i + 2] > '9';
      if ((c[i] == '.' || c[i] == ':') && a >= '1' && a <= '7' && b >= '1' && b <= '7' && before && after) {
        integer = a - '0';
        fraction = b - '0';
        stated = true;
        break;
      }
    }
  }
  if (integer > 0) fmt.digits = fmt.trailing ? integer : fraction;
  return stated;
}

}  // namespace trelmo
