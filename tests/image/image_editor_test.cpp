// The image editor: the pixel edits on their own, then QI as a user reaches
// it (the window's box, Enter at the cursor, undo, the picture's storage).
#include "image/image_editor.h"

#include <gtest/gtest.h>

#include "context.h"
#include "database/design_files.h"
#include "edit/edit_functions.h"
#include "files/writer.h"
#include "image/image_functions.h"
#include "shell/dispatch.h"
#include "shell/file_functions.h"
#include "shell/function_codes.h"
#include "shell/heartbeat.h"
#include "shell/input.h"
#include "shell/macro.h"
#include "shell/messages.h"
#include "shell/scripted_host.h"

namespace trelmo::testing {
namespace {

// A grey picture drawn from rows of characters: '.' is 0, '#' is 9.
std::unique_ptr<PixelImage> drawn(const std::vector<std::string>& rows) {
  auto img = makeImage(static_cast<uint32_t>(rows[0].size()), static_cast<uint32_t>(rows.size()), 0, 100);
  for (uint32_t r = 0; r < rows.size(); ++r)
    for (uint32_t c = 0; c < rows[r].size(); ++c) img->row(r)[c] = rows[r][c] == '#' ? 9 : 0;
  return img;
}

std::vector<std::string> picture(const PixelImage& img) {
  std::vector<std::string> rows;
  for (uint32_t r = 0; r < img.height(); ++r) {
    std::string row;
    for (uint32_t c = 0; c < img.width(); ++c)
      row += pixelValue(img, c, r) == 0 ? '.' : pixelValue(img, c, r) == 9 ? '#' : 'o';
    rows.push_back(row);
  }
  return rows;
}

TEST(PixelEdits, FloodFillsTheFourConnectedRegionOnly) {
  const std::vector<std::string> before = {
      "..#...", "..#.#.", "###.#.", "...#..", "#.#...",
  };
  auto img = drawn(before);
  PixelUndo undo;
  // From the corner: the top-left pocket, closed by walls and diagonals.
  EXPECT_EQ(floodPixels(*img, 0, 0, 5, &undo), 4u);
  EXPECT_EQ(picture(*img), (std::vector<std::string>{"oo#...", "oo#.#.", "###.#.", "...#..", "#.#..."}));
  // A region touching the right and bottom edges, joined around the wall at column 4.
  EXPECT_EQ(floodPixels(*img, 5, 4, 5, &undo), 12u);
  EXPECT_EQ(picture(*img), (std::vector<std::string>{"oo#ooo", "oo#o#o", "###o#o", "...#oo", "#.#ooo"}));
  // Filling with the value already there changes nothing.
  EXPECT_EQ(floodPixels(*img, 1, 4, 0, &undo), 0u);
  EXPECT_EQ(undo.count, 16u);
  EXPECT_EQ(undo.col0, 0u);
  EXPECT_EQ(undo.row1, 4u);
  undoPixels(*img, undo);
  EXPECT_EQ(picture(*img), before);
}

// A serpentine corridor through a large picture: a recursive fill would go
// as deep as the corridor is long.
TEST(PixelEdits, FloodRunsThroughALargeSerpentine) {
  constexpr uint32_t kSide = 2001;
  auto img = makeImage(kSide, kSide, 0, 100);
  for (uint32_t r = 1; r < kSide; r += 2) {
    uint8_t* row = img->row(r);
    std::fill(row, row + kSide, 9);
    row[(r / 2) % 2 ? 0 : kSide - 1] = 0;  // the gap alternates ends
  }
  const size_t open = size_t{kSide} * (kSide + 1) / 2 + (kSide / 2);
  PixelUndo undo;
  EXPECT_EQ(floodPixels(*img, 0, 0, 5, &undo), open);
  EXPECT_EQ(pixelValue(*img, kSide - 1, kSide - 1), 5u) << "the far end of the corridor";
  EXPECT_EQ(pixelValue(*img, 5, 1), 9u);
  EXPECT_LE(undo.bytes(), img->pixelBytes() + 8) << "undo holds at most a copy of the picture";
  undoPixels(*img, undo);
  EXPECT_EQ(pixelValue(*img, kSide - 1, kSide - 1), 0u);
  EXPECT_EQ(pixelValue(*img, 0, 0), 0u);
}

TEST(PixelEdits, ChangeAllOnPaletteAndColourPictures) {
  auto grey = drawn({"#.#", ".#.", "##."});
  PixelUndo undo;
  EXPECT_EQ(changeAllPixels(*grey, 9, 3, &undo), 5u);
  EXPECT_EQ(pixelValue(*grey, 0, 2), 3u);
  EXPECT_EQ(pixelValue(*grey, 2, 2), 0u);
  undoPixels(*grey, undo);
  EXPECT_EQ(picture(*grey), (std::vector<std::string>{"#.#", ".#.", "##."}));

  auto colour = makeImage(5, 2, 3, 100);  // stride 8: the padding stays alone
  for (uint32_t c = 0; c < 5; ++c) setPixel(*colour, c, c % 2, 0x123456, nullptr);
  EXPECT_EQ(colour->row(0)[0], 0x56) << "stored blue, green, red";
  EXPECT_EQ(changeAllPixels(*colour, 0x123456, 0xABCDEF, nullptr), 5u);
  EXPECT_EQ(pixelValue(*colour, 4, 0), 0xABCDEFu);
  EXPECT_EQ(pixelValue(*colour, 4, 1), 0u);
  EXPECT_EQ(colour->row(0)[5 * 3], 0) << "padding";
  EXPECT_EQ(floodPixels(*colour, 1, 0, 0x010203, nullptr), 1u) << "zero pixels meeting at corners stay apart";
}

class ImageEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    loadMessageTable(ctx);
    installInputHandlers(ctx);
    installEditFunctions(ctx);
    installImageFunctions(ctx);
    ctx.shell.startupPhase = 3;
    ASSERT_TRUE(openFileByName(ctx, dir.example("demo.pcb"), 0));
    ctx.params.zeroX = ctx.params.zeroY = 0;
    ctx.edit.query.show = [this](Context&, const DialogBox& box) { shown.push_back(box); };
    ctx.edit.query.close = [this](Context&, const std::string& name) { closed.push_back(name); };
    enterTrelmoMode(ctx);
  }
  // 11 x 11 pixels at 10 dpi over 0..1 inch: pixel k is centred on k / 10 inch.
  void addPicture(uint32_t kind) {
    auto img = makeImage(11, 11, kind, 10);
    img->setI32(40, 65536), img->setI32(44, 65536);
    if (kind == 2)
      for (int i = 0; i < 256; ++i) img->setPaletteEntry(i, (uint32_t(i) << 16) | 0x0000FF);
    setCurrentImage(ctx, std::move(img));
    ctx.rec(ctx.current).size &= static_cast<uint16_t>(~kFileModified);
  }
  std::string field(const char* name) {
    DialogBox box = imageEditorBox(ctx);
    return box.field(name) ? box.field(name)->value : "?";
  }
  bool settings(std::initializer_list<std::pair<const char*, const char*>> values) {
    DialogBox box = imageEditorBox(ctx);
    for (const auto& [name, value] : values) box.field(name)->value = value;
    return applyImageEditorBox(ctx, box);
  }
  // A position typed for the cursor, then Enter.
  void clickAt(const char* at) { runMacroText(ctx, std::string(" \"") + at + "\" CR CR "); }

  ScriptedHost host;
  Context ctx{host};
  TempDir dir;
  std::vector<DialogBox> shown;
  std::vector<std::string> closed;
};

TEST_F(ImageEditor, OpensOnlyOverAPictureAndFollowsTheCursor) {
  executeFunction(ctx, fc('Q', 'I'), kFromKeys);
  EXPECT_EQ(host.count(Sound::Beep), 1);
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(imageEditorOpen(ctx));

  addPicture(0);
  executeFunction(ctx, fc('Q', 'I'), kFromKeys);
  ASSERT_TRUE(imageEditorOpen(ctx));
  EXPECT_TRUE(ctx.shell.hooks.boxOpen(ctx, fc('Q', 'I'))) << "the menu item is checked";
  EXPECT_EQ(ctx.shell.stagePrompt, "Select left/right pixel colors.");
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().name, "QueryImageBox");

  runMacroText(ctx, " \"0.3,0.7\" CR ");
  EXPECT_EQ(shown.back().field("pixel")->value, "3, 3") << "refreshed at once";
  const size_t count = shown.size();
  ctx.view.cursorX = 65536 / 2;  // moved by something that tells no one: the heartbeat notices
  heartbeatTick(ctx);
  EXPECT_EQ(shown.size(), count + 1);
  EXPECT_EQ(shown.back().field("pixel")->value, "5, 3");

  executeFunction(ctx, fc('Q', 'I'), kFromKeys);
  EXPECT_FALSE(imageEditorOpen(ctx));
  EXPECT_EQ(closed, std::vector<std::string>{"QueryImageBox"});
  EXPECT_EQ(ctx.shell.currentFunction, 0);
}

TEST_F(ImageEditor, EnterAppliesTheModeAndUndoPutsThePixelsBack) {
  addPicture(0);
  executeFunction(ctx, fc('Q', 'I'), kFromKeys);
  PixelImage& img = *currentImage(ctx);
  img.row(5)[5] = 7;
  ASSERT_TRUE(settings({{"mode", "1"}, {"left", "200"}}));
  EXPECT_EQ(ctx.shell.stagePrompt, "Set individual pixel colors.");
  clickAt("0.2,0.8");
  EXPECT_EQ(pixelValue(img, 2, 2), 200u);
  EXPECT_TRUE(fileModified(ctx.rec(ctx.current)));
  EXPECT_EQ(ctx.shell.stagePrompt, "Set individual pixel colors.") << "painting goes on";

  ASSERT_TRUE(settings({{"mode", "2"}, {"left", "1"}}));
  clickAt("0,0");
  EXPECT_EQ(pixelValue(img, 0, 10), 1u);
  EXPECT_EQ(pixelValue(img, 2, 2), 200u);
  EXPECT_EQ(pixelValue(img, 5, 5), 7u);

  ASSERT_TRUE(settings({{"mode", "0"}}));
  ASSERT_TRUE(applyImageEditor(ctx, 5, 5, true));
  EXPECT_EQ(field("right"), "7") << "picked from the pixel";

  ASSERT_TRUE(settings({{"undo", "1"}}));
  EXPECT_EQ(pixelValue(img, 0, 10), 0u);
  EXPECT_EQ(pixelValue(img, 2, 2), 200u);
  EXPECT_TRUE(undoImageEdit(ctx));
  EXPECT_EQ(pixelValue(img, 2, 2), 0u);
  EXPECT_FALSE(undoImageEdit(ctx));
  EXPECT_GE(host.count(Sound::Beep), 1);

  // Off the picture: refused.
  ASSERT_TRUE(settings({{"mode", "1"}}));
  clickAt("3,3");
  EXPECT_GE(host.count(Sound::Beep), 2);
}

TEST_F(ImageEditor, TwentyFourBitChoiceUsesTheNearestPaletteEntry) {
  addPicture(2);  // entry i shows as (i, 0, 255)
  executeFunction(ctx, fc('Q', 'I'), kFromKeys);
  ASSERT_TRUE(settings({{"mode", "3"}, {"palette", "1"}, {"left", "#4101F0"}}));
  EXPECT_EQ(field("left"), "#4101F0");
  ASSERT_TRUE(applyImageEditor(ctx, 0, 0, false));
  EXPECT_EQ(pixelValue(*currentImage(ctx), 10, 10), 0x41u) << "every 0 pixel changed";
  // Refused values keep the box's settings as they were.
  EXPECT_FALSE(settings({{"left", "256"}}));
  EXPECT_FALSE(settings({{"left", "#12345G"}}));
  EXPECT_EQ(field("left"), "#4101F0");
  EXPECT_EQ(host.boxes.size(), 2u);
}

TEST_F(ImageEditor, AnEditedAttachedPictureIsSavedInsideTheDesign) {
  addPicture(3);
  currentImage(ctx)->setName("\"scan.png\"");
  executeFunction(ctx, fc('Q', 'I'), kFromKeys);
  ASSERT_TRUE(settings({{"mode", "1"}, {"left", "#FF8000"}}));
  ASSERT_TRUE(applyImageEditor(ctx, 4, 6, false));
  EXPECT_FALSE(currentImage(ctx)->linked());
  EXPECT_EQ(currentImage(ctx)->name(), "scan.png");

  const std::string saved = dir.file("saved.pcb");
  ASSERT_TRUE(writeDesignFile(ctx, saved, 'C'));
  closeImageEditor(ctx);
  ScriptedHost again;
  Context other{again};
  loadMessageTable(other);
  ASSERT_TRUE(openFileByName(other, saved, 0));
  const PixelImage* back = currentImage(other);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(pixelValue(*back, 4, 6), 0xFF8000u);
}

TEST_F(ImageEditor, MirroringThePictureForgetsItsEdits) {
  addPicture(0);
  executeFunction(ctx, fc('Q', 'I'), kFromKeys);
  ASSERT_TRUE(settings({{"mode", "1"}, {"left", "3"}}));
  ASSERT_TRUE(applyImageEditor(ctx, 1, 1, false));
  executeFunction(ctx, fc('S', '8'), kFromKeys);
  EXPECT_FALSE(undoImageEdit(ctx));
  EXPECT_EQ(pixelValue(*currentImage(ctx), 9, 1), 3u);
}

}  // namespace
}  // namespace trelmo::testing
