// The net scan log: its layout against a checked log, the summary's forms,
// where the log goes and what happens when it cannot.
#include <gtest/gtest.h>

#include <filesystem>

#include "nets/log_writer.h"
#include "nets/net_fixture.h"
#include "nets/net_scan.h"

namespace trelmo::testing {
namespace {

TEST(ScanLog, MatchesTheCheckedLog) {
  NetBoard b;
  const std::string board = b.dir.file("faults.pcb");
  std::filesystem::copy_file(std::string(TRELMO_TEST_DATA) + "/nets/faults.pcb", board);
  ASSERT_TRUE(openFileByName(b.ctx, board, 0));
  ScanLogOptions o;
  o.date = "01/02/03";
  const ScanLogResult r = netScanLog(b.ctx, o);
  EXPECT_TRUE(r.closed);
  EXPECT_EQ(r.nets, 7);
  EXPECT_EQ(r.errors, 10);
  // Beside the design, its extension replaced.
  EXPECT_EQ(b.readFile(b.dir.file("faults.LOG")), b.readFile(std::string(TRELMO_TEST_DATA) + "/nets/faults.LOG"));
  // The duplicate pad went as one undo event, which brings it back.
  const int pads = [&] {
    int n = 0;
    while (b.nth(kPad, n) != kNull) ++n;
    return n;
  }();
  ASSERT_TRUE(undoEvent(b.ctx, true));
  EXPECT_NE(b.nth(kPad, pads), kNull);
}

TEST(ScanLog, SummaryCountsInWords) {
  struct Case {
    std::string items, summary;
  };
  const Case cases[] = {
      {"", "0 nets scanned, no errors detected."},
      {"3 0 1 1.0 1.0 .06 .06 .03 0 0 A\n", "1 net scanned, no errors detected."},
      {"3 0 1 1.0 1.0 .06 .06 .03 0 0 A\n3 0 1 2.0 1.0 .06 .06 .03 0 0 A\n", "1 net scanned, 1 error detected."},
      {"3 0 1 1.0 1.0 .06 .06 .03 0 0 A\n3 0 1 2.0 1.0 .06 .06 .03 0 0 A\n3 0 1 3.0 1.0 .06 .06 .03 0 0 B\n"
       "3 0 1 4.0 1.0 .06 .06 .03 0 0 B\n",
       "2 nets scanned, 2 errors detected."},
  };
  for (const Case& c : cases) {
    NetBoard b;
    ASSERT_TRUE(b.load(c.items));
    ScanLogOptions o;
    o.path = b.dir.file("x.log");
    netScanLog(b.ctx, o);
    const std::string log = b.readFile(o.path);
    EXPECT_NE(log.find("\r\n\r\n" + c.summary + "\r\n\f\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Minimum NetScan Clearance Parameters\r\nLine to Line: 0.008\"\r\nLine to Pad:  0.008\"\r\n"
                       "Pad to Pad:   0.008\"\r\n"),
              std::string::npos);
  }
}

TEST(ScanLog, APinOfAComponentWithAStaleBoxDoesNotEndTheScan) {
  NetBoard b;
  // U1's box lies away from its pins; the seed under a pin is found all the same.
  ASSERT_TRUE(
      b.load("6 1 0 5.0 5.0 5.1 5.1 DIP\x7fU1\x7f\x7f\n3 0 1 1.0 1.0 .06 .06 .03 0 1 A\n"
             "0 6 0 1.0 1.0\n3 0 1 2.0 1.0 .06 .06 .03 0 0 B\n"));
  ScanLogOptions o;
  o.path = b.dir.file("x.log");
  const ScanLogResult r = netScanLog(b.ctx, o);
  EXPECT_EQ(r.nets, 2);
  EXPECT_NE(b.readFile(o.path).find("2 nets scanned, no errors detected."), std::string::npos);
}

TEST(ScanLog, RefusesTheActiveFileAndReportsAFolderItCannotWrite) {
  NetBoard b;
  ASSERT_TRUE(b.load(""));
  LogWriter w(b.ctx);
  EXPECT_FALSE(w.open("T", 79, b.dir.file("BOARD.PCB")));  // the design itself, whatever the case
  EXPECT_TRUE(b.host.boxes.empty());
  ScanLogOptions o;
  o.path = b.dir.file("missing/folder/x.LOG");
  EXPECT_FALSE(netScanLog(b.ctx, o).written);
  ASSERT_EQ(b.host.boxes.size(), 1u);
  EXPECT_EQ(b.host.boxes[0].first, "File Open Error");
  EXPECT_EQ(b.host.boxes[0].second, "The status/log file \"" + o.path +
                                        "\" cannot\nbe opened for output.\n\nPlease insure that you have write "
                                        "access for this path.");
}

TEST(ScanLog, TheViewerReceivesEveryLine) {
  NetBoard b;
  b.ctx.shell.prefs.displayLogs = true;
  int opened = 0, lines = 0;
  b.ctx.nets.logOpened = [&](Context&) { ++opened; };
  b.ctx.nets.logLineAdded = [&](Context&) { ++lines; };
  ASSERT_TRUE(b.load("3 0 1 1.0 1.0 .06 .06 .03 0 0 A\n"));
  netScanLog(b.ctx);
  EXPECT_EQ(opened, 1);
  const LogView& v = b.ctx.nets.log;
  ASSERT_EQ(static_cast<int>(v.lines.size()), lines + 1);  // "LOG FILE" first
  EXPECT_EQ(v.lines[0], "LOG FILE");
  EXPECT_EQ(v.lines[1].substr(0, 17), "NETSCAN ERROR LOG");
  EXPECT_EQ(v.lines.back(), "\f");
  EXPECT_EQ(v.path, b.dir.file("board.LOG"));
}

}  // namespace
}  // namespace trelmo::testing
