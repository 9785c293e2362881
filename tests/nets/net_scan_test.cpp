// Net scans on small boards: each fault kind, the clean net, undo of the
// names and of the rat-lines.
#include "nets/net_scan.h"

#include <gtest/gtest.h>

#include "nets/net_fixture.h"
#include "nets/ratsnest.h"

namespace trelmo::testing {
namespace {

const char* kPadA1 = "3 0 1 1.0 1.0 .06 .06 .03 0 1 A\n";
const char* kPadA2 = "3 0 1 2.0 1.0 .06 .06 .03 0 2 A\n";
const char* kTrackA = "1 3 .01 1.0 1.0 2.0 1.0\n";

int ratLines(Context& ctx) {
  int n = 0;
  for (Handle h = ctx.rec(ctx.current).next; h != ctx.current; h = ctx.rec(h).next)
    n += ctx.rec(h).layer == kRatnestLayer;
  return n;
}

TEST(NetScan, CleanNetIsNamedAndStaysHilighted) {
  NetBoard b;
  ASSERT_TRUE(b.load(std::string(kPadA1) + kPadA2 + kTrackA));
  b.cursor(1.5, 1.0);
  EXPECT_EQ(netScanAtCursor(b.ctx), 0);
  EXPECT_EQ(b.current(), "A");
  EXPECT_EQ(b.hilightedCount(), 3);
  EXPECT_EQ(itemSignal(b.ctx, b.nth(kLine)), "A");  // the unnamed track took the net's name
}

TEST(NetScan, ReportsEachFaultKind) {
  struct Case {
    const char* name;
    std::string items;
    std::string status;
  };
  const Case cases[] = {
      {"cross-link", std::string(kPadA1) + "3 0 1 2.0 1.0 .06 .06 .03 0 1 B\n" + kTrackA,
       "Signal <A> is crosslinked to signal <B>."},
      {"unknown pin",
       std::string(kPadA1) + "6 1 0 1.9 .9 2.1 1.1 DIP\x7fU1\x7f\x7f\n3 0 1 2.0 1.0 .06 .06 .03 0 1\n0 6 0 2.0 1.0\n" +
           kTrackA,
       "Signal <A> is linked to unknown pins."},
      {"unrouted", std::string(kPadA1) + kPadA2, "Signal <A> is not completely routed."},
      {"clearance", std::string(kPadA1) + kPadA2 + kTrackA + "1 3 .01 1.3 1.015 1.7 1.015 B\n",
       "<Spacing/Clearance violation>"},
      {"drill interference", std::string(kPadA1) + "3 0 1 1.03 1.0 .06 .06 .04 0 3 A\n", "<Illegal pad overlap>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NetBoard b;
    ASSERT_TRUE(b.load(c.items));
    b.cursor(1.0, 1.0);
    b.run('S');
    EXPECT_NE(b.lastStatus().find(c.status), std::string::npos) << b.lastStatus();
  }
}

TEST(NetScan, UnroutedNetGetsARatLineThatScanningAgainReplaces) {
  NetBoard b;
  ASSERT_TRUE(b.load(std::string(kPadA1) + kPadA2 + "3 0 1 3.0 1.0 .06 .06 .03 0 3 A\n"));
  b.cursor(1.0, 1.0);
  EXPECT_EQ(netScanAtCursor(b.ctx), 1);
  EXPECT_EQ(ratLines(b.ctx), 2);
  EXPECT_EQ(netScanAtCursor(b.ctx), 1);
  EXPECT_EQ(ratLines(b.ctx), 2);
  // Undo takes back the second scan: the first scan's lines come back.
  ASSERT_TRUE(undoEvent(b.ctx, true));
  EXPECT_EQ(ratLines(b.ctx), 2);
  ASSERT_TRUE(undoEvent(b.ctx, true));
  EXPECT_EQ(ratLines(b.ctx), 0);
}

TEST(NetScan, CoincidentPadsAreMergedSilently) {
  NetBoard b;
  ASSERT_TRUE(b.load(std::string(kPadA1) + kPadA1 + kPadA2 + kTrackA));
  b.cursor(2.0, 1.0);
  EXPECT_EQ(netScanAtCursor(b.ctx), 0);
  EXPECT_EQ(b.nth(kPad, 2), kNull);
  ASSERT_NE(b.nth(kPad, 1), kNull);
}

TEST(NetScan, StepsThroughTheSignalsAlphabetically) {
  NetBoard b;
  ASSERT_TRUE(b.load(std::string("3 0 1 1.0 2.0 .06 .06 .03 0 1 C\n3 0 1 2.0 2.0 .06 .06 .03 0 2 C\n") + kPadA1 +
                     kPadA2 + kTrackA + "3 0 1 1.0 3.0 .06 .06 .03 0 1 B\n"));
  b.run('+');  // A is clean, B has one pad, C is not routed
  EXPECT_EQ(b.current(), "C");
  EXPECT_NE(b.lastStatus().find("<C> is not completely routed"), std::string::npos);
  b.run('+');  // nothing after C: the hilight goes
  EXPECT_EQ(b.ctx.nets.currentSignal, kNull);
  EXPECT_EQ(b.hilightedCount(), 0);
  b.run('-');  // backwards from the end: C again
  EXPECT_EQ(b.current(), "C");
}

TEST(NetScan, HilightNameAndClear) {
  NetBoard b;
  ASSERT_TRUE(b.load(std::string(kPadA1) + kPadA2 + kTrackA + "4 3 .05 1.5 1.5 .3 0 0 0 LABEL\n"));
  b.cursor(2.0, 1.0);
  b.run('H');
  EXPECT_EQ(b.hilightedCount(), 2);  // the pads carry A, the track none yet
  const std::string before = signalName(b.ctx, b.ctx.rec(b.nth(kPad)).ext);
  // Name Net renames what is hilighted; the board text keeps its own text.
  b.host.dialog = [](DialogBox& box) {
    box.field("name")->value = "POWER";
    return true;
  };
  b.run('N');
  EXPECT_EQ(itemSignal(b.ctx, b.nth(kPad)), "POWER");
  EXPECT_EQ(itemSignal(b.ctx, b.nth(kPad, 1)), "POWER");
  ASSERT_TRUE(undoEvent(b.ctx, true));
  EXPECT_EQ(itemSignal(b.ctx, b.nth(kPad)), before);
  b.run('C');
  EXPECT_EQ(b.hilightedCount(), 0);
  // Without a hilight Name Net is refused.
  b.run('N');
  EXPECT_EQ(b.host.count(Sound::Beep), 1);
}

TEST(NetScan, NameNetLeavesBoardTextsAlone) {
  NetBoard b;
  ASSERT_TRUE(b.load("4 3 .05 1.5 1.5 .3 0 0 0 LABEL\n"));
  b.ctx.rec(b.nth(kText)).flags |= kHilight;
  b.host.dialog = [](DialogBox& box) {
    box.field("name")->value = "POWER";
    return true;
  };
  EXPECT_FALSE(nameNet(b.ctx));
  EXPECT_EQ(readText(b.ctx, b.nth(kText)), "LABEL");
  EXPECT_EQ(b.host.count(Sound::Beop), 1);
}

}  // namespace
}  // namespace trelmo::testing
