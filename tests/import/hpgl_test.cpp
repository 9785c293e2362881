#include <gtest/gtest.h>

#include "database/chains.h"
#include "files/import/hpgl_lexer.h"
#include "files/import/hpgl_plotter.h"
#include "import/dxf_test_support.h"

namespace trelmo::testing {
namespace {

class HpglTest : public ImportFixture, public ::testing::Test {
 protected:
  char read(const std::string& text, char hint = kHintHpgl) {
    in.openMemory(text);
    return readHpgl(ctx, in, hint);
  }
};

TEST_F(HpglTest, OneStrokeInPlotterUnits) {
  ASSERT_EQ(read("SP1;PU0,0;PD1000,0;"), 'H');
  auto lines = itemsOfType(kLine);
  ASSERT_EQ(lines.size(), 1u);
  const Record& l = at(lines[0]);
  EXPECT_EQ(l.layer, 1);
  EXPECT_EQ(l.size, 655);
  EXPECT_EQ(l.x1, 0);
  EXPECT_EQ(l.w3, 64504);  // 25 mm: 1000 plotter units of 0.025 mm
  EXPECT_EQ(l.w4, 0);
}

TEST_F(HpglTest, TcSelectsMilsAndSetsThePenWidth) {
  ASSERT_EQ(read("IN;SP2;TC5;PU0,0;PD1000,0,1000,1000;PU;PP;SP1;PD0,0;"), 'H');
  auto lines = itemsOfType(kLine);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(at(lines[0]).w3, kIn);  // 1000 mils
  EXPECT_EQ(at(lines[1]).w4, kIn);
  EXPECT_EQ(at(lines[0]).size, 328);  // 5 mils
  EXPECT_EQ(at(lines[0]).layer, 2);
  auto pads = itemsOfType(kPad);
  ASSERT_EQ(pads.size(), 1u);
  const Record& p = at(pads[0]);
  EXPECT_EQ(p.layer, 0);
  EXPECT_EQ(item::padType(p), item::kRoundVia);
  EXPECT_EQ(p.x1, kIn);
  EXPECT_EQ(p.y1, kIn);
  EXPECT_EQ(item::padX(p), 328);
  EXPECT_EQ(item::padHole(p), 328);
  EXPECT_EQ(at(lines[2]).size, 655);  // a new pen has the default width again
}

TEST_F(HpglTest, RecognitionCountsCommandsAndSeparators) {
  EXPECT_TRUE(hpgl::scan("IN;SP1;PU0,0;PD100,0;PD100,100;PU;PA0,0;PD;PU;PD;").recognised);
  EXPECT_FALSE(hpgl::scan("IN;SP1;PU0,0;PD100,0;PD100,100;PU;PA0,0;PD;").recognised);  // 13 short of 16
  // Relative strokes full of signs are still pen plots.
  EXPECT_TRUE(hpgl::scan("\x03INSP1PRPD-10,-10,-20,-30,-40,-50,-60,-70PUPD-1,-1PUPDPUPDPUPDPUPDPUPDPUPD-5,-5PUPDPUPDPU")
                  .recognised);
  EXPECT_FALSE(hpgl::scan("This is an ordinary letter; it has words.").recognised);
  EXPECT_FALSE(hpgl::scan("SP1;PD").recognised);
  EXPECT_TRUE(hpgl::scan("\x1b.(;\x1b.I81;;17:\x1b.N;19:IN;SP1;PD1,1;PD2,2;PU;PD;PU;PD;PU;PD;PU;").recognised);
  EXPECT_TRUE(hpgl::scan("LBHello world, lots of words\x03;SP1;PD;PU;PD;PU;PD;PU;PD;PU;PD;PU;PD;").recognised);
  EXPECT_TRUE(hpgl::scan("SP1;TC10;PD;").mils);
  EXPECT_FALSE(hpgl::scan("SP1;PD;").mils);

  EXPECT_EQ(read("Dear reader; nothing to plot here.", kHintNone), 0);
  EXPECT_EQ(read("SP1;PD;PU;", kHintDxf), 0);
}

TEST_F(HpglTest, RunTogetherMnemonicsAndRelativeMoves) {
  ASSERT_EQ(read("\x03INSP3PAPU100,200PRPD50,0,0,50PUPA0,0"), 'H');
  auto lines = itemsOfType(kLine);
  ASSERT_EQ(lines.size(), 2u);
  const double u = hpgl::kPlotterUnit;
  EXPECT_EQ(at(lines[0]).x1, std::llround(100 * u));
  EXPECT_EQ(at(lines[0]).y1, std::llround(200 * u));
  EXPECT_EQ(at(lines[0]).w3, std::llround(150 * u));
  EXPECT_EQ(at(lines[1]).w4, std::llround(250 * u));
  EXPECT_EQ(at(lines[1]).layer, 3);
}

TEST_F(HpglTest, ArcsAndCircles) {
  ASSERT_EQ(read("SP1;PA1000,0;PD;AA0,0,90;AA0,0,-90;PU;CI500;SP0;PD2000,0;"), 'H');
  auto arcs = itemsOfType(kArc);
  ASSERT_EQ(arcs.size(), 3u);
  const double u = hpgl::kPlotterUnit;
  const Record& a = at(arcs[0]);
  EXPECT_EQ(a.x1, 0);
  EXPECT_EQ(item::radius(a), std::llround(1000 * u));
  EXPECT_EQ(item::start(a), 0);
  EXPECT_EQ(item::sweep(a), 16384);
  // The clockwise arc back from 90 degrees starts at 0 again.
  EXPECT_EQ(item::start(at(arcs[1])), 0);
  EXPECT_EQ(item::sweep(at(arcs[1])), 16384);
  // CI centres on the current point (1000, 0) after the arcs.
  const Record& c = at(arcs[2]);
  EXPECT_NEAR(c.x1, 1000 * u, 1);
  EXPECT_NEAR(c.y1, 0, 1);
  EXPECT_EQ(item::radius(c), std::llround(500 * u));
  EXPECT_EQ(item::sweep(c), 0);
  EXPECT_TRUE(itemsOfType(kLine).empty());  // pen 0 draws nothing
}

TEST_F(HpglTest, LabelsEscapesAndScaling) {
  ASSERT_EQ(read("\x1b.(\x1b.I81;;17:IN;SP1;LBPD1000,1000;\x03PU0,0;SC0,100,0,100;IP0,0,1000,1000;PD10,0;"), 'H');
  auto lines = itemsOfType(kLine);
  ASSERT_EQ(lines.size(), 1u);  // the label's text is not read as commands
  EXPECT_EQ(at(lines[0]).w3, std::llround(100 * hpgl::kPlotterUnit));
  EXPECT_EQ(at(lines[0]).w4, 0);
}

TEST_F(HpglTest, LabelsBecomeTextsInTheirSizeAndDirection) {
  ASSERT_EQ(read("SP2;PA100,200;SI0.5,1.0;DI0,1;LBHello\x03LBWorld\x03SP0;LBNone\x03"), 'H');
  auto texts = itemsOfType(kText);
  ASSERT_EQ(texts.size(), 2u);  // pen 0 writes nothing
  const Record& t = at(texts[0]);
  EXPECT_EQ(t.layer, 2);
  EXPECT_EQ(t.size, 25802);  // 1 cm
  EXPECT_EQ(t.x1, std::llround(100 * hpgl::kPlotterUnit));
  EXPECT_EQ(item::textAngle(t), 16384);
  EXPECT_EQ(readText(ctx, texts[0]), "Hello");
  // The second label follows the first upward.
  EXPECT_EQ(at(texts[1]).x1, t.x1);
  EXPECT_GT(at(texts[1]).y1, t.y1 + item::textLength(t));
}

TEST_F(HpglTest, ArcsUnderUnequalScalingBecomeEllipsesThatMeetTheirLines) {
  ASSERT_EQ(read("SP1;IP0,0,2000,1000;SC0,100,0,100;PU100,0;PD;AA0,0,90;PD0,0;"
                 "IP0,0,1000,2000;PU100,0;PD;AA0,0,-90;"),
            'H');
  auto arcs = itemsOfType(kArc);
  auto lines = itemsOfType(kLine);
  ASSERT_EQ(arcs.size(), 2u);
  ASSERT_EQ(lines.size(), 1u);
  const double u = hpgl::kPlotterUnit;
  const Record& wide = at(arcs[0]);
  EXPECT_EQ(item::radius(wide), std::llround(2000 * u));
  EXPECT_EQ(item::eccentricity(wide), 32768);
  EXPECT_EQ(item::axisAngle(wide), 0);
  EXPECT_EQ(item::start(wide), 0);
  EXPECT_EQ(item::sweep(wide), 16384);
  // The arc ended at the top of the ellipse, where the next stroke begins.
  EXPECT_NEAR(at(lines[0]).x1, 0, 1);
  EXPECT_NEAR(at(lines[0]).y1, 1000 * u, 1);
  const Record& tall = at(arcs[1]);
  EXPECT_EQ(item::radius(tall), std::llround(2000 * u));
  EXPECT_EQ(item::axisAngle(tall), 16384);
  EXPECT_EQ(item::eccentricity(tall), 32768);
  EXPECT_EQ(item::start(tall), 32768);  // from -90 degrees, counted from the vertical axis
  EXPECT_EQ(item::sweep(tall), 16384);
}

TEST_F(HpglTest, HostileInputEndsQuietly) {
  const std::string cases[] = {
      "",
      "LB" + std::string(100000, 'x'),
      "SP1;PD" + std::string(5000, '9') + ",1e999;CI-1e300;AA0,0,1e300;",
      "SP999999;PD1,1;SC5,5,5,5;PR1,1;IP;DT",
      std::string(3000, '\x1b'),
      "\x1b%" + std::string(100, '-') + "SP1;PD1,1,2",
      "SP1;PD-,-,.,+;AR;AA;CI;EA;ER1;",
  };
  for (const std::string& c : cases) {
    ImportFixture f;
    f.in.openMemory(c);
    EXPECT_EQ(readHpgl(f.ctx, f.in, kHintHpgl), 'H');
  }
}

}  // namespace
}  // namespace trelmo::testing
