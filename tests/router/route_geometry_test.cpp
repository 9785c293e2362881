// The router's view of the board: the collision test at the clearance
// boundary and the free run in each direction.
#include "router/route_geometry.h"

#include <gtest/gtest.h>

#include "router_fixture.h"

namespace trelmo::testing {
namespace {

constexpr int32_t kPadRadius = 2130;  // .065 round pad
constexpr int32_t kHalfTrack = 394;   // .012 track
constexpr int32_t kClear = 524;       // .008

struct Geometry : ::testing::Test {
  RouterBoard b;
  Obstacles g;
  RouteRules rules{787, 2621, 1311, kClear, kClear, kClear};
  void SetUp() override {
    ASSERT_TRUE(b.load(pad(1, 1, "A")));
    g.build(b.ctx, rules);
  }
  Probe track(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const char* signal = nullptr) {
    Probe p;
    p.layer = 3;
    p.x1 = x1, p.y1 = y1, p.x2 = x2, p.y2 = y2;
    p.half = kHalfTrack;
    p.signal = signal ? findSignal(b.ctx, signal) : kNull;  // no signal: everything is foreign
    return p;
  }
};

TEST_F(Geometry, CollisionAtTheClearanceBoundary) {
  const int32_t c = kInch, edge = kPadRadius + kHalfTrack + kClear;
  // A track passing above the pad: clear one unit beyond the clearance
  // (the unit kept against rounding), touching it one unit inside.
  EXPECT_FALSE(g.hits(track(c - kInch / 2, c + edge + 1, c + kInch / 2, c + edge + 1)));
  EXPECT_TRUE(g.hits(track(c - kInch / 2, c + edge - 1, c + kInch / 2, c + edge - 1)));
  // Ending short of the pad, along its axis.
  EXPECT_FALSE(g.hits(track(c - kInch / 2, c, c - edge - 1, c)));
  EXPECT_TRUE(g.hits(track(c - kInch / 2, c, c - edge + 1, c)));
  // Another layer does not matter for a through-hole pad; its own net does.
  Probe other = track(c - kInch / 2, c, c + kInch / 2, c);
  other.layer = 12;
  EXPECT_TRUE(g.hits(other));
  EXPECT_FALSE(g.hits(track(c - kInch / 2, c, c + kInch / 2, c, "A")));
  // A rat-line without a signal owns the pads at its ends.
  Probe loose = track(c, c, c + kInch / 2, c);
  loose.signal = kNull, loose.loose = true;
  loose.ax = c, loose.ay = c, loose.bx = c + kInch / 2, loose.by = c;
  EXPECT_FALSE(g.hits(loose));
}

TEST_F(Geometry, FreeRunInEachDirection) {
  const int32_t c = kInch, d = kInch / 2, edge = kPadRadius + kHalfTrack + kClear;
  const int32_t starts[4][2] = {{c - d, c}, {c + d, c}, {c, c - d}, {c, c + d}};
  for (const auto& s : starts) {
    const Obstacles::Run run = g.freeRun(track(s[0], s[1], 2 * c - s[0], 2 * c - s[1]));
    EXPECT_NEAR(static_cast<double>(run.distance), d - edge, 2.0) << s[0] << "," << s[1];
    ASSERT_GE(run.shape, 0);
    EXPECT_EQ(g[run.shape].kind, Shape::kPadShape);
  }
  // Nothing in the way: the whole length is free; inside: no run at all.
  EXPECT_EQ(g.freeRun(track(c - d, c + d, c + d, c + d)).shape, -1);
  EXPECT_EQ(g.freeRun(track(c, c, c + d, c)).distance, 0);
}

}  // namespace
}  // namespace trelmo::testing
