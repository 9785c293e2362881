// End-to-end tests of trelmo-cli: exit codes, info and byte-exact round trips.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/cli_runner.h"

namespace fs = std::filesystem;

namespace trelmo::testing {
namespace {

using CliTest = CliFolder;

// What a run wrote, stdout and stderr together.
std::string said(const CliResult& r) { return r.out + r.err; }

TEST_F(CliTest, UsageAndExitCodes) {
  EXPECT_EQ(cli({"--help"}).status, 0);
  EXPECT_EQ(cli({"--version"}).status, 0);
  EXPECT_EQ(cli({}).status, 2);
  EXPECT_EQ(cli({"frobnicate"}).status, 2);
  EXPECT_EQ(cli({"info"}).status, 2);
  EXPECT_EQ(cli({"convert", "onlyone"}).status, 2);
  EXPECT_EQ(cli({"info", "a", "--hint", "GG"}).status, 2);
  const CliResult missing = cli({"info", (dir / "no-such-file.pcb").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(said(missing).find("cannot read"), std::string::npos);
  EXPECT_NE(said(missing).find("no-such-file.pcb: No such file or directory"), std::string::npos) << said(missing);
  const CliResult folder = cli({"info", dir.string()});
  EXPECT_NE(said(folder).find(": Is a directory"), std::string::npos) << said(folder);
}

TEST_F(CliTest, ConvertFailsWhenTheTargetCannotBeWritten) {
  const fs::path out = dir / "missing-folder" / "out.pcb";
  const CliResult r = cli({"convert", demo(), out.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(said(r).find("cannot write " + out.string() + ": No such file or directory"), std::string::npos) << said(r);
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(CliTest, InfoReportsFormatCountsAndExtents) {
  const CliResult r = cli({"info", demo()});
  ASSERT_EQ(r.status, 0) << said(r);
  for (const char* line : {"format: C", "components: 7", "solids: 1", "extents: 0.00000,0.00000 3.50000,2.80000"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
}

// Every example is a file TRELMO wrote: converting it reproduces it exactly.
TEST_F(CliTest, ExamplesRoundTripByteForByte) {
  for (const char* name : {"demo.pcb", "demo.sch", "demo.sh1", "demo.lib"}) {
    const fs::path in = fs::path(TRELMO_EXAMPLES_DIR) / name;
    const CliResult r = cli({"convert", in.string(), (dir / name).string()});
    ASSERT_EQ(r.status, 0) << name << ": " << said(r);
    EXPECT_EQ(readWhole(in), readWhole(dir / name)) << name << " changed in the round trip";
  }
}

}  // namespace
}  // namespace trelmo::testing
