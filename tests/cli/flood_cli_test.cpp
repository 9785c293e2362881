// trelmo-cli flood, isolate and mill on the example board.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_runner.h"
#include "shell/scripted_host.h"

namespace trelmo::testing {
namespace {

int lineCount(const std::string& text, const std::string& prefix) {
  int n = 0;
  for (size_t at = text.find("\n" + prefix); at != std::string::npos; at = text.find("\n" + prefix, at + 1)) ++n;
  return n;
}

TEST(FloodCli, FloodIsolateAndMillTheExampleBoard) {
  TempDir dir;
  const std::string demo = dir.example("demo.pcb");
  CliResult r = runCli({"flood", demo, "-o", "flood.pcb", "--block", "0,0,3.5,2.8", "--layer", "3", "--thermal", "GND",
                        "--dialog", "FloodFillBox.lineSize=.015"},
                       dir.file(""));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("dialog: FloodFillBox:"), std::string::npos);
  const std::string flooded = readWhole(dir.file("flood.pcb"));
  EXPECT_GT(lineCount(flooded, "1 3 .015 "), 200);
  EXPECT_NE(flooded.find("-gc.012,.012,.008,.008,.008,.015,.005,GND,,3"), std::string::npos);

  r = runCli({"isolate", demo, "-o", "iso.pcb", "--block", "0,0,3.5,2.8", "--side", "top", "--dialog",
              "TrackIsolationBox.top.target=20", "--dialog", "TrackIsolationBox.top.source=0,3", "--dialog",
              "TrackIsolationBox.top.passes=2", "--dialog", "TrackIsolationBox.top.isoTool=.01"},
             dir.file(""));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string isolated = readWhole(dir.file("iso.pcb"));
  EXPECT_GT(lineCount(isolated, "1 20 .01 "), 100);
  EXPECT_NE(isolated.find(" $IS2\r\n"), std::string::npos);

  std::filesystem::create_directory(dir.file("cam"));
  r = runCli({"mill", "iso.pcb", "-o", "cam", "--block", "0,0,3.5,2.8", "--gcode"}, dir.file(""));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("mill: iso-t.nc"), std::string::npos);
  const std::string top = readWhole(dir.file("cam/iso-t.nc"));
  EXPECT_NE(top.find("\nG21\n"), std::string::npos);
  EXPECT_GT(lineCount(top, "G1 X"), 100);
  EXPECT_GT(lineCount(readWhole(dir.file("cam/iso-d.nc")), "G1 Z-1.8"), 20);

  r = runCli({"mill", "iso.pcb", "-o", "missing", "--block", "0,0,3.5,2.8"}, dir.file(""));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("box: TRELMO'98: Unable to create output file."), std::string::npos);
  EXPECT_EQ(runCli({"flood", demo, "-o", "x.pcb"}, dir.file("")).status, 2);
  EXPECT_EQ(runCli({"flood", demo, "-o", "x.pcb", "--block", "1,1,1,2"}, dir.file("")).status, 2);
  EXPECT_EQ(runCli({"isolate", demo, "-o", "x.pcb", "--block", "0,0,1,1", "--side", "left"}, dir.file("")).status, 2);
}

// Block Define in a macro, then Flood Fill on that block: the same copper as
// the flood subcommand's rectangle gives.
TEST(FloodCli, FloodFillFromAMacroUsesTheDefinedBlock) {
  TempDir dir;
  const std::string demo = dir.example("demo.pcb");
  const std::vector<std::string> box = {"--dialog", "FloodFillBox.target=3",     "--dialog", "FloodFillBox.thermal=GND",
                                        "--dialog", "FloodFillBox.lineSize=.015"};
  std::vector<std::string> args = {
      "run", demo, "--macro", "\"BG\" \"0,0\" CR CR \"3.5,2.8\" CR CR \"0,0\" CR CR \"BF\"", "-o", "bf.pcb"};
  args.insert(args.end(), box.begin(), box.end());
  CliResult r = runCli(args, dir.file(""));
  ASSERT_EQ(r.status, 0) << r.err;
  args = {"flood", demo, "-o", "flood.pcb", "--block", "0,0,3.5,2.8"};
  args.insert(args.end(), box.begin(), box.end());
  r = runCli(args, dir.file(""));
  ASSERT_EQ(r.status, 0) << r.err;
  const int byBlock = lineCount(readWhole(dir.file("bf.pcb")), "1 3 .015 ");
  EXPECT_GT(byBlock, 200);
  EXPECT_EQ(byBlock, lineCount(readWhole(dir.file("flood.pcb")), "1 3 .015 "));
}

}  // namespace
}  // namespace trelmo::testing
