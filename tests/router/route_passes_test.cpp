// Each pass on a board made for it, and the maze pass on generated boards.
#include <gtest/gtest.h>

#include "../../bench/route_board.h"
#include "router_fixture.h"

namespace trelmo::testing {
namespace {

TEST(RouterPasses, StraightRoutesTakeTheFirstLayerThatFits) {
  RouterBoard b;
  ASSERT_TRUE(b.load(pad(1, 1, "S") + pad(2, 1, "S")));
  RouterTotals t = b.route(kClearPreroutes | kStraightRoutes);
  EXPECT_EQ(t.routed, 1);
  EXPECT_EQ(b.count(kLine, 3), 1);  // converted in place on Top Copper
  EXPECT_EQ(b.count(kLine, kRatnestLayer), 0);
  EXPECT_EQ(b.scanErrors(), 0);

  // "[NONE]" on Top Copper: the bottom layer, routing both ways, gets it.
  RouterBoard none;
  ASSERT_TRUE(none.load(pad(1, 1, "S") + pad(2, 1, "S"), 2, 58));
  t = none.route(kClearPreroutes | kStraightRoutes);
  EXPECT_EQ(t.routed, 1);
  EXPECT_EQ(none.count(kLine, 3), 0);
  EXPECT_EQ(none.count(kLine, 12), 1);

  // A rat-line two units off vertical is a vertical track.
  RouterBoard off;
  ASSERT_TRUE(off.load(pad(1, 1, "S") + pad(1.00003, 2, "S") + "1 255 .011 1.0 1.0 1.00003 2.0 S\n"));
  t = off.route(kStraightRoutes);
  EXPECT_EQ(t.ratLines, 1);
  EXPECT_EQ(t.routed, 1);
  EXPECT_EQ(off.count(kLine, 12), 1);
}

TEST(RouterPasses, InlineRoutesStepAroundAPadInTheWay) {
  RouterBoard b;
  ASSERT_TRUE(b.load(pad(1, 1, "S") + pad(2, 1, "S") + pad(1.5, 1, "T"), 18, 2));
  const RouterTotals t = b.route(kClearPreroutes | kStraightRoutes | kInlineRoutes);
  EXPECT_EQ(t.processed, 2);  // seen by both passes
  EXPECT_EQ(t.routed, 1);
  EXPECT_EQ(b.count(kLine, 3), 3);
  EXPECT_EQ(b.scanErrors(), 0);
}

TEST(RouterPasses, DataBusRoutesJoinPinRows) {
  // Two four-pin columns, pin n of one to pin n of the other.
  std::string items;
  for (int c = 0; c < 2; ++c) {
    items += "6 1 0 " + std::to_string(0.9 + c) + " 0.9 " + std::to_string(1.1 + c) + " 1.4 SIP4\x7fU" +
             std::to_string(c + 1) + "\x7f\x7f\x7f\n";
    for (int p = 0; p < 4; ++p) items += pad(1 + c, 1 + 0.1 * p, "B" + std::to_string(p));
    items += "0 6 0 " + std::to_string(1 + c) + ".0 1.0\n";
  }
  RouterBoard b;
  ASSERT_TRUE(b.load(items));
  const RouterTotals t = b.route(kClearPreroutes | kDataBusRoutes);
  EXPECT_EQ(t.processed, 4);
  EXPECT_EQ(t.routed, 4);
  EXPECT_EQ(b.count(kLine, 3), 4);
  EXPECT_EQ(b.scanErrors(), 0);
}

TEST(RouterPasses, LRoutesTurnOnAVia) {
  RouterBoard b;
  ASSERT_TRUE(b.load(pad(1, 1, "S") + pad(2, 2, "S")));
  const RouterTotals t = b.route(kClearPreroutes | kStraightRoutes | kLRoutes);
  EXPECT_EQ(t.routed, 1);
  EXPECT_EQ(b.count(kLine, 3), 1);
  EXPECT_EQ(b.count(kLine, 12), 1);
  EXPECT_EQ(b.count(kPad), 3);  // the via
  EXPECT_EQ(b.scanErrors(), 0);
}

TEST(RouterPasses, MazeRoutesAroundAWall) {
  // A row of foreign pads across the way on both layers.
  std::string items = pad(1, 1, "S") + pad(2, 1, "S");
  for (int i = 0; i <= 8; ++i) items += pad(1.5, 0.6 + 0.1 * i, "W" + std::to_string(i));
  RouterBoard b;
  ASSERT_TRUE(b.load(items));
  RouterTotals t = b.route(kClearPreroutes | kStraightRoutes);
  EXPECT_EQ(t.routed, 0);
  t = b.route(kZRoutes);
  EXPECT_EQ(t.routed, 1);
  EXPECT_EQ(b.count(kLine, kRatnestLayer), 0);
  EXPECT_EQ(b.scanErrors(), 0);
}

// Generated boards: every net whole, no clearance violation, no cross-link;
// the maze pass completes the 50-component board, the same way every time.
TEST(RouterPasses, GeneratedBoardsRouteCleanly) {
  for (int components : {20, 50}) {
    std::string first;
    for (int run = 0; run < 2; ++run) {
      RouterBoard b;
      ASSERT_TRUE(b.loadText(bench::routeBoard(components)));
      const RouterTotals t = b.route(kAllPasses);
      ASSERT_GT(t.ratLines, components);
      EXPECT_GE(t.routed * 100, t.ratLines * 95) << components;
      EXPECT_EQ(b.copperFaults(), 0) << components;  // unrouted rat-lines are only discontinuities
      const std::string text = b.saved();
      if (run == 0) first = text;
      EXPECT_EQ(text, first) << components;
    }
  }
}

// A dense board leaves rat-lines the maze's first round cannot route; the
// rip-up round routes more of them, and the board stays clean either way
// (a route once went down and up again through two vias whose drills met).
TEST(RouterPasses, RipUpRaisesTheCompletionOfADenseBoard) {
  int routed[2] = {};
  for (int ripUp = 0; ripUp < 2; ++ripUp) {
    RouterBoard b;
    ASSERT_TRUE(b.loadText(bench::routeBoard(50, 1, bench::denseRouteBoard())));
    const RouterTotals t = b.route(ripUp ? kAllPasses : kAllPasses & ~kSnakeRoutes);
    routed[ripUp] = t.routed;
    EXPECT_LT(t.routed, t.ratLines);
    EXPECT_EQ(b.copperFaults(), 0) << ripUp;
  }
  EXPECT_GT(routed[1], routed[0]);
}

}  // namespace
}  // namespace trelmo::testing
