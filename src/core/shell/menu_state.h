// Which menu items are usable: decided from the state of the current file
// when a menu opens. The front end applies the result to its widgets.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace trelmo {

struct Context;

enum class BlockState { NoFile, NoBlock, InCurrentFile, InOtherFile };

// Everything the rules look at, gathered from the context (and the hooks of
// the subsystems that own undo, nets, blocks and the tool windows).
struct MenuFacts {
  bool file = false;
  bool modified = false;
  bool otherFiles = false;  // more than one file is open
  bool schematic = false;
  bool grab = false;
  bool hilight = false;
  bool undo = false, redo = false;
  bool canZoomIn = false, canZoomOut = false, previousView = false;
  BlockState block = BlockState::NoFile;
  bool blockAnimation = false;
  bool queryRaft = false;
  bool imageLoaded = false;
  std::vector<uint16_t> openBoxes;  // QL, QA, ... while their windows are open
};

struct MenuItemState {
  uint16_t code;
  bool enabled;
  bool checked;
};

MenuFacts gatherMenuFacts(const Context& ctx);

// The state of every item (submenu items included) of menu-bar popup
// `position` (File 0 ... Help 11).
std::vector<MenuItemState> updateMenuState(int position, const MenuFacts& facts);
// The same for a submenu of a popup menu: its items follow the rules of the
// menu-bar menu of the same family.
std::vector<MenuItemState> updatePopupState(int popup, int position, const MenuFacts& facts);

// The Re-Open submenu's item texts, "&0: path" ..., one per stored entry.
std::vector<std::string> reopenMenuTexts(const Context& ctx);

}  // namespace trelmo
