// A long flood asks whether to go on when a key is waiting; Cancel ends it.
#include <gtest/gtest.h>

#include "nets/net_fixture.h"

namespace trelmo::testing {
namespace {

struct KeyHost : ScriptedHost {
  bool discardPendingKeys() override { return true; }
};

TEST(ScanInterrupt, AWaitingKeyAsksAndCancelStopsTheFlood) {
  NetBoard b;
  ASSERT_TRUE(b.load(""));
  for (int i = 0; i < 300; ++i) addLine(b.ctx, 3, 1000, i * 10000, 0, (i + 1) * 10000, 0);
  KeyHost keys;
  b.ctx.host = &keys;
  keys.answers = {Answer::Cancel};
  {
    Connectivity net(b.ctx);
    EXPECT_EQ(net.flood(3, kPickTolerance, 0, 0), -1);
    ASSERT_EQ(keys.questions.size(), 1u);
    EXPECT_EQ(keys.questions[0].title, "Net Scan Interruption");
    EXPECT_EQ(keys.status.back(), "SCAN:128");
  }
  clearHilight(b.ctx);
  keys.answers.clear();  // OK every time: the flood goes on to the end
  Connectivity net(b.ctx);
  EXPECT_EQ(net.flood(3, kPickTolerance, 0, 0), 1);
  EXPECT_EQ(net.reached().size(), 300u);
  EXPECT_EQ(keys.questions.size(), 3u);  // at 128 and 256
}

}  // namespace
}  // namespace trelmo::testing
