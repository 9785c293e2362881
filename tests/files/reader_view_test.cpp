// The reader chain's choice of reader, the text and hexdump views, and
// damaged input of every kind.
#include <cstring>
#include <random>

#include "files/reader_fixture.h"
#include "files/reader_formats.h"

namespace trelmo::test {
namespace {

using ViewReader = ReaderTest;

TEST(HexdumpRows, FullAndPartialRows) {
  const uint8_t digits[] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
  EXPECT_EQ(hexdumpRow(0, digits, 16),
            "000000:   30 31 32 33  34 35 36 37  38 39 41 42  43 44 45 46     |0123456789ABCDEF|");
  const uint8_t odd[] = {0x00, 0x41, 0xFF};
  EXPECT_EQ(hexdumpRow(0x10, odd, 3), "000010:   00 41 FF " + std::string(46, ' ') + "|.A.|");
  EXPECT_EQ(hexdumpRow(0x1234567, odd + 1, 1).substr(0, 14), "1234567:   41 ");
}

TEST_F(ViewReader, TextFilesBecomeOneTextItemPerLine) {
  ASSERT_EQ(read("first line\r\nsecond\tx\n\nfourth"), kFormatText);
  EXPECT_STREQ(ctx.params.layers[0].name, "TXT");
  EXPECT_EQ(ctx.params.layers[0].kind(), kDrawing);
  const auto list = items();
  ASSERT_EQ(list.size(), 3u);  // the empty third line makes no item
  const Record& first = rec(list[0]);
  EXPECT_EQ(first.layer, 0);
  EXPECT_EQ(first.size, 42);
  EXPECT_EQ(first.x1, 0);
  EXPECT_EQ(first.y1, -66);
  EXPECT_EQ(item::textLength(first), 42 * 10);
  EXPECT_EQ(item::textAnchor(first), 0);
  EXPECT_EQ(item::textFont(first), 15);
  EXPECT_EQ(readText(ctx, list[1]), "second\tx");  // tabs are kept
  EXPECT_EQ(rec(list[1]).y1, -131);
  EXPECT_EQ(rec(list[2]).y1, -262);
  EXPECT_EQ(readText(ctx, list[2]), "fourth");
}

TEST_F(ViewReader, SeventeenOddBytesMakeAHexdump) {
  ASSERT_EQ(read("hello" + std::string(16, '\x01') + "\xe6\xea\xab\xac"), kFormatText);
  EXPECT_EQ(readText(ctx, items()[0]).substr(0, 6), "hello\x01");  // sixteen: still text
  Context ctx(host);
  newDesignFile(ctx, "odd.pcb");
  InputFile in;
  in.openMemory("hello" + std::string(17, '\x01'));
  ASSERT_EQ(readerChain(ctx, in, kHintNone), kFormatText);
  const Handle first = ctx.rec(ctx.current).next;
  EXPECT_EQ(readText(ctx, first).substr(0, 16), "000000:   68 65 ");
  EXPECT_EQ(ctx.rec(ctx.rec(first).next).y1, -131);
}

TEST_F(ViewReader, HintsChooseTheView) {
  ASSERT_EQ(read("TRELMO Version 4.00\r\n1 3 .01 0 0 1 1\r\n", kHintText), kFormatText);
  EXPECT_EQ(readText(ctx, items()[0]), "TRELMO Version 4.00");

  Context other(host);
  newDesignFile(other, "other.pcb");
  InputFile in;
  in.openMemory("plain text\n");
  ASSERT_EQ(readerChain(other, in, kHintHexdump), kFormatText);
  const Handle row = other.rec(other.current).next;
  EXPECT_EQ(readText(other, row).substr(0, 13), "000000:   70 ");
  EXPECT_EQ(other.params.limits[2], mils(100));
}

TEST_F(ViewReader, AbsurdFieldsAreHeldInRange) {
  ASSERT_EQ(read("TRELMO Version 4.00\r\n"
                 "1 999 99999999999 99999999999999.9 -99999999999999 1 1 NAME\r\n"
                 "3 3 300 0 0 70 -5 1000.0 99999999 9999999999999999 S\r\n"
                 "2\r\n3 \r\n6 \r\n0 \r\n7 3\r\n"),
            kFormatV4);
  const auto list = items();
  ASSERT_EQ(list.size(), 4u);  // "6 " and "0 " made an empty component, which went
  EXPECT_EQ(rec(list[0]).size, 65535);
  EXPECT_EQ(rec(list[0]).x1, INT32_MAX);
  EXPECT_EQ(rec(list[0]).y1, INT32_MIN);
  EXPECT_EQ(item::padY(rec(list[1])), 0);
  EXPECT_EQ(item::padHole(rec(list[1])), 65535);
  EXPECT_EQ(rec(list[3]).type(), kContainer);
}

// Every prefix of a file with a picture, and random damage to it, reads
// without a crash and without touching more than the file holds.
TEST(DamagedInput, PrefixesAndMutationsOfAFileWithAPicture) {
  std::string data =
      "TRELMO Version 4.00\r\n-y1\r\n-y3:00FF0000,00FF0000,2,3,Top Copper\r\n"
      "6 3 0 0 0 1 1 P\x7fR1\r\n1 3 0 0 0 1 1\r\n1 3 0 1 0\r\n0 6 0 0 0\r\n"
      "Pixel image (1.0,1.0): x.bmp\r\n$1 3 3 1 0 0 .06 .06 .03 0 1 N\r\n"
      "END OF FILE\r\nPixel image follows EOF\r\n\x1a";
  std::string header(kImageHeaderSize, '\0');
  const uint32_t fields[] = {4, 4, 2, 100, 8, 0};
  std::memcpy(header.data(), "PIX98a", 6);
  std::memcpy(header.data() + 8, fields, sizeof fields);
  data += header + std::string(8, '\x7f');

  RecordingHost host;
  auto readOnce = [&](std::string_view bytes) {
    Context ctx(host);
    newDesignFile(ctx, "damaged.pcb");
    InputFile in;
    in.openMemory(bytes);
    EXPECT_NE(readerChain(ctx, in, kHintNone), 0);
  };
  for (size_t n = 0; n <= data.size(); n += 13) readOnce(std::string_view(data).substr(0, n));
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    std::string damaged = data;
    for (int k = 0; k < 8; ++k) damaged[rng() % damaged.size()] = static_cast<char>(rng());
    readOnce(damaged);
  }
}

}  // namespace
}  // namespace trelmo::test
