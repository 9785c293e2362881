// trelmo-cli run: macros driven headlessly, reported on stderr.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Result {
  int status;
  std::string err;
};

// Runs trelmo-cli with a macro given as its own argument (no shell quoting).
Result runMacro(const std::string& in, const std::string& macro, const std::string& extra, const fs::path& dir) {
  const fs::path macroFile = dir / "macro.txt";
  std::ofstream(macroFile) << macro;
  const std::string cmd =
      std::string(TRELMO_CLI) + " run " + in + " --macro-file " + macroFile.string() + " " + extra + " 2>&1 >/dev/null";
  Result r{-1, {}};
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.err.append(buf, n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("trelmo-run-" + std::to_string(::getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string demo() const { return std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb"; }
  fs::path dir;
};

TEST_F(RunTest, MovesTheCursorZoomsAndSavesTheLayerChoice) {
  const fs::path out = dir / "out.pcb";
  const Result r = runMacro(demo(), "<ZX> \"1,2\" CR 3Up <LY=Bottom Copper> I <PQ>", "-o " + out.string(), dir);
  ASSERT_EQ(r.status, 0) << r.err;
  // Typed characters are echoed at column 52 (70 with the polar readout on).
  EXPECT_NE(r.err.find("message: Enter new X,Y cursor position:" + std::string(22, ' ') + "1,2?\n"), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("sound: Beop\n"), std::string::npos) << "PQ is no Place function\n" << r.err;
  // Three snaps of the demo's 0.025 inch grid above (1, 2).
  EXPECT_NE(r.err.find("cursor: 1.00000,2.07500\n"), std::string::npos) << r.err;
  const Result plain = runMacro(demo(), "<ZX>", "", dir);
  const auto dpi = [](const std::string& s) {
    const size_t at = s.find("scale: ");
    return at == std::string::npos ? -1 : std::stoi(s.substr(at + 7));
  };
  EXPECT_GT(dpi(r.err), dpi(plain.err)) << "I zooms in";

  std::ifstream f(out);
  std::stringstream s;
  s << f.rdbuf();
  EXPECT_NE(s.str().find("\n-y12\r\n"), std::string::npos) << "Bottom Copper is the active layer";
}

TEST_F(RunTest, DelaysAreWaitedOutBeforeTheRestRuns) {
  const Result r = runMacro("-new-pcb", "<1> <.5> #A", "", dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("sound: Beep\n"), std::string::npos) << "Alt-A is no hot key\n" << r.err;
}

TEST_F(RunTest, BadUseIsRefused) {
  EXPECT_EQ(runMacro(dir.string() + "/missing.pcb", "Up", "", dir).status, 1);
  EXPECT_EQ(runMacro("-new-pcb", "Up", "--answer maybe", dir).status, 2);
  EXPECT_EQ(runMacro("", "Up", "", dir).status, 2);
}

}  // namespace
