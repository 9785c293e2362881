// Net Scan (NS, N+, N-) and the net scan error log (NG).
#pragma once
#include <cstdint>
#include <string>

#include "nets/connectivity.h"

namespace trelmo {

struct Context;
class UndoTransaction;

// One net scan from a point: clears the hilight, floods, deletes the rat-
// lines of the signal found, then reports the first fault on the status
// line: a cross-link, unknown pins, incomplete routing (rat-lines are drawn
// to the pads not reached), an illegal pad overlap or a clearance violation.
// Returns the number of faults: 0 none (the net stays hilighted), 1, or -1
// when cancelled; 0 also when nothing lies under the point. `clearAll`
// false clears only what the last scan of `net` reached (a run of scans
// that cleared everything once).
int netScan(Context& ctx, Connectivity& net, UndoTransaction& undo, int layer, int32_t x, int32_t y,
            bool clearAll = true);
// A fault found, on the status line, with the cursor on the item and a
// marker drawn there (the view follows the cursor).
void reportAt(Context& ctx, Handle item, const std::string& text);
// NS at the cursor on the current layer.
int netScanAtCursor(Context& ctx);
// N+ (direction 1) and N- (-1): scans the signals after (before) the
// current one in table order from their first pads, stopping at the first
// that reports a fault, which stays current; at the end the hilight is
// cleared and no signal is current. The number of faults (-1 cancelled).
int netScanStep(Context& ctx, int direction);

struct ScanLogOptions {
  std::string path;  // empty: beside the design; "-": standard output
  std::string date;  // the title line's date; empty: today
  Search search = Search::Indexed;
};
struct ScanLogResult {
  bool written = false;  // the log was opened (and the scan run)
  bool closed = false;   // and put in place whole
  int nets = 0;
  int errors = 0;
};
// NG: floods every signal carried by a pad, in table order, and logs every
// fault found; duplicate pads are deleted (one undo event).
ScanLogResult netScanLog(Context& ctx, const ScanLogOptions& options = {});

}  // namespace trelmo
