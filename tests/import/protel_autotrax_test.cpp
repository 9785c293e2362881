#include <gtest/gtest.h>

#include <tuple>

#include "database/chains.h"
#include "database/signals.h"
#include "files/import/protel_reader.h"
#include "import/dxf_test_support.h"

namespace trelmo::testing {
namespace {

class ProtelTest : public ImportFixture, public ::testing::Test {
 protected:
  char read(const std::string& text, char hint = kHintNone) {
    in.openMemory(text);
    return readProtel(ctx, in, hint);
  }
  // Items of a type anywhere in the design, components included.
  std::vector<Handle> deep(uint8_t type, Handle ring = kNull) const {
    std::vector<Handle> out;
    for (Handle h : items(ring)) {
      if (at(h).type() == type) out.push_back(h);
      if (at(h).type() == kComponent) {
        auto inner = deep(type, at(h).ext);
        out.insert(out.end(), inner.begin(), inner.end());
      }
    }
    return out;
  }
};

TEST_F(ProtelTest, RecognisedVersionsWithoutHint) {
  const std::tuple<const char*, char, char> cases[] = {
      {"PCB FILE 4\nENDPCB\n", kHintNone, 'P'}, {"PCB File 4\n", kHintNone, 'P'}, {"PCB FILE 6\n", kHintNone, 'P'},
      {"PCB FILE 5\n", kHintNone, 0},           {"pcb file 4\n", kHintNone, 0},   {"PCB FILE 4\n", kHintDxf, 0}};
  for (auto [text, hint, result] : cases) EXPECT_EQ(read(text, hint), result) << text;
  EXPECT_EQ(protel::fileVersion("PCB FILE 6"), 6);
  EXPECT_EQ(protel::fileVersion("PCB FILE 4"), 4);
}

TEST_F(ProtelTest, LayersOutsideTheMapGoToThePadMaster) {
  EXPECT_EQ(protel::boardLayer(14), 0);
  EXPECT_EQ(protel::boardLayer(-1), 0);
  EXPECT_EQ(protel::boardLayer(9), 10);  // ground plane on Gnd, power plane on Vcc
  EXPECT_EQ(protel::boardLayer(10), 9);
}

TEST_F(ProtelTest, CorpusBoardOpensInMils) {
  const std::string pcb = corpusFile("autotrax/pronom-PRJ.PCB");
  if (pcb.empty()) GTEST_SKIP() << "corpus not available";
  in.openMemory(pcb);
  ASSERT_EQ(readerChain(ctx, in, kHintNone), kFormatProtel);
  auto comps = itemsOfType(kComponent);
  ASSERT_EQ(comps.size(), 9u);
  EXPECT_EQ(readText(ctx, at(comps[0]).ext), std::string("SIP20\x7fS1\x7fSIP"));
  EXPECT_EQ(readText(ctx, at(comps[8]).ext), std::string("DIP14\x7fU7\x7fOSC"));
  EXPECT_EQ(deep(kPad).size(), 210u);
  EXPECT_TRUE(itemsOfType(kPad).empty());  // every pad belongs to a component
  EXPECT_EQ(itemsOfType(kLine).size(), 73u);
  EXPECT_EQ(deep(kLine).size(), 73u + 45u);
  EXPECT_EQ(deep(kArc).size(), 7u);
  EXPECT_EQ(deep(kText).size(), 18u);  // designator and comment of each component
  // Everything lies between 4.2 and 10.1 inches across and 2.1 and 4.5 up.
  for (uint8_t type : {kLine, kPad}) {
    for (Handle h : deep(type)) {
      EXPECT_GE(at(h).x1, 42 * kIn / 10);
      EXPECT_LE(at(h).x1, 101 * kIn / 10);
      EXPECT_GE(at(h).y1, 21 * kIn / 10);
      EXPECT_LE(at(h).y1, 45 * kIn / 10);
    }
  }
  // S2's pin 1 is square, through the board, at 6.025, 4.4 inches.
  const Handle s2 = at(comps[1]).ext;
  const Handle pin1 = deep(kPad, s2)[0];
  EXPECT_EQ(item::padType(at(pin1)), item::kRectThru);
  EXPECT_EQ(at(pin1).layer, 0);
  EXPECT_EQ(item::padPin(at(pin1)), 1u);
  EXPECT_EQ(item::padX(at(pin1)), 4063);     // 62 mils
  EXPECT_EQ(item::padHole(at(pin1)), 1638);  // 25 mils
  EXPECT_EQ(at(s2).x1, 394854);              // origin 6025 mils
  EXPECT_EQ(item::padType(at(deep(kPad, s2)[1])), item::kOvalThru);
}

TEST_F(ProtelTest, OwnVersion6Sample) {
  ASSERT_EQ(readFile(ctx, std::string(TRELMO_TEST_DATA) + "/tango/autotrax6.pcb", kHintNone), 'P');
  auto comps = itemsOfType(kComponent);
  ASSERT_EQ(comps.size(), 1u);
  const Handle u1 = at(comps[0]).ext;
  EXPECT_EQ(readText(ctx, u1), std::string("DIP8\x7fU1\x7fLM358"));
  EXPECT_EQ(at(u1).x1, kIn);
  auto inner = items(u1);
  ASSERT_EQ(inner.size(), 6u);  // &1, &2, two pads, a track and an arc
  EXPECT_EQ(readText(ctx, inner[0]), "&1");
  EXPECT_EQ(readText(ctx, inner[1]), "&2");
  EXPECT_EQ(at(inner[0]).layer, 3);
  EXPECT_EQ(itemSignal(ctx, inner[2]), "SIG1");  // U1-1 of the net definition
  EXPECT_EQ(itemSignal(ctx, inner[3]), "");
  const Record& arc = at(inner[5]);
  EXPECT_EQ(item::start(arc), 0);  // quadrants 1 and 2: the upper half
  EXPECT_EQ(item::sweep(arc), 32768);
  EXPECT_EQ(at(comps[0]).x1, 62259);  // the box of its items: 950 mils
  // Free items.
  auto lines = itemsOfType(kLine);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(at(lines[0]).layer, 7);
  EXPECT_EQ(at(lines[0]).size, 786);  // 12 mils
  EXPECT_EQ(at(lines[0]).w3, 2 * kIn);
  EXPECT_TRUE(item::isSolid(at(lines[1])));
  EXPECT_EQ(at(lines[1]).layer, 8);
  auto pads = itemsOfType(kPad);
  ASSERT_EQ(pads.size(), 2u);
  EXPECT_EQ(item::padType(at(pads[0])), item::kRoundVia);
  EXPECT_EQ(item::padHole(at(pads[0])), 1835);
  EXPECT_EQ(item::padType(at(pads[1])), item::kRectSmt);
  EXPECT_EQ(at(pads[1]).layer, 7);
  EXPECT_EQ(pinName(ctx, pads[1]), "TP1");
  auto texts = itemsOfType(kText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(readText(ctx, texts[0]), "HELLO");
  EXPECT_EQ(item::textAngle(at(texts[0])), 16384);
  auto arcs = itemsOfType(kArc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_EQ(item::sweep(at(arcs[0])), 0);  // all four quadrants: a circle
}

TEST_F(ProtelTest, ArcQuadrantsMakeOneArcPerRun) {
  ASSERT_EQ(read("PCB FILE 4\nFA\n0 0 100 5 10 7\nFA\n0 0 100 9 10 7\nFA\n0 0 100 14 10 7\nFA\n0 0 100 4 10 7\n"), 'P');
  auto arcs = itemsOfType(kArc);
  ASSERT_EQ(arcs.size(), 5u);
  const auto arc = [&](size_t i) { return std::make_pair(item::start(at(arcs[i])), item::sweep(at(arcs[i]))); };
  EXPECT_EQ(arc(0), std::make_pair(uint16_t{0}, uint16_t{16384}));      // upper right
  EXPECT_EQ(arc(1), std::make_pair(uint16_t{32768}, uint16_t{16384}));  // lower left
  EXPECT_EQ(arc(2), std::make_pair(uint16_t{49152}, uint16_t{32768}));  // right half across 0
  EXPECT_EQ(arc(3), std::make_pair(uint16_t{16384}, uint16_t{49152}));  // all but upper right
  EXPECT_EQ(arc(4), std::make_pair(uint16_t{32768}, uint16_t{16384}));
}

TEST_F(ProtelTest, MissingLinesResynchroniseAtTheNextRecord) {
  ASSERT_EQ(read("PCB FILE 4\nFT\nFT\n\n0 0 100 0 10 1\nFP\n0 0 60 60 1 30 1 13\nFT\n0 0 1 1 0 6\n"
                 "FS\n0 0 60 0 10 7\nENDCOMP\nCOMP\nX1\nFT\n"),
            'P');
  auto lines = itemsOfType(kLine);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(at(lines[0]).w3, 6554);
  EXPECT_EQ(at(lines[1]).size, 65);  // width 0 is no filled solid
  EXPECT_EQ(at(lines[1]).layer, 8);
  auto pads = itemsOfType(kPad);
  ASSERT_EQ(pads.size(), 1u);  // its name line was the next record
  EXPECT_EQ(item::padPin(at(pads[0])), 0u);
  EXPECT_TRUE(itemsOfType(kText).empty());
  EXPECT_TRUE(itemsOfType(kComponent).empty());
}

TEST_F(ProtelTest, EndOfBoardStopsReadingAndOpenComponentsClose) {
  ASSERT_EQ(read("PCB FILE 4\nCOMP\nR1\nRES\n10K\n0 0 60 0 10 7\n0 0 0 0 10 7\n0 0 1 2 2\nCT\n0 0 10 0 10 7\n"
                 "COMP\nR2\nRES\n1K\n0 0 60 0 10 7\n0 0 60 0 10 7\n0 0 1 2 2\nCP\n0 0 60 60 1 30 1 13\n1\n"
                 "ENDPCB\nFT\n0 0 100 0 10 1\n"),
            'P');
  auto comps = itemsOfType(kComponent);
  ASSERT_EQ(comps.size(), 2u);
  EXPECT_EQ(items(at(comps[0]).ext).size(), 2u);  // &1 and the track; the comment has no height
  EXPECT_EQ(items(at(comps[1]).ext).size(), 3u);
  EXPECT_TRUE(itemsOfType(kLine).empty());
}

TEST_F(ProtelTest, HostileInputNeverCrashes) {
  std::string s = "PCB FILE 4\n";
  s += "NETDEF\n\n(\n-\nU1-\n-1\n" + std::string(3000, '-') + "\n[\nx\n";
  s += "COMP\n" + std::string(2000, 'A') + "\n\n\n99999999999999999999 -9999999999999999\n\n1 2\n";
  s += "FP\n1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\n" + std::string(1500, 'P') + "\n";
  s += std::string("FT\n1 1 1 1 1 1\0\xff\x1a", 22) + "\nFA\n1 1 1 -1 1 1\n";
  s += "COMP\nU1\n";
  EXPECT_EQ(read(s), 'P');
  EXPECT_EQ(read("PCB FILE 6\nCOMP\n"), 'P');
  EXPECT_EQ(read("PCB FILE 6\nNETDEF\n"), 'P');
  EXPECT_EQ(read("PCB FILE 6\nFS\n1 1 1 1 1 1\n"), 'P');
}

}  // namespace
}  // namespace trelmo::testing
