#include "files/number_format.h"

namespace trelmo {

void appendInt(std::string& out, int64_t v) { out += std::to_string(v); }

void appendDimension(std::string& out, int32_t v) {
  if (v == 0) {
    out += '0';
    return;
  }
  int64_t a = v;
  if (a < 0) {
    out += '-';
    a = -a;
  }
  const int64_t whole = a >> 16;
  // Hundred-thousandths rounded down, then made even: reading the text back
  // with rounding lands on a value that writes the same text again.
  int64_t fraction = ((a & 0xFFFF) * 100000) >> 16;
  if (fraction & 1) ++fraction;
  if (whole != 0) out += std::to_string(whole);
  out += '.';
  int64_t place = 10000;
  do {
    out += static_cast<char>('0' + fraction / place);
    fraction %= place;
    place /= 10;
  } while (fraction != 0 && place != 0);
}

void appendAngle(std::string& out, uint32_t angle) {
  if (angle == 0) {
    out += '0';
    return;
  }
  if (angle > 65536) angle = 65536;
  const uint64_t hundredths = (uint64_t{angle} * 36000 + 29535) / 65536;
  const uint64_t degrees = hundredths / 100, rest = hundredths % 100;
  if (rest == 0) {
    out += std::to_string(degrees);
    return;
  }
  if (degrees != 0) out += std::to_string(degrees);
  out += '.';
  out += static_cast<char>('0' + rest / 10);
  out += static_cast<char>('0' + rest % 10);
}

void appendHex(std::string& out, uint32_t v, int width) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  char buf[8];
  int n = 0;
  do {
    buf[n++] = kDigits[v & 15];
    v >>= 4;
  } while (v != 0);
  for (int i = n; i < width; ++i) out += '0';
  while (n > 0) out += buf[--n];
}

void appendFixed(std::string& out, uint64_t value32, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > 4) decimals = 4;
  uint64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const unsigned __int128 scaled = (static_cast<unsigned __int128>(value32) * scale + (uint64_t{1} << 31)) >> 32;
  const uint64_t whole = static_cast<uint64_t>(scaled / scale);
  uint64_t fraction = static_cast<uint64_t>(scaled % scale);
  out += std::to_string(whole);
  if (decimals == 0) return;
  out += '.';
  for (uint64_t place = scale / 10; place != 0; place /= 10) {
    out += static_cast<char>('0' + fraction / place);
    fraction %= place;
  }
}

}  // namespace trelmo
