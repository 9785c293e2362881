// The line reader and raw access of InputFile.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "files/input_file.h"

namespace trelmo {
namespace {

std::vector<std::string> allLines(std::string_view data) {
  InputFile in;
  in.openMemory(data);
  std::vector<std::string> lines;
  std::string line;
  while (in.nextLine(line)) lines.push_back(line);
  return lines;
}

using Lines = std::vector<std::string>;

TEST(ReaderLines, EndsAtLfCrLfAndLoneCr) {
  EXPECT_EQ(allLines("a\nb\r\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(allLines("a\r\rb\n\n"), (Lines{"a", "", "b", ""}));
  EXPECT_EQ(allLines("a\n\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(allLines(""), Lines{});
  EXPECT_EQ(allLines("\n"), Lines{""});
}

TEST(ReaderLines, NulBecomes255AndTabsExpandToEightColumns) {
  EXPECT_EQ(allLines(std::string_view("a\0b", 3)), Lines{"a\xff" "b"});
  EXPECT_EQ(allLines("\tx"), Lines{"        x"});
  EXPECT_EQ(allLines("abc\tx\t"), Lines{"abc     x       "});
  EXPECT_EQ(allLines("1234567\t8"), Lines{"1234567 8"});
}

TEST(ReaderLines, LongLinesAreCutAndContinue) {
  const std::string data = std::string(1000, 'a') + std::string(5, 'b') + "\nc\n";
  const Lines lines = allLines(data);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], std::string(1000, 'a'));
  EXPECT_EQ(lines[1], "bbbbb");
  EXPECT_EQ(lines[2], "c");
  // Exactly 1000 characters: no empty line after it.
  EXPECT_EQ(allLines(std::string(1000, 'x') + "\r\ny"), (Lines{std::string(1000, 'x'), "y"}));
  // A tab at the edge fills only up to the limit.
  const Lines tabbed = allLines(std::string(996, 'x') + "\tz");
  ASSERT_EQ(tabbed.size(), 2u);
  EXPECT_EQ(tabbed[0].size(), 1000u);
  EXPECT_EQ(tabbed[1], "z");
}

TEST(ReaderLines, RawLinesKeepTabsAndStopAtTheLimit) {
  InputFile in;
  in.openMemory("a\tb\r\nxyz12\n");
  std::string line;
  ASSERT_TRUE(in.nextRawLine(line, 512));
  EXPECT_EQ(line, "a\tb");
  ASSERT_TRUE(in.nextRawLine(line, 3));
  EXPECT_EQ(line, "xyz");
  ASSERT_TRUE(in.nextRawLine(line, 3));
  EXPECT_EQ(line, "12");
  EXPECT_FALSE(in.nextRawLine(line, 3));
  // A zero limit still advances.
  in.openMemory("ab");
  int n = 0;
  while (in.nextRawLine(line, 0) && n < 10) ++n;
  EXPECT_EQ(n, 2);
}

TEST(ReaderLines, BytesAfterLinesAndRewind) {
  InputFile in;
  in.openMemory("Pixel image follows EOF\r\n\x1aPIX");
  std::string line;
  ASSERT_TRUE(in.nextLine(line));
  EXPECT_EQ(in.getByte(), 26);
  char buf[8] = {};
  EXPECT_EQ(in.read(buf, 8), 3u);
  EXPECT_EQ(std::string(buf, 3), "PIX");
  EXPECT_EQ(in.getByte(), -1);
  in.rewind();
  EXPECT_EQ(in.position(), 0u);
  EXPECT_EQ(in.getByte(), 'P');
}

// Files are read in 64 KiB blocks: lines, CR LF pairs and raw reads that
// straddle a block boundary come out whole.
TEST(ReaderLines, FileBlocksJoinSeamlessly) {
  const std::string path = ::testing::TempDir() + "reader_blocks.txt";
  std::string data(InputFile::kBlock - 1, 'q');
  data += "\r\nsecond\n";
  data += std::string(3 * InputFile::kBlock, 'r');
  {
    std::ofstream out(path, std::ios::binary);
    out << data;
  }
  InputFile in;
  ASSERT_TRUE(in.open(path));
  EXPECT_EQ(in.size(), data.size());
  EXPECT_EQ(in.firstBlock().size(), InputFile::kBlock);
  std::string line;
  ASSERT_TRUE(in.nextLine(line));
  EXPECT_EQ(line.size(), 1000u);
  size_t total = line.size();
  int count = 1;
  while (in.nextLine(line) && line != "second") {
    total += line.size();
    ++count;
  }
  EXPECT_EQ(total, InputFile::kBlock - 1);
  EXPECT_EQ(line, "second");
  std::vector<char> rest(4 * InputFile::kBlock);
  EXPECT_EQ(in.read(rest.data(), rest.size()), 3 * InputFile::kBlock);
  in.rewind();
  ASSERT_TRUE(in.nextLine(line));
  EXPECT_EQ(line, std::string(1000, 'q'));
  std::remove(path.c_str());
  EXPECT_FALSE(in.open(path));
}

}  // namespace
}  // namespace trelmo
