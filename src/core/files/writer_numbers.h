// Number formats of item lines written straight into a character buffer.
// They produce exactly the text of appendInt, appendDimension and appendAngle
// (files/number_format.h) without a string operation per digit, which is what
// keeps saving a design of a million items fast.
#pragma once
#include <cstdint>

namespace trelmo::numbers {

// Longest field any of these writes: "-32768.0" style dimensions are at most
// 12 characters, a 64-bit integer 20.
constexpr int kMaxField = 24;

inline char* putUnsigned(char* p, uint64_t v) {
  char tmp[20];
  int n = 0;
  do {
    tmp[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  while (n > 0) *p++ = tmp[--n];
  return p;
}

inline char* putInt(char* p, int64_t v) {
  if (v < 0) {
    *p++ = '-';
    return putUnsigned(p, ~static_cast<uint64_t>(v) + 1);
  }
  return putUnsigned(p, static_cast<uint64_t>(v));
}

// 16.16 inches: "0", or sign, integer part when not 0, "." and up to five
// decimals (hundred-thousandths rounded down, then made even) without
// trailing zeros, the first decimal always written.
inline char* putDimension(char* p, int32_t v) {
  if (v == 0) {
    *p++ = '0';
    return p;
  }
  int64_t a = v;
  if (a < 0) {
    *p++ = '-';
    a = -a;
  }
  const int64_t whole = a >> 16;
  int64_t fraction = ((a & 0xFFFF) * 100000) >> 16;
  if (fraction & 1) ++fraction;
  if (whole != 0) p = putUnsigned(p, static_cast<uint64_t>(whole));
  *p++ = '.';
  const auto f = static_cast<uint32_t>(fraction);  // below 100000
  p[0] = static_cast<char>('0' + f / 10000);
  p[1] = static_cast<char>('0' + f / 1000 % 10);
  p[2] = static_cast<char>('0' + f / 100 % 10);
  p[3] = static_cast<char>('0' + f / 10 % 10);
  p[4] = static_cast<char>('0' + f % 10);
  int n = 5;
  while (n > 1 && p[n - 1] == '0') --n;
  return p + n;
}

// Binary angle in degrees: whole degrees without decimals, others with two.
inline char* putAngle(char* p, uint32_t angle) {
  if (angle == 0) {
    *p++ = '0';
    return p;
  }
  if (angle > 65536) angle = 65536;
  const uint64_t hundredths = (uint64_t{angle} * 36000 + 29535) / 65536;
  const uint64_t degrees = hundredths / 100, rest = hundredths % 100;
  if (rest == 0) return putUnsigned(p, degrees);
  if (degrees != 0) p = putUnsigned(p, degrees);
  *p++ = '.';
  *p++ = static_cast<char>('0' + rest / 10);
  *p++ = static_cast<char>('0' + rest % 10);
  return p;
}

}  // namespace trelmo::numbers
