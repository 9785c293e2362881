// Pieces of the option-line grammar shared by every file version.
#include <algorithm>
#include <cstring>

#include "database/options_internal.h"

namespace trelmo {

bool optionStart(std::string_view line, size_t& pos) {
  pos = 0;
  while (pos < line.size() && line[pos] == ' ') ++pos;
  if (pos >= line.size()) return false;
  const unsigned char c = static_cast<unsigned char>(line[pos]);
  if (c <= ' ' || c == 127 || c == ';') return false;
  if (c == '-') ++pos;
  return true;
}

bool takeOption(NumberReader& r, std::string_view letters) {
  if (r.s.size() - r.pos < letters.size()) return false;
  for (size_t i = 0; i < letters.size(); ++i) {
    char c = r.s[r.pos + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != letters[i]) return false;
  }
  r.pos += letters.size();
  return true;
}

int clampLayer(int32_t n) { return std::clamp(n, 0, 255); }

uint16_t clampSize(int32_t v) { return static_cast<uint16_t>(std::clamp(v, 0, 65535)); }

void copyBounded(char* dst, std::string_view text, size_t max) {
  const size_t n = std::min(text.size(), max);
  std::memcpy(dst, text.data(), n);
  dst[n] = 0;
}

std::string_view restOfLine(NumberReader& r) {
  const size_t start = r.pos;
  while (!r.atEnd() && static_cast<unsigned char>(r.s[r.pos]) >= ' ') ++r.pos;
  return r.s.substr(start, r.pos - start);
}

int32_t integerField(NumberReader& r) {
  const int32_t v = r.integer();
  r.skip(',');
  return v;
}

uint32_t milsFraction(uint64_t mils) { return fractionOfInch((std::min<uint64_t>(mils, 1000000) << 32) / 1000); }

std::string_view layerNameText(NumberReader& r) {
  const size_t start = r.pos;
  while (!r.atEnd() && r.peek() != ';' && static_cast<unsigned char>(r.peek()) >= ' ') ++r.pos;
  return r.s.substr(start, r.pos - start);
}

void readLayerList(NumberReader& r, LayerSet& set) {
  while (r.skip(',')) {
    const int32_t n = r.integer();
    if (n >= 0 && n <= 255) set.set(n);
  }
}

bool integerBeforeComma(NumberReader& r, int32_t& value, bool orEnd) {
  size_t end = r.pos;
  if (end < r.s.size() && (r.s[end] == '-' || r.s[end] == '+')) ++end;
  const size_t digits = end;
  while (end < r.s.size() && r.s[end] >= '0' && r.s[end] <= '9') ++end;
  if (end == digits) return false;
  if (end < r.s.size() ? r.s[end] != ',' : !orEnd) return false;
  value = r.integer();
  return true;
}

namespace {
// The rest of the line without trailing blanks.
std::string_view trimmedRest(NumberReader& r) {
  std::string_view rest = restOfLine(r);
  while (!rest.empty() && rest.back() == ' ') rest.remove_suffix(1);
  return rest;
}
}  // namespace

void parseGerberEntry(Params& p, NumberReader& r) {
  const size_t start = r.pos;
  const bool alone = trimmedRest(r).empty();
  r.pos = start;
  if (alone) {
    for (auto& g : p.gerber) g = GerberEntry{};
    return;
  }
  GerberEntry* slot = nullptr;
  for (auto& g : p.gerber) {
    if (g.empty()) {
      slot = &g;
      break;
    }
  }
  if (!slot) return;  // all entries in use: the new one is dropped
  *slot = GerberEntry{};
  int n = 0;
  while (n < 3 && !r.atEnd()) {
    const char c = r.peek();
    if (c == ':' || c == ',' || static_cast<unsigned char>(c) < ' ') break;
    slot->name[n++] = c;
    ++r.pos;
  }
  if (r.peek() == ':' || r.peek() == ',' || r.peek() == ' ') ++r.pos;
  slot->number = r.integer();
  readLayerList(r, slot->layers);
}

void parseLibrary(Params& p, NumberReader& r) {
  const std::string_view name = trimmedRest(r);
  if (name.empty()) {
    for (auto& lib : p.libraries) lib[0] = 0;
    return;
  }
  for (auto& lib : p.libraries) {
    if (lib[0] == 0) {
      copyBounded(lib, name, kLibraryNameMax);
      return;
    }
  }
}

void parseSnapTable(Params& p, NumberReader& r) {
  for (auto& e : p.snapTable) e[0] = 0;
  int entry = 0, length = 0;
  while (!r.atEnd() && static_cast<unsigned char>(r.peek()) >= ' ') {
    const char c = r.s[r.pos++];
    if (c == ',') {
      // Each comma starts the next entry; an empty entry does not count.
      if (length > 0 && ++entry >= kSnapEntries) return;
      length = 0;
    } else if (length < kSnapEntryMax) {
      p.snapTable[entry][length++] = c;
      p.snapTable[entry][length] = 0;
    }
  }
}

void resetLayerTable(Params& p) {
  for (int n = 0; n < 256; ++n) {
    LayerEntry& e = p.layers[n];
    e = LayerEntry{};
    e.sequence = static_cast<uint8_t>(n);
  }
}

}  // namespace trelmo
