#include <gtest/gtest.h>

#include <tuple>

#include "database/chains.h"
#include "database/signals.h"
#include "files/import/tango_common.h"
#include "files/import/tango_reader.h"
#include "import/dxf_test_support.h"

namespace trelmo::testing {
namespace {

constexpr int32_t kMil100 = 6554;  // 100 mils rounded to world units

class TangoBoardTest : public ImportFixture, public ::testing::Test {
 protected:
  char read(const std::string& text, char hint = kHintNone) {
    in.openMemory(text);
    return readTangoBoard(ctx, in, hint);
  }
  std::string board(const std::string& records) { return ";Tango-PCB\n" + records; }
  std::string text(Handle h) const { return readText(ctx, h); }
};

TEST_F(TangoBoardTest, RecognisedByItsFirstLineOnlyWithoutHint) {
  const std::tuple<const char*, char, char> cases[] = {
      {";Tango-PCB\n", kHintNone, 'T'}, {"VERSION 1.0\n", kHintNone, 'T'}, {";Tango-PCB\n", kHintDxf, 0},
      {"VERSIONS\n", kHintNone, 0},     {" ;Tango-PCB\n", kHintNone, 0},   {"", kHintNone, 0}};
  for (auto [text, hint, result] : cases) EXPECT_EQ(read(text, hint), result) << text;
}

TEST_F(TangoBoardTest, SetupAndLayerMap) {
  ASSERT_EQ(read(board("")), 'T');
  EXPECT_STREQ(ctx.layer(7).name, "Top Copper");
  EXPECT_TRUE(ctx.layer(8).bottom());
  EXPECT_TRUE(ctx.layer(20).unused());
  EXPECT_STREQ(ctx.params.libraries[1], "SMD.LIB");
  // Tango layer numbers count modulo 32, negative ones too.
  EXPECT_EQ(tango::boardLayer(32 + 3), 9);
  EXPECT_EQ(tango::boardLayer(-32), 7);
  EXPECT_EQ(tango::boardLayer(31), 0);
}

TEST_F(TangoBoardTest, TrackOfWidthZeroIsOneMilWide) {
  ASSERT_EQ(read(board("TR 0 0 0 0 100 0 0 0\nLINE 10 1 0 0 0 -100 0 0\n")), 'T');
  auto lines = itemsOfType(kLine);
  ASSERT_EQ(lines.size(), 2u);
  const Record& l = at(lines[0]);
  EXPECT_EQ(l.size, 65);
  EXPECT_EQ(l.layer, 7);
  EXPECT_EQ(corners(l), (Corners{0, 0, kMil100, 0}));
  EXPECT_EQ(at(lines[1]).size, 655);
  EXPECT_EQ(at(lines[1]).layer, 8);
  EXPECT_EQ(at(lines[1]).w4, -kMil100);
}

TEST_F(TangoBoardTest, TextsTakeReferenceAndTypeMarksAndQuotedFields) {
  ASSERT_EQ(read(board("TEXT \".REFDES\" 60 0 0 8 0 0 0 0 0 0\n"
                       "STR \".TYPE\" 60 6 0 8 100 0 0 0 0 0\n"
                       "TEXT \"say \"\"hi\"\" now\" 60 0 0 8 0 0 0 0 0 0\n"
                       "TEXT \"\" 60 0 0 8 0 0 0 0 0 0\n"
                       "TEXT \"zero\" 0 0 0 8 0 0 0 0 0 0\n")),
            'T');
  auto texts = itemsOfType(kText);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(text(texts[0]), "&1");
  EXPECT_EQ(at(texts[0]).layer, 3);
  EXPECT_EQ(at(texts[0]).size, 3932);  // 60 mils
  EXPECT_GT(item::textLength(at(texts[0])), 0);
  EXPECT_EQ(text(texts[1]), "&2");
  EXPECT_LT(item::textLength(at(texts[1])), 0);     // flag 4 mirrors
  EXPECT_EQ(item::textAngle(at(texts[1])), 32768);  // two quarter turns
  EXPECT_EQ(text(texts[2]), "say \"hi\" now");
  // The length follows the string: six characters are three times two.
  EXPECT_EQ(item::textLength(at(texts[2])), textLengthOf("say \"hi\" now", 3932));
  EXPECT_GT(textLengthOf("abcdef", 3932), 2 * textLengthOf("ab", 3932));
}

TEST_F(TangoBoardTest, PadsViasAndPlanes) {
  ASSERT_EQ(read(board("PAD SQ62 62 70 35 - - 1 1000 1000 0 0\n"
                       "PAD RD62 40 40 20 - P A1 0 0 0 0\n"
                       "PAD SQ50 50 80 0 T - 3 0 0 0 0\n"
                       "PAD OV50 50 80 0 B G 4 0 0 0 0\n"
                       "PAD SQ 999999 1 1 - - 5 0 0 0 0\n"
                       "VIA 0 50 28 G 300 300 0 0\n"
                       "VIA 0 50 28 P 300 300 0 0\n"
                       "VIA 0 50 28 - 300 300 0 0\n")),
            'T');
  auto pads = itemsOfType(kPad);
  ASSERT_EQ(pads.size(), 8u);
  const Record& p = at(pads[0]);
  EXPECT_EQ(item::padType(p), item::kRectThru);
  EXPECT_EQ(p.layer, 0);
  EXPECT_EQ(p.x1, kInch);
  EXPECT_EQ(item::padX(p), 4063);  // 62 mils
  EXPECT_EQ(item::padY(p), 4588);  // 70 mils
  EXPECT_EQ(item::padHole(p), 2294);
  EXPECT_EQ(item::padPin(p), 1u);
  EXPECT_EQ(item::padType(at(pads[1])), item::kOvalThru);
  EXPECT_EQ(at(pads[1]).layer, 9);
  EXPECT_EQ(pinName(ctx, pads[1]), "A1");
  EXPECT_EQ(item::padType(at(pads[2])), item::kRectSmt);
  EXPECT_EQ(at(pads[2]).layer, 7);
  EXPECT_EQ(item::padType(at(pads[3])), item::kOvalSmt);
  EXPECT_EQ(at(pads[3]).layer, 10);           // the plane letter wins over the side
  EXPECT_EQ(item::padX(at(pads[4])), 32767);  // X size kept to 15 bits
  for (int i = 5; i < 8; ++i) {
    EXPECT_EQ(item::padType(at(pads[i])), item::kRoundVia);
    EXPECT_EQ(item::padX(at(pads[i])), item::padY(at(pads[i])));
  }
  // Vias on a plane go to the plane layers, as pads do.
  EXPECT_EQ(at(pads[5]).layer, 10);
  EXPECT_EQ(at(pads[6]).layer, 9);
  EXPECT_EQ(at(pads[7]).layer, 0);
}

TEST_F(TangoBoardTest, ArcsInWholeDegrees) {
  ASSERT_EQ(read(board("ARC 100 90 90 10 0 0 0 0 0\nARC 100 90 -90 10 1 0 0 0 0\nARC -50 0 360 10 0 0 0 0 0\n")), 'T');
  auto arcs = itemsOfType(kArc);
  ASSERT_EQ(arcs.size(), 3u);
  EXPECT_EQ(item::radius(at(arcs[0])), kMil100);
  EXPECT_EQ(item::start(at(arcs[0])), 16384);
  EXPECT_EQ(item::sweep(at(arcs[0])), 16384);
  EXPECT_EQ(at(arcs[0]).size, 655);
  EXPECT_EQ(item::start(at(arcs[1])), 0);  // clockwise from 90: counter-clockwise from 0
  EXPECT_EQ(item::sweep(at(arcs[1])), 16384);
  EXPECT_EQ(at(arcs[1]).layer, 8);
  EXPECT_EQ(item::sweep(at(arcs[2])), 0);  // a whole circle
  EXPECT_EQ(item::radius(at(arcs[2])), 3277);
}

TEST_F(TangoBoardTest, FillsAndPolygonsBecomeFilledSolids) {
  ASSERT_EQ(read(board("FILL 0 100 200 0 0 0\nPOLY 1 3 0\nPNT 0 0\nPNT 100 0\nPNT 0 100\nPOLY 1 0 0\nPNT 5 5\n")), 'T');
  // The second polygon got its vertex; a polygon with no vertex is dropped.
  auto solids = itemsOfType(kLine);
  ASSERT_EQ(solids.size(), 3u);
  const Record& f = at(solids[0]);
  EXPECT_TRUE(item::isSolid(f));
  EXPECT_EQ(f.layer, 7);
  // Vertices run (X1,Y1), (X2,Y1), (X2,Y2), (X1,Y2).
  std::vector<std::pair<int32_t, int32_t>> v;
  for (Handle e = f.ext; e != kNull; e = at(e).ext) v.emplace_back(at(e).x1, at(e).y1);
  EXPECT_EQ(v, (std::vector<std::pair<int32_t, int32_t>>{
                   {kMil100, 2 * kMil100 - 1}, {0, 2 * kMil100 - 1}, {0, 0}, {kMil100, 0}}));
  EXPECT_EQ(f.x1, 0);  // bounding box
  EXPECT_EQ(f.w3, kMil100);
  const Record& p = at(solids[1]);
  EXPECT_EQ(p.layer, 8);
  EXPECT_EQ(p.w3, kMil100);
  EXPECT_EQ(p.w4, kMil100);

  ASSERT_EQ(read(board("POLY 1 3 0\nLINE 10 0 0 0 1 1 0 0\n")), 'T');
}

TEST_F(TangoBoardTest, PolygonWithoutPointsLeavesNothing) {
  ASSERT_EQ(read(board("POLY 1 3 0\nPNT\nPOLY 2 0 0\n")), 'T');
  auto solids = itemsOfType(kLine);
  ASSERT_EQ(solids.size(), 1u);  // the first got one (empty) point, the second none
  EXPECT_NE(at(solids[0]).ext, kNull);
}

TEST_F(TangoBoardTest, NetsGiveTheirSignalsAfterReading) {
  ASSERT_EQ(read(board("TR 10 0 0 0 100 0 1 0\n"
                       "NET \"VCC\" 1 0\n"
                       "ARC 100 0 90 10 0 0 0 2 0\n"
                       "PAD SQ62 62 62 35 - - 1 0 0 1 0\n"
                       "TR 10 0 0 0 100 0 7 0\n"
                       "NET gnd 2 0\n"
                       "NET \"VCC_DUP\" 1 0\n")),
            'T');
  auto lines = itemsOfType(kLine);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(itemSignal(ctx, lines[0]), "VCC");
  EXPECT_EQ(itemSignal(ctx, lines[1]), "");  // net 7 has no record
  EXPECT_EQ(itemSignal(ctx, itemsOfType(kArc)[0]), "gnd");
  // The hidden net records and the visible pad.
  auto pads = itemsOfType(kPad);
  ASSERT_EQ(pads.size(), 3u);
  EXPECT_TRUE(at(pads[0]).hidden());
  EXPECT_EQ(at(pads[0]).x1, 1);
  EXPECT_EQ(itemSignal(ctx, pads[1]), "VCC");
  EXPECT_TRUE(at(pads[2]).hidden());
  const Handle vcc = findSignal(ctx, "VCC");
  ASSERT_NE(vcc, kNull);
  EXPECT_EQ(signalRefs(ctx, vcc), 3u);  // net record, track and pad
  EXPECT_EQ(findSignal(ctx, "VCC_DUP"), kNull);
}

TEST_F(TangoBoardTest, ComponentsCollectTheirItemsInSortedOrder) {
  ASSERT_EQ(read(board("COMP \"R10\" \"1K\" \"m\" \"RES400\" \"x\" 0 0 0 0 0 0 3\n"
                       "COMP \"R2\" \"4K7\" \"\" \"RES400\" \"\" 500 600 0 0 0 0 2\n"
                       "PAD SQ62 62 62 35 - - 1 1000 1000 0 2\n"
                       "LINE 10 8 900 950 1100 950 0 2\n"
                       "PAD SQ62 62 62 35 - - 1 0 0 0 3\n"
                       "COMP \"EMPTY\" \"\" \"\" \"\" \"\" 0 0 0 0 0 0 4\n"
                       "LINE 10 0 0 0 1 1 0 9\n"
                       "LINE 10 0 0 0 1 1 0\n")),
            'T');
  auto comps = itemsOfType(kComponent);
  ASSERT_EQ(comps.size(), 2u);  // the empty one is dropped
  EXPECT_EQ(items()[0], comps[0]);
  EXPECT_EQ(items()[1], comps[1]);
  const Record& r2 = at(comps[0]);
  const Handle ring = r2.ext;
  EXPECT_EQ(text(ring), std::string("RES400\177R2\1774K7"));
  EXPECT_EQ(readText(ctx, at(comps[1]).ext), std::string("RES400\177R10\1771K\177m\177x"));
  EXPECT_EQ(at(ring).x1, 32768);
  EXPECT_EQ(at(ring).y1, 39322);  // 600 mils rounded
  EXPECT_EQ(at(ring).w5, 2);
  EXPECT_EQ(item::owner(at(ring)), comps[0]);
  EXPECT_EQ(items(ring).size(), 2u);
  // The header's box covers its items.
  EXPECT_EQ(corners(r2), (Corners{58982, 62259, 72090, kInch}));  // 900, 950, 1100 and 1000 mils
  // Items naming no component, or an unknown one, stay on the board.
  EXPECT_EQ(itemsOfType(kLine).size(), 2u);
}

TEST_F(TangoBoardTest, SampleBoardFile) {
  ASSERT_EQ(readFile(ctx, std::string(TRELMO_TEST_DATA) + "/tango/board.pcb", kHintNone), 'T');
  EXPECT_EQ(ctx.params.format, 'T');
  auto comps = itemsOfType(kComponent);
  ASSERT_EQ(comps.size(), 2u);
  const Handle r1 = at(comps[0]).ext;
  EXPECT_EQ(readText(ctx, r1), std::string("RES400\177R1\17710K"));
  ASSERT_EQ(items(r1).size(), 5u);
  EXPECT_EQ(items(at(comps[1]).ext).size(), 2u);
  EXPECT_EQ(itemSignal(ctx, items(r1)[0]), "VCC");
  EXPECT_EQ(itemSignal(ctx, items(r1)[1]), "GND");
  EXPECT_EQ(text(items(r1)[3]), "&1");
  EXPECT_EQ(at(comps[0]).x1, 62259);  // 950 mils
  EXPECT_EQ(at(comps[0]).w4, 75366);  // 1150 mils
  EXPECT_EQ(itemsOfType(kText).size(), 1u);
  EXPECT_EQ(text(itemsOfType(kText)[0]), "Made with \"Tango\"");
  EXPECT_EQ(itemsOfType(kArc).size(), 1u);
  EXPECT_EQ(itemSignal(ctx, itemsOfType(kArc)[0]), "GND");
}

TEST_F(TangoBoardTest, HostileRecordsNeverCrash) {
  std::string s = ";Tango-PCB\n";
  s += "TEXT \"unterminated 60 0 0 8 0 0\n";
  s += "TR 99999999999999999999 0 -99999999999999999 99999999999999 0 0 0 0\n";
  s += "PAD\nVIA\nARC\nCOMP\nNET\nFILL\nPOLY\nPNT 1\nTEXT\nLINE\n";
  s += "PAD SQ -5 -5 -5 T G \"\" 0 0 0 0\n";
  s += "ARC 10 0 -99999999 1 1 0 0 0 0\n";
  s += "COMP " + std::string(3000, 'x') + "\n";
  s += "LINE" + std::string(200, ' ') + std::string(100, '1') + "\n";
  for (int i = 0; i < 200; ++i) s += "LINE 1 0 0 0 1 1 0 0 ";
  s += "\n";
  s += std::string("TR 1 0 0 0 1 1 1 1\0\xff\x01", 24) + "\n";
  s += "COMP a b c d e 0 0 0 0 0 0 1\nCOMP a b c d e 0 0 0 0 0 0 1\nTR 1 0 0 0 1 1 0 1\n";
  EXPECT_EQ(read(s), 'T');
  auto lines = itemsOfType(kLine);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(at(lines[0]).size, 65535);  // held at the largest size
  for (Handle h : itemsOfType(kPad)) EXPECT_EQ(item::padX(at(h)), 0);
}

}  // namespace
}  // namespace trelmo::testing
