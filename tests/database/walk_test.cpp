#include "database/walk.h"

#include <gtest/gtest.h>

#include <vector>

#include "context.h"
#include "database/rings.h"

namespace trelmo {
namespace {

constexpr uint8_t kHiddenFlag = kHidden, kHilightFlag = kHilight;
using Handles = std::vector<Handle>;

// L1, C1{ P1, T1 hidden, C2{ A1 }, C4{} }, L2 hilighted, H1 hidden,
// container{ line }, C3 hidden{ L3 hidden }, T2
class Walks : public ::testing::Test {
 protected:
  void SetUp() override {
    file = newRing(ctx.pool, kFileRing);
    L1 = item(file, kLine);
    const Handle c1 = component(file, kComponent);
    P1 = item(c1, kPad);
    T1 = item(c1, kText | kHiddenFlag);
    A1 = item(component(c1, kComponent), kArc);
    component(c1, kComponent);
    L2 = item(file, kLine | kHilightFlag);
    H1 = item(file, kLine | kHiddenFlag);
    item(component(file, kContainer), kLine);
    L3 = item(component(file, kComponent | kHiddenFlag), kLine | kHiddenFlag);
    T2 = item(file, kText);
  }
  // Appends to a ring given by its sentinel or by its header.
  Handle item(Handle where, uint8_t flags) {
    const Handle ring = ctx.pool[where].type() == kSentinel ? where : ctx.pool[where].ext;
    return createItem(ctx.pool, ring, flags, 1, 10, 0, 0, 0, 0, kNull);
  }
  Handle component(Handle where, uint8_t flags) {
    const Handle header = item(where, flags);
    const Handle s = newRing(ctx.pool, kComponentRing);
    ctx.pool[header].ext = s;
    ctx.pool[s].w4 = static_cast<int32_t>(header);
    return header;
  }
  template <typename Step>
  Handles collect(Step step) {
    Handles out;
    Handle cursor = file;
    while (step(cursor) && out.size() < 100) out.push_back(cursor);
    EXPECT_EQ(cursor, file);
    return out;
  }
  Context ctx;
  Handle file, L1, P1, T1, A1, L2, H1, L3, T2;
};

TEST_F(Walks, AnyItemDescendsIntoComponentsAndSkipsHiddenAndContainers) {
  std::vector<int> results;
  EXPECT_EQ(collect([&](Handle& c) { return results.emplace_back(anyItem(ctx.pool, c)) != 0; }),
            (Handles{L1, P1, A1, L2, T2}));
  EXPECT_EQ(results, (std::vector<int>{1, 1, 1, -1, 1, 0}));
  EXPECT_EQ(collect([&](Handle& c) { return anyItemBackward(ctx.pool, c) != 0; }), (Handles{T2, L2, A1, P1, L1}));
}

TEST_F(Walks, HilightAndHiddenVariants) {
  EXPECT_EQ(collect([&](Handle& c) { return notHilighted(ctx.pool, c); }), (Handles{L1, P1, A1, T2}));
  EXPECT_EQ(collect([&](Handle& c) { return notHilighted(ctx.pool, c, false); }), (Handles{T2, A1, P1, L1}));
  EXPECT_EQ(collect([&](Handle& c) { return hilighted(ctx.pool, c, false); }), (Handles{L2}));
  EXPECT_EQ(collect([&](Handle& c) { return hiddenItem(ctx.pool, c); }), (Handles{T1, H1, L3}));
}

class Coincidence : public ::testing::Test {
 protected:
  Handle add(uint8_t type, uint8_t layer, uint16_t size, int32_t x1, int32_t y1, int32_t x2 = 0, int32_t y2 = 0) {
    return createItem(ctx.pool, ring, type, layer, size, x1, y1, x2, y2, kNull);
  }
  Handle find(uint8_t type, uint8_t layer, int32_t x, int32_t y, Handle from = kNull, uint16_t mask = 0xFF07) {
    end = 0;
    return coincidentPoint(ctx.pool, from ? from : ring, static_cast<uint16_t>(type | layer << 8), mask, x, y, &end);
  }
  Context ctx;
  Handle ring = ctx.rings[kWorkRing2];
  int end = 0;
};

TEST_F(Coincidence, LineEndsWithinTheTolerance) {
  const Handle first = add(kLine, 2, 10, 0, 0, 1000, 1000);
  const Handle second = add(kLine, 2, 10, 1000, 1000, 2000, 0);
  add(kLine, 2, 0, 1000, 1000, 1000, 1000);  // a filled solid has no end points
  add(kLine, 3, 10, 1000, 1000, 0, 0);       // another layer
  EXPECT_EQ(find(kLine, 2, 1003, 997), second);
  EXPECT_EQ(end, 1);
  EXPECT_EQ(find(kLine, 2, 1003, 997, second), first);
  EXPECT_EQ(end, 2);
  EXPECT_EQ(find(kLine, 2, 1003, 997, first), kNull);
  EXPECT_EQ(find(kLine, 2, 1004, 1000), kNull);
  EXPECT_EQ(find(kLine, 2, 1000, 996), kNull);
  ctx.pool[second].flags |= kHidden;  // seen only when the mask ignores the flag
  EXPECT_EQ(find(kLine, 2, 1000, 1000, kNull, 0xFF0F), first);
}

TEST_F(Coincidence, ThroughHolePadsCountAsLayerZero) {
  const Handle thru = add(kPad, 5, item::kOvalThru, 500, 500);
  const Handle smt = add(kPad, 3, item::kRectSmt, 500, 502);
  const Handle arc = add(kArc, 2, 10, 500, 500, 300);
  EXPECT_EQ(find(kPad, 0, 501, 501), thru);
  EXPECT_EQ(find(kPad, 5, 501, 501), kNull);
  EXPECT_EQ(find(kPad, 3, 501, 501), smt);
  EXPECT_EQ(find(kArc, 2, 499, 500), arc);
  EXPECT_EQ(find(kArc, 2, 800, 500), kNull);  // the rim is no point of the arc
}

}  // namespace
}  // namespace trelmo
