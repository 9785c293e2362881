#include "output/plot_scene.h"

#include <algorithm>
#include <cmath>

#include "context.h"
#include "database/walk.h"

namespace trelmo {

namespace {

constexpr double kTurn = 2 * M_PI;
double radians(uint16_t angle) { return angle * kTurn / 65536.0; }

bool plotted(const LayerEntry& e) { return !e.unused() && !(e.plotColor & kColorDisabled); }

bool throughHole(const Record& r) { return r.type() == kPad && !(item::padType(r) & item::kSurfaceMount); }

// The layer an item is plotted with: through-hole pads belong to every copper
// layer and are plotted with the pad master, layer 0.
int plotLayerOf(const Record& r) {
  uint8_t t = item::padType(r);
  return throughHole(r) && t != item::kSchematicPin ? 0 : r.layer;
}

void growBox(PlotItem& it) {
  double b[4] = {1e300, 1e300, -1e300, -1e300};
  for (const PlotPath& p : it.paths) {
    double h = p.width / 2;
    auto add = [&](double x, double y, double r) {
      b[0] = std::min(b[0], x - r), b[1] = std::min(b[1], y - r);
      b[2] = std::max(b[2], x + r), b[3] = std::max(b[3], y + r);
    };
    add(p.x0, p.y0, h);
    for (const PathStep& s : p.steps) {
      add(s.x, s.y, h);
      if (s.arc) add(s.cx, s.cy, std::hypot(s.x - s.cx, s.y - s.cy) + h);
    }
  }
  std::copy(b, b + 4, it.box);
}

// A point of a pad's own frame turned by the pad angle about its centre.
struct PadFrame {
  double cx, cy, c, s;
  PadFrame(const Record& r)
      : cx(r.x1), cy(r.y1), c(std::cos(radians(item::padAngle(r)))), s(std::sin(radians(item::padAngle(r)))) {}
  double x(double fx, double fy) const { return cx + fx * c - fy * s; }
  double y(double fx, double fy) const { return cy + fx * s + fy * c; }
};

PlotPath circlePath(double cx, double cy, double r) {
  PlotPath p;
  p.x0 = cx + r, p.y0 = cy;
  p.arcTo(cx + r, cy, cx, cy, kTurn);
  p.closed = p.filled = true;
  return p;
}

PlotPath padOutline(const Record& r) {
  const double sx = item::padX(r), sy = item::padY(r);
  const uint8_t type = item::padType(r);
  const PadFrame f(r);
  PlotPath p;
  p.closed = p.filled = true;
  if (type == item::kRoundVia || type == item::kSchematicDot ||
      ((type == item::kOvalThru || type == item::kOvalSmt) && sx == sy))
    return circlePath(r.x1, r.y1, sx / 2);
  if (type == item::kOvalThru || type == item::kOvalSmt) {
    // The outline of a track between the centres of the two round ends.
    const bool wide = sx > sy;
    const double half = std::fabs(sx - sy) / 2, rad = std::min(sx, sy) / 2;
    auto at = [&](double along, double across, double& x, double& y) {
      x = wide ? f.x(along, across) : f.x(-across, along);
      y = wide ? f.y(along, across) : f.y(-across, along);
    };
    double x, y, cx, cy;
    at(-half, -rad, p.x0, p.y0);
    at(half, -rad, x, y), p.lineTo(x, y);
    at(half, rad, x, y), at(half, 0, cx, cy), p.arcTo(x, y, cx, cy, M_PI);
    at(-half, rad, x, y), p.lineTo(x, y);
    at(-half, -rad, x, y), at(-half, 0, cx, cy), p.arcTo(x, y, cx, cy, M_PI);
    return p;
  }
  p.x0 = f.x(-sx / 2, -sy / 2), p.y0 = f.y(-sx / 2, -sy / 2);
  p.lineTo(f.x(sx / 2, -sy / 2), f.y(sx / 2, -sy / 2));
  p.lineTo(f.x(sx / 2, sy / 2), f.y(sx / 2, sy / 2));
  p.lineTo(f.x(-sx / 2, sy / 2), f.y(-sx / 2, sy / 2));
  p.lineTo(p.x0, p.y0);
  if (type == item::kSchematicPin) p.filled = false;  // a pin is an outline
  return p;
}

bool padItem(const Record& r, uint8_t exclusions, PlotItem& it) {
  const uint8_t type = item::padType(r);
  const bool via = type == item::kRoundVia;
  if (!(exclusions & (via ? kNoVias : kNoPads))) it.paths.push_back(padOutline(r));
  const uint16_t hole = item::padHole(r);
  const bool drilled = throughHole(r) && type != item::kSchematicPin && type != item::kSchematicDot && hole > 0;
  // A hole as large as its pad is a drill hit or a mounting hole: no paper
  // would be left around it, so it is not whitened out.
  if (drilled && !(exclusions & kNoHoles) && hole < std::min(item::padX(r), item::padY(r)) && !it.paths.empty()) {
    PlotPath h = circlePath(r.x1, r.y1, hole / 2.0);
    h.clear = true;
    it.paths.push_back(h);
  }
  return !it.paths.empty();
}

bool solidItem(const Context& ctx, const Record& r, PlotItem& it) {
  PlotPath p;
  p.closed = p.filled = true;
  if (r.ext == kNull) {
    p.x0 = r.x1, p.y0 = r.y1;
    p.lineTo(r.w3, r.y1), p.lineTo(r.w3, r.w4), p.lineTo(r.x1, r.w4), p.lineTo(r.x1, r.y1);
  } else {
    constexpr size_t kMaxVertices = 65536;
    bool first = true;
    for (Handle v = r.ext; v != kNull && ctx.pool.valid(v) && p.steps.size() < kMaxVertices; v = ctx.rec(v).ext) {
      if (first)
        p.x0 = ctx.rec(v).x1, p.y0 = ctx.rec(v).y1, first = false;
      else
        p.lineTo(ctx.rec(v).x1, ctx.rec(v).y1);
    }
    if (p.steps.size() < 2) return false;
    p.lineTo(p.x0, p.y0);
  }
  it.paths.push_back(std::move(p));
  return true;
}

bool arcItem(const Record& r, PlotItem& it) {
  const double R = std::fabs(static_cast<double>(item::radius(r)));
  if (R <= 0) return false;
  const uint16_t ecc = item::eccentricity(r);
  const double sweep = item::sweep(r) == 0 ? kTurn : radians(item::sweep(r));
  double start = radians(item::start(r));
  PlotPath p;
  p.width = r.size;
  if (!ecc) {
    start += radians(item::axisAngle(r));
    p.x0 = r.x1 + R * std::cos(start), p.y0 = r.y1 + R * std::sin(start);
    p.arcTo(r.x1 + R * std::cos(start + sweep), r.y1 + R * std::sin(start + sweep), r.x1, r.y1, sweep);
  } else {
    // An ellipse is followed by short chords.
    const double rr = R * ecc / 65536.0, phi = radians(item::axisAngle(r));
    const double c = std::cos(phi), s = std::sin(phi);
    constexpr int kChords = 128;
    const int n = std::max(8, static_cast<int>(kChords * sweep / kTurn));
    for (int i = 0; i <= n; ++i) {
      const double t = start + sweep * i / n, ex = R * std::cos(t), ey = rr * std::sin(t);
      const double x = r.x1 + ex * c - ey * s, y = r.y1 + ex * s + ey * c;
      if (i == 0)
        p.x0 = x, p.y0 = y;
      else
        p.lineTo(x, y);
    }
  }
  p.closed = item::sweep(r) == 0;
  it.reversible = !p.closed;
  it.paths.push_back(std::move(p));
  return true;
}

}  // namespace

bool plotItemPaths(const Context& ctx, Handle h, uint8_t exclusions, PlotItem& it) {
  const Record& r = ctx.rec(h);
  switch (r.type()) {
    case kLine: {
      if (item::isSolid(r)) return solidItem(ctx, r, it);
      if (exclusions & kNoTracks) return false;
      PlotPath p;
      p.x0 = r.x1, p.y0 = r.y1, p.width = r.size;
      p.lineTo(r.w3, r.w4);
      it.paths.push_back(std::move(p));
      it.reversible = true;
      return true;
    }
    case kArc:
      return !(exclusions & kNoTracks) && arcItem(r, it);
    case kPad:
      return padItem(r, exclusions, it);
    case kText:
      textPaths(ctx, h, it.paths);
      return !it.paths.empty();
    default:
      return false;
  }
}

size_t PlotScene::itemCount() const {
  size_t n = 0;
  for (const PlotLayer& l : layers) n += l.items.size();
  return n;
}

std::vector<PlotSlot> plotOrderTable(const Params& p) {
  int table[256];
  std::fill(table, table + 256, -1);
  for (int l = 0; l < 256; ++l) {
    if (!plotted(p.layers[l])) continue;
    int slot = p.layers[l].sequence;
    for (int tries = 0; tries < 256 && table[slot] >= 0; ++tries) slot = (slot + 1) & 255;
    table[slot] = l;
  }
  std::vector<PlotSlot> order;
  for (int slot = 255; slot >= 0; --slot)
    if (table[slot] >= 0) order.push_back({slot, table[slot]});
  return order;
}

std::vector<int> plotOrder(const Params& p) {
  std::vector<int> layers;
  for (const PlotSlot& s : plotOrderTable(p)) layers.push_back(s.layer);
  return layers;
}

PlotScene buildPlotScene(const Context& ctx, uint8_t exclusions) {
  PlotScene scene;
  if (ctx.current == kNull) return scene;
  const std::vector<PlotSlot> order = plotOrderTable(ctx.params);
  int slotOf[256];
  std::fill(slotOf, slotOf + 256, -1);
  for (size_t i = 0; i < order.size(); ++i) {
    const int l = order[i].layer;
    slotOf[l] = static_cast<int>(i);
    scene.layers.push_back({l, order[i].slot, ctx.params.layers[l].plotColor & 0xFFFFFF, {}});
  }
  Handle cur = ctx.current;
  while (anyItem(ctx.pool, cur) != 0) {
    const Record& r = ctx.rec(cur);
    const int slot = slotOf[plotLayerOf(r) & 255];
    if (slot < 0) continue;
    PlotItem it;
    if (!plotItemPaths(ctx, cur, exclusions, it)) continue;
    growBox(it);
    scene.layers[slot].items.push_back(std::move(it));
  }
  std::erase_if(scene.layers, [](const PlotLayer& l) { return l.items.empty(); });
  return scene;
}

std::vector<WorldPoint> flattenPath(const PlotPath& path, double maxChord) {
  std::vector<WorldPoint> pts;
  pts.reserve(path.steps.size() + 1);
  pts.push_back({path.x0, path.y0});
  double x = path.x0, y = path.y0;
  for (const PathStep& s : path.steps) {
    if (s.arc) {
      const double r = std::hypot(x - s.cx, y - s.cy), a0 = std::atan2(y - s.cy, x - s.cx);
      const double len = std::fabs(s.sweep) * r;
      const int n = std::clamp(static_cast<int>(std::ceil(len / std::max(maxChord, 1e-9))),
                               std::max(4, static_cast<int>(std::fabs(s.sweep) / kTurn * 8)), 4096);
      for (int i = 1; i < n; ++i) {
        const double a = a0 + s.sweep * i / n;
        pts.push_back({s.cx + r * std::cos(a), s.cy + r * std::sin(a)});
      }
    }
    pts.push_back({s.x, s.y});
    x = s.x, y = s.y;
  }
  return pts;
}

}  // namespace trelmo
