// The photo-plot set: golden files of a small board, the X2 attributes, the
// example board read back through our own import, and gerbv's picture of it
// against ours.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "database/chains.h"
#include "database/walk.h"
#include "golden.h"
#include "output/gerber_format.h"
#include "output/gerber_writer.h"
#include "output/plot_raster.h"
#include "output_fixture.h"
#include "picture_compare.h"

namespace trelmo::testing {
namespace {

std::vector<std::string> writeSet(Context& ctx, const std::filesystem::path& dir, const std::string& stem) {
  GerberSet set;
  set.entries = gerberEntries(ctx.params);
  set.outlineLayer = guessOutlineLayer(ctx.params);
  EXPECT_TRUE(writeGerberSet(ctx, (dir / stem).string(), set)) << set.error;
  return set.written;
}

TEST_F(OutputTest, TheSmallBoardsPhotoPlotSetMatchesItsGoldenFiles) {
  open(dataPath("output/small.pcb"));
  const auto dir = scratchFolder("small-set");
  const std::vector<std::string> files = writeSet(ctx, dir, "small");
  std::vector<std::string> names;
  for (const std::string& f : files) names.push_back(std::filesystem::path(f).filename().string());
  EXPECT_EQ(names, (std::vector<std::string>{"small.TOP", "small.TSS", "small.TSM", "small.DRL", "small-NPTH.DRL",
                                             "small.GKO"}));
  for (const std::string& n : names) expectGolden("gerber/" + n, readBytes((dir / n).string()));
  std::filesystem::remove_all(dir);
}

TEST_F(OutputTest, CopperFilesCarryTheNetsPinsAndComponents) {
  open(dataPath("output/small.pcb"));
  const auto dir = scratchFolder("x2");
  writeSet(ctx, dir, "x2");
  const std::string top = readBytes((dir / "x2.TOP").string());
  for (const char* want :
       {"%TF.FileFunction,Copper,L1,Top*%", "%TF.FilePolarity,Positive*%", "%TF.Part,Single*%", "%TO.N,VIN*%",
        "%TO.P,U7,1*%", "%TO.C,U7*%", "%TO.P,U7,3*%", "%TA.AperFunction,SMDPad,CuDef*%",
        "%TA.AperFunction,ComponentPad*%", "%TA.AperFunction,ViaPad*%", "%FSLAX36Y36*%", "%MOIN*%", "%AMRotRect*",
        "%AMRotOval*", "G36*", "G37*", "G03*"})
    EXPECT_NE(top.find(want), std::string::npos) << want;
  const std::string mask = readBytes((dir / "x2.TSM").string());
  EXPECT_NE(mask.find("%TF.FileFunction,Soldermask,Top*%"), std::string::npos);
  EXPECT_NE(mask.find("%TF.FilePolarity,Negative*%"), std::string::npos);
  EXPECT_EQ(mask.find("%TO."), std::string::npos);  // object attributes only on copper
  // The 0.06 x 0.03 SMT pad swells by 0.004 in the mask.
  EXPECT_NE(mask.find("R,0.063995X0.033997"), std::string::npos) << mask;
  EXPECT_NE(readBytes((dir / "x2.GKO").string()).find("%TF.FileFunction,Profile,NP*%"), std::string::npos);
  std::filesystem::remove_all(dir);
}

TEST(GerberText, ReservedAndForeignCharactersAreEscaped) {
  EXPECT_EQ(gerberString("A,B*C%D\\E"), "A\\u002CB\\u002AC\\u0025D\\u005CE");
  EXPECT_EQ(gerberString(std::string("10") + static_cast<char>(kOhm)), "10\\u03A9");
  EXPECT_EQ(gerberNumber(65536), "1000000");
  EXPECT_EQ(gerberNumber(-32768), "-500000");
}

struct Copper {
  std::vector<Record> lines, pads;
};

// Lines and pads of a file's copper layer `layer` (pads of the pad master
// count too), with through-hole pads.
Copper copperOf(const Context& ctx, int layer) {
  Copper c;
  Handle cur = ctx.current;
  while (anyItem(ctx.pool, cur) != 0) {
    const Record& r = ctx.rec(cur);
    if (r.type() == kLine && r.size > 0 && r.layer == layer) c.lines.push_back(r);
    if (r.type() == kPad && (r.layer == layer || r.layer == 0)) c.pads.push_back(r);
  }
  return c;
}

bool near(int32_t a, int32_t b) { return std::abs(int64_t{a} - b) <= 1; }

TEST_F(OutputTest, TheExampleBoardReadsBackThroughOurOwnImport) {
  open(std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb");
  const Copper want = copperOf(ctx, 3);
  std::vector<Record> holes;
  for (const Record& p : want.pads)
    if (item::padHole(p) && item::padHole(p) < std::min(item::padX(p), item::padY(p))) holes.push_back(p);
  const auto dir = scratchFolder("demo-set");
  writeSet(ctx, dir, "demo");

  QuietHost h2;
  Context back(h2);
  ASSERT_TRUE(openFileByName(back, (dir / "demo.TOP").string(), 'G'));
  const Copper got = copperOf(back, 1);
  ASSERT_EQ(got.lines.size(), want.lines.size());
  ASSERT_EQ(got.pads.size(), want.pads.size());
  for (const Record& w : want.lines) {
    const bool found = std::any_of(got.lines.begin(), got.lines.end(), [&](const Record& g) {
      const bool same = near(g.x1, w.x1) && near(g.y1, w.y1) && near(g.w3, w.w3) && near(g.w4, w.w4);
      const bool turned = near(g.x1, w.w3) && near(g.y1, w.w4) && near(g.w3, w.x1) && near(g.w4, w.y1);
      return (same || turned) && std::abs(g.size - w.size) <= 1;
    });
    EXPECT_TRUE(found) << "track from " << w.x1 << "," << w.y1;
  }
  for (const Record& w : want.pads) {
    const bool found = std::any_of(got.pads.begin(), got.pads.end(), [&](const Record& g) {
      return near(g.x1, w.x1) && near(g.y1, w.y1) && std::abs(item::padX(g) - item::padX(w)) <= 1 &&
             std::abs(item::padY(g) - item::padY(w)) <= 1;
    });
    EXPECT_TRUE(found) << "pad at " << w.x1 << "," << w.y1;
  }

  QuietHost h3;
  Context drill(h3);
  ASSERT_TRUE(openFileByName(drill, (dir / "demo.DRL").string(), 'I'));
  const Copper hits = copperOf(drill, 0);
  ASSERT_EQ(hits.pads.size(), holes.size());
  for (const Record& w : holes) {
    const bool found = std::any_of(hits.pads.begin(), hits.pads.end(), [&](const Record& g) {
      return near(g.x1, w.x1) && near(g.y1, w.y1) && std::abs(item::padHole(g) - item::padHole(w)) <= 1;
    });
    EXPECT_TRUE(found) << "hole at " << w.x1 << "," << w.y1;
  }
  std::filesystem::remove_all(dir);
}

TEST_F(OutputTest, GerbvDrawsTheTopCopperAsWeDo) {
  if (std::system("command -v gerbv >/dev/null") != 0) GTEST_SKIP() << "gerbv is not installed";
  open(std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb");
  const auto dir = scratchFolder("gerbv");
  writeSet(ctx, dir, "demo");
  const std::string png = (dir / "top.png").string();
  const std::string cmd = "gerbv -x png -B 0 -D 400 -W 3.6x2.9 -O -0.05x-0.05 -b '#FFFFFF' -f '#000000FF' -o '" + png +
                          "' '" + (dir / "demo.TOP").string() + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  int w = 0, h = 0;
  std::vector<bool> theirs;
  ASSERT_TRUE(darkPixels(png, w, h, theirs));
  ASSERT_EQ(w, 1440);
  ASSERT_EQ(h, 1160);
  // Our own picture of the same layer: top copper and the pad master.
  for (int l = 0; l < 256; ++l)
    if (l != 0 && l != 3) ctx.params.layers[l].plotColor |= kColorDisabled;
  const PlotScene scene = buildPlotScene(ctx, kNoHoles);
  PlotFrame f;
  // gerbv's dot i covers [i, i + 1) from its origin; ours are centred on whole dots.
  f.page = {400, w, h};
  f.scale = 400.0 / 65536;
  f.originX = -0.05 * 400 + 0.5, f.originY = -0.05 * 400 + 0.5;
  f.image = {0, 0, w - 1, h - 1};
  GreyBands ours;
  ours.width = w, ours.height = h, ours.dark.assign(static_cast<size_t>(w) * h, false);
  PlotControl control;
  ASSERT_EQ(renderBands(scene, f, ours, control, false), PlotResult::Done);
  size_t both = 0, either = 0;
  for (size_t i = 0; i < theirs.size(); ++i) both += theirs[i] && ours.dark[i], either += theirs[i] || ours.dark[i];
  const double overlap = static_cast<double>(both) / static_cast<double>(either);
  // Rasterizers differ by a dot at edges: the share of each picture's dark
  // dots with a dark dot of the other within one dot.
  auto within = [&](const std::vector<bool>& a, const std::vector<bool>& b) {
    size_t dark = 0, met = 0;
    for (int y = 1; y + 1 < h; ++y)
      for (int x = 1; x + 1 < w; ++x) {
        if (!a[static_cast<size_t>(y) * w + x]) continue;
        ++dark;
        bool any = false;
        for (int dy = -1; dy <= 1 && !any; ++dy)
          for (int dx = -1; dx <= 1 && !any; ++dx) any = b[static_cast<size_t>(y + dy) * w + x + dx];
        met += any;
      }
    return dark ? static_cast<double>(met) / static_cast<double>(dark) : 1.0;
  };
  const double near = std::min(within(theirs, ours.dark), within(ours.dark, theirs));
  RecordProperty("overlap", std::to_string(overlap));
  RecordProperty("within_one_dot", std::to_string(near));
  std::printf("gerbv/own top copper at 400 dpi: overlap %.4f (%zu of %zu dark dots), within one dot %.4f\n", overlap,
              both, either, near);
  EXPECT_GT(overlap, 0.8);
  EXPECT_GT(near, 0.98);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace trelmo::testing
