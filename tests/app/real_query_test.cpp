// The Query windows in the real editor: a typed function code opens the pad
// box beside the drawing, the heartbeat refreshes it as the cursor moves to
// another pad, and the code typed again closes it.
#include <gtest/gtest.h>

#include <string>

#include "real_editor.h"

namespace trelmo::app::testing {
namespace {

bool shows(const State& s, const std::string& part) {
  auto it = s.find("windows");
  return it != s.end() && it->second.find(part) != std::string::npos;
}

TEST(RealQuery, PadBoxFollowsTheCursorItemAndClosesAgain) {
  const std::string why = realEditorUnavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  XServer x;
  ASSERT_TRUE(x.running()) << "Xvfb did not start";
  QTemporaryDir home;
  RealEditor e(x, home);
  ASSERT_TRUE(e.start({copyOfDemoBoard(home)}));
  e.keys({"Return"});
  ASSERT_TRUE(e.waitValue("mode", "TRELMO"));
  e.keys({"1", "period", "5", "comma", "period", "8", "Return"});
  ASSERT_TRUE(e.waitFor([](const State& s) { return s.at("cursor").rfind("98304,", 0) == 0; })) << e.state()["cursor"];
  e.keys({"q", "p"});
  ASSERT_TRUE(e.waitFor([](const State& s) { return shows(s, "QueryPadBox: ") && shows(s, "signal=TRIG"); }))
      << e.state()["windows"];
  // The mounting hole at (3.3, 2.6) has no signal.
  e.keys({"3", "period", "3", "comma", "2", "period", "6", "Return"});
  ASSERT_TRUE(e.waitFor([](const State& s) { return shows(s, "signal=[NONE]"); })) << e.state()["windows"];
  EXPECT_EQ(e.state()["active"], "1") << "the editor keeps the keyboard";
  e.keys({"q", "p"});
  EXPECT_TRUE(e.waitFor([](const State& s) { return !shows(s, "QueryPadBox"); })) << e.state()["windows"];
}

}  // namespace
}  // namespace trelmo::app::testing
