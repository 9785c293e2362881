// File Save with its backup of the previous file, the old-format question,
// and autosave.
#include "files/writer.h"
#include "files/writer_save.h"
#include "writer_test_util.h"

namespace trelmo::testing {
namespace {

class BackupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir / "work");
    ctx.paths.data = dir / "data";
    spit(path, "opened version\r\n");
    file = newDesignFile(ctx, path);
    boardLayers(ctx);
    ctx.params.format = 'C';
    addLine(ctx, file, 3, 655, 0, 0, kInch, 0, "GND");
  }
  bool backedUp() { return (ctx.rec(file).size & kFileBackedUp) != 0; }
  RecordingHost host;
  Context ctx{host};
  ScratchDir dir;
  std::string path = dir / "work/board.pcb";
  Handle file = kNull;
};

TEST_F(BackupTest, FirstSaveMovesPreviousFileIntoBackupFolderOnce) {
  std::filesystem::create_directories(dir / "data/Backup");
  spit(dir / "data/Backup/board.pcb", "older backup\r\n");
  ASSERT_TRUE(saveDesignFile(ctx, file));
  EXPECT_EQ(slurp(dir / "data/Backup/board.pcb"), "opened version\r\n");
  EXPECT_TRUE(slurp(path).ends_with("1 3 .01 0 0 1.0 0 GND\r\n\r\nEND OF FILE\r\n"));
  EXPECT_TRUE(backedUp());
  ASSERT_TRUE(saveDesignFile(ctx, file));
  EXPECT_EQ(slurp(dir / "data/Backup/board.pcb"), "opened version\r\n");  // not the first save's file
  EXPECT_EQ(folderEntries(dir / "work"), std::vector<std::string>{"board.pcb"});
}

TEST_F(BackupTest, BakBesideFileWhenBackupFolderCannotBeMade) {
  spit(dir / "data", "a file where the data folder should be");
  spit(path + ".bak", "older bak\r\n");
  ASSERT_TRUE(saveDesignFile(ctx, file));
  EXPECT_EQ(slurp(path + ".bak"), "opened version\r\n");
  EXPECT_TRUE(slurp(path).ends_with("END OF FILE\r\n"));
}

TEST_F(BackupTest, FileInsideTheBackupFolderIsKeptAsBak) {
  std::filesystem::create_directories(dir / "data/Backup");
  spit(dir / "data/Backup/board.pcb", "a backup opened by itself\r\n");
  ASSERT_TRUE(backupFile(ctx, file, dir / "data/Backup/board.pcb"));
  EXPECT_EQ(slurp(dir / "data/Backup/board.pcb.bak"), "a backup opened by itself\r\n");
}

TEST_F(BackupTest, FailedWriteMakesNoBackup) {
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);  // a folder cannot be replaced
  EXPECT_FALSE(saveDesignFile(ctx, file));
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_FALSE(backedUp());
}

// Only version 4 files are saved under their own name; the File functions
// ask about old DOS files and take other formats to Save As.
TEST_F(BackupTest, OnlyVersion4FilesAreSavedUnderTheirName) {
  for (char format : {'3', '2', 'G'}) {
    ctx.params.format = format;
    EXPECT_FALSE(saveDesignFile(ctx, file));
  }
  EXPECT_TRUE(host.questions.empty());
  EXPECT_EQ(slurp(path), "opened version\r\n");
  ctx.params.format = 'C';
  EXPECT_TRUE(saveDesignFile(ctx, file));
}

TEST_F(BackupTest, AutosaveWritesModifiedFileAndClearsFlag) {
  EXPECT_TRUE(autosave(ctx, file));  // not modified: nothing to do
  EXPECT_FALSE(std::filesystem::exists(dir / "data/Autosave"));
  ctx.rec(file).size |= kFileModified;
  ASSERT_TRUE(autosave(ctx, file));
  EXPECT_FALSE(fileModified(ctx.rec(file)));
  // The changes are in the Autosave folder only: the file is still unsaved.
  EXPECT_TRUE(fileUnsaved(ctx.rec(file)));
  ASSERT_TRUE(writeDesignFile(ctx, dir / "copy.pcb", 'C'));
  EXPECT_FALSE(fileUnsaved(ctx.rec(file)));
  EXPECT_EQ(slurp(dir / "data/Autosave/board.pcb"), slurp(dir / "copy.pcb"));
  EXPECT_EQ(slurp(path), "opened version\r\n");
  EXPECT_FALSE(backedUp());
}

TEST_F(BackupTest, AutosaveGivesUpQuietlyWhenFolderCannotBeMade) {
  spit(dir / "data", "not a folder");
  ctx.rec(file).size |= kFileModified;
  EXPECT_FALSE(autosave(ctx, file));
  EXPECT_TRUE(fileModified(ctx.rec(file)));
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace trelmo::testing
