#include <gtest/gtest.h>

#include "context.h"
#include "database/options.h"

namespace trelmo {
namespace {

struct OptionsV3 : ::testing::Test {
  Context ctx;
  Params& p = ctx.params;
};

TEST_F(OptionsV3, RatsnestLayerMovesTo255) {
  parseOptionsV4(ctx, {"-y1"});
  ASSERT_TRUE(parseOptionV3(ctx, "-y15:14,7,Ratsnest lines"));
  EXPECT_STREQ(p.layers[255].name, "Ratsnest lines");
  EXPECT_EQ(p.layers[255].color, 0xFFFF00u);
  EXPECT_EQ(p.layers[255].sequence, 255);
  EXPECT_STREQ(p.layers[15].name, "");
  // Another colour, or another name, stays on layer 15.
  ASSERT_TRUE(parseOptionV3(ctx, "-y15:13,7,Special"));
  EXPECT_STREQ(p.layers[15].name, "Special");
  // Version 2 never remaps and keeps the sequence.
  p.layers[15].sequence = 99;
  ASSERT_TRUE(parseOptionV2(ctx, "-y15:14,7,Special"));
  EXPECT_EQ(p.layers[15].color, 0xFFFF00u);
  EXPECT_EQ(p.layers[15].sequence, 99);
}

TEST_F(OptionsV3, LayerLinesKeepTheTableAndPlotColours) {
  parseOptionsV4(ctx, {"-y1", "-y4:00112233,00445566,2,8,Keep"});
  parseOptionsV3(ctx, {"-y3:0,2,Top Side", "-y9"});
  EXPECT_EQ(p.currentLayer, 9);
  EXPECT_STREQ(p.layers[4].name, "Keep");  // no reset without ":"
  EXPECT_EQ(p.layers[3].color, kDisplayPalette[0]);
  EXPECT_EQ(p.layers[3].color, 0x01000000u);
  EXPECT_EQ(p.layers[3].plotColor, 0u);
  ASSERT_TRUE(parseOptionV3(ctx, "-hp1204"));  // fewer than 16 digits: only those layers
  EXPECT_EQ(p.layers[0].plotColor, 0xFFFF00u);
  EXPECT_EQ(p.layers[1].plotColor, 0xFF00FFu);
  EXPECT_EQ(p.layers[2].plotColor, kColorDisabled);
  EXPECT_EQ(p.layers[3].plotColor, 0x00FFFFu);
  EXPECT_EQ(p.layers[4].plotColor, 0x00445566u);
}

TEST_F(OptionsV3, BoardDefaultsOfVersion2) {
  parseOptionsV3(
      ctx, {"-m-2000,-2000,20000,20000", "-gr3,25,1,5,25,100", "-gd100", "-gm3,2,3,1,9,1,0,1", "-l10", "-p45v25",
            "-t48", "-hs1.000,1,2,3,4,5,6,7,8", "-hm3,2,3,1,0", "-nr5", "-nh2", "-nc10,14,8,12,24,10", "-dp10,5,0,25"});
  EXPECT_EQ(p.limits[0], -131072);
  EXPECT_EQ(p.limits[3], 1310720);
  EXPECT_EQ(p.units, 3);
  EXPECT_EQ(p.snapStep, ((uint64_t{25} << 32) + 500) / 1000);
  EXPECT_EQ(p.snapIndex, 0);
  EXPECT_STREQ(p.snapTable[3], "100");
  EXPECT_EQ(p.gridSpacing, ((uint64_t{100} << 32)) / 1000);
  EXPECT_EQ(p.drawLines, kLinesDense | kTrackSignalNames);
  EXPECT_EQ(p.drawPads, kPadsDense | kPadPinNumbers);
  EXPECT_EQ(p.drawTags, 9);
  EXPECT_EQ(p.lineWidth, 655);
  EXPECT_EQ(p.padType, 3);
  EXPECT_EQ(p.padX, 2949);
  EXPECT_EQ(p.viaSize, 2949);
  EXPECT_EQ(p.viaHole, 1638);
  EXPECT_EQ(p.textSize, 3146);
  EXPECT_EQ(p.printScale, 65536);
  EXPECT_EQ(p.printArea[0], 66);
  EXPECT_EQ(p.printRect[3], 524);  // 8 mils
  EXPECT_EQ(p.routerPasses, 5u);
  EXPECT_EQ(p.floodToLine, 655);
  EXPECT_EQ(p.floodLineSize, 655);
  EXPECT_EQ(p.thermalSignal[0], 0);
  EXPECT_EQ(p.planeHoleSwell, 1638);
  EXPECT_TRUE(parseOptionV3(ctx, "-nh2"));
  EXPECT_FALSE(parseOptionV3(ctx, "-q"));
}

TEST_F(OptionsV3, PadLetters) {
  ASSERT_TRUE(parseOptionV3(ctx, "-p60R30,2"));
  EXPECT_EQ(p.padType, 1);
  EXPECT_EQ(p.padLayer, 2);
  EXPECT_EQ(p.padHole, 1966);
  EXPECT_NE(p.viaSize, 3932);  // only "V" sets the via
  ASSERT_TRUE(parseOptionV3(ctx, "-p60z30"));
  EXPECT_EQ(p.padType, 0);
}

TEST_F(OptionsV3, ShortDrawModeListsLeaveTheRest) {
  ASSERT_TRUE(parseOptionV3(ctx, "-gm1,2,3,0,12"));
  ASSERT_TRUE(parseOptionV3(ctx, "-gm3,1x,2"));
  EXPECT_EQ(p.drawLines, 3);
  EXPECT_EQ(p.drawPads, 1);
  EXPECT_EQ(p.drawText, 3);
  EXPECT_EQ(p.drawTags, 12);
}

}  // namespace
}  // namespace trelmo
