// Small boards written as data files and opened with the net functions
// installed: layer 3 Top Copper, 12 Bottom Copper, 4 a plane, 6 schematic,
// 1 silk, 255 the rat-nest.
#pragma once
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "database/signals.h"
#include "edit/edit_functions.h"
#include "edit/undo.h"
#include "nets/connectivity.h"
#include "nets/net_functions.h"
#include "shell/dispatch.h"
#include "shell/file_functions.h"
#include "shell/function_codes.h"
#include "shell/messages.h"
#include "shell/scripted_host.h"

namespace trelmo::testing {

inline std::string boardHeader(const std::string& clearances = ".008,.008,.008") {
  return "TRELMO Version 4.0 -- Data File.\n\nSetup parameters:\n-gc.012,.012," + clearances +
         ",.01,.005,,,3\n-gz0,0\n\nLayer/color/plot/type/sequence/name table:\n-y3\n"
         "-y0:00C0C0C0,00000000,2,0,Pad Master\n-y1:00FFFFFF,00000000,0,1,Top Silk\n"
         "-y3:00E04040,00000000,2,3,Top Copper\n-y4:00E04040,00000000,3,4,Ground Plane\n"
         "-y6:00E04040,00000000,6,6,Wires\n-y12:004080E0,00000000,2,12,Bottom Copper\n"
         "-y255:00FFFF00,01000000,7,255,Ratnest\n\nPrimary Data File:\n";
}

struct NetBoard {
  ScriptedHost host;
  Context ctx{host};
  TempDir dir;

  NetBoard() {
    loadMessageTable(ctx);
    installEditFunctions(ctx);
    installNetFunctions(ctx);
    ctx.shell.startupPhase = 3;
    ctx.shell.prefs.displayLogs = false;
  }
  // Opens a board of these item lines (a data file's body).
  bool load(const std::string& items, const std::string& clearances = ".008,.008,.008") {
    const std::string path = dir.file("board.pcb");
    std::ofstream(path, std::ios::binary) << boardHeader(clearances) << items << "\nEND OF FILE\n";
    return openFileByName(ctx, path, 0);
  }
  bool example(const std::string& name) { return openFileByName(ctx, dir.example(name), 0); }

  void cursor(double x, double y) {
    ctx.view.cursorX = static_cast<int32_t>(x * 65536 + (x < 0 ? -0.5 : 0.5));
    ctx.view.cursorY = static_cast<int32_t>(y * 65536 + (y < 0 ? -0.5 : 0.5));
  }
  void run(char member) { executeFunction(ctx, fc('N', member), kFromMacro); }

  // The n-th item of a type in list order (components included).
  Handle nth(uint8_t type, int n = 0) {
    Connectivity net(ctx);
    for (int i = 0; i < net.index().size(); ++i) {
      const Handle h = net.index()[i].item;
      if (ctx.rec(h).type() == type && n-- == 0) return h;
    }
    return kNull;
  }
  int hilightedCount() {
    Connectivity net(ctx);
    int n = 0;
    for (int i = 0; i < net.index().size(); ++i) n += ctx.rec(net.index()[i].item).hilighted();
    return n;
  }
  std::string current() { return signalName(ctx, ctx.nets.currentSignal); }
  std::string lastStatus() const { return host.status.empty() ? std::string() : host.status.back(); }
  std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

// Item lines of a component with pads "PIN" or "PIN SIGNAL" 0.1 inch apart
// from (x, 0).
inline std::string componentLines(const std::string& pattern, const std::string& ref, const std::string& value,
                                  double x, const std::vector<std::string>& pads, const std::string& modifier = "") {
  std::ostringstream s;
  s << std::fixed << std::setprecision(3) << "6 1 0 " << x << " 0 " << x + 0.1 * static_cast<double>(pads.size())
    << " .1 " << pattern << '\x7f' << ref << '\x7f' << value << '\x7f' << modifier << "\n";
  double px = x;
  for (const std::string& p : pads) {
    s << "3 0 1 " << px << " 0 .065 .065 .035 0 " << p << "\n";
    px += 0.1;
  }
  s << "0 6 0 " << x << " 0\n";
  return s.str();
}

inline int32_t inches(double v) { return static_cast<int32_t>(v * 65536 + (v < 0 ? -0.5 : 0.5)); }

}  // namespace trelmo::testing

namespace trelmo::testing {

// Items made directly, in world units, for tests at the unit.
inline Handle addLine(Context& ctx, int layer, int width, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                      const std::string& signal = "") {
  const Handle h = createItem(ctx.pool, ctx.current, kLine, static_cast<uint8_t>(layer), static_cast<uint16_t>(width),
                              x1, y1, x2, y2, kNull);
  if (!signal.empty()) attachSignal(ctx, h, signal);
  return h;
}
inline Handle addPad(Context& ctx, int layer, int type, int32_t x, int32_t y, int size, int hole,
                     const std::string& signal = "") {
  const Handle h = createItem(ctx.pool, ctx.current, kPad, static_cast<uint8_t>(layer), static_cast<uint16_t>(type), x,
                              y, 0, 0, kNull);
  item::setPad(ctx.rec(h), static_cast<uint16_t>(size), static_cast<uint16_t>(size), static_cast<uint16_t>(hole), 0);
  if (!signal.empty()) attachSignal(ctx, h, signal);
  return h;
}

}  // namespace trelmo::testing
