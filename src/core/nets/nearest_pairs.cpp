#include "nets/nearest_pairs.h"

#include <algorithm>
#include <cstdlib>

namespace trelmo {

void NearestPairs::addSource(int order, int64_t x, int64_t y) {
  for (Target& t : targets_) {
    if (t.order == order) t.alive = false;
    if (!t.alive) continue;
    const int64_t d = std::llabs(t.x - x) + std::llabs(t.y - y);
    if (d != 0 && (d < t.bestD || (d == t.bestD && order < t.bestS))) t.bestD = d, t.bestS = order;
  }
}

void NearestPairs::dropTarget(int order) {
  auto it =
      std::lower_bound(targets_.begin(), targets_.end(), order, [](const Target& t, int o) { return t.order < o; });
  if (it != targets_.end() && it->order == order) it->alive = false;
}

bool NearestPairs::isTarget(int order) const {
  auto it =
      std::lower_bound(targets_.begin(), targets_.end(), order, [](const Target& t, int o) { return t.order < o; });
  return it != targets_.end() && it->order == order && it->alive;
}

bool NearestPairs::best(int& source, int& target) const {
  const Target* b = nullptr;
  for (const Target& t : targets_) {
    if (!t.alive || t.bestS < 0) continue;
    if (!b || t.bestD < b->bestD || (t.bestD == b->bestD && t.bestS < b->bestS)) b = &t;
  }
  if (!b) return false;
  source = b->bestS;
  target = b->order;
  return true;
}

}  // namespace trelmo
