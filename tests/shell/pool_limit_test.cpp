// Filling the record pool: File Open and File Load stop with a box that names
// the limit, and every open design stays whole and usable.
#include "files/pool_limit.h"

#include <gtest/gtest.h>

#include <fstream>

#include "database/design_files.h"
#include "database/walk.h"
#include "editor_bench.h"
#include "shell/dispatch.h"
#include "shell/file_functions.h"
#include "shell/function_codes.h"

namespace trelmo {
namespace {

using testing::ScriptedHost;
using testing::TempDir;

size_t itemCount(const Context& ctx, Handle file) {
  size_t n = 0;
  for (Handle cursor = file; anyItem(ctx.pool, cursor) != 0;) ++n;
  return n;
}

// A board of `lines` lines: 70,000 are more than two pool blocks hold.
std::string bigBoard(const TempDir& dir, int lines) {
  const std::string path = dir.file("big.pcb");
  std::ofstream f(path, std::ios::binary);
  f << "TRELMO Version 4.0 -- Data File.\r\n";
  for (int i = 0; i < lines; ++i) f << "1 3 .01 " << i % 100 << " " << i / 100 << " 1 1 N" << i % 7 << "\r\n";
  f << "END OF FILE\r\n";
  return path;
}

struct Editor : testing::EditorBench {
  // The pool may grow by `blocks` more blocks from here.
  void limitTo(int blocks) { ctx.pool.setBlockLimit(ctx.pool.blockCount() + blocks); }
};

void expectLimitBox(const ScriptedHost& host, const std::string& file) {
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.boxes.back().first, "TRELMO'98 Memory Limit");
  const std::string& text = host.boxes.back().second;
  EXPECT_NE(text.find("The record pool is full"), std::string::npos) << text;
  EXPECT_NE(text.find("blocks of 29127 records"), std::string::npos) << text;
  EXPECT_NE(text.find(file), std::string::npos) << text;
}

TEST(PoolLimit, TheTextNamesTheLimit) {
  RecordPool pool;
  EXPECT_EQ(poolLimitText(pool),
            "The record pool is full: 256 of 256 blocks of 29127 records (1 MiB each) are in use.");
  pool.setBlockLimit(3);
  EXPECT_NE(poolLimitText(pool).find("3 of 3 blocks"), std::string::npos);
}

TEST(PoolLimit, AFileThatFillsThePoolIsNotOpenedAndTheOpenOneStaysWhole) {
  Editor e;
  const std::string board = e.dir.example("demo.pcb");
  ASSERT_TRUE(openFileByName(e.ctx, board, 0));
  const size_t before = itemCount(e.ctx, e.ctx.current);
  const std::string big = bigBoard(e.dir, 70000);
  e.limitTo(1);
  EXPECT_FALSE(openFileByName(e.ctx, big, 0));
  expectLimitBox(e.host, big);
  // Nothing of the part read is left: the board is current, whole, and the
  // pool has its records back for the next operation.
  EXPECT_EQ(openFileCount(e.ctx), 1);
  EXPECT_EQ(filePath(e.ctx, e.ctx.current), board);
  EXPECT_EQ(itemCount(e.ctx, e.ctx.current), before);
  EXPECT_GT(e.ctx.pool.freeCount(), 30000u);
  const std::string small = e.dir.example("demo.sch");
  EXPECT_TRUE(openFileByName(e.ctx, small, 0));
  EXPECT_EQ(openFileCount(e.ctx), 2);
}

TEST(PoolLimit, ALoadThatWouldFillThePoolLeavesTheDesignAsItWas) {
  Editor e;
  const std::string board = e.dir.example("demo.pcb");
  ASSERT_TRUE(openFileByName(e.ctx, board, 0));
  const size_t before = itemCount(e.ctx, e.ctx.current);
  const std::string big = bigBoard(e.dir, 70000);
  e.limitTo(1);
  e.host.pickFile(big);
  executeFunction(e.ctx, fc('F', 'D'), kFromMenuBar);
  expectLimitBox(e.host, big);
  EXPECT_EQ(filePath(e.ctx, e.ctx.current), board);
  EXPECT_EQ(openFileCount(e.ctx), 1);
  EXPECT_EQ(itemCount(e.ctx, e.ctx.current), before);
  EXPECT_FALSE(fileModified(e.ctx.rec(e.ctx.current)));
}

}  // namespace
}  // namespace trelmo
