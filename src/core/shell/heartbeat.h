// The 55 ms heartbeat: the front end's timer calls heartbeatTick; the logic of
// every tick lives here.
#pragma once
#include <cstdint>

namespace trelmo {

struct Context;

constexpr int32_t kTicksPerSecond = 18;
constexpr int32_t kStartupTicks = 18;  // settings load after about a second
constexpr int32_t kBackgroundSleepTicks = 11;

void heartbeatTick(Context& ctx);
// Mouse or key input: wakes the program and restarts the idle count.
void noteUserInput(Context& ctx);
// Opens the next queued file; false when none could be opened.
bool openNextQueuedFile(Context& ctx);

}  // namespace trelmo
