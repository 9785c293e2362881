// What the net functions keep between commands: the current signal that Net
// Scan + and - continue from, and the log viewer of the last log written.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "database/record.h"

namespace trelmo {

struct Context;

// The lines of the log being written (or last written), for the viewer.
struct LogView {
  std::string path;
  std::vector<std::string> lines;
  bool open = false;  // the viewer shows it
};

struct NetState {
  Handle currentSignal = kNull;  // signal name record; kNull when none
  LogView log;
  // The front end's log viewer ("ViewBox"): called when a log opens (the
  // previous viewer closes) and after each line; may stay empty.
  std::function<void(Context&)> logOpened, logLineAdded;
};

}  // namespace trelmo
