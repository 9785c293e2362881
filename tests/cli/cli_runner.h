// Runs trelmo-cli with its arguments as given (no shell quoting) in a folder
// of the test's own, and keeps what it wrote to stdout and stderr.
#pragma once
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace trelmo::testing {

struct CliResult {
  int status = -1;
  std::string out, err;
};

inline std::string readWhole(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

inline bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// `dir` is the current folder of the run and holds its output files.
inline CliResult runCli(const std::vector<std::string>& args, const std::filesystem::path& dir) {
  const std::filesystem::path outFile = dir / ".cli-stdout", errFile = dir / ".cli-stderr";
  std::vector<char*> argv;
  std::string program = TRELMO_CLI;
  argv.push_back(program.data());
  std::vector<std::string> copies = args;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  CliResult r;
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || chdir(dir.c_str()) != 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int st = 0;
  if (pid < 0 || waitpid(pid, &st, 0) != pid) return r;
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  r.out = readWhole(outFile);
  r.err = readWhole(errFile);
  std::filesystem::remove(outFile);
  std::filesystem::remove(errFile);
  return r;
}

// A folder of the test's own: the current folder of its runs and their data
// home, removed afterwards.
class CliFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + std::to_string(::getpid()) + "-" + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    dir = std::filesystem::temp_directory_path() / ("trelmo-" + name);
    std::filesystem::create_directories(dir);
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  CliResult cli(const std::vector<std::string>& args) const { return runCli(args, dir); }
  static std::string demo() { return std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb"; }
  std::filesystem::path dir;
};

}  // namespace trelmo::testing
