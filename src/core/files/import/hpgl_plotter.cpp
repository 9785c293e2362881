#include "files/import/hpgl_plotter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"

namespace trelmo::hpgl {

namespace {

constexpr double kUnitsLimit = 2147418112.0;
constexpr size_t kMaxLabel = 1000;

double clampUnits(double u) {
  if (!(u > -kUnitsLimit)) return -kUnitsLimit;
  return u > kUnitsLimit ? kUnitsLimit : u;
}

uint16_t binaryAngle(double radians) {
  if (!std::isfinite(radians)) return 0;
  double turns = std::fmod(radians / (2 * std::numbers::pi), 1.0);
  if (turns < 0) turns += 1.0;
  return static_cast<uint16_t>(static_cast<uint32_t>(std::llround(turns * 65536.0)) & 0xFFFF);
}

}  // namespace

Plotter::Plotter(Context& ctx, Handle ring, bool mils)
    : ctx_(ctx), ring_(ring), unit_(mils ? kMilUnit : kPlotterUnit) {}

void Plotter::run(Lexer& lex) {
  uint64_t commands = 0;
  for (uint16_t code = lex.command(); code != 0; code = lex.command()) {
    execute(code, lex);
    if ((++commands & 0xFFF) == 0 && lex.size() > 0)
      ctx_.host->progress(static_cast<int>(lex.position() * 100 / lex.size()));
  }
}

int32_t Plotter::world(double plotterUnits) const {
  return static_cast<int32_t>(std::llround(clampUnits(plotterUnits * unit_)));
}

Plotter::Point Plotter::toPlotter(double x, double y) const {
  if (!scaled_) return {x, y};
  return {p1_.x + (x - userX1_) * (p2_.x - p1_.x) / (userX2_ - userX1_),
          p1_.y + (y - userY1_) * (p2_.y - p1_.y) / (userY2_ - userY1_)};
}

Plotter::Point Plotter::deltaToPlotter(double dx, double dy) const {
  if (!scaled_) return {dx, dy};
  return {dx * (p2_.x - p1_.x) / (userX2_ - userX1_), dy * (p2_.y - p1_.y) / (userY2_ - userY1_)};
}

void Plotter::line(Point a, Point b) {
  if (pen_ == 0) return;  // no pen in the holder: nothing is drawn
  createItem(ctx_.pool, ring_, kLine, pen_, width_, world(a.x), world(a.y), world(b.x), world(b.y), kNull);
}

void Plotter::moveTo(Point p) {
  if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
  if (down_) line(at_, p);
  at_ = p;
}

void Plotter::moves(Lexer& lex, bool relative) {
  double x, y;
  while (lex.number(x)) {
    if (!lex.number(y)) break;  // an odd coordinate is dropped
    if (relative) {
      const Point d = deltaToPlotter(x, y);
      moveTo({at_.x + d.x, at_.y + d.y});
    } else {
      moveTo(toPlotter(x, y));
    }
  }
}

Plotter::Point Plotter::toUser(Point p) const {
  if (!scaled_) return p;
  return {userX1_ + (p.x - p1_.x) * (userX2_ - userX1_) / (p2_.x - p1_.x),
          userY1_ + (p.y - p1_.y) * (userY2_ - userY1_) / (p2_.y - p1_.y)};
}

void Plotter::userArc(Point centre, double radius, double from, double sweep) {
  if (pen_ == 0 || !(radius > 0) || !std::isfinite(radius)) return;
  const Point f = deltaToPlotter(1, 1);  // plotter units per user unit, signed
  const double a = std::fabs(f.x) * radius, b = std::fabs(f.y) * radius;
  // Where a user angle lands on the unscaled ellipse (x = a cos, y = b sin).
  const auto param = [&](double t) {
    return std::atan2((f.y < 0 ? -1 : 1) * std::sin(t), (f.x < 0 ? -1 : 1) * std::cos(t));
  };
  const bool kept = (f.x < 0) == (f.y < 0);  // orientation survives the scaling
  double lo = from, hi = from + sweep;
  if (sweep < 0) std::swap(lo, hi);
  double start = kept ? param(lo) : param(hi);
  const bool tall = b > a * (1 + 1e-9);
  uint16_t ecc = 0, axis = 0;
  if (std::fabs(a - b) > 1e-9 * std::fmax(a, b)) {
    const double ratio = tall ? a / b : b / a;
    ecc = static_cast<uint16_t>(std::fmax(1, std::fmin(65535, std::nearbyint(ratio * 65536))));
  }
  if (tall) {  // the long axis is vertical
    axis = 16384;
    start -= std::numbers::pi / 2;
  }
  const double turn = std::fabs(sweep) / (2 * std::numbers::pi) * 65536;
  const uint16_t sweep16 = turn >= 65535.5 || turn == 0 ? 0 : static_cast<uint16_t>(std::llround(turn));
  const Point c = toPlotter(centre.x, centre.y);
  const Handle h = createItem(ctx_.pool, ring_, kArc, pen_, width_, world(c.x), world(c.y), 0, 0, kNull);
  if (h != kNull) item::setArc(ctx_.pool[h], world(tall ? b : a), binaryAngle(start), sweep16, ecc, axis);
}

void Plotter::circle(Lexer& lex) {
  double r;
  if (!lex.number(r)) return;
  lex.skipParameters();  // chord tolerance
  userArc(toUser(at_), std::fabs(r), 0, 2 * std::numbers::pi);
}

void Plotter::arc(Lexer& lex, bool relative) {
  double cx, cy, degrees;
  if (!lex.number(cx) || !lex.number(cy) || !lex.number(degrees)) {
    lex.skipParameters();
    return;
  }
  lex.skipParameters();  // chord tolerance
  const Point here = toUser(at_);
  const Point c = relative ? Point{here.x + cx, here.y + cy} : Point{cx, cy};
  const double radius = std::hypot(here.x - c.x, here.y - c.y);
  const double from = std::atan2(here.y - c.y, here.x - c.x);
  const double sweep = degrees * std::numbers::pi / 180;
  if (!std::isfinite(sweep) || !std::isfinite(radius)) return;
  if (down_ && degrees != 0) userArc(c, radius, from, sweep);
  at_ = toPlotter(c.x + radius * std::cos(from + sweep), c.y + radius * std::sin(from + sweep));
}

// EA / ER: the outline of a rectangle from the current point to the corner.
void Plotter::rectangle(Lexer& lex, bool relative) {
  double x, y;
  if (!lex.number(x) || !lex.number(y)) {
    lex.skipParameters();
    return;
  }
  lex.skipParameters();
  Point q;
  if (relative) {
    const Point d = deltaToPlotter(x, y);
    q = {at_.x + d.x, at_.y + d.y};
  } else {
    q = toPlotter(x, y);
  }
  const Point p = at_;
  line(p, {q.x, p.y});
  line({q.x, p.y}, q);
  line(q, {p.x, q.y});
  line({p.x, q.y}, p);
}

void Plotter::pad() {
  const Handle h = createItem(ctx_.pool, ring_, kPad, 0, item::kRoundVia, world(at_.x), world(at_.y), 0, 0, kNull);
  if (h != kNull) item::setPad(ctx_.pool[h], width_, width_, width_, 0);
}

// LB: the label becomes a text at the current point, which then moves to
// the end of a one-line label.
void Plotter::label(Lexer& lex) {
  const std::string raw = lex.label(terminator_, kMaxLabel);
  std::string text;
  int lines = 1;
  for (size_t i = 0; i < raw.size(); ++i) {
    const auto c = static_cast<unsigned char>(raw[i]);
    if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    if (c == '\r' || c == '\n') {
      text += static_cast<char>(kLineBreak);
      ++lines;
    } else if (c >= 32 && c != kFieldSeparator) {
      text += static_cast<char>(c);
    }
  }
  if (pen_ == 0 || text.empty()) return;
  const int32_t length = textLengthOf(text, labelHeight_);
  const Handle h = createTextItem(ctx_, ring_, pen_, labelHeight_, world(at_.x), world(at_.y), text);
  if (h == kNull) return;
  item::setText(ctx_.pool[h], length, labelAngle_, 0);
  if (lines > 1) return;
  const int32_t unit = labelHeight_ / 6;  // the pen moves on by the gap after the last character too
  const double along = (length + 2 * unit) / unit_, turn = labelAngle_ * 2 * std::numbers::pi / 65536;
  at_ = {at_.x + along * std::cos(turn), at_.y + along * std::sin(turn)};
}

// SI: character width and height in centimetres; without them the default.
void Plotter::labelSize(Lexer& lex) {
  double w, h;
  if (lex.number(w) && lex.number(h)) {
    const double units = std::nearbyint(std::fabs(h) / 2.54 * 65536);
    labelHeight_ = static_cast<uint16_t>(std::fmax(1, std::fmin(65535, units)));
  } else {
    labelHeight_ = kDefaultLabelHeight;
  }
  lex.skipParameters();
}

// DI: the direction of labels as run and rise.
void Plotter::labelDirection(Lexer& lex) {
  double run, rise;
  labelAngle_ = lex.number(run) && lex.number(rise) ? binaryAngle(std::atan2(rise, run)) : 0;
  lex.skipParameters();
}

void Plotter::scale(Lexer& lex) {
  double v[4];
  int n = 0;
  while (n < 4 && lex.number(v[n])) ++n;
  lex.skipParameters();  // scaling type and its arguments
  // Without parameters, or with an empty range, scaling is off.
  scaled_ = n == 4 && v[1] != v[0] && v[3] != v[2];
  if (!scaled_) return;
  userX1_ = v[0];
  userX2_ = v[1];
  userY1_ = v[2];
  userY2_ = v[3];
}

void Plotter::inputWindow(Lexer& lex) {
  double v[4];
  int n = 0;
  while (n < 4 && lex.number(v[n])) ++n;
  lex.skipParameters();
  if (n == 0) {
    p1_ = {250, 596};
    p2_ = {10250, 7796};
  } else if (n >= 2) {
    const Point d{p2_.x - p1_.x, p2_.y - p1_.y};
    p1_ = {v[0], v[1]};
    p2_ = n >= 4 ? Point{v[2], v[3]} : Point{v[0] + d.x, v[1] + d.y};
  }
}

void Plotter::reset() {
  down_ = false;
  relative_ = false;
  scaled_ = false;
  p1_ = {250, 596};
  p2_ = {10250, 7796};
  terminator_ = 3;
  labelHeight_ = kDefaultLabelHeight;
  labelAngle_ = 0;
}

void Plotter::execute(uint16_t code, Lexer& lex) {
  double v = 0;
  switch (code) {
    case mnemonic('P', 'U'):
      down_ = false;
      moves(lex, relative_);
      break;
    case mnemonic('P', 'D'):
      down_ = true;
      moves(lex, relative_);
      break;
    case mnemonic('P', 'A'):
      relative_ = false;
      moves(lex, false);
      break;
    case mnemonic('P', 'R'):
      relative_ = true;
      moves(lex, true);
      break;
    case mnemonic('S', 'P'):
      pen_ = lex.number(v) && v > 0 ? static_cast<uint8_t>(v > 255 ? 255 : v) : 0;
      width_ = kDefaultPenWidth;
      lex.skipParameters();
      break;
    case mnemonic('T', 'C'):
      if (lex.number(v)) {
        const double w = std::nearbyint(std::fabs(v) * kMilUnit);
        width_ = w > 65535 ? 65535 : static_cast<uint16_t>(w);
      }
      lex.skipParameters();
      break;
    case mnemonic('P', 'P'):
      pad();
      lex.skipParameters();
      break;
    case mnemonic('C', 'I'):
      circle(lex);
      break;
    case mnemonic('A', 'A'):
      arc(lex, false);
      break;
    case mnemonic('A', 'R'):
      arc(lex, true);
      break;
    case mnemonic('E', 'A'):
      rectangle(lex, false);
      break;
    case mnemonic('E', 'R'):
      rectangle(lex, true);
      break;
    case mnemonic('S', 'C'):
      scale(lex);
      break;
    case mnemonic('I', 'P'):
      inputWindow(lex);
      break;
    case mnemonic('I', 'N'):
    case mnemonic('D', 'F'):
      reset();
      lex.skipParameters();
      break;
    case mnemonic('L', 'B'):
      label(lex);
      break;
    case mnemonic('S', 'I'):
      labelSize(lex);
      break;
    case mnemonic('D', 'I'):
      labelDirection(lex);
      break;
    case mnemonic('D', 'T'): {
      const int t = lex.rawByte();
      if (t >= 0 && t != ';') terminator_ = t;
      break;
    }
    default:
      lex.skipParameters();
      break;  // IW, CP, LT, VS and the rest draw nothing here
  }
}

}  // namespace trelmo::hpgl
