// DXF block definitions and the expansion of inserts into components.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "files/import/dxf_geometry.h"
#include "files/import/dxf_reader.h"

namespace trelmo::dxf {

namespace {

constexpr size_t kMaxChainWalk = size_t{RecordPool::kMaxBlocks} * RecordPool::kRecordsPerBlock;

// Block coordinates into the insert's place: subtract the base point, scale,
// rotate, add the insertion point.
struct Transform {
  int32_t baseX, baseY;
  double sx, sy;
  uint16_t rotation;
  int32_t atX, atY;

  void point(int32_t& x, int32_t& y) const {
    double dx = (double(x) - baseX) * sx, dy = (double(y) - baseY) * sy;
    rotate(dx, dy, rotation);
    x = clampUnits(dx + atX);
    y = clampUnits(dy + atY);
  }
};

uint16_t scaledSize(uint32_t size, double factor) {
  const double v = std::nearbyint(size * std::fabs(factor));
  return v > 65535 ? 65535 : static_cast<uint16_t>(v);
}

constexpr double kTurn = 65536.0;

double radians(uint16_t angle) { return angle * 2 * std::numbers::pi / kTurn; }
uint16_t binary(double radians) {
  const double turns = radians / (2 * std::numbers::pi);
  return static_cast<uint16_t>(static_cast<int64_t>(std::llround((turns - std::floor(turns)) * kTurn)) & 0xFFFF);
}

// An arc is the ellipse centre + Rot(axis) diag(R, r) (cos t, sin t) for t
// from start over sweep (a circle counts its start from the axis angle).
// The insert's scale and rotation make that matrix M; its singular value
// form Rot(phi) diag(s1, s2) Rot(theta) gives the new axis, radii and start,
// so unevenly scaled circles become ellipses with either axis the long one.
void transformArc(Record& a, const Transform& t) {
  const int32_t signedRadius = item::radius(a);
  const double big = std::fabs(static_cast<double>(signedRadius));
  const uint16_t ecc = item::eccentricity(a), sweep = item::sweep(a);
  const double small = ecc ? big * ecc / kTurn : big;
  const double axis = ecc ? radians(item::axisAngle(a)) : 0;
  const double start = radians(item::start(a)) + (ecc ? 0 : radians(item::axisAngle(a)));
  // M = Rot(rotation) diag(sx, sy) Rot(axis) diag(big, small)
  const double ca = std::cos(axis), sa = std::sin(axis);
  const double cr = std::cos(radians(t.rotation)), sr = std::sin(radians(t.rotation));
  const double p = t.sx * ca * big, q = -t.sx * sa * small, u = t.sy * sa * big, v = t.sy * ca * small;
  const double m00 = cr * p - sr * u, m01 = cr * q - sr * v, m10 = sr * p + cr * u, m11 = sr * q + cr * v;
  const double e = (m00 + m11) / 2, f = (m00 - m11) / 2, g = (m10 + m01) / 2, h = (m10 - m01) / 2;
  const double qq = std::hypot(e, h), rr = std::hypot(f, g);
  const double a1 = std::atan2(g, f), a2 = std::atan2(h, e);
  const double theta = (a2 - a1) / 2, phi = (a2 + a1) / 2;
  const double s1 = qq + rr, s2 = qq - rr;  // s2 < 0: the insert mirrors
  double newStart = start + theta;
  if (s2 < 0) newStart = -(newStart + radians(sweep));
  const double ratio = s1 > 0 ? std::fabs(s2) / s1 : 1;
  const double scaledEcc = std::nearbyint(ratio * kTurn);
  uint16_t newEcc = scaledEcc >= kTurn ? 0 : static_cast<uint16_t>(std::max(1.0, scaledEcc));
  const int32_t radius = clampUnits(s1);
  t.point(a.x1, a.y1);
  if (newEcc == 0)
    item::setArc(a, signedRadius < 0 ? -radius : radius, binary(newStart + phi), sweep, 0, 0);
  else
    item::setArc(a, signedRadius < 0 ? -radius : radius, binary(newStart), sweep, newEcc, binary(phi));
}

void transformText(Reader& r, Handle h, const Transform& t) {
  Record& x = r.ctx.pool[h];
  bool mirrored = item::textLength(x) < 0;
  uint16_t angle = item::textAngle(x);
  if (t.sx < 0) {
    angle = static_cast<uint16_t>(-angle);
    mirrored = !mirrored;
  }
  if (t.sy < 0) {
    angle = static_cast<uint16_t>(32768 - angle);
    mirrored = !mirrored;
  }
  x.size = scaledSize(x.size, t.sx);
  t.point(x.x1, x.y1);
  const int32_t length = textLength(readText(r.ctx, h), x.size);
  item::setText(x, mirrored ? -length : length, static_cast<uint16_t>(angle + t.rotation), item::textAnchorFont(x));
}

// The component header's bounding box of the items of its ring.
void setBounds(RecordPool& pool, Handle header) {
  const ItemBox box = ringBounds(pool, pool[header].ext);
  Record& hdr = pool[header];
  hdr.x1 = clampUnits(double(box.x0));
  hdr.y1 = clampUnits(double(box.y0));
  hdr.w3 = clampUnits(double(box.x1));
  hdr.w4 = clampUnits(double(box.y1));
}

void copyRing(Reader& r, Handle from, Handle to, const Transform& t);

void copySolid(Reader& r, const Record& src, Handle copy, const Transform& t) {
  RecordPool& pool = r.ctx.pool;
  Handle v = src.ext;
  for (size_t n = 0; n < kMaxChainWalk && pool.valid(v) && r.records.allows(); ++n) {
    int32_t x = pool[v].x1, y = pool[v].y1;
    t.point(x, y);
    if (!appendVertex(r.ctx, copy, x, y)) return;
    v = pool[v].ext;
  }
}

void copyItem(Reader& r, Handle h, Handle to, const Transform& t) {
  RecordPool& pool = r.ctx.pool;
  const Record src = pool[h];
  if (src.hidden()) return;  // an unresolved placeholder
  if (!r.records.allows()) return;
  const Handle c = createItem(pool, to, src.flags, src.layer, src.size, src.x1, src.y1, src.w3, src.w4, kNull);
  if (c == kNull) return;
  Record& x = pool[c];
  x.w5 = src.w5;
  switch (src.type()) {
    case kLine:
      if (item::isSolid(src)) {
        copySolid(r, src, c, t);
        break;
      }
      t.point(x.x1, x.y1);
      t.point(x.w3, x.w4);
      break;
    case kArc:
      transformArc(x, t);
      break;
    case kText:
      if (!storeText(r.ctx, c, readText(r.ctx, h))) {
        deleteItem(pool, c);
        break;
      }
      transformText(r, c, t);
      break;
    case kPad:
      t.point(x.x1, x.y1);
      setHi16(x.w4, static_cast<uint16_t>(item::padAngle(x) + t.rotation));
      break;
    case kComponent: {
      const Handle inner = src.ext;
      if (!pool.valid(inner)) break;
      int32_t ox = pool[inner].x1, oy = pool[inner].y1;
      t.point(ox, oy);
      if (newComponentRing(r.ctx, c, ox, oy, readText(r.ctx, inner)) == kNull) break;
      x.size = static_cast<uint16_t>(src.size + t.rotation);
      copyRing(r, inner, pool[c].ext, t);
      setBounds(pool, c);
      break;
    }
    default:
      t.point(x.x1, x.y1);
      t.point(x.w3, x.w4);
      break;
  }
}

void copyRing(Reader& r, Handle from, Handle to, const Transform& t) {
  RecordPool& pool = r.ctx.pool;
  for (Handle h = pool[from].next; h != from && !r.records.exceeded(); h = pool[h].next) copyItem(r, h, to, t);
}

void freeVertices(RecordPool& pool, Handle v) {
  for (size_t n = 0; n < kMaxChainWalk && pool.valid(v); ++n) {
    const Handle next = pool[v].ext;
    pool.release(v);
    v = next;
  }
}

// Frees every item of a ring the reader built, then the sentinel.
void freeRing(Reader& r, Handle ring) {
  RecordPool& pool = r.ctx.pool;
  while (pool[ring].next != ring) {
    const Handle h = pool[ring].next;
    Record& i = pool[h];
    if (i.type() == kLine && i.size == 0) {
      freeVertices(pool, i.ext);
      i.ext = kNull;
    } else if (i.type() == kComponent && pool.valid(i.ext)) {
      freeRing(r, i.ext);
      i.ext = kNull;
    } else if (i.type() == kText) {
      releaseExtension(r.ctx, h);
    }
    deleteItem(pool, h);
  }
  releaseExtension(r.ctx, ring);
  pool.release(ring);
}

bool completeBlock(Reader& r, size_t index, int depth);

void expand(Reader& r, const Placeholder& p, int depth) {
  const auto found = r.blockIndex.find(p.name);
  if (found == r.blockIndex.end() || depth >= kMaxInsertDepth || !r.records.allows() ||
      !completeBlock(r, found->second, depth + 1)) {
    if (found != r.blockIndex.end()) ++r.insertsCut;
    placeholderToText(r, p);
    return;
  }
  const BlockDef& b = r.blocks[found->second];
  RecordPool& pool = r.ctx.pool;
  const Handle ring = newComponentRing(r.ctx, p.rec, p.x, p.y, p.name);
  if (ring == kNull) {
    deleteItem(pool, p.rec);
    return;
  }
  Record& hdr = pool[p.rec];
  hdr.flags = kComponent;
  hdr.size = p.rotation;
  copyRing(r, b.ring, ring, {b.baseX, b.baseY, p.sx, p.sy, p.rotation, p.x, p.y});
  if (ringEmpty(pool, ring)) {  // an empty block leaves no component behind
    freeRing(r, ring);
    deleteItem(pool, p.rec);
    return;
  }
  setBounds(pool, p.rec);
}

// Expands the inserts inside a block so that copies of it are complete. A
// block met again while it is being completed refers to itself.
bool completeBlock(Reader& r, size_t index, int depth) {
  BlockDef& b = r.blocks[index];
  if (b.state == BlockDef::Done) return true;
  if (b.state == BlockDef::Busy) return false;
  b.state = BlockDef::Busy;
  for (size_t i = 0; i < b.pending.size(); ++i) expand(r, b.pending[i], depth);
  b.pending.clear();
  b.state = BlockDef::Done;
  return true;
}

void readBlockHeader(Reader& r) {
  BlockDef b;
  double x = 0, y = 0;
  while (r.groups.next() > 0) {
    switch (r.groups.code()) {
      case 2:
        b.name.assign(r.groups.value());
        break;
      case 10:
        x = number(r.groups.value());
        break;
      case 20:
        y = number(r.groups.value());
        break;
      default:
        break;
    }
  }
  r.groups.unread();
  b.baseX = r.shiftX(x);
  b.baseY = r.shiftY(y);
  b.ring = newRing(r.ctx.pool, kComponentRing);
  if (b.ring == kNull) {
    r.block = -1;  // entities of the block then land nowhere: skipped below
    return;
  }
  r.blockIndex.emplace(b.name, r.blocks.size());
  r.block = static_cast<int>(r.blocks.size());
  r.blocks.push_back(std::move(b));
}

void skipPairs(Reader& r) {
  while (r.groups.next() > 0) {
  }
  r.groups.unread();
}

}  // namespace

void placeholderToText(Reader& r, const Placeholder& p) {
  RecordPool& pool = r.ctx.pool;
  Record& x = pool[p.rec];
  const uint16_t height = r.ctx.params.textSize ? r.ctx.params.textSize : 6;
  x.flags = kText;
  x.size = height;
  x.x1 = p.x;
  x.y1 = p.y;
  x.ext = kNull;
  item::setText(x, textLength(p.name, height), 0, 0);
  if (!storeText(r.ctx, p.rec, p.name)) deleteItem(pool, p.rec);
}

void readBlocks(Reader& r) {
  bool inBlock = false;
  while (r.groups.next() >= 0) {
    r.progress();
    if (r.groups.code() != 0) continue;
    const std::string type(r.groups.keyword());
    if (type == "ENDSEC" || type == "SECTION" || type == "EOF") {
      if (type != "ENDSEC") r.groups.unread();
      break;
    }
    if (type == "BLOCK") {
      readBlockHeader(r);
      inBlock = true;
    } else if (type == "ENDBLK") {
      skipPairs(r);
      r.block = -1;
      inBlock = false;
    } else if (inBlock && r.block >= 0) {
      readEntity(r, type);
    } else {
      skipPairs(r);
    }
  }
  r.block = -1;
}

// Blocks are completed when an insert first needs them, so that blocks no
// insert uses spend nothing of the expansion budget.
void expandInserts(Reader& r) {
  for (const Placeholder& p : r.filePlaceholders) expand(r, p, 0);
  r.filePlaceholders.clear();
}

void releaseBlocks(Reader& r) {
  for (BlockDef& b : r.blocks)
    if (b.ring != kNull) freeRing(r, b.ring);
  r.blocks.clear();
  r.blockIndex.clear();
}

}  // namespace trelmo::dxf
