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
  EXPECT_EQ(ctx.params.format, kFormatV3);
  EXPECT_EQ(ctx.params.gridColor, 0xFFFFFFu);
  EXPECT_EQ(ctx.params.backgroundColor, 0x909090u);
  EXPECT_EQ(ctx.params.isoTop.passes, 0);
  EXPECT_STREQ(ctx.params.layers[255].name, "Ratsnest");
  EXPECT_STREQ(ctx.params.layers[15].name, "");

  const auto list = items();
  ASSERT_EQ(list.size(), 9u);  // types 5 and 7 are skipped, nothing after the picture
  const Record& line = rec(list[0]);
  EXPECT_EQ(line.size, mils(10));
  EXPECT_EQ(line.x1, mils(1000));
  EXPECT_EQ(line.y1, mils(2000));
  EXPECT_EQ(line.w3, mils(1500));
  EXPECT_EQ(itemSignal(ctx, list[0]), "VCC");
  EXPECT_EQ(rec(list[1]).layer, 255);  // the old ratsnest layer

  EXPECT_EQ(vertices(list[2]).size(), 4u);  // two points and no vertices: a rectangle

  const Record& arc = rec(list[3]);
  EXPECT_EQ(item::radius(arc), mils(250));
  EXPECT_EQ(item::sweep(arc), 32 * 256);
  EXPECT_EQ(item::start(arc), 32 * 256);
  EXPECT_EQ(item::eccentricity(arc), 128 * 256);
  EXPECT_EQ(itemSignal(ctx, list[3]), "GND");

  const Record& pad = rec(list[4]);
  EXPECT_EQ(pad.layer, 1);  // layer 0: the layer is the type / 16
  EXPECT_EQ(item::padType(pad), item::kRectThru);
  EXPECT_EQ(item::padHole(pad), mils(35));
  EXPECT_EQ(item::padAngle(pad), 0);
  EXPECT_EQ(pinName(ctx, list[4]), "1");
  EXPECT_EQ(itemSignal(ctx, list[4]), "CLK");
  const Record& smd = rec(list[5]);
  EXPECT_EQ(smd.layer, 3);
  EXPECT_EQ(item::padType(smd), item::kOvalSmt);
  EXPECT_EQ(item::padY(smd), mils(80));

  const Record& text = rec(list[6]);
  EXPECT_EQ(text.size, mils(50));
  EXPECT_EQ(item::textLength(text), mils(300));
  EXPECT_EQ(item::textAngle(text), 16384);
  EXPECT_EQ(item::textAnchorFont(text), 0);
  EXPECT_EQ(readText(ctx, list[6]), "Hello");
  EXPECT_EQ(item::textAnchorFont(rec(list[7])), 15);
  EXPECT_EQ(itemSignal(ctx, list[7]), "DATA");

  // The component follows other items, so it keeps its place.
  const Record& comp = rec(list[8]);
  EXPECT_EQ(comp.type(), kComponent);
  EXPECT_EQ(comp.size, 64 * 256);
  EXPECT_EQ(readText(ctx, comp.ext), "DIP\x7fU1");
  EXPECT_EQ(rec(comp.ext).x1, mils(500));
  EXPECT_EQ(items(comp.ext).size(), 1u);
}

TEST_F(OldReader, Version2BeforeMinor5ScalesHeightsAndTakesTheTextDirection) {
  ASSERT_EQ(readFile(ctx, dataFile("v2/board_minor4.pcb"), kHintNone), kFormatV2);
  // The built-in board defaults.
  EXPECT_STREQ(ctx.params.layers[3].name, "Top Side");
  EXPECT_STREQ(ctx.params.layers[15].name, "Special");
  EXPECT_STREQ(ctx.params.layers[12].name, "Bottom Side");
  EXPECT_EQ(ctx.params.currentLayer, 0);
  EXPECT_STREQ(ctx.params.gerber[0].name, "TSS");
  EXPECT_STREQ(ctx.params.gerber[8].name, "DWG");
  EXPECT_TRUE(ctx.params.gerber[9].empty());

  const auto list = items();
  ASSERT_EQ(list.size(), 7u);
  EXPECT_EQ(itemSignal(ctx, list[0]), "");  // no signals before minor 5
  EXPECT_EQ(vertices(list[1]).size(), 4u);
  EXPECT_EQ(rec(list[2]).layer, 2);
  EXPECT_EQ(item::padType(rec(list[2])), item::kOvalThru);
  EXPECT_EQ(itemSignal(ctx, list[2]), "");

  struct Expect {
    const char* text;
    uint16_t angle;
    int32_t length;
  };
  const Expect texts[] = {{"Up", 16384, mils(200)}, {"Down", 49152, -mils(200)}, {"Right", 49152, mils(100)}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(texts[i].text);
    const Handle h = list[3 + i];
    EXPECT_EQ(readText(ctx, h), texts[i].text);
    EXPECT_EQ(rec(h).size, mils(60));
    EXPECT_EQ(item::textAngle(rec(h)), texts[i].angle);
    EXPECT_EQ(item::textLength(rec(h)), texts[i].length);
  }

  EXPECT_EQ(rec(list[6]).type(), kComponent);
  EXPECT_EQ(rec(list[6]).size, 10);  // the angle as written
  const auto inside = items(rec(list[6]).ext);
  ASSERT_EQ(inside.size(), 1u);
  EXPECT_EQ(rec(inside[0]).layer, 1);
}

TEST_F(OldReader, Version2FromMinor6KeepsSignalsAndAngles) {
  ASSERT_EQ(readFile(ctx, dataFile("v2/board_minor6.pcb"), kHintNone), kFormatV2);
  EXPECT_EQ(ctx.params.textSize, mils(60));
  const auto list = items();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(itemSignal(ctx, list[0]), "VCC");
  EXPECT_EQ(itemSignal(ctx, list[1]), "GND");
  const Record& text = rec(list[2]);
  EXPECT_EQ(text.size, mils(10));
  EXPECT_EQ(item::textAngle(text), 16384);
  EXPECT_EQ(item::textLength(text), mils(300));
}

TEST_F(OldReader, UnreadableFilesChangeNothing) {
  ctx.params.format = 'C';
  EXPECT_EQ(readFile(ctx, dataFile("v2/missing.pcb"), kHintNone), 0);
  EXPECT_EQ(ctx.params.format, 0);
  EXPECT_TRUE(items().empty());
}

}  // namespace
}  // namespace trelmo::test
