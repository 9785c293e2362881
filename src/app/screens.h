// The displays: their descriptions for the Screen Parameters box, the
// "Screen &n" entries of the Setup menu's Screen submenu, and moving the main
// window from one display to another.
#pragma once
#include <QRect>

class QMenuBar;
class QWidget;

namespace trelmo {
struct Context;
}

namespace trelmo::app {

// Describes every display in ctx.shell.screens ("1920x1080 at 0,0").
void describeScreens(Context& ctx);
// Appends "Screen &1" ... (ids 0x5361 ...) after "&Screen Parameters" for
// each display beyond the first.
void addScreenEntries(QMenuBar* bar, const Context& ctx);
// Moves the check mark to entry n (entry 0 is "&Screen Parameters").
void markScreen(QMenuBar* bar, int n);
// The rectangle of display n, or of the primary display when there is none.
QRect screenGeometry(int n);
// Moves the window to display n keeping its place relative to the display's
// top-left corner (maximised again if it was); false when there is no such
// display.
bool moveToScreen(QWidget* window, int n);

}  // namespace trelmo::app
