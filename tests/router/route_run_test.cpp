// A whole run: the statistics log against checked logs, one undo event, a
// run stopped between two routes, the box, and trelmo-cli route.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_runner.h"
#include "router_fixture.h"
#include "shell/dialog_script.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"

namespace trelmo::testing {
namespace {

TEST(RouterRun, LogWithoutRatLines) {
  RouterBoard b;
  ASSERT_TRUE(b.load(pad(1, 1, "S")));
  b.route(kStraightRoutes | kDataBusRoutes | kInlineRoutes | kLRoutes);
  const std::string rule(79, '-');
  const std::string expected = "AUTOROUTER STATISTICS LOG                  board.pcb                   01/02/03\r\n" +
                               rule +
                               "\r\nALGORITHM                      TRACKS   TRACKS     HIT    PERCENTAGE    ELAPSED\r\n"
                               "DESCRIPTION                  PROCESSED  ROUTED    RATIO    OF TOTAL       TIME\r\n" +
                               rule +
                               "\r\n\r\n"
                               "Sorting ratnest lines:             0                                      0.000\r\n"
                               "Zero-via straight routes:          0        0     0.000      0.00%        0.000\r\n"
                               "Zero-via data bus routes:          0        0     0.000      0.00%        0.000\r\n"
                               "Zero-via inline routes:            0        0     0.000      0.00%        0.000\r\n"
                               "One-via \"L\" routes:                0        0     0.000      0.00%        0.000\r\n"
                               "\r\n"
                               "Totals:                            0        0     0.000      0.00%        0.000\r\n";
  EXPECT_EQ(b.readFile(b.dir.file("board.LOG")), expected);
}

TEST(RouterRun, ExampleBoardMatchesTheCheckedLogAndUndoesWhole) {
  RouterBoard b;
  ASSERT_TRUE(openFileByName(b.ctx, b.dir.example("demo.pcb"), 0));
  b.ctx.params.layers[3].type |= 1 << kRouteDirShift;
  b.ctx.params.layers[12].type |= 2 << kRouteDirShift;
  const std::string before = b.saved();
  const uint32_t colour = b.ctx.params.layers[1].color;
  const RouterTotals t = b.route(kAllPasses);
  EXPECT_EQ(t.routed, t.ratLines);
  EXPECT_EQ(b.scanErrors(), 0);
  EXPECT_EQ(b.ctx.params.layers[1].color, colour);  // shown again
  EXPECT_EQ(b.readFile(b.dir.file("demo.LOG")), b.readFile(std::string(TRELMO_TEST_DATA) + "/router/demo.LOG"));
  ASSERT_TRUE(undoEvent(b.ctx, true));
  EXPECT_FALSE(undoAvailable(b.ctx));
  EXPECT_EQ(b.saved(), before);
}

TEST(RouterRun, StopBetweenRoutesLeavesAConsistentBoard) {
  RouterBoard b;
  ASSERT_TRUE(openFileByName(b.ctx, b.dir.example("demo.pcb"), 0));
  b.ctx.params.layers[3].type |= 1 << kRouteDirShift;
  b.ctx.params.layers[12].type |= 2 << kRouteDirShift;
  const std::string before = b.saved();
  // The stop comes while the design is being changed for the fourth route.
  WorkerProgress progress;
  int calls = 0;
  RouterLink link;
  link.progress = &progress;
  link.onDesign = [&](const std::function<void()>& work) {
    work();
    if (++calls == 12) progress.cancel = true;
  };
  const RouterTotals t = b.route(kAllPasses, link);
  EXPECT_TRUE(t.stopped);
  EXPECT_GT(t.routed, 0);
  EXPECT_LT(t.routed, t.ratLines);
  EXPECT_EQ(t.unrouted, t.ratLines - t.routed);
  EXPECT_EQ(b.count(kLine, kRatnestLayer), t.unrouted);
  EXPECT_EQ(b.copperFaults(), 0);
  const std::string log = b.readFile(b.dir.file("demo.LOG"));
  EXPECT_NE(log.find("Stopped on request: " + std::to_string(t.unrouted) + " rat-lines left."), std::string::npos);
  EXPECT_NE(log.find("Totals:"), std::string::npos);
  ASSERT_TRUE(undoEvent(b.ctx, true));
  EXPECT_EQ(b.saved(), before);
}

TEST(RouterRun, BoxWritesThePassesSizesAndDirections) {
  RouterBoard b;
  ASSERT_TRUE(b.load(pad(1, 1, "S") + pad(2, 1, "S"), 2, 2));
  b.host.dialog = [](DialogBox& box) {
    std::string why;
    return setDialogField(box, "straight", "1", why) && setDialogField(box, "clear", "1", why) &&
           setDialogField(box, "track", ".02", why) && setDialogField(box, "Layer12.Direction", "1", why);
  };
  executeFunction(b.ctx, fc('N', 'A'), kFromKeys);
  EXPECT_EQ(b.ctx.params.routerPasses, 3u);
  EXPECT_EQ(b.ctx.params.lineWidth, 1311);
  EXPECT_EQ((b.ctx.params.layers[12].type >> kRouteDirShift) & 3, 1);
  EXPECT_EQ(b.count(kLine, 12), 1);  // routed at once: no worker without a front end
  // Escape: nothing happens.
  b.host.dialog = [](DialogBox&) { return false; };
  executeFunction(b.ctx, fc('N', 'A'), kFromKeys);
  EXPECT_EQ(b.count(kLine, 12), 1);
}

TEST(RouterRun, CommandLine) {
  TempDir dir;
  const std::string in = dir.example("demo.pcb");
  const std::filesystem::path here(dir.file(""));
  CliResult r = runCli({"route", in, "-o", "out.pcb", "--direction", "3=x", "--direction", "12=y"}, here);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("route: 13 of 13 rat-lines routed (100.0%), 0 left, ", 0), 0u) << r.out;
  EXPECT_TRUE(std::filesystem::exists(dir.file("out.LOG")));
  r = runCli({"drc", "out.pcb"}, here);
  EXPECT_EQ(r.status, 0) << r.out;
  // Only the cheap passes, the log where asked.
  r = runCli({"route", in, "-o", "cheap.pcb", "--passes", "clear,straight", "--log", "cheap.txt", "--direction", "3=x"},
             here);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("route: 2 of 8 rat-lines routed"), std::string::npos) << r.out;  // layer 12 keeps its tracks
  EXPECT_TRUE(std::filesystem::exists(dir.file("cheap.txt")));
  EXPECT_EQ(runCli({"route", in, "-o", "x.pcb", "--passes", "zigzag"}, here).status, 2);
}

}  // namespace
}  // namespace trelmo::testing
