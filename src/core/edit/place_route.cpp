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

using Points = std::vector<std::pair<int32_t, int32_t>>;

class RouteSearch {
 public:
  RouteSearch(Context& ctx, int layer, uint16_t width, double step)
      : ctx_(ctx), layer_(layer), width_(width), step_(step), g_(static_cast<int64_t>(step)) {}

  // Runs the rounds; true when the fronts met.
  bool search(int32_t ax, int32_t ay, int32_t bx, int32_t by) {
    start(fronts_[0], ax, ay);
    start(fronts_[1], bx, by);
    for (int round = 0; round < kRounds; ++round)
      for (int k = 0; k < 2; ++k) {
        const Turn t = turn(fronts_[k], fronts_[1 - k]);
        if (t != Turn::kGoing) return t == Turn::kMet;
      }
    return false;
  }

  // A's chain from its start, then B's back to its start, runs in one
  // direction joined and steps shorter than 4 units left out.
  Points corners() const {
    Points points;
    for (int32_t i = static_cast<int32_t>(fronts_[0].current); i >= 0; i = fronts_[0].nodes[i].parent)
      points.emplace_back(fronts_[0].nodes[i].x, fronts_[0].nodes[i].y);
    std::reverse(points.begin(), points.end());
    for (int32_t i = static_cast<int32_t>(fronts_[1].current); i >= 0; i = fronts_[1].nodes[i].parent)
      points.emplace_back(fronts_[1].nodes[i].x, fronts_[1].nodes[i].y);
    Points out{points.front()};
    for (size_t i = 1; i < points.size(); ++i) addCorner(out, points[i]);
    const auto& end = points.back();
    if (out.size() > 1 && near(out.back(), end))
      out.back() = end;
    else if (out.back() != end)
      out.push_back(end);
    return out;
  }

 private:
  enum class Turn { kGoing, kMet, kStuck };

  static bool near(const std::pair<int32_t, int32_t>& a, const std::pair<int32_t, int32_t>& b) {
    return std::abs(int64_t{a.first} - b.first) < 4 && std::abs(int64_t{a.second} - b.second) < 4;
  }

  static void addCorner(Points& out, const std::pair<int32_t, int32_t>& p) {
    const auto& last = out.back();
    if (near(p, last)) return;
    if (out.size() >= 2) {
      const auto& before = out[out.size() - 2];
      const bool sameX = before.first == last.first && last.first == p.first;
      const bool sameY = before.second == last.second && last.second == p.second;
      if (sameX || sameY) {
        out.back() = p;
        return;
      }
    }
    out.push_back(p);
  }

  static void start(Front& f, int32_t x, int32_t y) {
    f.nodes.push_back({x, y, 0, kNoDirection, kNoDirection, -1, false});
    f.seen.insert({x, y});
  }

  int64_t estimate(const Node& n, const Node& to) const {
    const int64_t dx = std::abs(int64_t{n.x} - to.x), dy = std::abs(int64_t{n.y} - to.y);
    return dx + dy + (dx >= g_ && dy >= g_ ? g_ : 0);
  }

  int32_t stepped(int32_t v, int d) const {
    return static_cast<int32_t>(std::clamp<int64_t>(snap(v + d * step_, step_), INT32_MIN, INT32_MAX));
  }

  void expand(Front& f, size_t i) {
    const Node node = f.nodes[i];
    for (int8_t d = 0; d < 4; ++d) {
      if (node.dir != kNoDirection && d == (node.dir + 2) % 4) continue;  // straight back
      const int64_t run = freeRun(ctx_, layer_, width_, node.x, node.y, kRun[d]).distance;
      if (run < g_) continue;
      const int32_t nx = stepped(node.x, kStepX[d]), ny = stepped(node.y, kStepY[d]);
      if (!f.seen.insert({nx, ny}).second) continue;
      int64_t cost = node.cost + std::abs(int64_t{nx} - node.x) + std::abs(int64_t{ny} - node.y);
      if (node.dir != kNoDirection && d != node.dir) cost += node.parentDir != node.dir ? g_ * 5 / 2 : g_;
      if (run < 4 * g_) cost += g_ / 4;
      f.nodes.push_back({nx, ny, cost, d, node.dir, static_cast<int32_t>(i), false});
    }
  }

  Turn turn(Front& f, const Front& other) {
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
    if (best == f.nodes.size()) return Turn::kStuck;
    f.current = best;
    const int64_t dx = std::abs(int64_t{f.nodes[best].x} - target.x),
                  dy = std::abs(int64_t{f.nodes[best].y} - target.y);
    return (dx <= 4 && dy < g_) || (dy <= 4 && dx < g_) ? Turn::kMet : Turn::kGoing;
  }

  Context& ctx_;
  int layer_;
  uint16_t width_;
  double step_;
  int64_t g_;
  Front fronts_[2];
};

}  // namespace

std::vector<std::pair<int32_t, int32_t>> routedPath(Context& ctx, int layer, uint16_t width, int32_t ax, int32_t ay,
                                                    int32_t bx, int32_t by) {
  const double step = ctx.params.snapStep / 65536.0;
  const int64_t g = ctx.params.snapStep >> 16;
  if (ctx.current == kNull || g < 2 || (std::abs(int64_t{bx} - ax) < g && std::abs(int64_t{by} - ay) < g)) return {};
  const std::vector<Handle> toggled = toggleEnds(ctx, ax, ay, bx, by);
  RouteSearch search(ctx, layer, width, step);
  const bool met = search.search(ax, ay, bx, by);
  for (Handle h : toggled) ctx.rec(h).flags ^= kHilight;
  if (!met) return {};
  Points corners = search.corners();
  return corners.size() >= 2 ? corners : Points{};
}

}  // namespace trelmo
