#include <gtest/gtest.h>

#include <climits>

#include "screen/view.h"

namespace trelmo {
namespace {

struct Motion {
  int32_t dx, dy;
  bool axesOnly;
  int32_t wantX, wantY;
};

TEST(Ortho, MotionsSnapToAxesOrDiagonals) {
  const Motion cases[] = {
      {100, 49, false, 100, 0},                                  // under half: horizontal
      {100, 50, false, 50, 50},                                  // from half: diagonal of the smaller length
      {-100, 199, false, -100, 100}, {100, 200, false, 0, 200},  // twice or more: vertical
      {-30, -90, false, 0, -90},     {100, 99, true, 100, 0},    // filled solids: the larger axis only
      {99, -100, true, 0, -100},     {0, 0, false, 0, 0},
  };
  for (const Motion& m : cases) {
    int32_t x = 1000 + m.dx, y = -500 + m.dy;
    orthoConstrain(1000, -500, x, y, m.axesOnly);
    EXPECT_EQ(x, 1000 + m.wantX) << m.dx << "," << m.dy;
    EXPECT_EQ(y, -500 + m.wantY) << m.dx << "," << m.dy;
  }
  // Motions wider than 32 bits do not overflow: the diagonal of the smaller length.
  int32_t x = INT32_MAX, y = INT32_MAX;
  orthoConstrain(INT32_MIN, INT32_MIN + 1, x, y, false);
  EXPECT_EQ(x, INT32_MAX - 1);
  EXPECT_EQ(y, INT32_MAX);
}

TEST(Clock, TwelveHourWithBlinkingColon) {
  EXPECT_EQ(clockReadout(15, 7, true), " 3:07pm");
  EXPECT_EQ(clockReadout(15, 7, false), " 3 07pm");
  EXPECT_EQ(clockReadout(0, 0, true), "12:00am");
  EXPECT_EQ(clockReadout(12, 30, true), "12:30pm");
  EXPECT_EQ(clockReadout(11, 59, true), "11:59am");
  EXPECT_EQ(clockReadout(25, 61, true), " 1:01am");  // out-of-range input wraps
}

}  // namespace
}  // namespace trelmo
