// The design-busy rule shared by every worker thread (plot workers, the
// autorouter). Workers read the current design and its layer table without
// locks, so while one runs nothing may change them: the dispatcher refuses
// every function that changes the design, or which design is current, with
// the Beep sound; viewing, zooming, panning, queries, saving and output go on.
//
// A worker calls markDesignBusy on the user-interface thread before its thread
// starts (which also ends the interactive function, so no pending click can
// change the design) and clearDesignBusy there after it has been joined. Its
// `stop` callback asks the thread to end and joins it; File Exit uses it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace trelmo {

struct Context;

// The slot of the cancel hooks a running worker's Escape takes: starting a
// function (even a refused one, or a zoom) and leaving TRELMO mode clear the
// other slots only, so Escape still reaches the worker afterwards.
constexpr size_t kWorkerHookSlot = 2;

bool designBusy(const Context& ctx);
// False (and nothing changed) when another worker already holds the design.
bool markDesignBusy(Context& ctx, const std::string& owner, std::function<void(Context&)> stop);
void clearDesignBusy(Context& ctx);
// Ends the worker holding the design, if any (its stop callback).
void stopDesignWorker(Context& ctx);

// Whether a function code may change the design or switch the current file.
// Zoom, Query and Help never do; of the File family Save, Save As,
// Information, Gerber Out and Bill of Materials only read it, and Exit stops
// the worker first; of the Setup family grid snap, zero point, status bar,
// ortho mode and the screen box touch the view only.
bool changesDesign(uint16_t code);

}  // namespace trelmo
