// A fixture for macros run on the example board through trelmo-cli run, in a
// folder of the test's own.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_runner.h"

namespace trelmo::testing {

class ExampleBoardRun : public CliFolder {
 protected:
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
  CliResult last;
};

}  // namespace trelmo::testing
