// Entities of the DXF versions after R12: ELLIPSE and MTEXT.
#include <cmath>
#include <numbers>
#include <string>

#include "context.h"
#include "database/chains.h"
#include "files/import/dxf_entity_groups.h"

namespace trelmo::dxf {

namespace {

constexpr uint16_t kEllipseWidth = 65;
constexpr size_t kMaxMText = 4096;  // characters kept of one paragraph text
constexpr double kTwoPi = 2 * std::numbers::pi;

// MTEXT formatting: paragraphs become line breaks, codes with arguments up
// to ";" and the grouping braces are dropped, stacked fractions read a/b.
std::string plainMText(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '{' || c == '}') continue;
    if (c != '\\' || i + 1 >= s.size()) {
      out += c;
      continue;
    }
    const char code = s[++i];
    switch (code) {
      case 'P':
        out += static_cast<char>(kLineBreak);
        break;
      case '~':
        out += ' ';
        break;
      case '\\':
      case '{':
      case '}':
        out += code;
        break;
      case 'U':
      case 'M':
        if (i + 1 < s.size() && s[i + 1] == '+') {  // \U+XXXX and \M+nXXXX: a character, read later
          out += '\\';
          out += code;
        } else {
          while (i < s.size() && s[i] != ';') ++i;
        }
        break;
      case 'L':
      case 'l':
      case 'O':
      case 'o':
      case 'K':
      case 'k':
        break;
      case 'S': {  // stacked: numerator ^ or / or # denominator ;
        for (++i; i < s.size() && s[i] != ';'; ++i) out += s[i] == '^' || s[i] == '#' ? '/' : s[i];
        break;
      }
      default:  // \A1; \C2; \Fromans|b0; \H2.5x; \Q15; \T1; \W0.8; \p...;
        while (i < s.size() && s[i] != ';') ++i;
        break;
    }
  }
  return out;
}

// Attachment 1..9 (top left .. bottom right) as an anchor code.
uint8_t attachmentAnchor(long attachment) {
  if (attachment < 1 || attachment > 9) return 8;  // top left
  const int column = static_cast<int>(attachment - 1) % 3, row = static_cast<int>(attachment - 1) / 3;
  return static_cast<uint8_t>(column | (2 - row) << 2);
}

}  // namespace

void readEllipse(Reader& r) {
  const Groups g = collect(r);
  const double mx = g.num(11), my = g.num(21);
  const double major = std::hypot(mx, my);
  double ratio = std::fabs(g.num(40, 1));
  if (!(major > 0) || !std::isfinite(major)) return;
  double t1 = g.num(41, 0), t2 = g.num(42, kTwoPi);
  if (g.num(230, 1) < 0) {  // seen from below the parameter runs the other way
    const double a = -t2;
    t2 = -t1;
    t1 = a;
  }
  double sweep = std::fmod(t2 - t1, kTwoPi);
  if (sweep <= 0) sweep += kTwoPi;
  const uint16_t sweep16 = sweep >= kTwoPi * (1 - 1e-9) ? 0 : binaryAngle(sweep);
  uint16_t ecc = 0;
  if (ratio < 1) ecc = static_cast<uint16_t>(std::fmax(1, std::nearbyint(ratio * 65536)));
  const Point c = corner(r, g, Ocs(), 0);
  const Handle h = addArc(r, layerOf(r, g), kEllipseWidth, c, toUnits(major), binaryAngle(t1), sweep16);
  if (h == kNull) return;
  Record& a = r.ctx.pool[h];
  item::setArc(a, item::radius(a), item::start(a), item::sweep(a), ecc, directionOf(mx, my));
}

void readMText(Reader& r) {
  std::string raw, last;
  Groups g;
  while (r.groups.next() > 0) {
    const int code = r.groups.code();
    if (code == 3 && raw.size() < kMaxMText)
      raw += r.groups.value();  // the text runs on in 250-byte pieces
    else if (code == 1)
      last = r.groups.value();
    else
      g.set(code, r.groups.value());
  }
  r.groups.unread();
  raw += last;
  if (raw.size() > kMaxMText) raw.resize(kMaxMText);
  // Characters first, so that the paragraph codes' line breaks stay.
  const std::string text = plainMText(textString(raw, r.codePage));
  if (text.empty()) return;
  const uint16_t height = g.has(40) && toSize(g.num(40)) > 0 ? toSize(g.num(40)) : 6;
  const uint16_t angle = g.has(11) || g.has(21) ? directionOf(g.num(11), g.num(21)) : toAngle(g.num(50));
  addText(r, layerOf(r, g), height, corner(r, g, Ocs(), 0), angle, false, attachmentAnchor(g.flags(71)), text);
}

}  // namespace trelmo::dxf
