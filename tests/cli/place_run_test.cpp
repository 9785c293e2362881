// Drawing a small board from the empty template through trelmo-cli run: a
// footprint from the standard library, tracks, a via and a text, saved and
// compared with the checked file; undoing everything gives the template back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "cli/cli_runner.h"

namespace fs = std::filesystem;

namespace trelmo::testing {
namespace {

// DIP8 with pin 1 at (2, 2); a track from pin 1 left and up to a via; a
// track on from the via; a text.
constexpr char kDrawing[] =
    "\"2,2\" CR \"PC\" CR "
    "<PL> \"1.5,2\" CR <PL> \"1.5,2.5\" CR <PV> "
    "\"1.5,3\" CR <PL> Esc "
    "\"2.3,2.3\" CR <PL> \"2.3,2.8\" CR <PL> \"1.8,3.3\" CR <PL> Esc "
    "\"2,3.5\" CR <PT> \"HELLO\" CR";

class PlaceRun : public CliFolder {
 protected:
  std::string run(const std::string& macro, const std::string& name) {
    const CliResult r = runCli({"run", "-new-pcb", "--macro", macro, "--dialog", "ComponentLibraryBox.pattern=DIP8",
                                "--dialog", "ComponentLibraryBox.ref=U1", "-o", (dir / name).string()},
                               dir);
    EXPECT_EQ(r.status, 0) << r.err;
    last = r.err;
    return readWhole(dir / name);
  }
  std::string last;
};

TEST_F(PlaceRun, ASmallBoardDrawnFromTheTemplateAndUndoneAgain) {
  const std::string empty = run("", "empty.pcb");
  const std::string drawn = run(kDrawing, "board.pcb");
  const std::string expected = readWhole(fs::path(TRELMO_TEST_DATA) / "place" / "small_board.pcb");
  EXPECT_EQ(drawn, expected) << last;
  EXPECT_EQ(run(std::string(kDrawing) + " <UA>", "undone.pcb"), empty) << last;
}

TEST_F(PlaceRun, ASchematicFromTheSymbolLibraryWithWiresAndAPort) {
  const fs::path out = dir / "sheet.sch";
  const CliResult r =
      runCli({"run", "-new-sch", "--macro",
              "\"2,2\" CR \"PC\" CR \"2.4,2\" CR <PW> \"3,2\" CR <PW> \"3,2.5\" CR <PW> Esc "
              "\"3,2.5\" CR \"PS\" CR \"1,1\" CR <PB> CR",
              "--dialog", "ComponentLibraryBox.pattern=RES", "--dialog", "ComponentLibraryBox.ref=R1", "--dialog",
              "ComponentLibraryBox.value=10K", "--dialog", "PlaceSignalNameBox.name=OUT", "-o", out.string()},
             dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string sheet = readWhole(out);
  // The resistor symbol with its attributes and pins at (2, 2) and (2.4, 2).
  EXPECT_NE(sheet.find("RES\177R1\17710K\177\177RAX400\r\n"), std::string::npos) << sheet;
  EXPECT_NE(sheet.find("3 0 0 2.4 2.0 0 0 0 0 2\r\n"), std::string::npos) << sheet;
  // Two ortho wires on the Signals layer, the port named OUT at their end,
  // and a bus port named after it.
  EXPECT_NE(sheet.find("1 2 .01 2.4 2.0 3.0 2.0\r\n"), std::string::npos) << sheet;
  EXPECT_NE(sheet.find("1 2 .01 3.0 2.0 3.0 2.5\r\n"), std::string::npos) << sheet;
  EXPECT_NE(sheet.find("$$SIG\x7FOUT\r\n"), std::string::npos) << sheet;
  EXPECT_NE(sheet.find("$$BUS\x7FOUT\r\n"), std::string::npos) << sheet;
}

}  // namespace
}  // namespace trelmo::testing
