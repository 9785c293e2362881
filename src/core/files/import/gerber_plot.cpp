// Turning photo-plot draws, flashes, arcs and regions into items.
#include <algorithm>
#include <cmath>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "database/signals.h"
#include "files/import/gerber_reader.h"
#include "files/import/tango_common.h"

namespace trelmo {

namespace {

constexpr uint16_t kThinnest = 3;         // narrower draws are widened
constexpr uint16_t kDefaultWidth = 655;   // 0.010 inch
constexpr uint16_t kDefaultFlash = 2048;  // 1/32 inch
constexpr int32_t kLargePicture = 24 * kInch;
constexpr double kChordDegrees = 10;

int32_t clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN + 1, INT32_MAX)); }

uint16_t binaryAngle(double radians) {
  double turns = radians / (2 * M_PI);
  turns -= std::floor(turns);
  return static_cast<uint16_t>(static_cast<int64_t>(std::llround(turns * 65536)) & 0xFFFF);
}

// Start angle and counter-clockwise sweep (radians) of an arc; a full
// circle when start and end coincide.
void arcAngles(double sx, double sy, double ex, double ey, double cx, double cy, bool clockwise, double& start,
               double& sweep) {
  double a0 = std::atan2(sy - cy, sx - cx), a1 = std::atan2(ey - cy, ex - cx);
  if (clockwise) std::swap(a0, a1);
  sweep = a1 - a0;
  while (sweep <= 0) sweep += 2 * M_PI;
  if (sx == ex && sy == ey) sweep = 2 * M_PI;
  start = a0;
}

// A box that holds everything an item covers, from its record alone.
gerber::Box itemBox(const Record& r) {
  gerber::Box b;
  int64_t grow = 0;
  switch (r.type()) {
    case kLine:  // a filled solid keeps its box in its points, a track grows by half its width
      b.add(r.x1, r.y1), b.add(r.w3, r.w4), grow = r.size / 2 + 1;
      break;
    case kArc:
      grow = std::abs(int64_t{item::radius(r)}) + r.size / 2 + 1;
      b.add(r.x1, r.y1);
      break;
    case kPad:
      grow = std::max(item::padX(r), item::padY(r)) + 1;  // at any angle
      b.add(r.x1, r.y1);
      break;
    default:
      return b;
  }
  b.x0 -= grow, b.y0 -= grow, b.x1 += grow, b.y1 += grow;
  return b;
}

}  // namespace

PlotOutput::PlotOutput(Context& ctx, int layer, RecordBudget& budget)
    : ctx_(ctx), layer_(static_cast<uint8_t>(layer)), budget_(budget), mark_(ctx.rec(ctx.current).prev) {}

int32_t PlotOutput::shiftX(int64_t x) const { return clamp32(x + ctx_.params.zeroX); }
int32_t PlotOutput::shiftY(int64_t y) const { return clamp32(y + ctx_.params.zeroY); }

void PlotOutput::made(Handle h) {
  if (!h) return;
  ++items_;
  const Record& r = ctx_.rec(h);
  if (!item::isSolid(r)) attachSignal(ctx_, h, attributes_.net);
  if (r.type() == kPad && !attributes_.pin.empty()) storePin(ctx_, h, attributes_.pin);
  if (!attributes_.component.empty()) owners_[h] = attributes_;
}

void PlotOutput::line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint16_t width) {
  if (!budget_.allows()) return;
  if (width < kThinnest) width = kDefaultWidth;
  const double w = width * placement_.scale;
  if (clear_) {
    gerber::Polygon path{{shiftX(x1), shiftY(y1)}, {shiftX(x2), shiftY(y2)}};
    const gerber::Polygons area = gerber::stroke(path, w);
    cut_.insert(cut_.end(), area.begin(), area.end());
    return;
  }
  width = static_cast<uint16_t>(std::clamp(std::lround(w), 1L, 65535L));
  made(
      createItem(ctx_.pool, ctx_.current, kLine, layer_, width, shiftX(x1), shiftY(y1), shiftX(x2), shiftY(y2), kNull));
}

void PlotOutput::flash(int32_t x, int32_t y, const Aperture& ap) {
  if (!budget_.allows()) return;
  if (!ap.outline && !clear_) {
    uint16_t type = static_cast<uint16_t>(ap.shape + item::kSurfaceMount);
    double xs = ap.x, ys = ap.y, ox = ap.offsetX, oy = ap.offsetY;
    if (xs == 0 && ys == 0) xs = ys = kDefaultFlash, type = item::kRectThru;
    double degrees = ap.angle * 360.0 / 65536;
    if (placement_.mirrorX != placement_.mirrorY) degrees = -degrees;  // the shapes are symmetric
    degrees += placement_.degrees;
    placement_.apply(ox, oy);
    xs *= placement_.scale, ys *= placement_.scale;
    if (xs >= 1 && ys >= 1 && xs <= 65535 && ys <= 65535) {
      double turns = degrees / 360;
      turns -= std::floor(turns);
      const uint16_t angle = static_cast<uint16_t>(std::llround(turns * 65536) & 0xFFFF);
      const int32_t size = pack16(static_cast<uint16_t>(std::lround(xs)), static_cast<uint16_t>(std::lround(ys)));
      made(createItem(ctx_.pool, ctx_.current, kPad, layer_, type, shiftX(x + std::llround(ox)),
                      shiftY(y + std::llround(oy)), size, pack16(0, angle), kNull));
      return;
    }
  }
  const gerber::Polygons area = gerber::placed(apertureShape(ap), placement_, shiftX(x), shiftY(y));
  if (clear_)
    cut_.insert(cut_.end(), area.begin(), area.end());
  else
    solids(area, ctx_.current, attributes_.component);
}

void PlotOutput::arc(int32_t sx, int32_t sy, int32_t ex, int32_t ey, int32_t cx, int32_t cy, bool clockwise,
                     uint16_t width) {
  if (!budget_.allows()) return;
  if (width < kThinnest) width = kDefaultWidth;
  const double w = width * placement_.scale;
  if (clear_) {
    const gerber::Polygon path = gerber::arcPoints(shiftX(sx), shiftY(sy), shiftX(ex), shiftY(ey), shiftX(cx),
                                                   shiftY(cy), clockwise, gerber::kChordTolerance);
    const gerber::Polygons area = gerber::stroke(path, w);
    cut_.insert(cut_.end(), area.begin(), area.end());
    return;
  }
  width = static_cast<uint16_t>(std::clamp(std::lround(w), 1L, 65535L));
  double start, sweep;
  arcAngles(sx, sy, ex, ey, cx, cy, clockwise, start, sweep);
  int32_t radius = clamp32(std::llround(std::hypot(double(sx) - cx, double(sy) - cy)));
  uint16_t sweepAngle = sweep >= 2 * M_PI - 1e-9 ? 0 : binaryAngle(sweep);  // 0 = full circle
  made(createItem(ctx_.pool, ctx_.current, kArc, layer_, width, shiftX(cx), shiftY(cy), radius,
                  pack16(sweepAngle, binaryAngle(start)), kNull));
}

void PlotOutput::contourTo(int32_t x, int32_t y) {
  if (contour_.size() < kMaxContour) contour_.emplace_back(x, y);
}

void PlotOutput::contourArc(int32_t sx, int32_t sy, int32_t ex, int32_t ey, int32_t cx, int32_t cy, bool clockwise) {
  double start, sweep;
  arcAngles(sx, sy, ex, ey, cx, cy, clockwise, start, sweep);
  double r = std::hypot(double(sx) - cx, double(sy) - cy);
  int steps = std::max(1, static_cast<int>(std::ceil(sweep * 180 / M_PI / kChordDegrees)));
  for (int k = 1; k < steps; ++k) {
    double t = clockwise ? start + sweep - sweep * k / steps : start + sweep * k / steps;
    contourTo(clamp32(std::llround(cx + r * std::cos(t))), clamp32(std::llround(cy + r * std::sin(t))));
  }
  contourTo(ex, ey);
}

void PlotOutput::closeContour() {
  if (contour_.size() > 1 && contour_.front() == contour_.back()) contour_.pop_back();
  if (contour_.size() >= 3 && clear_) {
    gerber::Polygon q;
    for (auto [x, y] : contour_) q.emplace_back(shiftX(x), shiftY(y));
    const gerber::Polygons area = gerber::normalised({q});
    cut_.insert(cut_.end(), area.begin(), area.end());
  } else if (contour_.size() >= 3 && budget_.allows()) {
    auto [x0, y0] = contour_.front();
    Handle h =
        createItem(ctx_.pool, ctx_.current, kLine, layer_, 0, shiftX(x0), shiftY(y0), shiftX(x0), shiftY(y0), kNull);
    if (h) {
      made(h);
      for (auto [x, y] : contour_)
        if (!appendVertex(ctx_, h, shiftX(x), shiftY(y))) break;
    }
  }
  contour_.clear();
}

void PlotOutput::solids(const gerber::Polygons& area, Handle position, const std::string& component, int depth) {
  const std::vector<gerber::Polygon> contours = gerber::contoursWithCuts(area);
  const bool tooLong =
      std::any_of(contours.begin(), contours.end(), [](const gerber::Polygon& c) { return c.size() > kMaxContour; });
  if (tooLong && depth < kMaxSplits) {
    // A solid holds at most kMaxContour vertices: the area is halved across
    // its longer side until its pieces fit.
    const gerber::Box b = gerber::boxOf(area);
    const bool wide = b.x1 - b.x0 >= b.y1 - b.y0;
    const int64_t mid = wide ? b.x0 + (b.x1 - b.x0) / 2 : b.y0 + (b.y1 - b.y0) / 2;
    auto half = [&](int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
      return gerber::Polygons{{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}};
    };
    const gerber::Polygons first = wide ? half(b.x0, b.y0, mid, b.y1) : half(b.x0, b.y0, b.x1, mid);
    const gerber::Polygons second = wide ? half(mid, b.y0, b.x1, b.y1) : half(b.x0, mid, b.x1, b.y1);
    solids(gerber::intersect(area, first), position, component, depth + 1);
    solids(gerber::intersect(area, second), position, component, depth + 1);
    return;
  }
  for (const gerber::Polygon& contour : contours) {
    if (contour.size() < 3 || contour.size() > kMaxContour) continue;
    if (!budget_.allows()) return;
    const int32_t x0 = clamp32(contour[0].X), y0 = clamp32(contour[0].Y);
    const Handle h = createItem(ctx_.pool, ctx_.current, kLine, layer_, 0, x0, y0, x0, y0, kNull);
    if (!h) return;
    ++items_;
    for (const auto& v : contour)
      if (!appendVertex(ctx_, h, clamp32(v.X), clamp32(v.Y))) break;
    if (position != ctx_.current) moveItem(ctx_.pool, h, position);
    if (!component.empty()) {
      ObjectAttributes a = attributes_;
      a.component = component;
      owners_[h] = a;
    }
  }
}

void PlotOutput::setClear(bool clear) {
  if (clear == clear_) return;
  closeContour();
  if (!clear) applyClear();
  clear_ = clear;
}

// A track or arc a clear object cuts: the pieces of its centre line whose
// round ends stay clear of the cut remain tracks or arcs (with the item's
// net), placed before it; returns what of `rest` they do not cover, for
// filled solids.
gerber::Polygons PlotOutput::shortenTrack(Handle h, const gerber::Polygons& rest, const gerber::Polygons& cut,
                                          const ObjectAttributes& owner) {
  const Record r = ctx_.rec(h);
  const std::string net = itemSignal(ctx_, h);
  const bool arc = r.type() == kArc;
  const double cx = r.x1, cy = r.y1, radius = item::radius(r), t = gerber::kChordTolerance;
  gerber::Polygon centre{{r.x1, r.y1}, {r.w3, r.w4}};
  if (arc) {
    const double a0 = item::start(r) * 2 * M_PI / 65536, a1 = a0 + item::sweep(r) * 2 * M_PI / 65536;
    const double sx = cx + radius * std::cos(a0), sy = cy + radius * std::sin(a0);
    centre = item::sweep(r) == 0
                 ? gerber::arcPoints(sx, sy, sx, sy, cx, cy, false, t)
                 : gerber::arcPoints(sx, sy, cx + radius * std::cos(a1), cy + radius * std::sin(a1), cx, cy, false, t);
  }
  gerber::Polygons covered;
  for (const gerber::Polygon& piece : gerber::outside(centre, gerber::grown(cut, r.size / 2.0 + t))) {
    if (piece.size() < 2) continue;
    const auto a = piece.front(), b = piece.back();
    Handle made = kNull;
    gerber::Polygon path{a, b};
    if (!arc) {
      made = createItem(ctx_.pool, ctx_.current, kLine, layer_, r.size, clamp32(a.X), clamp32(a.Y), clamp32(b.X),
                        clamp32(b.Y), kNull);
    } else {
      // The piece runs either way round: its middle point tells which.
      const auto m = piece[piece.size() / 2];
      const double ta = std::atan2(a.Y - cy, a.X - cx), tb = std::atan2(b.Y - cy, b.X - cx);
      const double tm = piece.size() > 2 ? std::atan2(m.Y - cy, m.X - cx)
                                         : std::atan2((a.Y + b.Y) / 2.0 - cy, (a.X + b.X) / 2.0 - cx);
      auto turn = [](double v) { return v - 2 * M_PI * std::floor(v / (2 * M_PI)); };
      const bool forward = turn(tm - ta) <= turn(tb - ta);
      const double from = forward ? ta : tb, sweep = forward ? turn(tb - ta) : turn(ta - tb);
      if (sweep <= 0) continue;
      made = createItem(ctx_.pool, ctx_.current, kArc, layer_, r.size, r.x1, r.y1, r.w3,
                        pack16(binaryAngle(sweep), binaryAngle(from)), kNull);
      const auto& s0 = forward ? a : b;
      const auto& s1 = forward ? b : a;
      path = gerber::arcPoints(double(s0.X), double(s0.Y), double(s1.X), double(s1.Y), cx, cy, false, t);
    }
    if (!made) break;
    ++items_;
    attachSignal(ctx_, made, net);
    moveItem(ctx_.pool, made, h);
    if (!owner.component.empty()) owners_[made] = owner;
    const gerber::Polygons s = gerber::stroke(path, r.size);
    covered.insert(covered.end(), s.begin(), s.end());
  }
  if (covered.empty()) return rest;
  // Slivers thinner than the chord tolerance are where the two outlines'
  // chords differ, not copper.
  return gerber::grown(gerber::grown(gerber::subtract(rest, covered), -t), t);
}

// Every item of this file on its layer that a pending clear object touches
// loses the covered part: wholly covered items go, cut ones become filled
// solids of what is left, untouched ones stay as they are.
void PlotOutput::applyClear() {
  if (cut_.empty()) return;
  const gerber::Polygons cut = gerber::normalised(cut_);
  cut_.clear();
  const gerber::Box cutBox = gerber::boxOf(cut);
  const Handle file = ctx_.current;
  for (Handle h = ctx_.rec(mark_).next; h != file;) {
    const Record r = ctx_.rec(h);
    const Handle next = r.next;
    if (r.layer != layer_ || r.type() < kLine || r.type() > kPad) {
      h = next;
      continue;
    }
    if (!itemBox(r).overlaps(cutBox)) {  // the cheap test first
      h = next;
      continue;
    }
    const gerber::Polygons area = itemArea(ctx_, h);
    if (!gerber::boxOf(area).overlaps(cutBox) || gerber::intersect(area, cut).empty()) {
      h = next;
      continue;
    }
    gerber::Polygons rest = gerber::subtract(area, cut);
    ObjectAttributes owner;
    if (auto o = owners_.find(h); o != owners_.end()) owner = o->second, owners_.erase(o);
    if ((r.type() == kLine && !item::isSolid(r)) || (r.type() == kArc && item::eccentricity(r) == 0))
      rest = shortenTrack(h, rest, cut, owner);
    solids(rest, h, owner.component);
    if (repeatMark_ == h) repeatMark_ = ctx_.rec(h).prev;
    freeItemDeeply(ctx_, h);
    --items_;
    h = next;
  }
}

void PlotOutput::beginRepeat(int nx, int ny, int32_t dx, int32_t dy) {
  endRepeat();
  applyClear();
  if (nx < 1 || ny < 1 || int64_t{nx} * ny > kMaxRepeatCells || int64_t{nx} * ny == 1) return;
  repeatMark_ = ctx_.rec(ctx_.current).prev;
  repeatX_ = nx, repeatY_ = ny, repeatDx_ = dx, repeatDy_ = dy;
}

void PlotOutput::endRepeat() {
  if (!repeatMark_) return;
  closeContour();
  applyClear();
  Handle file = ctx_.current;
  std::vector<Handle> made;
  for (Handle h = ctx_.rec(repeatMark_).next; h != file; h = ctx_.rec(h).next) made.push_back(h);
  for (int j = 0; j < repeatY_; ++j)
    for (int i = 0; i < repeatX_; ++i)
      if (i || j)
        for (Handle h : made) {
          if (!budget_.allows()) break;
          copyItem(h, int64_t{i} * repeatDx_, int64_t{j} * repeatDy_);
        }
  repeatMark_ = 0;
}

void PlotOutput::copyItem(Handle h, int64_t dx, int64_t dy) {
  const Record r = ctx_.rec(h);
  auto x = [&](int32_t v) { return clamp32(v + dx); };
  auto y = [&](int32_t v) { return clamp32(v + dy); };
  bool ends = r.type() == kLine;  // lines and solids carry a second point
  Handle c = createItem(ctx_.pool, ctx_.current, r.flags, r.layer, r.size, x(r.x1), y(r.y1), ends ? x(r.w3) : r.w3,
                        ends ? y(r.w4) : r.w4, kNull);
  if (!c) return;
  ++items_;
  if (auto o = owners_.find(h); o != owners_.end()) owners_[c] = o->second;
  if (r.type() == kPad && item::padPin(r) >= kFirstHandle)
    storePin(ctx_, c, pinName(ctx_, h));
  else
    ctx_.rec(c).w5 = r.w5;
  if (!item::isSolid(r)) {
    attachSignal(ctx_, c, itemSignal(ctx_, h));
    return;
  }
  size_t n = 0;
  for (Handle v = r.ext; v && ctx_.pool.valid(v) && n++ <= kMaxContour; v = ctx_.rec(v).ext)
    if (!appendVertex(ctx_, c, x(ctx_.rec(v).x1), y(ctx_.rec(v).y1))) break;
}

void PlotOutput::scaleDownWhenLarge() {
  Handle file = ctx_.current;
  int64_t minX = INT64_MAX, minY = INT64_MAX, maxX = INT64_MIN, maxY = INT64_MIN;
  auto grow = [&](int64_t x, int64_t y) {
    minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
  };
  for (Handle h = ctx_.rec(file).next; h != file; h = ctx_.rec(h).next) {
    const Record& r = ctx_.rec(h);
    if (r.layer != layer_) continue;
    if (r.type() == kLine) grow(r.x1, r.y1), grow(r.w3, r.w4);
    if (r.type() == kPad || r.type() == kArc) grow(r.x1, r.y1);
  }
  if (minX > maxX || (maxX - minX < kLargePicture && maxY - minY < kLargePicture)) return;
  for (Handle h = ctx_.rec(file).next; h != file; h = ctx_.rec(h).next) {
    Record& r = ctx_.rec(h);
    if (r.layer != layer_) continue;
    r.x1 /= 10, r.y1 /= 10;
    if (r.type() == kLine) {
      size_t n = 0;
      r.w3 /= 10, r.w4 /= 10;
      if (r.size == 0)  // a region's vertices
        for (Handle v = r.ext; v && ctx_.pool.valid(v) && n++ <= kMaxContour; v = ctx_.rec(v).ext) {
          Record& e = ctx_.rec(v);
          e.x1 /= 10, e.y1 /= 10, e.w3 /= 10, e.w4 /= 10;
        }
    }
    if (r.type() == kArc) r.w3 /= 10;
  }
}

void PlotOutput::finish() {
  closeContour();
  applyClear();
  endRepeat();
  gatherComponents();
}

namespace {

std::string field(const std::string& params, int n) {
  size_t start = 0;
  for (int i = 0; i < n; ++i) {
    start = params.find(static_cast<char>(kFieldSeparator), start);
    if (start == std::string::npos) return {};
    ++start;
  }
  const size_t end = params.find(static_cast<char>(kFieldSeparator), start);
  return params.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// A Ref ID holds no blanks or characters outside 33..126.
std::string refId(std::string_view s) {
  std::string out;
  for (unsigned char c : s.substr(0, 23)) out += c > 32 && c < 127 ? static_cast<char>(c) : '_';
  return out;
}

}  // namespace

// Items of one component, of this file or of files read before into the same
// design, are gathered into one component whose Ref ID is the reference.
void PlotOutput::gatherComponents() {
  if (owners_.empty()) return;
  const Handle file = ctx_.current;
  std::map<std::string, Handle> rings;  // Ref ID -> the component's ring
  for (Handle h = ctx_.rec(file).next; h != file; h = ctx_.rec(h).next) {
    const Record& r = ctx_.rec(h);
    if (r.type() == kComponent && ctx_.pool.valid(r.ext)) rings.emplace(field(readText(ctx_, r.ext), 1), r.ext);
  }
  std::vector<std::pair<Handle, const ObjectAttributes*>> order;  // in ring order
  for (Handle h = ctx_.rec(mark_).next; h != file; h = ctx_.rec(h).next)
    if (auto o = owners_.find(h); o != owners_.end()) order.emplace_back(h, &o->second);
  for (const auto& [h, a] : order) {
    const std::string ref = refId(a->component);
    Handle& ring = rings[ref];
    if (ring == kNull) {
      const Record& r = ctx_.rec(h);
      const char sep = static_cast<char>(kFieldSeparator);
      ring = tango::newComponent(ctx_, file, r.x1, r.y1, refId(a->footprint) + sep + ref + sep + a->value);
      if (ring == kNull) return;
    }
    moveItem(ctx_.pool, h, ring);
  }
  owners_.clear();
  tango::finishComponents(ctx_, file);
}

gerber::Polygons itemArea(const Context& ctx, Handle h) {
  const Record& r = ctx.rec(h);
  switch (r.type()) {
    case kLine: {
      if (!item::isSolid(r)) return gerber::stroke({{r.x1, r.y1}, {r.w3, r.w4}}, r.size);
      gerber::Polygon q;
      size_t n = 0;
      for (Handle v = r.ext; v && ctx.pool.valid(v) && n++ <= PlotOutput::kMaxContour; v = ctx.rec(v).ext)
        q.emplace_back(ctx.rec(v).x1, ctx.rec(v).y1);
      return q.size() >= 3 ? gerber::normalised({q}) : gerber::Polygons{};
    }
    case kArc: {
      const double rad = item::radius(r), a0 = item::start(r) * 2 * M_PI / 65536;
      const double sweep = item::sweep(r) == 0 ? 2 * M_PI : item::sweep(r) * 2 * M_PI / 65536;
      const double sx = r.x1 + rad * std::cos(a0), sy = r.y1 + rad * std::sin(a0);
      const double ex = r.x1 + rad * std::cos(a0 + sweep), ey = r.y1 + rad * std::sin(a0 + sweep);
      gerber::Polygon path = gerber::arcPoints(sx, sy, item::sweep(r) == 0 ? sx : ex, item::sweep(r) == 0 ? sy : ey,
                                               r.x1, r.y1, false, gerber::kChordTolerance);
      return gerber::stroke(path, r.size);
    }
    case kPad: {
      Aperture ap;
      const uint8_t t = item::padType(r);
      ap.shape = t == item::kRectThru || t == item::kRectSmt              ? kRectangle
                 : item::padX(r) == item::padY(r) || t == item::kRoundVia ? kCircle
                                                                          : kObround;
      ap.x = item::padX(r), ap.y = item::padY(r), ap.angle = item::padAngle(r);
      ap.offsetX = r.x1, ap.offsetY = r.y1;
      return apertureShape(ap);
    }
    default:
      return {};
  }
}

}  // namespace trelmo
