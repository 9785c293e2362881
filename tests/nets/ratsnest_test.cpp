// The rat-nest of the example board, one signal's rat-lines, and undo.
#include "nets/ratsnest.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "nets/net_fixture.h"

namespace trelmo::testing {
namespace {

using Line = std::tuple<std::string, int32_t, int32_t, int32_t, int32_t>;

std::multiset<Line> ratLines(Context& ctx) {
  std::multiset<Line> out;
  for (Handle h = ctx.rec(ctx.current).next; h != ctx.current; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.layer == kRatnestLayer && r.type() == kLine) {
      EXPECT_EQ(r.size, inches(.005));
      out.insert({itemSignal(ctx, h), r.x1, r.y1, r.w3, r.w4});
    }
  }
  return out;
}

Line line(const char* s, double x1, double y1, double x2, double y2) {
  return {s, inches(x1), inches(y1), inches(x2), inches(y2)};
}

TEST(Ratsnest, ExampleBoardJoinsThePadsNoTrackReaches) {
  NetBoard b;
  ASSERT_TRUE(b.example("demo.pcb"));
  b.run('R');
  // Pads a track ends in start connected; each other pad is joined to the
  // nearest connected pad (a tie goes to the pad first in the list).
  const std::multiset<Line> expected{line("DIS", 2.4, 1.6, 2.0, 1.3), line("DIS", 2.0, 1.3, 1.1, 1.3),
                                     line("VCC", 2.0, 1.6, 1.3, 1.0), line("VCC", 1.3, 1.0, 1.0, 1.3)};
  EXPECT_EQ(ratLines(b.ctx), expected);
  EXPECT_EQ(b.hilightedCount(), 0);
  EXPECT_STREQ(b.ctx.params.layers[kRatnestLayer].name, "Ratnest");
  // Again: the old rat-lines make way.
  b.run('R');
  EXPECT_EQ(ratLines(b.ctx), expected);
  b.run('U');
  EXPECT_TRUE(ratLines(b.ctx).empty());
  ASSERT_TRUE(undoEvent(b.ctx, true));  // the un-ratnest
  EXPECT_EQ(ratLines(b.ctx), expected);
  ASSERT_TRUE(undoEvent(b.ctx, true));  // the second rat-nest
  ASSERT_TRUE(undoEvent(b.ctx, true));  // the first
  EXPECT_TRUE(ratLines(b.ctx).empty());
}

TEST(Ratsnest, RatLineForTheSignalUnderTheCursor) {
  NetBoard b;
  ASSERT_TRUE(b.example("demo.pcb"));
  b.cursor(1.0, 1.3);  // U1 pin 8, VCC
  b.run('L');
  const std::multiset<Line> vcc{line("VCC", 2.0, 1.6, 1.3, 1.0), line("VCC", 1.3, 1.0, 1.0, 1.3)};
  EXPECT_EQ(ratLines(b.ctx), vcc);
  b.cursor(0.5, 0.5);  // no pad
  b.run('L');
  EXPECT_EQ(b.host.count(Sound::Beop), 1);
  EXPECT_EQ(ratLines(b.ctx), vcc);
}

TEST(Ratsnest, UnratnestWithoutRatLinesChangesNothing) {
  NetBoard b;
  ASSERT_TRUE(b.example("demo.pcb"));
  b.run('U');
  EXPECT_FALSE(undoAvailable(b.ctx));
}

}  // namespace
}  // namespace trelmo::testing
