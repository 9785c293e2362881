#include "shell/settings.h"

#include <gtest/gtest.h>

#include "scripted_host.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/setup_options.h"

namespace trelmo {
namespace {

using testing::ScriptedHost;

TEST(SettingForms, AutosaveTimer) {
  EXPECT_EQ(parseAutosaveTicks("2.5"), 2731);
  EXPECT_EQ(parseAutosaveTicks("2.5 minutes"), 2731);
  EXPECT_EQ(parseAutosaveTicks("1"), 1092);
  for (const char* fourMinutes : {"0", "", "soon", "0.001", "-3"})
    EXPECT_EQ(parseAutosaveTicks(fourMinutes), kDefaultAutosaveTicks) << fourMinutes;
  for (const char* off : {"Off", "off", "No", "never"}) EXPECT_EQ(parseAutosaveTicks(off), 0) << off;
  EXPECT_GT(parseAutosaveTicks("1e300"), 0);  // bounded, not overflowed
  EXPECT_GT(parseAutosaveTicks("99999999999"), 0);
}

TEST(SettingForms, SleepModeTimer) {
  EXPECT_EQ(parseSleepTicks("Yes"), 1092);
  EXPECT_EQ(parseSleepTicks("y"), 1092);
  EXPECT_EQ(parseSleepTicks("2"), 2185);
  for (const char* never : {"Off", "", "0", "No", "-1"}) EXPECT_EQ(parseSleepTicks(never), 0) << never;
}

TEST(SettingForms, FlagsListsAndNumbers) {
  EXPECT_TRUE(readFlag("", true));
  EXPECT_FALSE(readFlag("No", true));
  EXPECT_FALSE(readFlag("Nonsense", false));
  EXPECT_TRUE(readFlag("yes", false));
  EXPECT_FALSE(readFlag("", false));
  EXPECT_EQ(parseMaskIndex(""), 5);
  EXPECT_EQ(parseMaskIndex("x3"), 5);
  EXPECT_EQ(parseMaskIndex("3"), 3);
  EXPECT_EQ(parseCount("12"), 12);
  EXPECT_EQ(parseCount("99999999999999"), INT32_MAX);
  EXPECT_EQ(parseNumbers("1,2 3 -4", 4), (std::vector<int32_t>{1, 2, 3, -4}));
  EXPECT_TRUE(parseNumbers("1,2", 4).empty());
  EXPECT_EQ(splitList("a;;b;c", 2), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(joinList({"a", "b"}), "a;b");
  const std::string longPath(10000, 'x');
  EXPECT_EQ(joinList({"a", longPath, longPath}), "a;" + longPath);
}

TEST(Settings, LoadedThroughTheHostWithDefaults) {
  ScriptedHost host;
  host.settings = {{"Popup Menus", "Yes"},
                   {"Display Logs", "No"},
                   {"Autosave Timer", "2.5"},
                   {"Sleep Mode Timer", "Yes"},
                   {"File Open Box", "1 2 3 4 5 6 7 8 9 10 11"},
                   {"File Re-Open List", "/a.pcb;/b.sch"}};
  Context ctx(host);
  loadSettings(ctx);
  const Preferences& p = ctx.shell.prefs;
  EXPECT_TRUE(p.popupMenus);
  EXPECT_FALSE(p.displayLogs);
  EXPECT_TRUE(p.animatedIcon && p.zoomWithMouse && p.queryRaft && p.soundBlasterTones);
  EXPECT_FALSE(p.undoBeyondSave || p.thickCrossHair || p.animatedBlockPerimeter);
  EXPECT_EQ(p.autosaveTicks, 2731);
  EXPECT_EQ(p.sleepTicks, 1092);
  EXPECT_EQ(p.openMaskIndex, 5);
  EXPECT_EQ(p.fileOpenBox.size(), 11u);
  EXPECT_TRUE(p.editComponentBox.empty());
  EXPECT_EQ(ctx.shell.reopenList, (std::vector<std::string>{"/a.pcb", "/b.sch"}));
  EXPECT_EQ(ctx.shell.blockPhase, 0x80);
}

TEST(SetupOptions, BoxShowsTheStateAndConfirmWritesInOrder) {
  ScriptedHost host;
  host.settings["Autosave Timer"] = "2.5";
  Context ctx(host);
  loadSettings(ctx);
  host.dialog = [](DialogBox& box) {
    EXPECT_EQ(box.name, "SetupOptionsBox");
    EXPECT_EQ(box.title, "Setup Options");
    EXPECT_EQ(box.field("1553")->value, "1");  // autosave on
    EXPECT_EQ(box.field("1555")->value, "0");  // sleep off
    EXPECT_EQ(box.field("1540")->value, "0");  // action items start cleared
    EXPECT_EQ(box.field("1515")->label, "Enable Popup Menus.");
    box.field("1515")->value = "1";
    box.field("1555")->value = "1";
    box.field("1540")->value = "1";
    return true;
  };
  executeFunction(ctx, fc('S', 'O'), kFromKeys);
  EXPECT_EQ(host.settings["Popup Menus"], "Yes");
  EXPECT_EQ(host.settings["Display Logs"], "Yes");
  EXPECT_EQ(host.settings["Sleep Mode Timer"], "1.0 minutes");
  EXPECT_EQ(ctx.shell.prefs.sleepTicks, 1092);
  // An autosave left on keeps the user's own interval.
  EXPECT_EQ(host.settings["Autosave Timer"], "2.5");
  EXPECT_EQ(ctx.shell.prefs.autosaveTicks, 2731);
  // The window reported maximised is stored so; screen 0 deletes its value.
  EXPECT_EQ(host.settings["Window Position"], "Maximized");
  EXPECT_EQ(host.settings.count("Window Screen"), 0u);
}

TEST(SetupOptions, EscapeChangesNothingAndUnhookedActionsBeep) {
  ScriptedHost host;
  Context ctx(host);
  host.dialog = [](DialogBox& box) {
    box.field("1515")->value = "1";
    return false;
  };
  setupOptions(ctx);
  EXPECT_TRUE(host.settings.empty());
  EXPECT_FALSE(ctx.shell.prefs.popupMenus);
  host.dialog = [](DialogBox& box) {
    box.field("1553")->value = "0";
    box.field("1590")->value = "1";
    return true;
  };
  setupOptions(ctx);
  EXPECT_EQ(host.settings["Autosave Timer"], "Off");
  EXPECT_EQ(ctx.shell.prefs.autosaveTicks, 0);
  EXPECT_EQ(host.count(Sound::Beep), 1);  // no macro subsystem yet
}

}  // namespace
}  // namespace trelmo
