// Photo-plot files as current CAD programs write them: aperture macros and
// standard apertures as their exact shapes, clear polarity, mirrored, turned
// and scaled apertures, and the net, pin and component attributes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "database/chains.h"
#include "database/signals.h"
#include "files/import/gerber_reader.h"
#include "gerber_test_support.h"

namespace trelmo {
namespace {

using testing::ImportBench;

constexpr char kInchHeader[] = "%FSLAX24Y24*%%MOIN*%\n";
constexpr double kSquareInch = 65536.0 * 65536.0;
// Chords lose up to 0.0001 inch of every curve, corners fall on whole units.
constexpr double kNear = 3e-5;

// The area of a filled solid in square inches (cuts to holes cancel out).
double solidArea(const Context& ctx, const Record& r) {
  double a = 0;
  int n = 0;
  for (Handle v = r.ext; v && n < 100000; v = ctx.rec(v).ext, ++n) {
    const Record& e = ctx.rec(v);
    a += double(e.x1) * double(e.w4) - double(e.w3) * double(e.y1);
  }
  return std::fabs(a) / 2 / kSquareInch;
}

double solidsArea(const ImportBench& b) {
  double a = 0;
  for (const Record& r : b.items(kLine))
    if (item::isSolid(r)) a += solidArea(b.ctx, r);
  return a;
}

int vertexCount(const Context& ctx, const Record& r) {
  int n = 0;
  for (Handle v = r.ext; v && n < 100000; v = ctx.rec(v).ext) ++n;
  return n;
}

// One flash of D10 at the origin with the given aperture statements.
void flash(ImportBench& b, const std::string& apertures) {
  b.gerber(kInchHeader + apertures + "D10*X0Y0D03*M02*", 'G');
}

// A circle of diameter d in square inches, as followed by chords.
double disc(double d) { return M_PI * d * d / 4; }

TEST(GerberMacros, EveryPrimitiveGivesItsExactArea) {
  struct Case {
    const char* macro;
    const char* define;
    double area;  // square inches
    double tolerance;
  };
  const double gap = 0.01;
  const Case cases[] = {
      // a ring: a circle with exposure off punched out of another
      {"%AMRing*1,1,0.1,0,0*1,0,0.05,0,0*%", "%ADD10Ring*%", disc(0.1) - disc(0.05), kNear},
      // vector line with square ends, turned 45 degrees (a pad)
      {"%AMBar*20,1,0.02,-0.05,0,0.05,0,45*%", "%ADD10Bar*%", 0.1 * 0.02, kNear},
      // triangle outline
      {"%AMTri*4,1,3,0,0,0.2,0,0,0.1,0,0,0*%", "%ADD10Tri*%", 0.01, kNear},
      // regular hexagon across corners 0.1
      {"%AMHex*5,1,6,0,0,0.1,0*%", "%ADD10Hex*%", 3 * std::sqrt(3.0) / 8 * 0.01, kNear},
      // thermal: ring 0.1 / 0.06 less two crossing gaps
      {"%AMTh*7,0,0,0.1,0.06,0.01,0*%", "%ADD10Th*%", disc(0.1) - disc(0.06) - 4 * gap * 0.02, kNear},
      // moire: two rings 0.01 thick with a gap of 0.01, no cross hair
      {"%AMMo*6,0,0,0.1,0.01,0.01,2,0,0,0*%", "%ADD10Mo*%", disc(0.1) - disc(0.08) + disc(0.06) - disc(0.04), kNear},
      // rounded rectangle as a CAD program writes it, from parameters and a variable
      {"%AMRR*0 Rectangle with rounded corners*$5=$1+$1*"
       "1,1,$5,$2,$3,0*1,1,$5,-$2,$3,0*1,1,$5,-$2,-$3,0*1,1,$5,$2,-$3,0*"
       "4,1,4,$2,$3,-$2,$3,-$2,-$3,$2,-$3,$2,$3,0*"
       "20,1,$5,$2,$3,-$2,$3,0*20,1,$5,-$2,$3,-$2,-$3,0*20,1,$5,-$2,-$3,$2,-$3,0*20,1,$5,$2,-$3,$2,$3,0*%",
       "%ADD10RR,0.01X0.04X0.02*%", 0.1 * 0.06 - (4 - M_PI) * 0.0001, kNear},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.macro);
    ImportBench b;
    flash(b, std::string(c.macro) + c.define);
    double a = solidsArea(b);
    for (const Record& p : b.items(kPad)) a += item::padX(p) * double(item::padY(p)) / kSquareInch;
    EXPECT_NEAR(a, c.area, c.tolerance);
  }
}

TEST(GerberMacros, PadShapedMacrosBecomeTurnedPads) {
  ImportBench b;
  flash(b,
        "%AMRot*21,1,$1,$2,0.1,0,90*%%ADD10Rot,0.2X0.1*%"
        "%AMQuad*4,1,4,-0.1,-0.05,0.1,-0.05,0.1,0.05,-0.1,0.05,-0.1,-0.05,30*%%ADD11Quad*%"
        "%AMOval*1,1,0.05,0,-0.05*1,1,0.05,0,0.05*20,1,0.05,0,-0.05,0,0.05,0*%%ADD12Oval*%"
        "D11*X10000Y0D03*D12*X20000Y0D03*");
  auto pads = b.items(kPad);
  ASSERT_EQ(pads.size(), 3u);
  std::rotate(pads.begin(), pads.begin() + 2, pads.end());  // the flash of D10 comes last
  EXPECT_TRUE(b.items(kLine).empty());
  // The centre line at (0.1, 0) turned 90 degrees about the macro's origin.
  EXPECT_EQ(pads[0].x1, 0);
  EXPECT_EQ(pads[0].y1, toUnits(0.1, false));
  EXPECT_EQ(item::padAngle(pads[0]), 16384);
  EXPECT_EQ(item::padX(pads[0]), toSize(0.2, false));
  EXPECT_EQ(item::padY(pads[0]), toSize(0.1, false));
  EXPECT_EQ(item::padType(pads[1]), item::kRectSmt);
  EXPECT_NEAR(item::padAngle(pads[1]), 65536 / 12, 1);  // 30 degrees
  EXPECT_NEAR(item::padX(pads[1]), toSize(0.2, false), 1);
  EXPECT_NEAR(item::padY(pads[1]), toSize(0.1, false), 1);
  EXPECT_EQ(item::padType(pads[2]), item::kOvalThru);  // obround: shape 5 + 4, as standard obrounds
  EXPECT_EQ(item::padAngle(pads[2]), 16384);           // drawn along Y
  EXPECT_EQ(item::padX(pads[2]), toSize(0.15, false));
  EXPECT_EQ(item::padY(pads[2]), toSize(0.05, false));
}

TEST(GerberMacros, ExpressionsFollowPrecedenceAndVariablesTheirOrder) {
  ApertureTable t;
  // $3 = 0.1 x 2 + (0.3 - 0.1) / 2 = 0.3; $1 redefined after use keeps earlier uses.
  t.defineMacro("E*$3=$1x2+($2-$1)/2*$4=-$1+$3*21,1,$3,$4,0,0,0*$1=0*");
  t.define("10E,0.1X0.3", false);
  EXPECT_EQ(t[10].shape, kRectangle);
  EXPECT_EQ(t[10].x, toSize(0.3, false));
  EXPECT_EQ(t[10].y, toSize(0.2, false));
  t.defineMacro("U*21,1,$1,$2,0,0,0*");  // unset parameters read as 0: nothing
  t.define("11U,0.1", false);
  ASSERT_TRUE(t[11].outline);
  EXPECT_TRUE(t[11].outline->empty());
  t.define("12U,25.4X12.7", true);  // millimetres
  EXPECT_EQ(t[12].x, toSize(1.0, false) - 0);
  EXPECT_EQ(t[12].y, 32768);
}

TEST(GerberApertures, HolesAndPolygonsAreExact) {
  ImportBench ring;
  flash(ring, "%ADD10C,0.1X0.05*%");
  EXPECT_TRUE(ring.items(kPad).empty());
  EXPECT_NEAR(solidsArea(ring), disc(0.1) - disc(0.05), kNear);
  ASSERT_EQ(ring.items(kLine).size(), 1u);  // one contour with a cut to its hole

  ImportBench square;
  flash(square, "%ADD10R,0.1X0.2X0.04X0.02*%");  // rectangular hole
  EXPECT_NEAR(solidsArea(square), 0.02 - 0.0008, kNear);

  ImportBench hex;
  flash(hex, "%ADD10P,0.1X6X30*%");
  auto solids = hex.items(kLine);
  ASSERT_EQ(solids.size(), 1u);
  EXPECT_EQ(vertexCount(hex.ctx, solids[0]), 6);
  EXPECT_NEAR(solidArea(hex.ctx, solids[0]), 3 * std::sqrt(3.0) / 8 * 0.01, kNear);
  EXPECT_EQ(solids[0].y1, -toUnits(0.05, false));  // a vertex at 30 + 60 = 90 degrees: tips on Y

  ImportBench large;
  flash(large, "%ADD10R,1.5X0.5*%");  // beyond a pad's sizes
  EXPECT_TRUE(large.items(kPad).empty());
  EXPECT_NEAR(solidsArea(large), 0.75, kNear);
}

TEST(GerberPolarity, ClearObjectsCutPadsTracksAndRegionsMadeBeforeThem) {
  ImportBench pad;  // an anti-pad in a square pad: an annulus-like solid
  pad.gerber(std::string(kInchHeader) + "%ADD10R,0.2X0.2*%%ADD11C,0.1*%D10*X0Y0D03*%LPC*%D11*X0Y0D03*M02*", 'G');
  EXPECT_TRUE(pad.items(kPad).empty());
  EXPECT_NEAR(solidsArea(pad), 0.04 - disc(0.1), kNear);

  ImportBench track;  // a track cut in the middle; one beside it untouched
  track.gerber(std::string(kInchHeader) +
                   "%ADD10C,0.01*%%ADD11R,0.1X0.1*%%TO.N,CLK*%D10*X0Y0D02*X10000Y0D01*X0Y5000D02*X10000Y5000D01*"
                   "%TD*%%LPC*%D11*X5000Y0D03*%LPD*%M02*",
               'G');
  std::vector<Record> tracks, pieces;
  for (const Record& r : track.items(kLine)) (item::isSolid(r) ? pieces : tracks).push_back(r);
  ASSERT_EQ(tracks.size(), 3u);  // up to the cut on either side, and the one beside it
  EXPECT_GE(pieces.size(), 2u);  // the corners between the round ends and the cut
  std::vector<std::pair<double, double>> spans;
  for (int i = 0; i < 2; ++i)
    spans.emplace_back(std::min(tracks[i].x1, tracks[i].w3) / 65536.0, std::max(tracks[i].x1, tracks[i].w3) / 65536.0);
  std::sort(spans.begin(), spans.end());
  EXPECT_EQ(spans[0].first, 0.0);
  EXPECT_NEAR(spans[0].second, 0.445, 0.001);
  EXPECT_NEAR(spans[1].first, 0.555, 0.001);
  EXPECT_EQ(spans[1].second, 1.0);
  for (const Record& r : tracks) EXPECT_EQ(r.size, toSize(0.01, false));
  Handle h = track.ctx.rec(track.ctx.current).next;
  EXPECT_EQ(itemSignal(track.ctx, h), "CLK");  // the pieces keep the net
  double covered = solidsArea(track);
  for (const auto& [from, to] : spans) covered += (to - from) * 0.01 + disc(0.01);
  EXPECT_NEAR(covered, 0.9 * 0.01 + disc(0.01), kNear);

  ImportBench ring;  // a circle cut on its right: an arc round the rest, keeping its net
  ring.gerber(std::string(kInchHeader) +
                  "%ADD10C,0.01*%%ADD11R,0.2X0.2*%G75*%TO.N,RING*%D10*X5000Y0D02*G03X5000Y0I-5000J0D01*%TD*%"
                  "%LPC*%D11*X5000Y0D03*%LPD*%M02*",
              'G');
  auto arcs = ring.items(kArc);
  ASSERT_EQ(arcs.size(), 1u);
  const double sweep = item::sweep(arcs[0]) * 360.0 / 65536;
  // Less the cut grown by the round ends: the arc stops where the ends touch it.
  EXPECT_NEAR(sweep, 360 - 2 * std::asin(0.1051 / 0.5) * 180 / M_PI, 0.3);
  EXPECT_EQ(itemSignal(ring.ctx, ring.ctx.rec(ring.ctx.current).next), "RING");
  EXPECT_EQ(arcs[0].w3, toUnits(0.5, false));  // the radius kept

  ImportBench pour;  // a knocked-out pour: a region with a clear region inside
  pour.gerber(std::string(kInchHeader) +
                  "G36*X0Y0D02*G01X20000Y0D01*X20000Y10000D01*X0Y10000D01*X0Y0D01*G37*%LPC*%"
                  "G36*X5000Y2500D02*X15000Y2500D01*X15000Y7500D01*X5000Y7500D01*X5000Y2500D01*G37*M02*",
              'G');
  ASSERT_EQ(pour.items(kLine).size(), 1u);
  EXPECT_NEAR(solidsArea(pour), 2.0 - 0.5, kNear);

  ImportBench order;  // what is dark after the clear object stays; a covered pad goes
  order.gerber(
      std::string(kInchHeader) + "%ADD10C,0.05*%%ADD11C,0.2*%D10*X0Y0D03*%LPC*%D11*X0Y0D03*%LPD*%D10*X0Y0D03*M02*",
      'G');
  EXPECT_EQ(order.items(kPad).size(), 1u);
  EXPECT_TRUE(order.items(kLine).empty());
}

TEST(GerberPolarity, APourWithMoreHoleVerticesThanASolidHoldsIsSplit) {
  std::string g = std::string(kInchHeader) +
                  "%ADD10C,0.02*%G36*X0Y0D02*G01X100000Y0D01*X100000Y80000D01*X0Y80000D01*X0Y0D01*G37*%LPC*%D10*";
  for (int i = 0; i < 3000; ++i)
    g += "X" + std::to_string(1000 + (i % 60) * 1500) + "Y" + std::to_string(1000 + (i / 60) * 1500) + "D03*";
  ImportBench b;
  b.gerber(g + "%LPD*%M02*", 'G');
  auto solids = b.items(kLine);
  EXPECT_GT(solids.size(), 1u);
  for (const Record& r : solids) EXPECT_LE(vertexCount(b.ctx, r), int(PlotOutput::kMaxContour));
  EXPECT_NEAR(solidsArea(b), 80 - 3000 * disc(0.02), 3000 * 5e-6);  // chords make each hole a little smaller
}

TEST(GerberPolarity, MirrorRotationAndScaleApplyToApertures) {
  ImportBench b;
  b.gerber(std::string(kInchHeader) +
               "%AMOff*21,1,0.1,0.05,0.1,0,0*%%ADD10Off*%%ADD11R,0.1X0.05*%"
               "%LR90*%D11*X0Y0D03*%LR0*%%LS2*%X10000Y0D03*%LS1*%%LMX*%D10*X20000Y0D03*M02*",
           'G');
  auto pads = b.items(kPad);
  ASSERT_EQ(pads.size(), 3u);
  EXPECT_EQ(item::padAngle(pads[0]), 16384);
  EXPECT_NEAR(item::padX(pads[1]), toSize(0.2, false), 1);
  EXPECT_NEAR(item::padY(pads[1]), toSize(0.1, false), 1);
  EXPECT_EQ(pads[2].x1, toUnits(2.0, false) - toUnits(0.1, false));  // the offset mirrored
}

TEST(GerberBlocks, BlockAperturesRepeatTheirObjectsAboutEachFlash) {
  ImportBench b;
  b.gerber(std::string(kInchHeader) +
               "%ADD10C,0.02*%%ADD11R,0.2X0.2*%%ADD20C,0.1*%"
               "%ABD12*%D10*X0Y0D03*X-1000Y0D02*X1000Y0D01*%AB*%"       // a pad and a track
               "%ABD13*%%SRX3Y1I0.1J0*%D10*X0Y0D03*%SR*%%AB*%"          // a repeat inside
               "%ABD14*%D12*X0Y5000D03*%ABD15*%D10*X0Y0D03*%AB*%%AB*%"  // a block inside, and one defined
               "%ABD16*%D11*X0Y0D03*%LPC*%D20*X0Y0D03*%AB*%"            // clear inside
               "D12*X10000Y0D03*X20000Y0D03*D13*X0Y10000D03*D14*X0Y20000D03*D15*X5000Y20000D03*"
               "D16*X0Y30000D03*%LPC*%D16*X10000Y30000D03*M02*",
           'G');
  std::vector<std::pair<double, double>> pads;
  for (const Record& p : b.items(kPad)) pads.emplace_back(p.x1 / 65536.0, p.y1 / 65536.0);
  const std::vector<std::pair<double, double>> want = {{1, 0},   {2, 0},   {0, 1},   {0.1, 1},
                                                       {0.2, 1}, {0, 2.5}, {0.5, 2}, {1, 3}};
  ASSERT_EQ(pads.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_NEAR(pads[i].first, want[i].first, 1e-4) << i;
    EXPECT_NEAR(pads[i].second, want[i].second, 1e-4) << i;
  }
  int tracks = 0;
  for (const Record& r : b.items(kLine)) tracks += r.size > 0;
  EXPECT_EQ(tracks, 3);  // D12 twice and once inside D14
  // D16 flashed dark: a square with a hole; flashed clear: its disc turns dark.
  EXPECT_NEAR(solidsArea(b), 0.04 - disc(0.1), kNear);
}

TEST(GerberBlocks, AFlashPlacesTheBlockTurnedMirroredAndScaled) {
  ImportBench b;
  b.gerber(std::string(kInchHeader) +
               "%ADD10C,0.01*%%ADD11R,0.1X0.05*%"
               "%ABD20*%D11*X2000Y0D03*D10*X0Y0D02*X2000Y0D01*%AB*%"
               "D20*%LR90*%X10000Y10000D03*%LR0*%%LMX*%X20000Y0D03*%LMN*%%LS2*%X30000Y0D03*M02*",
           'G');
  auto pads = b.items(kPad);
  std::vector<Record> tracks;
  for (const Record& r : b.items(kLine)) tracks.push_back(r);
  ASSERT_EQ(pads.size(), 3u);
  ASSERT_EQ(tracks.size(), 3u);
  // Turned a quarter: the pad above the flash point, turned with it.
  EXPECT_EQ(pads[0].x1, kInch);
  EXPECT_EQ(pads[0].y1, kInch + toUnits(0.2, false));
  EXPECT_EQ(item::padAngle(pads[0]), 16384);
  EXPECT_EQ(tracks[0].w3, kInch);
  EXPECT_EQ(tracks[0].w4, kInch + toUnits(0.2, false));
  // Mirrored in X: to the left of the flash point.
  EXPECT_EQ(pads[1].x1, 2 * kInch - toUnits(0.2, false));
  EXPECT_EQ(tracks[1].w3, 2 * kInch - toUnits(0.2, false));
  // Scaled twice: twice as far, twice as large, the track twice as wide.
  EXPECT_EQ(pads[2].x1, 3 * kInch + 2 * toUnits(0.2, false));
  EXPECT_NEAR(item::padX(pads[2]), 2 * toSize(0.1, false), 1);
  EXPECT_NEAR(tracks[2].size, 2 * toSize(0.01, false), 1);
}

TEST(GerberAttributes, NetsPinsAndComponentsTravelWithTheirObjects) {
  ImportBench b;
  b.gerber(std::string(kInchHeader) +
               "%TF.FileFunction,Copper,L2,Bot*%%ADD10C,0.01*%%ADD11R,0.06X0.06*%"
               "%TO.N,GND*%%TO.C,R1*%%TO.P,R1,1*%D11*X0Y0D03*%TO.P,R1,2*%%TO.N,VCC\\u002C2*%X1000Y0D03*"
               "%TD.P*%%TD.C*%D10*X1000Y0D02*X5000Y0D01*%TD*%X5000Y5000D01*"
               "G04 #@! TO.C,U7*\nG04 #@! TO.P,U7,A3*\nD11*X9000Y0D03*G04 #@! TD*\nM02*",
           'G');
  const Context& ctx = b.ctx;
  EXPECT_STREQ(ctx.params.layers[1].name, "Bottom Copper");
  EXPECT_EQ(ctx.params.layers[1].kind(), kCopper);
  EXPECT_TRUE(ctx.params.layers[1].bottom());
  std::map<std::string, Handle> parts;
  std::vector<Handle> free;
  for (Handle h = ctx.rec(ctx.current).next; h != ctx.current; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.type() == kComponent) {
      const std::string params = readText(ctx, r.ext);  // pattern, Ref ID, value
      const size_t a = params.find('\x7f'), e = params.find('\x7f', a + 1);
      parts[params.substr(a + 1, e - a - 1)] = r.ext;
    } else {
      free.push_back(h);
    }
  }
  ASSERT_EQ(parts.size(), 2u);
  ASSERT_TRUE(parts.count("R1"));
  std::vector<Handle> r1;
  for (Handle h = ctx.rec(parts["R1"]).next; h != parts["R1"]; h = ctx.rec(h).next) r1.push_back(h);
  ASSERT_EQ(r1.size(), 2u);
  EXPECT_EQ(itemSignal(ctx, r1[0]), "GND");
  EXPECT_EQ(pinName(ctx, r1[0]), "1");
  EXPECT_EQ(itemSignal(ctx, r1[1]), "VCC,2");
  EXPECT_EQ(pinName(ctx, r1[1]), "2");
  const Handle u7 = ctx.rec(parts["U7"]).next;
  EXPECT_EQ(pinName(ctx, u7), "A3");
  EXPECT_EQ(itemSignal(ctx, u7), "");  // the net was deleted by TD before
  ASSERT_EQ(free.size(), 2u);
  EXPECT_EQ(itemSignal(ctx, free[0]), "VCC,2");  // the track keeps the net, not the part
  EXPECT_EQ(itemSignal(ctx, free[1]), "");
}

TEST(GerberAttributes, FileFunctionsNameTheLayers) {
  struct Case {
    const char* function;
    const char* name;
    uint8_t type;
  };
  const Case cases[] = {
      {"Copper,L1,Top", "Top Copper", kCopper},
      {"Copper,L3,Inr,Plane", "Plane L3", kPlane},
      {"Soldermask,Bot", "Bottom Mask", kMask | kBottomSide},
      {"Legend,Top", "Top Silk", kSilk},
      {"Paste,Top", "Top Paste", kPaste},
      {"Profile,NP", "Profile", kDrawing},
  };
  for (const Case& c : cases) {
    ImportBench b;
    b.gerber(std::string("%TF.FileFunction,") + c.function + "*%" + kInchHeader + "X0Y0D02*M02*", 'G');
    EXPECT_STREQ(b.ctx.params.layers[1].name, c.name);
    EXPECT_EQ(b.ctx.params.layers[1].type, c.type);
  }
  ImportBench negative;
  negative.gerber("%TF.FileFunction,Copper,L1,Top*%%IPNEG*%X0Y0D02*M02*", 'G');
  EXPECT_EQ(negative.ctx.params.layers[1].kind(), kPlane);
}

}  // namespace
}  // namespace trelmo
