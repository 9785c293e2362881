// Flood fill: copper safety on the example and a generated board, thermal
// ties, the line size rules, undo and the hatch.
#include <gtest/gtest.h>

#include "flood/flood_fixture.h"
#include "nets/shapes.h"

namespace trelmo::testing {
namespace {

using flood::FloodRegion;

struct Flood : NetBoard {
  Flood() { installFloodFunctions(ctx); }
  void setup(int target, const std::string& thermal, double size = 0.012) {
    ctx.params.floodTarget = static_cast<uint8_t>(target);
    ctx.params.floodSources.clear();
    setSignal(ctx.params.thermalSignal, thermal);
    setSignal(ctx.params.solidSignal, "");
    ctx.params.floodLineSize = inches(size);
  }
  flood::FloodResult fill(double x0, double y0, double x1, double y1, int mode = flood::kFloodLines) {
    return flood::floodFill(ctx, FloodRegion::fromRectangle(inches(x0), inches(y0), inches(x1), inches(y1)), mode);
  }
  // The lines on the layer of this width.
  std::vector<const Record*> lines(int layer, int width = -1) {
    std::vector<const Record*> out;
    for (Handle h = ctx.rec(ctx.current).next; h != ctx.current; h = ctx.rec(h).next) {
      const Record& r = ctx.rec(h);
      if (r.type() == kLine && r.layer == layer && r.size > 0 && (width < 0 || r.size == width)) out.push_back(&r);
    }
    return out;
  }
};

TEST(FloodFill, ExampleBoardGainsNoFaultWithForeignSignals) {
  Flood b;
  ASSERT_TRUE(b.example("demo.pcb"));
  b.setup(3, "GND");
  const auto before = foreignFaults(b, {"GND"});
  const int linesBefore = countLines(b.ctx, 3);
  const auto r = b.fill(0, 0, 3.5, 2.8);
  EXPECT_FALSE(r.cancelled);
  EXPECT_GT(r.added, 300);
  EXPECT_EQ(countLines(b.ctx, 3), linesBefore + r.added);
  EXPECT_EQ(foreignFaults(b, {"GND"}), before);
  EXPECT_TRUE(b.host.questions.empty());
}

TEST(FloodFill, GeneratedBoardGainsNoFaultWithForeignSignals) {
  for (const unsigned seed : {1u, 2u})
    for (const int mode : {flood::kFloodLines, flood::kHatchLines}) {
      Flood b;
      ASSERT_TRUE(b.load(generatedBoard(8, 6, seed), ".008,.008,.008"));
      b.setup(3, "GND", 0.015);
      b.ctx.params.floodToLine = b.ctx.params.floodToPad = inches(0.01);
      b.ctx.flood.hatchGrid = inches(0.05);
      const auto before = foreignFaults(b, {"GND"});
      EXPECT_GT(b.fill(0, 0, 1.9, 1.5, mode).added, 100);
      EXPECT_EQ(foreignFaults(b, {"GND"}), before) << seed << " " << mode;
    }
}

TEST(FloodFill, OneUndoEventAndTheSmallestLineSize) {
  Flood b;
  ASSERT_TRUE(b.load("3 0 1 1.0 1.0 .06 .06 .03 0 1 GND\n"));
  b.setup(3, "GND", 50.0 / 65536);
  const auto r = b.fill(0.5, 0.5, 1.5, 1.5);
  EXPECT_EQ(b.ctx.params.floodLineSize, 66);
  ASSERT_GT(r.added, 100);
  EXPECT_EQ(b.lines(3, 66).size(), static_cast<size_t>(r.added));
  EXPECT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(countLines(b.ctx, 3), 0);
  EXPECT_FALSE(undoAvailable(b.ctx));
}

TEST(FloodFill, PadsOnLayerZeroAreObstaclesOfACopperTarget) {
  Flood b;
  ASSERT_TRUE(b.load("3 0 1 1.0 1.0 .1 .1 .04 0 1 X\n"));
  b.setup(3, "");
  b.ctx.params.floodToPad = inches(0.01);
  b.fill(0.5, 0.5, 1.5, 1.5);
  ASSERT_GT(b.lines(3).size(), 50u);
  // Every line keeps the pad's radius, the clearance and its own half width.
  const int64_t keep = inches(0.05 + 0.01 + 0.006);
  for (const Record* r : b.lines(3))
    EXPECT_FALSE(pointNearSegment(inches(1), inches(1), r->x1, r->y1, r->w3, r->w4, keep)) << r->x1 << "," << r->y1;
}

// A ground pad with foreign pads beside each diagonal spoke: the spokes fit
// only once the line size has come down; nearer still, none fits and the
// question decides.
std::string crowdedPad(double offset) {
  std::ostringstream s;
  s << std::fixed << std::setprecision(5);
  s << "3 0 1 1.0 1.0 .06 .06 .03 0 1 GND\n";
  for (const auto& [dx, dy] : {std::pair{1, 1}, {-1, 1}, {-1, -1}, {1, -1}}) {
    const double along = 0.035 / std::sqrt(2.0), across = offset / std::sqrt(2.0);
    s << "3 3 5 " << 1 + dx * along - dy * across << " " << 1 + dy * along + dx * across << " .02 .02 0 0 1 X\n";
  }
  return s.str();
}

TEST(FloodFill, CrowdedGroundPadGetsNarrowerSpokes) {
  Flood b;
  ASSERT_TRUE(b.load(crowdedPad(1750.0 / 65536)));
  b.setup(3, "GND", 0.02);
  b.ctx.params.floodToPad = inches(0.01);
  b.fill(0.7, 0.7, 1.3, 1.3);
  int narrow = 0;
  for (const Record* r : b.lines(3))
    if (r->x1 == inches(1) && r->y1 == inches(1)) {
      EXPECT_LT(r->size, inches(0.02));
      EXPECT_GE(r->size, 458);
      ++narrow;
    }
  EXPECT_EQ(narrow, 4);
  EXPECT_EQ(b.ctx.params.floodLineSize, inches(0.02));
  EXPECT_TRUE(b.host.questions.empty());
}

TEST(FloodFill, UnconnectablePadAsksAndCancelKeepsWhatWasMade) {
  Flood b;
  ASSERT_TRUE(b.load(crowdedPad(0.005)));
  b.setup(3, "GND", 0.02);
  b.ctx.params.floodToPad = inches(0.01);
  b.host.answers.push_back(Answer::Cancel);
  const auto r = b.fill(0.7, 0.7, 1.3, 1.3);
  ASSERT_EQ(b.host.questions.size(), 1u);
  EXPECT_EQ(b.host.questions[0].title, "Flood Fill Unconnection");
  EXPECT_EQ(b.host.questions[0].text,
            "The power/ground pad at location:\n   X = 1.000\"  Y = 1.000\"\ncannot be connected to the flood "
            "plane.\n\nDo you wish to continue?");
  EXPECT_TRUE(r.cancelled);
  EXPECT_GT(r.added, 0);
  EXPECT_EQ(countLines(b.ctx, 3), r.added);
  EXPECT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(countLines(b.ctx, 3), 0);
}

TEST(FloodFill, HatchLinesRunDiagonallyInsideTheBlock) {
  Flood b;
  ASSERT_TRUE(b.load(""));
  b.setup(3, "");
  b.ctx.flood.hatchGrid = inches(0.1);
  const auto r = b.fill(0, 0, 1, 1, flood::kHatchLines);
  int diagonals = 0;
  for (const Record* l : b.lines(3)) {
    for (const int32_t v : {l->x1, l->y1, l->w3, l->w4}) {
      EXPECT_GE(v, inches(0.006) - 1);
      EXPECT_LE(v, inches(1 - 0.006) + 1);
    }
    const int64_t dx = int64_t{l->w3} - l->x1, dy = int64_t{l->w4} - l->y1;
    diagonals += dx != 0 && dy != 0 && std::llabs(std::llabs(dx) - std::llabs(dy)) <= 2;
  }
  EXPECT_EQ(r.added, diagonals + 4);  // and the border
  EXPECT_EQ(diagonals, 2 * 19);
}

TEST(FloodFill, WithoutABlockTheFunctionSaysSo) {
  Flood b;
  ASSERT_TRUE(b.load("3 0 1 1.0 1.0 .06 .06 .03 0 1 GND\n"));
  executeFunction(b.ctx, fc('B', 'F'), kFromKeys);
  EXPECT_EQ(b.lastStatus(), "Block must be defined before this function can be used.");
  EXPECT_TRUE(b.host.dialogs.empty());
  EXPECT_EQ(countLines(b.ctx, 3), 0);
}

}  // namespace
}  // namespace trelmo::testing
