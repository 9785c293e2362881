// trelmo-cli convert and the editor's File Save (from a macro) killed at
// random moments, over and over: the target always holds either its old
// contents or the whole new file, never a part and never nothing.
// TRELMO_KILL_RUNS sets the number of kills per test (10 by default).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

void spit(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

// The example board with some tens of thousands of lines more, so that the
// write takes long enough to be hit.
std::string bigBoard() {
  std::string board = slurp(std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb");
  const size_t end = board.rfind("END OF FILE");
  if (end == std::string::npos) return {};
  board.resize(end);
  for (int i = 0; i < 40000; ++i) {
    const int x = i % 400, y = i / 400;
    board += "1 3 .01 " + std::to_string(x * .01) + " " + std::to_string(y * .01) + " " + std::to_string(x * .01 + .1) +
             " " + std::to_string(y * .01) + " NET" + std::to_string(i % 50) + "\r\n";
  }
  return board + "END OF FILE\r\n";
}

pid_t start(std::vector<std::string> args) {
  std::string program = TRELMO_CLI;
  std::vector<char*> argv{program.data()};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int waitFor(pid_t pid) {
  int st = 0;
  while (waitpid(pid, &st, 0) < 0 && errno == EINTR) {
  }
  return st;
}

class SaveKill : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("trelmo-kill-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    board = bigBoard();
    ASSERT_FALSE(board.empty());
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs the command once to its end, then again and again, each time with
  // `target` holding `old` first and killed at a random moment of the time
  // a whole run takes (and a little after).
  void killAtRandom(const std::vector<std::string>& args, const fs::path& target, const std::string& old) {
    spit(target, old);
    const auto begin = Clock::now();
    const pid_t first = start(args);
    ASSERT_GT(first, 0);
    const int st = waitFor(first);
    ASSERT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
    const auto whole = Clock::now() - begin;
    const std::string fresh = slurp(target);
    ASSERT_TRUE(fresh.ends_with("END OF FILE\r\n"));
    ASSERT_NE(fresh, old);

    const char* env = std::getenv("TRELMO_KILL_RUNS");
    const int runs = env ? std::atoi(env) : 10;
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(whole).count();
    std::uniform_int_distribution<long> moment(0, span + span / 5);
    int oldKept = 0, newWhole = 0;
    for (int run = 0; run < runs; ++run) {
      spit(target, old);
      const pid_t pid = start(args);
      ASSERT_GT(pid, 0);
      std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
      kill(pid, SIGKILL);
      waitFor(pid);
      ASSERT_TRUE(fs::exists(target)) << "run " << run << " of seed " << seed << " left no file at all";
      const std::string now = slurp(target);
      if (now == old) {
        ++oldKept;
      } else {
        ASSERT_EQ(now.size(), fresh.size()) << "run " << run << " of seed " << seed << " left a part of the file";
        ASSERT_TRUE(now == fresh) << "run " << run << " of seed " << seed << " left a damaged file";
        ++newWhole;
      }
    }
    std::printf("%d kills in %ld us: the old file kept %d times, the whole new file %d times\n", runs, span, oldKept,
                newWhole);
  }

  fs::path dir;
  std::string board;
};

TEST_F(SaveKill, ConvertKilledAtRandomLeavesTheOldOrTheWholeNewFile) {
  spit(dir / "big.pcb", board);
  killAtRandom({"convert", (dir / "big.pcb").string(), (dir / "out.pcb").string()}, dir / "out.pcb",
               "the previous version\r\n");
}

// The editor's File Save, run from a macro: the file is saved over itself,
// with the previous version kept in the Backup folder on the first save.
TEST_F(SaveKill, FileSaveKilledAtRandomLeavesTheOldOrTheWholeNewFile) {
  killAtRandom({"run", (dir / "big.pcb").string(), "--macro", "<FS>"}, dir / "big.pcb", board);
}

}  // namespace
