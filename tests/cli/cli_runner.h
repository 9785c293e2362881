// Runs trelmo-cli with its arguments as given (no shell quoting) in a folder
// of the test's own, and keeps what it wrote to stdout and stderr.
#pragma once
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

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

}  // namespace trelmo::testing
