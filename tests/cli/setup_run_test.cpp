// The setup boxes, zero point, ortho mode and the interactive zooms run from
// trelmo-cli: each box changes a value and the saved file's option line
// shows it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_runner.h"

namespace fs = std::filesystem;
using trelmo::testing::CliFolder;
using trelmo::testing::CliResult;
using trelmo::testing::has;
using trelmo::testing::readWhole;
using trelmo::testing::runCli;

namespace {

class SetupRun : public CliFolder {
 protected:
  // Runs the macro over the demo board with the extra arguments and saves it;
  // the saved file's text is in `saved`.
  CliResult run(const std::string& macro, std::vector<std::string> extra) {
    std::vector<std::string> args = {"run", std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb", "--macro", macro};
    args.insert(args.end(), extra.begin(), extra.end());
    args.insert(args.end(), {"-o", "out.pcb"});
    const CliResult r = runCli(args, dir);
    saved = readWhole(dir / "out.pcb");
    return r;
  }
  bool savedLine(const std::string& line) const { return has(saved, "\r\n" + line + "\r\n"); }
  std::string saved;
};

struct BoxCase {
  const char* macro;
  std::vector<std::string> dialog;  // BOX.FIELD=VALUE
  const char* line;                 // in the saved file
};

class SetupBoxRun : public SetupRun, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(SetupBoxRun, ChangesTheOptionLineOfTheSavedFile) {
  std::vector<std::string> extra;
  for (const std::string& d : GetParam().dialog) extra.insert(extra.end(), {"--dialog", d});
  const CliResult r = run(GetParam().macro, extra);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(has(r.err, "unused:")) << r.err;
  EXPECT_FALSE(has(r.err, "sound: Beop")) << r.err;
  EXPECT_TRUE(savedLine(GetParam().line)) << GetParam().line << "\n" << saved.substr(0, 900);
}

INSTANTIATE_TEST_SUITE_P(
    EveryBox, SetupBoxRun,
    ::testing::Values(
        BoxCase{"<SL>",
                {"SetupLayersBox.Layer20.Name=Fab Notes", "SetupLayersBox.Layer20.Kind=7 = Drawing (general)",
                 "SetupLayersBox.Layer20.Colour=ff8000", "SetupLayersBox.Layer20.NoPlot=1",
                 "SetupLayersBox.Layer20.Sequence=42"},
                "-y20:00FF8000,01000000,7,42,Fab Notes"},
        BoxCase{"<SC>",
                {"SetupClearancesBox.lineToLine=12", "SetupClearancesBox.maskSwell=.004"},
                "-gc.012,.012,.012,.008,.008,.01,.005,,,3"},
        BoxCase{"<SG>", {"GridSnapBox.snap=.05\""}, "-gs0.05\",3,.001\",.005\",.025\",.05\",.1\""},
        BoxCase{"<SS>",
                {"SnapTableBox.entry2=", "SnapTableBox.entry6=1.0mm"},
                "-gs0.025\",0,.001\",.025\",.05\",.1\",1.0mm"},
        BoxCase{
            "<SD>", {"GridDotsBox.spacing=50", "GridDotsBox.gridColour=00ff00"}, "-gd.05,00FF00,202020,FFFFFF,FFFF00"},
        BoxCase{"<SM>", {"DrawModesBox.lines=Outline only", "DrawModesBox.endpoints=1"}, "-gm1,7,3,6"},
        BoxCase{"<SB>", {"StatusBarBox.polar=1"}, "-gm3,7,3,3"},
        // 0.025 inch is 0.635 mm: two decimals would write a step of 0.64 mm.
        BoxCase{"<SB>",
                {"StatusBarBox.units=Millimetres", "StatusBarBox.decimals=2"},
                "-gs0.635mm,0,.001\",.005\",.025\",.05\",.1\""}));

TEST_F(SetupRun, BoxesConfirmedAsTheyOpenedChangeNothing) {
  ASSERT_EQ(runCli({"convert", std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb", "ref.pcb"}, dir).status, 0);
  const CliResult r = run("<SL> <SC> <SG> <SS> <SD> <SM> <SB> <S`> <ZL>", {});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(saved, readWhole(dir / "ref.pcb"));
}

TEST_F(SetupRun, AValueABoxCannotTakeChangesNothing) {
  const CliResult r = run("<SL>", {"--dialog", "SetupLayersBox.Layer3.Name=Top;Silk"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.err, "box: Setup Layers Error: The name of Layer3 may not hold \";\"")) << r.err;
  EXPECT_FALSE(has(saved, "Top;Silk"));
  const CliResult colour = run("<SD>", {"--dialog", "GridDotsBox.gridColour=green"});
  EXPECT_TRUE(has(colour.err, "box: Grid Dots Error: \"green\" is not a valid value for Grid dot colour."))
      << colour.err;
  EXPECT_TRUE(savedLine("-gd.1,FFFFFF,202020,FFFFFF,FFFF00"));
  // A whole number is mils whatever follows it: "1mm" would be a 1 mil snap.
  const CliResult snap = run("<SS>", {"--dialog", "SnapTableBox.entry1=1mm"});
  EXPECT_TRUE(has(snap.err, "box: Snap Table Error: The snap table entry \"1mm\" is no grid snap.")) << snap.err;
}

// The zero point, ortho mode and the layer zoom through one macro; their
// toggles and boxes are the shell tests' business.
TEST_F(SetupRun, ZeroPointOrthoModeAndZoomLayerReachTheSavedFile) {
  const CliResult r = run("\"1,2\" CR <SP> T T <ZL>", {"--dialog", "SelectLayerBox.layer=12 Bottom Copper"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.err, "sound: Peep\nmessage: Relative zero point established.\n")) << r.err;
  EXPECT_TRUE(has(r.err, "message: Ortho-snap mode enabled.\nmessage: Ortho-snap mode disabled.\n")) << r.err;
  EXPECT_TRUE(savedLine("-gz1.0,2.0"));
  EXPECT_TRUE(savedLine("-y12")) << "the active layer";
}

TEST_F(SetupRun, ZoomWindowFitsTheTwoCorners) {
  // Each corner: a typed position, then Enter to take it.
  const CliResult r = run("<ZW> \"1,1\" CR CR \"2,2\" CR CR", {});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.err, "message: Zoom Window:  Select first corner point.\n")) << r.err;
  EXPECT_TRUE(has(r.err, "message: Zoom Window:  Select second corner point\n")) << r.err;
  // One inch fills the 746-row drawing area less 7 rows; the cursor is the centre.
  EXPECT_TRUE(has(r.err, "cursor: 1.50000,1.50000\nscale: 738 dpi\n")) << r.err;
}

}  // namespace
