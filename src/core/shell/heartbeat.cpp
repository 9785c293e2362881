#include "shell/heartbeat.h"

#include "context.h"
#include "database/design_files.h"
#include "files/writer.h"
#include "shell/file_functions.h"
#include "shell/input.h"
#include "shell/messages.h"
#include "shell/settings.h"

namespace trelmo {

namespace {

void run(Context& ctx, const Hook& hook) {
  if (hook) hook(ctx);
}

void finishStartup(Context& ctx) {
  ctx.host->setTitle(ctx.current == kNull ? std::string(kNoFileTitle) : filePath(ctx, ctx.current));
  ctx.shell.startupPhase = 3;
}

void loadStartupResources(Context& ctx) {
  loadSettings(ctx);
  loadMessageTable(ctx);
  ctx.shell.startupPhase = 2;
  run(ctx, ctx.shell.hooks.startupLoaded);
}

void sleepStep(Context& ctx) {
  ShellState& s = ctx.shell;
  const int32_t limit = s.prefs.sleepTicks;
  if (s.foreground && s.idleTicks < limit) {
    s.backgroundTicks = 0;
    if (s.asleep) {
      s.asleep = false;
      run(ctx, s.hooks.sleepChanged);
    }
    if (limit) ++s.idleTicks;
    return;
  }
  if (s.minimised) {
    s.backgroundTicks = 0;
    return;
  }
  ++s.backgroundTicks;
  if (!s.asleep && (s.backgroundTicks > kBackgroundSleepTicks || (limit && s.idleTicks >= limit))) {
    s.asleep = true;
    run(ctx, s.hooks.sleepChanged);
    ctx.host->redrawView();
  }
}

void macroDelayStep(Context& ctx) {
  ShellState& s = ctx.shell;
  if (s.macroDelayTicks > 0 && --s.macroDelayTicks == 0 && s.macroRunning) run(ctx, s.hooks.resumeMacro);
}

void iconStep(Context& ctx) {
  ShellState& s = ctx.shell;
  if (!s.prefs.animatedIcon || s.startupPhase < 2) return;
  s.iconFrame += s.asleep ? -1 : 1;
  if (s.iconFrame > 32) s.iconFrame = 1;
  if (s.iconFrame < 1) s.iconFrame = 32;
  run(ctx, s.hooks.animatedIcon);
}

void queryRefreshStep(Context& ctx) {
  ShellState& s = ctx.shell;
  if (s.queryRefreshSeconds > 0 && --s.queryRefreshSeconds == 0) run(ctx, s.hooks.refreshQueryBoxes);
}

void blockPerimeterStep(Context& ctx) {
  ShellState& s = ctx.shell;
  if (s.asleep || s.blockPhase >= 16 || !s.hooks.blockPerimeter) return;
  s.blockPhase = static_cast<uint8_t>((s.blockPhase + 4) & 15);
  s.hooks.blockPerimeter(ctx);
}

void autosaveStep(Context& ctx) {
  const int32_t interval = ctx.shell.prefs.autosaveTicks;
  if (interval <= 0 || !ctx.autosaveEnabled || ctx.shell.tickCount % interval != 0) return;
  if (ctx.current != kNull) autosave(ctx, ctx.current);
}

void pendingMenuPrefix(Context& ctx) {
  ShellState& s = ctx.shell;
  if (!s.menuPrefix) return;
  const char letter = static_cast<char>(s.menuPrefix);
  s.menuPrefix = 0;
  if (s.macroRecording && s.hooks.dropPrefixFromMacro) s.hooks.dropPrefixFromMacro(ctx, true);
  if (s.hooks.openMenu) s.hooks.openMenu(ctx, letter);
}

void onceASecond(Context& ctx) {
  ShellState& s = ctx.shell;
  run(ctx, s.hooks.plotWaitBox);
  run(ctx, s.hooks.readouts);
  if (!s.foreground) return;
  pendingMenuPrefix(ctx);
  if (s.messageSeconds > 0 && --s.messageSeconds == 0) restoreStatusBar(ctx);
}

}  // namespace

bool openNextQueuedFile(Context& ctx) {
  auto& queue = ctx.shell.queuedFiles;
  while (!queue.empty()) {
    const std::string path = queue.front();
    queue.pop_front();
    if (openFileByName(ctx, path, 0)) return true;
    ctx.host->sound(Sound::Beep);
  }
  return false;
}

void noteUserInput(Context& ctx) {
  ShellState& s = ctx.shell;
  if (s.asleep) {
    s.asleep = false;
    run(ctx, s.hooks.sleepChanged);
  }
  s.idleTicks = -1;
  s.backgroundTicks = 0;
}

void heartbeatTick(Context& ctx) {
  ShellState& s = ctx.shell;
  if (s.quitting) return;
  if (s.startupPhase == 0) {
    ctx.host->eventSound("Open");
    s.startupPhase = 1;
    ctx.host->redrawView();
    return;
  }
  if (s.startupPhase == 1 && openNextQueuedFile(ctx)) return;
  if (s.startupPhase == 2) finishStartup(ctx);
  // Sounds are played whole by the host: there is no tone sequence to step.
  sleepStep(ctx);
  macroDelayStep(ctx);
  ++s.tickCount;
  if (s.dragTicks && (++s.dragTicks & 0xFFFF) == kClickTicks && !s.crossHairMode)
    ctx.host->setPointerShape(PointerShape::Hand);
  if (s.startupPhase == 1 && s.tickCount > kStartupTicks) loadStartupResources(ctx);
  iconStep(ctx);
  queryRefreshStep(ctx);
  run(ctx, s.hooks.imageEditorTick);
  blockPerimeterStep(ctx);
  autosaveStep(ctx);
  if (++s.secondDivider >= kTicksPerSecond) {
    s.secondDivider = 0;
    onceASecond(ctx);
  }
}

}  // namespace trelmo
