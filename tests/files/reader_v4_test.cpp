// Reading version 4 data files and editor item texts.
#include <cstdio>
#include <cstring>
#include <fstream>

#include "database/walk.h"
#include "files/item_lines.h"
#include "files/reader_fixture.h"
#include "files/reader_items.h"
#include "screen/draw_items.h"

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
const std::string kArrow = "1 -1 0 -.033 0 .033 .099\r\n1 -1 0 0 0\r\n1 -1 0 -.033 0\r\n1 -1 0 .033 0\r\n";

using V4Reader = ReaderTest;
using Points = std::vector<std::pair<int32_t, int32_t>>;

TEST_F(V4Reader, ItemLinesOfEveryType) {
  ASSERT_EQ(read(kBoardHeader + "1 3 .01 1.0 2.0 1.5 2.0 VCC extra\r\n"
                                "2 3 .01 1.0 1.0 .25 90 180 .5 45 GND\r\n"
                                "$12 3 12 2 1.0 1.0 .06 .07 .035 90 A1 CLK\r\n"
                                "4 3 .05 0 0 .3 270 5 2 Hello world\r\n"
                                "4 6 .05 0 0 .3 0 0 0 DATA0\r\n"
                                "4 3 .05 0 0 .3 0 0 0\r\n"  // no text: no item
                                "5 3 9 1.0 1.0 2.0 2.0 note\r\n"),
            kFormatV4);
  const auto list = items();
  ASSERT_EQ(list.size(), 6u);
  EXPECT_EQ(itemSignal(ctx, list[0]), "VCC");
  const Record& arc = rec(list[1]);
  EXPECT_EQ(item::start(arc), 16384);  // start comes before sweep in the line
  EXPECT_EQ(item::sweep(arc), 32768);
  EXPECT_EQ(item::eccentricity(arc), 32768);
  EXPECT_EQ(item::padAngle(rec(list[2])), 16384);
  EXPECT_EQ(pinName(ctx, list[2]), "A1");
  EXPECT_EQ(itemSignal(ctx, list[2]), "CLK");
  EXPECT_EQ(item::textAnchor(rec(list[3])), 5);
  EXPECT_EQ(item::textFont(rec(list[3])), 2);
  EXPECT_EQ(readText(ctx, list[3]), "Hello world");
  EXPECT_EQ(itemSignal(ctx, list[4]), "DATA0");  // text on a Schematic layer is a label
  EXPECT_EQ(rec(list[5]).size, 9 << 8);
  EXPECT_EQ(readText(ctx, list[5]), "note");
}

TEST_F(V4Reader, ComponentsAreSortedAndEmptyOnesDropped) {
  ASSERT_EQ(read(kBoardHeader + "0 6 0 0 0\r\n"  // no component open: ignored
                                "6 1 0 0 0 1 1 DIP\177R10\17710K\177\177\r\n1 1 .01 0 0 1 0\r\n0 6 0 0 0\r\n"
                                "6 1 0 0 0 1 1 DIP\x7fU1\r\n0 6 0 0 0\r\n"
                                "6 1 90 0 0 1 1 DIP\x7fR9\r\n1 1 .01 0 0 1 0\r\n0 6 0 .25 .75\r\n"
                                "6 1 0 0 0 1 1\r\n1 1 .01 0 0 1 0\r\n0 6 0 0 0\r\n"
                                "6 1 0 0 0 1 1 P\x7fU7\r\n1 1 .01 0 0 1 1\r\n1 3 .01 0 0 2 2\r\n"),  // never closed
            kFormatV4);
  const auto list = items();
  ASSERT_EQ(list.size(), 4u);                       // U1 had no items
  EXPECT_EQ(readText(ctx, rec(list[0]).ext), "*");  // no parameters
  EXPECT_EQ(readText(ctx, rec(list[1]).ext), "DIP\x7fR9");
  EXPECT_EQ(rec(list[1]).size, 16384);
  EXPECT_EQ(rec(rec(list[1]).ext).y1, kInch * 3 / 4);
  EXPECT_EQ(readText(ctx, rec(list[2]).ext), "DIP\177R10\17710K");
  EXPECT_EQ(item::owner(rec(rec(list[2]).ext)), list[2]);
  EXPECT_TRUE(componentSortKeyLess(ctx, list[1], list[2]));
  EXPECT_EQ(items(rec(list[3]).ext).size(), 2u);
}

// An end line that keeps layer 0 closes its component only: the items after
// it stay in the flattened walk and the component's texts find its fields.
TEST_F(V4Reader, AnEndLineOnLayerZeroEndsTheComponentNotTheWalk) {
  ASSERT_EQ(read(kBoardHeader + "6 1 0 0 0 1 1 DIP\x7fR1\r\n4 1 .05 0 0 .3 0 0 0 &d\r\n0 0 0 0 0\r\n"
                                "1 3 .01 0 0 1 0\r\n2 3 .01 1.0 1.0 .25 0 90 0 0\r\n"),
            kFormatV4);
  std::vector<uint8_t> types;
  Handle cursor = ctx.current;
  while (anyItem(ctx.pool, cursor) != 0 && types.size() < 10) types.push_back(rec(cursor).type());
  EXPECT_EQ(types, (std::vector<uint8_t>{kText, kLine, kArc}));
  EXPECT_EQ(cursor, ctx.current);
  const Handle text = items(rec(items()[0]).ext)[0];
  EXPECT_EQ(componentField(ctx, text, 1), "R1");
}

TEST_F(V4Reader, FilledSolidsFromVertexLinesAndRectangles) {
  ASSERT_EQ(read(kBoardHeader + "1 3 0 0 0 1.0 1.0\r\n1 3 0 0 0\r\n1 3 0 1.0 0\r\n1 3 0 .5 1.0\r\n"
                                "1 2 0 2.0 2.0\r\n"  // other layer: not a vertex of it
                                "1 3 0 -1.0 -1.0 -.5 -.25\r\n"
                                "1 3 .01 5.0 5.0\r\n"),  // one-point line of some width: nothing
            kFormatV4);
  const auto list = items();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(vertices(list[0]), (Points{{0, 0}, {kInch, 0}, {kInch / 2, kInch}}));
  EXPECT_EQ(vertices(list[1]),
            (Points{{-kInch, -kInch}, {-kInch, -kInch / 4}, {-kInch / 2, -kInch / 4}, {-kInch / 2, -kInch}}));
}

// In a data file the arrow's layer "-1" is a library code: silk, a layer
// name beginning with "1".
TEST_F(V4Reader, ArrowLayerIsALibraryCodeInFiles) {
  ASSERT_EQ(read(kBoardHeader + kArrow), kFormatV4);
  const auto list = items();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(rec(list[0]).layer, 14);
  EXPECT_EQ(vertices(list[0]).size(), 3u);
  ItemBuilder builder(ctx, ctx.current, ItemSyntax::kFile);
  EXPECT_EQ(builder.layerFromCode("CB"), 12);
  EXPECT_EQ(builder.layerFromCode("CX"), 3);  // no such name: the first copper layer
  EXPECT_EQ(builder.layerFromCode("MT"), 2);
  EXPECT_EQ(builder.layerFromCode("S"), 1);
}

TEST_F(V4Reader, ItemTextsUseTheCurrentLayerAndOffsets) {
  ASSERT_EQ(read(kBoardHeader), kFormatV4);
  ctx.params.currentLayer = 12;
  ASSERT_TRUE(parseItemText(ctx, ctx.current,
                            kArrow + "4 -1 .05 0 0 .3 0 0 0 Bottom\r\n4 12 .05 0 0 .3 0 0 0 Mirrored\r\n"
                                     "1 -1 0 0 0 1 1\1770 0\177.1 0\177.1 .1 SIGNAL\r\n",
                            kInch, 0));
  const auto list = items();
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(rec(list[0]).layer, 12);
  EXPECT_EQ(vertices(list[0]), (Points{{kInch, 0}, {kInch - mils(33), 0}, {kInch + mils(33), 0}}));
  // Negative layer on a bottom current layer: the text is "Normal for layer".
  EXPECT_EQ(item::textLength(rec(list[1])), -mils(300));
  EXPECT_EQ(item::textLength(rec(list[2])), mils(300));
  // Vertices after bytes 127; the name after them is not hung on a vertex.
  EXPECT_EQ(vertices(list[3]), (Points{{kInch, 0}, {kInch + mils(100), 0}, {kInch + mils(100), mils(100)}}));
}

TEST_F(V4Reader, BuiltInSymbolComponentThroughTheItemParser) {
  ASSERT_TRUE(parseItemText(ctx, ctx.current,
                            "6 0 0 -.1 -.045 0 .045 $$SIG\r\n1 -1 .01 -.1 0 0 0\r\n3 0 0 -.1 0 .02 .02 0 0 1\r\n"
                            "0 6 0 0 0\r\n\0321 1 .01 0 0 1 1\r\n",
                            0, 0));
  auto list = items();
  ASSERT_EQ(list.size(), 1u);  // nothing after byte 26
  const Handle sentinel = rec(list[0]).ext;
  EXPECT_EQ(readText(ctx, sentinel), "$$SIG");
  EXPECT_EQ(rec(sentinel).x1, 0);
  EXPECT_EQ(items(sentinel).size(), 2u);
  // Offsets move points, not sizes; empty components stay.
  ASSERT_TRUE(
      parseItemText(ctx, ctx.current, "6 0 0 0 0 .1 .1 X\n0 6 0 .5 .5\n2 3 .01 0 0 .25 0 360 0 0\n", kInch, 2 * kInch));
  list = items();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(rec(list[1]).w4, 2 * kInch + mils(100));
  EXPECT_EQ(rec(rec(list[1]).ext).x1, kInch + kInch / 2);
  EXPECT_EQ(rec(list[2]).y1, 2 * kInch);
  EXPECT_EQ(item::radius(rec(list[2])), kInch / 4);
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

TEST_F(V4Reader, HeaderLinesAndHints) {
  // Layer lines before the current-layer line are lost.
  ASSERT_EQ(read("TRELMO Version 4.00\r\n-y3:00FF0000,00FF0000,2,3,Top Copper\r\n-y1\r\n-gf\r\n"
                 "-y12:000000FF,000000FF,10,12,Bottom Copper\r\n"),
            kFormatV4);  // an empty format line does not end the chain
  EXPECT_STREQ(ctx.params.layers[3].name, "");
  EXPECT_STREQ(ctx.params.layers[12].name, "Bottom Copper");
  EXPECT_EQ(read(kBoardHeader + "-gfG\r\n"), kFormatGerber);
  EXPECT_NE(read(kBoardHeader + "1 3 .01 0 0 1 1\r\n", kHintGerber), kFormatV4);
}

TEST_F(V4Reader, AnExhaustedPoolStopsTheReadQuietly) {
  ctx.pool.setBlockLimit(1);
  std::string text = kBoardHeader;
  for (int i = 0; i < 20000; ++i)
    text += "1 3 .01 0 0 1 1 N1\r\n4 3 .05 0 0 .3 0 0 0 a text long enough for two records\r\n";
  EXPECT_EQ(read(text), kFormatV4);
  const size_t n = items().size();
  EXPECT_GT(n, 10000u);
  EXPECT_LT(n, 40000u);
}

// --- Pictures --------------------------------------------------------------

std::string imageHeader(uint32_t width, uint32_t height, uint32_t stride, uint32_t bpp, uint32_t kind, uint32_t dpi,
                        int32_t x0 = 0, int32_t y1 = 0) {
  std::string h(kImageHeaderSize, '\0');
  std::memcpy(h.data(), "PIX98a", 6);
  const uint32_t fields[] = {stride, width, height, dpi, bpp, kind, static_cast<uint32_t>(x0)};
  std::memcpy(h.data() + 8, fields, sizeof fields);
  std::memcpy(h.data() + 44, &y1, 4);
  return h;
}

const std::string kImagesFollow = "END OF FILE\r\nPixel image follows EOF\r\n\x1a";

TEST_F(V4Reader, EmbeddedPicturesFillBothSlots) {
  std::string data = kBoardHeader + kImagesFollow;
  data += imageHeader(3, 2, 4, 8, 0, 100, kInch, 3 * kInch) + std::string(8, '\x11');
  data += imageHeader(1, 1, 1, 24, 3, 0) + std::string(3, '\x22');
  ASSERT_EQ(read(data), kFormatV4);
  const PixelImage* first = ctx.images.get(ctx.params.imageCurrent);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->x1(), kInch + 2 * kInch / 100);
  EXPECT_EQ(first->y0(), 3 * kInch - kInch / 100);
  EXPECT_EQ(first->row(1)[3], 0x11);
  const PixelImage* second = ctx.images.get(ctx.params.imageAlternate);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->resolution(), 100u);  // none given: 100 dots per inch
  EXPECT_EQ(second->row(0)[2], 0x22);
}

TEST_F(V4Reader, HostilePictureHeadersAreRefused) {
  const std::string pad(64, '\0');
  const std::pair<const char*, std::string> cases[] = {
      {"60000 x 60000 in a tiny file", imageHeader(60000, 60000, 60000, 8, 0, 100) + pad},
      {"huge stride", imageHeader(2, 2, 0x40000000, 8, 0, 100) + pad},
      {"stride below width", imageHeader(8, 1, 4, 8, 0, 100) + pad},
      {"odd bits per pixel", imageHeader(2, 2, 4, 32, 0, 100) + pad},
      {"24 bits but not colour", imageHeader(2, 2, 4, 24, 0, 100) + pad},
      {"zero width", imageHeader(0, 5, 0, 8, 0, 100) + pad},
      {"truncated rows", imageHeader(4, 4, 4, 8, 0, 100) + std::string(15, '\0')},
      {"truncated header", imageHeader(4, 4, 4, 8, 0, 100).substr(0, 700)},
      {"wrong magic", "PIX96b" + imageHeader(4, 4, 4, 8, 0, 100).substr(6) + pad},
      {"damaged second picture", imageHeader(1, 1, 1, 8, 0, 100) + "\x05" + imageHeader(9999, 9999, 9999, 8, 0, 100)},
  };
  for (const auto& [what, image] : cases) {
    SCOPED_TRACE(what);
    Context fresh(host);
    newDesignFile(fresh, "hostile.pcb");
    InputFile in;
    const std::string data = kBoardHeader + "1 3 .01 0 0 1 1\r\n" + kImagesFollow + image;
    in.openMemory(data);
    host.sounds.clear();
    EXPECT_EQ(readerChain(fresh, in, kHintNone), kFormatV4);
    EXPECT_EQ(fresh.images.size(), std::strcmp(what, "damaged second picture") == 0 ? 1u : 0u);
    EXPECT_EQ(fresh.params.imageAlternate, 0u);
    EXPECT_EQ(host.sounds, std::vector<Sound>{Sound::Beop});
    EXPECT_EQ(fresh.rec(fresh.rec(fresh.current).next).type(), kLine);  // the items stay
  }
}

// A 2 x 2 24-bit Windows bitmap at 100 dots per inch.
std::string tinyBitmap() {
  const uint32_t head[] = {54 + 16, 0, 54, 40, 2, 2, 1 | (24 << 16), 0, 16, 3937, 3937, 0, 0};
  std::string b = "BM" + std::string(reinterpret_cast<const char*>(head), sizeof head);
  return b + std::string(16, '\x05');
}

// The first picture line is the current slot's, the second the alternate's,
// as the writer writes them.
TEST_F(V4Reader, LinkedPicturesAreLoadedBesideTheDataFileAndShifted) {
  const std::string dir = ::testing::TempDir();
  std::ofstream(dir + "rl_pic.bmp", std::ios::binary) << tinyBitmap();
  std::ofstream(dir + "rl_board.pcb", std::ios::binary)
      << kBoardHeader << "Pixel image (1.0,2.0): rl_pic.bmp\r\nPixel image (0,0): \"no/such.bmp\"\r\n";
  ASSERT_EQ(readFile(ctx, dir + "rl_board.pcb", kHintNone), kFormatV4);
  std::remove((dir + "rl_pic.bmp").c_str());
  std::remove((dir + "rl_board.pcb").c_str());
  EXPECT_EQ(ctx.params.imageAlternate, 0u);  // the unreadable one
  const PixelImage* img = ctx.images.get(ctx.params.imageCurrent);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->width(), 2u);
  EXPECT_EQ(img->x0(), kInch);
  EXPECT_EQ(img->y1(), 2 * kInch + kInch / 100);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(img->block.data() + 64)), "\"rl_pic.bmp\"");
}

}  // namespace
}  // namespace trelmo::test
