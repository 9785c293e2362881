// Reading the old DOS data files (versions 3 and 2) from tests/data.
#include "files/reader_fixture.h"

namespace trelmo::test {
namespace {

std::string dataFile(const char* name) { return std::string(TRELMO_TEST_DATA) + "/" + name; }

using OldReader = ReaderTest;

TEST_F(OldReader, Version3ConvertsMilsAnglesLayersAndPads) {
  ctx.params.gridColor = 0x123456;
  ctx.params.isoTop.passes = 3;
  ASSERT_EQ(readFile(ctx, dataFile("v3/board.pcb"), kHintNone), kFormatV3);
  EXPECT_EQ(ctx.params.gridColor, 0xFFFFFFu);
  EXPECT_EQ(ctx.params.isoTop.passes, 0);
  EXPECT_STREQ(ctx.params.layers[255].name, "Ratsnest");

  const auto list = items();
  ASSERT_EQ(list.size(), 9u);  // types 5 and 7 are skipped, nothing after the picture
  EXPECT_EQ(rec(list[0]).w3, mils(1500));
  EXPECT_EQ(itemSignal(ctx, list[0]), "VCC");
  EXPECT_EQ(rec(list[1]).layer, 255);  // the old ratsnest layer
  EXPECT_EQ(vertices(list[2]).size(), 4u);
  const Record& arc = rec(list[3]);
  EXPECT_EQ(item::radius(arc), mils(250));
  EXPECT_EQ(item::sweep(arc), 32 * 256);  // a negative sweep turned round
  EXPECT_EQ(item::start(arc), 32 * 256);
  EXPECT_EQ(item::eccentricity(arc), 128 * 256);
  const Record& pad = rec(list[4]);
  EXPECT_EQ(pad.layer, 1);  // layer 0: the layer is the type / 16
  EXPECT_EQ(item::padType(pad), item::kRectThru);
  EXPECT_EQ(itemSignal(ctx, list[4]), "CLK");
  EXPECT_EQ(rec(list[5]).layer, 3);
  EXPECT_EQ(item::padType(rec(list[5])), item::kOvalSmt);
  EXPECT_EQ(rec(list[6]).size, mils(50));
  EXPECT_EQ(item::textAngle(rec(list[6])), 16384);
  EXPECT_EQ(item::textAnchorFont(rec(list[7])), 15);
  EXPECT_EQ(itemSignal(ctx, list[7]), "DATA");
  // The component follows other items, so it keeps its place.
  EXPECT_EQ(rec(list[8]).size, 64 * 256);
  EXPECT_EQ(rec(rec(list[8]).ext).x1, mils(500));
  // The old picture cannot be converted: the user is told, not left with an
  // empty picture.
  EXPECT_EQ(host.boxes, std::vector<std::string>{"File Open Warning: This file carries an old pixel image (PIX96b) "
                                                 "in a form that cannot be converted.\n\nThe design is read "
                                                 "without the image."});
  EXPECT_EQ(ctx.params.imageCurrent, 0u);
}

TEST_F(OldReader, Version2BeforeMinor5ScalesHeightsAndTakesTheTextDirection) {
  ASSERT_EQ(readFile(ctx, dataFile("v2/board_minor4.pcb"), kHintNone), kFormatV2);
  EXPECT_STREQ(ctx.params.layers[15].name, "Special");
  EXPECT_STREQ(ctx.params.gerber[8].name, "DWG");
  EXPECT_TRUE(ctx.params.gerber[9].empty());

  const auto list = items();
  ASSERT_EQ(list.size(), 7u);
  EXPECT_EQ(itemSignal(ctx, list[0]), "");  // no signals before minor 5
  EXPECT_EQ(vertices(list[1]).size(), 4u);
  EXPECT_EQ(rec(list[2]).layer, 2);
  const std::tuple<const char*, uint16_t, int32_t> texts[] = {
      {"Up", 16384, mils(200)}, {"Down", 49152, -mils(200)}, {"Right", 49152, mils(100)}};
  for (int i = 0; i < 3; ++i) {
    const auto& [text, angle, length] = texts[i];
    SCOPED_TRACE(text);
    EXPECT_EQ(readText(ctx, list[3 + i]), text);
    EXPECT_EQ(rec(list[3 + i]).size, mils(60));
    EXPECT_EQ(item::textAngle(rec(list[3 + i])), angle);
    EXPECT_EQ(item::textLength(rec(list[3 + i])), length);
  }
  EXPECT_EQ(rec(list[6]).size, 10);  // the component angle as written
}

TEST_F(OldReader, Version2FromMinor6KeepsSignalsAndAngles) {
  ASSERT_EQ(readFile(ctx, dataFile("v2/board_minor6.pcb"), kHintNone), kFormatV2);
  EXPECT_EQ(ctx.params.textSize, mils(60));
  const auto list = items();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(itemSignal(ctx, list[1]), "GND");
  EXPECT_EQ(rec(list[2]).size, mils(10));
  EXPECT_EQ(item::textAngle(rec(list[2])), 16384);
  EXPECT_EQ(item::textLength(rec(list[2])), mils(300));
}

TEST_F(OldReader, UnreadableFilesChangeNothing) {
  ctx.params.format = 'C';
  EXPECT_EQ(readFile(ctx, dataFile("v2/missing.pcb"), kHintNone), 0);
  EXPECT_EQ(ctx.params.format, 0);
  EXPECT_TRUE(items().empty());
}

}  // namespace
}  // namespace trelmo::test
