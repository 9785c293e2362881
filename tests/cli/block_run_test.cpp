// Block copy, resequencing and annotation from trelmo-cli run macros: the
// saved files against a checked expected file, and Un-Do taking each file
// back in one event.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_runner.h"

namespace fs = std::filesystem;

namespace trelmo::testing {
namespace {

// The block around the whole board, copied 4 inches to the right, then every
// reference renumbered by position.
constexpr char kCopyAndResequence[] =
    "\"BG\" \"0,0\" CR CR \"3.5,2.8\" CR CR \"0,0\" CR CR "
    "\"BC\" \"4,0\" CR CR \"EQ\"";

class BlockRun : public CliFolder {
 protected:
  CliResult run(const std::string& in, const std::string& macro, std::vector<std::string> extra) {
    std::vector<std::string> args = {"run", in, "--macro", macro};
    args.insert(args.end(), extra.begin(), extra.end());
    last = runCli(args, dir);
    EXPECT_EQ(last.status, 0) << last.err;
    return last;
  }
  // The three files of the example design, in a folder of the test's own.
  void copyDesign() {
    for (const char* name : {"demo.pcb", "demo.sch", "demo.sh1"})
      fs::copy_file(fs::path(TRELMO_EXAMPLES_DIR) / name, dir / name, fs::copy_options::overwrite_existing);
  }
  // Opens the two sheets beside the board, runs `middle` on the board, and
  // saves all three in place.
  void annotate(const std::string& middle) {
    copyDesign();
    const std::string macro = "\"FO\" \"FO\" \"FN\" " + middle + " \"FS\" \"FN\" \"FS\" \"FN\" \"FS\"";
    run((dir / "demo.pcb").string(), macro,
        {"--file", (dir / "demo.sch").string(), "--file", (dir / "demo.sh1").string(), "--dialog",
         "ResequenceComponentsBox.annotate=1"});
  }
  std::string file(const char* name) { return readWhole(dir / name); }
  CliResult last;
};

TEST_F(BlockRun, ComponentsCopiedAndResequencedGiveTheExpectedBoard) {
  const std::string out = (dir / "out.pcb").string();
  run(std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb", kCopyAndResequence, {"-o", out});
  const std::string expected = readWhole(fs::path(TRELMO_TEST_DATA) / "block" / "copied_resequenced.pcb");
  EXPECT_EQ(readWhole(out), expected) << last.err;
  // Un-Do takes back the resequencing in one event, then the copy in one.
  const std::string original = (dir / "original.pcb").string();
  run(std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb", "", {"-o", original});
  run(std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb", std::string(kCopyAndResequence) + " <UU> <UU>", {"-o", out});
  EXPECT_EQ(readWhole(out), readWhole(original));
}

TEST_F(BlockRun, BackAnnotationRenamesTheSameComponentsInBothSheets) {
  annotate("");
  const std::string board = file("demo.pcb"), sheet = file("demo.sch"), sheet2 = file("demo.sh1");
  annotate("\"EQ\"");
  const std::string b = file("demo.pcb"), s = file("demo.sch"), s2 = file("demo.sh1");
  // Rows from the upper left by insertion point: R1 (y 1.6), R2 (1.3), R3 (.8).
  for (const char* ref : {"R1\x7F", "R2\x7F", "U1\x7F", "D1\x7F"}) {
    EXPECT_EQ(b.find(std::string("\x7F") + ref), std::string::npos) << ref;
  }
  const std::pair<const std::string*, const char*> renamed[] = {
      {&b, "AXIAL4\177R100\1771K"}, {&s, "RES\177R100\1771K"},   {&b, "AXIAL4\177R101\17710K"},
      {&s, "RES\177R101\17710K"},   {&s2, "RES\177R102\177470"}, {&s, "NE555\177U100\177NE555"},
      {&s2, "LED\177D100\177RED"}};
  for (const auto& [text, fields] : renamed) EXPECT_NE(text->find(fields), std::string::npos) << fields;
  // Un-Do on each file gives each back as it was.
  annotate("\"EQ\" <UU> \"FN\" <UU> \"FN\" <UU> \"FN\"");
  EXPECT_EQ(file("demo.pcb"), board);
  EXPECT_EQ(file("demo.sch"), sheet);
  EXPECT_EQ(file("demo.sh1"), sheet2);
}

}  // namespace
}  // namespace trelmo::testing
