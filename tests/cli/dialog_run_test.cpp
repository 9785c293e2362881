// trelmo-cli with scripted dialog and file boxes, and its catalogue of boxes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/cli_runner.h"

namespace fs = std::filesystem;
using trelmo::testing::CliFolder;
using trelmo::testing::CliResult;
using trelmo::testing::has;
using trelmo::testing::runCli;

namespace {

class DialogRun : public CliFolder {
 protected:
  // A photo-plot file with neither format nor apertures: 20 draws along X.
  std::string bareGerber() const {
    std::string body = "D10*\n";
    for (int i = 0; i < 20; ++i) body += "X" + std::to_string(i * 100) + "Y0D01*\n";
    std::ofstream(dir / "bare.gbr") << body;
    return (dir / "bare.gbr").string();
  }
};

TEST_F(DialogRun, ImportFormatBoxTakesTheScriptedValues) {
  const std::string gbr = bareGerber();
  const CliResult r =
      cli({"run", gbr, "--dialog", "GerberInFormatBox.decimal=2", "--dialog", "GerberInFormatBox.defaults=1",
           "--dialog", "GerberInApertureBox.xsize=20", "-o", "out.pcb"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.err, "dialog: GerberInFormatBox: addressing=0; zeros=0; decimal=2; units=0; defaults=1 -> ok\n"))
      << r.err;
  EXPECT_TRUE(has(r.err, "unused: --dialog GerberInApertureBox.xsize=20\n")) << "defaults answer every aperture";
  const CliResult info = cli({"info", "out.pcb"});
  EXPECT_TRUE(has(info.out, "extents: 0.00000,0.00000 19.00000,")) << "1900 with two implied digits\n" << info.out;

  // The same file converted: the box opens on import there too.
  const CliResult inches = cli({"convert", gbr, "three.pcb", "--dialog", "GerberInFormatBox.units=Millimetres",
                                "--dialog", "GerberInFormatBox.defaults=1"});
  ASSERT_EQ(inches.status, 0) << inches.err;
  EXPECT_TRUE(has(inches.err, "units=1; defaults=1 -> ok")) << inches.err;
  EXPECT_TRUE(has(cli({"info", "three.pcb"}).out, "extents: 0.00000,0.00000 0.07480,")) << "1.9 mm";
}

TEST_F(DialogRun, BoxesOpenedByKeysAreSetOrCancelled) {
  const CliResult set = cli({"run", demo(), "--macro", "\"ZS\"", "--dialog", "ZoomScaleBox.dpi=250"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_TRUE(has(set.err, "dialog: ZoomScaleBox: dpi=250 -> ok\n")) << set.err;
  EXPECT_TRUE(has(set.err, "scale: 250 dpi\n")) << set.err;
  EXPECT_FALSE(has(set.err, "unused:")) << set.err;

  const CliResult cancel =
      cli({"run", demo(), "--macro", "\"ZS\"", "--dialog", "ZoomScaleBox=cancel", "--dialog", "ZoomScaleBox.dpi=250"});
  ASSERT_EQ(cancel.status, 0) << cancel.err;
  EXPECT_TRUE(has(cancel.err, "dialog: ZoomScaleBox: dpi=250 -> cancel\n")) << cancel.err;
  EXPECT_FALSE(has(cancel.err, "scale: 250 dpi")) << cancel.err;
}

TEST_F(DialogRun, AValueTheBoxCannotTakeEndsTheRunWithItsFields) {
  for (const char* bad : {"ZoomScaleBox.dpx=250", "ZoomScaleBox.dpi=250dpi", "ZoomScaleBox.dpi=1234567890"}) {
    const CliResult r = cli({"run", demo(), "--macro", "\"ZS\"", "--dialog", bad, "-o", "out.pcb"});
    EXPECT_EQ(r.status, 2) << bad << "\n" << r.err;
    EXPECT_TRUE(has(r.err, std::string("trelmo-cli: --dialog ") + bad + ": ")) << r.err;
    EXPECT_TRUE(has(r.err, "ZoomScaleBox \"Zoom Scale\"\n  dpi: integer \"Scale (dots per inch)\" = ")) << r.err;
    EXPECT_FALSE(has(r.err, "scale:")) << "the run ended at the box\n" << r.err;
    EXPECT_FALSE(fs::exists(dir / "out.pcb")) << "nothing is saved";
  }
  const CliResult unknown = cli({"run", demo(), "--dialog", "ZoomBox.dpi=250"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_TRUE(has(unknown.err, "there is no box called ZoomBox")) << unknown.err;
  EXPECT_FALSE(has(unknown.err, "progress:")) << "refused before the file is read";
  EXPECT_EQ(cli({"run", demo(), "--dialog", "ZoomScaleBox"}).status, 2);
  EXPECT_EQ(cli({"run", demo(), "--file"}).status, 2);
}

TEST_F(DialogRun, FileBoxesTakeTheScriptedPathsInOrder) {
  fs::create_directories(dir / "sub");
  const CliResult r =
      cli({"run", "-new-pcb", "--macro", "\"FW\" \"FA\" \"FO\"", "--dialog", "FileNewBox.kind=Drawing size B (17 x 11)",
           "--file", "sub/drawing.dwg", "--file", "never.pcb", "--answer", "no"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.err, "dialog: FileNewBox: kind=0 -> ok\n")) << "-new-pcb's own choice\n" << r.err;
  EXPECT_TRUE(has(r.err, "dialog: FileNewBox: kind=9 -> ok\n")) << r.err;
  EXPECT_TRUE(has(r.err, "file: Save As -> " + (dir / "sub/drawing.dwg").string() + "\n")) << r.err;
  EXPECT_TRUE(fs::exists(dir / "sub/drawing.dwg"));
  EXPECT_TRUE(has(r.err, "file: Open -> " + (dir / "never.pcb").string() + "\n")) << r.err;
  EXPECT_TRUE(has(r.err, "unused: --answer no\n")) << r.err;

  const CliResult none = cli({"run", demo(), "--macro", "\"FO\""});
  EXPECT_TRUE(has(none.err, "file: Open -> cancel\n")) << none.err;
}

TEST_F(DialogRun, TheCatalogueListsEveryBoxWithItsFields) {
  const CliResult all = cli({"dialogs"});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_TRUE(has(all.out,
                  "ZoomScaleBox \"Zoom Scale\"\n  dpi: integer \"Scale (dots per inch)\" = 100; at most 9 "
                  "characters\n"))
      << all.out;
  EXPECT_TRUE(has(all.out, "  units: radio \"Units\" = 0; choices 0 \"Inches\", 1 \"Millimetres\"\n")) << all.out;
  EXPECT_TRUE(has(all.out, "SetupOptionsBox \"Setup Options\"\n")) << all.out;
  const CliResult one = cli({"dialogs", "FileNewBox"});
  ASSERT_EQ(one.status, 0);
  EXPECT_EQ(one.out.rfind("FileNewBox \"New File\"\n  kind: radio", 0), 0u) << one.out;
  EXPECT_EQ(one.out.find("ZoomScaleBox"), std::string::npos);
  EXPECT_EQ(cli({"dialogs", "NoSuchBox"}).status, 2);
}

}  // namespace
