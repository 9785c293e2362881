// The menu bar and the popup menus built from the core's menu model. Each
// action carries its function code as data; a menu applies the core's
// enable and check rules each time it opens.
#pragma once
#include <QMenu>
#include <QMenuBar>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "resources/menus.h"
#include "shell/menu_state.h"

namespace trelmo {
struct Context;
}

namespace trelmo::app {

using MenuCommand = std::function<void(uint16_t code, int source)>;

// Fills `menu` with the items of `items` (submenus recursively).
void fillMenu(QMenu* menu, std::span<const MenuItem> items);
// The action of a menu tree with this code, depth first; null when none.
QAction* findAction(QMenu* menu, uint16_t code);
// The same, a submenu's own action included.
QAction* findItem(QMenu* menu, uint16_t code);
// Applies states by code to every action of the tree.
void applyMenuState(QMenu* menu, const std::vector<MenuItemState>& states);
// The Re-Open submenu shows one "&0: path" line per stored entry.
void applyReopenTexts(QMenu* menu, const std::vector<std::string>& texts);

// The twelve menus of the menu bar, wired to the context: state rules on
// opening, help lines while an item is highlighted, commands with the source
// of the last input in the menus (3 the mouse, 2 the keyboard).
void buildMenuBar(QMenuBar* bar, Context& ctx, const MenuCommand& command);
// Popup 0 (schematics) or 1 (others), commands with source 2.
QMenu* buildPopupMenu(int which, Context& ctx, const MenuCommand& command, QWidget* parent);

}  // namespace trelmo::app
