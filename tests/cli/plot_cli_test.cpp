// trelmo-cli plot and gerber, and Printer Out from a macro of trelmo-cli run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/cli_runner.h"

namespace fs = std::filesystem;

namespace trelmo::testing {
namespace {

using PlotCli = CliFolder;

TEST_F(PlotCli, EveryKindWritesItsFile) {
  for (const char* kind : {"hpgl", "ps", "pdf", "bmp", "pcl"}) {
    const fs::path out = dir / (std::string("demo.") + kind);
    const CliResult r = cli({"plot", demo(), "-o", out.string(), "--kind", kind, "--dpi", "100", "--depth", "8"});
    EXPECT_EQ(r.status, 0) << kind << ": " << r.err;
    EXPECT_GT(fs::file_size(out), 100u) << kind;
  }
  EXPECT_EQ(fs::file_size(dir / "demo.bmp") % 4, 2u);  // 54 + 1024 palette + whole rows of 4-byte words
}

TEST_F(PlotCli, UsageErrorsAndUnwritableFiles) {
  EXPECT_EQ(cli({"plot", demo(), "-o", "x", "--kind", "tiff"}).status, 2);
  EXPECT_EQ(cli({"plot", demo(), "--kind", "bmp"}).status, 2);
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{{"--depth", "5"},
                                                                                   {"--depth", "0"},
                                                                                   {"--depth", "8x"},
                                                                                   {"--depth", ""},
                                                                                   {"--dpi", "abc"},
                                                                                   {"--dpi", "300.5"}}) {
    std::vector<std::string> args = {"plot", demo(), "-o", "x", "--kind", "bmp"};
    args.insert(args.end(), bad.begin(), bad.end());
    EXPECT_EQ(cli(args).status, 2) << bad[0] << " " << bad[1];
  }
  EXPECT_EQ(cli({"gerber", demo()}).status, 2);
  const CliResult r = cli({"plot", demo(), "-o", "/nonexistent-trelmo/x.bmp", "--kind", "bmp"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE((r.out + r.err).find("No such file or directory"), std::string::npos) << r.err;
}

TEST_F(PlotCli, GerberWritesTheSetAndListsIt) {
  for (const char* folder : {"all", "bottom"}) fs::create_directories(dir / folder);
  const CliResult r = cli({"gerber", demo(), "-o", "all"});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* name :
       {"demo.TOP", "demo.BOT", "demo.TSS", "demo.TSM", "demo.BSM", "demo.DRL", "demo-NPTH.DRL", "demo.GKO"}) {
    EXPECT_TRUE(fs::exists(dir / "all" / name)) << name;
    EXPECT_NE((r.out + r.err).find(name), std::string::npos) << name;
  }
  // Only the entries that plot layer 12 (bottom copper), and the drills.
  ASSERT_EQ(cli({"gerber", demo(), "-o", "bottom", "--layers", "12"}).status, 0);
  EXPECT_TRUE(fs::exists(dir / "bottom/demo.BOT"));
  EXPECT_TRUE(fs::exists(dir / "bottom/demo.DRL"));
  EXPECT_FALSE(fs::exists(dir / "bottom/demo.TOP"));
  EXPECT_FALSE(fs::exists(dir / "bottom/demo.GKO"));
}

TEST_F(PlotCli, PrinterOutFromARunMacroWritesTheBitmapWhenTheWorkerEnds) {
  const fs::path out = dir / "typed.bmp";
  const CliResult r = cli({"run", demo(), "--macro", "\"FP\"", "--dialog", "PlotterOutputBox.kind=BMP to Disk",
                           "--dialog", "PlotterOutputBox.scale=50", "--file", out.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("dialog: PlotterOutputBox"), std::string::npos) << r.err;
  EXPECT_GT(fs::file_size(out), 54u);
}

TEST_F(PlotCli, ImportGerbersReadsTheSetBackIntoOneBoard) {
  for (const char* folder : {"set", "board"}) fs::create_directories(dir / folder);
  ASSERT_EQ(cli({"gerber", demo(), "-o", "set"}).status, 0);
  const CliResult r = cli({"import-gerbers", "set", "-o", "board/back.pcb"});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* line : {"demo.TOP: photo plot, layer", "\"Top Copper\" (copper)", "\"Bottom Copper\" (copper)",
                           "\"Top Mask\" (mask)", "\"Profile\" (drawing)", "demo.DRL: drill, layer 0"})
    EXPECT_NE((r.out + r.err).find(line), std::string::npos) << line << "\n" << r.out;
  const CliResult info = cli({"info", "board/back.pcb"});
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(info.out.find("components: 0"), std::string::npos) << info.out;  // the parts come back
  EXPECT_EQ(cli({"import-gerbers", "set"}).status, 2);
  EXPECT_EQ(cli({"import-gerbers", "missing", "-o", "x.pcb"}).status, 1);
  fs::create_directories(dir / "empty");
  EXPECT_EQ(cli({"import-gerbers", "empty", "-o", "x.pcb"}).status, 1);
}

}  // namespace
}  // namespace trelmo::testing
