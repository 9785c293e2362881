// Number fields of option and item lines.
#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "database/geometry.h"
#include "database/options_internal.h"

namespace trelmo {
namespace {

constexpr uint64_t kWholeLimit = 1000000000000ull;  // larger whole parts saturate here
constexpr uint64_t kNano = 1000000000ull;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Rounds num/den to nearest (half away from zero) for non-negative num.
// Numerators that fit in 63 bits (nearly all) divide in 64 bits.
uint64_t roundDiv(unsigned __int128 num, uint64_t den) {
  if (num < (static_cast<unsigned __int128>(1) << 63) && den < (uint64_t{1} << 62))
    return (static_cast<uint64_t>(num) + den / 2) / den;
  return static_cast<uint64_t>((num + den / 2) / den);
}

int32_t signedUnits(bool negative, uint64_t magnitude) {
  const int64_t m = static_cast<int64_t>(std::min<uint64_t>(magnitude, uint64_t{1} << 40));
  return clamp32(negative ? -m : m);
}

}  // namespace

Decimal readDecimal(NumberReader& r, bool allowPlus) {
  Decimal d;
  if (r.atEnd()) return d;
  // Scanned through local pointers: the reader's position is stored once.
  const char* const begin = r.s.data();
  const char* p = begin + r.pos;
  const char* const end = begin + r.s.size();
  if (*p == '-') {
    d.negative = true;
    ++p;
  } else if (allowPlus && *p == '+') {
    ++p;
  }
  uint64_t whole = 0;
  for (; p < end && isDigit(*p); ++p) whole = std::min(kWholeLimit, whole * 10 + static_cast<uint64_t>(*p - '0'));
  d.whole = whole;
  if (p < end && *p == '.') {
    d.point = true;
    ++p;
    // The first nine digits count; the rest are taken and counted only.
    static constexpr uint64_t kScale[10] = {1000000000, 100000000, 10000000, 1000000, 100000, 10000, 1000, 100, 10, 1};
    uint64_t digits = 0;
    int count = 0;
    for (; p < end && isDigit(*p); ++p, ++count)
      if (count < 9) digits = digits * 10 + static_cast<uint64_t>(*p - '0');
    d.fractionDigits = count;
    d.nano = digits * kScale[std::min(count, 9)];
  }
  r.pos = static_cast<size_t>(p - begin);
  return d;
}

uint64_t decimalTo3232(const Decimal& d) {
  const uint64_t whole = std::min<uint64_t>(d.whole, 0xFFFFFFFFu);
  return (whole << 32) + roundDiv(static_cast<unsigned __int128>(d.nano) << 32, kNano);
}

uint64_t mm3232ToInch(uint64_t mm) {
  return static_cast<uint64_t>((static_cast<unsigned __int128>(mm) * kMmToInch32 + (uint64_t{1} << 31)) >> 32);
}

uint32_t fractionOfInch(uint64_t inch3232) {
  return inch3232 >= (uint64_t{1} << 32) ? kAllOnes : static_cast<uint32_t>(inch3232);
}

int32_t mmToInch(int64_t mm1616) {
  const bool negative = mm1616 < 0;
  const uint64_t m = negative ? uint64_t(0) - static_cast<uint64_t>(mm1616) : static_cast<uint64_t>(mm1616);
  return signedUnits(negative, mm3232ToInch(m));
}

uint32_t NumberReader::hex() {
  uint32_t v = 0;
  for (;; ++pos) {
    const char c = peek();
    int digit;
    if (isDigit(c))
      digit = c - '0';
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else
      return v;
    v = (v << 4) | static_cast<uint32_t>(digit);
  }
}

namespace {

// The run of digits at p (up to 7 of them, and 8 when it goes on), with its
// value, from one 8-byte load where the text has 8 bytes left.
struct DigitRun {
  int count;
  uint64_t value;
};
DigitRun digitRun(const char* p, const char* end) {
  if (end - p < 8) {
    DigitRun run{0, 0};
    for (; p < end && run.count < 8 && isDigit(*p); ++p, ++run.count)
      run.value = run.value * 10 + static_cast<uint64_t>(*p - '0');
    return run;
  }
  constexpr uint64_t kLow = 0x0F0F0F0F0F0F0F0Full, kHigh = 0xF0F0F0F0F0F0F0F0ull;
  uint64_t w;
  std::memcpy(&w, p, 8);
  // A byte is a digit when its high half is 3 and its low half at most 9.
  const uint64_t other = ((w & kHigh) ^ 0x3030303030303030ull) | (((w & kLow) + 0x0606060606060606ull) & kHigh);
  const int count = other == 0 ? 8 : std::countr_zero(other) / 8;
  if (count == 0) return {0, 0};
  // The digits moved to the top bytes (zeros before them), then summed in
  // pairs, fours and eights.
  uint64_t v = (w & kLow) << (8 * (8 - count));
  v = ((v * 2561) >> 8) & 0x00FF00FF00FF00FFull;
  v = ((v * 6553601) >> 16) & 0x0000FFFF0000FFFFull;
  v = (v * 42949672960001ull) >> 32;
  return {count, v};
}

// Up to six whole and six fraction digits, the numbers files are made of:
// the millionths fit in 64 bits with their 16-bit shift, so the value comes
// without the general scan. False (nothing taken) for anything longer.
bool shortDimension(NumberReader& r, int32_t& value) {
  static constexpr uint64_t kPlaces[7] = {1000000, 100000, 10000, 1000, 100, 10, 1};
  const char* const begin = r.s.data();
  const char* p = begin + r.pos;
  const char* const end = begin + r.s.size();
  const bool negative = p < end && *p == '-';
  if (p < end && (*p == '-' || *p == '+')) ++p;
  const DigitRun whole = digitRun(p, end);
  if (whole.count > 6) return false;
  p += whole.count;
  uint64_t micro = whole.value * 1000;  // without a point: mils
  if (p < end && *p == '.') {
    const DigitRun fraction = digitRun(++p, end);
    if (fraction.count > 6) return false;
    p += fraction.count;
    micro = whole.value * 1000000 + fraction.value * kPlaces[fraction.count];
  }
  r.pos = static_cast<size_t>(p - begin);
  value = signedUnits(negative, ((micro << 16) + 500000) / 1000000);
  return true;
}

}  // namespace

int32_t NumberReader::integer() {
  bool negative = false;
  if (peek() == '-' || peek() == '+') negative = s[pos++] == '-';
  uint64_t v = 0;
  while (isDigit(peek())) {
    v = std::min(kWholeLimit, v * 10 + static_cast<uint64_t>(s[pos++] - '0'));
  }
  return signedUnits(negative, v);
}

int32_t NumberReader::dimension() {
  if (int32_t v = 0; shortDimension(*this, v)) return v;
  const Decimal d = readDecimal(*this, true);
  // Millionths of an inch: at most six fraction digits count; without a
  // point the number is in mils.
  const uint64_t micro = d.point ? d.whole * 1000000 + d.nano / 1000 : d.whole * 1000;
  return signedUnits(d.negative, roundDiv(static_cast<unsigned __int128>(micro) << 16, 1000000));
}

int32_t NumberReader::oldDimension() {
  const int32_t mils = integer();
  const bool negative = mils < 0;
  const uint64_t m = negative ? uint64_t(0) - static_cast<uint64_t>(static_cast<int64_t>(mils)) : uint64_t(mils);
  return signedUnits(negative, roundDiv(static_cast<unsigned __int128>(m) << 16, 1000));
}

int32_t NumberReader::plainNumber() {
  const Decimal d = readDecimal(*this, false);
  const uint64_t whole = std::min<uint64_t>(d.whole, uint64_t{1} << 20);
  return signedUnits(d.negative, (whole << 16) + roundDiv(static_cast<unsigned __int128>(d.nano) << 16, kNano));
}

uint16_t NumberReader::angle() {
  const Decimal d = readDecimal(*this, false);
  // Degrees straight into the binary angle, rounded once: 65536 / 360.
  const unsigned __int128 nanoDegrees =
      static_cast<unsigned __int128>(std::min<uint64_t>(d.whole, 1u << 30)) * kNano + d.nano;
  const uint64_t binary = roundDiv(nanoDegrees << 16, 360 * kNano);
  const uint16_t v = static_cast<uint16_t>(binary);
  return d.negative ? static_cast<uint16_t>(0u - v) : v;
}

std::string NumberReader::token(char stop) {
  const size_t start = pos;
  while (!atEnd()) {
    const unsigned char c = static_cast<unsigned char>(s[pos]);
    if (c == static_cast<unsigned char>(stop) || c <= ' ') break;
    ++pos;
  }
  return std::string(s.substr(start, pos - start));
}

}  // namespace trelmo
