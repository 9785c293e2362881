// Recognising a photo-plot file by its first bytes: a counter of plausible
// blocks and flags for coordinates, D codes, format and aperture statements.
#include <algorithm>

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
  // Long attribute and macro headers can fill the first 4 KiB of a file that
  // states its format and apertures: the whole first block is then looked at.
  if (!isGerber(f) && f.format && f.apertures && first.size() > kScanBytes) f = scanGerber(first, first.size());
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
  // A short file that states its format and apertures is taken with fewer
  // blocks: a board outline may have only a dozen.
  return f.counter >= 16 || (f.format && f.apertures && f.counter >= 8);
}

}  // namespace trelmo
