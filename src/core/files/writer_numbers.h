// Number formats of item lines written straight into a character buffer.
// They produce exactly the text of appendInt, appendDimension and appendAngle
// (files/number_format.h) without a string operation per digit, which is what
// keeps saving a design of a million items fast.
#pragma once
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace trelmo::numbers {

// Longest field any of these writes: "-32768.0" style dimensions are at most
// 12 characters, a 64-bit integer 20.
constexpr int kMaxField = 24;

// "00" to "99": numbers are written two digits at a time.
struct DigitPairs {
  char text[200];
  constexpr DigitPairs() : text() {
    for (size_t i = 0; i < 100; ++i) {
      text[2 * i] = static_cast<char>('0' + i / 10);
      text[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
  }
};
inline constexpr DigitPairs kDigitPairs;

// The two digits of v (below 100) as they lie in memory, first in the low byte.
inline uint16_t pairBits(uint32_t v) {
  uint16_t bits;
  std::memcpy(&bits, kDigitPairs.text + 2 * size_t{v}, 2);
  return bits;
}

inline char* putPair(char* p, uint32_t v) {
  std::memcpy(p, kDigitPairs.text + 2 * size_t{v}, 2);
  return p + 2;
}

inline char* putUnsigned(char* p, uint64_t v) {
  if (v < 10) {
    *p = static_cast<char>('0' + v);
    return p + 1;
  }
  if (v < 100) return putPair(p, static_cast<uint32_t>(v));
  return std::to_chars(p, p + 20, v).ptr;
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
  // The five digits in one word (first digit in the low byte), stored at
  // once; the trailing zeros after the first are then left off.
  const auto f = static_cast<uint32_t>(fraction);  // below 100000
  const uint32_t low = f % 10000;
  const uint64_t digits =
      ('0' + f / 10000) | (uint64_t{pairBits(low / 100)} << 8) | (uint64_t{pairBits(low % 100)} << 24);
  std::memcpy(p, &digits, 5);
  const int zeros = (std::countl_zero(digits ^ 0x3030303030ull) - 24) / 8;
  return p + 5 - (zeros < 4 ? zeros : 4);
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
  return putPair(p, static_cast<uint32_t>(rest));
}

}  // namespace trelmo::numbers
