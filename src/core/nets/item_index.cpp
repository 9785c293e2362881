#include "nets/item_index.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "context.h"
#include "nets/shapes.h"

namespace trelmo {

namespace {

constexpr int64_t kSlack = 4;
constexpr int kMaxDepth = 64;
constexpr int64_t kMaxCellsPerItem = 64;

Box pointBox(int64_t x, int64_t y, int64_t d) { return {x - d, y - d, x + d, y + d}; }

Box solidBox(const Context& ctx, const Record& r) {
  Box b{r.x1, r.y1, r.w3, r.w4};
  if (b.x0 > b.x1) std::swap(b.x0, b.x1);
  if (b.y0 > b.y1) std::swap(b.y0, b.y1);
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  size_t n = 0;
  bool first = true;
  for (Handle v = r.ext; v != kNull && ctx.pool.valid(v) && n < cap; v = ctx.rec(v).ext, ++n) {
    const Record& e = ctx.rec(v);
    if (first) b = {e.x1, e.y1, e.x1, e.y1}, first = false;
    b.x0 = std::min<int64_t>(b.x0, e.x1), b.y0 = std::min<int64_t>(b.y0, e.y1);
    b.x1 = std::max<int64_t>(b.x1, e.x1), b.y1 = std::max<int64_t>(b.y1, e.y1);
  }
  return b;
}

}  // namespace

Box ItemIndex::reachBox(const Context& ctx, Handle h) {
  const Record& r = ctx.rec(h);
  switch (r.type()) {
    case kLine: {
      if (item::isSolid(r)) return solidBox(ctx, r).grown(kSlack);
      const int64_t reach = 2 * int64_t{r.size / 2} + kSlack;
      return Box{std::min(r.x1, r.w3), std::min(r.y1, r.w4), std::max(r.x1, r.w3), std::max(r.y1, r.w4)}.grown(reach);
    }
    case kArc:
      return pointBox(r.x1, r.y1, std::llabs(int64_t{item::radius(r)}) + r.size / 2 + kSlack);
    case kPad:
      return pointBox(r.x1, r.y1, padLarger(r) + kSlack);
    default:
      return pointBox(r.x1, r.y1, kSlack);
  }
}

void ItemIndex::build(const Context& ctx) {
  entries_.clear();
  components_.clear();
  ordinals_.clear();
  large_.clear();
  added_.clear();
  if (ctx.current == kNull) return;
  // The flattened walk in list order, descending into components.
  struct Level {
    Handle ring, at;
    int32_t component;
  };
  std::vector<Level> stack{{ctx.current, ctx.rec(ctx.current).next, -1}};
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  size_t steps = 0;
  while (!stack.empty() && ++steps <= cap) {
    Level& lv = stack.back();
    const Handle h = lv.at;
    if (h == lv.ring || h == kNull || !ctx.pool.valid(h)) {
      stack.pop_back();
      continue;
    }
    lv.at = ctx.rec(h).next;
    const Record& r = ctx.rec(h);
    if (r.hidden()) continue;
    const uint8_t t = r.type();
    if (t == kComponent) {
      if (!ctx.pool.valid(r.ext) || stack.size() >= kMaxDepth) continue;
      ComponentEntry c;
      c.header = h;
      c.ring = r.ext;
      c.parent = lv.component;
      c.box = {std::min(r.x1, r.w3), std::min(r.y1, r.w4), std::max(r.x1, r.w3), std::max(r.y1, r.w4)};
      components_.push_back(c);
      const int32_t ci = static_cast<int32_t>(components_.size() - 1);
      stack.push_back({r.ext, ctx.rec(r.ext).next, ci});
      continue;
    }
    if (t < kLine || t > kText) continue;
    IndexEntry e;
    e.item = h;
    e.component = lv.component;
    e.box = reachBox(ctx, h);
    ordinals_[h] = static_cast<int>(entries_.size());
    entries_.push_back(e);
  }
  buildGrid();
}

// The grid: cells about the size of a typical item, about one item a cell;
// items spanning too many cells are kept aside.
void ItemIndex::buildGrid() {
  const size_t n = entries_.size();
  stamp_.assign(n, 0);
  stampNow_ = 0;
  gridW_ = gridH_ = 0;
  cellStart_.assign(1, 0);
  cellItems_.clear();
  if (n == 0) return;
  Box all = entries_[0].box;
  std::vector<int64_t> sizes;
  sizes.reserve(n);
  for (const IndexEntry& e : entries_) {
    all.x0 = std::min(all.x0, e.box.x0), all.y0 = std::min(all.y0, e.box.y0);
    all.x1 = std::max(all.x1, e.box.x1), all.y1 = std::max(all.y1, e.box.y1);
    sizes.push_back(std::max(e.box.x1 - e.box.x0, e.box.y1 - e.box.y0));
  }
  std::nth_element(sizes.begin(), sizes.begin() + static_cast<long>(n / 2), sizes.end());
  const double w = static_cast<double>(all.x1 - all.x0) + 1, h = static_cast<double>(all.y1 - all.y0) + 1;
  double cell = std::max({std::sqrt(w * h / static_cast<double>(n)), static_cast<double>(sizes[n / 2]), 1.0});
  const double maxCells = 4.0 * static_cast<double>(n) + 64;
  while ((std::ceil(w / cell)) * (std::ceil(h / cell)) > maxCells) cell *= 1.5;
  cell_ = static_cast<int64_t>(std::ceil(cell));
  originX_ = all.x0, originY_ = all.y0;
  gridW_ = static_cast<int>((all.x1 - all.x0) / cell_ + 1);
  gridH_ = static_cast<int>((all.y1 - all.y0) / cell_ + 1);
  const size_t cells = static_cast<size_t>(gridW_) * static_cast<size_t>(gridH_);
  std::vector<uint32_t> count(cells + 1, 0);
  auto forCells = [&](int i, auto f) {
    int cx0, cy0, cx1, cy1;
    cellRange(entries_[i].box, cx0, cy0, cx1, cy1);
    for (int cy = cy0; cy <= cy1; ++cy)
      for (int cx = cx0; cx <= cx1; ++cx) f(static_cast<size_t>(cy) * gridW_ + cx);
  };
  std::vector<bool> isLarge(n, false);
  for (size_t i = 0; i < n; ++i) {
    int cx0, cy0, cx1, cy1;
    cellRange(entries_[i].box, cx0, cy0, cx1, cy1);
    if (int64_t{cx1 - cx0 + 1} * (cy1 - cy0 + 1) > kMaxCellsPerItem) {
      isLarge[i] = true;
      large_.push_back(static_cast<int>(i));
      continue;
    }
    forCells(static_cast<int>(i), [&](size_t c) { ++count[c + 1]; });
  }
  for (size_t c = 0; c < cells; ++c) count[c + 1] += count[c];
  cellStart_ = count;
  cellItems_.assign(cellStart_[cells], 0);
  for (size_t i = 0; i < n; ++i)
    if (!isLarge[i]) forCells(static_cast<int>(i), [&](size_t c) { cellItems_[count[c]++] = static_cast<int>(i); });
}

void ItemIndex::cellRange(const Box& b, int& cx0, int& cy0, int& cx1, int& cy1) const {
  auto cellOf = [&](int64_t v, int64_t origin, int limit) {
    const int64_t c = (v - origin) / cell_;
    return static_cast<int>(std::clamp<int64_t>(v < origin ? -1 : c, 0, limit - 1));
  };
  cx0 = cellOf(b.x0, originX_, gridW_), cx1 = cellOf(b.x1, originX_, gridW_);
  cy0 = cellOf(b.y0, originY_, gridH_), cy1 = cellOf(b.y1, originY_, gridH_);
}

int ItemIndex::ordinalOf(Handle h) const {
  auto it = ordinals_.find(h);
  return it == ordinals_.end() ? -1 : it->second;
}

void ItemIndex::query(const Box& probe, std::vector<int>& out) const {
  out.clear();
  if (++stampNow_ == 0) {
    std::fill(stamp_.begin(), stamp_.end(), 0);
    stampNow_ = 1;
  }
  auto take = [&](int i) {
    if (stamp_[i] == stampNow_) return;
    stamp_[i] = stampNow_;
    const IndexEntry& e = entries_[i];
    if (!e.dead && e.box.overlaps(probe)) out.push_back(i);
  };
  if (gridW_ > 0 && probe.x1 >= originX_ && probe.y1 >= originY_ && probe.x0 <= originX_ + int64_t{gridW_} * cell_ &&
      probe.y0 <= originY_ + int64_t{gridH_} * cell_) {
    int cx0, cy0, cx1, cy1;
    cellRange(probe, cx0, cy0, cx1, cy1);
    for (int cy = cy0; cy <= cy1; ++cy)
      for (int cx = cx0; cx <= cx1; ++cx) {
        const size_t c = static_cast<size_t>(cy) * gridW_ + cx;
        for (uint32_t k = cellStart_[c]; k < cellStart_[c + 1]; ++k) take(cellItems_[k]);
      }
  }
  for (int i : large_) take(i);
  for (int i : added_) take(i);
  std::sort(out.begin(), out.end());
}

bool ItemIndex::componentsOverlap(int ordinal, const Box& probe) const {
  for (int32_t c = entries_[ordinal].component; c >= 0; c = components_[c].parent)
    if (!components_[c].box.overlaps(probe)) return false;
  return true;
}

int ItemIndex::add(const Context& ctx, Handle h) {
  IndexEntry e;
  e.item = h;
  e.box = reachBox(ctx, h);
  const int i = static_cast<int>(entries_.size());
  entries_.push_back(e);
  stamp_.push_back(0);
  ordinals_[h] = i;
  added_.push_back(i);
  return i;
}

void ItemIndex::remove(Handle h) {
  const int i = ordinalOf(h);
  if (i >= 0) entries_[i].dead = true;
}

}  // namespace trelmo
