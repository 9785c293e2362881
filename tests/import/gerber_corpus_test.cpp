// Real files written by other tools open with the right reader and at the
// right size.
#include <gtest/gtest.h>

#include <filesystem>

#include "files/import/gerber_reader.h"
#include "files/reader_chain.h"
#include "gerber_test_support.h"

namespace trelmo {
namespace {

using testing::corpusPath;
using testing::extentOf;
using testing::ImportBench;

// Opens a file through the whole reader chain, as File Open does.
char openSample(ImportBench& b, const std::string& name) {
  InputFile in;
  if (!in.open(corpusPath(name))) return 0;
  return readerChain(b.ctx, in, kHintNone);
}

struct Sample {
  const char* name;
  char code;
  double width, height;  // inches, 0 = only "plausible"
};

class CorpusSample : public ::testing::TestWithParam<Sample> {};

TEST_P(CorpusSample, OpensWithTheRightReaderAtTheRightSize) {
  const Sample& s = GetParam();
  if (!std::filesystem::exists(corpusPath(s.name))) GTEST_SKIP() << "no corpus";
  ImportBench b;
  ASSERT_EQ(openSample(b, s.name), s.code);
  auto items = b.allItems();
  ASSERT_FALSE(items.empty());
  auto e = extentOf(items);
  if (s.width > 0) {
    EXPECT_NEAR(e.width(), s.width, 0.002);
    EXPECT_NEAR(e.height(), s.height, 0.002);
  } else {
    EXPECT_GT(e.width(), 0.5);
    EXPECT_LT(e.width(), 20.0);
    EXPECT_LT(e.height(), 20.0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, CorpusSample,
    ::testing::Values(Sample{"gerber-274d/ekf-l1.off", 'G', 7.764, 5.414},
                      Sample{"gerber-274x-mm/kicad599-Flashpads-Edge_Cuts.gbr", 'G', 80 / 25.4, 50 / 25.4},
                      Sample{"gerber-274x-mm/kicad599-Flashpads-F_Cu.gbr", 'G', 0, 0},
                      Sample{"gerber-274x-mm/upverter-design_export.gko", 'G', 39.5 / 25.4, 60.025 / 25.4},
                      Sample{"gerber-274x-inch/orcad-rs232_cm.top", 'G', 0, 0},
                      Sample{"gerber-274x-inch/eagle-top-cop.gbx", 'G', 3.9, 3.1},
                      Sample{"gerber-274x-inch/thermal-bpB.GP1", 'G', 0, 0},
                      Sample{"gerber-274x-inch/allegro172-l2_gnd.art", 'G', 0, 0},
                      Sample{"excellon/allegro-ncdrill-1-4.drl", 'E', 0, 0},
                      Sample{"excellon/pads92-Drill.drl", 'E', 2.568, 3.934},
                      Sample{"excellon/kicad2014-mchck.drl", 'E', 33.03 / 25.4, 0.61},
                      Sample{"excellon/eagle-BusPirate-v3.6a.drd", 'E', 2.2835, 1.3779}));

TEST(CorpusDetails, HolesAndRegionsLandWhereTheirToolsPutThem) {
  if (!std::filesystem::exists(corpusPath("excellon"))) GTEST_SKIP() << "no corpus";
  ImportBench allegro;  // quantities from the tool notes: 241 + 3 + 2 + 36 + 1 + 4, repeats included
  ASSERT_EQ(openSample(allegro, "excellon/allegro-ncdrill-1-4.drl"), 'E');
  auto pads = allegro.items(kPad);
  EXPECT_EQ(pads.size(), 287u);
  EXPECT_EQ(item::padX(pads[0]), toSize(0.012, false));  // 12 mils, from the tool note
  EXPECT_EQ(pads[0].x1, toUnits(0.445, false));

  ImportBench kicad;  // metric with written points
  ASSERT_EQ(openSample(kicad, "excellon/kicad2014-mchck.drl"), 'E');
  EXPECT_EQ(kicad.items(kPad)[0].x1, toUnits(41.7, true));
  EXPECT_EQ(item::padX(kicad.items(kPad)[0]), toSize(0.3, true));

  ImportBench pads92;  // headerless, tools defined where they are used
  ASSERT_EQ(openSample(pads92, "excellon/pads92-Drill.drl"), 'E');
  EXPECT_EQ(pads92.items(kPad)[1].y1, toUnits(1.27, false));
  EXPECT_EQ(item::padX(pads92.items(kPad)[0]), toSize(0.015, false));

  ImportBench copper;  // regions, arcs and macro pads of a KiCad X2 file
  ASSERT_EQ(openSample(copper, "gerber-274x-mm/kicad599-Flashpads-F_Cu.gbr"), 'G');
  int solids = 0;
  for (const Record& r : copper.allItems(kLine)) solids += r.size == 0;
  EXPECT_GT(solids, 0);
  EXPECT_GT(copper.allItems(kArc).size(), 0u);
}

}  // namespace
}  // namespace trelmo
