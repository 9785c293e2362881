// Numbers of photo-plot and drill files: signed digit runs, implied decimal
// points, units.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "files/import/gerber_reader.h"

namespace trelmo {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

double pow10(int n) {
  double r = 1;
  for (int i = 0; i < n && i < 30; ++i) r *= 10;
  for (int i = 0; i > n && i > -30; --i) r /= 10;
  return r;
}

}  // namespace

int32_t toUnits(double value, bool metric) {
  double u = value * 65536.0;
  if (metric) u /= kMmPerInch;
  if (!(u > -2147483647.0)) return u != u ? 0 : -2147483647;  // NaN reads as 0
  if (u > 2147483647.0) return 2147483647;
  return static_cast<int32_t>(std::llround(u));
}

uint16_t toSize(double value, bool metric) {
  int32_t u = toUnits(value, metric);
  return u < 0 ? 0 : u > 65535 ? 65535 : static_cast<uint16_t>(u);
}

DigitRun readDigits(std::string_view s, size_t& pos) {
  DigitRun r;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) r.negative = s[pos++] == '-';
  double frac = 0, scale = 1;
  for (; pos < s.size(); ++pos) {
    char c = s[pos];
    if (c == '.' && !r.point) {
      r.point = true;
      continue;
    }
    if (!isDigit(c)) break;
    if (r.point) {
      if (scale > 1e-15) frac += (c - '0') * (scale /= 10);
      continue;
    }
    if (r.digits < 18) r.value = r.value * 10 + (c - '0');
    ++r.digits;
  }
  if (r.point) r.decimal = (r.negative ? -1 : 1) * (static_cast<double>(r.value) + frac);
  return r;
}

double readDecimal(std::string_view s, size_t& pos) {
  DigitRun r = readDigits(s, pos);
  if (r.point) return r.decimal;
  return (r.negative ? -1.0 : 1.0) * static_cast<double>(r.value);
}

int readInteger(std::string_view s, size_t& pos) {
  int v = 0, n = 0;
  for (; pos < s.size() && isDigit(s[pos]); ++pos)
    if (n++ < 9) v = v * 10 + (s[pos] - '0');
  return v;
}

double gerberCoordinate(const DigitRun& run, int digitCount, bool trailing) {
  if (run.point) return run.decimal;
  double v = static_cast<double>(run.value) * (run.negative ? -1 : 1);
  // Fewer digits than the integer part under trailing suppression means
  // the missing zeros stood at the end: "X1" with two integer digits is 10.
  int fraction = trailing ? std::min(run.digits, 18) - digitCount : digitCount;
  return v / pow10(fraction);
}

double drillCoordinate(const DigitRun& run, int integerDigits, int fractionDigits) {
  if (run.point) return run.decimal;
  double v = static_cast<double>(run.value) * (run.negative ? -1 : 1);
  int written = std::min(run.digits, 18);
  if (written == 0) return 0;
  if (fractionDigits >= 0) return v / pow10(fractionDigits);
  // A single digit d stands for d followed by zeros: d x 10 with two
  // integer digits.
  return v / pow10(written - integerDigits);
}

}  // namespace trelmo
