// The status-bar message table: numbered messages and the menu and dialog
// help lines.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "shell/shell_state.h"

namespace trelmo {

struct Context;

constexpr int32_t kMessageSeconds = 5;
constexpr int32_t kHelpLineSeconds = 10;

// Reads a message file: lines starting with a digit are numbered messages,
// lines starting with 'M' or 'W' help lines, others are skipped; the first
// line starting with a control character ends it. Lines may end in CR LF, LF
// or CR.
MessageTable parseMessageFile(std::string_view text);
void loadMessageTable(Context& ctx);

// "1.2C" for 0x12C.
std::string messageKey(int number);

// Shows a numbered message on the status bar (alert sound for '*', timeout
// unless column 6 is set). Nothing while the window is minimised.
void showMessage(Context& ctx, int number);

// The text of the help line "M.FW" / "W.PL" / "M.F.", empty when none.
std::string helpLine(const MessageTable& table, std::string_view key);
// Shows "M." + the code's two characters for 10 seconds.
void showHelpLine(Context& ctx, uint16_t code);
// Dialog boxes show "W." + their code.
void showDialogHelp(Context& ctx, uint16_t code);

// Where a highlighted menu entry is: an item (its code), a popup of the menu
// bar (position 0-11) or of a popup menu (position 0-7).
enum class MenuPlace { Item, MenuBarPopup, PopupSubmenu };
void showMenuHelp(Context& ctx, MenuPlace place, int position, uint16_t code);

// Writes text on the status bar for `seconds` (0 = until redrawn).
void showStatus(Context& ctx, const std::string& text, int32_t seconds);
// Back to the normal status bar.
void restoreStatusBar(Context& ctx);

}  // namespace trelmo
