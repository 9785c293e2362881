// DXF strings into the stored character set: the file's code page (or UTF-8
// from AutoCAD 2007 on), the "\U+XXXX" escapes and the "%%" control codes.
// What the stroke font cannot show becomes "?".
#include <cctype>
#include <string>

#include "database/chains.h"
#include "files/import/dxf_entity_groups.h"

namespace trelmo::dxf {

namespace {

struct Symbol {
  unsigned char byte;
  unsigned char stored;
};
// The bytes of each single-byte code page that the stroke font shows: degree,
// micro, one half, one quarter and ohm. Every other byte above 127 is "?".
constexpr Symbol kAnsi1252[] = {{0xB0, kDegree}, {0xB5, kMicro}, {0xBD, kHalf}, {0xBC, kQuarter}};
constexpr Symbol kAnsi1250[] = {{0xB0, kDegree}, {0xB5, kMicro}};
constexpr Symbol kAnsi1253[] = {{0xB0, kDegree}, {0xB5, kMicro}, {0xBD, kHalf}, {0xD9, kOhm}};
constexpr Symbol kDos437[] = {{0xF8, kDegree}, {0xE6, kMicro}, {0xAB, kHalf}, {0xAC, kQuarter}, {0xEA, kOhm}};
constexpr Symbol kDos850[] = {{0xF8, kDegree}, {0xE6, kMicro}, {0xAB, kHalf}, {0xAC, kQuarter}};

template <size_t N>
unsigned char lookUp(const Symbol (&table)[N], unsigned char c) {
  for (const Symbol& s : table)
    if (s.byte == c) return s.stored;
  return '?';
}

unsigned char fromPage(CodePage page, unsigned char c) {
  switch (page) {
    case CodePage::kAnsi1250:
    case CodePage::kAnsi1251:
      return lookUp(kAnsi1250, c);
    case CodePage::kAnsi1253:
      return lookUp(kAnsi1253, c);
    case CodePage::kDos437:
      return lookUp(kDos437, c);
    case CodePage::kDos850:
      return lookUp(kDos850, c);
    case CodePage::kOther:
      return '?';
    default:
      return lookUp(kAnsi1252, c);
  }
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "\U+XXXX" at i: the code point, and i moved past it; -1 when not one.
long unicodeEscape(std::string_view s, size_t& i) {
  if (s.compare(i, 3, "\\U+") != 0 && s.compare(i, 3, "\\u+") != 0) return -1;
  long v = 0;
  size_t k = i + 3;
  for (; k < s.size() && k < i + 7; ++k) {
    const int d = hexDigit(s[k]);
    if (d < 0) break;
    v = v * 16 + d;
  }
  if (k != i + 7) return -1;
  i = k - 1;
  return v;
}

// One UTF-8 sequence at i: the code point (0xFFFD when malformed), i moved to its last byte.
long utf8At(std::string_view s, size_t& i) {
  const auto c = static_cast<unsigned char>(s[i]);
  const int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  if (c < 0xC0 || c > 0xF7) return 0xFFFD;
  long v = c & (0x3F >> more);
  for (int n = 0; n < more; ++n) {
    if (i + 1 >= s.size() || (static_cast<unsigned char>(s[i + 1]) & 0xC0) != 0x80) return 0xFFFD;
    v = v << 6 | (static_cast<unsigned char>(s[++i]) & 0x3F);
  }
  return v;
}

}  // namespace

CodePage codePageNamed(std::string_view name) {
  std::string n;
  for (char c : name)
    if (c != ' ') n += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (n.empty() || n == "ANSI_1252" || n == "ISO8859-1" || n == "ANSI_1254" || n == "ANSI_1257")
    return CodePage::kAnsi1252;
  if (n == "ANSI_1250" || n == "ISO8859-2") return CodePage::kAnsi1250;
  if (n == "ANSI_1251" || n == "ISO8859-5") return CodePage::kAnsi1251;
  if (n == "ANSI_1253" || n == "ISO8859-7") return CodePage::kAnsi1253;
  if (n == "DOS437") return CodePage::kDos437;
  if (n == "DOS850") return CodePage::kDos850;
  if (n == "UTF-8" || n == "UTF8") return CodePage::kUtf8;
  return CodePage::kOther;
}

unsigned char fromUnicode(long cp) {
  if (cp == kTab || (cp >= 32 && cp <= 126)) return static_cast<unsigned char>(cp);
  switch (cp) {
    case 0xB0:
      return kDegree;
    case 0xB5:
    case 0x3BC:
      return kMicro;
    case 0xBD:
      return kHalf;
    case 0xBC:
      return kQuarter;
    case 0x3A9:
    case 0x2126:
      return kOhm;
    default:
      return '?';
  }
}

std::string textString(std::string_view s, CodePage page) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == '%' && i + 2 < s.size() && s[i + 1] == '%') {
      const char code = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i + 2])));
      i += 2;
      if (code == 'D')
        out += static_cast<char>(kDegree);
      else if (code == 'P')
        out += "+/-";
      else if (code == 'C')
        out += 'O';
      else if (code == '%')
        out += '%';
      // %%U and %%O switch underline and overline: nothing to store
      continue;
    }
    if (c == '\\' && i + 1 < s.size() && s[i + 1] == '~') {
      out += ' ';
      ++i;
      continue;
    }
    if (c == '\\') {
      if (const long cp = unicodeEscape(s, i); cp >= 0) {
        out += static_cast<char>(fromUnicode(cp));
        continue;
      }
      if (s.compare(i, 3, "\\M+") == 0 && i + 8 <= s.size()) {  // a double-byte character
        out += '?';
        i += 7;
        continue;
      }
    }
    if (c < 128) {
      if ((c >= 32 && c != 127) || c == kTab)
        out += static_cast<char>(c);
      else if (c == 127)
        out += '?';  // would be taken for the stored field separator
      continue;
    }
    out += static_cast<char>(page == CodePage::kUtf8 ? fromUnicode(utf8At(s, i)) : fromPage(page, c));
  }
  return out;
}

}  // namespace trelmo::dxf
