#include "shell/dispatch.h"

#include <cstdio>

#include "context.h"
#include "shell/design_busy.h"
#include "shell/function_codes.h"
#include "shell/input.h"

namespace trelmo {

bool isFamily(char letter) {
  for (char f : kFamilies)
    if (f == letter) return true;
  return false;
}

std::string codeName(uint16_t code) {
  const char a = familyOf(code), b = memberOf(code);
  auto printable = [](char c) { return c > 32 && c < 127; };
  if (printable(a) && printable(b)) return std::string{a, b};
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", code);
  return buf;
}

void registerFunction(Context& ctx, uint16_t code, FunctionHandler handler) {
  if (handler)
    ctx.shell.functions[code] = std::move(handler);
  else
    ctx.shell.functions.erase(code);
}

namespace {

// Starting any function ends the prompt and the first hooks of the last one.
void clearInteraction(Context& ctx) {
  ShellState& s = ctx.shell;
  s.acceptHooks[0] = nullptr;
  s.cancelHooks[0] = nullptr;
  s.stagePrompt.clear();
  s.blockAnimating = false;
  ctx.screen.rubber.on = false;  // a first corner belongs to the function that set it
}

// A registered member, else the family's own handler.
void dispatchToFamily(Context& ctx, uint16_t code, int source) {
  const char family = familyOf(code);
  if (auto it = ctx.shell.functions.find(code); it != ctx.shell.functions.end()) {
    // Copied: the handler may replace its own registration.
    FunctionHandler handler = it->second;
    handler(ctx, code, source);
    return;
  }
  switch (family) {
    case 'F':
      fileFamily(ctx, code, source);
      return;
    case '?':
      helpFamily(ctx, code, source);
      return;
    case 'S':
      setupFamily(ctx, code, source);
      return;
    case 'Z':
      zoomFamily(ctx, code, source);
      return;
    default:
      ctx.host->sound(Sound::Beop);
      return;  // no member registered yet
  }
}

}  // namespace

void executeFunction(Context& ctx, uint16_t code, int source) {
  clearInteraction(ctx);
  const char family = familyOf(code);
  if (!isFamily(family)) {
    ctx.host->sound(Sound::Beop);
    return;
  }
  if (designBusy(ctx) && changesDesign(code)) {
    ctx.host->sound(Sound::Beep);
    return;
  }
  const uint16_t outer = ctx.shell.runningFunction;
  ctx.shell.runningFunction = code;
  dispatchToFamily(ctx, code, source);
  ctx.shell.runningFunction = outer;
}

void menuCommand(Context& ctx, uint16_t id) {
  ShellState& s = ctx.shell;
  if (s.startupPhase < 1) return;
  if (id == kEscapeToWindows) {
    // The popup closes into WINDOWS mode with the menu bar: nothing resumes.
    s.menuSuspend = 0;
    leaveTrelmoMode(ctx, true);
    return;
  }
  // Replay types the two letters back.
  constexpr size_t kMacroRoom = 4080;
  if (s.macroRecording && s.hooks.recordMacroText && s.recordedLength < kMacroRoom)
    s.hooks.recordMacroText(ctx, "\"" + codeName(id) + "\" ");
  if (id == kScreenBox && s.hooks.screenBox) {
    s.hooks.screenBox(ctx);
    return;
  }
  if (id > kScreenBox && id <= kLastScreen) {
    if (s.hooks.selectScreen) s.hooks.selectScreen(ctx, id - kScreenBox);
    return;
  }
  executeFunction(ctx, id, s.lastInputSource);
}

}  // namespace trelmo
