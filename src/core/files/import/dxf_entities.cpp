// DXF entities into item records.
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "files/import/dxf_entity_groups.h"

namespace trelmo::dxf {

Handle addArc(Reader& r, uint8_t layer, uint16_t width, Point c, int32_t radius, uint16_t start, uint16_t sweep) {
  const Handle h = createItem(r.ctx.pool, r.target(), kArc, layer, width, c.x, c.y, 0, 0, kNull);
  if (h != kNull) item::setArc(r.ctx.pool[h], radius, start, sweep, 0, 0);
  return h;
}

namespace {

constexpr uint16_t kDefaultWidth = 65;  // lines, arcs and circles
constexpr uint16_t kThinnestPolyline = 66;
constexpr uint16_t kDefaultTextHeight = 6;
constexpr uint8_t kPlaceholderFlags = uint8_t{kComponent} | uint8_t{kHidden};

// Polyline widths below 66 units draw as the ordinary line width.
uint16_t polylineWidth(double inches) {
  const uint16_t w = toSize(inches);
  return w < kThinnestPolyline ? kDefaultWidth : w;
}

Handle addLine(Reader& r, uint8_t layer, uint16_t width, Point a, Point b) {
  return createItem(r.ctx.pool, r.target(), kLine, layer, width, a.x, a.y, b.x, b.y, kNull);
}

void addSolid(Reader& r, uint8_t layer, const std::array<Point, 4>& corners) {
  const Handle h = createItem(r.ctx.pool, r.target(), kLine, layer, 0, corners[0].x, corners[0].y, corners[0].x,
                              corners[0].y, kNull);
  if (h == kNull) return;
  // The corners of SOLID and TRACE run 1, 2, 4, 3 round the outline.
  static constexpr int kOrder[4] = {0, 2, 3, 1};
  Point last{};
  for (int i = 0; i < 4; ++i) {
    const Point p = corners[kOrder[i]];
    if (i > 0 && p.x == last.x && p.y == last.y) continue;
    if (!appendVertex(r.ctx, h, p.x, p.y)) return;
    last = p;
  }
}

void readLine(Reader& r) {
  const Groups g = collect(r);
  const Ocs world;
  addLine(r, layerOf(r, g), kDefaultWidth, corner(r, g, world, 0), corner(r, g, world, 1));
}

void readPoint(Reader& r) {
  const Groups g = collect(r);
  const Point p = corner(r, g, Ocs(), 0);
  addLine(r, layerOf(r, g), kDefaultWidth, p, p);
}

void readCircle(Reader& r) {
  const Groups g = collect(r);
  addArc(r, layerOf(r, g), kDefaultWidth, corner(r, g, g.ocs(), 0), toUnits(std::fabs(g.num(40))), 0, 0);
}

void readArc(Reader& r) {
  const Groups g = collect(r);
  const Ocs ocs = g.ocs();
  uint16_t from = toAngle(ocs.worldAngle(g.num(50))), to = toAngle(ocs.worldAngle(g.num(51)));
  if (ocs.flipped()) std::swap(from, to);  // seen from below the arc turns clockwise
  addArc(r, layerOf(r, g), kDefaultWidth, corner(r, g, ocs, 0), toUnits(std::fabs(g.num(40))), from,
         static_cast<uint16_t>(to - from));
}

void readSolid(Reader& r) {
  const Groups g = collect(r);
  const Ocs ocs = g.ocs();
  std::array<Point, 4> c = {corner(r, g, ocs, 0), corner(r, g, ocs, 1), corner(r, g, ocs, 2), {}};
  c[3] = g.has(13) || g.has(23) ? corner(r, g, ocs, 3) : c[2];  // three corners: the fourth is the third
  addSolid(r, layerOf(r, g), c);
}

void read3dFace(Reader& r) {
  const Groups g = collect(r);
  const uint8_t layer = layerOf(r, g);
  const Ocs world;
  const long hidden = g.flags(70);
  std::array<Point, 4> c = {corner(r, g, world, 0), corner(r, g, world, 1), corner(r, g, world, 2), {}};
  c[3] = g.has(13) || g.has(23) ? corner(r, g, world, 3) : c[2];
  for (int i = 0; i < 4; ++i) {
    const Point a = c[i], b = c[(i + 1) % 4];
    if ((hidden & (1 << i)) || (a.x == b.x && a.y == b.y)) continue;
    addLine(r, layer, kDefaultWidth, a, b);
  }
}

// The anchor code from the horizontal (72) and vertical justification.
uint8_t anchorCode(long horizontal, long vertical) {
  uint8_t h = 0, v = 0;
  switch (horizontal) {
    case 1:
      h = 1;
      break;  // centre
    case 2:
      h = 2;
      break;  // right
    case 4:
      h = 1;
      v = 1;
      break;  // middle
    default:
      break;  // left, aligned, fit
  }
  if (horizontal != 4) {
    if (vertical == 2)
      v = 1;
    else if (vertical == 3)
      v = 2;
  }
  return static_cast<uint8_t>(h | v << 2);
}

void readText(Reader& r, bool attribute) {
  const Groups g = collect(r);
  if (!g.has(1)) return;
  if (attribute && (g.flags(70) & 1)) return;  // an invisible attribute
  const std::string text = textString(g.str(1), r.codePage);
  if (text.empty()) return;
  const Ocs ocs = g.ocs();
  const long horizontal = g.flags(72), vertical = g.flags(attribute ? 74 : 73);
  const bool aligned = (horizontal != 0 && horizontal != 3 && horizontal != 5) || vertical != 0;
  const Point at = aligned && (g.has(11) || g.has(21)) ? corner(r, g, ocs, 1) : corner(r, g, ocs, 0);
  const uint16_t height = g.has(40) && toSize(g.num(40)) > 0 ? toSize(g.num(40)) : kDefaultTextHeight;
  uint16_t angle = toAngle(ocs.worldAngle(g.num(50)));
  const long generation = g.flags(71);
  bool mirrored = (generation & 2) != 0;
  if (generation & 4) {  // upside down: mirrored and turned half round
    mirrored = !mirrored;
    angle = static_cast<uint16_t>(angle + 32768);
  }
  if (ocs.flipped()) {
    mirrored = !mirrored;
    angle = static_cast<uint16_t>(angle + 32768);
  }
  addText(r, layerOf(r, g), height, at, angle, mirrored, anchorCode(horizontal, vertical), text);
}

void addPlaceholder(Reader& r, uint8_t layer, std::string_view name, Point at, double sx, double sy,
                    uint16_t rotation) {
  const size_t blank = name.find(' ');
  if (blank != std::string_view::npos) name = name.substr(0, blank);
  if (name.empty()) return;
  const Handle h = createItem(r.ctx.pool, r.target(), kPlaceholderFlags, layer, 0, at.x, at.y, at.x, at.y, kNull);
  if (h == kNull) return;
  r.placeholders().push_back({h, std::string(name), at.x, at.y, sx, sy, rotation});
}

void readInsert(Reader& r) {
  const Groups g = collect(r);
  const Ocs ocs = g.ocs();
  double sx = g.num(41, 1), sy = g.num(42, 1);
  double degrees = ocs.worldAngle(g.num(50));
  if (ocs.flipped()) {  // a mirror image in the world plane
    sx = -sx;
    degrees += 180;
  }
  addPlaceholder(r, layerOf(r, g), g.str(2), corner(r, g, ocs, 0), sx, sy, toAngle(degrees));
}

// A dimension draws its anonymous block at the world origin.
void readDimension(Reader& r) {
  const Groups g = collect(r);
  addPlaceholder(r, layerOf(r, g), g.str(2), worldPoint(r, Ocs(), 0, 0, 0), 1, 1, 0);
}

struct Vertex {
  double x, y, bulge;
  double width;  // negative: the polyline's width
};

struct Polyline {
  uint8_t layer = 0;
  bool closed = false;
  bool world = false;  // 3-D polylines have world points and no bulges
  double width = 0, elevation = 0;
  Ocs ocs;
  std::vector<Vertex> vertices;
};

void segment(Reader& r, const Polyline& pl, const Vertex& from, Point a, Point b, bool& arc) {
  const uint16_t width = polylineWidth(from.width >= 0 ? from.width : pl.width);
  const double bulge = pl.world ? 0 : (pl.ocs.flipped() ? -from.bulge : from.bulge);
  arc = false;
  if (bulge != 0) {
    const ArcFit fit = arcFromBulge(a.x, a.y, b.x, b.y, bulge);
    if (fit.ok) {
      arc = addArc(r, pl.layer, width, {fit.cx, fit.cy}, fit.radius, fit.start, fit.sweep) != kNull;
      return;
    }
  }
  addLine(r, pl.layer, width, a, b);
}

void emitPolyline(Reader& r, const Polyline& pl) {
  const size_t n = pl.vertices.size();
  if (n < 2) return;
  std::vector<Point> pts;
  pts.reserve(n);
  const Ocs world;
  for (const Vertex& v : pl.vertices) pts.push_back(worldPoint(r, pl.world ? world : pl.ocs, v.x, v.y, pl.elevation));
  bool firstArc = false, arc = false;
  Handle first = kNull;
  for (size_t i = 1; i < n; ++i) {
    segment(r, pl, pl.vertices[i - 1], pts[i - 1], pts[i], arc);
    if (i == 1) {
      firstArc = arc;
      first = r.ctx.pool[r.target()].prev;
    }
  }
  if (!pl.closed) return;
  const Vertex& last = pl.vertices[n - 1];
  if (n == 2 && last.bulge != 0 && firstArc && !pl.world) {
    // Two bulged vertices closed on themselves: one full circle.
    Record& a = r.ctx.pool[first];
    item::setArc(a, item::radius(a), 0, 0, 0, 0);
    return;
  }
  segment(r, pl, last, pts[n - 1], pts[0], arc);
}

double widthOf(const Groups& g) {
  if (!g.has(40) && !g.has(41)) return -1;
  return std::max(g.num(40), g.num(41));
}

void readPolyline(Reader& r) {
  const Groups h = collect(r);
  const long flags = h.flags(70);
  Polyline pl;
  pl.layer = layerOf(r, h);
  pl.closed = (flags & 1) != 0;
  pl.world = (flags & 8) != 0;
  pl.width = std::max(h.num(40), h.num(41));
  pl.elevation = h.num(30);
  pl.ocs = h.ocs();
  const bool mesh = (flags & (16 | 64)) != 0;
  while (r.groups.next() >= 0) {
    r.progress();
    if (r.groups.is(0, "VERTEX")) {
      const Groups v = collect(r);
      const long vf = v.flags(70);
      const bool face = (vf & 128) && !(vf & 64);  // a face record of a polyface mesh
      const bool frame = (vf & 16) != 0;           // a spline frame control point
      if (face || frame || pl.vertices.size() >= kMaxVertices) continue;
      pl.vertices.push_back({v.num(10), v.num(20), v.num(42), widthOf(v)});
    } else if (r.groups.is(0, "SEQEND")) {
      collect(r);
      break;
    } else {
      r.groups.unread();  // the next entity: SEQEND is missing
      break;
    }
  }
  if (!mesh) emitPolyline(r, pl);
}

void readLwPolyline(Reader& r) {
  Polyline pl;
  std::string layerName = "0";
  double nx = 0, ny = 0, nz = 1;
  double constantWidth = 0;
  bool dropping = false;
  while (r.groups.next() > 0) {
    const int code = r.groups.code();
    const double v = number(r.groups.value());
    Vertex* last = pl.vertices.empty() || dropping ? nullptr : &pl.vertices.back();
    switch (code) {
      case 8:
        layerName = r.groups.value();
        break;
      case 70:
        pl.closed = (integer(r.groups.value()) & 1) != 0;
        break;
      case 43:
        constantWidth = v;
        break;
      case 38:
        pl.elevation = v;
        break;
      case 10:
        dropping = pl.vertices.size() >= kMaxVertices;
        if (!dropping) pl.vertices.push_back({v, 0, 0, -1});
        break;
      case 20:
        if (last) last->y = v;
        break;
      case 40:
      case 41:
        if (last) last->width = std::max(last->width, v);
        break;
      case 42:
        if (last) last->bulge = v;
        break;
      case 210:
        nx = v;
        break;
      case 220:
        ny = v;
        break;
      case 230:
        nz = v;
        break;
      default:
        break;
    }
  }
  r.groups.unread();
  pl.layer = mapLayer(r, layerName);
  pl.width = constantWidth;
  pl.ocs = Ocs(nx, ny, nz);
  emitPolyline(r, pl);
}

void skipEntity(Reader& r) {
  while (r.groups.next() > 0) {
  }
  r.groups.unread();
}

}  // namespace

uint8_t layerOf(Reader& r, const Groups& g) { return mapLayer(r, g.str(8)); }

void addText(Reader& r, uint8_t layer, uint16_t height, Point at, uint16_t angle, bool mirrored, uint8_t anchor,
             const std::string& text) {
  const int32_t length = textLength(text, height);
  const Handle h = createTextItem(r.ctx, r.target(), layer, height, at.x, at.y, text);
  if (h != kNull) item::setText(r.ctx.pool[h], mirrored ? -length : length, angle, anchor);
}

int32_t textLength(std::string_view text, uint16_t height) {
  // The longest of several lines counts.
  int32_t chars = 0, longest = 0;
  for (unsigned char c : text) {
    if (c == kFieldSeparator) break;
    chars = c == kLineBreak ? 0 : chars + 1;
    longest = std::max(longest, chars);
  }
  return textLengthOfChars(longest, height);
}

void readEntity(Reader& r, std::string_view type) {
  if (type == "LINE" || type == "3DLINE")
    readLine(r);
  else if (type == "POINT")
    readPoint(r);
  else if (type == "CIRCLE")
    readCircle(r);
  else if (type == "ARC")
    readArc(r);
  else if (type == "SOLID" || type == "TRACE")
    readSolid(r);
  else if (type == "3DFACE")
    read3dFace(r);
  else if (type == "TEXT")
    readText(r, false);
  else if (type == "ATTR" || type == "ATTRIB")
    readText(r, true);
  else if (type == "INSERT")
    readInsert(r);
  else if (type == "DIMENSION")
    readDimension(r);
  else if (type == "POLYLINE")
    readPolyline(r);
  else if (type == "ELLIPSE")
    readEllipse(r);
  else if (type == "MTEXT")
    readMText(r);
  else if (type == "LWPOLYLINE")
    readLwPolyline(r);
  else
    skipEntity(r);
}

}  // namespace trelmo::dxf
