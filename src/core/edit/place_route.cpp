#include "edit/place_route.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "context.h"
#include "database/walk.h"
#include "edit/hit_tests.h"
#include "router/free_run.h"

namespace trelmo {

namespace {

constexpr int kRounds = 4096;
constexpr int8_t kNoDirection = 4;
constexpr int kStepX[4] = {1, 0, -1, 0}, kStepY[4] = {0, 1, 0, -1};
constexpr RunDirection kRun[4] = {RunDirection::kPlusX, RunDirection::kPlusY, RunDirection::kMinusX,
                                  RunDirection::kMinusY};

struct Node {
  int32_t x, y;
  int64_t cost;
  int8_t dir, parentDir;
  int32_t parent;
  bool closed;
};

struct Front {
  std::vector<Node> nodes;
  size_t current = 0;
  std::set<std::pair<int32_t, int32_t>> seen;
};

// The nearest grid point: the grid step is a fraction of an inch, not always
// a whole number of units.
int64_t snap(double v, double step) { return std::llround(std::round(v / step) * step); }

// The lines and pads at the two ends get their hilight flag turned over
// while the search runs, so that the free runs pass them.
std::vector<Handle> toggleEnds(Context& ctx, int32_t ax, int32_t ay, int32_t bx, int32_t by) {
  std::vector<Handle> toggled;
  Handle cursor = ctx.current;
  while (anyItem(ctx.pool, cursor) != 0) {
    const Record& r = ctx.rec(cursor);
    bool at = false;
    for (const auto& [x, y] : {std::pair{ax, ay}, std::pair{bx, by}}) {
      if (r.type() == kLine && r.size != 0) at = at || lineHit(r, x, y, 3);
      if (r.type() == kPad) at = at || padHit(r, x, y, 3);
    }
    if (at) toggled.push_back(cursor);
  }
  for (Handle h : toggled) ctx.rec(h).flags ^= kHilight;
  return toggled;
}

}  // namespace

std::vector<std::pair<int32_t, int32_t>> routedPath(Context& ctx, int layer, uint16_t width, int32_t ax, int32_t ay,
                                                    int32_t bx, int32_t by) {
  const double step = ctx.params.snapStep / 65536.0;
  const int64_t g = ctx.params.snapStep >> 16;
  if (ctx.current == kNull || g < 2 || (std::abs(int64_t{bx} - ax) < g && std::abs(int64_t{by} - ay) < g)) return {};
  const std::vector<Handle> toggled = toggleEnds(ctx, ax, ay, bx, by);
  Front fronts[2];
  fronts[0].nodes.push_back({ax, ay, 0, kNoDirection, kNoDirection, -1, false});
  fronts[1].nodes.push_back({bx, by, 0, kNoDirection, kNoDirection, -1, false});
  fronts[0].seen.insert({ax, ay});
  fronts[1].seen.insert({bx, by});
  auto estimate = [g](const Node& n, const Node& to) {
    const int64_t dx = std::abs(int64_t{n.x} - to.x), dy = std::abs(int64_t{n.y} - to.y);
    return dx + dy + (dx >= g && dy >= g ? g : 0);
  };
  auto expand = [&](Front& f, size_t i) {
    const Node node = f.nodes[i];
    for (int8_t d = 0; d < 4; ++d) {
      if (node.dir != kNoDirection && d == (node.dir + 2) % 4) continue;  // straight back
      const int64_t run = freeRun(ctx, layer, width, node.x, node.y, kRun[d]).distance;
      if (run < g) continue;
      const int32_t nx =
          static_cast<int32_t>(std::clamp<int64_t>(snap(node.x + kStepX[d] * step, step), INT32_MIN, INT32_MAX));
      const int32_t ny =
          static_cast<int32_t>(std::clamp<int64_t>(snap(node.y + kStepY[d] * step, step), INT32_MIN, INT32_MAX));
      if (!f.seen.insert({nx, ny}).second) continue;
      int64_t cost = node.cost + std::abs(int64_t{nx} - node.x) + std::abs(int64_t{ny} - node.y);
      if (node.dir != kNoDirection && d != node.dir) cost += node.parentDir != node.dir ? g * 5 / 2 : g;
      if (run < 4 * g) cost += g / 4;
      f.nodes.push_back({nx, ny, cost, d, node.dir, static_cast<int32_t>(i), false});
    }
  };
  bool met = false;
  for (int round = 0; round < kRounds && !met; ++round) {
    bool stuck = false;
    for (int k = 0; k < 2 && !met; ++k) {
      Front& f = fronts[k];
      const Front& other = fronts[1 - k];
      if (!f.nodes[f.current].closed) {
        f.nodes[f.current].closed = true;
        expand(f, f.current);
      }
      const Node& target = other.nodes[other.current];
      size_t best = f.nodes.size();
      int64_t bestSum = 0;
      for (size_t i = 0; i < f.nodes.size(); ++i) {
        if (f.nodes[i].closed) continue;
        const int64_t sum = f.nodes[i].cost + estimate(f.nodes[i], target);
        if (best == f.nodes.size() || sum < bestSum) best = i, bestSum = sum;
      }
      if (best == f.nodes.size()) {
        stuck = true;
        break;
      }
      f.current = best;
      const int64_t dx = std::abs(int64_t{f.nodes[best].x} - target.x),
                    dy = std::abs(int64_t{f.nodes[best].y} - target.y);
      met = (dx <= 4 && dy < g) || (dy <= 4 && dx < g);
    }
    if (stuck) break;
  }
  for (Handle h : toggled) ctx.rec(h).flags ^= kHilight;
  if (!met) return {};
  // A's chain from its start, then B's chain back to its start.
  std::vector<std::pair<int32_t, int32_t>> points;
  for (int32_t i = static_cast<int32_t>(fronts[0].current); i >= 0; i = fronts[0].nodes[i].parent)
    points.emplace_back(fronts[0].nodes[i].x, fronts[0].nodes[i].y);
  std::reverse(points.begin(), points.end());
  for (int32_t i = static_cast<int32_t>(fronts[1].current); i >= 0; i = fronts[1].nodes[i].parent)
    points.emplace_back(fronts[1].nodes[i].x, fronts[1].nodes[i].y);
  // Runs in one direction become one segment; steps shorter than 4 units go.
  std::vector<std::pair<int32_t, int32_t>> corners{points.front()};
  for (size_t i = 1; i < points.size(); ++i) {
    const auto& p = points[i];
    const auto& last = corners.back();
    if (std::abs(int64_t{p.first} - last.first) < 4 && std::abs(int64_t{p.second} - last.second) < 4) continue;
    if (corners.size() >= 2) {
      const auto& before = corners[corners.size() - 2];
      const bool sameX = before.first == last.first && last.first == p.first;
      const bool sameY = before.second == last.second && last.second == p.second;
      if (sameX || sameY) {
        corners.back() = p;
        continue;
      }
    }
    corners.push_back(p);
  }
  const auto& end = points.back();
  if (corners.size() > 1 && std::abs(int64_t{corners.back().first} - end.first) < 4 &&
      std::abs(int64_t{corners.back().second} - end.second) < 4)
    corners.back() = end;
  else if (corners.back() != end)
    corners.push_back(end);
  return corners.size() >= 2 ? corners : std::vector<std::pair<int32_t, int32_t>>{};
}

}  // namespace trelmo
