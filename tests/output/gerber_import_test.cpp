// Photo-plot sets read back into one design: our own set with its nets, pins
// and component, and a KiCad X2 copper file against gerbv's picture of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "database/chains.h"
#include "database/design_files.h"
#include "database/options.h"
#include "database/signals.h"
#include "database/walk.h"
#include "files/import/gerber_set.h"
#include "output/gerber_writer.h"
#include "output/plot_raster.h"
#include "output_fixture.h"
#include "picture_compare.h"

namespace trelmo::testing {
namespace {

struct Found {
  Handle h = kNull;
  std::string component;
};

// Every item of the design with the Ref ID of its component.
std::vector<Found> itemsOf(const Context& ctx, Handle ring, const std::string& ref = {}, int depth = 0) {
  std::vector<Found> out;
  for (Handle h = ctx.rec(ring).next; h != ring; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.type() == kComponent && depth < 8) {
      const std::string p = readText(ctx, r.ext);
      const size_t a = p.find('\x7f'), b = p.find('\x7f', a + 1);
      const std::string own = a == std::string::npos ? std::string() : p.substr(a + 1, b - a - 1);
      const auto inner = itemsOf(ctx, r.ext, own, depth + 1);
      out.insert(out.end(), inner.begin(), inner.end());
    } else if (r.type() >= kLine && r.type() <= kText) {
      out.push_back({h, ref});
    }
  }
  return out;
}

bool near(int32_t a, int32_t b) { return std::abs(int64_t{a} - b) <= 2; }

TEST_F(OutputTest, OurOwnSetReadsBackWithItsNetsPinsAndComponent) {
  open(dataPath("output/small.pcb"));
  const auto dir = scratchFolder("x2-back");
  GerberSet set;
  set.entries = gerberEntries(ctx.params);
  set.outlineLayer = guessOutlineLayer(ctx.params);
  ASSERT_TRUE(writeGerberSet(ctx, (dir / "back").string(), set)) << set.error;

  QuietHost h2;
  Context back(h2);
  newDesignFile(back, (dir / "back.pcb").string());
  parseOptionsV4(back, {"-y1", "-gz0,0"});
  std::vector<std::string> paths;
  std::string error;
  ASSERT_TRUE(photoPlotFolder(dir.string(), paths, error)) << error;
  int top = -1;
  for (const ImportedFile& f : importPhotoPlots(back, paths)) {
    // Drill files this small are below what the drill recogniser accepts.
    if (f.path.find(".DRL") == std::string::npos) {
      EXPECT_NE(f.format, 0) << f.path << ": " << f.error;
    }
    if (f.layerName == "Top Copper") top = f.layer;
  }
  ASSERT_GT(top, 0);
  EXPECT_EQ(back.params.layers[top].kind(), kCopper);

  // Every copper pad and track of the board is there with its net, and the
  // pads of U7 with their pins, gathered into U7.
  const auto original = itemsOf(ctx, ctx.current), got = itemsOf(back, back.current);
  int pads = 0, tracks = 0;
  for (const Found& o : original) {
    const Record& w = ctx.rec(o.h);
    const bool copperPad =
        w.type() == kPad && (w.layer == 1 || w.layer == 0) && item::padHole(w) < std::min(item::padX(w), item::padY(w));
    const bool track = w.type() == kLine && w.size > 0 && w.layer == 1;
    if (!copperPad && !track) continue;
    const auto match = std::find_if(got.begin(), got.end(), [&](const Found& g) {
      const Record& r = back.rec(g.h);
      if (r.layer != top || r.type() != w.type() || !near(r.x1, w.x1) || !near(r.y1, w.y1)) return false;
      return w.type() == kPad || (near(r.w3, w.w3) && near(r.w4, w.w4));
    });
    ASSERT_NE(match, got.end()) << "item at " << w.x1 << "," << w.y1;
    EXPECT_EQ(itemSignal(back, match->h), itemSignal(ctx, o.h)) << "item at " << w.x1 << "," << w.y1;
    EXPECT_EQ(match->component, o.component);
    if (w.type() == kPad && !o.component.empty()) {
      EXPECT_EQ(pinName(back, match->h), pinName(ctx, o.h));
    }
    (w.type() == kPad ? pads : tracks)++;
  }
  EXPECT_EQ(pads, 5);  // the unplated hole has no copper
  EXPECT_EQ(tracks, 2);
  std::filesystem::remove_all(dir);
}

TEST(GerberImport, AKiCadCopperFileOpensWithItsPartsNetsAndPicture) {
  const std::string corpus = std::string(TRELMO_SHARED_DIR) + "/corpus/gerber-274x-mm/";
  const std::string file = corpus + "kicad599-Flashpads-F_Cu.gbr";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "no corpus";
  QuietHost host;
  Context ctx(host);
  newDesignFile(ctx, "kicad.pcb");
  parseOptionsV4(ctx, {"-y1", "-gz0,0"});
  const auto files = importPhotoPlots(ctx, {file, corpus + "kicad599-Flashpads-Edge_Cuts.gbr"});
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].layerName, "Top Copper");
  EXPECT_EQ(files[1].layerName, "Profile");

  // Pads named by a pin attribute sit in their component with their pin;
  // the pads of the one net named carry it as their signal.
  std::map<std::string, int> parts;
  int pins = 0, unconnected = 0;
  for (const Found& f : itemsOf(ctx, ctx.current)) {
    const Record& r = ctx.rec(f.h);
    if (!f.component.empty()) ++parts[f.component];
    if (r.type() == kPad && !f.component.empty()) pins += !pinName(ctx, f.h).empty() && pinName(ctx, f.h) != "0";
    unconnected += itemSignal(ctx, f.h) == "N/C";
  }
  EXPECT_TRUE(parts.count("U2"));
  EXPECT_TRUE(parts.count("REF**"));
  EXPECT_GT(pins, 50);
  EXPECT_GT(unconnected, 0);

  if (std::system("command -v gerbv >/dev/null") != 0) GTEST_SKIP() << "gerbv is not installed";
  const auto dir = scratchFolder("kicad-gerbv");
  const std::string png = (dir / "kicad.png").string();
  // The board's profile: 80 x 50 mm from (20, -70) mm.
  const double x0 = 0.75, y0 = -2.8, w = 3.25, h = 2.05;
  const int dpi = 300;
  char window[128];
  std::snprintf(window, sizeof window, "-W %gx%g -O %gx%g", w, h, x0, y0);
  const std::string cmd = "gerbv -x png -B 0 -D " + std::to_string(dpi) + " " + window +
                          " -b '#FFFFFF' -f '#000000FF' -o '" + png + "' '" + file + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  int pw = 0, ph = 0;
  std::vector<bool> theirs;
  ASSERT_TRUE(darkPixels(png, pw, ph, theirs));
  for (int l = 0; l < 256; ++l)  // through-hole pads are the pad master's
    if (l != 0 && l != files[0].layer) ctx.params.layers[l].plotColor |= kColorDisabled;
  ctx.params.layers[0].plotColor = 0;  // black, as the copper layer
  const PlotScene scene = buildPlotScene(ctx, kNoHoles);
  PlotFrame f;
  f.page = {dpi, pw, ph};
  f.scale = dpi / 65536.0;
  f.originX = x0 * dpi + 0.5, f.originY = y0 * dpi + 0.5;
  f.image = {0, 0, pw - 1, ph - 1};
  GreyBands ours;
  ours.width = pw, ours.height = ph, ours.dark.assign(static_cast<size_t>(pw) * ph, false);
  PlotControl control;
  ASSERT_EQ(renderBands(scene, f, ours, control, false), PlotResult::Done);
  const Agreement a = agreement(theirs, ours.dark, pw, ph);
  std::printf("gerbv/own KiCad top copper at %d dpi: overlap %.4f, within one dot %.4f\n", dpi, a.overlap, a.near);
  // Rasterizers differ by a dot at edges: nearly every dark dot of either
  // picture has one of the other within a dot.
  EXPECT_GT(a.overlap, 0.8);
  EXPECT_GT(a.near, 0.99);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace trelmo::testing
