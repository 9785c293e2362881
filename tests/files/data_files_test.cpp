// Every design file shipped under data/ reads back with the values it was
// written for: the sheet's limits, its snap step and its kind of layer table.
#include <filesystem>
#include <fstream>

#include "files/reader_fixture.h"

namespace trelmo::test {
namespace {

using ShippedFiles = ReaderTest;

struct Sheet {
  char letter;
  double width, height;  // inches
};
constexpr Sheet kSheets[] = {{'A', 11, 8.5}, {'B', 17, 11}, {'C', 22, 17}, {'D', 34, 22}};

bool isDesignFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  char head[16] = {};
  in.read(head, sizeof head);
  return std::string_view(head, sizeof head) == "TRELMO Version 4";
}

TEST_F(ShippedFiles, TemplatesReadBackWithTheirSheetSnapAndLayers) {
  const std::filesystem::path data = ctx.paths.resources;
  int checked = 0, libraries = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(data)) {
    if (!entry.is_regular_file() || !isDesignFile(entry.path())) continue;
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    if (entry.path().parent_path().filename() == "LIBRARY") {
      // The standard libraries (their contents are the library tests'
      // business) open as data files too.
      Context fresh(host);
      newDesignFile(fresh, "unnamed.lib");
      EXPECT_EQ(readFile(fresh, entry.path().string(), kHintNone), kFormatV4);
      ++libraries;
      continue;
    }
    ASSERT_EQ(name.rfind("Size_", 0), 0u) << "a design file under data/ that this test does not know";
    const char letter = name[5];
    const std::string extension = entry.path().extension().string();
    Context fresh(host);
    newDesignFile(fresh, "unnamed" + extension);
    ASSERT_EQ(readFile(fresh, entry.path().string(), kHintNone), kFormatV4);
    const Params& p = fresh.params;
    const Sheet* sheet = nullptr;
    for (const Sheet& s : kSheets)
      if (s.letter == letter) sheet = &s;
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(p.limits[0], 0);
    EXPECT_EQ(p.limits[1], 0);
    EXPECT_EQ(p.limits[2], static_cast<int32_t>(sheet->width * kInch));
    EXPECT_EQ(p.limits[3], static_cast<int32_t>(sheet->height * kInch));
    const bool board = extension == ".pcb", schematic = extension == ".sch";
    EXPECT_EQ(p.units, board ? 3 : 1);  // the decimals of the snap step written
    // 0.025 or 0.1 inch as a 0.32 fraction.
    EXPECT_EQ(p.snapStep, board ? 0x06666666u : 0x1999999Au) << std::hex << p.snapStep;
    EXPECT_EQ(p.isSchematic(), schematic);
    EXPECT_EQ(p.layers[255].kind(), kDrawing);
    EXPECT_STREQ(p.layers[255].name, "Ratnest");
    if (board) {
      EXPECT_EQ(p.layers[3].kind(), kCopper);
      EXPECT_EQ(p.layers[12].kind(), kCopper);
      EXPECT_TRUE(p.layers[12].type & kBottomSide);
      EXPECT_EQ(p.layers[1].kind(), kSilk);
    } else if (!schematic) {
      for (int n : {0, 1, 2}) EXPECT_EQ(p.layers[n].kind(), kDrawing);
    }
    ++checked;
  }
  EXPECT_EQ(checked, 12);
  EXPECT_EQ(libraries, 2);
}

}  // namespace
}  // namespace trelmo::test
