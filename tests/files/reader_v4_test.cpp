// Reading version 4 data files and editor item texts.
#include <cstdio>
#include <cstring>
#include <fstream>

#include "files/item_lines.h"
#include "files/reader_fixture.h"
#include "files/reader_formats.h"
#include "files/reader_items.h"

namespace trelmo::test {
namespace {

const std::string kBoardHeader =
    "TRELMO Version 4.00 Data File\r\n"
    "-y3\r\n"
    "-y1:00FFFFFF,00FFFFFF,0,1,Top Silk\r\n"
    "-y2:00FF00FF,00FFFFFF,1,2,Top Mask\r\n"
    "-y3:00FF0000,00FF0000,2,3,Top Copper\r\n"
    "-y6:00FFFF00,00FFFFFF,6,6,Wires\r\n"
    "-y12:000000FF,000000FF,10,12,Bottom Copper\r\n"
    "-y14:00FFFFFF,00FFFFFF,8,14,1st Bottom Silk\r\n";

using V4Reader = ReaderTest;

TEST_F(V4Reader, ItemLinesOfEveryType) {
  const std::string text = kBoardHeader +
                           "1 3 .01 1.0 2.0 1.5 2.0 VCC extra\r\n"
                           "2 3 .01 1.0 1.0 .25 90 180 .5 45 GND\r\n"
                           "3 12 2 1.0 1.0 .06 .07 .035 90 A1 CLK\r\n"
                           "4 3 .05 0 0 .3 270 5 2 Hello world\r\n"
                           "4 6 .05 0 0 .3 0 0 0 DATA0\r\n"
                           "4 3 .05 0 0 .3 0 0 0\r\n"
                           "5 3 9 1.0 1.0 2.0 2.0\r\n"
                           "END OF FILE\r\n";
  ASSERT_EQ(read(text), kFormatV4);
  const auto list = items();
  ASSERT_EQ(list.size(), 6u);  // the text without text makes nothing

  const Record& line = rec(list[0]);
  EXPECT_EQ(line.type(), kLine);
  EXPECT_EQ(line.layer, 3);
  EXPECT_EQ(line.size, mils(10));
  EXPECT_EQ(line.w3, kInch * 3 / 2);
  EXPECT_EQ(itemSignal(ctx, list[0]), "VCC");

  const Record& arc = rec(list[1]);
  EXPECT_EQ(item::radius(arc), kInch / 4);
  EXPECT_EQ(item::start(arc), 16384);
  EXPECT_EQ(item::sweep(arc), 32768);
  EXPECT_EQ(item::eccentricity(arc), 32768);
  EXPECT_EQ(item::axisAngle(arc), 8192);
  EXPECT_EQ(itemSignal(ctx, list[1]), "GND");

  const Record& pad = rec(list[2]);
  EXPECT_EQ(pad.layer, 12);
  EXPECT_EQ(item::padType(pad), item::kRectThru);
  EXPECT_EQ(item::padX(pad), mils(60));
  EXPECT_EQ(item::padY(pad), mils(70));
  EXPECT_EQ(item::padHole(pad), mils(35));
  EXPECT_EQ(item::padAngle(pad), 16384);
  EXPECT_EQ(pinName(ctx, list[2]), "A1");
  EXPECT_EQ(itemSignal(ctx, list[2]), "CLK");

  const Record& text1 = rec(list[3]);
  EXPECT_EQ(item::textLength(text1), mils(300));
  EXPECT_EQ(item::textAngle(text1), 49152);
  EXPECT_EQ(item::textAnchor(text1), 5);
  EXPECT_EQ(item::textFont(text1), 2);
  EXPECT_EQ(readText(ctx, list[3]), "Hello world");
  // Text on a Schematic layer is a signal label.
  EXPECT_EQ(itemSignal(ctx, list[4]), "DATA0");

  const Record& reserved = rec(list[5]);
  EXPECT_EQ(reserved.type(), kReserved);
  EXPECT_EQ(reserved.size, 9 << 8);
  EXPECT_EQ(reserved.w4, 2 * kInch);
}

TEST_F(V4Reader, ComponentsAreSortedAndEmptyOnesDropped) {
  const std::string text = kBoardHeader +
                           "0 6 0 0 0\r\n"  // no component open: ignored
                           "6 1 0 0 0 1.0 1.0 DIP\x7fR10\x7f" "10K\x7f\x7f\r\n"
                           "1 1 .01 0 0 1.0 0\r\n"
                           "0 6 0 .5 .5\r\n"
                           "6 1 0 0 0 1.0 1.0 DIP\x7fU1\r\n"
                           "0 6 0 0 0\r\n"
                           "6 1 90 0 0 1.0 1.0 DIP\x7fR2\r\n"
                           "3 3 1 0 0 .06 .06 .03 0 1 NET1\r\n"
                           "0 6 0 .25 .75\r\n"
                           "6 1 0 0 0 1.0 1.0\r\n"
                           "1 1 .01 0 0 1.0 0\r\n"
                           "0 6 0 0 0\r\n";
  ASSERT_EQ(read(text), kFormatV4);
  const auto list = items();
  ASSERT_EQ(list.size(), 3u);  // U1 had no items
  // The component without parameters gets "*", whose reference sorts first.
  EXPECT_EQ(readText(ctx, rec(list[0]).ext), "*");
  EXPECT_EQ(readText(ctx, rec(list[1]).ext), "DIP\x7fR2");
  EXPECT_EQ(rec(list[1]).size, 16384);
  EXPECT_EQ(rec(rec(list[1]).ext).x1, kInch / 4);
  EXPECT_EQ(rec(rec(list[1]).ext).y1, kInch * 3 / 4);
  // Trailing field separators are dropped.
  EXPECT_EQ(readText(ctx, rec(list[2]).ext), "DIP\x7fR10\x7f" "10K");
  EXPECT_EQ(item::owner(rec(rec(list[2]).ext)), list[2]);
  EXPECT_EQ(items(rec(list[1]).ext).size(), 1u);
}

TEST_F(V4Reader, SortKeyComparesReferenceNumbersByValue) {
  ASSERT_EQ(read(kBoardHeader + "6 1 0 0 0 1 1 P\x7fR10\r\n1 1 .01 0 0 1 1\r\n0 6 0 0 0\r\n"
                                "6 1 0 0 0 1 1 P\x7f" "C3\r\n1 1 .01 0 0 1 1\r\n0 6 0 0 0\r\n"
                                "6 1 0 0 0 1 1 P\x7fR9\r\n1 1 .01 0 0 1 1\r\n0 6 0 0 0\r\n"),
            kFormatV4);
  const auto list = items();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_TRUE(componentSortKeyLess(ctx, list[0], list[1]));
  EXPECT_TRUE(componentSortKeyLess(ctx, list[1], list[2]));
  EXPECT_EQ(readText(ctx, rec(list[1]).ext), "P\x7fR9");
}

TEST_F(V4Reader, ItemsAfterAnUnclosedComponentStayInside) {
  ASSERT_EQ(read(kBoardHeader + "6 1 0 0 0 1 1 P\x7fU7\r\n1 1 .01 0 0 1 1\r\n1 3 .01 0 0 2 2\r\n"), kFormatV4);
  const auto list = items();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(items(rec(list[0]).ext).size(), 2u);
}

TEST_F(V4Reader, FilledSolidsFromVertexLinesAndRectangles) {
  const std::string text = kBoardHeader +
                           "1 3 0 0 0 1.0 1.0\r\n"
                           "1 3 0 0 0\r\n"
                           "1 3 0 1.0 0\r\n"
                           "1 3 0 .5 1.0\r\n"
                           "1 2 0 2.0 2.0\r\n"  // other layer: not a vertex of it
                           "1 3 0 -1.0 -1.0 -.5 -.25\r\n"
                           "1 3 .01 5.0 5.0\r\n";  // one-point line of some width: nothing
  ASSERT_EQ(read(text), kFormatV4);
  const auto list = items();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(vertices(list[0]), (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {kInch, 0}, {kInch / 2, kInch}}));
  EXPECT_EQ(vertices(list[1]),
            (std::vector<std::pair<int32_t, int32_t>>{
                {-kInch, -kInch}, {-kInch, -kInch / 4}, {-kInch / 2, -kInch / 4}, {-kInch / 2, -kInch}}));
}

// The arrow of the built-in symbols: in a data file the layer "-1" is a
// library code (silk, a name beginning with "1").
TEST_F(V4Reader, ArrowLayerIsALibraryCodeInFiles) {
  const std::string arrow = "1 -1 0 -.033 0 .033 .099\r\n1 -1 0 0 0\r\n1 -1 0 -.033 0\r\n1 -1 0 .033 0\r\n";
  ASSERT_EQ(read(kBoardHeader + arrow), kFormatV4);
  auto list = items();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(rec(list[0]).layer, 14);
  EXPECT_EQ(vertices(list[0]).size(), 3u);

  ItemBuilder builder(ctx, ctx.current, ItemSyntax::kFile);
  EXPECT_EQ(builder.layerFromCode("CB"), 12);
  EXPECT_EQ(builder.layerFromCode("CX"), 3);  // no copper name with X: the first copper layer
  EXPECT_EQ(builder.layerFromCode("MT"), 2);
  EXPECT_EQ(builder.layerFromCode("S"), 1);
}

TEST_F(V4Reader, ArrowLayerIsTheCurrentLayerInItemTexts) {
  ASSERT_EQ(read(kBoardHeader), kFormatV4);
  ctx.params.currentLayer = 6;
  const std::string arrow = "1 -1 0 -.033 0 .033 .099\r\n1 -1 0 0 0\r\n1 -1 0 -.033 0\r\n1 -1 0 .033 0\r\n";
  ASSERT_TRUE(parseItemText(ctx, ctx.current, arrow, kInch, 0));
  const auto list = items();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(rec(list[0]).layer, 6);
  EXPECT_EQ(vertices(list[0]),
            (std::vector<std::pair<int32_t, int32_t>>{{kInch, 0}, {kInch - mils(33), 0}, {kInch + mils(33), 0}}));
}

TEST_F(V4Reader, BuiltInSymbolComponentThroughTheItemParser) {
  const std::string symbol =
      "6 0 0 -.1 -.045 0 .045 $$SIG\r\n"
      "1 -1 .01 -.1 0 0 0\r\n"
      "3 0 0 -.1 0 .02 .02 0 0 1\r\n"
      "0 6 0 0 0\r\n\x1a"
      "1 1 .01 0 0 1 1\r\n";
  ASSERT_TRUE(parseItemText(ctx, ctx.current, symbol, 0, 0));
  auto list = items();
  ASSERT_EQ(list.size(), 1u);
  const Handle sentinel = rec(list[0]).ext;
  EXPECT_EQ(readText(ctx, sentinel), "$$SIG");
  EXPECT_EQ(rec(sentinel).x1, 0);
  EXPECT_EQ(rec(sentinel).y1, 0);
  EXPECT_EQ(items(sentinel).size(), 2u);

  // With an offset every point moves, sizes do not; empty components stay.
  ASSERT_TRUE(parseItemText(ctx, ctx.current, "6 0 0 0 0 .1 .1 X\n0 6 0 .5 .5\n2 3 .01 0 0 .25 0 360 0 0\n",
                            kInch, 2 * kInch));
  list = items();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(rec(list[1]).x1, kInch);
  EXPECT_EQ(rec(list[1]).w4, 2 * kInch + kInch / 10 + 1);
  EXPECT_EQ(rec(rec(list[1]).ext).x1, kInch + kInch / 2);
  EXPECT_EQ(rec(list[2]).y1, 2 * kInch);
  EXPECT_EQ(item::radius(rec(list[2])), kInch / 4);
}

TEST_F(V4Reader, ItemTextVerticesOnTheSameLineAndTextOnBottomLayers) {
  ASSERT_EQ(read(kBoardHeader), kFormatV4);
  ctx.params.currentLayer = 12;
  const std::string text =
      "1 -1 0 0 0 1 1\x7f" "0 0\x7f" ".1 0\x7f" ".1 .1 SIGNAL\r\n"
      "4 -1 .05 0 0 .3 0 0 0 Bottom\r\n"
      "4 12 .05 0 0 .3 0 0 0 Mirrored\r\n";
  ASSERT_TRUE(parseItemText(ctx, ctx.current, text, 0, 0));
  const auto list = items();
  ASSERT_EQ(list.size(), 3u);
  const auto v = vertices(list[0]);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[2], (std::pair<int32_t, int32_t>{mils(100), mils(100)}));
  EXPECT_EQ(item::textLength(rec(list[1])), -mils(300));
  EXPECT_EQ(item::textLength(rec(list[2])), mils(300));
}

TEST_F(V4Reader, EditorVertexLinesNeedTheSameWord) {
  ASSERT_EQ(read(kBoardHeader + "1 3 0 0 0 1 1\r\n"), kFormatV4);
  const Handle solid = items()[0];
  ASSERT_EQ(vertices(solid).size(), 4u);  // made a rectangle after reading
  ctx.rec(solid).flags |= kHilight;
  ASSERT_TRUE(parseItemText(ctx, ctx.current, "1 3 0 .5 .5\n", 0, 0));
  EXPECT_EQ(vertices(solid).size(), 4u);
  ctx.rec(solid).flags &= ~kHilight;
  ASSERT_TRUE(parseItemText(ctx, ctx.current, "1 3 0 .5 .5\n", 0, 0));
  EXPECT_EQ(vertices(solid).size(), 5u);
}

TEST_F(V4Reader, LayerLinesBeforeTheCurrentLayerLineAreLost) {
  ASSERT_EQ(read("TRELMO Version 4.00\r\n-y3:00FF0000,00FF0000,2,3,Top Copper\r\n-y1\r\n"
                 "-y12:000000FF,000000FF,10,12,Bottom Copper\r\n"),
            kFormatV4);
  EXPECT_STREQ(ctx.params.layers[3].name, "");
  EXPECT_STREQ(ctx.params.layers[12].name, "Bottom Copper");
  EXPECT_EQ(ctx.params.currentLayer, 1);
}

TEST_F(V4Reader, HintsKeepTheReaderAway) {
  EXPECT_NE(read(kBoardHeader + "1 3 .01 0 0 1 1\r\n", kHintGerber), kFormatV4);
  EXPECT_EQ(ctx.params.layers[3].name[0], 0);
}

TEST_F(V4Reader, NumberPrefixesAndFormatLines) {
  ASSERT_EQ(read(kBoardHeader + "-gfG\r\n$12 1 3 .01 0 0 1 1\r\n$ 1 3 .01 0 0 1 1\r\n"), kFormatGerber);
  EXPECT_EQ(items().size(), 1u);
}

TEST_F(V4Reader, AnEmptyFormatLineStillReadsAsVersion4) {
  EXPECT_EQ(read(kBoardHeader + "-gf\r\n"), kFormatV4);
}

TEST_F(V4Reader, ProgressEndsAtOneHundred) {
  read(kBoardHeader);
  ASSERT_FALSE(host.progress_.empty());
  EXPECT_EQ(host.progress_.back(), 100);
}

// --- Embedded pictures ---------------------------------------------------

std::string imageHeader(uint32_t width, uint32_t height, uint32_t stride, uint32_t bpp, uint32_t kind, uint32_t dpi,
                        int32_t x0, int32_t y1, const char* name = "board.bmp") {
  std::string h(kImageHeaderSize, '\0');
  std::memcpy(h.data(), "PIX98a", 6);
  auto put = [&](size_t off, uint32_t v) { std::memcpy(h.data() + off, &v, 4); };
  put(8, stride);
  put(12, width);
  put(16, height);
  put(20, dpi);
  put(24, bpp);
  put(28, kind);
  put(32, static_cast<uint32_t>(x0));
  put(44, static_cast<uint32_t>(y1));
  std::memcpy(h.data() + 64, name, std::strlen(name));
  return h;
}

const std::string kImagesFollow = "END OF FILE\r\nPixel image follows EOF\r\n\x1a";

TEST_F(V4Reader, EmbeddedPicturesFillBothSlots) {
  std::string data = kBoardHeader + "1 3 .01 0 0 1 1\r\n" + kImagesFollow;
  data += imageHeader(3, 2, 4, 8, 0, 100, kInch, 3 * kInch) + std::string(8, '\x11');
  data += imageHeader(1, 1, 1, 24, 3, 50, 0, 0, "two") + std::string(3, '\x22');
  ASSERT_EQ(read(data), kFormatV4);
  EXPECT_EQ(items().size(), 1u);
  const PixelImage* first = ctx.images.get(ctx.params.imageCurrent);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->width(), 3u);
  EXPECT_EQ(first->x1(), kInch + 2 * kInch / 100);
  EXPECT_EQ(first->y0(), 3 * kInch - kInch / 100);
  EXPECT_EQ(first->row(1)[3], 0x11);
  const PixelImage* second = ctx.images.get(ctx.params.imageAlternate);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->bitsPerPixel(), 24u);
  EXPECT_EQ(second->row(0)[2], 0x22);
}

TEST_F(V4Reader, HostilePictureHeadersAreRefused) {
  struct Case {
    const char* what;
    std::string image;
  };
  const Case cases[] = {
      {"60000 x 60000 in a tiny file", imageHeader(60000, 60000, 60000, 8, 0, 100, 0, 0) + std::string(64, '\0')},
      {"huge stride", imageHeader(2, 2, 0x40000000, 8, 0, 100, 0, 0) + std::string(64, '\0')},
      {"stride below width", imageHeader(8, 1, 4, 8, 0, 100, 0, 0) + std::string(64, '\0')},
      {"odd bits per pixel", imageHeader(2, 2, 4, 32, 0, 100, 0, 0) + std::string(64, '\0')},
      {"24 bits but not colour", imageHeader(2, 2, 4, 24, 0, 100, 0, 0) + std::string(64, '\0')},
      {"zero width", imageHeader(0, 5, 0, 8, 0, 100, 0, 0) + std::string(64, '\0')},
      {"truncated rows", imageHeader(4, 4, 4, 8, 0, 100, 0, 0) + std::string(15, '\0')},
      {"truncated header", imageHeader(4, 4, 4, 8, 0, 100, 0, 0).substr(0, 700)},
      {"wrong magic", "PIX96b" + imageHeader(4, 4, 4, 8, 0, 100, 0, 0).substr(6) + std::string(16, '\0')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Context fresh(host);
    newDesignFile(fresh, "hostile.pcb");
    InputFile in;
    const std::string data = kBoardHeader + "1 3 .01 0 0 1 1\r\n" + kImagesFollow + c.image;
    in.openMemory(data);
    host.sounds.clear();
    EXPECT_EQ(readerChain(fresh, in, kHintNone), kFormatV4);
    EXPECT_EQ(fresh.params.imageCurrent, 0u);
    EXPECT_EQ(fresh.images.size(), 0u);
    EXPECT_EQ(host.sounds, std::vector<Sound>{Sound::Beop});
    // The items read before the pictures stay.
    EXPECT_EQ(fresh.rec(fresh.rec(fresh.current).next).type(), kLine);
  }
}

TEST_F(V4Reader, ASecondDamagedPictureKeepsTheFirst) {
  std::string data = kBoardHeader + kImagesFollow;
  data += imageHeader(1, 1, 1, 8, 0, 0, 0, 0) + "\x05";
  data += imageHeader(9999, 9999, 9999, 8, 0, 100, 0, 0);
  ASSERT_EQ(read(data), kFormatV4);
  const PixelImage* first = ctx.images.get(ctx.params.imageCurrent);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->resolution(), 100u);  // no resolution: 100 dots per inch
  EXPECT_EQ(ctx.params.imageAlternate, 0u);
}

TEST_F(V4Reader, LinkedPictureThatCannotBeReadLeavesTheSlotEmpty) {
  ASSERT_EQ(read(kBoardHeader + "Pixel image (1.0,2.0): no/such/picture.bmp\r\n"), kFormatV4);
  EXPECT_EQ(ctx.params.imageCurrent, 0u);
  EXPECT_EQ(ctx.images.size(), 0u);
}

}  // namespace
}  // namespace trelmo::test

namespace trelmo::test {
namespace {

// A 2 x 2 24-bit Windows bitmap at 100 dots per inch.
std::string tinyBitmap() {
  std::string b;
  auto u16 = [&](uint16_t v) { b.append(reinterpret_cast<const char*>(&v), 2); };
  auto u32 = [&](uint32_t v) { b.append(reinterpret_cast<const char*>(&v), 4); };
  b += "BM";
  u32(54 + 16);
  u32(0);
  u32(54);
  u32(40);
  u32(2);
  u32(2);
  u16(1);
  u16(24);
  u32(0);
  u32(16);
  u32(3937);
  u32(3937);
  u32(0);
  u32(0);
  b += std::string("\x01\x02\x03\x04\x05\x06\0\0", 8);
  b += std::string("\x07\x08\x09\x0a\x0b\x0c\0\0", 8);
  return b;
}

TEST_F(V4Reader, LinkedPictureIsLoadedBesideTheDataFileAndShifted) {
  const std::string dir = ::testing::TempDir();
  {
    std::ofstream(dir + "rl_pic.bmp", std::ios::binary) << tinyBitmap();
    std::ofstream(dir + "rl_board.pcb", std::ios::binary)
        << kBoardHeader << "Pixel image (1.0,2.0): rl_pic.bmp\r\nEND OF FILE\r\n";
  }
  ASSERT_EQ(readFile(ctx, dir + "rl_board.pcb", kHintNone), kFormatV4);
  const PixelImage* img = ctx.images.get(ctx.params.imageCurrent);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->width(), 2u);
  EXPECT_EQ(img->x0(), kInch);
  EXPECT_EQ(img->y0(), 2 * kInch);
  EXPECT_EQ(img->x1(), kInch + kInch / 100);
  EXPECT_EQ(img->y1(), 2 * kInch + kInch / 100);
  EXPECT_TRUE(img->linked());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(img->block.data() + 64)), "\"rl_pic.bmp\"");
  std::remove((dir + "rl_pic.bmp").c_str());
  std::remove((dir + "rl_board.pcb").c_str());
}

}  // namespace
}  // namespace trelmo::test
