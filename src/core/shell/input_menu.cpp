#include "context.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/input.h"
#include "shell/macro.h"

namespace trelmo {

namespace {

// A menu prefix nobody completed: its menu opens, outside TRELMO mode.
void openPrefixMenu(Context& ctx, char letter) {
  if (ctx.shell.crossHairMode) suspendForMenu(ctx, 1);
  ctx.host->openMenuBarMenu(letter, 0);
}

// The letters the prefix key added to a recording go again: the menu
// command chosen from the menu is recorded instead.
void dropPrefix(Context& ctx, bool) {
  InputState& in = ctx.input;
  if (in.lengthBeforePrefix < in.recording.size()) in.recording.resize(in.lengthBeforePrefix);
  ctx.shell.recordedLength = in.recording.size();
}

}  // namespace

void installInputHandlers(Context& ctx) {
  ShellHooks& h = ctx.shell.hooks;
  ctx.view.windowsMode = !ctx.shell.crossHairMode;  // zooms keep the pointer's point in place
  h.resumeMacro = resumeMacro;
  h.openMenu = openPrefixMenu;
  h.dropPrefixFromMacro = dropPrefix;
  h.factoryMacros = restoreFactoryMacros;
  h.recordMacroText = [](Context& c, const std::string& text) { recordText(c, text); };
  registerFunction(ctx, fc('S', 'K'), [](Context& c, uint16_t, int) {
    suspendForDialog(c, true);
    keystrokeMacroSetup(c);
    suspendForDialog(c, false);
  });
}

}  // namespace trelmo
