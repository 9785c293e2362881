// The image editor in batch: a picture attached to the example board, QI
// opened with its mode and colour given as box settings, Enter at a typed
// cursor position, and the saved design read back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "cli/cli_runner.h"
#include "context.h"
#include "image/image_editor.h"
#include "image/image_functions.h"
#include "image/png_file.h"
#include "shell/file_functions.h"
#include "shell/messages.h"

namespace fs = std::filesystem;

namespace trelmo::testing {
namespace {

TEST(ImageEditorRun, FloodFromAMacroIsKeptWhenTheDesignIsSaved) {
  const fs::path dir = fs::temp_directory_path() / ("trelmo-image-editor-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::copy_file(fs::path(TRELMO_EXAMPLES_DIR) / "demo.pcb", dir / "board.pcb", fs::copy_options::overwrite_existing);
  // 30 x 20 pixels at 100 dpi from (0, 0); a wall of 9s down column 10.
  auto scan = makeImage(30, 20, 0, 100);
  for (uint32_t r = 0; r < 20; ++r) scan->row(r)[10] = 9;
  std::string why;
  ASSERT_TRUE(savePng(*scan, (dir / "scan.png").string(), why)) << why;

  const CliResult r =
      runCli({"run", "board.pcb", "--file", "scan.png", "--macro", "\"S=\" <QI> \"0.02,0.05\" CR CR", "--dialog",
              "QueryImageBox.mode=2", "--dialog", "QueryImageBox.left=200", "-o", "out.pcb"},
             dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("window: QueryImageBox: mode=2; palette=0; left=200;"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("message: The edited image is kept inside the design file"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("unused:"), std::string::npos) << r.err;

  Context ctx;
  loadMessageTable(ctx);
  ASSERT_TRUE(openFileByName(ctx, (dir / "out.pcb").string(), 0));
  const PixelImage* img = currentImage(ctx);
  ASSERT_NE(img, nullptr);
  EXPECT_FALSE(img->linked());
  for (uint32_t row : {0u, 14u, 19u}) {
    EXPECT_EQ(pixelValue(*img, 0, row), 200u);
    EXPECT_EQ(pixelValue(*img, 9, row), 200u);
    EXPECT_EQ(pixelValue(*img, 10, row), 9u) << "the wall stops the flood";
    EXPECT_EQ(pixelValue(*img, 11, row), 0u);
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace trelmo::testing
