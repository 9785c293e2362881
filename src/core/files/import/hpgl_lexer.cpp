#include "files/import/hpgl_lexer.h"

#include <cstring>

namespace trelmo::hpgl {

namespace {

constexpr int kEsc = 27;
constexpr int kEndOfData = 26;
constexpr size_t kMaxEscape = 64;
constexpr size_t kMaxLabelScan = 1u << 20;  // a label without terminator stops here

bool isLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(int c) { return c >= '0' && c <= '9'; }
int upper(int c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }
// Device-control sequences "ESC ." with parameters end at ':'.
bool takesParameters(int c) { return c > 0 && std::strchr("@HIMNST", c) != nullptr; }

}  // namespace

size_t escapeLength(std::string_view s) {
  if (s.size() < 2) return s.size();
  size_t i = 2;
  if (s[1] == '.') {
    if (i >= s.size()) return i;
    if (!takesParameters(static_cast<unsigned char>(s[i++]))) return i;
    for (size_t n = 0; i < s.size() && n < kMaxEscape; ++n)
      if (s[i++] == ':') break;
    return i;
  }
  if (s[1] == '%') {  // PCL mode switch such as ESC%-12345X or ESC%1B: ends at a letter
    for (size_t n = 0; i < s.size() && n < 16; ++n)
      if (isLetter(static_cast<unsigned char>(s[i++]))) break;
  }
  return i;
}

int Lexer::get() {
  if (pending_ != -2) {
    const int c = pending_;
    pending_ = -2;
    return c;
  }
  if (ended_) return -1;
  const int c = in_.getByte();
  if (c < 0 || c == kEndOfData) {
    ended_ = true;
    return -1;
  }
  return c;
}

void Lexer::skipEscape() {
  int c = get();
  if (c == '.') {
    c = get();
    if (!takesParameters(c)) return;
    for (size_t n = 0; n < kMaxEscape; ++n) {
      c = get();
      if (c < 0 || c == ':') return;
    }
  } else if (c == '%') {
    for (size_t n = 0; n < 16; ++n) {
      c = get();
      if (c < 0 || isLetter(c)) return;
    }
  }
}

uint16_t Lexer::command() {
  for (;;) {
    const int c = get();
    if (c < 0) return 0;
    if (c == kEsc) {
      skipEscape();
      continue;
    }
    if (!isLetter(c)) continue;  // separators, stray numbers and control bytes
    const int d = get();
    if (isLetter(d)) return mnemonic(static_cast<char>(upper(c)), static_cast<char>(upper(d)));
    unget(d);
  }
}

bool Lexer::number(double& value) {
  int c = get();
  while (c == ' ' || c == ',' || c == '\t' || c == '\r' || c == '\n') c = get();
  if (!(isDigit(c) || c == '-' || c == '+' || c == '.')) {
    unget(c);
    return false;
  }
  bool negative = false;
  if (c == '-' || c == '+') {
    negative = c == '-';
    c = get();
  }
  double v = 0;
  for (int n = 0; isDigit(c); c = get(), ++n)
    if (n < 15) v = v * 10 + (c - '0');
  if (c == '.') {
    double scale = 0.1;
    for (c = get(); isDigit(c); c = get(), scale *= 0.1) v += (c - '0') * scale;
  }
  unget(c);
  value = negative ? -v : v;
  return true;
}

void Lexer::skipParameters() {
  double v;
  while (number(v)) {
  }
}

std::string Lexer::label(int terminator, size_t maxLength) {
  std::string text;
  for (size_t n = 0; n < kMaxLabelScan; ++n) {
    const int c = get();
    if (c < 0 || c == terminator) break;
    if (text.size() < maxLength) text += static_cast<char>(c);
  }
  return text;
}

}  // namespace trelmo::hpgl
