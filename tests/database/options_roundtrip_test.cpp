#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>

#include "context.h"
#include "database/design_files.h"
#include "database/options.h"
#include "files/header_writer.h"

namespace trelmo {
namespace {

std::string header(const Context& ctx) {
  std::string out;
  writeHeader(ctx, out);
  return out;
}

// Reads a header back the way the data file reader does: the common defaults
// first, then every line that begins with a dash.
std::string rewrite(const std::string& text) {
  Context back;
  parseOptionsV4(back, {"-gd0,FFFFFF,909090,FFFFFF,FFFF00", "-y1", "-dy", "-b", "-gz0,0"});
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '-') parseOptionV4(back, line);
  }
  return header(back);
}

void fill(Params& p, unsigned seed, bool metric) {
  std::mt19937 rng(seed);
  auto any = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  auto word = [&] { return any(INT32_MIN, INT32_MAX); };
  auto size = [&] { return static_cast<uint16_t>(any(0, 65535)); };
  for (int32_t* f : {&p.floodToLine, &p.floodToPad, &p.lineToLine, &p.lineToPad, &p.padToPad, &p.floodLineSize,
                     &p.ratnestLineSize, &p.printScale, &p.zeroX, &p.zeroY, &p.dimTextSize, &p.maskSwell,
                     &p.pasteShrink, &p.planeSwell, &p.planeHoleSwell})
    *f = word();
  p.solidFillLine = any(131, INT32_MAX);
  for (int32_t& v : p.printRect) v = word();
  for (int32_t& v : p.limits) v = word();
  std::strcpy(p.thermalSignal, seed & 1 ? "" : "GND");
  std::strcpy(p.solidSignal, "VCC+5");
  p.floodTarget = static_cast<uint8_t>(any(0, 255));
  for (int i = 0; i < 6; ++i) p.floodSources.set(any(0, 255));
  p.gridSpacing = static_cast<uint32_t>(word());
  p.gridColor = static_cast<uint32_t>(word()) & 0xFFFFFF;
  p.drawPads = 31;
  p.printFlags = 199;
  p.printDepth = 24;
  p.units = static_cast<int8_t>(metric ? -any(1, 3) : any(1, 4));
  p.snapStep = static_cast<uint32_t>(word());
  p.snapIndex = any(0, 15);
  std::strcpy(p.snapTable[0], "0.001\"");
  std::strcpy(p.snapTable[5], "1mm");
  for (IsolationParams* iso : {&p.isoTop, &p.isoBottom}) {
    iso->passes = any(0, 9);
    iso->isoTool = size();
    iso->floodClearance = size();
    iso->target = static_cast<uint8_t>(any(0, 255));
  }
  std::strcpy(p.isoTop.signal, "NET_1");
  p.isoBottom.sources.set(any(0, 255));             // the top side has no source layers
  p.routerPasses = seed & 1 ? 0xB5u : 0x800000B5u;  // bit 31 makes the written number negative
  p.format = 'G';
  p.viaSize = size();
  p.padHole = size();
  p.currentLayer = static_cast<uint16_t>(any(0, 255));
  for (int n : {0, 1, 2, 15, 200, 255}) {
    LayerEntry& e = p.layers[n];
    e.color = static_cast<uint32_t>(word());
    e.plotColor = static_cast<uint32_t>(word());
    e.type = static_cast<uint8_t>(any(0, 63));
    e.sequence = static_cast<uint8_t>(any(0, 255));
    std::snprintf(e.name, sizeof e.name, n == 0 ? "" : "Layer, %d", n);
  }
  std::strcpy(p.layers[3].name, "-");  // unused, not written
  p.layers[3].color = 0x123456;
  std::strcpy(p.gerber[2].name, "TSS");
  p.gerber[2].number = 6;
  p.gerber[2].layers.set(1);
  std::strcpy(p.gerber[5].name, "DRL");
  p.gerber[5].number = 4;
  std::strcpy(p.libraries[1], "/home/user/lib/connectors.lib");
}

TEST(OptionsRoundTrip, RichBlocksGiveIdenticalHeaders) {
  for (unsigned seed = 1; seed <= 8; ++seed) {
    Context ctx;
    fill(ctx.params, seed, seed > 4);
    const std::string first = header(ctx);
    ASSERT_EQ(rewrite(first), first) << "seed " << seed;
  }
}

TEST(OptionsRoundTrip, StartupBlockAndLayout) {
  Context ctx;
  const std::string h = header(ctx);
  EXPECT_EQ(rewrite(h), h);
  EXPECT_EQ(h.rfind("TRELMO Version 4.0 -- Data File.\r\n\r\nSetup parameters:\r\n-gc0,0,0,0,0,0,0,,,0\r\n", 0), 0u);
  EXPECT_NE(h.find("\r\n-gs1.0000\",0,0.0001\"\r\n"), std::string::npos);
  EXPECT_NE(h.find("\r\n-gf\r\n\r\nItem parameters:\r\n-il.01\r\n"), std::string::npos);
  EXPECT_NE(h.find("\r\n-y1\r\n-y0:00000000,00000000,0,0,\r\n\r\nGerber"), std::string::npos);
  EXPECT_NE(h.find("\r\n-dy\r\n\r\nComponent libraries:\r\n-b\r\n\r\nPrimary Data File:\r\n"), std::string::npos);
  EXPECT_EQ(h.find(" \r\n"), std::string::npos);  // no trailing blanks
  EXPECT_EQ(h.substr(h.size() - 40), "Line: 1 layer width X1 Y1 X2 Y2 signal\r\n");
}

TEST(OptionsRoundTrip, RouterPassSetIsSigned) {
  Context ctx;
  parseOptionV4(ctx, "-ga-1");
  EXPECT_EQ(ctx.params.routerPasses, 0xFFFFFFFFu);
  EXPECT_NE(header(ctx).find("\r\n-ga-1\r\n"), std::string::npos);
}

TEST(OptionsRoundTrip, ListLines) {
  Context ctx;
  parseOptionsV4(ctx, {"-dy", "-dyTSS:6,1", "-dyDRL:4", "-dyBOT:8,12,200", "-y2:00FF0000,00000000,2,5,Top",
                       "-gtt1,.01,0,0,0,0,0,GND,2,1,3", "-gc1,1,1,1,1,1,1,,,2,5"});
  const std::string h = header(ctx);
  for (const char* line :
       {"\r\n-dyTSS:6,1\r\n-dyDRL:4\r\n-dyBOT:8,12,200\r\n", "\r\n-y2:00FF0000,00000000,2,5,Top\r\n",
        "\r\n-gtt1,.01,0,0,0,0,0,GND,2,1,3\r\n", "\r\n-gc.001,.001,.001,.001,.001,.001,.001,,,2,5\r\n"})
    EXPECT_NE(h.find(line), std::string::npos) << line;
}

TEST(OptionsRoundTrip, MetricSnapStepIsWrittenInMillimetres) {
  Context ctx;
  parseOptionsV4(ctx, {"-gs1.0mm,0,1mm", "-gs0.50mm,1,0.5mm,1mm"});
  EXPECT_NE(header(ctx).find("\r\n-gs0.50mm,1,0.5mm,1mm\r\n"), std::string::npos);
  ctx.params.units = 2;
  EXPECT_NE(header(ctx).find("\r\n-gs0.02\",1,"), std::string::npos);
}

// The units' decimals must not lose the step: 0.025 inch shown with none or
// one decimal is still written 0.025 (0 would read back as no snap at all).
TEST(OptionsRoundTrip, SnapStepKeepsItsValueWhateverTheDecimalsShown) {
  for (int units : {0, 1, 2, -1}) {
    Context ctx;
    parseOptionsV4(ctx, {"-gs0.025\",0,.025\""});
    ctx.params.units = static_cast<int8_t>(units);
    const std::string h = header(ctx);
    const char* expected = units < 0 ? "\r\n-gs0.635mm,0," : "\r\n-gs0.025\",0,";
    EXPECT_NE(h.find(expected), std::string::npos) << units;
    Context back;
    parseOptionsV4(back, {h.substr(h.find("-gs"), h.find("\r\n", h.find("-gs")) - h.find("-gs"))});
    EXPECT_NEAR(back.params.snapStep, ctx.params.snapStep, 16) << units;
  }
  Context third;
  parseOptionsV4(third, {"-gs1/3\",0"});
  EXPECT_NE(header(third).find("\r\n-gs0.3333\",0"), std::string::npos) << "no count of decimals is exact";
}

TEST(OptionsPark, RestoreGivesBackTheBlockAndFreesThePieces) {
  Context ctx;
  const Handle file = newDesignFile(ctx, "/tmp/board.pcb");
  ASSERT_NE(file, kNull);
  fill(ctx.params, 3, false);
  convertColors(ctx);  // restoring converts the colours again
  Params before;
  std::memcpy(&before, &ctx.params, sizeof(Params));
  const Handle undo = ctx.pool.allocate();
  ctx.rec(file).w3 = static_cast<int32_t>(undo);
  const size_t freeBefore = ctx.pool.freeCount();

  ASSERT_TRUE(parkParams(ctx, file));
  EXPECT_NE(static_cast<Handle>(ctx.rec(file).w3), undo);
  EXPECT_EQ(freeBefore - ctx.pool.freeCount(), (sizeof(Params) + 27) / 28);
  startupParams(ctx.params);
  std::memset(ctx.params.layers, 0x5A, sizeof ctx.params.layers);

  struct TitleHost : Host {
    std::string title;
    void setTitle(const std::string& t) override { title = t; }
  } host;
  ctx.host = &host;
  ASSERT_TRUE(restoreParams(ctx, file));
  const auto* a = reinterpret_cast<const uint8_t*>(&ctx.params);
  const auto* b = reinterpret_cast<const uint8_t*>(&before);
  EXPECT_EQ(std::mismatch(a, a + sizeof(Params), b).first - a, static_cast<ptrdiff_t>(sizeof(Params)));
  EXPECT_EQ(static_cast<Handle>(ctx.rec(file).w3), undo);
  EXPECT_EQ(ctx.pool.freeCount(), freeBefore);
  EXPECT_EQ(host.title, "/tmp/board.pcb");
  // Nothing is parked any more: a second restore is refused and changes nothing.
  ctx.params.units = 2;
  EXPECT_FALSE(restoreParams(ctx, file));
  EXPECT_EQ(ctx.params.units, 2);
}

TEST(OptionsPark, PoolExhaustionLeavesTheFileAsItWas) {
  Context ctx;
  const Handle file = newDesignFile(ctx, "a.pcb");
  ASSERT_NE(file, kNull);
  const int32_t w3 = ctx.rec(file).w3;
  ctx.pool.setBlockLimit(ctx.pool.blockCount());
  while (ctx.pool.freeCount() > 10) ctx.pool.allocate();
  EXPECT_FALSE(parkParams(ctx, file));
  EXPECT_EQ(ctx.rec(file).w3, w3);
  EXPECT_EQ(ctx.pool.freeCount(), 10u);
}

}  // namespace
}  // namespace trelmo
