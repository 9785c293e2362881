// trelmo-cli netlist, bom and pinlist: what they write, their exit status,
// and the reports reached through a macro.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_runner.h"
#include "shell/scripted_host.h"

namespace trelmo::testing {
namespace {

TEST(ReportsCli, NetlistBomAndPinlistOfTheExamples) {
  TempDir dir;
  dir.example("demo.sch");
  dir.example("demo.pcb");
  CliResult r = runCli({"netlist", "demo.sch", "-o", "demo.NET"}, dir.file(""));
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string net = readWhole(dir.file("demo.NET"));
  EXPECT_EQ(net.rfind("SCHEMATIC PARTS LIST", 0), 0u);
  EXPECT_NE(net.find("\r\n$0002           R1-2    R2-1    R2-2    U1-7\r\n"), std::string::npos) << net;
  EXPECT_EQ(net.substr(net.size() - 13), "END OF FILE\r\n");
  r = runCli({"netlist", "demo.sch", "-o", "demo.tng", "--format", "bracketed"}, dir.file(""));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(readWhole(dir.file("demo.tng")).rfind("[\r\nR1\r\nAXIAL4\r\n1K\r\n", 0), 0u);
  // The board's shorted nets stop its netlist.
  r = runCli({"netlist", "demo.pcb", "-o", "pcb.NET"}, dir.file(""));
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("Signal <VCC> is crosslinked to signal <CTRL>."), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.file("pcb.NET")));

  EXPECT_EQ(runCli({"bom", "demo.pcb", "-o", "demo.csv", "--csv"}, dir.file("")).status, 0);
  EXPECT_NE(readWhole(dir.file("demo.csv")).find("\r\n1K,AXIAL4,1,R1\r\n"), std::string::npos);
  EXPECT_EQ(runCli({"bom", "demo.pcb", "-o", "demo.bom"}, dir.file("")).status, 0);
  EXPECT_EQ(readWhole(dir.file("demo.bom")).rfind("BILL OF MATERIALS", 0), 0u);
  EXPECT_EQ(runCli({"pinlist", "demo.pcb", "-o", "demo.pin"}, dir.file("")).status, 0);
  EXPECT_NE(readWhole(dir.file("demo.pin")).find("\r\nU1      DIP8        1     THD   1.000   1.000   GND\r\n"),
            std::string::npos);
  EXPECT_EQ(runCli({"pinlist", "demo.pcb", "-o", "demo.wrl", "--wires"}, dir.file("")).status, 0);
  EXPECT_EQ(readWhole(dir.file("demo.wrl")).rfind("SIGNAL WIRE LIST", 0), 0u);

  EXPECT_EQ(runCli({"bom", "demo.pcb", "-o", "no/such/folder/x.bom"}, dir.file("")).status, 1);
  EXPECT_EQ(runCli({"netlist", "demo.sch", "-o", "x", "--format", "spice"}, dir.file("")).status, 2);
  EXPECT_EQ(runCli({"pinlist", "demo.pcb"}, dir.file("")).status, 2);

  // The same reports from the menus of a macro run, boxes answered.
  r = runCli({"run", "demo.pcb", "--macro", "\"NW\"", "--dialog", "WireListOutBox.file=macro.wrl"}, dir.file(""));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(readWhole(dir.file("macro.wrl")).find("VCC             J1-1            U1-8            1.389"),
            std::string::npos);
}

}  // namespace
}  // namespace trelmo::testing
