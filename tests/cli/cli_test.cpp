// End-to-end tests of trelmo-cli: exit codes, info and byte-exact round trips.
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
  std::string out;
};

Result run(const std::string& args) {
  const std::string cmd = std::string(TRELMO_CLI) + " " + args + " 2>&1";
  Result r{-1, {}};
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

std::string slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("trelmo-cli-" + std::to_string(::getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

TEST_F(CliTest, UsageAndExitCodes) {
  EXPECT_EQ(run("--help").status, 0);
  EXPECT_EQ(run("--version").status, 0);
  EXPECT_EQ(run("").status, 2);
  EXPECT_EQ(run("frobnicate").status, 2);
  EXPECT_EQ(run("info").status, 2);
  EXPECT_EQ(run("convert onlyone").status, 2);
  EXPECT_EQ(run("info a --hint GG").status, 2);
  const Result missing = run("info " + (dir / "no-such-file.pcb").string());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("cannot read"), std::string::npos);
  EXPECT_NE(missing.out.find("no-such-file.pcb: No such file or directory"), std::string::npos) << missing.out;
  const Result folder = run("info " + dir.string());
  EXPECT_NE(folder.out.find(": Is a directory"), std::string::npos) << folder.out;
}

TEST_F(CliTest, ConvertFailsWhenTheTargetCannotBeWritten) {
  const fs::path out = dir / "missing-folder" / "out.pcb";
  const Result r = run("convert " + std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb " + out.string());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("cannot write " + out.string() + ": No such file or directory"), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(out));
  EXPECT_NE(r.out.find("cannot write " + out.string() + ": No such file or directory"), std::string::npos) << r.out;
}

TEST_F(CliTest, InfoReportsFormatCountsAndExtents) {
  const Result r = run("info " + std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("format: C"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("components: 7"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("solids: 1"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("extents: 0.00000,0.00000 3.50000,2.80000"), std::string::npos) << r.out;
}

// Every example is a file TRELMO wrote: converting it reproduces it exactly.
TEST_F(CliTest, ExamplesRoundTripByteForByte) {
  for (const char* name : {"demo.pcb", "demo.sch", "demo.sh1", "demo.lib"}) {
    const fs::path in = fs::path(TRELMO_EXAMPLES_DIR) / name;
    const fs::path out = dir / name;
    const Result r = run("convert " + in.string() + " " + out.string());
    ASSERT_EQ(r.status, 0) << name << ": " << r.out;
    EXPECT_EQ(slurp(in), slurp(out)) << name << " changed in the round trip";
  }
}

}  // namespace
