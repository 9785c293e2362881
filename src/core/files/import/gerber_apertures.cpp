// The aperture table of a photo-plot file: standard apertures from "ADD"
// statements and aperture macros, each as a pad of the item model when one
// holds its shape, otherwise as its exact outline.
#include <algorithm>
#include <cmath>
#include <string>

#include "files/import/gerber_reader.h"

namespace trelmo {

namespace {

constexpr size_t kMaxParams = 64;
constexpr size_t kMaxPrimitives = 256;
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

double arg(const std::vector<double>& a, size_t i) { return i < a.size() ? a[i] : 0; }
double radians(double degrees) { return degrees * M_PI / 180; }
uint16_t binaryAngle(double degrees) {
  double turns = degrees / 360;
  turns -= std::floor(turns);
  return static_cast<uint16_t>(std::llround(turns * 65536) & 0xFFFF);
}
// (x, y) turned about the macro's origin.
void turn(double& x, double& y, double degrees) {
  const double c = std::cos(radians(degrees)), s = std::sin(radians(degrees)), rx = x * c - y * s;
  y = x * s + y * c, x = rx;
}

// One primitive of a macro with its arguments evaluated (file units).
struct Primitive {
  int code = 0;
  bool exposed = true;
  std::vector<double> a;
};

// The area of a primitive in world units (`k` world units a file unit).
gerber::Polygons primitiveArea(const Primitive& p, double k) {
  const std::vector<double>& a = p.a;
  gerber::Polygons out;
  auto at = [&](double x, double y, double degrees) {
    turn(x, y, degrees);
    return std::pair{x * k, y * k};
  };
  switch (p.code) {
    case 1: {  // circle: exposure, diameter, centre, rotation
      auto [x, y] = at(arg(a, 3), arg(a, 4), arg(a, 5));
      out.push_back(gerber::circle(x, y, arg(a, 2) * k));
      break;
    }
    case 2:
    case 20: {  // vector line: exposure, width, start, end, rotation; square ends
      auto [x0, y0] = at(arg(a, 3), arg(a, 4), arg(a, 7));
      auto [x1, y1] = at(arg(a, 5), arg(a, 6), arg(a, 7));
      const double len = std::hypot(x1 - x0, y1 - y0);
      if (len > 0)
        out.push_back(
            gerber::rectangle((x0 + x1) / 2, (y0 + y1) / 2, len, arg(a, 2) * k, std::atan2(y1 - y0, x1 - x0)));
      break;
    }
    case 21:
    case 22: {  // centre line or lower-left line: exposure, width, height, point, rotation
      const double w = arg(a, 2), h = arg(a, 3);
      double cx = arg(a, 4), cy = arg(a, 5);
      if (p.code == 22) cx += w / 2, cy += h / 2;
      auto [x, y] = at(cx, cy, arg(a, 6));
      out.push_back(gerber::rectangle(x, y, w * k, h * k, radians(arg(a, 6))));
      break;
    }
    case 4: {  // outline: exposure, n, n + 1 points, rotation
      const size_t n = static_cast<size_t>(std::clamp(arg(a, 2), 0.0, double(kMaxParams)));
      const double rot = arg(a, 3 + 2 * (n + 1));
      gerber::Polygon q;
      for (size_t i = 0; i <= n; ++i) {
        auto [x, y] = at(arg(a, 3 + 2 * i), arg(a, 4 + 2 * i), rot);
        q.emplace_back(std::llround(x), std::llround(y));
      }
      if (q.size() > 1 && q.front() == q.back()) q.pop_back();
      if (q.size() >= 3) out = gerber::normalised({q});
      break;
    }
    case 5: {  // polygon: exposure, vertices, centre, diameter, rotation
      auto [x, y] = at(arg(a, 3), arg(a, 4), arg(a, 6));
      out.push_back(
          gerber::regularPolygon(x, y, arg(a, 5) * k, gerber::heldInt(arg(a, 2), 0, 1000), radians(arg(a, 6))));
      break;
    }
    case 6: {  // moire: centre, outer diameter, ring thickness, gap, rings, cross thickness and length, rotation
      auto [x, y] = at(arg(a, 1), arg(a, 2), arg(a, 9));
      const double t = arg(a, 4) * k, gap = arg(a, 5) * k, rot = radians(arg(a, 9));
      double d = arg(a, 3) * k;
      const int rings = static_cast<int>(std::clamp(arg(a, 6), 0.0, 100.0));
      for (int i = 0; i < rings && d > 0; ++i, d -= 2 * (t + gap)) {
        gerber::Polygons ring{gerber::circle(x, y, d)};
        if (d - 2 * t > 0) ring = gerber::subtract(ring, {gerber::circle(x, y, d - 2 * t)});
        out = gerber::unite(out, ring);
      }
      const double ct = arg(a, 7) * k, cl = arg(a, 8) * k;
      out = gerber::unite(out, {gerber::rectangle(x, y, cl, ct, rot), gerber::rectangle(x, y, ct, cl, rot)});
      break;
    }
    case 7: {  // thermal: centre, outer and inner diameter, gap, rotation
      auto [x, y] = at(arg(a, 1), arg(a, 2), arg(a, 6));
      const double od = arg(a, 3) * k, id = arg(a, 4) * k, gap = arg(a, 5) * k, rot = radians(arg(a, 6));
      gerber::Polygons ring{gerber::circle(x, y, od)};
      if (id > 0) ring = gerber::subtract(ring, {gerber::circle(x, y, id)});
      out = gerber::subtract(ring,
                             {gerber::rectangle(x, y, od * 2, gap, rot), gerber::rectangle(x, y, gap, od * 2, rot)});
      break;
    }
    default:
      break;
  }
  return out;
}

// Sets the pad of an aperture when its sizes fit the item model.
bool setPad(Aperture& ap, uint8_t shape, double cx, double cy, double w, double h, double degrees) {
  auto fits = [](double v) { return v > 0 && v <= 65535; };
  if (!fits(w) || !fits(h)) return false;
  ap.shape = shape, ap.x = static_cast<uint16_t>(std::lround(w)), ap.y = static_cast<uint16_t>(std::lround(h));
  ap.offsetX = static_cast<int32_t>(std::llround(cx)), ap.offsetY = static_cast<int32_t>(std::llround(cy));
  ap.angle = shape == kCircle ? 0 : binaryAngle(degrees);
  return true;
}

// A four-cornered outline with right angles at every corner, as a rectangle.
bool outlinePad(const std::vector<double>& a, double k, Aperture& ap) {
  if (arg(a, 2) != 4 || a.size() < 14) return false;
  double px[4], py[4];
  for (int i = 0; i < 4; ++i) px[i] = arg(a, 3 + 2 * i), py[i] = arg(a, 4 + 2 * i);
  if (arg(a, 11) != px[0] || arg(a, 12) != py[0]) return false;
  const double e = 1e-9 * (1 + std::fabs(px[0]) + std::fabs(py[0]));
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4, m = (i + 3) % 4;
    const double dot = (px[j] - px[i]) * (px[m] - px[i]) + (py[j] - py[i]) * (py[m] - py[i]);
    if (std::fabs(dot) > e) return false;
  }
  double x = (px[0] + px[2]) / 2, y = (py[0] + py[2]) / 2;
  turn(x, y, arg(a, 13));
  const double degrees = std::atan2(py[1] - py[0], px[1] - px[0]) * 180 / M_PI + arg(a, 13);
  return setPad(ap, kRectangle, x * k, y * k, std::hypot(px[1] - px[0], py[1] - py[0]) * k,
                std::hypot(px[2] - px[1], py[2] - py[1]) * k, degrees);
}

// One primitive: a circle, a rectangle (centre line, lower-left line, vector
// line) or a right-angled outline.
bool primitivePad(const Primitive& p, double k, Aperture& ap) {
  const std::vector<double>& a = p.a;
  double x = 0, y = 0;
  switch (p.code) {
    case 1:
      x = arg(a, 3), y = arg(a, 4), turn(x, y, arg(a, 5));
      return setPad(ap, kCircle, x * k, y * k, arg(a, 2) * k, arg(a, 2) * k, 0);
    case 21:
    case 22:
      x = arg(a, 4) + (p.code == 22 ? arg(a, 2) / 2 : 0), y = arg(a, 5) + (p.code == 22 ? arg(a, 3) / 2 : 0);
      turn(x, y, arg(a, 6));
      return setPad(ap, kRectangle, x * k, y * k, arg(a, 2) * k, arg(a, 3) * k, arg(a, 6));
    case 2:
    case 20: {
      const double dx = arg(a, 5) - arg(a, 3), dy = arg(a, 6) - arg(a, 4);
      x = (arg(a, 3) + arg(a, 5)) / 2, y = (arg(a, 4) + arg(a, 6)) / 2, turn(x, y, arg(a, 7));
      const double degrees = std::atan2(dy, dx) * 180 / M_PI + arg(a, 7);
      return setPad(ap, kRectangle, x * k, y * k, std::hypot(dx, dy) * k, arg(a, 2) * k, degrees);
    }
    case 4:
      return outlinePad(a, k, ap);
    default:
      return false;
  }
}

// An obround drawn as a line with a circle of its width on each end.
bool obroundPad(const std::vector<Primitive>& prims, double k, Aperture& ap) {
  const Primitive *line = nullptr, *c[2] = {nullptr, nullptr};
  for (const Primitive& p : prims) {
    if (p.code == 20 || p.code == 2)
      line = &p;
    else if (p.code == 1)
      (c[0] ? c[1] : c[0]) = &p;
  }
  if (!line || !c[0] || !c[1]) return false;
  const std::vector<double>& l = line->a;
  const double rot = arg(l, 7), d = arg(l, 2);
  for (const Primitive* p : c)
    if (arg(p->a, 2) != d || arg(p->a, 5) != rot) return false;
  auto same = [](const Primitive* p, double x, double y) { return arg(p->a, 3) == x && arg(p->a, 4) == y; };
  const bool ends = (same(c[0], arg(l, 3), arg(l, 4)) && same(c[1], arg(l, 5), arg(l, 6))) ||
                    (same(c[1], arg(l, 3), arg(l, 4)) && same(c[0], arg(l, 5), arg(l, 6)));
  if (!ends) return false;
  const double dx = arg(l, 5) - arg(l, 3), dy = arg(l, 6) - arg(l, 4);
  double x = (arg(l, 3) + arg(l, 5)) / 2, y = (arg(l, 4) + arg(l, 6)) / 2;
  turn(x, y, rot);
  return setPad(ap, kObround, x * k, y * k, (std::hypot(dx, dy) + d) * k, d * k, std::atan2(dy, dx) * 180 / M_PI + rot);
}

// A pad of the item model for a macro of one circle, one rectangle or
// right-angled outline, or an obround; other macros keep their outline.
bool padOf(const std::vector<Primitive>& prims, double k, Aperture& ap) {
  if (std::any_of(prims.begin(), prims.end(), [](const Primitive& p) { return !p.exposed; })) return false;
  if (prims.size() == 1) return primitivePad(prims[0], k, ap);
  return prims.size() == 3 && obroundPad(prims, k, ap);
}

double worldPerUnit(bool metric) { return metric ? 65536.0 / kMmPerInch : 65536.0; }

}  // namespace

gerber::Polygons apertureShape(const Aperture& ap) {
  if (ap.outline) return *ap.outline;
  const double x = ap.offsetX, y = ap.offsetY, r = ap.angle * 2 * M_PI / 65536;
  switch (ap.shape) {
    case kRectangle:
      return {gerber::rectangle(x, y, ap.x, ap.y, r)};
    case kObround:
      return {gerber::obround(x, y, ap.x, ap.y, r)};
    default:
      return {gerber::circle(x, y, ap.x)};
  }
}

Aperture ApertureTable::fromMacro(const std::string& body, const std::vector<double>& params, bool metric) const {
  std::vector<double> vars = params;
  std::vector<Primitive> prims;
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
    if (prims.size() >= kMaxPrimitives) break;
    Primitive p;
    for (std::string_view field : split(prim, ',')) {
      if (p.a.size() >= 2 * kMaxParams + 8) break;
      p.a.push_back(MacroExpression(field, vars).value());
    }
    p.code = gerber::heldInt(arg(p.a, 0), -1, 1000);
    p.exposed = p.code == 6 || p.code == 7 || arg(p.a, 1) != 0;
    prims.push_back(std::move(p));
  }
  const double k = worldPerUnit(metric);
  Aperture ap;
  ap.shape = kCircle;
  if (padOf(prims, k, ap)) return ap;
  gerber::Polygons shape;
  for (const Primitive& p : prims) {
    const gerber::Polygons area = primitiveArea(p, k);
    shape = p.exposed ? gerber::unite(shape, area) : gerber::subtract(shape, area);
  }
  const gerber::Box box = gerber::boxOf(shape);
  if (!box.empty()) {  // the pad fields give the extent (sizes, draws)
    ap.x = static_cast<uint16_t>(std::clamp<int64_t>(box.x1 - box.x0, 0, 65535));
    ap.y = static_cast<uint16_t>(std::clamp<int64_t>(box.y1 - box.y0, 0, 65535));
    ap.offsetX = static_cast<int32_t>((box.x0 + box.x1) / 2), ap.offsetY = static_cast<int32_t>((box.y0 + box.y1) / 2);
  }
  ap.outline = std::make_shared<const gerber::Polygons>(std::move(shape));
  return ap;
}

Aperture ApertureTable::standard(char letter, const std::vector<double>& params, bool metric) {
  const double k = worldPerUnit(metric);
  Aperture ap;
  ap.shape = letter == 'R' ? kRectangle : letter == 'O' ? kObround : kCircle;
  ap.x = toSize(params.empty() ? 0 : params[0], metric);
  ap.y = ap.shape == kCircle ? ap.x : toSize(params.size() > 1 ? params[1] : 0, metric);
  // Polygons, apertures with holes and those too large for a pad are kept as
  // their exact shape.
  const size_t holeAt = letter == 'P' ? 3 : ap.shape == kCircle ? 1 : 2;
  const double w = arg(params, 0) * k, h = ap.shape == kCircle ? w : arg(params, 1) * k;
  const bool large = w > 65535 || h > 65535, hole = arg(params, holeAt) > 0;
  if (letter != 'P' && !large && !hole) return ap;
  gerber::Polygons shape;
  if (letter == 'P')
    shape = {gerber::regularPolygon(0, 0, w, gerber::heldInt(arg(params, 1), 0, 1000), radians(arg(params, 2)))};
  else if (ap.shape == kRectangle)
    shape = {gerber::rectangle(0, 0, w, h, 0)};
  else if (ap.shape == kObround)
    shape = {gerber::obround(0, 0, w, h, 0)};
  else
    shape = {gerber::circle(0, 0, w)};
  if (hole) {
    const double hx = arg(params, holeAt) * k, hy = arg(params, holeAt + 1) * k;
    shape = gerber::subtract(shape, {hy > 0 ? gerber::rectangle(0, 0, hx, hy, 0) : gerber::circle(0, 0, hx)});
  }
  ap.outline = std::make_shared<const gerber::Polygons>(std::move(shape));
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
  const bool letter =
      name.empty() || (name.size() == 1 && std::string_view("CROP").find(name[0]) != std::string_view::npos);
  auto macro = letter ? macros_.end() : macros_.find(name);
  (*this)[dcode] = macro != macros_.end() ? fromMacro(macro->second, params, metric)
                                          : standard(name.empty() ? 'C' : name[0], params, metric);
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
