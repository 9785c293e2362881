#include "input_fixture.h"

namespace trelmo::testing {
namespace {

using Calls = std::vector<std::pair<std::string, int>>;

class InputModes : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    ctx.shell.tickCount = 100;
  }
  void leftClick(int heldTicks) {
    leftButtonDown(ctx, 500, 300);
    ctx.shell.tickCount += heldTicks;
    leftButtonUp(ctx, 500, 300);
  }
  void rightClick() {
    rightButtonDown(ctx, 500, 300);
    rightButtonUp(ctx, 500, 300);
  }
};

TEST_F(InputModes, LetterPairsWithinThePrefixDelayRunTheirFunction) {
  enterTrelmoMode(ctx);
  dispatchKey(ctx, 0x1970);  // p
  ticks(4);
  dispatchKey(ctx, 0x266C);  // l
  EXPECT_EQ(calls, (Calls{{"PL", 2}}));
  EXPECT_TRUE(host.menus.empty());
  EXPECT_EQ(ctx.shell.menuPrefix, 0);

  // A lone prefix opens its menu about five ticks later, out of TRELMO mode;
  // the next letter is a hot key again.
  dispatchKey(ctx, 0x1950);  // P
  ticks(4);
  EXPECT_TRUE(host.menus.empty());
  ticks(1);
  ASSERT_EQ(host.menus.size(), 1u);
  EXPECT_EQ(host.menus[0], std::make_pair('P', '\0'));
  EXPECT_FALSE(ctx.shell.crossHairMode);
  EXPECT_EQ(ctx.shell.menuSuspend, 1);
  dispatchKey(ctx, 0x324D);  // M: Grab Move
  EXPECT_EQ(calls.back(), std::make_pair(std::string("GM"), 0));

  // FR opens the Re-Open submenu instead of running a function.
  dispatchKey(ctx, 0x2166);
  dispatchKey(ctx, 0x1372);
  EXPECT_EQ(host.menus.back(), std::make_pair('F', 'R'));
}

TEST_F(InputModes, SpaceTogglesTheModesAndKeepsTheCursor) {
  enterTrelmoMode(ctx);
  EXPECT_TRUE(host.pointerHidden);
  EXPECT_FALSE(host.menuBar);
  const int32_t x = ctx.view.cursorX, y = ctx.view.cursorY;
  dispatchKey(ctx, kKeySpace);
  EXPECT_FALSE(ctx.shell.crossHairMode);
  EXPECT_TRUE(host.menuBar);
  EXPECT_FALSE(host.pointerHidden);
  mouseMove(ctx, 10, 10);  // ignored while the menu is up
  dispatchKey(ctx, kKeySpace);
  EXPECT_TRUE(ctx.shell.crossHairMode);
  EXPECT_EQ(ctx.view.cursorX, x);
  EXPECT_EQ(ctx.view.cursorY, y);
}

TEST_F(InputModes, EnterAndEscapeFollowTheInteraction) {
  dispatchKey(ctx, kKeyEnter);
  EXPECT_TRUE(ctx.shell.crossHairMode) << "Enter from WINDOWS mode";
  dispatchKey(ctx, kKeyEnter);
  EXPECT_EQ(host.count(Sound::Beep), 1) << "nothing to accept";
  ctx.shell.currentFunction = fc('Q', 'A');
  dispatchKey(ctx, kKeyEnter);
  EXPECT_EQ(calls, (Calls{{"QA", 1}}));
  int cancelled = 0;
  ctx.shell.cancelHooks[1] = [&](Context&) { ++cancelled; };
  dispatchKey(ctx, kKeyEscape);
  EXPECT_EQ(cancelled, 1);
  EXPECT_TRUE(ctx.shell.crossHairMode);
  ctx.shell.cancelHooks[1] = nullptr;
  dispatchKey(ctx, kKeyEscape);
  EXPECT_FALSE(ctx.shell.crossHairMode) << "nothing to cancel: back to the menu bar";
  dispatchKey(ctx, kKeyEscape);
  EXPECT_TRUE(host.showed("Nothing to escape from."));
  dispatchKey(ctx, 0x1E00);  // Alt-A is no hot key
  EXPECT_EQ(host.count(Sound::Beep), 2);
}

TEST_F(InputModes, AHeldLeftPressActsAgainOnRelease) {
  enterTrelmoMode(ctx);
  ctx.shell.currentFunction = fc('Q', 'A');
  leftClick(3);
  EXPECT_EQ(calls.size(), 1u);
  leftClick(kHoldRepeatTicks);
  EXPECT_EQ(calls, (Calls{{"QA", 1}, {"QA", 1}, {"QA", 1}}));
  ctx.shell.currentFunction = 0;
  leftClick(1);
  EXPECT_FALSE(ctx.shell.crossHairMode) << "nothing to do and no popup menus: the menu bar";
}

TEST_F(InputModes, RightClickInWindowsModeZoomsOutOrHasNothingToEscape) {
  const uint32_t scale = ctx.view.viewScale;
  rightClick();
  EXPECT_LT(ctx.view.viewScale, scale);
  EXPECT_FALSE(ctx.shell.crossHairMode);

  ctx.shell.prefs.zoomWithMouse = false;
  const uint32_t out = ctx.view.viewScale;
  rightClick();
  EXPECT_EQ(ctx.view.viewScale, out);
  EXPECT_TRUE(host.showed("Nothing to escape from."));

  // A held press is no click: nothing happens on release.
  ctx.shell.prefs.zoomWithMouse = true;
  rightButtonDown(ctx, 500, 300);
  ctx.shell.dragTicks = kClickTicks;
  rightButtonUp(ctx, 500, 300);
  EXPECT_EQ(ctx.view.viewScale, out);
}

TEST_F(InputModes, LeftClickZoomsInAndADragPansWithoutZooming) {
  const uint32_t scale = ctx.view.viewScale;
  leftClick(2);
  EXPECT_GT(ctx.view.viewScale, scale);
  EXPECT_FALSE(ctx.shell.crossHairMode);

  const uint32_t zoomed = ctx.view.viewScale;
  const int32_t originX = ctx.view.viewOriginX;
  mouseMove(ctx, 500, 300);
  leftButtonDown(ctx, 500, 300);
  mouseMove(ctx, 505, 300);  // within the slack: held back
  EXPECT_EQ(ctx.view.viewOriginX, originX);
  mouseMove(ctx, 540, 300);
  EXPECT_EQ(ctx.view.viewOriginX, originX - 40);
  leftButtonUp(ctx, 540, 300);
  EXPECT_EQ(ctx.view.viewScale, zoomed);
}

TEST_F(InputModes, BothButtonsEnterTrelmoModeAndRightClickLeavesIt) {
  leftButtonDown(ctx, 500, 300);
  rightButtonDown(ctx, 500, 300);
  EXPECT_TRUE(ctx.shell.crossHairMode);
  EXPECT_TRUE(host.pointerHidden);
  leftButtonUp(ctx, 500, 300);
  rightButtonUp(ctx, 500, 300);
  EXPECT_TRUE(ctx.shell.crossHairMode) << "releasing the pair is no escape";

  rightClick();
  EXPECT_FALSE(ctx.shell.crossHairMode);
  EXPECT_TRUE(host.menuBar);
}

TEST_F(InputModes, TrelmoModeStepsTheCursorInsideAndTracksMotion) {
  ctx.view.cursorX = pixelToWorldX(ctx.view, 2);  // at the left edge
  enterTrelmoMode(ctx);
  EXPECT_GE(ctx.view.cursorPixelX, ctx.view.area.left + kCursorMarginX);
  const int32_t x = ctx.view.cursorX;
  const int64_t cx = ctx.input.lastX, cy = ctx.input.lastY;
  mouseMove(ctx, cx + 50, cy);
  EXPECT_NEAR(ctx.view.cursorX - x, pixelLengthToWorld(ctx.view, 50), 65536);
  EXPECT_GT(ctx.view.cursorX, x);
}

TEST_F(InputModes, DialogsSuspendInputAndRestoreTheMode) {
  enterTrelmoMode(ctx);
  suspendForDialog(ctx, true);
  EXPECT_FALSE(ctx.shell.crossHairMode);
  keyDown(ctx, 57);  // Space is ignored while a dialog is up
  EXPECT_EQ(ctx.shell.menuSuspend, 0);
  suspendForDialog(ctx, false);
  EXPECT_TRUE(ctx.shell.crossHairMode);

  activationChanged(ctx, false, 0, 0);
  EXPECT_FALSE(ctx.shell.crossHairMode);
  EXPECT_TRUE(host.menuBar);
  activationChanged(ctx, true, kNumLock, 0);
  keyDown(ctx, 72);
  keyUp(ctx, 72);
  // Num Lock on: keypad 8 is a digit form and moves the cursor by ten.
  EXPECT_EQ(ctx.input.keyFlags, kNumLock);
}

}  // namespace
}  // namespace trelmo::testing
