// The aperture table of a photo-plot file: standard apertures from "ADD"
// statements, and aperture macros reduced to a pad covering their extent.
#include <algorithm>
#include <cmath>
#include <string>

#include "files/import/gerber_reader.h"

namespace trelmo {

namespace {

constexpr size_t kMaxParams = 64;
constexpr int kMaxDepth = 32;

// Arithmetic of macro bodies: + - x / and parentheses over numbers and $n.
class MacroExpression {
 public:
  MacroExpression(std::string_view s, const std::vector<double>& vars) : s_(s), vars_(vars) {}
  double value() { return sum(0); }

 private:
  char peek() {
    while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
    return pos_ < s_.size() ? s_[pos_] : '\0';
  }
  double sum(int depth) {
    double v = product(depth);
    for (char c = peek(); c == '+' || c == '-'; c = peek()) {
      ++pos_;
      double r = product(depth);
      v = c == '+' ? v + r : v - r;
    }
    return v;
  }
  double product(int depth) {
    double v = factor(depth);
    for (char c = peek(); c == 'x' || c == 'X' || c == '/'; c = peek()) {
      ++pos_;
      double r = factor(depth);
      v = c == '/' ? (r != 0 ? v / r : 0) : v * r;
    }
    return v;
  }
  double factor(int depth) {
    char c = peek();
    if (c == '-' || c == '+') {
      ++pos_;
      double v = depth < kMaxDepth ? factor(depth + 1) : 0;
      return c == '-' ? -v : v;
    }
    if (c == '(') {
      ++pos_;
      double v = depth < kMaxDepth ? sum(depth + 1) : 0;
      if (peek() == ')') ++pos_;
      return v;
    }
    if (c == '$') {
      ++pos_;
      size_t n = static_cast<size_t>(readInteger(s_, pos_));
      return n >= 1 && n <= vars_.size() ? vars_[n - 1] : 0;
    }
    size_t before = pos_;
    double v = readDecimal(s_, pos_);
    if (pos_ == before && pos_ < s_.size()) ++pos_;  // an unknown character: skip it
    return v;
  }
  std::string_view s_;
  const std::vector<double>& vars_;
  size_t pos_ = 0;
};

std::vector<std::string_view> split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i)
    if (i == s.size() || s[i] == sep) {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  return parts;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// Extent of the exposed primitives of a macro.
struct Extent {
  double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
  bool round = false, lines = false, corners = false;
  bool empty() const { return minX > maxX; }
  void add(double x, double y, double r, double degrees) {
    double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
    double rx = x * c - y * s, ry = x * s + y * c;
    minX = std::min(minX, rx - r), maxX = std::max(maxX, rx + r);
    minY = std::min(minY, ry - r), maxY = std::max(maxY, ry + r);
  }
};

double arg(const std::vector<double>& a, size_t i) { return i < a.size() ? a[i] : 0; }

void addPrimitive(Extent& e, const std::vector<double>& a) {
  int code = static_cast<int>(arg(a, 0));
  bool exposed = code == 6 || code == 7 || arg(a, 1) != 0;
  if (!exposed) return;
  switch (code) {
    case 1:  // circle: exposure, diameter, centre, rotation
      e.add(arg(a, 3), arg(a, 4), std::fabs(arg(a, 2)) / 2, arg(a, 5)), e.round = true;
      break;
    case 2:
    case 20:  // vector line: exposure, width, start, end, rotation
      e.add(arg(a, 3), arg(a, 4), std::fabs(arg(a, 2)) / 2, arg(a, 7));
      e.add(arg(a, 5), arg(a, 6), std::fabs(arg(a, 2)) / 2, arg(a, 7)), e.lines = true;
      break;
    case 21:
    case 22: {  // centre line or lower-left line: exposure, width, height, point, rotation
      double w = arg(a, 2), h = arg(a, 3), x = arg(a, 4), y = arg(a, 5);
      if (code == 21) x -= w / 2, y -= h / 2;
      for (int k = 0; k < 4; ++k) e.add(x + (k & 1 ? w : 0), y + (k & 2 ? h : 0), 0, arg(a, 6));
      e.corners = true;
      break;
    }
    case 4: {  // outline: exposure, n, n + 1 points, rotation
      size_t n = static_cast<size_t>(std::clamp(arg(a, 2), 0.0, double(kMaxParams)));
      double rot = arg(a, 3 + 2 * (n + 1));
      for (size_t k = 0; k <= n; ++k) e.add(arg(a, 3 + 2 * k), arg(a, 4 + 2 * k), 0, rot);
      e.corners = true;
      break;
    }
    case 5:  // polygon: exposure, vertices, centre, diameter, rotation
      e.add(arg(a, 3), arg(a, 4), std::fabs(arg(a, 5)) / 2, arg(a, 6)), e.round = true;
      break;
    case 6:
    case 7:  // moire and thermal: centre, outer diameter, ..., rotation
      e.add(arg(a, 1), arg(a, 2), std::fabs(arg(a, 3)) / 2, code == 7 ? arg(a, 6) : arg(a, 9)), e.round = true;
      break;
    default:
      break;
  }
}

}  // namespace

Aperture ApertureTable::fromMacro(const std::string& body, const std::vector<double>& params, bool metric) const {
  std::vector<double> vars = params;
  Extent e;
  for (std::string_view prim : split(body, '*')) {
    prim = trim(prim);
    if (prim.empty() || prim[0] == '0') continue;  // comment
    if (prim[0] == '$') {                          // variable definition $n=expression
      size_t pos = 1;
      size_t n = static_cast<size_t>(readInteger(prim, pos));
      if (n < 1 || n > kMaxParams || pos >= prim.size() || prim[pos] != '=') continue;
      if (vars.size() < n) vars.resize(n, 0.0);
      vars[n - 1] = MacroExpression(prim.substr(pos + 1), vars).value();
      continue;
    }
    std::vector<double> args;
    for (std::string_view field : split(prim, ',')) {
      if (args.size() >= 2 * kMaxParams + 8) break;
      args.push_back(MacroExpression(field, vars).value());
    }
    addPrimitive(e, args);
  }
  Aperture ap;
  ap.shape = kCircle;
  if (e.empty()) return ap;
  ap.x = toSize(e.maxX - e.minX, metric);
  ap.y = toSize(e.maxY - e.minY, metric);
  ap.offsetX = toUnits((e.maxX + e.minX) / 2, metric);
  ap.offsetY = toUnits((e.maxY + e.minY) / 2, metric);
  if (e.corners)
    ap.shape = kRectangle;
  else if (e.lines)
    ap.shape = kObround;
  return ap;
}

int ApertureTable::define(std::string_view text, bool metric) {
  size_t pos = 0;
  int dcode = readInteger(text, pos);
  size_t comma = text.find(',', pos);
  std::string name(text.substr(pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos));
  std::vector<double> params;
  if (comma != std::string_view::npos)
    for (std::string_view field : split(text.substr(comma + 1), 'X')) {
      if (params.size() >= kMaxParams) break;
      size_t p = 0;
      params.push_back(readDecimal(trim(field), p));
    }
  Aperture ap;
  auto macro = name.size() > 1 ? macros_.find(name) : macros_.end();
  if (macro != macros_.end()) {
    ap = fromMacro(macro->second, params, metric);
  } else {
    char letter = name.empty() ? 'C' : name[0];
    ap.shape = letter == 'R' ? kRectangle : letter == 'O' ? kObround : kCircle;
    ap.x = toSize(params.empty() ? 0 : params[0], metric);
    ap.y = ap.shape == kCircle ? ap.x : toSize(params.size() > 1 ? params[1] : 0, metric);
  }
  (*this)[dcode] = ap;
  return clampCode(dcode);
}

void ApertureTable::defineMacro(std::string_view text) {
  size_t star = text.find('*');
  if (star == std::string_view::npos || macros_.size() >= kMaxMacros) return;
  std::string name(trim(text.substr(0, star)));
  if (name.empty()) return;
  std::string_view body = text.substr(star + 1);
  macros_[name] = std::string(body.substr(0, std::min(body.size(), kMaxMacroText)));
}

}  // namespace trelmo
