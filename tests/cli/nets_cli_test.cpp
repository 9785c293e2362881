// trelmo-cli drc and ratsnest: exit status, where the log goes, the saved
// rat-nest.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/cli_runner.h"
#include "shell/scripted_host.h"

namespace trelmo::testing {
namespace {

TEST(NetsCli, DrcExitStatusTellsFaultsFromACleanBoard) {
  TempDir dir;
  const std::string demo = dir.example("demo.pcb");
  CliResult r = runCli({"drc", demo}, dir.file(""));
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out.rfind("NETSCAN ERROR LOG", 0), 0u);
  EXPECT_NE(r.out.find("VCC                     CTRL                    Crosslinked to U1-5 -- DRC aborted\r\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("7 nets scanned, 5 errors detected.\r\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.file("demo.LOG")));  // stdout only

  // A routed net with room around it.
  std::string text = readWhole(demo);
  text = text.substr(0, text.find("Primary Data File:")) +
         "Primary Data File:\n3 0 1 1.0 1.0 .06 .06 .03 0 1 A\n3 0 1 2.0 1.0 .06 .06 .03 0 2 A\n"
         "1 3 .01 1.0 1.0 2.0 1.0 A\n\nEND OF FILE\n";
  std::ofstream(dir.file("clean.pcb"), std::ios::binary) << text;
  r = runCli({"drc", "clean.pcb", "-o", "clean.log"}, dir.file(""));
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(readWhole(dir.file("clean.log")).find("1 net scanned, no errors detected."), std::string::npos);

  EXPECT_EQ(runCli({"drc", "missing.pcb"}, dir.file("")).status, 1);
  EXPECT_EQ(runCli({"drc", "clean.pcb", "-o", "no/such/folder/x.log"}, dir.file("")).status, 1);
  EXPECT_EQ(runCli({"drc"}, dir.file("")).status, 2);
}

TEST(NetsCli, RatsnestSavesTheRatLines) {
  TempDir dir;
  dir.example("demo.pcb");
  const CliResult r = runCli({"ratsnest", "demo.pcb", "-o", "out.pcb"}, dir.file(""));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string out = readWhole(dir.file("out.pcb"));
  EXPECT_NE(out.find("1 255 .005 2.4 1.6 2.0 1.3 DIS"), std::string::npos);
  EXPECT_NE(out.find("-y255:00FFFF00,01000000,4,255,Ratnest"), std::string::npos);
  EXPECT_EQ(runCli({"ratsnest", "demo.pcb"}, dir.file("")).status, 2);
}

TEST(NetsCli, TheNetsMenuRunsFromAMacro) {
  TempDir dir;
  dir.example("demo.pcb");
  const CliResult r = runCli({"run", "demo.pcb", "--macro", "<NG> <NR>", "-o", "out.pcb"}, dir.file(""));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(readWhole(dir.file("demo.LOG")).find("7 nets scanned, 5 errors detected."), std::string::npos);
  EXPECT_NE(readWhole(dir.file("out.pcb")).find("1 255 .005 2.0 1.6 1.3 1.0 VCC"), std::string::npos);
}

}  // namespace
}  // namespace trelmo::testing
