// A save that cannot be completed reports failure and leaves the previous
// file exactly as it was, with no temporary file left behind.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "files/writer.h"
#include "writer_test_util.h"

namespace trelmo::testing {
namespace {

class SafeSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file = newDesignFile(ctx, dir / "board.pcb");
    boardLayers(ctx);
    for (int i = 0; i < 5000; ++i) addLine(ctx, file, 3, 655, i * 100, 0, i * 100 + kInch, kInch, "NET");
    spit(dir / "board.pcb", old);
  }
  bool onlyBoardLeft() { return folderEntries(dir.path) == std::vector<std::string>{"board.pcb"}; }
  Context ctx;
  ScratchDir dir;
  Handle file = kNull;
  const std::string old = "previous version\r\n";
};

TEST_F(SafeSaveTest, CompleteSaveReplacesFileAndKeepsItsPermissions) {
  ASSERT_EQ(chmod((dir / "board.pcb").c_str(), 0640), 0);
  ASSERT_TRUE(writeDesignFile(ctx, dir / "board.pcb", 'C'));
  EXPECT_TRUE(slurp(dir / "board.pcb").ends_with("END OF FILE\r\n"));
  struct stat st {};
  ASSERT_EQ(stat((dir / "board.pcb").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_TRUE(onlyBoardLeft());
}

TEST_F(SafeSaveTest, MissingFolderOrFolderTargetFailsWithTheReason) {
  ctx.rec(file).size |= kFileModified;
  std::string reason;
  EXPECT_FALSE(writeDesignFile(ctx, dir / "missing/board.pcb", 'C', &reason));
  EXPECT_EQ(reason, std::strerror(ENOENT));
  EXPECT_TRUE(fileModified(ctx.rec(file)));
  std::filesystem::remove(dir / "board.pcb");
  std::filesystem::create_directory(dir / "board.pcb");
  EXPECT_FALSE(writeDesignFile(ctx, dir / "board.pcb", 'C', &reason));
  EXPECT_EQ(reason, std::strerror(EISDIR));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "board.pcb"));
  EXPECT_TRUE(onlyBoardLeft());
}

// A file size limit makes the write itself fail half way, as a full disk
// would. It runs in a child process so that the limit stays there.
TEST_F(SafeSaveTest, WriteErrorHalfWayKeepsOldFileByteForByte) {
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100000, 100000};  // the file is about 150 kB
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string reason;
    if (writeDesignFile(ctx, dir / "board.pcb", 'C', &reason)) _exit(1);
    _exit(reason == std::strerror(EFBIG) ? 0 : 2);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 1) << "the failed save reported success";
  EXPECT_NE(WEXITSTATUS(status), 2) << "the failure did not carry the system's reason";
  EXPECT_TRUE(slurp(dir / "board.pcb") == old);
  EXPECT_TRUE(onlyBoardLeft());
}

TEST_F(SafeSaveTest, ReadOnlyFolderFailsAndKeepsOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind root";
  ASSERT_EQ(chmod(dir.path.c_str(), 0555), 0);
  EXPECT_FALSE(writeDesignFile(ctx, dir / "board.pcb", 'C'));
  chmod(dir.path.c_str(), 0755);
  EXPECT_TRUE(slurp(dir / "board.pcb") == old);
}

TEST_F(SafeSaveTest, SaveThroughALinkReplacesTheFileItNames) {
  std::filesystem::create_directory(dir / "real");
  std::filesystem::rename(dir / "board.pcb", dir / "real/board.pcb");
  std::filesystem::create_symlink("real/board.pcb", dir / "board.pcb");
  ASSERT_TRUE(writeDesignFile(ctx, dir / "board.pcb", 'C'));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "board.pcb"));
  EXPECT_TRUE(slurp(dir / "real/board.pcb").ends_with("END OF FILE\r\n"));
}

}  // namespace
}  // namespace trelmo::testing
