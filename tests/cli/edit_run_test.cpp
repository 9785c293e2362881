// Editing and deleting on the example board from a trelmo-cli run macro:
// the saved file against a checked expected file, and Un-Do All back to the
// original.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "cli/cli_runner.h"

namespace fs = std::filesystem;

namespace trelmo::testing {
namespace {

class EditRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("trelmo-edit-" + std::to_string(::getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string run(const std::string& macro, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"run", std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb", "--macro", macro};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back("-o");
    args.push_back((dir / "out.pcb").string());
    last = runCli(args, dir);
    EXPECT_EQ(last.status, 0) << last.err;
    return readWhole(dir / "out.pcb");
  }
  fs::path dir;
  CliResult last;
};

// A track deleted through its via, two lines joined at a vertex, a
// component's reference and rotation, a contiguous track widened, a pad
// queried and a mounting hole deleted.
const char* kEdits =
    "\"2,1.15\" CR <DM> \"1.31,2.49\" CR <DE> \"2.2,1.3\" CR <EI> \"0.3,1.5\" CR <EL> \"2,1.6\" CR <QP> "
    "\"3.3,2.6\" CR <DP>";
const std::vector<std::string> kAnswers = {
    "--dialog", "EditCompPcbBox.ref=R9", "--dialog", "EditCompPcbBox.rotation=90",
    "--dialog", "EditLineBox.width=.02", "--dialog", "EditLineBox.contiguous=1"};

TEST_F(EditRun, EditsAndDeletesGiveTheExpectedFileAndUndoAllGivesTheOriginal) {
  const std::string original = run("");
  const std::string edited = run(kEdits, kAnswers);
  EXPECT_EQ(edited, readWhole(fs::path(TRELMO_TEST_DATA) / "edit" / "edited_demo.pcb"));
  EXPECT_NE(last.err.find("window: QueryPadBox: signal=VCC; pin=1;"), std::string::npos) << last.err;
  // Un-Do All gives back every item (the active layer, a setting, stays).
  const std::string undone = run(std::string(kEdits) + " <UA>", kAnswers);
  EXPECT_EQ(undone.substr(undone.find("Primary Data File:")), original.substr(original.find("Primary Data File:")));
}

}  // namespace
}  // namespace trelmo::testing
