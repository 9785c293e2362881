#include <gtest/gtest.h>

#include <algorithm>

#include "database/design_files.h"
#include "database/rings.h"
#include "resources/menus.h"
#include "scripted_host.h"
#include "shell/dispatch.h"
#include "shell/file_functions.h"
#include "shell/menu_state.h"

namespace trelmo {
namespace {

using testing::ScriptedHost;

// Unknown families and members, and the File members waiting for their
// subsystems (FG, FP, FB), give the Beop and nothing else.
TEST(Dispatch, UnknownFamiliesAndMembersGiveOnlyBeop) {
  ScriptedHost host;
  Context ctx(host);
  const uint16_t codes[] = {fc('X', 'X'), fc('a', 'b'), uint16_t{0},  fc('M', 'S'), fc('F', 'Q'),
                            fc('P', 'L'), fc('?', 'Z'), fc('F', 'G'), fc('F', 'P'), fc('F', 'B')};
  for (uint16_t code : codes) executeFunction(ctx, code, kFromKeys);
  EXPECT_EQ(host.count(Sound::Beop), 10);
  EXPECT_EQ(host.sounds.size(), 10u);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(host.questions.empty());
}

// SW flips the records themselves, so the file must count as modified.
TEST(Dispatch, MirrorViewFlipsTheFileAndMarksItModified) {
  ScriptedHost host;
  Context ctx(host);
  executeFunction(ctx, fc('S', 'W'), kFromKeys);
  EXPECT_EQ(host.count(Sound::Beop), 1);  // no file open
  ASSERT_NE(newDesignFile(ctx, "mirror.pcb"), kNull);
  const Handle line = createItem(ctx.pool, ctx.current, kLine, 3, 655, kInch, 0, 2 * kInch, kInch, kNull);
  executeFunction(ctx, fc('S', 'W'), kFromKeys);
  EXPECT_EQ(ctx.rec(line).x1, -kInch);
  EXPECT_EQ(ctx.rec(line).w3, -2 * kInch);
  EXPECT_TRUE(fileModified(ctx.rec(ctx.current)));
  EXPECT_EQ(host.redraws, 1);
  EXPECT_EQ(host.count(Sound::Beop), 1);
}

TEST(Dispatch, MenuCommandsAreRecordedAndRoutedByTheirIds) {
  ScriptedHost host;
  Context ctx(host);
  std::vector<int> screens;
  std::string recorded;
  int placed = 0;
  ctx.shell.hooks.selectScreen = [&](Context&, int n) { screens.push_back(n); };
  ctx.shell.hooks.recordMacroText = [&](Context&, const std::string& t) { recorded += t; };
  registerFunction(ctx, fc('P', 'L'), [&](Context&, uint16_t, int source) { placed = source; });
  menuCommand(ctx, fc('P', 'L'));  // before start-up: ignored
  EXPECT_EQ(placed, 0);
  ctx.shell.startupPhase = 1;
  ctx.shell.lastInputSource = kFromMenuBar;
  ctx.shell.macroRecording = true;
  menuCommand(ctx, fc('P', 'L'));
  EXPECT_EQ(placed, kFromMenuBar);
  EXPECT_EQ(recorded, "\"PL\" ");
  menuCommand(ctx, 0x5362);
  EXPECT_EQ(screens, (std::vector<int>{2}));
  ctx.shell.windowsMode = false;
  menuCommand(ctx, kEscapeToWindows);
  EXPECT_TRUE(ctx.shell.windowsMode);
  EXPECT_TRUE(host.sounds.empty());
}

// Every item of a menu-bar popup belongs to that popup's family, and the two
// popup menus differ only in their Place submenu.
TEST(Menus, ItemsBelongToTheirFamilyAndPopupsShareAllButPlace) {
  const auto bar = menuBar();
  ASSERT_EQ(bar.size(), 12u);
  for (size_t i = 0; i < bar.size(); ++i) {
    EXPECT_EQ(familyOf(bar[i].code), kFamilies[i]);
    for (const MenuItem& item : bar[i].submenu)
      if (!item.separator() && !item.isSubmenu()) EXPECT_EQ(familyOf(item.code), kFamilies[i]) << item.text;
  }
  EXPECT_EQ(findMenuItem(bar, 0x5360)->code, kScreenBox);
  EXPECT_EQ(findMenuItem(bar, fc('F', 'Q')), nullptr);
  const auto schematic = popupMenu(0), board = popupMenu(1);
  ASSERT_EQ(schematic.size(), board.size());
  for (size_t i = 1; i < board.size(); ++i) {
    ASSERT_EQ(schematic[i].submenu.size(), board[i].submenu.size()) << i;
    for (size_t k = 0; k < board[i].submenu.size(); ++k)
      EXPECT_EQ(schematic[i].submenu[k].code, board[i].submenu[k].code);
  }
  EXPECT_NE(findMenuItem(schematic, fc('P', 'S')), nullptr);
  EXPECT_EQ(findMenuItem(board, fc('P', 'S')), nullptr);
}

// Enabled items of one menu-bar popup, as their two letters.
std::vector<std::string> usable(int position, const MenuFacts& f) {
  std::vector<std::string> out;
  for (const MenuItemState& s : updateMenuState(position, f))
    if (s.enabled) out.push_back(codeName(s.code));
  return out;
}

TEST(MenuState, NoFileLeavesOnlyNewOpenReopenRecallAndExit) {
  MenuFacts none;
  std::vector<std::string> file = usable(0, none);
  std::erase_if(file, [](const std::string& c) { return c[1] >= '0' && c[1] <= '9'; });
  EXPECT_EQ(file, (std::vector<std::string>{"FW", "FO", "FR", "FT", "FX"}));
  for (int menu : {1, 2, 3, 4, 5, 7, 8, 9, 10}) EXPECT_TRUE(usable(menu, none).empty()) << menu;
  EXPECT_EQ(usable(11, none).size(), 5u);
}

TEST(MenuState, BoardAndSchematicFiles) {
  MenuFacts board;
  board.file = true;
  board.canZoomIn = board.canZoomOut = true;
  auto place = usable(1, board);
  EXPECT_EQ(place.size(), 12u);
  EXPECT_EQ(std::count(place.begin(), place.end(), "PS"), 0);
  auto nets = usable(9, board);
  EXPECT_EQ(std::count(nets.begin(), nets.end(), "NR"), 1);
  auto file = usable(0, board);
  EXPECT_EQ(std::count(file.begin(), file.end(), "FS"), 0);  // not modified
  EXPECT_EQ(std::count(file.begin(), file.end(), "FN"), 0);  // no other file
  auto zoom = usable(10, board);
  EXPECT_EQ(std::count(zoom.begin(), zoom.end(), "ZP"), 0);

  MenuFacts sheet = board;
  sheet.schematic = sheet.modified = sheet.otherFiles = true;
  EXPECT_EQ(usable(1, sheet).size(), 22u);
  nets = usable(9, sheet);
  EXPECT_EQ(std::count(nets.begin(), nets.end(), "NR") + std::count(nets.begin(), nets.end(), "NL"), 0);
  file = usable(0, sheet);
  EXPECT_EQ(std::count(file.begin(), file.end(), "FS") + std::count(file.begin(), file.end(), "FV"), 2);
}

TEST(MenuState, ChecksFollowOpenBoxesAndOptions) {
  MenuFacts f;
  f.file = true;
  f.queryRaft = true;
  f.openBoxes = {fc('Q', 'V')};
  f.block = BlockState::NoBlock;
  f.blockAnimation = true;
  for (const MenuItemState& s : updateMenuState(5, f))
    EXPECT_EQ(s.checked, s.code == fc('Q', 'R') || s.code == fc('Q', 'V')) << codeName(s.code);
  for (const MenuItemState& s : updateMenuState(8, f)) {
    EXPECT_EQ(s.checked, s.code == fc('B', 'P'));
    EXPECT_EQ(s.enabled, s.code == fc('B', 'G') || s.code == fc('B', 'I') || s.code == fc('B', 'P'));
  }
}

TEST(MenuState, FactsComeFromTheContext) {
  ScriptedHost host;
  Context ctx(host);
  EXPECT_FALSE(gatherMenuFacts(ctx).file);
  testing::TempDir dir;
  ASSERT_TRUE(openFileByName(ctx, dir.example("demo.sch"), 0));
  MenuFacts f = gatherMenuFacts(ctx);
  EXPECT_TRUE(f.file && f.schematic);
  EXPECT_FALSE(f.grab || f.modified || f.otherFiles);
  ASSERT_NE(createItem(ctx.pool, ctx.rings[kGrabList]), kNull);
  ASSERT_TRUE(openFileByName(ctx, dir.example("demo.pcb"), 0));
  f = gatherMenuFacts(ctx);
  EXPECT_TRUE(f.grab && f.otherFiles);
  EXPECT_FALSE(f.schematic);
  // The popup's Place submenu follows the Place menu's rules.
  for (const MenuItemState& s : updatePopupState(0, 0, f)) EXPECT_EQ(s.enabled, s.code == fc('P', 'C'));
}

}  // namespace
}  // namespace trelmo
