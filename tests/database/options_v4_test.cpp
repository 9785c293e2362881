#include <gtest/gtest.h>

#include <cstring>

#include "context.h"
#include "database/options.h"

namespace trelmo {
namespace {

constexpr int32_t kMil1 = 66;  // 0.001 inch after rounding

struct OptionsV4 : ::testing::Test {
  Context ctx;
  Params& p = ctx.params;
  bool parse(std::string_view line) { return parseOptionV4(ctx, line); }
};

TEST_F(OptionsV4, EntryRules) {
  EXPECT_TRUE(parse("   -it.05"));
  EXPECT_EQ(p.textSize, 3277);
  EXPECT_TRUE(parse("IT.01"));  // the dash is optional, letters in either case
  EXPECT_EQ(p.textSize, 655);
  EXPECT_FALSE(parse(";-it.02"));
  EXPECT_FALSE(parse("\t-it.02"));
  EXPECT_FALSE(parse("-qq1"));
  EXPECT_FALSE(parse(""));
  EXPECT_FALSE(parse("   "));
  EXPECT_EQ(p.textSize, 655);
}

TEST_F(OptionsV4, DimensionsInInchesOrMils) {
  ASSERT_TRUE(parse("-gx10,.01,-1.5,2.0000004"));
  EXPECT_EQ(p.limits[0], 655);
  EXPECT_EQ(p.limits[1], 655);
  EXPECT_EQ(p.limits[2], -98304);
  EXPECT_EQ(p.limits[3], 131072);  // digits past the sixth are not used
  ASSERT_TRUE(parse("-gz1x,"));    // read as far as it fits; missing fields are 0
  EXPECT_EQ(p.zeroX, kMil1);
  EXPECT_EQ(p.zeroY, 0);
}

TEST_F(OptionsV4, LayerLines) {
  ASSERT_TRUE(parse("-y3"));
  EXPECT_EQ(p.currentLayer, 3);
  ASSERT_TRUE(parse("-y7:00AA0000,01000000,2,Top Copper"));
  const LayerEntry& e = p.layers[7];
  EXPECT_EQ(e.sequence, 7);
  EXPECT_EQ(e.type, 2);
  EXPECT_EQ(e.plotColor, kColorDisabled);
  EXPECT_EQ(e.color, 0xAA0000u);
  const uint32_t converted = e.screenColor;
  convertColors(ctx);
  EXPECT_EQ(e.screenColor, converted);  // converted for the screen as it was read
  EXPECT_STREQ(e.name, "Top Copper");

  ASSERT_TRUE(parse("-y8:00FFFFFF,00000000,10,200,Bottom, long name;comment"));
  EXPECT_EQ(p.layers[8].sequence, 200);
  EXPECT_STREQ(p.layers[8].name, "Bottom, long na");  // 15 characters

  // A layer number without ":" empties the whole table first.
  ASSERT_TRUE(parse("-y1"));
  EXPECT_EQ(p.currentLayer, 1);
  EXPECT_STREQ(p.layers[7].name, "");
  EXPECT_EQ(p.layers[7].color, 0u);
  EXPECT_EQ(p.layers[8].sequence, 8);
  EXPECT_TRUE(parse("-y300:00FFFFFF,0,0,0,Nowhere"));  // out of range: nothing written
}

TEST_F(OptionsV4, SnapSteps) {
  ASSERT_TRUE(parse("-gs0.025,0,1,5,25,100"));
  EXPECT_EQ(p.snapStep, ((uint64_t{1} << 32) * 25 + 500) / 1000);  // rounded
  EXPECT_EQ(p.units, 3);
  EXPECT_EQ(p.snapIndex, 0);
  EXPECT_STREQ(p.snapTable[0], "1");
  EXPECT_STREQ(p.snapTable[3], "100");
  EXPECT_STREQ(p.snapTable[4], "");

  ASSERT_TRUE(parse("-gs1.0mm"));
  EXPECT_NEAR(p.snapStep / 4294967296.0, 1 / 25.4, 1e-9);
  EXPECT_EQ(p.units, -1);
  EXPECT_STREQ(p.snapTable[0], "1");  // no comma: the table is kept

  ASSERT_TRUE(parse("-gs1mm"));  // the integer form: mils, suffix not looked at
  EXPECT_EQ(p.snapStep, (uint64_t{1} << 32) / 1000);
  EXPECT_EQ(p.units, 3);

  ASSERT_TRUE(parse("-gs1/8\",2,,a,,0.123456789012345,b"));
  EXPECT_EQ(p.snapStep, 1u << 29);
  EXPECT_EQ(p.units, 3);  // the fraction keeps the count of decimals
  EXPECT_EQ(p.snapIndex, 2);
  EXPECT_STREQ(p.snapTable[0], "a");  // empty entries do not advance
  EXPECT_STREQ(p.snapTable[1], "0.123456789");
  EXPECT_STREQ(p.snapTable[2], "b");

  ASSERT_TRUE(parse("-gs8/8"));  // invalid: not below one
  EXPECT_EQ(p.snapStep, 1u << 29);
  ASSERT_TRUE(parse("-gs25.4mm,99"));  // one inch or more; index kept in the table
  EXPECT_EQ(p.snapStep, kAllOnes);
  EXPECT_EQ(p.snapIndex, kSnapEntries - 1);
  ASSERT_TRUE(parse("-gs.12345\""));
  EXPECT_EQ(p.units, 4);
}

TEST_F(OptionsV4, GridDotsAndColours) {
  ASSERT_TRUE(parse("-gd.1,ff0000,00ff00,0000FF,12345678"));
  EXPECT_EQ(p.gridSpacing, 429496730u);
  EXPECT_EQ(p.gridColor, 0xFF0000u);
  EXPECT_EQ(p.attentionColor, 0x345678u);
  const uint32_t pixel = p.attentionPixel;
  p.attentionPixel = 0;
  convertColors(ctx);
  EXPECT_EQ(p.attentionPixel, pixel);
  ASSERT_TRUE(parse("-gd2.54mm"));
  EXPECT_NEAR(p.gridSpacing / 4294967296.0, 0.1, 1e-9);
  ASSERT_TRUE(parse("-gd1000"));
  EXPECT_EQ(p.gridSpacing, kAllOnes);
}

TEST_F(OptionsV4, SolidFillLineIsRaisedUnlessAllSwellsAreZero) {
  ASSERT_TRUE(parse("-dp.01,.005,.025,.025"));
  EXPECT_EQ(p.solidFillLine, 131);
  ASSERT_TRUE(parse("-dp0,0,0,0,0"));
  EXPECT_EQ(p.solidFillLine, 0);
  ASSERT_TRUE(parse("-dp0,0,0,1,.01"));
  EXPECT_EQ(p.solidFillLine, 655);
}

TEST_F(OptionsV4, ClearancesAndIsolation) {
  p.floodSources.set(9);
  ASSERT_TRUE(parse("-gc1,2,3,4,5,6,7,THERMAL_SIGNAL_NAME_LONGER_THAN_31,,12,1,300,2"));
  EXPECT_EQ(p.ratnestLineSize, 459);  // 7 mils
  EXPECT_EQ(std::strlen(p.thermalSignal), 31u);
  EXPECT_STREQ(p.solidSignal, "");
  EXPECT_EQ(p.floodTarget, 12);
  EXPECT_TRUE(p.floodSources.test(1) && p.floodSources.test(2) && p.floodSources.test(9));  // added to

  ASSERT_TRUE(parse("-gtt2,.01,.002,.003,.004,.005,.006,GND,3,4,5"));
  EXPECT_STREQ(p.isoTop.signal, "GND");
  EXPECT_EQ(p.isoTop.target, 3);
  EXPECT_TRUE(p.isoTop.sources.test(4) && p.isoTop.sources.test(5));
  ASSERT_TRUE(parse("-gtt1,0,0,0,0,0,0,7,8"));
  EXPECT_STREQ(p.isoTop.signal, "");
  EXPECT_EQ(p.isoTop.target, 7);
  EXPECT_FALSE(p.isoTop.sources.test(4));  // cleared first
  // A target layer with no source layers after it is still a layer number.
  ASSERT_TRUE(parse("-gtb1,0,0,0,0,0,0,6"));
  EXPECT_STREQ(p.isoBottom.signal, "");
  EXPECT_EQ(p.isoBottom.target, 6);
}

TEST_F(OptionsV4, GerberTableAndLibrariesAreBounded) {
  ASSERT_TRUE(parse("-dy"));
  for (int i = 0; i < 25; ++i) ASSERT_TRUE(parse("-dyT" + std::to_string(i % 10) + "X:8,12,13"));
  ASSERT_TRUE(parse("-dyAB:4"));  // a 25th entry is dropped
  EXPECT_STREQ(p.gerber[23].name, "T3X");
  EXPECT_EQ(p.gerber[23].number, 8);
  EXPECT_TRUE(p.gerber[23].layers.test(13));
  ASSERT_TRUE(parse("-dy"));
  ASSERT_TRUE(parse("-dyAB:4"));
  EXPECT_STREQ(p.gerber[0].name, "AB");
  EXPECT_EQ(p.gerber[0].number, 4);

  ASSERT_TRUE(parse("-b"));
  for (int i = 0; i < 33; ++i)
    ASSERT_TRUE(parse("-b/lib/" + std::to_string(i) + "/a name longer than thirty-two characters.lib"));
  EXPECT_EQ(std::strlen(p.libraries[31]), 32u);
  EXPECT_EQ(std::string(p.libraries[31]).substr(0, 8), "/lib/31/");
  ASSERT_TRUE(parse("-b"));
  EXPECT_STREQ(p.libraries[0], "");
}

TEST_F(OptionsV4, SmallOptions) {
  ASSERT_TRUE(parse("-gp5,17,1.5,1,2,3,4,24"));
  EXPECT_EQ(p.printScale, 98304);
  EXPECT_EQ(p.printRect[3], 262);  // 4 mils
  EXPECT_EQ(p.printDepth, 24);
  ASSERT_TRUE(parse("-ip6,2,.05,.06,0"));
  EXPECT_EQ(p.padType, 6);
  EXPECT_EQ(p.padY, 3932);
  ASSERT_TRUE(parse("-il2.0"));  // a size of an inch or more stays in 16 bits
  EXPECT_EQ(p.lineWidth, 65535);
  ASSERT_TRUE(parse("-gfG"));
  EXPECT_EQ(p.format, 'G');
  ASSERT_TRUE(parse("-gf"));
  EXPECT_EQ(p.format, 0);
}

}  // namespace
}  // namespace trelmo
