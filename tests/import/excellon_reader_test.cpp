#include <gtest/gtest.h>

#include "files/import/gerber_reader.h"
#include "files/record_budget.h"
#include "gerber_test_support.h"

namespace trelmo {
namespace {

using testing::ImportBench;

// A header with tool sizes and enough holes to be recognised.
std::string drillFile(const std::string& header, const std::string& holes) {
  std::string s = "M48\n" + header + "%\nT1\n" + holes;
  for (int i = 0; i < 12; ++i) s += "X0" + std::to_string(i) + "Y09\n";
  return s + "M30\n";
}

TEST(ExcellonCoordinates, TwoIntegerDigitsUnlessTheFileSaysOtherwise) {
  ImportBench b;
  ASSERT_EQ(b.excellon(drillFile("T1C.035\n", "X01Y02\nX015Y025\nX123456Y0\nY5\n")), 'E');
  auto pads = b.items(kPad);
  ASSERT_GE(pads.size(), 4u);
  EXPECT_EQ(pads[0].x1, kInch);
  EXPECT_EQ(pads[0].y1, 2 * kInch);
  EXPECT_EQ(pads[1].x1, kInch * 3 / 2);
  EXPECT_EQ(pads[1].y1, kInch * 5 / 2);
  EXPECT_EQ(pads[2].x1, toUnits(12.3456, false));
  EXPECT_EQ(pads[3].x1, pads[2].x1);  // X is modal
  EXPECT_EQ(pads[3].y1, 50 * kInch);  // a single digit d is d x 10 inches
  for (const Record& p : pads) {
    EXPECT_EQ(p.layer, 0);
    EXPECT_EQ(p.size, item::kRoundVia);
  }
  EXPECT_EQ(item::padX(pads[0]), toSize(0.035, false));
  EXPECT_EQ(item::padHole(pads[0]), toSize(0.035, false));
  EXPECT_STREQ(b.ctx.params.gerber[0].name, "DRL");
}

TEST(ExcellonTools, SizesWithoutPointAreMilsAndUndefinedToolsAreAsked) {
  ImportBench mils;
  mils.excellon(drillFile("T1C35\n", ""));
  EXPECT_EQ(item::padX(mils.items(kPad)[0]), toSize(0.035, false));

  ImportBench asked;
  int questions = 0;
  asked.host.answer = [&](DialogBox& box) {
    if (box.name != "ExcellonInToolBox") return true;
    EXPECT_EQ(box.title, "Undefined Drill Tool");
    EXPECT_EQ(box.field("diameter")->value, "28");  // the proposal
    box.field("diameter")->value = "40";
    ++questions;
    return true;
  };
  asked.excellon(drillFile("", "T2\nX01Y01\n"));
  EXPECT_EQ(questions, 2);  // T1 and T2, each once
  EXPECT_EQ(item::padX(asked.items(kPad)[0]), toSize(0.040, false));

  ImportBench defaults;
  defaults.host.answer = [](DialogBox& box) {
    if (box.name == "ExcellonInToolBox") box.field("defaults")->value = "1";
    return true;
  };
  defaults.excellon(drillFile("", "T2\nX01Y01\n"));
  EXPECT_EQ(defaults.host.boxes.size(), 1u);
  EXPECT_EQ(item::padX(defaults.items(kPad)[0]), 1835);
}

TEST(ExcellonUnits, MetricAndTrailingZeroStatementsAreHonoured) {
  ImportBench metric;
  metric.excellon(drillFile("METRIC,TZ\nT1C0.800\n", "X25.4Y-50.8\n"));
  auto pads = metric.items(kPad);
  EXPECT_EQ(pads[0].x1, kInch);
  EXPECT_EQ(pads[0].y1, -2 * kInch);
  EXPECT_EQ(item::padX(pads[0]), toSize(0.8 / 25.4, false));

  ImportBench m71;
  m71.excellon(drillFile("M71\nT1C1.0\n", "X025400Y0\nM72\nX01Y0\n"));
  pads = m71.items(kPad);
  EXPECT_EQ(pads[0].x1, kInch);  // three integer digits in millimetres
  EXPECT_EQ(pads[1].x1, kInch);

  ImportBench eagle;  // leading zeros left out: digits count from the right
  eagle.excellon(
      "INCH,TZ\n%\nM48\nM72\nT01C0.0200\n%\nT01\nX7536Y4995\nX11080Y6569\n"
      "X1Y1\nX2Y2\nX3Y3\nX4Y4\nX5Y5\nX6Y6\nM30\n");
  pads = eagle.items(kPad);
  ASSERT_GE(pads.size(), 2u);
  EXPECT_EQ(pads[0].x1, toUnits(0.7536, false));
  EXPECT_EQ(pads[1].x1, toUnits(1.108, false));
}

TEST(ExcellonRecognition, StarsAndMissingToolSelectsRefuse) {
  std::string plain = drillFile("T1C.035\n", "");
  EXPECT_TRUE(isExcellon(scanExcellon(plain)));
  EXPECT_FALSE(isExcellon(scanExcellon(std::string(20, '*') + plain)));
  EXPECT_FALSE(isExcellon(scanExcellon("X01Y02\nX03Y04\nX05Y06\nX07Y08\nX09Y10\nX11Y12\nX13Y14\nX15Y16\n")));
  ImportBench gerberHint;
  EXPECT_EQ(gerberHint.excellon(plain, 'G'), 0);
}

TEST(ExcellonRecognition, BareFilesAskAndEscapeDeclines) {
  std::string bare = "T1\n";
  for (int i = 0; i < 12; ++i) bare += "X0" + std::to_string(i) + "Y01\n";
  ImportBench cancel;
  cancel.host.answer = [](DialogBox& box) { return box.name != "ExcellonInFormatBox"; };
  EXPECT_EQ(cancel.excellon(bare), 0);
  EXPECT_TRUE(cancel.items().empty());
  ImportBench ok;
  ok.host.answer = [](DialogBox& box) {
    if (box.name == "ExcellonInFormatBox") box.field("defaults")->value = "1";
    return true;
  };
  EXPECT_EQ(ok.excellon(bare), 'E');
  EXPECT_EQ(ok.host.boxes, std::vector<std::string>{"ExcellonInFormatBox"});
  EXPECT_EQ(ok.items(kPad).size(), 12u);
  EXPECT_EQ(item::padX(ok.items(kPad)[0]), 1835);
}

TEST(ExcellonHostile, BadInputNeverCrashes) {
  std::vector<std::string> inputs = {
      "T99999999999999C999999999999\nX99999999999999999999999Y-99999999999999999\n",
      "T1C-5\nX1\n",  // a negative size reads as none
      std::string(3000, 'X'),
      std::string("%\0\0T\xff\n", 6),
  };
  for (const std::string& in : inputs) {
    ImportBench b;
    b.excellon(in, 'I');
    b.excellon(drillFile("", in));
  }
}

// A small file of repeats cannot fill the record pool: the reader stops at
// its budget, says so naming the limit, and keeps the holes made.
TEST(ExcellonBudget, RepeatsStopAtTheRecordBudgetAndKeepWhatWasRead) {
  ImportBench b;
  b.ctx.pool.setBlockLimit(8);  // 233,016 records: a budget of half of them
  std::string holes = "X01Y01\n";
  for (int i = 0; i < 40; ++i) holes += "R9999X0001Y00\n";
  ASSERT_EQ(b.excellon(drillFile("T1C.035\n", holes)), 'E');
  ASSERT_EQ(b.host.messages.size(), 1u);
  EXPECT_NE(b.host.messages[0].find("records (64 for each byte of the file, at least 1000000, and at most half of "
                                    "the free record memory)"),
            std::string::npos)
      << b.host.messages[0];
  const size_t pads = b.items(kPad).size();
  EXPECT_GT(pads, 100000u);  // kept
  EXPECT_LE(pads, 8u * RecordPool::kRecordsPerBlock / 2 + 1);
  EXPECT_GT(recordsAvailable(b.ctx), 100000u);  // room is left for the rest of the program
  EXPECT_EQ(b.items(kPad)[0].x1, kInch);        // the first hole is there
}

// Step and repeat is bounded in total, not only per statement.
TEST(GerberBudget, StepAndRepeatStopsAtTheRecordBudget) {
  ImportBench b;
  b.ctx.pool.setBlockLimit(8);
  std::string text = "%FSLAX23Y23*%%ADD10C,0.010*%D10*\n";
  for (int i = 0; i < 20; ++i) text += "%SRX100Y100I0.1J0.1*%X0Y0D03*X1000Y0D03*%SR*%\n";
  ASSERT_EQ(b.gerber(text, 'G'), 'G');
  ASSERT_EQ(b.host.messages.size(), 1u);
  EXPECT_EQ(b.host.messages[0].rfind("File Read Limit: The file would create more than ", 0), 0u);
  const size_t pads = b.items(kPad).size();
  EXPECT_GT(pads, 100000u);
  EXPECT_LE(pads, 8u * RecordPool::kRecordsPerBlock / 2 + 1);
}

}  // namespace
}  // namespace trelmo
