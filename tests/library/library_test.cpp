// Library listing, search and loading in both library formats, the
// Reference ID rule, and the standard libraries kept in data/LIBRARY.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>

#include "database/chains.h"
#include "edit/edit_fixture.h"
#include "library/library_boxes.h"
#include "library/library_files.h"
#include "library/library_functions.h"
#include "library/library_listing.h"

namespace trelmo::testing {
namespace {

constexpr char kDataLibrary[] =
    "TRELMO Version 4.0 -- Data File.\r\n\r\nPrimary Data File:\r\n"
    "6 ST 0 0 0 .3 .1 7400\x7FU?\r\n"
    "3 0 2 0 0 .065 .065 .035 0 1\r\n"
    "6 ST 0 0 0 .1 .1 NESTED\r\n"
    "1 ST .01 0 0 .1 .1\r\n"
    "0 6 0 0 0\r\n"
    "0 6 0 0 0\r\n"
    "6 ST 0 0 0 .3 .1 7404\177U?\177HEX\352\r\n"
    "3 0 2 0 0 .065 .065 .035 0 1\r\n"
    "3 0 1 .1 0 .065 .065 .035 0 2\r\n"
    "0 6 0 0 0\r\n"
    "6 ST 0 0 0 .3 .1 LM358\r\n"
    "3 0 2 0 0 .065 .065 .035 0 1\r\n"
    "0 6 0 0 0\r\n\r\nEND OF FILE\r\n";

constexpr char kSourceLibrary[] =
    "TRELMO VERSION 2.1 -- SOURCE LIBRARY FILE\r\n"
    "Old parts\r\n"
    "\r\n"
    "$74LS00,U?,NAND\r\n"
    "3,0,2,0,0,.06,.06,.03,0,1\r\n"
    "3,0,1,.1,0,.06,.06,.03,0,2\r\n"
    "1,ST,.01,0,0,.1,0\r\n"
    "\r\n"
    "$RES,R?\r\n"
    "3,0,1,0,0,.06,.06,.03,0,1\r\n";

struct LibraryBoard : EditBoard {
  LibraryBoard() : EditBoard("demo.pcb") {
    ctx.shell.prefs.libraryPath = dir.file("");
    write("parts.lib", kDataLibrary);
    write("old.lib", kSourceLibrary);
    write("bad.lib", "just some text\r\n");
    setLibraries({"parts.lib", "old.lib"});
  }
  void write(const std::string& name, const std::string& text) {
    std::ofstream(dir.file(name), std::ios::binary) << text;
  }
  void setLibraries(const std::vector<std::string>& names) {
    for (int i = 0; i < kLibraries; ++i) {
      std::memset(ctx.params.libraries[i], 0, kLibraryNameMax + 1);
      if (static_cast<size_t>(i) < names.size()) std::strcpy(ctx.params.libraries[i], names[i].c_str());
    }
  }
  std::vector<std::string> texts(const std::vector<LibraryLine>& lines) {
    std::vector<std::string> out;
    for (const LibraryLine& l : lines) out.push_back(l.text);
    return out;
  }
  Handle loadedHeader() { return ctx.rec(ctx.library.loaded).next; }
  int padsOfLoaded() {
    const Handle ring = ctx.rec(loadedHeader()).ext;
    int n = 0;
    for (Handle h = ctx.rec(ring).next; h != ring; h = ctx.rec(h).next) n += ctx.rec(h).type() == kPad;
    return n;
  }
};

TEST(LibraryFiles, HeadersPatternsAndNames) {
  char version = 0;
  EXPECT_EQ(libraryFormat("TRELMO Version 4.0 -- Data File.", &version), LibraryFormat::kDataFile);
  EXPECT_EQ(version, '4');
  EXPECT_EQ(libraryFormat("TRELMO VERSION 2.1 -- SOURCE LIBRARY FILE"), LibraryFormat::kSourceLibrary);
  EXPECT_EQ(libraryFormat("TRELMO Version 3.0 -- Data File."), LibraryFormat::kUnknown);
  EXPECT_TRUE(wildcardMatch("74*", "7404"));
  EXPECT_TRUE(wildcardMatch("*NPN*", "Q1 2n3904 npn"));
  EXPECT_TRUE(wildcardMatch("DIP?", "dip8"));
  EXPECT_FALSE(wildcardMatch("DIP?", "DIP14"));
  EXPECT_FALSE(wildcardMatch("74*", "LM74"));
  Params p{};
  std::strcpy(p.libraries[3], "foot.lib/");
  EXPECT_EQ(libraryName(p, 3).file, "foot.lib");
  EXPECT_TRUE(libraryName(p, 3).patterns);
  EXPECT_TRUE(libraryName(p, 4).empty());
  Context ctx;
  ctx.paths.resources = "/opt/trelmo";
  EXPECT_EQ(libraryFolder(ctx), "/opt/trelmo/LIBRARY/");
  ctx.shell.prefs.libraryPath = " ";
  EXPECT_EQ(libraryFolder(ctx), "/opt/trelmo/LIBRARY/");
  ctx.shell.prefs.libraryPath = "/home/me/libs";
  EXPECT_EQ(libraryFolder(ctx), "/home/me/libs/");
}

TEST(LibraryFiles, ReferenceIdRule) {
  EXPECT_TRUE(validReferenceId("R-12"));
  EXPECT_TRUE(validReferenceId("U?"));
  EXPECT_FALSE(validReferenceId("R 1"));
  EXPECT_FALSE(validReferenceId("R\t1"));
  EXPECT_FALSE(validReferenceId("R\xB5"));
}

TEST(LibraryListing, BothFormatsListTheirTopLevelComponents) {
  LibraryBoard b;
  std::vector<LibraryLine> lines;
  EXPECT_EQ(listLibrary(b.ctx, 0, {}, lines), ListStatus::kListed);
  EXPECT_EQ(b.texts(lines),
            (std::vector<std::string>{" *** parts.lib", " ", "7400\tU?", "7404\tU?\tHEXohms", "LM358"}));
  EXPECT_EQ(entryLibrary(lines[2].ref), 1);
  lines.clear();
  EXPECT_EQ(listLibrary(b.ctx, 1, {}, lines), ListStatus::kListed);
  EXPECT_EQ(b.texts(lines), (std::vector<std::string>{" *** old.lib", " ", "74LS00\tU?\tNAND", "RES\tR?"}));
  // Loading an old entry converts it into a component.
  ASSERT_TRUE(loadLibraryEntry(b.ctx, lines[2].ref));
  EXPECT_EQ(b.padsOfLoaded(), 2);
  EXPECT_EQ(b.ctx.library.fields[0], "74LS00");
  EXPECT_EQ(b.ctx.library.fields[2], "NAND");
  // The current file lists its components.
  lines.clear();
  listLibrary(b.ctx, kCurrentFileLibrary, {}, lines);
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, " *** <CURRENT FILE>");
}

TEST(LibraryListing, SearchesByPatternLibraryByLibrary) {
  LibraryBoard b;
  b.setLibraries({"parts.lib", "old.lib", "missing.lib"});
  const std::vector<LibraryLine> found = searchLibraries(b.ctx, "74*", false);
  EXPECT_EQ(b.texts(found), (std::vector<std::string>{" *** parts.lib", " ", "7400\tU?", "7404\tU?\tHEXohms",
                                                      " *** old.lib", " ", "74LS00\tU?\tNAND"}));
  // The missing library says so and the others are still listed.
  ASSERT_EQ(b.host.boxes.size(), 1u);
  EXPECT_EQ(b.host.boxes[0].first, "Library file not found");
  EXPECT_NE(b.host.boxes[0].second.find("missing.lib\" cannot be located."), std::string::npos);
  // An exact name loads that component.
  ASSERT_TRUE(loadComponentByName(b.ctx, "7404", false));
  EXPECT_EQ(b.padsOfLoaded(), 2);
  EXPECT_EQ(b.ctx.library.fields[1], "U?");
  EXPECT_FALSE(loadComponentByName(b.ctx, "74", false));
}

TEST(LibraryListing, PatternLibrariesAreSearchedOnlyForFootprints) {
  LibraryBoard b;
  b.setLibraries({"old.lib", "parts.lib/"});
  EXPECT_EQ(b.texts(searchLibraries(b.ctx, "LM*", false)).size(), 0u);
  const std::vector<LibraryLine> found = searchLibraries(b.ctx, "LM*", true);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].text, " *** parts.lib");
  EXPECT_TRUE(found[2].ref & kFootprintEntry);
  EXPECT_TRUE(loadLibraryEntry(b.ctx, found[2].ref & ~kFootprintEntry));
}

TEST(LibraryListing, ForeignFilesAreRefused) {
  LibraryBoard b;
  b.setLibraries({"bad.lib"});
  std::vector<LibraryLine> lines;
  EXPECT_EQ(listLibrary(b.ctx, 0, {}, lines), ListStatus::kWrongFormat);
  EXPECT_TRUE(lines.empty());
  ASSERT_EQ(b.host.boxes.size(), 1u);
  EXPECT_EQ(b.host.boxes[0].first, "Library file error");
  // A reference past the end or into the middle of a line loads nothing.
  b.setLibraries({"parts.lib"});
  EXPECT_FALSE(loadLibraryEntry(b.ctx, (1u << 24) | 5));
  EXPECT_FALSE(loadLibraryEntry(b.ctx, (1u << 24) | 0xFFFFFF));
}

TEST(PlaceComponent, TheBoxLoadsByNameAndRefusesABadReferenceId) {
  LibraryBoard b;
  const std::string before = b.items();
  b.cursor(1, 1);
  int runs = 0;
  b.host.dialog = [&](DialogBox& box) {
    if (box.name != "ComponentLibraryBox") return true;
    ++runs;
    box.field("pattern")->value = "7404";
    box.field("ref")->value = runs == 1 ? "U 7" : "U7";
    return true;
  };
  b.run('P', 'C', kFromKeys);
  EXPECT_EQ(runs, 2);
  ASSERT_EQ(b.host.boxes.size(), 1u);
  EXPECT_EQ(b.host.boxes[0].first, "Invalid Reference ID");
  ASSERT_TRUE(isGrabbed(b.ctx));
  b.cursor(2, 1);
  b.run('P', 'C', kFromRepeat);  // the click drops it
  EXPECT_FALSE(isGrabbed(b.ctx));
  const std::string saved = b.items();
  EXPECT_NE(saved.find("7404\x7FU7\x7FHEX\xEA"), std::string::npos);
  EXPECT_NE(saved.find("3 0 1 2.1 1.0 "), std::string::npos) << "pin 2 beside the cursor";
  EXPECT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(b.items(), before);
}

// --------------------------------------------------------- standard library

std::string readAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

TEST(StandardLibrary, TheCheckedInFilesAreWhatTheGeneratorWrites) {
  TempDir out;
  const std::string command = std::string(TRELMO_MAKE_LIBRARY) + " " + out.file("");
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : {"footprints.lib", "symbols.lib"})
    EXPECT_EQ(readAll(out.file(name)), readAll(std::string(TRELMO_DATA_DIR) + "/LIBRARY/" + name))
        << name << ": run `cmake --build build/main --target standard-library`";
}

struct Pad {
  int32_t x, y;
  uint16_t xs, ys, hole;
  uint8_t type, layer;
};

struct StandardBoard : EditBoard {
  StandardBoard() : EditBoard("") {
    ctx.paths.resources = TRELMO_DATA_DIR;
    openFileByName(ctx, std::string(TRELMO_DATA_DIR) + "/TEMPLATE/Size_A.pcb", 0);
  }
  // The pads of a footprint by pin number.
  std::map<int, Pad> pads(const std::string& name) {
    std::map<int, Pad> out;
    if (!loadComponentByName(ctx, name, false)) return out;
    const Handle ring = ctx.rec(ctx.rec(ctx.library.loaded).next).ext;
    for (Handle h = ctx.rec(ring).next; h != ring; h = ctx.rec(h).next) {
      const Record& r = ctx.rec(h);
      if (r.type() != kPad) continue;
      out[std::atoi(pinName(ctx, h).c_str())] = {
          r.x1, r.y1, item::padX(r), item::padY(r), item::padHole(r), item::padType(r), r.layer};
    }
    return out;
  }
};

double inchesBetween(const Pad& a, const Pad& b) { return std::hypot(a.x - b.x, a.y - b.y) / 65536.0; }

TEST(StandardLibrary, FootprintsHaveTheirPinsAtTheirPitch) {
  StandardBoard b;
  const double unit = 3.0 / 65536;  // five decimals in the file, then the database unit
  struct Row {
    const char* name;
    int pins;
    double pitch, rows;  // pin 1 to 2, and pin 1 to the last pin
  };
  for (const Row& r : {Row{"DIP8", 8, 0.1, 0.3}, Row{"DIP14", 14, 0.1, 0.3}, Row{"DIP40", 40, 0.1, 0.6},
                       Row{"SOIC8", 8, 0.05, 5.4 / 25.4}, Row{"SOIC28", 28, 0.05, 9.4 / 25.4},
                       Row{"HDR1X8", 8, 0.1, 0.7}, Row{"HDR2X5", 10, 0.1, std::hypot(0.4, 0.1)},
                       Row{"RAX400", 2, 0.4, 0.4}, Row{"C0805", 2, 2.0 / 25.4, 2.0 / 25.4}, Row{"TO220", 3, 0.1, 0.2},
                       Row{"TERM3", 3, 0.2, 0.4}, Row{"SOT223", 4, 2.3 / 25.4, std::hypot(2.3, 6.3) / 25.4}}) {
    const std::map<int, Pad> p = b.pads(r.name);
    ASSERT_EQ(p.size(), static_cast<size_t>(r.pins)) << r.name;
    EXPECT_NEAR(inchesBetween(p.at(1), p.at(2)), r.pitch, unit) << r.name;
    EXPECT_NEAR(inchesBetween(p.at(1), p.at(r.pins)), r.rows, unit) << r.name;
    EXPECT_EQ(p.at(1).x, 0) << r.name << ": pin 1 on the origin";
  }
  // A DIP's rows: every pin of the first half one pitch from the next.
  const std::map<int, Pad> dip = b.pads("DIP28");
  for (int i = 1; i < 14; ++i) EXPECT_NEAR(inchesBetween(dip.at(i), dip.at(i + 1)), 0.1, unit) << i;
  EXPECT_NEAR(inchesBetween(dip.at(14), dip.at(15)), 0.6, unit);
}

TEST(StandardLibrary, PadsFollowTheSizeRule) {
  StandardBoard b;
  std::vector<LibraryLine> lines;
  listLibrary(b.ctx, 0, {}, lines);
  ASSERT_GT(lines.size(), 60u);
  int parts = 0;
  for (const LibraryLine& line : lines) {
    if (!line.ref) continue;
    ++parts;
    ASSERT_TRUE(loadLibraryEntry(b.ctx, line.ref)) << line.text;
    const std::string name = b.ctx.library.fields[0];
    const bool mounting = name.rfind("MTG", 0) == 0;
    const Handle ring = b.ctx.rec(b.ctx.rec(b.ctx.library.loaded).next).ext;
    for (Handle h = b.ctx.rec(ring).next; h != ring; h = b.ctx.rec(h).next) {
      const Record& r = b.ctx.rec(h);
      if (r.type() != kPad) continue;
      if (item::padType(r) & item::kSurfaceMount) {
        EXPECT_EQ(item::padHole(r), 0) << name;
        EXPECT_EQ(b.ctx.layer(r.layer).kind(), kCopper) << name;
        continue;
      }
      const double hole = item::padHole(r) / 65536.0, size = item::padX(r) / 65536.0;
      const double want = mounting ? hole + 0.1 : std::max(0.065, hole + 0.03);
      EXPECT_NEAR(size, want, 2.0 / 65536) << name;
      EXPECT_EQ(item::padX(r), item::padY(r)) << name;
      EXPECT_EQ(item::padType(r), pinName(b.ctx, h) == "1" && !mounting ? item::kRectThru : item::kOvalThru) << name;
    }
  }
  EXPECT_GT(parts, 60);
}

TEST(StandardLibrary, SymbolsCarryTheirFootprintAndPins) {
  StandardBoard b;
  std::strcpy(b.ctx.params.libraries[1], "symbols.lib");
  for (const char* name : {"RES", "CAPPOL", "NPN", "NMOS", "OPAMP", "NE555", "7400", "REG78XX", "CONN4", "GND"}) {
    ASSERT_TRUE(loadComponentByName(b.ctx, name, false)) << name;
    const Handle ring = b.ctx.rec(b.ctx.rec(b.ctx.library.loaded).next).ext;
    int pins = 0;
    for (Handle h = b.ctx.rec(ring).next; h != ring; h = b.ctx.rec(h).next)
      pins += b.ctx.rec(h).type() == kPad && item::padType(b.ctx.rec(h)) == item::kSchematicPin;
    EXPECT_GT(pins, 0) << name;
  }
  ASSERT_TRUE(loadComponentByName(b.ctx, "NE555", false));
  EXPECT_EQ(b.ctx.library.fields[4], "DIP8");
  EXPECT_EQ(b.pads("DIP8").size(), 8u);
}

}  // namespace
}  // namespace trelmo::testing
