// trelmo-cli run: macros driven headlessly, reported on stderr.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/cli_runner.h"

namespace trelmo::testing {
namespace {

class RunTest : public CliFolder {
 protected:
  // Runs trelmo-cli with the macro read from a file of its own.
  CliResult runMacro(const std::string& in, const std::string& macro, std::vector<std::string> extra = {}) {
    std::ofstream(dir / "macro.txt") << macro;
    std::vector<std::string> args = {"run"};
    if (!in.empty()) args.push_back(in);
    args.insert(args.end(), {"--macro-file", (dir / "macro.txt").string()});
    args.insert(args.end(), extra.begin(), extra.end());
    return cli(args);
  }
};

TEST_F(RunTest, MovesTheCursorZoomsAndSavesTheLayerChoice) {
  const CliResult r =
      runMacro(demo(), "<ZX> \"1,2\" CR 3Up <LY=Bottom Copper> I <PQ>", {"-o", (dir / "out.pcb").string()});
  ASSERT_EQ(r.status, 0) << r.err;
  // Typed characters are echoed at column 52 (70 with the polar readout on).
  EXPECT_NE(r.err.find("message: Enter new X,Y cursor position:" + std::string(22, ' ') + "1,2?\n"), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("sound: Beop\n"), std::string::npos) << "PQ is no Place function\n" << r.err;
  // Three snaps of the demo's 0.025 inch grid above (1, 2).
  EXPECT_NE(r.err.find("cursor: 1.00000,2.07500\n"), std::string::npos) << r.err;
  const CliResult plain = runMacro(demo(), "<ZX>");
  const auto dpi = [](const std::string& s) {
    const size_t at = s.find("scale: ");
    return at == std::string::npos ? -1 : std::stoi(s.substr(at + 7));
  };
  EXPECT_GT(dpi(r.err), dpi(plain.err)) << "I zooms in";
  EXPECT_NE(readWhole(dir / "out.pcb").find("\n-y12\r\n"), std::string::npos) << "Bottom Copper is the active layer";
}

TEST_F(RunTest, DelaysAreWaitedOutBeforeTheRestRuns) {
  const CliResult r = runMacro("-new-pcb", "<1> <.5> #A");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("sound: Beep\n"), std::string::npos) << "Alt-A is no hot key\n" << r.err;
}

TEST_F(RunTest, BadUseIsRefused) {
  EXPECT_EQ(runMacro(dir.string() + "/missing.pcb", "Up").status, 1);
  EXPECT_EQ(runMacro("-new-pcb", "Up", {"--answer", "maybe"}).status, 2);
  EXPECT_EQ(runMacro("", "Up").status, 2);
}

}  // namespace
}  // namespace trelmo::testing
