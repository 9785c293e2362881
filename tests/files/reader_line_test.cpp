// The line reader and raw access of InputFile.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "files/input_file.h"

namespace trelmo {
namespace {

using Lines = std::vector<std::string>;

Lines allLines(std::string_view data) {
  InputFile in;
  in.openMemory(data);
  Lines lines;
  std::string line;
  while (in.nextLine(line)) lines.push_back(line);
  return lines;
}

TEST(ReaderLines, LineEndsNulAndTabs) {
  EXPECT_EQ(allLines("a\nb\r\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(allLines("a\r\rb\n\n"), (Lines{"a", "", "b", ""}));
  EXPECT_EQ(allLines("a\n\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(allLines(""), Lines{});
  EXPECT_EQ(allLines(std::string_view("a\0b", 3)), Lines{"a\377b"});
  EXPECT_EQ(allLines("abc\tx\t"), Lines{"abc     x       "});
  EXPECT_EQ(allLines("1234567\t8"), Lines{"1234567 8"});
}

TEST(ReaderLines, LongLinesAreCutAndContinue) {
  EXPECT_EQ(allLines(std::string(1005, 'a') + "\nc\n"), (Lines{std::string(1000, 'a'), "aaaaa", "c"}));
  // Exactly 1000 characters: no empty line after it.
  EXPECT_EQ(allLines(std::string(1000, 'x') + "\r\ny"), (Lines{std::string(1000, 'x'), "y"}));
  // A tab at the edge fills only up to the limit.
  EXPECT_EQ(allLines(std::string(996, 'x') + "\tz"), (Lines{std::string(996, 'x') + "    ", "z"}));
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
  in.openMemory("ab");  // a zero limit still advances
  int n = 0;
  while (in.nextRawLine(line, 0) && n < 10) ++n;
  EXPECT_EQ(n, 2);
}

// Lines, CR LF pairs and raw reads that straddle a 64 KiB block boundary
// come out whole, and raw bytes follow the last line taken.
TEST(ReaderLines, FileBlocksJoinSeamlessly) {
  const std::string path = ::testing::TempDir() + "reader_blocks_" + std::to_string(::getpid()) + ".txt";
  const std::string data =
      std::string(InputFile::kBlock - 1, 'q') + "\r\nsecond\n\x1a" + std::string(3 * InputFile::kBlock, 'r');
  std::ofstream(path, std::ios::binary) << data;
  InputFile in;
  ASSERT_TRUE(in.open(path));
  EXPECT_EQ(in.size(), data.size());
  EXPECT_EQ(in.firstBlock().size(), InputFile::kBlock);
  std::string line;
  size_t total = 0;
  while (in.nextLine(line) && line != "second") total += line.size();
  EXPECT_EQ(total, InputFile::kBlock - 1);
  EXPECT_EQ(in.getByte(), 26);
  std::vector<char> rest(4 * InputFile::kBlock);
  EXPECT_EQ(in.read(rest.data(), rest.size()), 3 * InputFile::kBlock);
  EXPECT_EQ(in.getByte(), -1);
  in.rewind();
  ASSERT_TRUE(in.nextLine(line));
  EXPECT_EQ(line, std::string(1000, 'q'));
  std::remove(path.c_str());
  EXPECT_FALSE(in.open(path));
  EXPECT_FALSE(in.open(::testing::TempDir()));  // a folder
}

// Random text full of line ends, tabs, NULs and overlong lines, read from a
// file of several blocks, splits exactly as the rules taken one character at
// a time say.
Lines plainSplit(const std::string& d) {
  Lines out;
  std::string line;
  size_t col = 0, i = 0;
  bool open = false;
  auto takeIf = [&](char c) { return i < d.size() && d[i] == c ? (++i, true) : false; };
  while (i < d.size()) {
    const char c = d[i];
    open = true;
    if (c == '\n' || c == '\r') {
      ++i;
      if (c == '\r') takeIf('\n');
    } else if (col >= InputFile::kMaxLine) {
      if (!takeIf('\n') && takeIf('\r')) takeIf('\n');
    } else {
      ++i;
      if (c == '\t') {
        const size_t to = std::min((col / 8 + 1) * 8, InputFile::kMaxLine);
        line.append(to - col, ' ');
        col = to;
      } else {
        line.push_back(c == '\0' ? static_cast<char>(255) : c);
        ++col;
      }
      continue;
    }
    out.push_back(line);
    line.clear(), col = 0, open = false;
  }
  if (open) out.push_back(line);
  return out;
}

TEST(ReaderLines, RandomTextSplitsAsCharacterByCharacter) {
  std::mt19937 rng(22);
  std::string data;
  const char special[] = {'\n', '\r', '\t', '\0'};
  while (data.size() < 3 * InputFile::kBlock) {
    const int run = rng() % 7 == 0 ? static_cast<int>(rng() % 1300) : static_cast<int>(rng() % 40);
    for (int k = 0; k < run; ++k) data.push_back(static_cast<char>('a' + rng() % 26));
    data.push_back(special[rng() % 4]);
  }
  const std::string path = ::testing::TempDir() + "reader_random_" + std::to_string(::getpid()) + ".txt";
  std::ofstream(path, std::ios::binary) << data;
  InputFile in;
  ASSERT_TRUE(in.open(path));
  Lines got;
  std::string line;
  while (in.nextLine(line)) got.push_back(line);
  std::remove(path.c_str());
  EXPECT_EQ(got, plainSplit(data));
  EXPECT_EQ(allLines(data), got);
}

}  // namespace
}  // namespace trelmo
