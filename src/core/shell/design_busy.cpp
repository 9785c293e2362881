#include "shell/design_busy.h"

#include <cstring>

#include "context.h"
#include "shell/function_codes.h"

namespace trelmo {

bool designBusy(const Context& ctx) { return !ctx.shell.busy.owner.empty(); }

bool markDesignBusy(Context& ctx, const std::string& owner, std::function<void(Context&)> stop) {
  ShellState& s = ctx.shell;
  if (designBusy(ctx) || owner.empty()) return false;
  if (s.hooks.releaseGrab) s.hooks.releaseGrab(ctx);
  s.acceptHooks = {};
  s.cancelHooks = {};
  s.keyHook = nullptr;
  s.currentFunction = 0;
  s.stagePrompt.clear();
  s.busy.owner = owner;
  s.busy.stop = std::move(stop);
  return true;
}

void clearDesignBusy(Context& ctx) { ctx.shell.busy = {}; }

void stopDesignWorker(Context& ctx) {
  if (!designBusy(ctx)) return;
  auto stop = ctx.shell.busy.stop;  // the callback clears the state
  if (stop) stop(ctx);
  clearDesignBusy(ctx);
}

bool changesDesign(uint16_t code) {
  const char family = familyOf(code), member = memberOf(code);
  switch (family) {
    case 'Z':
    case 'Q':
    case '?':
      return false;
    case 'F':
      return std::strchr("SAIGBX", member) == nullptr;
    case 'S':
      return std::strchr("GPBT`", member) == nullptr;
    default:
      return true;
  }
}

}  // namespace trelmo
