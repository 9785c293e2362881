// The maze pass: what the geometric passes left is routed over a grid at the
// track pitch on every routing layer, vias allowed at a cost, shortest rat-
// line first, followed by a rip-up-and-retry round. The grid knows, for each
// node, each step to a neighbour and each via site, which net's copper is
// within clearance of it; a net may use what is free or its own. The routes
// are planned first and put into the design at the end, in rat-line order,
// so the same board and settings always give the same tracks.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <queue>

#include "router/route_work.h"

namespace trelmo {

namespace {

constexpr int32_t kFree = 0, kBlocked = -1;
constexpr int kStep = 10, kBend = 4, kVia = 90, kRipPenalty = 60;
constexpr int kStubReach = 2;                 // cells around an end searched for a way onto the grid
constexpr int64_t kMostCells = 3'000'000;     // grid cells over all layers
constexpr int kWindowCells = 24;              // cells a search may stray beyond its rat-line's box
constexpr Handle kPlannedBase = 0x7F000000u;  // fake handles naming planned routes

int32_t merged(int32_t a, int32_t b) {
  if (a == kFree) return b;
  if (b == kFree || a == b) return a;
  return kBlocked;
}

struct Plan {
  bool routed = false;
  Route route;
  Box box{};
};

class Maze {
 public:
  explicit Maze(RouteWork& w) : w_(w) {}
  void setUp();
  bool ready() const { return !layers_.empty() && width_ > 0; }
  // Plans a route for the rat-line; with `soft` other nets' planned copper
  // may be crossed at a price (the routes crossed are reported).
  bool plan(int rat, bool soft);
  void unplan(int rat);
  bool ripUpAndRetry(int rat);
  std::vector<Plan> plans;

 private:
  struct Node {
    int layer, cell;
  };
  size_t resource(int kind, int li, int cell) const { return (static_cast<size_t>(li) * 3 + kind) * cells() + cell; }
  size_t viaResource(int cell) const { return layers_.size() * 3 * cells() + cell; }
  size_t cells() const { return static_cast<size_t>(width_) * height_; }
  int32_t cx(int cell) const { return static_cast<int32_t>(ox_ + (cell % width_) * pitch_); }
  int32_t cy(int cell) const { return static_cast<int32_t>(oy_ + (cell / width_) * pitch_); }
  int32_t netOf(Handle signal) {
    if (signal == kNull) return kBlocked;
    auto it = nets_.find(signal);
    if (it != nets_.end()) return it->second;
    const int32_t id = static_cast<int32_t>(nets_.size()) + 1;
    nets_[signal] = id;
    return id;
  }
  // Marks what the shape makes unusable (to all but its net), over the
  // cells of `clip` only.
  void stamp(const Shape& s, int32_t owner, std::vector<int32_t>& grid, const Box& clip);
  void stampPlan(int rat, const Box& clip);
  bool usable(size_t res, int32_t net, bool soft, bool& crossed) const;
  std::vector<Node> ends(const RatLine& r, bool first, int32_t net) const;
  bool search(int rat, bool soft, std::vector<Node>& path);
  void push(int li, int cell, int dir, int32_t g, int32_t from);
  void expand(int32_t state);
  bool nearLastVia(int32_t state) const;
  bool viasMeet(const Route& route) const;
  Route toRoute(const RatLine& r, const std::vector<Node>& path) const;
  std::vector<Shape> shapesOf(int rat, const Route& route) const;

  RouteWork& w_;
  std::vector<int> layers_;
  std::vector<int> dirs_;  // per layer: 1 along X, 2 along Y
  int64_t ox_ = 0, oy_ = 0, pitch_ = 1;
  int width_ = 0, height_ = 0;
  std::map<Handle, int32_t> nets_;
  std::vector<int32_t> fixed_, dynamic_;
  Obstacles planned_;
  // Search state, reused through stamps.
  std::vector<int32_t> cost_, parent_;
  std::vector<uint32_t> seen_;
  std::vector<char> goal_;
  uint32_t round_ = 0;
  // The search under way: its net, the window it keeps to, its target cell.
  struct Find {
    int32_t net = 0;
    bool soft = false;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0, tx = 0, ty = 0;
  } find_;
  struct Item {
    int32_t f, h, state;
    bool operator<(const Item& o) const {
      if (f != o.f) return f > o.f;
      if (h != o.h) return h > o.h;
      return state > o.state;
    }
  };
  std::priority_queue<Item> open_;
};

void Maze::setUp() {
  for (int l : w_.xLayers) layers_.push_back(l);
  for (int l : w_.yLayers) layers_.push_back(l);
  std::sort(layers_.begin(), layers_.end());
  layers_.erase(std::unique(layers_.begin(), layers_.end()), layers_.end());
  for (int l : layers_)
    dirs_.push_back((std::count(w_.xLayers.begin(), w_.xLayers.end(), l) ? 1 : 0) |
                    (std::count(w_.yLayers.begin(), w_.yLayers.end(), l) ? 2 : 0));
  bool any = false;
  Box area{};
  for (const RatLine& r : w_.rats) {
    if (r.done) continue;
    const Box b{std::min(r.x1, r.x2), std::min(r.y1, r.y2), std::max(r.x1, r.x2), std::max(r.y1, r.y2)};
    area = any ? Box{std::min(area.x0, b.x0), std::min(area.y0, b.y0), std::max(area.x1, b.x1), std::max(area.y1, b.y1)}
               : b;
    any = true;
  }
  // The grid covers the board: the rat-lines and every shape on it.
  for (int i = 0; any && i < w_.geometry.size(); ++i) {
    const Box& b = w_.geometry[i].box;
    area = {std::min(area.x0, b.x0), std::min(area.y0, b.y0), std::max(area.x1, b.x1), std::max(area.y1, b.y1)};
  }
  if (!any || layers_.empty()) {
    layers_.clear();
    return;
  }
  const RouteRules& rules = w_.rules;
  pitch_ = std::max<int64_t>(rules.track + rules.lineToLine, 16);
  for (;;) {
    const int64_t margin = 6 * pitch_;
    ox_ = (area.x0 - margin) / pitch_ * pitch_, oy_ = (area.y0 - margin) / pitch_ * pitch_;
    width_ = static_cast<int>((area.x1 + margin - ox_) / pitch_ + 1);
    height_ = static_cast<int>((area.y1 + margin - oy_) / pitch_ + 1);
    if (static_cast<int64_t>(width_) * height_ * static_cast<int64_t>(layers_.size()) <= kMostCells) break;
    pitch_ += pitch_ / 2;
  }
  fixed_.assign(viaResource(0) + cells(), kFree);
  dynamic_.assign(fixed_.size(), kFree);
  const Box everywhere{INT64_MIN / 4, INT64_MIN / 4, INT64_MAX / 4, INT64_MAX / 4};
  for (int i = 0; i < w_.geometry.size(); ++i) {
    const Shape& s = w_.geometry[i];
    if (s.alive) stamp(s, netOf(s.signal), fixed_, everywhere);
  }
  planned_.start(rules, Box{ox_, oy_, ox_ + width_ * pitch_, oy_ + height_ * pitch_});
  plans.assign(w_.rats.size(), {});
  const size_t states = layers_.size() * cells() * 3;
  cost_.assign(states, 0);
  parent_.assign(states, -1);
  seen_.assign(states, 0);
}

void Maze::stamp(const Shape& s, int32_t owner, std::vector<int32_t>& grid, const Box& clip) {
  const int64_t reach = w_.geometry.slack() + pitch_ + 2;
  const Box b = s.box.grown(reach);
  const int x0 = static_cast<int>(std::clamp<int64_t>((std::max(b.x0, clip.x0) - ox_) / pitch_, 0, width_ - 1));
  const int x1 = static_cast<int>(std::clamp<int64_t>((std::min(b.x1, clip.x1) - ox_) / pitch_ + 1, 0, width_ - 1));
  const int y0 = static_cast<int>(std::clamp<int64_t>((std::max(b.y0, clip.y0) - oy_) / pitch_, 0, height_ - 1));
  const int y1 = static_cast<int>(std::clamp<int64_t>((std::min(b.y1, clip.y1) - oy_) / pitch_ + 1, 0, height_ - 1));
  Probe p;  // no signal: everything is foreign
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const int cell = y * width_ + x;
      const int32_t px = cx(cell), py = cy(cell);
      p.layer = 0, p.x1 = p.x2 = px, p.y1 = p.y2 = py, p.half = (w_.rules.viaPad + 1) / 2;
      if (w_.geometry.drillsMeet(px, py, s))
        grid[viaResource(cell)] = kBlocked;
      else if (w_.geometry.hitsShape(p, s))
        grid[viaResource(cell)] = merged(grid[viaResource(cell)], owner);
      p.half = (w_.rules.track + 1) / 2;
      for (size_t li = 0; li < layers_.size(); ++li) {
        if (s.layer != 0 && s.layer != layers_[li]) continue;
        p.layer = layers_[li];
        p.x2 = px, p.y2 = py;
        size_t r = resource(0, static_cast<int>(li), cell);
        if (w_.geometry.hitsShape(p, s)) grid[r] = merged(grid[r], owner);
        if (x + 1 < width_) {
          p.x2 = static_cast<int32_t>(px + pitch_);
          r = resource(1, static_cast<int>(li), cell);
          if (w_.geometry.hitsShape(p, s)) grid[r] = merged(grid[r], owner);
          p.x2 = px;
        }
        if (y + 1 < height_) {
          p.y2 = static_cast<int32_t>(py + pitch_);
          r = resource(2, static_cast<int>(li), cell);
          if (w_.geometry.hitsShape(p, s)) grid[r] = merged(grid[r], owner);
        }
      }
    }
  }
}

bool Maze::usable(size_t res, int32_t net, bool soft, bool& crossed) const {
  const int32_t f = fixed_[res], d = dynamic_[res];
  if (f != kFree && f != net) return false;
  if (d == kFree || d == net) return true;
  if (!soft || d == kBlocked) return false;
  crossed = true;
  return true;
}

// The grid nodes a route may start from at one end of the rat-line: near
// it, on a layer the end is on, with a clear stub from the end.
std::vector<Maze::Node> Maze::ends(const RatLine& r, bool first, int32_t net) const {
  const int32_t ex = first ? r.x1 : r.x2, ey = first ? r.y1 : r.y2;
  int onlyLayer = 0;
  std::vector<int> found;
  w_.geometry.query(Box{ex, ey, ex, ey}.grown(2), found);
  for (int i : found) {
    const Shape& s = w_.geometry[i];
    if (s.kind == Shape::kPadShape && s.signal == r.signal && std::abs(s.x1 - ex) <= 2 && std::abs(s.y1 - ey) <= 2)
      onlyLayer = s.layer;
  }
  std::vector<Node> out;
  const int gx = static_cast<int>((ex - ox_) / pitch_), gy = static_cast<int>((ey - oy_) / pitch_);
  for (int y = gy - kStubReach; y <= gy + kStubReach + 1; ++y) {
    for (int x = gx - kStubReach; x <= gx + kStubReach + 1; ++x) {
      if (x < 0 || y < 0 || x >= width_ || y >= height_) continue;
      const int cell = y * width_ + x;
      for (size_t li = 0; li < layers_.size(); ++li) {
        if (onlyLayer != 0 && onlyLayer != layers_[li]) continue;
        bool crossed = false;
        if (!usable(resource(0, static_cast<int>(li), cell), net, false, crossed)) continue;
        const Probe p = w_.probe(r, layers_[li], ex, ey, cx(cell), cy(cell));
        if (w_.geometry.hits(p) || planned_.hits(p)) continue;
        out.push_back({static_cast<int>(li), cell});
      }
    }
  }
  return out;
}

void Maze::push(int li, int cell, int dir, int32_t g, int32_t from) {
  const int32_t state = static_cast<int32_t>((static_cast<size_t>(li) * cells() + cell) * 3 + dir);
  if (seen_[state] == round_ && cost_[state] <= g) return;
  seen_[state] = round_, cost_[state] = g, parent_[state] = from;
  const int32_t h = kStep * (std::abs(cell % width_ - find_.tx) + std::abs(cell / width_ - find_.ty));
  open_.push({g + h, h, state});
}

// Whether a via here would meet the drill of the via the route went through
// one step back (a route's own vias are stamped only once it is planned).
bool Maze::nearLastVia(int32_t state) const {
  const int32_t step = parent_[state];
  if (state % 3 == 2 || step < 0 || step % 3 != 2 || parent_[step] < 0) return false;
  const int here = state / 3 % static_cast<int>(cells()), there = step / 3 % static_cast<int>(cells());
  Shape via;
  via.kind = Shape::kPadShape, via.hole = w_.rules.viaHole, via.x1 = cx(there), via.y1 = cy(there);
  return w_.geometry.drillsMeet(cx(here), cy(here), via);
}

// The steps from a state: along the layer's directions, and through a via.
void Maze::expand(int32_t state) {
  const int32_t g = cost_[state];
  const int dir = state % 3, node = state / 3;
  const int li = node / static_cast<int>(cells()), cell = node % static_cast<int>(cells());
  const int x = cell % width_, y = cell / width_;
  const Find& f = find_;
  for (const auto& [axis, sign] : {std::pair{0, 1}, std::pair{0, -1}, std::pair{1, 1}, std::pair{1, -1}}) {
    if (!(dirs_[li] & (axis + 1))) continue;
    const int nx = x + (axis == 0 ? sign : 0), ny = y + (axis == 1 ? sign : 0);
    if (nx < f.x0 || nx > f.x1 || ny < f.y0 || ny > f.y1) continue;
    const int next = ny * width_ + nx;
    bool crossed = false;
    if (!usable(resource(1 + axis, li, sign > 0 ? cell : next), f.net, f.soft, crossed) ||
        !usable(resource(0, li, next), f.net, f.soft, crossed))
      continue;
    push(li, next, axis, g + kStep + (dir != 2 && dir != axis ? kBend : 0) + (crossed ? kRipPenalty : 0), state);
  }
  bool crossed = false;
  if (!usable(viaResource(cell), f.net, f.soft, crossed) || nearLastVia(state)) return;
  for (size_t lj = 0; lj < layers_.size(); ++lj) {
    bool c2 = crossed;
    if (static_cast<int>(lj) == li || !usable(resource(0, static_cast<int>(lj), cell), f.net, f.soft, c2)) continue;
    push(static_cast<int>(lj), cell, 2, g + kVia + (c2 ? kRipPenalty : 0), state);
  }
}

bool Maze::search(int rat, bool soft, std::vector<Node>& path) {
  const RatLine& r = w_.rats[rat];
  Find& f = find_;
  f.net = netOf(r.signal), f.soft = soft;
  const std::vector<Node> starts = ends(r, true, f.net), goals = ends(r, false, f.net);
  if (starts.empty() || goals.empty()) return false;
  if (++round_ == 0) std::fill(seen_.begin(), seen_.end(), 0), round_ = 1;
  goal_.resize(layers_.size() * cells(), 0);
  for (const Node& g : goals) goal_[g.layer * cells() + g.cell] = 1;
  f.tx = static_cast<int>((r.x2 - ox_) / pitch_), f.ty = static_cast<int>((r.y2 - oy_) / pitch_);
  const int span =
      std::max(kWindowCells, static_cast<int>(std::max(std::abs(r.x2 - r.x1), std::abs(r.y2 - r.y1)) / pitch_ / 2));
  f.x0 = std::max(0, static_cast<int>((std::min(r.x1, r.x2) - ox_) / pitch_) - span);
  f.x1 = std::min(width_ - 1, static_cast<int>((std::max(r.x1, r.x2) - ox_) / pitch_) + span);
  f.y0 = std::max(0, static_cast<int>((std::min(r.y1, r.y2) - oy_) / pitch_) - span);
  f.y1 = std::min(height_ - 1, static_cast<int>((std::max(r.y1, r.y2) - oy_) / pitch_) + span);
  open_ = {};
  for (const Node& s : starts) push(s.layer, s.cell, 2, 0, -1);
  int32_t found = -1;
  while (!open_.empty() && found < 0) {
    const Item it = open_.top();
    open_.pop();
    if (it.f != cost_[it.state] + it.h) continue;  // a better way was found since
    if (goal_[it.state / 3])
      found = it.state;
    else
      expand(it.state);
  }
  for (const Node& g : goals) goal_[g.layer * cells() + g.cell] = 0;
  if (found < 0) return false;
  path.clear();
  for (int32_t s = found; s >= 0; s = parent_[s]) {
    const int node = s / 3;
    path.push_back({node / static_cast<int>(cells()), node % static_cast<int>(cells())});
  }
  std::reverse(path.begin(), path.end());
  return true;
}

// Straight runs of the path become segments, layer changes vias; stubs join
// the rat-line's ends.
Route Maze::toRoute(const RatLine& r, const std::vector<Node>& path) const {
  Route route;
  auto add = [&](int li, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (x1 != x2 || y1 != y2) route.segments.push_back({layers_[li], x1, y1, x2, y2});
  };
  add(path.front().layer, r.x1, r.y1, cx(path.front().cell), cy(path.front().cell));
  auto along = [&](int a, int b) { return a / width_ == b / width_; };  // same row: a run along X
  size_t from = 0;
  for (size_t i = 1; i < path.size(); ++i) {
    const Node& p = path[i - 1];
    const Node& n = path[i];
    if (n.layer != p.layer) {
      add(p.layer, cx(path[from].cell), cy(path[from].cell), cx(p.cell), cy(p.cell));
      route.vias.emplace_back(cx(p.cell), cy(p.cell));
      from = i;
    } else if (i - 1 > from && along(path[from].cell, p.cell) != along(p.cell, n.cell)) {
      add(p.layer, cx(path[from].cell), cy(path[from].cell), cx(p.cell), cy(p.cell));
      from = i - 1;
    }
  }
  add(path.back().layer, cx(path[from].cell), cy(path[from].cell), cx(path.back().cell), cy(path.back().cell));
  add(path.back().layer, cx(path.back().cell), cy(path.back().cell), r.x2, r.y2);
  return route;
}

std::vector<Shape> Maze::shapesOf(int rat, const Route& route) const {
  const RatLine& r = w_.rats[rat];
  std::vector<Shape> out;
  const int32_t half = (w_.rules.track + 1) / 2;
  for (const Segment& s : route.segments) {
    Shape t;
    t.kind = Shape::kTrack, t.layer = static_cast<uint8_t>(s.layer), t.item = kPlannedBase + rat, t.signal = r.signal;
    t.x1 = s.x1, t.y1 = s.y1, t.x2 = s.x2, t.y2 = s.y2, t.half = half;
    t.box = Box{std::min(s.x1, s.x2), std::min(s.y1, s.y2), std::max(s.x1, s.x2), std::max(s.y1, s.y2)}.grown(half);
    out.push_back(t);
  }
  for (const auto& [x, y] : route.vias) {
    Shape v;
    v.kind = Shape::kPadShape, v.layer = 0, v.item = kPlannedBase + rat, v.signal = r.signal;
    v.x1 = x, v.y1 = y, v.padX = v.padY = w_.rules.viaPad, v.hole = w_.rules.viaHole;
    v.outline.n = 1, v.outline.x[0] = x, v.outline.y[0] = y, v.outline.radius = w_.rules.viaPad / 2.0;
    v.box = Box{x, y, x, y}.grown(w_.rules.viaPad);
    out.push_back(v);
  }
  return out;
}

void Maze::stampPlan(int rat, const Box& clip) {
  const int32_t net = netOf(w_.rats[rat].signal);
  for (const Shape& s : shapesOf(rat, plans[rat].route)) stamp(s, net, dynamic_, clip);
}

bool Maze::viasMeet(const Route& route) const {
  Shape via;
  via.kind = Shape::kPadShape, via.hole = w_.rules.viaHole;
  for (size_t i = 0; i < route.vias.size(); ++i) {
    via.x1 = route.vias[i].first, via.y1 = route.vias[i].second;
    for (size_t j = i + 1; j < route.vias.size(); ++j)
      if (w_.geometry.drillsMeet(route.vias[j].first, route.vias[j].second, via)) return true;
  }
  return false;
}

bool Maze::plan(int rat, bool soft) {
  std::vector<Node> path;
  if (!search(rat, soft, path)) return false;
  Plan& p = plans[rat];
  p.route = toRoute(w_.rats[rat], path);
  // The grid is exact for its own steps; the stubs and joins are checked again.
  for (const Segment& s : p.route.segments) {
    const Probe probe = w_.probe(w_.rats[rat], s.layer, s.x1, s.y1, s.x2, s.y2);
    if (w_.geometry.hits(probe) || (!soft && planned_.hits(probe))) return false;
  }
  if (viasMeet(p.route)) return false;
  for (const auto& [x, y] : p.route.vias) {
    const Probe probe = w_.viaProbe(w_.rats[rat], x, y);
    if (w_.geometry.hits(probe) || (!soft && planned_.hits(probe))) return false;
  }
  p.routed = true;
  p.box = {INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
  for (const Shape& s : shapesOf(rat, p.route)) {
    planned_.add(s);
    p.box = {std::min(p.box.x0, s.box.x0), std::min(p.box.y0, s.box.y0), std::max(p.box.x1, s.box.x1),
             std::max(p.box.y1, s.box.y1)};
  }
  const Box all{INT64_MIN / 4, INT64_MIN / 4, INT64_MAX / 4, INT64_MAX / 4};
  stampPlan(rat, all);
  return true;
}

void Maze::unplan(int rat) {
  Plan& p = plans[rat];
  if (!p.routed) return;
  p.routed = false;
  planned_.removeItem(kPlannedBase + rat);
  // What the route held is worked out again from the routes that remain.
  const Box clip = p.box.grown(w_.geometry.slack() + 2 * pitch_);
  const int x0 = static_cast<int>(std::clamp<int64_t>((clip.x0 - ox_) / pitch_, 0, width_ - 1));
  const int x1 = static_cast<int>(std::clamp<int64_t>((clip.x1 - ox_) / pitch_ + 1, 0, width_ - 1));
  const int y0 = static_cast<int>(std::clamp<int64_t>((clip.y0 - oy_) / pitch_, 0, height_ - 1));
  const int y1 = static_cast<int>(std::clamp<int64_t>((clip.y1 - oy_) / pitch_ + 1, 0, height_ - 1));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const int cell = y * width_ + x;
      dynamic_[viaResource(cell)] = kFree;
      for (size_t li = 0; li < layers_.size(); ++li)
        for (int k = 0; k < 3; ++k) dynamic_[resource(k, static_cast<int>(li), cell)] = kFree;
    }
  const Box cellsBox{ox_ + x0 * pitch_, oy_ + y0 * pitch_, ox_ + x1 * pitch_, oy_ + y1 * pitch_};
  for (size_t other = 0; other < plans.size(); ++other)
    if (plans[other].routed && plans[other].box.grown(w_.geometry.slack() + 2 * pitch_).overlaps(cellsBox))
      stampPlan(static_cast<int>(other), cellsBox);
}

// The rat-line is routed across others' planned copper; the routes in its
// way are taken up and routed again. Kept only when every one of them finds
// a new way; otherwise everything goes back as it was.
bool Maze::ripUpAndRetry(int rat) {
  if (!plan(rat, true)) return false;
  const Plan mine = plans[rat];
  unplan(rat);
  std::vector<int> victims;
  for (const Shape& s : shapesOf(rat, mine.route)) {
    std::vector<int> found;
    Probe p;
    p.layer = s.kind == Shape::kTrack ? s.layer : 0;
    p.x1 = s.x1, p.y1 = s.y1, p.x2 = s.kind == Shape::kTrack ? s.x2 : s.x1,
    p.y2 = s.kind == Shape::kTrack ? s.y2 : s.y1;
    p.half = s.kind == Shape::kTrack ? s.half : w_.rules.viaPad / 2;
    p.signal = s.signal;
    planned_.query(planned_.reach(p), found);
    for (int i : found)
      if (planned_.hitsShape(p, planned_[i])) victims.push_back(static_cast<int>(planned_[i].item - kPlannedBase));
  }
  std::sort(victims.begin(), victims.end());
  victims.erase(std::unique(victims.begin(), victims.end()), victims.end());
  std::vector<Plan> before;
  for (int v : victims) before.push_back(plans[v]), unplan(v);
  bool ok = plan(rat, false);
  for (size_t i = 0; ok && i < victims.size(); ++i) ok = plan(victims[i], false);
  if (ok) return true;
  unplan(rat);
  for (int v : victims) unplan(v);
  for (size_t i = 0; i < victims.size(); ++i) {
    plans[victims[i]] = before[i];
    plans[victims[i]].routed = false;
    Plan& p = plans[victims[i]];
    for (const Shape& s : shapesOf(victims[i], p.route)) planned_.add(s);
    p.routed = true;
    stampPlan(victims[i], Box{INT64_MIN / 4, INT64_MIN / 4, INT64_MAX / 4, INT64_MAX / 4});
  }
  return false;
}

}  // namespace

PassCount RouteWork::mazePass(bool ripUp, PassCount* retried) {
  PassCount c;
  Maze maze(*this);
  maze.setUp();
  if (!maze.ready()) return c;
  std::vector<int> failed;
  const int total = static_cast<int>(rats.size());
  for (int i = 0; i < total && !stopRequested(); ++i) {
    progress(i, total);
    if (rats[i].done || rats[i].signal == kNull) continue;
    ++c.processed;
    if (maze.plan(i, false))
      ++c.routed;
    else
      failed.push_back(i);
  }
  for (int i : failed) {
    if (!ripUp || stopRequested()) break;
    ++retried->processed;
    if (maze.ripUpAndRetry(i)) ++retried->routed;
  }
  // Rip-up may have left a route unplanned that had been counted.
  for (int i = 0; i < total; ++i) {
    if (!maze.plans[i].routed) continue;
    commit(rats[i], maze.plans[i].route);
  }
  return c;
}

}  // namespace trelmo
