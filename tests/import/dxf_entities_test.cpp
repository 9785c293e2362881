#include <gtest/gtest.h>

#include <cstring>

#include "database/chains.h"
#include "files/import/dxf_groups.h"
#include "files/import/dxf_reader.h"
#include "import/dxf_test_support.h"

namespace trelmo::testing {
namespace {

class DxfTest : public ImportFixture, public ::testing::Test {
 protected:
  char read(const std::string& text, char hint = kHintDxf) {
    in.openMemory(text);
    return readDxf(ctx, in, hint);
  }
  // Both ends of an arc, with the start counted from the axis angle.
  void ends(const Record& a, double& x1, double& y1, double& x2, double& y2) {
    const uint32_t start = item::start(a) + item::axisAngle(a);
    arcPoint(a, start, x1, y1);
    arcPoint(a, start + item::sweep(a), x2, y2);
  }
};

TEST_F(DxfTest, RecognisesTheHeaderSectionAfterComments) {
  const std::string commented =
      "999\r\nmade by hand\r\n999\r\nsecond\r\n  0\r\nSECTION\r\n  2\r\nHEADER\r\n  0\r\nENDSEC\r\n";
  EXPECT_TRUE(dxf::looksLikeDxf(commented));
  EXPECT_TRUE(dxf::looksLikeDxf("0\nSECTION\n2\nHEADER\n"));
  EXPECT_FALSE(dxf::looksLikeDxf("  0\nSECTION\n  2\nTABLES\n"));
  EXPECT_FALSE(dxf::looksLikeDxf("999\n"));
  EXPECT_FALSE(dxf::looksLikeDxf("TRELMO Version 4.0\n"));

  EXPECT_EQ(read(groups("0 SECTION 2 TABLES 0 ENDSEC 0 EOF"), kHintNone), 0);
  EXPECT_EQ(read(groups("0 SECTION 2 TABLES 0 ENDSEC 0 EOF"), kHintDxf), 'X');
  EXPECT_EQ(read(dxfFile(""), kHintGerber), 0);
  EXPECT_EQ(read(commented), 'X');
}

TEST_F(DxfTest, NumbersTakeExponentsLimitedToFive) {
  EXPECT_DOUBLE_EQ(dxf::number("1.5E2"), 150);
  EXPECT_DOUBLE_EQ(dxf::number("2.5E-1"), 0.25);
  EXPECT_DOUBLE_EQ(dxf::number(" -3.25"), -3.25);
  EXPECT_DOUBLE_EQ(dxf::number("1.0E+020"), 100000);
  EXPECT_DOUBLE_EQ(dxf::number("junk"), 0);
  EXPECT_EQ(dxf::toUnits(0.25), kIn / 4);
  EXPECT_EQ(dxf::toUnits(150), 150 * kIn);
  EXPECT_LT(dxf::toUnits(1e5), INT32_MAX);  // held inside the range, not wrapped
  EXPECT_GT(dxf::toUnits(-1e5), INT32_MIN);
}

TEST_F(DxfTest, LayersAreNamedInTheFirstEmptySlotAndReused) {
  read(
      dxfFile(groups("0 LINE 8 OUTLINE 10 0 20 0 11 1 21 0 0 LINE 8 A-VERY-LONG-LAYER-NAME 10 0 20 0 11 1 21 0 0 LINE "
                     "8 OUTLINE 10 0 20 0 11 2 21 0 0 LINE 8 A-VERY-LONG-LAYER-NAME 10 0 20 0 11 1 21 0")));
  auto lines = itemsOfType(kLine);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(at(lines[0]).layer, at(lines[2]).layer);
  EXPECT_EQ(at(lines[1]).layer, at(lines[3]).layer);  // a cut name finds its layer again
  EXPECT_NE(at(lines[0]).layer, at(lines[1]).layer);
  const LayerEntry& e = ctx.layer(at(lines[0]).layer);
  EXPECT_STREQ(e.name, "OUTLINE");
  EXPECT_EQ(e.color, 0xFFFF00u);
  EXPECT_EQ(std::strlen(ctx.layer(at(lines[1]).layer).name), 15u);
}

TEST_F(DxfTest, LayerTableEntriesTakeTheColourAndTheInvertedPlotColour) {
  read(dxfFile(groups("0 LINE 8 RED 10 0 20 0 11 1 21 1"), "",
               groups("0 TABLE 2 LAYER 0 LAYER 2 RED 70 0 62 1 0 LAYER 2 GREEN 62 -19 0 ENDTAB")));
  auto lines = itemsOfType(kLine);
  ASSERT_EQ(lines.size(), 1u);
  const LayerEntry& red = ctx.layer(at(lines[0]).layer);
  EXPECT_STREQ(red.name, "RED");
  EXPECT_EQ(red.color, 0xAA0000u);
  EXPECT_EQ(red.plotColor, 0x55FFFFu);
  EXPECT_EQ(ctx.layer(at(lines[0]).layer + 1).color, 0x00AA00u);  // colour 19 (turned off) is 3
}

TEST_F(DxfTest, ClosedPolylineOfFourVerticesGivesFourLines) {
  read(
      dxfFile(groups("0 POLYLINE 8 0 66 1 70 1 40 0.0005 0 VERTEX 10 0 20 0 0 VERTEX 10 1 20 0 0 VERTEX 10 1 20 1 0 "
                     "VERTEX 10 0 20 1 0 SEQEND")));
  auto lines = itemsOfType(kLine);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(corners(at(lines[3])), (Corners{0, kIn, 0, 0}));
  EXPECT_EQ(at(lines[0]).size, 65);  // thinner than 66 units
}

TEST_F(DxfTest, BulgedSegmentsAreArcsThroughBothVertices) {
  const char* bulges[] = {"1", "-1", "0.4142135", "-0.2", "3.5", "-0.05"};
  for (const char* b : bulges) {
    SCOPED_TRACE(b);
    ImportFixture f;
    f.in.openMemory(dxfFile(groups(std::string("0 POLYLINE 8 0 40 0.01 0 VERTEX 10 1.25 20 2 42 ") + b +
                                   " 0 VERTEX 10 3 20 2.5 0 SEQEND")));
    ASSERT_EQ(readDxf(f.ctx, f.in, kHintDxf), 'X');
    auto arcs = f.itemsOfType(kArc);
    ASSERT_EQ(arcs.size(), 1u);
    const Record& a = f.at(arcs[0]);
    EXPECT_EQ(a.size, 655);
    double x1, y1, x2, y2;
    ends(a, x1, y1, x2, y2);
    const bool ccw = b[0] != '-';
    const double fx = ccw ? 1.25 * kIn : 3 * kIn, fy = ccw ? 2 * kIn : 2.5 * kIn;
    const double tx = ccw ? 3 * kIn : 1.25 * kIn, ty = ccw ? 2.5 * kIn : 2 * kIn;
    const double slack = 4 + item::radius(a) * 2 * M_PI / 65536;
    EXPECT_NEAR(x1, fx, slack);
    EXPECT_NEAR(y1, fy, slack);
    EXPECT_NEAR(x2, tx, slack);
    EXPECT_NEAR(y2, ty, slack);
    const double included = 4 * std::atan(std::fabs(std::atof(b))) / (2 * M_PI) * 65536;
    EXPECT_NEAR(item::sweep(a), included, 2);
  }
}

TEST_F(DxfTest, TwoBulgedVerticesClosedMakeOneFullCircle) {
  read(dxfFile(groups("0 POLYLINE 8 0 70 1 0 VERTEX 10 0 20 0 42 1 0 VERTEX 10 2 20 0 42 1 0 SEQEND")));
  auto all = items();
  ASSERT_EQ(all.size(), 1u);
  const Record& c = at(all[0]);
  EXPECT_EQ(c.type(), kArc);
  EXPECT_EQ(c.x1, kIn);
  EXPECT_EQ(c.y1, 0);
  EXPECT_EQ(item::radius(c), kIn);
  EXPECT_EQ(item::start(c), 0);
  EXPECT_EQ(item::sweep(c), 0);
}

TEST_F(DxfTest, SolidCornersRunFirstThirdFourthSecond) {
  read(dxfFile(groups("0 SOLID 8 FILL 10 0 20 0 11 1 21 0 12 0 22 1 13 1 23 1")));
  auto all = items();
  ASSERT_EQ(all.size(), 1u);
  const Record& s = at(all[0]);
  ASSERT_TRUE(item::isSolid(s));
  EXPECT_EQ(corners(s), (Corners{0, 0, kIn, kIn}));
  std::vector<std::pair<int32_t, int32_t>> seen;
  for (Handle v = s.ext; v != kNull && seen.size() < 10; v = at(v).ext) seen.emplace_back(at(v).x1, at(v).y1);
  const std::vector<std::pair<int32_t, int32_t>> want = {{0, 0}, {0, kIn}, {kIn, kIn}, {kIn, 0}};
  EXPECT_EQ(seen, want);
}

TEST_F(DxfTest, ArcSweepWrapsThroughZero) {
  read(dxfFile(groups("0 ARC 8 0 10 1 20 1 40 0.5 50 350 51 10 0 CIRCLE 8 0 10 2 20 2 40 0.25")));
  auto arcs = itemsOfType(kArc);
  ASSERT_EQ(arcs.size(), 2u);
  EXPECT_EQ(item::start(at(arcs[0])), dxf::toAngle(350));
  EXPECT_EQ(item::sweep(at(arcs[0])), static_cast<uint16_t>(dxf::toAngle(10) - dxf::toAngle(350)));
  EXPECT_EQ(item::radius(at(arcs[0])), kIn / 2);
  EXPECT_EQ(item::sweep(at(arcs[1])), 0);
  EXPECT_EQ(item::radius(at(arcs[1])), kIn / 4);
  EXPECT_EQ(at(arcs[1]).size, 65);
}

TEST_F(DxfTest, TextKeepsHeightRotationMirrorAndString) {
  read(dxfFile(groups("0 TEXT 8 NOTES 10 1 20 2 40 0.1") + pairs({{1, "R1 10%%dC"}}) +
               groups("50 90 0 TEXT 8 NOTES 10 0 20 0 40 2 1 BACK 71 2 0 TEXT 8 NOTES 10 0 20 0 40 0.1")));
  auto texts = itemsOfType(kText);
  ASSERT_EQ(texts.size(), 2u);  // the one without a string makes nothing
  const Record& t = at(texts[0]);
  EXPECT_EQ(t.size, 6554);
  EXPECT_EQ(item::textAngle(t), 16384);
  EXPECT_EQ(t.x1, kIn);
  EXPECT_EQ(readText(ctx, texts[0]), std::string("R1 10") + char(kDegree) + "C");
  EXPECT_GT(item::textLength(t), 0);
  const Record& back = at(texts[1]);
  EXPECT_EQ(back.size, 65535);  // 2 inches is more than a size can hold
  EXPECT_LT(item::textLength(back), 0);
}

// Strings are read in the file's code page (or UTF-8 from AutoCAD 2007 on);
// what the font cannot show becomes "?", never another symbol.
TEST_F(DxfTest, TextCharactersComeFromTheFilesCodePage) {
  const auto header = [](const std::string& vars) { return groups("0 SECTION 2 HEADER") + vars + groups("0 ENDSEC"); };
  const std::string text = pairs({{0, "TEXT"},
                                  {8, "0"},
                                  {10, "0"},
                                  {20, "0"},
                                  {40, "0.1"},
                                  {1, "\370\352\275\260\265 a\177b \\U+00B0\\U+03A9 \\U+4E2D"}});
  const auto entities = groups("0 SECTION 2 ENTITIES") + text + groups("0 ENDSEC 0 EOF");
  const std::string degree(1, char(kDegree)), micro(1, char(kMicro)), half(1, char(kHalf)), ohm(1, char(kOhm));
  read(header("") + entities);  // no code page: ANSI_1252
  ASSERT_EQ(itemsOfType(kText).size(), 1u);
  EXPECT_EQ(readText(ctx, itemsOfType(kText)[0]), "??" + half + degree + micro + " a?b " + degree + ohm + " ?");

  ImportFixture dos;
  dos.in.openMemory(header(groups("9 $DWGCODEPAGE 3 dos437")) + entities);
  readDxf(dos.ctx, dos.in, kHintDxf);
  EXPECT_EQ(readText(dos.ctx, dos.itemsOfType(kText)[0]), degree + ohm + "??? a?b " + degree + ohm + " ?");

  ImportFixture utf8;
  const std::string u = pairs(
      {{0, "TEXT"}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "0.1"}, {1, "\xC3\xB8 \xC2\xBD\xCE\xA9 \xE2\x84\xA6\xC3"}});
  utf8.in.openMemory(header(groups("9 $ACADVER 1 AC1024 9 $DWGCODEPAGE 3 ANSI_1252")) + groups("0 SECTION 2 ENTITIES") +
                     u + groups("0 ENDSEC 0 EOF"));
  readDxf(utf8.ctx, utf8.in, kHintDxf);
  EXPECT_EQ(readText(utf8.ctx, utf8.itemsOfType(kText)[0]), "? " + half + ohm + " " + ohm + "?");
}

TEST_F(DxfTest, LightweightPolylineReadsLikeAPolyline) {
  read(dxfFile(groups("0 LWPOLYLINE 8 EDGE 90 3 70 1 43 0.02 10 0 20 0 10 2 20 0 42 1 10 2 20 2")));
  auto all = items();
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(at(all[0]).type(), kLine);
  EXPECT_EQ(at(all[0]).size, 1311);
  ASSERT_EQ(at(all[1]).type(), kArc);  // the bulge of the second vertex
  EXPECT_EQ(at(all[1]).x1, 2 * kIn);
  EXPECT_EQ(at(all[1]).y1, kIn);
  EXPECT_EQ(item::sweep(at(all[1])), 32768);
  EXPECT_EQ(at(all[2]).type(), kLine);  // closing segment back to the first vertex
  EXPECT_EQ(at(all[2]).w3, 0);
  EXPECT_EQ(at(all[2]).w4, 0);
}

TEST_F(DxfTest, ExtrusionTowardsMinusZMirrorsX) {
  read(
      dxfFile(groups("0 CIRCLE 8 0 10 1 20 2 40 0.5 230 -1 0 ARC 8 0 10 0 20 0 40 1 50 0 51 90 230 -1 0 LWPOLYLINE 8 0 "
                     "10 1 20 0 10 3 20 0 230 -1")));
  auto all = items();
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(at(all[0]).x1, -kIn);
  EXPECT_EQ(at(all[0]).y1, 2 * kIn);
  // The quarter arc from 0 to 90 degrees seen from below runs from 90 to 180.
  EXPECT_EQ(item::start(at(all[1])), 16384);
  EXPECT_EQ(item::sweep(at(all[1])), 16384);
  EXPECT_EQ(at(all[2]).x1, -kIn);
  EXPECT_EQ(at(all[2]).w3, -3 * kIn);
}

TEST_F(DxfTest, EllipsesAndParagraphTextOfNewerVersions) {
  read(dxfFile(groups("0 ELLIPSE 8 0 10 1 20 1 11 0 21 2 40 0.5 41 0 42 1.5707963267949 "
                      "0 ELLIPSE 8 0 10 0 20 0 11 1 21 0 40 1 41 0 42 1.5707963267949 230 -1 "
                      "0 MTEXT 8 0 10 2 20 3 40 0.1 71 1") +
               pairs({{3, "{\\fArial|b0;First\\Pline with 1\\S1^2;"}, {1, " inch}"}})));
  auto all = items();
  ASSERT_EQ(all.size(), 3u);
  const Record& e = at(all[0]);
  EXPECT_EQ(item::radius(e), 2 * kIn);
  EXPECT_EQ(item::axisAngle(e), 16384);  // the major axis points up
  EXPECT_EQ(item::eccentricity(e), 32768);
  EXPECT_EQ(item::start(e), 0);
  EXPECT_EQ(item::sweep(e), 16384);
  // Seen from below, the quarter from 0 to 90 degrees runs from -90 to 0.
  EXPECT_EQ(item::start(at(all[1])), 49152);
  EXPECT_EQ(item::sweep(at(all[1])), 16384);
  const Record& t = at(all[2]);
  EXPECT_EQ(t.type(), kText);
  EXPECT_EQ(item::textAnchor(t), 8);  // top left
  EXPECT_EQ(readText(ctx, all[2]), "First" + std::string(1, char(kLineBreak)) + "line with 11/2 inch");
}

TEST_F(DxfTest, HostileInputEndsQuietly) {
  const std::string cases[] = {
      "",
      groups("0 SECTION 2 ENTITIES 0 POLYLINE 70 1 0 VERTEX 10 1"),
      groups("0 SECTION 2 ENTITIES 0 LWPOLYLINE 90 2000000000 42 5 20 1"),
      groups("0 SECTION 2 BLOCKS 0 BLOCK 2 A 0 INSERT 2 A"),
      groups("0 SECTION 2 ENTITIES 0 ARC 40 1E99999999999 50 nan 51 -1E5"),
      pairs({{0, "SECTION"}, {2, "ENTITIES"}, {0, "TEXT"}, {1, std::string(3000, 'x')}, {40, "-1"}}),
      std::string("0\nSECTION\n2\n") + std::string(5000, '\0') + "\n0\n",
      pairs({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {8, std::string("\x01\x02", 2)}, {10, "--..E-E"}}),
  };
  for (const std::string& c : cases) {
    ImportFixture f;
    f.in.openMemory(c);
    EXPECT_EQ(readDxf(f.ctx, f.in, kHintDxf), 'X');
  }
}

}  // namespace
}  // namespace trelmo::testing
