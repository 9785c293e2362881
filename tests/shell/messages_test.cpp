#include "shell/messages.h"

#include <gtest/gtest.h>

#include "scripted_host.h"
#include "shell/function_codes.h"
#include "shell/heartbeat.h"

namespace trelmo {
namespace {

using testing::ScriptedHost;

struct Running {
  ScriptedHost host;
  Context ctx{host};
  Running() {
    loadMessageTable(ctx);
    ctx.shell.startupPhase = 3;
  }
  // Ticks until the status bar was restored; -1 when not within `limit`.
  int ticksUntilRestored(int limit) {
    const size_t before = host.status.size();
    for (int t = 1; t <= limit; ++t) {
      heartbeatTick(ctx);
      if (host.status.size() > before && host.status.back().empty()) return t;
    }
    return -1;
  }
};

TEST(MessageFile, LinesSortedIntoTheTwoListsUntilTheClosingLine) {
  const MessageTable t = parseMessageFile(
      "; comment\r\n1.2C* Nothing to escape from.\nM.F.  File functions.\r.\r\n"
      "W.PL  Enter parameters.\r\n\tEnd of file.\r\n1.30  After the end.\r\nM.XX  After.\r\n");
  ASSERT_EQ(t.numbered.size(), 1u);
  EXPECT_EQ(t.numbered[0], "1.2C* Nothing to escape from.");
  ASSERT_EQ(t.help.size(), 2u);
  EXPECT_EQ(helpLine(t, "W.PL"), "Enter parameters.");
  EXPECT_EQ(helpLine(t, "M.XX"), "");
}

TEST(MessageFile, KeysAreTheNumberInHex) {
  EXPECT_EQ(messageKey(0x12C), "1.2C");
  EXPECT_EQ(messageKey(0x810), "8.10");
}

TEST(ShowMessage, AlertMessageTimesOutAfterAboutFiveSeconds) {
  Running r;
  showMessage(r.ctx, 300);
  EXPECT_EQ(r.host.status.back(), "Nothing to escape from.");
  EXPECT_EQ(r.host.count(Sound::Beop), 1);
  const int ticks = r.ticksUntilRestored(200);
  EXPECT_GT(ticks, 4 * 18);
  EXPECT_LE(ticks, 5 * 18);
}

TEST(ShowMessage, StayingMessageHasNoSoundAndNoTimeout) {
  Running r;
  showMessage(r.ctx, 0x821);
  EXPECT_EQ(r.host.status.back(), "<Select zero reference point>");
  EXPECT_TRUE(r.host.sounds.empty());
  EXPECT_EQ(r.ticksUntilRestored(400), -1);
  showMessage(r.ctx, 0x901);  // alert and stays
  EXPECT_EQ(r.host.count(Sound::Beop), 1);
  EXPECT_EQ(r.ctx.shell.messageSeconds, 0);
}

TEST(ShowMessage, UndefinedNumbersAndTheMinimisedWindow) {
  Running r;
  showMessage(r.ctx, 0x1FF);
  EXPECT_EQ(r.host.status.back(), " Undefined message: 1.FF");
  EXPECT_EQ(r.host.count(Sound::Beop), 1);
  showMessage(r.ctx, 0x7111);  // only the low digit of the high byte counts
  EXPECT_EQ(r.host.status.back(), "Position the cursor for line placement.");
  r.ctx.shell.minimised = true;
  const size_t shown = r.host.status.size();
  showMessage(r.ctx, 0x111);
  EXPECT_EQ(r.host.status.size(), shown);
}

TEST(ShowMessage, MenuHelpLinesStayTenSeconds) {
  Running r;
  showMenuHelp(r.ctx, MenuPlace::MenuBarPopup, 11, 0);
  EXPECT_EQ(r.host.status.back(), "Help functions aid and assist you while you work.");
  showMenuHelp(r.ctx, MenuPlace::PopupSubmenu, 4, 0);
  EXPECT_EQ(r.host.status.back(), "Un-Do functions recover from simple mistakes.");
  showMenuHelp(r.ctx, MenuPlace::Item, 0, fc('F', 'R'));
  EXPECT_EQ(r.host.status.back(), "Re-Open a recently opened file.");
  showDialogHelp(r.ctx, fc('P', 'L'));
  EXPECT_EQ(r.host.status.back(), "Enter parameters for new line placement.");
  const int ticks = r.ticksUntilRestored(400);
  EXPECT_GT(ticks, 9 * 18);
  EXPECT_LE(ticks, 10 * 18);
  // An item without a help line leaves the status bar alone.
  const size_t shown = r.host.status.size();
  showMenuHelp(r.ctx, MenuPlace::Item, 0, fc('F', '3'));
  EXPECT_EQ(r.host.status.size(), shown);
}

}  // namespace
}  // namespace trelmo
