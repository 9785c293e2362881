// Menus built from the core's model: every item carries its function code,
// commands arrive with the right source, and the state rules reach the
// actions when a menu opens.
#include "app/menus.h"

#include <gtest/gtest.h>

#include <QMenuBar>
#include <vector>

#include "context.h"

namespace trelmo::app {
namespace {

struct Sent {
  uint16_t code;
  int source;
  bool operator==(const Sent&) const = default;
};

TEST(MenuBar, TwelveMenusWithTheModelsTextsAndCodes) {
  Context ctx;
  QMenuBar bar;
  std::vector<Sent> sent;
  buildMenuBar(&bar, ctx, [&](uint16_t c, int s) { sent.push_back({c, s}); });
  const auto menus = bar.actions();
  ASSERT_EQ(menus.size(), 12);
  QMenu* file = menus[0]->menu();
  ASSERT_NE(file, nullptr);
  QAction* open = findAction(file, fc('F', 'O'));
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open->text(), "&Open");
  QAction* reopen3 = findAction(file, fc('F', '3'));
  ASSERT_NE(reopen3, nullptr) << "submenu items are found too";

  // Every item of the model has an action with its code, separators none.
  std::function<void(std::span<const MenuItem>)> check = [&](std::span<const MenuItem> items) {
    for (const MenuItem& item : items) {
      if (item.isSubmenu()) {
        check(item.submenu);
      } else if (!item.separator()) {
        bool found = false;
        for (QAction* top : menus) found |= findAction(top->menu(), item.code) != nullptr;
        EXPECT_TRUE(found) << codeName(item.code);
      }
    }
  };
  check(menuBar());

  // The source is that of the last input in the menus: the mouse, then keys.
  ctx.shell.lastInputSource = kFromMenuBar;
  open->trigger();
  ctx.shell.lastInputSource = kFromKeys;
  reopen3->trigger();
  EXPECT_EQ(sent, (std::vector<Sent>{{fc('F', 'O'), kFromMenuBar}, {fc('F', '3'), kFromKeys}}))
      << "each command is sent once, with the source of the input that chose it";
}

TEST(MenuBar, StateRulesAndReopenTextsReachTheActions) {
  QMenu menu;
  static constexpr MenuItem kReopen[] = {{fc('F', '0'), "&0:"}, {fc('F', '1'), "&1:"}, {fc('F', '2'), "&2:"}};
  static constexpr MenuItem kTree[] = {
      {fc('F', 'S'), "&Save"}, kSeparator, {fc('F', 'R'), "&Re-Open", kReopen}, {fc('F', 'C'), "&Close"}};
  fillMenu(&menu, kTree);
  applyMenuState(&menu, {{fc('F', 'S'), false, false}, {fc('F', 'C'), true, true}, {fc('F', '1'), false, false}});
  EXPECT_FALSE(findAction(&menu, fc('F', 'S'))->isEnabled());
  EXPECT_TRUE(findAction(&menu, fc('F', 'C'))->isChecked());
  EXPECT_FALSE(findAction(&menu, fc('F', '1'))->isEnabled()) << "rules reach submenu items";
  applyMenuState(&menu, {{fc('F', 'C'), true, false}});
  EXPECT_FALSE(findAction(&menu, fc('F', 'C'))->isChecked()) << "a check mark is removed again";

  applyReopenTexts(&menu, {"&0: /a/b.pcb", "&1: /c/d.sch"});
  EXPECT_EQ(findAction(&menu, fc('F', '0'))->text(), "&0: /a/b.pcb");
  EXPECT_TRUE(findAction(&menu, fc('F', '1'))->isVisible());
  EXPECT_FALSE(findAction(&menu, fc('F', '2'))->isVisible()) << "entries beyond the list are hidden";
}

TEST(PopupMenus, EndWithEscapeAndSendFromKeys) {
  Context ctx;
  for (int which = 0; which < 2; ++which) {
    std::vector<Sent> sent;
    std::unique_ptr<QMenu> popup(buildPopupMenu(
        which, ctx,
        [&](uint16_t c, int s) {
          sent.push_back({c, s});
        },
        nullptr));
    const auto actions = popup->actions();
    ASSERT_FALSE(actions.isEmpty());
    EXPECT_EQ(actions.back()->text(), "<E&scape>");
    actions.back()->trigger();
    EXPECT_EQ(sent, (std::vector<Sent>{{kEscapeToWindows, kFromKeys}}));
  }
}

}  // namespace
}  // namespace trelmo::app
