#include <cctype>

#include "resources/key_tables.h"
#include "shell/keys.h"

namespace trelmo {

namespace {

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a.size() == 1) return a[0] == b[0];
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

}  // namespace

uint16_t keyNameToCode(std::string_view name) {
  size_t n = 0;
  while (n < name.size() && n<kKeyNameMax&& static_cast<unsigned char>(name[n])> ' ') ++n;
  const std::string_view word = n ? name.substr(0, n) : std::string_view("Space");
  for (int scan = 0; scan < kKeyScanCodes; ++scan) {
    const KeyRecord& r = keyRecord(scan);
    for (int col = 0; col < kKeyColumns; ++col)
      if (r.codes[col] && sameName(word, r.names[col])) return r.codes[col];
  }
  return 0;
}

std::string keyCodeToName(uint16_t code) {
  if (code == 0) return {};
  for (int scan = 0; scan < kKeyScanCodes; ++scan) {
    const KeyRecord& r = keyRecord(scan);
    for (int col = 0; col < kKeyColumns; ++col)
      if (r.codes[col] == code && r.names[col][0]) return r.names[col];
  }
  return {};
}

}  // namespace trelmo
