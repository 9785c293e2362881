#include "files/import/dxf_groups.h"

#include <cmath>

namespace trelmo::dxf {

namespace {

constexpr int kMaxExponent = 5;
constexpr double kUnitsLimit = 2147418112.0;  // 32767 inches: differences stay in 32 bits

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int GroupReader::next() {
  if (again_) {
    again_ = false;
    return code_;
  }
  if (!in_.nextLine(line_)) return code_ = -1;
  code_ = static_cast<int>(integer(line_));
  if (!in_.nextLine(value_)) value_.clear();
  return code_;
}

std::string_view GroupReader::keyword() const {
  std::string_view v = value_;
  while (!v.empty() && isBlank(v.front())) v.remove_prefix(1);
  while (!v.empty() && (isBlank(v.back()) || v.back() == '\r')) v.remove_suffix(1);
  return v;
}

double number(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && isBlank(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  double v = 0;
  for (; i < s.size() && isDigit(s[i]); ++i) v = v * 10 + (s[i] - '0');
  if (i < s.size() && s[i] == '.') {
    double scale = 0.1;
    for (++i; i < s.size() && isDigit(s[i]); ++i, scale *= 0.1) v += (s[i] - '0') * scale;
  }
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    ++i;
    bool down = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) down = s[i++] == '-';
    int e = 0;
    for (; i < s.size() && isDigit(s[i]); ++i) e = e < 100 ? e * 10 + (s[i] - '0') : e;
    if (e > kMaxExponent) e = kMaxExponent;
    const double p = std::pow(10.0, e);
    v = down ? v / p : v * p;
  }
  if (!std::isfinite(v)) v = 0;  // digits beyond the range of a double
  return negative ? -v : v;
}

long integer(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && isBlank(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  long v = 0;
  for (; i < s.size() && isDigit(s[i]); ++i)
    if (v < 100000000) v = v * 10 + (s[i] - '0');
  return negative ? -v : v;
}

int32_t toUnits(double inches) {
  double u = std::nearbyint(inches * 65536.0);
  if (!(u > -kUnitsLimit)) u = -kUnitsLimit;  // also catches NaN
  if (u > kUnitsLimit) u = kUnitsLimit;
  return static_cast<int32_t>(u);
}

uint16_t toSize(double inches) {
  const double u = std::nearbyint(inches * 65536.0);
  if (!(u > 0)) return 0;
  return u > 65535 ? 65535 : static_cast<uint16_t>(u);
}

uint16_t toAngle(double degrees) {
  if (!std::isfinite(degrees)) return 0;
  double turns = std::fmod(degrees / 360.0, 1.0);
  if (turns < 0) turns += 1.0;
  return static_cast<uint16_t>(static_cast<uint32_t>(std::llround(turns * 65536.0)) & 0xFFFF);
}

}  // namespace trelmo::dxf
