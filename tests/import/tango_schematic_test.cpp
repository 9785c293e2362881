#include <gtest/gtest.h>

#include <memory>

#include "database/chains.h"
#include "database/options.h"
#include "import/dxf_test_support.h"

namespace trelmo::testing {
namespace {

class TangoSchematicTest : public ImportFixture, public ::testing::Test {
 protected:
  char read(const std::string& records, char hint = kHintNone) {
    in.openMemory("TangoPRO_ASCII\n" + records);
    return readTangoSchematic(ctx, in, hint);
  }
};

TEST_F(TangoSchematicTest, RecognitionAndHints) {
  EXPECT_EQ(read(""), 'T');
  EXPECT_EQ(read("", 'T'), 'T');
  EXPECT_EQ(read("", kHintDxf), 0);
  in.openMemory("TangoPRO ASCII\n");
  EXPECT_EQ(readTangoSchematic(ctx, in, kHintNone), 0);
}

TEST_F(TangoSchematicTest, SetupMakesASchematicFile) {
  ctx.params.gridColor = 0x123456;
  ASSERT_EQ(read(""), 'T');
  EXPECT_EQ(ctx.layer(1).kind(), kSymbols);
  EXPECT_TRUE(ctx.params.isSchematic());
  EXPECT_STREQ(ctx.layer(1).name, "Symbols");
  EXPECT_STREQ(ctx.layer(2).name, "Signals");
  EXPECT_STREQ(ctx.layer(3).name, "Busses");
  EXPECT_TRUE(ctx.layer(4).unused());
  EXPECT_TRUE(ctx.layer(15).unused());
  EXPECT_EQ(ctx.params.currentLayer, 1);
  auto fresh = std::make_unique<Params>();
  startupParams(*fresh);
  EXPECT_EQ(ctx.params.gridColor, fresh->gridColor);
  EXPECT_EQ(ctx.params.textSize, 3146);  // "-t48"
}

TEST_F(TangoSchematicTest, SampleSchematicFile) {
  ASSERT_EQ(readFile(ctx, std::string(TRELMO_TEST_DATA) + "/tango/schematic.sch", 'T'), 'T');
  auto all = items();
  ASSERT_EQ(all.size(), 6u);
  const Record& line = at(all[0]);
  EXPECT_EQ(line.type(), kLine);
  EXPECT_EQ(line.layer, 1);
  EXPECT_EQ(line.size, 655);
  EXPECT_EQ(line.x1, kIn);
  EXPECT_EQ(line.w3, 2 * kIn);
  EXPECT_EQ(at(all[1]).layer, 2);
  EXPECT_EQ(at(all[1]).w4, 2 * kIn);
  const Record& bus = at(all[2]);
  EXPECT_EQ(bus.layer, 3);
  EXPECT_EQ(bus.size, 3277);
  EXPECT_EQ(bus.x1, kIn / 2);
  EXPECT_EQ(bus.w4, 3 * kIn);
  const Record& arc = at(all[3]);
  EXPECT_EQ(arc.type(), kArc);
  EXPECT_EQ(arc.x1, 3 * kIn / 2);
  EXPECT_EQ(item::radius(arc), kIn / 4);
  EXPECT_EQ(item::start(arc), 0);
  EXPECT_EQ(item::sweep(arc), 16384);
  const Record& dot = at(all[4]);
  EXPECT_EQ(dot.type(), kPad);
  EXPECT_EQ(item::padType(dot), item::kSchematicDot);
  EXPECT_EQ(dot.layer, 2);
  EXPECT_EQ(item::padX(dot), 2624);
  const Record& t = at(all[5]);
  EXPECT_EQ(t.type(), kText);
  EXPECT_EQ(t.size, 3960);  // size 60 times 66
  EXPECT_EQ(readText(ctx, all[5]), "R1 10K");
  EXPECT_GT(item::textLength(t), 0);
}

TEST_F(TangoSchematicTest, TextSizeOnlyWithinItsRange) {
  ASSERT_EQ(read("text 0 0 \"a\" 3\ntext 0 0 \"b\" 1000\ntext 0 0 \"c\"\ntext 0 0 \"\" 60\ntext 0 0 no quotes\n"), 'T');
  auto texts = itemsOfType(kText);
  ASSERT_EQ(texts.size(), 3u);
  for (Handle h : texts) EXPECT_EQ(at(h).size, 3932);
}

TEST_F(TangoSchematicTest, ClockwiseArcStartsAtItsOtherEnd) {
  ASSERT_EQ(read("arc 0 0 1 90 -90\narc 0 0 1 0 360\n"), 'T');
  auto arcs = itemsOfType(kArc);
  ASSERT_EQ(arcs.size(), 2u);
  EXPECT_EQ(item::start(at(arcs[0])), 0);
  EXPECT_EQ(item::sweep(at(arcs[0])), 16384);
  EXPECT_EQ(item::sweep(at(arcs[1])), 0);
}

TEST_F(TangoSchematicTest, ShortAndDamagedRecordsAreSkipped) {
  std::string s = "line 1 2 3\nwire\nbus 1 2 3 4\narc 1 2\njunction 5\ntext 1 1 \"open\n";
  s += "line - - . .-. 1e9 99999999999999999999 -99999999999999 1 2\n";
  s += "text \"" + std::string(2000, 'q') + "\n";
  s += std::string("wire 1 1 2 2\0\xff", 14) + "\n";
  ASSERT_EQ(read(s), 'T');
  // Kept: the open text, the line of odd numbers and the last wire.
  EXPECT_EQ(itemsOfType(kText).size(), 1u);
  EXPECT_EQ(itemsOfType(kLine).size(), 2u);
  EXPECT_TRUE(itemsOfType(kArc).empty());
  EXPECT_TRUE(itemsOfType(kPad).empty());
}

TEST_F(TangoSchematicTest, TangoNetlistOpensAsText) {
  const std::string net = corpusFile("tango/gnetlist-TwoStageAmp-tango.net");
  if (net.empty()) GTEST_SKIP() << "corpus not available";
  in.openMemory(net);
  EXPECT_EQ(readerChain(ctx, in, kHintNone), kFormatText);
  in.openMemory(net);
  EXPECT_EQ(readTangoBoard(ctx, in, kHintNone), 0);
  EXPECT_EQ(readProtel(ctx, in, kHintNone), 0);
}

}  // namespace
}  // namespace trelmo::testing
