// trelmo-cli plot and gerber, and Printer Out from a macro of trelmo-cli run.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Result {
  int status = -1;
  std::string out;
};

Result cli(const std::string& args) {
  const std::string cmd = std::string(TRELMO_CLI) + " " + args + " 2>&1";
  Result r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

class PlotCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("trelmo-plot-cli-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  const std::string demo = std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb";
  fs::path dir;
};

TEST_F(PlotCli, EveryKindWritesItsFile) {
  for (const char* kind : {"hpgl", "ps", "pdf", "bmp", "pcl"}) {
    const fs::path out = dir / (std::string("demo.") + kind);
    const Result r = cli("plot " + demo + " -o " + out.string() + " --kind " + kind + " --dpi 100 --depth 8");
    EXPECT_EQ(r.status, 0) << kind << ": " << r.out;
    EXPECT_GT(fs::file_size(out), 100u) << kind;
  }
  EXPECT_EQ(fs::file_size(dir / "demo.bmp") % 4, 2u);  // 54 + 1024 palette + whole rows of 4-byte words
}

TEST_F(PlotCli, UsageErrorsAndUnwritableFiles) {
  EXPECT_EQ(cli("plot " + demo + " -o x --kind tiff").status, 2);
  EXPECT_EQ(cli("plot " + demo + " --kind bmp").status, 2);
  EXPECT_EQ(cli("plot " + demo + " -o x --kind bmp --depth 5").status, 2);
  for (const char* bad : {"--depth 0", "--depth 8x", "--depth ''", "--dpi abc", "--dpi 300.5"})
    EXPECT_EQ(cli("plot " + demo + " -o x --kind bmp " + bad).status, 2) << bad;
  EXPECT_EQ(cli("gerber " + demo).status, 2);
  const Result r = cli("plot " + demo + " -o /nonexistent-trelmo/x.bmp --kind bmp");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("No such file or directory"), std::string::npos) << r.out;
}

TEST_F(PlotCli, GerberWritesTheSetAndListsIt) {
  const Result r = cli("gerber " + demo + " -o " + dir.string());
  ASSERT_EQ(r.status, 0) << r.out;
  for (const char* name :
       {"demo.TOP", "demo.BOT", "demo.TSS", "demo.TSM", "demo.BSM", "demo.DRL", "demo-NPTH.DRL", "demo.GKO"}) {
    EXPECT_TRUE(fs::exists(dir / name)) << name;
    EXPECT_NE(r.out.find(name), std::string::npos) << name;
  }
  fs::remove_all(dir);
  fs::create_directories(dir);
  // Only the entries that plot layer 12 (bottom copper), and the drills.
  ASSERT_EQ(cli("gerber " + demo + " -o " + dir.string() + " --layers 12").status, 0);
  EXPECT_TRUE(fs::exists(dir / "demo.BOT"));
  EXPECT_TRUE(fs::exists(dir / "demo.DRL"));
  EXPECT_FALSE(fs::exists(dir / "demo.TOP"));
  EXPECT_FALSE(fs::exists(dir / "demo.GKO"));
}

TEST_F(PlotCli, PrinterOutFromARunMacroWritesTheBitmapWhenTheWorkerEnds) {
  const fs::path out = dir / "typed.bmp";
  const Result r = cli("run " + demo +
                       " --macro '\"FP\"' --dialog 'PlotterOutputBox.kind=BMP to Disk'"
                       " --dialog PlotterOutputBox.scale=50 --file " +
                       out.string());
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("dialog: PlotterOutputBox"), std::string::npos) << r.out;
  EXPECT_GT(fs::file_size(out), 54u);
}

}  // namespace

TEST_F(PlotCli, ImportGerbersReadsTheSetBackIntoOneBoard) {
  ASSERT_EQ(cli("gerber " + demo + " -o " + dir.string()).status, 0);
  const fs::path board = dir / "board" / "back.pcb";
  fs::create_directories(board.parent_path());
  const Result r = cli("import-gerbers " + dir.string() + " -o " + board.string());
  ASSERT_EQ(r.status, 0) << r.out;
  for (const char* line : {"demo.TOP: photo plot, layer", "\"Top Copper\" (copper)", "\"Bottom Copper\" (copper)",
                           "\"Top Mask\" (mask)", "\"Profile\" (drawing)", "demo.DRL: drill, layer 0"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
  const Result info = cli("info " + board.string());
  ASSERT_EQ(info.status, 0) << info.out;
  EXPECT_EQ(info.out.find("components: 0"), std::string::npos) << info.out;  // the parts come back
  EXPECT_EQ(cli("import-gerbers " + dir.string()).status, 2);
  EXPECT_EQ(cli("import-gerbers " + (dir / "missing").string() + " -o x.pcb").status, 1);
  fs::create_directories(dir / "empty");
  EXPECT_EQ(cli("import-gerbers " + (dir / "empty").string() + " -o x.pcb").status, 1);
}
