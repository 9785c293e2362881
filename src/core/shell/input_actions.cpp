#include "shell/input_actions.h"

#include "context.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/input.h"

namespace trelmo {

namespace {

bool runFirst(Context& ctx, const std::array<Hook, 3>& hooks) {
  for (const Hook& h : hooks) {
    if (!h) continue;
    Hook copy = h;  // the hook may replace itself
    copy(ctx);
    return true;
  }
  return false;
}

bool repeatCurrent(Context& ctx) {
  if (!ctx.shell.currentFunction) return false;
  executeFunction(ctx, ctx.shell.currentFunction, kFromRepeat);
  return true;
}

}  // namespace

bool acceptAction(Context& ctx) {
  if (runFirst(ctx, ctx.shell.acceptHooks) || repeatCurrent(ctx)) return true;
  if (!grabListBusy(ctx)) return false;
  if (ctx.input.hooks.dropGrab)
    ctx.input.hooks.dropGrab(ctx);
  else
    ctx.host->sound(Sound::Beep);
  return true;
}

void repeatAction(Context& ctx) {
  if (!runFirst(ctx, ctx.shell.acceptHooks) && !repeatCurrent(ctx)) ctx.host->sound(Sound::Beep);
}

bool cancelAction(Context& ctx) {
  if (runFirst(ctx, ctx.shell.cancelHooks)) return true;
  if (!grabListBusy(ctx)) return false;
  if (ctx.shell.hooks.releaseGrab)
    ctx.shell.hooks.releaseGrab(ctx);
  else
    ctx.host->sound(Sound::Beep);
  return true;
}

}  // namespace trelmo
