// Everything the program keeps for a whole run, in one object: the editor,
// trelmo-cli and every test create their own.
#pragma once
#include <array>
#include <string>

#include "database/params.h"
#include "database/pool.h"
#include "database/signals.h"
#include "edit/edit_state.h"
#include "flood/flood_state.h"
#include "image/pixel_image.h"
#include "library/library_state.h"
#include "nets/net_state.h"
#include "output/plot_worker.h"
#include "screen/screen_state.h"
#include "screen/view.h"
#include "shell/host.h"
#include "shell/input_state.h"
#include "shell/shell_state.h"

namespace trelmo {

// The six program-wide rings created at start-up.
enum RingId { kOpenFiles = 0, kGrabList = 1, kWorkRing1 = 2, kWorkRing2 = 3, kWorkRing3 = 4, kWorkRing4 = 5 };

struct Paths {
  std::string data;       // user data folder: Backup/ and Autosave/ live here
  std::string resources;  // installed data: TEMPLATE/, LIBRARY/
};

struct Context {
  RecordPool pool;
  SignalTable signals;
  std::array<Handle, 6> rings{};
  Handle current = kNull;  // sentinel of the current design file
  Params params{};
  ImageStore images;
  Paths paths;
  bool autosaveEnabled = false;
  View view;             // world-to-pixel transform, cursor, zoom
  ScreenState screen;    // drawing surface, dirty list, pixel values
  ShellState shell;      // start-up, heartbeat, hooks, messages, preferences
  InputState input;      // keyboard state, mouse, keystroke macros
  OutputState output;    // the plot worker and the printers
  EditState edit;        // undo stacks of every file, the grab list
  LibraryState library;  // the library box and the component last loaded
  NetState nets;         // current signal, log viewer
  FloodState flood;      // hatch grid, isolation output rows, the G-code mill

  Host* host;
  Host silentHost;

  Context();
  explicit Context(Host& h) : Context() { host = &h; }
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  Record& rec(Handle h) { return pool[h]; }
  const Record& rec(Handle h) const { return pool[h]; }
  const LayerEntry& layer(int n) const { return params.layers[n & 255]; }
};

// The user data folder ($XDG_DATA_HOME/trelmo or ~/.local/share/trelmo) and
// the installed data folder found beside the executable.
std::string defaultDataPath();
std::string defaultResourcePath();

}  // namespace trelmo
