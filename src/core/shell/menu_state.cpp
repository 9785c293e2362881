#include "shell/menu_state.h"

#include <algorithm>

#include "context.h"
#include "database/design_files.h"
#include "resources/menus.h"
#include "shell/function_codes.h"

namespace trelmo {

MenuFacts gatherMenuFacts(const Context& ctx) {
  MenuFacts f;
  const ShellHooks& hooks = ctx.shell.hooks;
  f.file = ctx.current != kNull && ctx.pool.valid(ctx.current);
  if (f.file) {
    f.modified = fileUnsaved(ctx.rec(ctx.current));
    f.otherFiles = openFileCount(ctx) > 1;
    f.schematic = ctx.params.isSchematic();
    f.previousView = ctx.view.previousScale != 0;
    f.canZoomIn = ctx.view.viewScale < kMaxViewScale;
    f.canZoomOut = ctx.view.viewScale > ctx.view.minViewScale;
  }
  const Handle grab = ctx.rings[kGrabList];
  f.grab = ctx.pool.valid(grab) && ctx.rec(grab).next != grab;
  f.hilight = hooks.hilightExists && hooks.hilightExists(ctx);
  f.undo = hooks.undoAvailable && hooks.undoAvailable(ctx);
  f.redo = hooks.redoAvailable && hooks.redoAvailable(ctx);
  f.block = !f.file            ? BlockState::NoFile
            : hooks.blockState ? static_cast<BlockState>(std::clamp(hooks.blockState(ctx), 0, 3))
                               : BlockState::NoBlock;
  if (!f.file) f.block = BlockState::NoFile;
  f.blockAnimation = ctx.shell.prefs.animatedBlockPerimeter;
  f.queryRaft = ctx.shell.prefs.queryRaft;
  f.imageLoaded = hooks.imageLoaded && hooks.imageLoaded(ctx);
  if (hooks.boxOpen)
    for (char m : {'L', 'A', 'P', 'T', 'C', 'I', 'V', 'Z'})
      if (hooks.boxOpen(ctx, fc('Q', m))) f.openBoxes.push_back(fc('Q', m));
  return f;
}

namespace {

bool anyOf(uint16_t code, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (code == fc(n[0], n[1])) return true;
  return false;
}

bool fileItem(uint16_t c, const MenuFacts& f) {
  if (anyOf(c, {"FW", "FO", "FR", "FT", "FX"})) return true;
  if (memberOf(c) >= '0' && memberOf(c) <= '9') return true;  // Re-Open entries
  if (c == fc('F', 'S')) return f.file && f.modified;
  if (anyOf(c, {"FN", "FV"})) return f.file && f.otherFiles;
  return f.file;
}

bool placeItem(uint16_t c, const MenuFacts& f) {
  if (anyOf(c, {"PS", "PB", "P+", "PG", "PH", "PM", "PN", "PD", "PW", "PI"})) return f.file && f.schematic;
  return f.file;
}

bool grabItem(uint16_t c, const MenuFacts& f) {
  if (anyOf(c, {"GR", "GN", "GX", "GY", "GM", "GS"})) return f.grab;
  return f.file;
}

bool blockItem(uint16_t c, const MenuFacts& f) {
  switch (f.block) {
    case BlockState::NoFile:
      return false;
    case BlockState::NoBlock:
      return anyOf(c, {"BG", "BI", "BP"});
    case BlockState::InCurrentFile:
      return !anyOf(c, {"BG", "BI"});
    case BlockState::InOtherFile:
      return anyOf(c, {"BC", "BE", "BP"});
  }
  return false;
}

bool enabled(int position, uint16_t c, const MenuFacts& f) {
  switch (position) {
    case 0:
      return fileItem(c, f);
    case 1:
      return placeItem(c, f);
    case 2:
      return grabItem(c, f);
    case 3:
      return anyOf(c, {"EK", "EF"}) ? f.grab : f.file && !f.grab;
    case 4:
      if (c == fc('D', 'G')) return f.grab;
      if (c == fc('D', 'H')) return f.file && f.hilight;
      return f.file && !f.grab;
    case 5:
      return f.file && !f.grab;
    case 6:
      return anyOf(c, {"UU", "UA", "US"}) ? f.undo : f.redo;
    case 7:
      if (familyOf(c) == 'S' && memberOf(c) >= '0' && memberOf(c) <= '>' && c != fc('S', '0') && c != fc('S', '='))
        return f.file && f.imageLoaded;  // Pixel Image items other than load and attach need a picture
      return f.file;
    case 8:
      return blockItem(c, f);
    case 9:
      return anyOf(c, {"NR", "NL", "NA"}) ? f.file && !f.schematic : f.file;
    case 10:
      if (c == fc('Z', 'I')) return f.file && f.canZoomIn;
      if (c == fc('Z', 'O')) return f.file && f.canZoomOut;
      if (c == fc('Z', 'P')) return f.file && f.previousView;
      return f.file;
    default:
      return true;  // Help
  }
}

bool checked(int position, uint16_t c, const MenuFacts& f) {
  if (position == 5) {
    if (c == fc('Q', 'R')) return f.queryRaft;
    return std::find(f.openBoxes.begin(), f.openBoxes.end(), c) != f.openBoxes.end();
  }
  if (position == 8 && c == fc('B', 'P')) return f.blockAnimation;
  return false;
}

void collect(int position, std::span<const MenuItem> items, const MenuFacts& f, std::vector<MenuItemState>& out) {
  for (const MenuItem& item : items) {
    if (item.separator()) continue;
    if (item.code != 0) out.push_back({item.code, enabled(position, item.code, f), checked(position, item.code, f)});
    if (item.isSubmenu()) collect(position, item.submenu, f, out);
  }
}

int menuBarPosition(char family) {
  for (int i = 0; i < 12; ++i)
    if (kFamilies[i] == family) return i;
  return -1;
}

}  // namespace

std::vector<MenuItemState> updateMenuState(int position, const MenuFacts& facts) {
  std::vector<MenuItemState> out;
  const auto bar = menuBar();
  if (position < 0 || position >= static_cast<int>(bar.size())) return out;
  collect(position, bar[position].submenu, facts, out);
  return out;
}

std::vector<MenuItemState> updatePopupState(int popup, int position, const MenuFacts& facts) {
  std::vector<MenuItemState> out;
  const auto menu = popupMenu(popup);
  if (position < 0 || position >= static_cast<int>(menu.size()) || !menu[position].isSubmenu()) return out;
  collect(menuBarPosition(familyOf(menu[position].code)), menu[position].submenu, facts, out);
  return out;
}

std::vector<std::string> reopenMenuTexts(const Context& ctx) {
  std::vector<std::string> texts;
  const auto& list = ctx.shell.reopenList;
  for (size_t i = 0; i < list.size() && i < 10; ++i) texts.push_back("&" + std::to_string(i) + ": " + list[i]);
  return texts;
}

}  // namespace trelmo
