// The Pixel Image functions as a user reaches them: function codes, clicks
// and Escape typed through the keystroke macro interpreter.
#include "image/image_functions.h"

#include <gtest/gtest.h>

#include "context.h"
#include "edit/edit_functions.h"
#include "shell/dispatch.h"
#include "shell/file_functions.h"
#include "shell/input.h"
#include "shell/macro.h"
#include "shell/messages.h"
#include "shell/scripted_host.h"

namespace trelmo::testing {
namespace {

class PictureFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    loadMessageTable(ctx);
    installInputHandlers(ctx);
    installEditFunctions(ctx);
    installImageFunctions(ctx);
    ctx.shell.startupPhase = 3;
    ASSERT_TRUE(openFileByName(ctx, dir.example("demo.pcb"), 0));
    ctx.params.zeroX = ctx.params.zeroY = 0;
    // 101 x 101 pixels at 100 dpi over 0..1 inch, value 2 k + r.
    auto img = makeImage(101, 101, 0, 100);
    img->setI32(40, 65536), img->setI32(44, 65536);
    for (uint32_t r = 0; r < 101; ++r)
      for (uint32_t k = 0; k < 101; ++k) img->row(r)[k] = static_cast<uint8_t>(2 * k + r);
    setCurrentImage(ctx, std::move(img));
    ctx.rec(ctx.current).size &= static_cast<uint16_t>(~kFileModified);
    enterTrelmoMode(ctx);
  }
  PixelImage* picture() { return currentImage(ctx); }
  // A click at a typed position: the position, then Enter.
  static std::string click(const char* at) { return std::string(" \"") + at + "\" CR CR "; }
  bool markersOnly() const {
    for (const Ghost& g : ctx.edit.grab.ghosts)
      if (g.item != kNull) return false;
    return true;
  }

  ScriptedHost host;
  Context ctx{host};
  TempDir dir;
};

TEST_F(PictureFunctions, RectifyEscapesDropTheWaitingPointThenAskAboutFourPairs) {
  runMacroText(ctx, "\"S5\"");
  EXPECT_EQ(ctx.shell.stagePrompt, "Image Rectification:  Select first source point.");
  EXPECT_EQ(ctx.edit.grab.ghosts.size(), 4u) << "the reticle";
  runMacroText(ctx, click("0.2,0.2"));
  EXPECT_EQ(ctx.shell.stagePrompt, "Image Rectification:  Select target point.");
  runMacroText(ctx, "Esc");
  EXPECT_EQ(ctx.shell.stagePrompt, "Image Rectification:  Select first source point.");
  EXPECT_EQ(ctx.edit.grab.ghosts.size(), 4u) << "the dropped point's rubber band is gone";

  // A source point outside the picture is refused.
  runMacroText(ctx, click("1.5,0.5"));
  EXPECT_EQ(host.count(Sound::Beep), 1);
  EXPECT_EQ(ctx.shell.stagePrompt, "Image Rectification:  Select first source point.");

  runMacroText(ctx, click("0.1,0.1") + click("0.3,0.2"));
  EXPECT_EQ(ctx.shell.stagePrompt, "Image Rectification:  Select second source point.");
  runMacroText(ctx, click("0.9,0.1") + click("1.1,0.2") + click("0.1,0.9") + click("0.3,1"));
  EXPECT_EQ(ctx.shell.stagePrompt, "Image Rectification:  Select fourth source point.");
  host.answers.push_back(Answer::Ok);
  runMacroText(ctx, "Esc");
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0].title, "Image Ortho-rectification");
  EXPECT_NE(host.questions[0].text.find("you have\nentered only three pair of reference\npoints."), std::string::npos);
  EXPECT_EQ(ctx.shell.stagePrompt, "Image Rectification:  Select fourth source point.");
  EXPECT_TRUE(markersOnly());

  // The fourth pair and Escape: the fit's box, then the rectified picture
  // (every pair moves 0.2 right and 0.1 up).
  const PixelImage* before = picture();
  std::string residuals;
  host.dialog = [&](DialogBox& box) {
    residuals = box.field("bilinear")->value + " / " + box.field("projective")->value;
    return true;
  };
  runMacroText(ctx, click("0.9,0.9") + click("1.1,1") + click("0.5,0.5"));
  EXPECT_EQ(ctx.shell.stagePrompt, "Image Rectification:  Select target point.");
  runMacroText(ctx, "Esc Esc");
  EXPECT_EQ(host.dialogs.back(), "ImageRectifyBox");
  EXPECT_EQ(residuals, "largest 0.0000 in, mean 0.0000 in / largest 0.0000 in, mean 0.0000 in");
  ASSERT_NE(picture(), before);
  EXPECT_EQ(picture()->x0(), 13107);
  EXPECT_EQ(picture()->y0(), 6553) << "0.2 less 0.1 typed: 13107 less 6554 units";
  EXPECT_EQ(picture()->width(), 101u);
  EXPECT_EQ(picture()->row(7)[9], 2 * 9 + 7);
  EXPECT_TRUE(ctx.edit.grab.ghosts.empty());
  EXPECT_TRUE(ctx.shell.stagePrompt.empty());
  EXPECT_FALSE(ctx.shell.acceptHooks[0]);
  EXPECT_TRUE(ctx.rec(ctx.current).size & kFileModified);
  EXPECT_NE(host.status.back().find("Image rectified (bilinear fit): largest residual 0.0000 in"), std::string::npos)
      << host.status.back();
}

TEST_F(PictureFunctions, RectifyQuestionCancelledOrRefusedLeavesThePictureAsItWas) {
  const PixelImage* before = picture();
  const std::vector<uint8_t> bytes = before->block;
  host.answers.push_back(Answer::Cancel);
  runMacroText(ctx, "\"S5\"" + click("0.2,0.2") + click("0.3,0.3") + "Esc");
  EXPECT_TRUE(ctx.shell.stagePrompt.empty());
  EXPECT_TRUE(ctx.edit.grab.ghosts.empty());
  // Four targets on one line: no fit, a message, nothing changed.
  runMacroText(ctx, "\"S5\"" + click("0.1,0.1") + click("0.1,0.1") + click("0.2,0.2") + click("0.2,0.2") +
                        click("0.3,0.3") + click("0.3,0.3") + click("0.4,0.4") + click("0.4,0.4") + "Esc");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].first, "Image Ortho-rectification");
  EXPECT_EQ(picture(), before);
  EXPECT_EQ(picture()->block, bytes);
  EXPECT_FALSE(ctx.rec(ctx.current).size & kFileModified);
}

TEST_F(PictureFunctions, MoveAddsTargetMinusSourceWithMarkersOnTheCursor) {
  const int32_t x0 = picture()->x0(), y1 = picture()->y1();
  runMacroText(ctx, "\"S4\"");
  EXPECT_EQ(ctx.shell.stagePrompt, "Pixel Image:  Select source reference point.");
  EXPECT_EQ(ctx.edit.grab.ghosts.size(), 6u) << "reticle and cross";
  runMacroText(ctx, click("0.5,0.5"));
  EXPECT_EQ(ctx.shell.stagePrompt, "Pixel Image:  Select target reference point.");
  EXPECT_EQ(ctx.edit.grab.ghosts.size(), 9u) << "with the point mark and the rubber band";
  EXPECT_TRUE(markersOnly());
  runMacroText(ctx, click("1.5,0.25"));
  EXPECT_EQ(picture()->x0(), x0 + 65536);
  EXPECT_EQ(picture()->y1(), y1 - 16384);
  EXPECT_TRUE(ctx.edit.grab.ghosts.empty());
  // Escape before the target: nothing moves.
  runMacroText(ctx, "\"S4\"" + click("0.5,0.5") + "Esc");
  EXPECT_EQ(picture()->x0(), x0 + 65536);
  EXPECT_TRUE(ctx.edit.grab.ghosts.empty());
}

TEST_F(PictureFunctions, AnotherFunctionStartedMidwayTakesTheMarkersAwayWithoutAnUndoEvent) {
  const std::string items = "\"S4\"" + click("0.5,0.5");
  runMacroText(ctx, items);
  ASSERT_EQ(ctx.edit.grab.ghosts.size(), 9u);
  // A grab finds nothing at the cursor and drops what was on it: only markers.
  runMacroText(ctx, "\"2.9,2.9\" CR <GL>");
  EXPECT_TRUE(ctx.edit.grab.ghosts.empty());
  EXPECT_EQ(ctx.edit.undo[ctx.current].undo, kNull);
  EXPECT_EQ(picture()->x0(), 0);
}

TEST_F(PictureFunctions, ScaleAlignBeepsOffAxisAndTooFarThenScales) {
  runMacroText(ctx, "\"S>\"" + click("0,0.5") + click("0.6,0.7"));
  EXPECT_EQ(host.count(Sound::Beep), 1) << "7 degrees off the horizontal at most";
  EXPECT_EQ(ctx.shell.stagePrompt, "Pixel Image:  Select source reference point.");
  runMacroText(ctx, click("0.8,0.5") + click("1.3,0.5"));
  EXPECT_EQ(host.count(Sound::Beep), 2) << "the target may move the source by half its distance at most";
  EXPECT_EQ(ctx.shell.stagePrompt, "Pixel Image:  Select target reference point.");
  runMacroText(ctx, click("1,0.5"));
  EXPECT_TRUE(ctx.shell.stagePrompt.empty());
  EXPECT_EQ(picture()->width(), 126u) << "1.25 inches at 100 dpi";
  EXPECT_EQ(picture()->x0(), 0);
  EXPECT_EQ(picture()->kind(), 0u) << "grey stays grey";
}

TEST_F(PictureFunctions, ReleaseAsksSwapTradesSlotsBoxesKeepTheCorner) {
  host.answers = {Answer::No};
  runMacroText(ctx, "\"S2\"");
  ASSERT_NE(picture(), nullptr);
  EXPECT_EQ(host.questions.back().title, "Image Release Warning");
  const uint32_t id = ctx.params.imageCurrent;
  runMacroText(ctx, "\"S3\"");
  EXPECT_EQ(ctx.params.imageAlternate, id);
  EXPECT_EQ(picture(), nullptr);
  runMacroText(ctx, "\"S8\" \"S2\"");  // nothing to mirror or release
  EXPECT_EQ(host.questions.size(), 1u);
  runMacroText(ctx, "\"S3\"");

  const int32_t x0 = picture()->x0(), y0 = picture()->y0();
  host.dialog = [](DialogBox& box) {
    if (box.name == "SetupPixelImageBox") box.field("resolution")->value = "200";
    if (box.name == "PixelGammaBox") box.field("gamma")->value = "2.0";
    return true;
  };
  const std::vector<uint8_t> pixels(picture()->block.begin() + kImageHeaderSize, picture()->block.end());
  runMacroText(ctx, "\"S6\" \"S7\"");
  EXPECT_EQ(picture()->resolution(), 200u);
  EXPECT_EQ(picture()->x0(), x0);
  EXPECT_EQ(picture()->y0(), y0);
  EXPECT_EQ(picture()->x1(), x0 + 32768);
  EXPECT_EQ(picture()->translation()[128], 181);
  EXPECT_EQ(picture()->translation()[255], 255);
  EXPECT_EQ(std::vector<uint8_t>(picture()->block.begin() + kImageHeaderSize, picture()->block.end()), pixels);

  host.answers = {Answer::Yes};
  runMacroText(ctx, "\"S2\"");
  EXPECT_EQ(picture(), nullptr);
  EXPECT_EQ(ctx.params.imageCurrent, 0u);
}

}  // namespace
}  // namespace trelmo::testing
