// A fixture for macros run on the example board through trelmo-cli run, in a
// folder of the test's own.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_runner.h"

namespace trelmo::testing {

class ExampleBoardRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() /
          ("trelmo-" + std::string(info->test_suite_name()) + "-" + std::to_string(::getpid()) + "-" + info->name());
    std::filesystem::create_directories(dir);
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  // Runs the macro on the example board and returns the saved file.
  std::string run(const std::string& macro, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"run", std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb", "--macro", macro};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back("-o");
    args.push_back((dir / "out.pcb").string());
    last = runCli(args, dir);
    EXPECT_EQ(last.status, 0) << last.err;
    return readWhole(dir / "out.pcb");
  }
  std::filesystem::path dir;
  CliResult last;
};

}  // namespace trelmo::testing
