// The menu bar and the two popup menus as data. Texts are UTF-8 with '&'
// before the mnemonic; each item's command id is its function code.
#pragma once
#include <cstdint>
#include <span>

#include "shell/function_codes.h"

namespace trelmo {

struct MenuItem {
  uint16_t code = 0;           // the command id; a submenu carries its help key (FR, SI, F. ...)
  const char* text = nullptr;  // nullptr: a separator
  std::span<const MenuItem> submenu{};

  bool separator() const { return text == nullptr; }
  bool isSubmenu() const { return !submenu.empty(); }
};

constexpr MenuItem kSeparator{};

// The twelve menus of the menu bar, File (0) to Help (11).
std::span<const MenuItem> menuBar();
// Popup 0 is shown over schematic files, popup 1 over the others: the
// submenus Place, Grab, Edit, Delete, Un-Do and Zoom, then "<E&scape>".
std::span<const MenuItem> popupMenu(int which);

// The item of a menu tree with this code, searched depth first; null when none.
const MenuItem* findMenuItem(std::span<const MenuItem> menu, uint16_t code);

}  // namespace trelmo
