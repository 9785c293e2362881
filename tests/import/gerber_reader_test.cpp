#include "files/import/gerber_reader.h"

#include <gtest/gtest.h>

#include "gerber_test_support.h"

namespace trelmo {
namespace {

using testing::extentOf;
using testing::ImportBench;

constexpr char kHeader[] = "%FSLAX23Y23*%\n%MOIN*%\n";

TEST(GerberCoordinates, ImpliedDigitsFollowTheSuppressedZeros) {
  size_t pos = 0;
  auto read = [&](std::string_view s) {
    pos = 0;
    return readDigits(s, pos);
  };
  EXPECT_DOUBLE_EQ(gerberCoordinate(read("12345"), 5, false), 0.12345);  // %FSLAX25Y25
  EXPECT_DOUBLE_EQ(gerberCoordinate(read("12"), 2, true), 12.0);         // %FSTAX25Y25
  EXPECT_DOUBLE_EQ(gerberCoordinate(read("1"), 2, true), 10.0);          // trailing zeros left out
  EXPECT_DOUBLE_EQ(gerberCoordinate(read("-0002300"), 4, false), -0.23);
  EXPECT_DOUBLE_EQ(gerberCoordinate(read("1.5"), 4, false), 1.5);  // a written point wins
  EXPECT_DOUBLE_EQ(gerberCoordinate(read("25400000"), 6, false), 25.4);
  EXPECT_EQ(toUnits(25.4, true), 65536);
  EXPECT_EQ(toUnits(1e12, false), 2147483647);
  EXPECT_EQ(toSize(2.0, false), 65535);
  EXPECT_EQ(toSize(-1.0, false), 0);
}

TEST(GerberDraws, DrawModeIsModalAndAFlashIsNot) {
  ImportBench b;
  ASSERT_EQ(b.gerber("D02X0Y0*\nD01X1000Y0*\nX2000Y0*\nD03*\nX3000Y0*\nM02*\n", 'G'), 'G');
  auto lines = b.items(kLine);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].x1, 0);
  EXPECT_EQ(lines[0].w3, kInch);
  EXPECT_EQ(lines[1].x1, kInch);
  EXPECT_EQ(lines[1].w3, 2 * kInch);
  EXPECT_EQ(lines[0].size, 655);  // no aperture: the thinnest width
  EXPECT_EQ(lines[0].layer, 1);
  auto pads = b.items(kPad);
  ASSERT_EQ(pads.size(), 1u);  // the flash at 2 inches, nothing after it
  EXPECT_EQ(pads[0].x1, 2 * kInch);
}

// Concatenated files: what follows an M02 is read as well.
TEST(GerberDraws, ReadingGoesOnAfterTheEndOfProgram) {
  ImportBench b;
  ASSERT_EQ(b.gerber("%FSLAX23Y23*%%ADD10C,0.010*%D10*X0Y0D02*X1000Y0D01*M02*\n"
                     "%FSLAX23Y23*%%ADD11R,0.050X0.050*%D11*X2000Y0D03*M02*\n",
                     'G'),
            'G');
  EXPECT_EQ(b.items(kLine).size(), 1u);
  auto pads = b.items(kPad);
  ASSERT_EQ(pads.size(), 1u);
  EXPECT_EQ(pads[0].x1, 2 * kInch);
}

TEST(GerberDraws, IncrementalAddressingAddsToThePreviousPoint) {
  ImportBench b;
  b.gerber("%FSLIX23Y23*%%ADD10C,0.010*%D10*X1000Y1000D02*X1000Y0D01*X0Y1000D01*M02*", 'G');
  auto lines = b.items(kLine);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].x1, kInch);
  EXPECT_EQ(lines[0].w3, 2 * kInch);
  EXPECT_EQ(lines[1].w4, 2 * kInch);
}

TEST(GerberFlashes, PadTypeIsShapePlusFourAndZeroSizesGetTheDefault) {
  ImportBench b;
  b.gerber(std::string(kHeader) +
               "%ADD10C,0.050*%%ADD11R,0.048X0.056*%%ADD12O,0.12X0.08*%\n"
               "D10*X1000Y0D03*D11*X2000Y0D03*D12*X3000Y0D03*D2000*X4000Y0D03*M02*",
           'G');
  auto pads = b.items(kPad);
  ASSERT_EQ(pads.size(), 4u);
  EXPECT_EQ(pads[0].size, 5);
  EXPECT_EQ(item::padX(pads[0]), toSize(0.05, false));
  EXPECT_EQ(pads[1].size, 6);
  EXPECT_EQ(item::padX(pads[1]), toSize(0.048, false));
  EXPECT_EQ(item::padY(pads[1]), toSize(0.056, false));
  EXPECT_EQ(pads[2].size, 9);
  // D2000 (entry 1023) is undefined; the scripted host confirms zero sizes.
  EXPECT_EQ(pads[3].size, item::kRectThru);
  EXPECT_EQ(item::padX(pads[3]), 2048);
  EXPECT_EQ(item::padY(pads[3]), 2048);
}

TEST(GerberFlashes, StepAndRepeatCopiesTheBlockIntoEveryCell) {
  ImportBench b;
  b.gerber(std::string(kHeader) +
               "%ADD10C,0.050*%D10*%SRX2Y3I1.0J0.5*%X0Y0D03*X0Y0D02*X100Y0D01*%SR*%X5000Y0D03*"
               "%SRX9999Y9999I1J1*%X0Y0D03*M02*",
           'G');
  auto pads = b.items(kPad);
  ASSERT_EQ(pads.size(), 6u + 1 + 1);  // the oversized grid is not repeated
  EXPECT_EQ(b.items(kLine).size(), 6u);
  int32_t maxX = 0, maxY = 0;
  for (const Record& p : pads)
    if (p.x1 < 5 * kInch) maxX = std::max(maxX, p.x1), maxY = std::max(maxY, p.y1);
  EXPECT_EQ(maxX, kInch);
  EXPECT_EQ(maxY, kInch);  // two steps of half an inch
}

TEST(GerberUnits, MetricFilesOpenAtTheirSize) {
  ImportBench b;
  b.gerber("%FSLAX46Y46*%%MOMM*%%ADD10C,0.254*%D10*X0Y0D02*X25400000Y-50800000D01*M02*", 'G');
  auto lines = b.items(kLine);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].w3, kInch);
  EXPECT_EQ(lines[0].w4, -2 * kInch);
  EXPECT_EQ(lines[0].size, 655);  // 0.254 mm = 0.010 inch
  ImportBench legacy;             // G71 before, G70 after: millimetres then inches
  legacy.gerber("%FSLAX23Y23*%G71*X0Y0D02*X25400Y0D01*G70*X1000Y0D02*X2000Y0D01*", 'G');
  lines = legacy.items(kLine);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].w3, kInch);
  EXPECT_EQ(lines[1].w3, 2 * kInch);
}

TEST(GerberRecognition, CountsBlocksAndNeedsCoordinatesAndDCodes) {
  std::string body;
  for (int i = 0; i < 20; ++i) body += "X" + std::to_string(i * 100) + "Y0D01*\n";
  EXPECT_TRUE(isGerber(scanGerber("D10*\n" + body)));
  GerberFacts noD = scanGerber("X100Y200\nX300Y400\n");
  EXPECT_FALSE(noD.dcodes);
  EXPECT_FALSE(isGerber(noD));
  EXPECT_FALSE(isGerber(scanGerber("D10*X1Y1*")));  // too few blocks
  GerberFacts x = scanGerber("%FSLAX24Y24*%%ADD10C,.01*%" + body);
  EXPECT_TRUE(x.format && x.apertures);
  EXPECT_FALSE(isGerber(scanGerber("Hello, this is a letter with Dear X and Y inside it *")));
}

TEST(GerberRecognition, FormatQuestionForBareFilesAndEscapeDeclines) {
  std::string body = "D10*\n";
  for (int i = 0; i < 20; ++i) body += "X" + std::to_string(i * 100) + "Y0D01*\n";
  ImportBench cancel;
  cancel.host.answer = [](DialogBox& box) { return box.name != "GerberInFormatBox"; };
  EXPECT_EQ(cancel.gerber(body), 0);
  EXPECT_TRUE(cancel.items().empty());
  EXPECT_EQ(cancel.ctx.params.layers[1].name[0], 0);  // the design is left as it was

  ImportBench asked;
  asked.host.answer = [](DialogBox& box) {
    if (box.name == "GerberInFormatBox") {
      EXPECT_EQ(box.title, "Gerber Import Alert");
      box.field("decimal")->value = "2";
      box.field("defaults")->value = "1";
    }
    return true;
  };
  EXPECT_EQ(asked.gerber(body), 'G');
  EXPECT_EQ(asked.host.boxes, std::vector<std::string>{"GerberInFormatBox"});  // no aperture questions
  auto lines = asked.items(kLine);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().w3, 19 * kInch);  // 1900 with two implied digits
}

// A P-CAD outline: apertures defined, the format stated only in comments.
const char* const kPcadOutline =
    "G04 PCAD Gerber File*\r\nG04 Title: board.pcb, Board*\r\nG04 Creator: P-CAD Gerber Output*\r\n"
    "G04 Format: 2.4, Leading Zero Suppression, Absolute, Inches*\r\n%ADD10C,0.0100*%\r\nG54D10*\r\n"
    "X0Y0D02*\r\nX20000Y0D01*\r\nX20000Y10000D01*\r\nX0Y10000D01*\r\nX0Y0D01*\r\nM02*\r\n";

TEST(GerberRecognition, AperturesWithoutFormatStatementAskPrefilledFromComments) {
  GerberFacts facts = scanGerber(kPcadOutline);
  EXPECT_TRUE(facts.apertures);
  EXPECT_FALSE(facts.format);
  EXPECT_TRUE(isGerber(facts));
  ImportBench b;
  b.host.answer = [](DialogBox& box) {
    EXPECT_EQ(box.name, "GerberInFormatBox");
    EXPECT_EQ(box.field("decimal")->value, "4");
    EXPECT_EQ(box.field("zeros")->value, "0");
    EXPECT_EQ(box.field("message")->label.find("neither"), std::string::npos);
    return true;
  };
  ASSERT_EQ(b.gerber(kPcadOutline), 'G');
  EXPECT_EQ(b.host.boxes, std::vector<std::string>{"GerberInFormatBox"});
  auto lines = b.items(kLine);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].w3, 2 * kInch);
  EXPECT_EQ(lines[1].w4, kInch);
  // With the hint nothing is asked and the comment's format is taken.
  ImportBench hinted;
  ASSERT_EQ(hinted.gerber(kPcadOutline, 'G'), 'G');
  EXPECT_TRUE(hinted.host.boxes.empty());
  EXPECT_EQ(hinted.items(kLine)[0].w3, 2 * kInch);
  GerberFormat trailing;
  EXPECT_TRUE(formatFromComments("G04 Format 3.5 trailing zeros, incremental, mm*", trailing));
  EXPECT_EQ(trailing.digits, 3);
  EXPECT_TRUE(trailing.trailing && trailing.incremental && trailing.metric);
  GerberFormat none;
  EXPECT_FALSE(formatFromComments("G04 Creator: Version 2.3*", none));
  EXPECT_EQ(none.digits, 3);
}

TEST(GerberApertures, UndefinedApertureIsAskedUntilDefaultsAreChosen) {
  ImportBench b;
  int asked = 0;
  b.host.answer = [&](DialogBox& box) {
    if (box.name != "GerberInApertureBox") return true;
    EXPECT_EQ(box.title, "Undefined Aperture");
    if (++asked == 1) {
      box.field("xsize")->value = "20";
      box.field("shape")->value = "1";  // square flash
    } else {
      box.field("defaults")->value = "1";
    }
    return true;
  };
  b.gerber(std::string(kHeader) + "D11*X1000Y0D03*D12*X2000Y0D03*D13*X3000Y0D03*D11*X4000Y0D03*M02*", 'G');
  EXPECT_EQ(asked, 2);  // D11 answered and remembered; D12 switched to defaults; D13 not asked
  auto pads = b.items(kPad);
  ASSERT_EQ(pads.size(), 4u);
  EXPECT_EQ(pads[0].size, 6);
  EXPECT_EQ(item::padX(pads[0]), toSize(0.020, false));
  EXPECT_EQ(item::padY(pads[0]), toSize(0.020, false));
  EXPECT_EQ(item::padX(pads[1]), 2048);
  EXPECT_EQ(item::padX(pads[3]), toSize(0.020, false));
}

TEST(GerberScale, NoImpliedDigitsAndALargePictureIsDividedByTen) {
  ImportBench big;
  big.gerber("%FSLAX20Y20*%D02X0Y0*D01X300Y0*D03X100Y50*", 'G');
  auto items = big.items();
  EXPECT_NEAR(extentOf(items).width(), 30.0, 1e-4);
  ImportBench small;
  small.gerber("%FSLAX20Y20*%D02X0Y0*D01X20Y0*", 'G');
  EXPECT_NEAR(extentOf(small.items()).width(), 20.0, 1e-4);
}

TEST(GerberArcs, ArcsBecomeArcItemsAndRegionsFilledSolids) {
  ImportBench b;
  b.gerber(std::string(kHeader) +
               "%ADD10C,0.010*%D10*G75*X1000Y0D02*G03X0Y1000I-1000J0D01*"
               "X1000Y0D02*G02X1000Y0I-1000J0D01*"
               "G01*G36*X0Y0D02*X2000Y0D01*X2000Y1000D01*X0Y1000D01*X0Y0D01*G37*M02*",
           'G');
  auto arcs = b.items(kArc);
  ASSERT_EQ(arcs.size(), 2u);
  EXPECT_EQ(arcs[0].x1, 0);
  EXPECT_EQ(arcs[0].w3, kInch);            // radius
  EXPECT_EQ(item::start(arcs[0]), 0);      // from +X
  EXPECT_EQ(item::sweep(arcs[0]), 16384);  // a quarter, counter-clockwise
  EXPECT_EQ(item::sweep(arcs[1]), 0);      // a full circle
  auto lines = b.items(kLine);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].size, 0);  // filled solid
  EXPECT_EQ(lines[0].w3, 2 * kInch);
  EXPECT_EQ(lines[0].w4, kInch);
  int vertices = 0;
  for (Handle v = lines[0].ext; v && vertices < 10; v = b.ctx.rec(v).ext) ++vertices;
  EXPECT_EQ(vertices, 4);
}

TEST(GerberApertures, MacrosOfPadShapesGivePads) {
  ApertureTable t;
  t.defineMacro("OC8*5,1,8,0,0,1.08239X$1,22.5*");
  t.defineMacro("Box*0 comment*$2=$1/2*21,1,$1,$2,0,0,0*");
  t.defineMacro("Pill*20,1,$1,$2,0,$3,0,0*1,1,$1,$2,0*1,1,$1,$3,0*");
  t.define("14OC8,0.0600", false);
  t.define("15Box,0.1", false);
  t.define("16Pill,0.02X-0.01X0.03", false);
  ASSERT_TRUE(t[14].outline);  // an octagon is no pad: its exact outline
  EXPECT_EQ(t[14].outline->size(), 1u);
  EXPECT_EQ(t[14].outline->front().size(), 8u);
  EXPECT_NEAR(t[14].x, toSize(0.06, false), 2);  // turned 22.5 degrees: flats on the axes
  EXPECT_EQ(t[15].shape, kRectangle);
  EXPECT_FALSE(t[15].outline);
  EXPECT_EQ(t[15].x, toSize(0.1, false));
  EXPECT_EQ(t[15].y, toSize(0.05, false));
  EXPECT_EQ(t[16].shape, kObround);
  EXPECT_EQ(t[16].x, toSize(0.06, false));
  EXPECT_EQ(t[16].offsetX, toUnits(0.01, false));
  t.defineMacro("Deep*1,1,((((((((((((((((((((((((((((((((((((((((1,0,0*");
  t.define("17Deep", false);
  EXPECT_EQ(t[17].shape, kCircle);  // nesting beyond the limit reads as 0
}

TEST(GerberLayers, TheDataLayerIsNamedAfterTheFile) {
  EXPECT_EQ(layerNameFromPath("/boards/rs232.top"), "rs232.top");
  EXPECT_EQ(layerNameFromPath("C:\\CAM\\a_very_long_file_name_here.GBR"), "_file_name_here.GBR");
  EXPECT_TRUE(isCopperName("RS232.TOP"));
  EXPECT_TRUE(isCopperName("board.bot"));
  EXPECT_TRUE(isCopperName("board.ML3"));
  EXPECT_FALSE(isCopperName("board.ML12"));
  EXPECT_FALSE(isCopperName("board.gbr"));
  ImportBench b;
  b.gerber("X0Y0D02*", 'G');
  int first = defineDataLayer(b.ctx, "/x/second.BOT");
  EXPECT_EQ(first, 2);
  EXPECT_STREQ(b.ctx.params.layers[2].name, "second.BOT");
  EXPECT_EQ(b.ctx.params.layers[2].kind(), kCopper);
  EXPECT_EQ(b.ctx.params.layers[1].kind(), kDrawing);
  EXPECT_STREQ(b.ctx.params.layers[0].name, "Pad Master");
}

TEST(GerberHostile, BadInputNeverCrashesOrRunsAway) {
  std::vector<std::string> inputs = {
      std::string(5000, 'X'),          // one endless block
      "%" + std::string(300000, 'A'),  // an unterminated parameter block
      "%FSLAX99Y99*%X99999999999999999999999999Y-9999999999999999999D01*",
      "%ADD99999999999999C,1e308*%D99999999999999*D03*",
      "%AMM*4,1,99999999,$1,$2*%%ADDM,1X2*%D10*D03*",
      "G36*D01X1*D01X2*D01X3*G02I5J5X1*G37*",
      // blocks flashing themselves and each other, unclosed; clear regions; wild macros
      "%ABD10*%D10*X0Y0D03*D11*X1Y1D03*%AB*%%ABD11*%D10*X5Y5D03*D10*X6Y6D03*%AB*%D10*X0Y0D03*%ABD12*%",
      "%LPC*%G36*X0Y0D02*X99999999D01*Y99999999D01*G37*%LPD*%%LPC*%%LS0*%%LR1e308*%%LMXY*%D10*X0Y0D03*",
      "%AMW*7,0,0,-1,$9,1e300,$1*6,0,0,1e9,0,0,1e9,1,1,0*5,1,99999,0,0,1,0*4,1,1e9,0*%%ADD10W,1*%D10*X0Y0D03*",
      "%TO.N,\\u00*%%TO.P*%%TO.C,\\uFFFF\\u0000*%%TF.FileFunction,Copper,L99999999999,Inr,Plane*%%TD.X*%D11*D03*",
      std::string("\0\0\0*%%*\xff\xfe", 9),
  };
  std::string noise;
  uint32_t seed = 12345;
  const char alphabet[] = "XYDGIJ0123456789-.*%MAD,\n";
  for (int i = 0; i < 20000; ++i) noise.push_back(alphabet[((seed = seed * 1103515245 + 12345) >> 16) % 25]);
  inputs.push_back(noise);
  // Statements of today's files in random order with random numbers: macros,
  // polarity, blocks, repeats, regions, attributes.
  const char* macro = "%AMM*1,$1,$2,0,0*4,1,3,0,0,$2,0,0,$1,0,0,0*7,0,0,$2,$1,$3,$4*21,0,$1,$2,0,0,$3*%";
  const char* words[] = {macro,     "%ADD10M,", "%ADD11C,", "%ADD12P,", "X",    "Y",    "I",       "J",
                         "D01*",    "D02*",     "D03*",     "D10*",     "D11*", "D12*", "D13*",    "%LPC*%",
                         "%LPD*%",  "%ABD13*%", "%AB*%",    "%SRX3Y2I", "J",    "*%",   "%SR*%",   "G36*",
                         "G37*",    "G03*",     "G01*",     "G75*",     "%LR",  "%LS",  "%LMXY*%", "%TO.N,A*%",
                         "%TO.C,U", "%TD*%",    "X-",       "0.3",      "2",    "99",   ".05*%",   "*%"};
  std::string statements = "%FSLAX24Y24*%%MOIN*%";
  for (int i = 0; i < 6000; ++i) {
    statements += words[((seed = seed * 1103515245 + 12345) >> 16) % (sizeof words / sizeof *words)];
    statements += std::to_string((seed >> 8) % 20000);
  }
  inputs.push_back(statements);
  for (const std::string& in : inputs) {
    ImportBench b;
    EXPECT_EQ(b.gerber(in, 'G'), 'G');
    b.gerber(in);  // through recognition as well
  }
}

}  // namespace
}  // namespace trelmo
