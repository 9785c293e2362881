// Editing and deleting on the example board from a trelmo-cli run macro:
// the saved file against a checked expected file, and Un-Do All back to the
// original.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "cli/example_run.h"

namespace fs = std::filesystem;

namespace trelmo::testing {
namespace {

using EditRun = ExampleBoardRun;

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
