#include "shell/heartbeat.h"

#include <gtest/gtest.h>

#include "database/design_files.h"
#include "scripted_host.h"
#include "shell/command_line.h"

namespace trelmo {
namespace {

using testing::ScriptedHost;

TEST(Heartbeat, StartupOpensQueuedFilesOnePerTickThenLoadsSettings) {
  ScriptedHost host;
  host.settings["File Re-Open List"] = "/elsewhere/old.pcb";
  host.settings["Popup Menus"] = "Yes";
  Context ctx(host);
  testing::TempDir dir;
  const std::string board = dir.example("demo.pcb"), sheet = dir.example("demo.sch");
  queueCommandLine(ctx, parseCommandLine("-s1 " + board + " " + dir.file("missing.pcb") + " " + sheet));
  EXPECT_EQ(ctx.shell.screenIndex, 1);
  heartbeatTick(ctx);
  EXPECT_EQ(ctx.shell.startupPhase, 1);
  EXPECT_EQ(host.events, (std::vector<std::string>{"Open"}));
  EXPECT_EQ(openFileCount(ctx), 0);
  heartbeatTick(ctx);
  EXPECT_EQ(openFileCount(ctx), 1);
  heartbeatTick(ctx);  // the missing file beeps and the next one opens in the same tick
  EXPECT_EQ(openFileCount(ctx), 2);
  EXPECT_EQ(host.count(Sound::Beep), 1);
  EXPECT_EQ(ctx.shell.tickCount, 0);  // ticks that opened a file stop early
  while (ctx.shell.startupPhase == 1) heartbeatTick(ctx);
  EXPECT_EQ(ctx.shell.tickCount, 19);
  EXPECT_TRUE(ctx.shell.prefs.popupMenus);
  EXPECT_FALSE(ctx.shell.messages.numbered.empty());
  // The stored list survived the files opened before it was read.
  EXPECT_EQ(ctx.shell.reopenList, (std::vector<std::string>{sheet, board, "/elsewhere/old.pcb"}));
  heartbeatTick(ctx);
  EXPECT_EQ(ctx.shell.startupPhase, 3);
  EXPECT_EQ(host.title, sheet);
}

struct Awake {
  ScriptedHost host;
  Context ctx{host};
  int sleepCalls = 0;
  Awake() {
    ctx.shell.startupPhase = 3;
    ctx.shell.hooks.sleepChanged = [this](Context&) { ++sleepCalls; };
  }
  void ticks(int n) {
    for (int i = 0; i < n; ++i) heartbeatTick(ctx);
  }
};

TEST(Heartbeat, BackgroundForTwelveTicksSleepsAndInputWakes) {
  Awake a;
  a.ticks(100);
  EXPECT_FALSE(a.ctx.shell.asleep);  // in front, no limit: never
  a.ctx.shell.foreground = false;
  a.ticks(11);
  EXPECT_FALSE(a.ctx.shell.asleep);
  a.ticks(1);
  EXPECT_TRUE(a.ctx.shell.asleep);
  EXPECT_EQ(a.sleepCalls, 1);
  a.ctx.shell.foreground = true;
  noteUserInput(a.ctx);
  EXPECT_FALSE(a.ctx.shell.asleep);
  EXPECT_EQ(a.sleepCalls, 2);
  a.ctx.shell.foreground = false;
  a.ctx.shell.minimised = true;
  a.ticks(50);
  EXPECT_FALSE(a.ctx.shell.asleep);
}

TEST(Heartbeat, IdleLimitSleepsInFront) {
  Awake a;
  a.ctx.shell.prefs.sleepTicks = 20;
  noteUserInput(a.ctx);
  a.ticks(21);
  EXPECT_FALSE(a.ctx.shell.asleep);
  a.ticks(1);
  EXPECT_TRUE(a.ctx.shell.asleep);
}

TEST(Heartbeat, PendingMenuPrefixOpensItsMenuAtTheNextSecond) {
  Awake a;
  char opened = 0;
  a.ctx.shell.hooks.openMenu = [&](Context&, char letter) { opened = letter; };
  a.ticks(3);
  a.ctx.shell.menuPrefix = 'P';
  a.ctx.shell.secondDivider = 13;  // as a typed prefix sets it
  a.ticks(4);
  EXPECT_EQ(opened, 0);
  a.ticks(1);
  EXPECT_EQ(opened, 'P');
  EXPECT_EQ(a.ctx.shell.menuPrefix, 0);
}

TEST(Heartbeat, MacroDelayQueryRefreshAndBlockPerimeter) {
  Awake a;
  int resumed = 0, refreshed = 0, perimeter = 0;
  a.ctx.shell.hooks.resumeMacro = [&](Context&) { ++resumed; };
  a.ctx.shell.hooks.refreshQueryBoxes = [&](Context&) { ++refreshed; };
  a.ctx.shell.hooks.blockPerimeter = [&](Context&) { ++perimeter; };
  a.ctx.shell.macroRunning = true;
  a.ctx.shell.macroDelayTicks = 3;
  a.ctx.shell.queryRefreshSeconds = 2;
  a.ticks(2);
  EXPECT_EQ(resumed, 0);
  EXPECT_EQ(refreshed, 1);
  a.ticks(1);
  EXPECT_EQ(resumed, 1);
  EXPECT_EQ(perimeter, 0);  // animation off
  a.ctx.shell.blockPhase = 0;
  a.ticks(4);
  EXPECT_EQ(perimeter, 4);
  EXPECT_EQ(a.ctx.shell.blockPhase, 0);  // 4 steps of 4, modulo 16
}

}  // namespace
}  // namespace trelmo
