#include "database/component_keys.h"

#include <algorithm>

#include "context.h"
#include "database/chains.h"

namespace trelmo {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Writes text into line at column, cut at width (or at the line's end).
void place(std::string& line, size_t column, std::string_view text, size_t width) {
  if (column >= line.size()) return;
  const size_t n = std::min({text.size(), width, line.size() - column});
  line.replace(column, n, text.substr(0, n));
}

// The column that the fraction digits of a value start at.
size_t multiplierColumn(char letter) {
  switch (letter) {
    case 'M':
      return 3;
    case 'K':
    case 'k':
      return 6;
    case 'm':
      return 12;
    case static_cast<char>(kMicro):
      return 15;
    case 'n':
      return 18;
    case 'p':
      return 21;
    default:
      return 9;
  }
}

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == static_cast<char>(kMicro); }

}  // namespace

ComponentFields splitComponentFields(std::string_view stored) {
  ComponentFields fields;
  size_t index = 0;
  for (char c : stored) {
    if (c == static_cast<char>(kFieldSeparator)) {
      if (++index >= fields.size()) break;
      continue;
    }
    fields[index].push_back(c);
  }
  return fields;
}

ComponentFields componentFields(const Context& ctx, Handle header) {
  const Handle sentinel = ctx.rec(header).ext;
  if (sentinel == kNull || !ctx.pool.valid(sentinel)) return {};
  return splitComponentFields(readText(ctx, sentinel));
}

std::string referenceForm(std::string_view ref) {
  std::string form(80, ' ');
  size_t i = 0;
  while (i < ref.size() && !isDigit(ref[i])) ++i;
  for (size_t k = 0; k < i && k < 44; ++k) form[k] = ref[k];
  size_t j = i;
  while (j < ref.size() && isDigit(ref[j])) ++j;
  for (size_t k = j, col = 44; k > i && col > 0; --k, --col) form[col - 1] = ref[k - 1];
  for (size_t k = j, col = 44; k < ref.size() && col < form.size(); ++k, ++col) form[col] = ref[k];
  return form;
}

std::string valueForm(std::string_view value) {
  std::string form(21, '0');
  size_t i = 0;
  while (i < value.size() && isDigit(value[i])) ++i;
  const std::string_view whole = value.substr(0, i);
  std::string_view fraction;
  char letter = 0;
  auto digitsFrom = [&](size_t from) {
    size_t e = from;
    while (e < value.size() && isDigit(value[e])) ++e;
    return e;
  };
  if (i < value.size() && value[i] == '.') {
    const size_t e = digitsFrom(i + 1);
    fraction = value.substr(i + 1, e - i - 1);
    if (e < value.size() && isLetter(value[e])) letter = value[e];
  } else if (i < value.size() && isLetter(value[i])) {
    letter = value[i];
    const size_t e = digitsFrom(i + 1);
    fraction = value.substr(i + 1, e - i - 1);
  }
  const size_t p = multiplierColumn(letter);
  // Integer digits end just before p; those that would fall before column 0
  // are lost, as are fraction digits past the end.
  for (size_t k = whole.size(), col = p; k > 0 && col > 0; --k, --col) form[col - 1] = whole[k - 1];
  for (size_t k = 0; k < fraction.size() && p + k < form.size(); ++k) form[p + k] = fraction[k];
  return form;
}

std::string billSortKey(const ComponentFields& fields) {
  std::string key(128, ' ');
  const std::string& ref = fields[kReferenceField];
  if (!ref.empty()) key[0] = ref[0];
  if (ref.size() > 1 && !isDigit(ref[1])) key[1] = ref[1];
  const bool scaled = ref.size() > 1 && (ref[0] == 'C' || ref[0] == 'L' || ref[0] == 'R') && isDigit(ref[1]);
  if (scaled) place(key, 1, valueForm(fields[kValueField]), 21);
  place(key, 22, fields[kValueField], 14);
  place(key, 36, fields[kModifierField], 14);
  place(key, 50, fields[kPatternField], 14);
  place(key, 64, referenceForm(ref), 64);
  return key;
}

}  // namespace trelmo
