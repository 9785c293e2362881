// Grabbing, moving, turning and dropping from a trelmo-cli run macro, and the
// undo that gives back the file as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "cli/example_run.h"

namespace fs = std::filesystem;

namespace trelmo::testing {
namespace {

using GrabRun = ExampleBoardRun;

TEST_F(GrabRun, APadMovedDroppedAndUndoneGivesTheOriginalFile) {
  const std::string original = run("");
  const std::string moved = run("\"1.5,.8\" CR <GP> \"2,2\" CR CR");
  EXPECT_NE(moved.find("3 0 3 2.0 2.0 .05 .05 .028 0 0 TRIG\r\n"), std::string::npos) << moved;
  EXPECT_EQ(moved.find("3 0 3 1.5 .8 "), std::string::npos);
  const std::string undone = run("\"1.5,.8\" CR <GP> \"2,2\" CR CR <UU>");
  EXPECT_EQ(undone, original);
  // Re-Do puts the move back.
  EXPECT_EQ(run("\"1.5,.8\" CR <GP> \"2,2\" CR CR <UU> <UE>"), moved);
}

TEST_F(GrabRun, AComponentTurnedAndScaledThroughItsBoxIsUndoneWhole) {
  const std::string original = run("");
  const std::string changed =
      run("\"2.2,1.3\" CR <GO> <GR> <GS> \"2.5,2\" CR CR", {"--dialog", "ScalingFactorBox.factor=2.0"});
  EXPECT_NE(changed, original);
  EXPECT_EQ(run("\"2.2,1.3\" CR <GO> <GR> <GS> \"2.5,2\" CR CR <UU>", {"--dialog", "ScalingFactorBox.factor=2.0"}),
            original);
}

TEST_F(GrabRun, WhatIsStillOnTheCursorAtTheEndIsPutBackBeforeSaving) {
  const std::string original = run("");
  EXPECT_EQ(run("\"1.5,.8\" CR <GP> \"2,2\" CR"), original);
}

}  // namespace
}  // namespace trelmo::testing
