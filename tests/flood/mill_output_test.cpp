// Isolation output: golden T-Tech and G-code files of a small board, the
// drill file's order, every G-code program read back, and a folder that
// cannot be written.
#include <gtest/gtest.h>

#include "flood/flood_fixture.h"
#include "flood/gcode_checker.h"
#include "flood/gcode_writer.h"
#include "flood/isolation_boxes.h"
#include "flood/isolation_output.h"
#include "flood/isolation_passes.h"

namespace trelmo::testing {
namespace {

using flood::FloodRegion;

void expectGolden(const std::string& name, const std::string& bytes) {
  const std::string path = std::string(TRELMO_TEST_DATA) + "/flood/" + name;
  if (std::getenv("TRELMO_UPDATE_GOLDEN")) {
    std::ofstream(path, std::ios::binary) << bytes;
    return;
  }
  std::ifstream f(path, std::ios::binary);
  std::stringstream want;
  want << f.rdbuf();
  ASSERT_FALSE(want.str().empty()) << "missing golden file " << path;
  EXPECT_TRUE(bytes == want.str()) << name << " differs from its golden file";
}

const char* kBoard =
    "3 0 1 .3 .3 .06 .06 .032 0 1 A\n3 0 1 .7 .3 .06 .06 .032 0 2 A\n1 3 .012 .3 .3 .7 .3 A\n"
    "3 0 1 .3 .6 .06 .06 .04 0 1 B\n3 0 3 .7 .6 .05 .05 .028 0 0 B\n1 3 .012 .3 .6 .7 .6 B\n"
    "3 0 1 1.5 1.5 .06 .06 .05 0 0\n"  // outside the block: not drilled
    "2 20 .008 .5 .45 .05 0 180 0 0 $IS1\n";

struct Mill : NetBoard {
  FloodRegion region = FloodRegion::fromRectangle(inches(0.1), inches(0.1), inches(0.9), inches(0.8));
  bool board() {
    const std::string path = dir.file("small.pcb");
    std::string header = boardHeader();
    header.insert(header.find("-y255"), "-y20:0040E040,00000000,2,20,Top Iso\n");
    std::ofstream(path, std::ios::binary) << header << kBoard << "\nEND OF FILE\n";
    if (!openFileByName(ctx, path, 0)) return false;
    IsolationParams& p = ctx.params.isoTop;
    p = IsolationParams{};
    p.passes = 1, p.isoTool = 655, p.isoClearance = 524, p.target = 20;
    p.sources.set(0), p.sources.set(3);
    flood::trackIsolation(ctx, region, flood::kTopSide);
    return true;
  }
};

TEST(IsolationOutput, GoldenTTechFilesAndTheDrillOrder) {
  Mill b;
  ASSERT_TRUE(b.board());
  defaultIsolationRows(b.ctx);
  EXPECT_EQ(b.ctx.flood.rows[0].fileName, "small-d.plt");
  EXPECT_EQ(b.ctx.flood.rows[3].fileName, "small-r.plt");
  EXPECT_TRUE(b.ctx.flood.rows[2].mirror);
  EXPECT_EQ(b.ctx.flood.rows[1].sourceLayer, 20);
  b.ctx.flood.outputPath = b.dir.file("");
  EXPECT_EQ(flood::isolationOutput(b.ctx, b.region), 1);
  const std::string drill = b.readFile(b.dir.file("small-d.plt"));
  const std::string top = b.readFile(b.dir.file("small-t.plt"));
  expectGolden("small-d.plt", drill);
  expectGolden("small-t.plt", top);
  // Each hole size once, smallest first, a hit after every position.
  EXPECT_EQ(drill,
            "TC28;\r\nPU700,600;\r\nPP;\r\nTC32;\r\nPU300,300;\r\nPP;\r\nPU700,300;\r\nPP;\r\nTC40;\r\n"
            "PU300,600;\r\nPP;\r\nPU0,0;\r\n\x1a");
  EXPECT_EQ(top.rfind("TC8;\r\n", 0), 0u);  // the arc's width is the smallest tool
  EXPECT_NE(top.find("TC10;\r\n"), std::string::npos);
  EXPECT_EQ(top.substr(top.size() - 9), "PU0,0;\r\n\x1a");
  // The bottom row's layer holds nothing: only the end.
  EXPECT_EQ(b.readFile(b.dir.file("small-b.plt")), "PU0,0;\r\n\x1a");
}

TEST(IsolationOutput, GCodeReadsBackInsideTheBlockAtTheDepthsSet) {
  Mill b;
  ASSERT_TRUE(b.board());
  b.ctx.flood.format = MillFormat::GCode;
  defaultIsolationRows(b.ctx);
  EXPECT_EQ(b.ctx.flood.rows[1].fileName, "small-t.nc");
  b.ctx.flood.outputPath = b.dir.file("");
  b.ctx.flood.gcode.cutDepth = 0.08;
  ASSERT_EQ(flood::isolationOutput(b.ctx, b.region), 1);
  const double box[4] = {2.54, 2.54, 0.9 * 25.4, 0.8 * 25.4};
  const double mirrored[4] = {2.54, -0.8 * 25.4, 0.9 * 25.4, -2.54};
  const GCodeSettings& s = b.ctx.flood.gcode;
  const std::string top = b.readFile(b.dir.file("small-t.nc"));
  expectGolden("small-t.nc", top);
  GCodeReport r = checkGCode(top, box, s, 0.08);
  EXPECT_EQ(r.error, "");
  EXPECT_GT(r.cuts, 20);
  EXPECT_EQ(r.arcs, 1);
  EXPECT_EQ(r.toolChanges, 2);
  r = checkGCode(b.readFile(b.dir.file("small-d.nc")), box, s, 0.08);
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.drills, 4);
  EXPECT_EQ(r.toolChanges, 3);
  r = checkGCode(b.readFile(b.dir.file("small-r.nc")), mirrored, s, s.routeDepth);
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.cuts, 0);
  // A mirrored top: Y negated, the arc's turn reversed.
  b.ctx.flood.rows[1].mirror = true;
  ASSERT_EQ(flood::isolationOutput(b.ctx, b.region), 1);
  r = checkGCode(b.readFile(b.dir.file("small-t.nc")), mirrored, s, 0.08);
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.arcs, 1);
}

TEST(IsolationOutput, AFolderThatCannotBeWrittenStopsWithTheMessage) {
  Mill b;
  ASSERT_TRUE(b.board());
  defaultIsolationRows(b.ctx);
  b.ctx.flood.outputPath = b.dir.file("no/such/folder");
  EXPECT_EQ(flood::isolationOutput(b.ctx, b.region), 0);
  ASSERT_EQ(b.host.boxes.size(), 1u);
  EXPECT_EQ(b.host.boxes[0], (std::pair<std::string, std::string>{"TRELMO'98", "Unable to create output file."}));
}

}  // namespace
}  // namespace trelmo::testing
