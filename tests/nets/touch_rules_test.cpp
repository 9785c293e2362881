// The touch rules at their boundaries, through floods from a point.
#include <gtest/gtest.h>

#include "nets/net_fixture.h"

namespace trelmo::testing {
namespace {

struct Touch : ::testing::Test {
  NetBoard b;
  void SetUp() override { ASSERT_TRUE(b.load("")); }
  // Floods from (x, y) on layer 0 and says whether `item` was reached.
  bool reaches(int32_t x, int32_t y, Handle item) {
    clearHilight(b.ctx);
    Connectivity net(b.ctx);
    EXPECT_EQ(net.flood(0, kPickTolerance, x, y), 1);
    const bool hit = b.ctx.rec(item).hilighted();
    clearHilight(b.ctx);
    return hit;
  }
};

TEST_F(Touch, LineEndJoinsAtTheSumOfHalfWidthsAndNotOneUnitFurther) {
  Context& c = b.ctx;
  addLine(c, 3, 1000, 0, 0, 100000, 0);
  const Handle atLimit = addLine(c, 3, 1000, 50000, 1000, 50000, 60000);   // end 1000 from A's centre line
  const Handle beyond = addLine(c, 3, 1000, 80000, -1001, 80000, -60000);  // one unit further
  const Handle endOn = addLine(c, 3, 2000, 101500, 0, 200000, 0);          // 500 + 1000 along the axis
  EXPECT_TRUE(reaches(0, 0, atLimit));
  EXPECT_FALSE(reaches(0, 0, beyond));
  EXPECT_TRUE(reaches(0, 0, endOn));
}

TEST_F(Touch, CrossingCentreLinesJoinOnCopperOnly) {
  Context& c = b.ctx;
  addLine(c, 3, 500, -50000, 0, 50000, 0);
  const Handle copper = addLine(c, 3, 500, 0, -50000, 0, 50000);
  addLine(c, 6, 500, -50000, 200000, 50000, 200000);
  const Handle wire = addLine(c, 6, 500, 0, 150000, 0, 250000);
  EXPECT_TRUE(reaches(-50000, 0, copper));
  EXPECT_FALSE(reaches(-50000, 200000, wire));
  // Lines on different copper layers never cross.
  const Handle bottom = addLine(c, 12, 500, 20000, -50000, 20000, 50000);
  EXPECT_FALSE(reaches(-50000, 0, bottom));
}

TEST_F(Touch, ThroughHolePadsReachEveryLayerSurfaceMountOnlyTheirOwn) {
  Context& c = b.ctx;
  addLine(c, 3, 1000, 0, 0, 100000, 0);
  const Handle th = addPad(c, 0, item::kOvalThru, 100000, 0, 4000, 2000);
  const Handle smtBottom = addPad(c, 12, item::kOvalSmt, 0, 0, 4000, 0);
  const Handle smtTop = addPad(c, 3, item::kOvalSmt, 0, 0, 4000, 0);
  EXPECT_TRUE(reaches(50000, 0, th));
  EXPECT_TRUE(reaches(50000, 0, smtTop));
  EXPECT_FALSE(reaches(50000, 0, smtBottom));
}

TEST_F(Touch, PadsOnAPlaneJoinBySignalAlone) {
  Context& c = b.ctx;
  const Handle a = addPad(c, 4, item::kOvalThru, 0, 0, 4000, 2000, "GND");
  const Handle far = addPad(c, 4, item::kOvalThru, 3000000, 0, 4000, 2000, "GND");
  const Handle other = addPad(c, 4, item::kOvalThru, 0, 3000000, 4000, 2000, "VCC");
  const Handle offPlane = addPad(c, 0, item::kOvalThru, 3000000, 3000000, 4000, 2000, "GND");
  const Handle nameless1 = addPad(c, 4, item::kOvalThru, 6000000, 0, 4000, 2000);
  const Handle nameless2 = addPad(c, 4, item::kOvalThru, 6000000, 3000000, 4000, 2000);
  EXPECT_TRUE(reaches(0, 0, far));
  EXPECT_FALSE(reaches(0, 0, other));
  EXPECT_FALSE(reaches(0, 0, offPlane));
  EXPECT_FALSE(reaches(6000000, 0, nameless2));
  (void)a, (void)nameless1;
}

TEST_F(Touch, PadAndLineAndTextRules) {
  Context& c = b.ctx;
  // The pad centre within half the pad's smaller size of the line.
  addPad(c, 0, item::kOvalThru, 0, 0, 4000, 2000);
  const Handle near = addLine(c, 3, 1000, -50000, 2500, 50000, 2500);    // 2000 + 500
  const Handle far = addLine(c, 12, 1000, -50000, -2501, 50000, -2501);  // one unit more
  EXPECT_TRUE(reaches(0, 0, near));
  EXPECT_FALSE(reaches(0, 0, far));
  // A text is reached from a line within twice its half width + 2 of its
  // centre line, on the line's layer.
  const Handle label = createTextItem(c, c.current, 3, 4000, 0, 2500 + 1002, "NET1");
  const Handle silk = createTextItem(c, c.current, 1, 4000, 0, 2500 + 500, "SILK");
  const Handle tooFar = createTextItem(c, c.current, 3, 4000, 0, 2500 + 1003, "X");
  EXPECT_TRUE(reaches(0, 0, label));
  EXPECT_FALSE(reaches(0, 0, silk));
  EXPECT_FALSE(reaches(0, 0, tooFar));
}

TEST_F(Touch, ASchematicTextNamesTheNetFirstReached) {
  Context& c = b.ctx;
  addLine(c, 6, 1000, 0, 0, 100000, 0);
  const Handle label = createTextItem(c, c.current, 6, 4000, 100000, 0, "x");
  attachSignal(c, label, "CLOCK");
  const Handle pin = addPad(c, 6, item::kSchematicPin, 0, 0, 2000, 0, "DATA");
  Connectivity net(c);
  ASSERT_EQ(net.flood(6, kPickTolerance, 50000, 0), 1);
  // The line is seeded; the text and the pin are reached from it in list
  // order: the label names the net and the pin's other name is a cross-link.
  EXPECT_EQ(b.current(), "CLOCK");
  EXPECT_EQ(net.crossLink(), pin);
}

TEST_F(Touch, NothingUnderThePointFloodsNothing) {
  addLine(b.ctx, 3, 1000, 0, 0, 100000, 0);
  Connectivity net(b.ctx);
  EXPECT_EQ(net.flood(3, kPickTolerance, 0, 503), 0);  // 500 + 2 is the reach
  EXPECT_EQ(net.flood(3, kPickTolerance, 0, 502), 1);
}

}  // namespace
}  // namespace trelmo::testing
