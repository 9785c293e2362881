// Small boards for the autorouter: Top Copper (layer 3) routes along X,
// Bottom Copper (12) along Y unless told otherwise; tracks .012, clearances
// .008, vias .04 with a .02 drill.
#pragma once
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "context.h"
#include "edit/undo.h"
#include "files/writer.h"
#include "nets/connectivity.h"
#include "nets/net_functions.h"
#include "nets/net_scan.h"
#include "router/autoroute.h"
#include "router/router_functions.h"
#include "shell/file_functions.h"
#include "shell/messages.h"
#include "shell/scripted_host.h"

namespace trelmo::testing {

inline std::string routerHeader(int topType = 18, int bottomType = 42) {
  return "TRELMO Version 4.0 -- Data File.\n\nSetup parameters:\n-gc.012,.012,.008,.008,.008,.01,.005,,,3\n-gz0,0\n"
         "\nItem parameters:\n-il.012\n-iv0,.04,.02\n\nLayer/color/plot/type/sequence/name table:\n-y3\n"
         "-y0:00C0C0C0,00000000,2,0,Pad Master\n-y1:00FFFFFF,00000000,0,1,Top Silk\n"
         "-y3:00E04040,00000000," +
         std::to_string(topType) + ",3,Top Copper\n-y12:004080E0,00000000," + std::to_string(bottomType) +
         ",12,Bottom Copper\n-y255:00FFFF00,01000000,7,255,Ratnest\n\nPrimary Data File:\n";
}

// A through-hole pad line of the data file (round, .065, drill .035);
// positions in inches.
inline std::string pad(double x, double y, const std::string& signal) {
  char line[96];
  std::snprintf(line, sizeof line, "3 0 1 %.5f %.5f .065 .065 .035 0 0 %s\n", x, y, signal.c_str());
  return line;
}

struct RouterBoard {
  ScriptedHost host;
  Context ctx{host};
  TempDir dir;

  RouterBoard() {
    loadMessageTable(ctx);
    installNetFunctions(ctx);
    installRouterFunctions(ctx);
    ctx.shell.startupPhase = 3;
    ctx.shell.prefs.displayLogs = false;
  }
  bool load(const std::string& items, int topType = 18, int bottomType = 42) {
    return loadText(routerHeader(topType, bottomType) + items + "\nEND OF FILE\n");
  }
  bool loadText(const std::string& text) {
    const std::string path = dir.file("board.pcb");
    std::ofstream(path, std::ios::binary) << text;
    return openFileByName(ctx, path, 0);
  }
  RouterTotals route(uint32_t passes, const RouterLink& link = {}) {
    RouterOptions o;
    o.passes = passes;
    o.date = "01/02/03";
    o.clock = [] { return int64_t{0}; };
    return autoroute(ctx, o, link);
  }
  // Top-level items of a type on a layer (-1: any layer).
  int count(uint8_t type, int layer = -1) const {
    int n = 0;
    for (Handle h = ctx.rec(ctx.current).next; h != ctx.current; h = ctx.rec(h).next)
      n += ctx.rec(h).type() == type && (layer < 0 || ctx.rec(h).layer == layer);
    return n;
  }
  std::string saved() {
    const std::string path = dir.file("saved.pcb");
    FileFailure why;
    if (!writeDesignFile(ctx, path, 'C', why)) return {};
    return readFile(path);
  }
  // The net scan log's faults: 0 when every net is whole and clear.
  int scanErrors() {
    ScanLogOptions o;
    o.path = dir.file("scan.LOG");
    return netScanLog(ctx, o).errors;
  }
  // The net scan log's lines about clearances, cross-links, duplicate vias
  // and drills.
  int copperFaults() {
    scanErrors();
    std::istringstream log(readFile(dir.file("scan.LOG")));
    int n = 0;
    for (std::string line; std::getline(log, line);)
      for (const char* word : {"Clearance from", "Crosslinked", "Duplicate pad", "Drill hole", "unsignaled"})
        n += line.find(word) != std::string::npos;
    return n;
  }
  std::string readFile(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

}  // namespace trelmo::testing
