#include <gtest/gtest.h>

#include <vector>

#include "context.h"
#include "database/rings.h"
#include "database/walk.h"

namespace trelmo {
namespace {

constexpr uint8_t kHiddenFlag = kHidden, kHilightFlag = kHilight;

// A file ring:
//   L1, C1{ P1, T1 hidden, C2{ A1 }, C4{} }, L2 hilighted, H1 hidden line,
//   X container{ X1 }, C3 hidden{ L3 hidden }, T2
class Walks : public ::testing::Test {
 protected:
  void SetUp() override {
    file = newRing(pool(), kFileRing);
    L1 = item(file, kLine);
    Handle c1 = component(file);
    P1 = item(c1, kPad);
    T1 = item(c1, kText | kHiddenFlag);
    Handle c2 = component(c1);
    A1 = item(c2, kArc);
    component(c1);
    L2 = item(file, kLine | kHilightFlag);
    H1 = item(file, kLine | kHiddenFlag);
    const Handle xs = newRing(pool(), kComponentRing);
    const Handle x = createItem(pool(), file, kContainer, 0, 0, 0, 0, 0, 0, xs);
    pool()[xs].w4 = static_cast<int32_t>(x);
    item(xs, kLine);
    const Handle c3 = component(file);
    pool()[c3].flags |= kHidden;
    L3 = item(c3, kLine | kHiddenFlag);
    T2 = item(file, kText);
  }
  RecordPool& pool() { return ctx.pool; }
  // Appends to a ring given by its sentinel or by its component header.
  Handle item(Handle where, uint8_t flags) {
    const Handle ring = pool()[where].type() == kComponent ? pool()[where].ext : where;
    return createItem(pool(), ring, flags, 1, 10, 0, 0, 0, 0, kNull);
  }
  Handle component(Handle where) {
    const Handle header = item(where, kComponent);
    const Handle s = newRing(pool(), kComponentRing);
    pool()[header].ext = s;
    pool()[s].w4 = static_cast<int32_t>(header);
    return header;
  }
  template <typename F>
  std::vector<Handle> collect(F step) {
    std::vector<Handle> out;
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
  const auto forward = collect([&](Handle& c) {
    const int r = anyItem(pool(), c);
    if (r) results.push_back(r);
    return r != 0;
  });
  EXPECT_EQ(forward, (std::vector<Handle>{L1, P1, A1, L2, T2}));
  EXPECT_EQ(results, (std::vector<int>{1, 1, 1, -1, 1}));
  const auto backward = collect([&](Handle& c) { return anyItemBackward(pool(), c) != 0; });
  EXPECT_EQ(backward, (std::vector<Handle>{T2, L2, A1, P1, L1}));
}

TEST_F(Walks, HilightVariants) {
  EXPECT_EQ(collect([&](Handle& c) { return notHilighted(pool(), c); }), (std::vector<Handle>{L1, P1, A1, T2}));
  EXPECT_EQ(collect([&](Handle& c) { return notHilighted(pool(), c, false); }),
            (std::vector<Handle>{T2, A1, P1, L1}));
  EXPECT_EQ(collect([&](Handle& c) { return hilighted(pool(), c); }), (std::vector<Handle>{L2}));
  EXPECT_EQ(collect([&](Handle& c) { return hilighted(pool(), c, false); }), (std::vector<Handle>{L2}));
}

TEST_F(Walks, HiddenVariantFindsGrabbedItemsInsideHiddenComponents) {
  EXPECT_EQ(collect([&](Handle& c) { return hiddenItem(pool(), c); }), (std::vector<Handle>{T1, H1, L3}));
}

TEST_F(Walks, EmptyFileEndsAtOnce) {
  const Handle empty = newRing(pool(), kFileRing);
  Handle cursor = empty;
  EXPECT_EQ(anyItem(pool(), cursor), 0);
  EXPECT_EQ(cursor, empty);
  EXPECT_FALSE(hiddenItem(pool(), cursor));
}

class Coincidence : public ::testing::Test {
 protected:
  Handle add(uint8_t flags, uint8_t layer, uint16_t size, int32_t x1, int32_t y1, int32_t x2 = 0, int32_t y2 = 0) {
    return createItem(ctx.pool, ring, flags, layer, size, x1, y1, x2, y2, kNull);
  }
  Context ctx;
  Handle ring = ctx.rings[kWorkRing2];
};

constexpr uint16_t kTypeAndLayer = 0xFF07;
constexpr uint16_t kVisibleTypeAndLayer = 0xFF0F;
uint16_t key(uint8_t type, uint8_t layer) { return static_cast<uint16_t>(type | layer << 8); }

TEST_F(Coincidence, LineEndsWithinTheTolerance) {
  const Handle first = add(kLine, 2, 10, 0, 0, 1000, 1000);
  const Handle second = add(kLine, 2, 10, 1000, 1000, 2000, 0);
  add(kLine, 2, 0, 1000, 1000, 1000, 1000);  // a filled solid has no end points
  add(kLine, 3, 10, 1000, 1000, 0, 0);       // another layer
  int end = 0;
  EXPECT_EQ(coincidentPoint(ctx.pool, ring, key(kLine, 2), kTypeAndLayer, 1003, 997, &end), second);
  EXPECT_EQ(end, 1);
  EXPECT_EQ(coincidentPoint(ctx.pool, second, key(kLine, 2), kTypeAndLayer, 1003, 997, &end), first);
  EXPECT_EQ(end, 2);
  EXPECT_EQ(coincidentPoint(ctx.pool, first, key(kLine, 2), kTypeAndLayer, 1003, 997), kNull);
  EXPECT_EQ(coincidentPoint(ctx.pool, ring, key(kLine, 2), kTypeAndLayer, 1004, 1000), kNull);
  EXPECT_EQ(coincidentPoint(ctx.pool, ring, key(kLine, 2), kTypeAndLayer, 1000, 996), kNull);
  // A hidden line is found only when the mask does not look at the flag.
  ctx.pool[second].flags |= kHidden;
  EXPECT_EQ(coincidentPoint(ctx.pool, ring, key(kLine, 2), kVisibleTypeAndLayer, 1000, 1000), first);
}

TEST_F(Coincidence, ThroughHolePadsCountAsLayerZero) {
  const Handle thru = add(kPad, 5, item::kOvalThru, 500, 500);
  const Handle smt = add(kPad, 3, item::kRectSmt, 500, 502);
  const Handle arc = add(kArc, 2, 10, 500, 500, 300);
  EXPECT_EQ(coincidentPoint(ctx.pool, ring, key(kPad, 0), kTypeAndLayer, 501, 501), thru);
  EXPECT_EQ(coincidentPoint(ctx.pool, ring, key(kPad, 5), kTypeAndLayer, 501, 501), kNull);
  EXPECT_EQ(coincidentPoint(ctx.pool, ring, key(kPad, 3), kTypeAndLayer, 501, 501), smt);
  int end = 0;
  EXPECT_EQ(coincidentPoint(ctx.pool, ring, key(kArc, 2), kTypeAndLayer, 499, 500, &end), arc);
  EXPECT_EQ(end, 1);
  // The arc's rim is not a point of it.
  EXPECT_EQ(coincidentPoint(ctx.pool, ring, key(kArc, 2), kTypeAndLayer, 800, 500), kNull);
  // Any type on layer 2: the latest item wins.
  EXPECT_EQ(coincidentPoint(ctx.pool, ring, key(0, 2), 0xFF00, 500, 500), arc);
}

}  // namespace
}  // namespace trelmo
