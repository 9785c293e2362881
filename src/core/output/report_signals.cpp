// Before a netlist is written: the reference check and the completion of the
// design's signal names.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/design_files.h"
#include "database/signals.h"
#include "edit/undo.h"
#include "nets/connectivity.h"
#include "nets/net_scan.h"
#include "nets/shapes.h"
#include "output/report_functions.h"
#include "output/report_text.h"
#include "screen/draw_items.h"
#include "screen/view.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Generated names count up from a base set by the design's extension: a
// sheet ending in a digit d starts at 100,000 + 10,000 d, one ending in two
// digits t d at 1,000,000 + 100,000 t + 10,000 d.
int64_t nameBase(const Context& ctx) {
  const std::string path = filePath(ctx, ctx.current);
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return 10000;
  const std::string ext = path.substr(dot + 1);
  const size_t n = ext.size();
  if (n >= 2 && isDigit(ext[n - 1]) && isDigit(ext[n - 2]))
    return 1000000 + 100000 * (ext[n - 2] - '0') + 10000 * (ext[n - 1] - '0');
  if (n >= 1 && isDigit(ext[n - 1])) return 100000 + 10000 * (ext[n - 1] - '0');
  return 10000;
}

// Whether the item loses its signal before the islands are named again.
bool losesName(const Context& ctx, const Record& r, Handle signal, bool schematic) {
  switch (r.type()) {
    case kLine:
      return r.size > 0;
    case kArc:
      return item::radius(r) >= 1;
    case kPad: {
      if (throughHole(r) && item::padType(r) == 0 && r.layer != 0) return false;
      return schematic || signalName(ctx, signal).starts_with('$');
    }
    default:
      return false;
  }
}

void removeOldNames(Context& ctx, Connectivity& net, UndoTransaction& undo) {
  const bool schematic = ctx.params.isSchematic();
  for (int i = 0; i < net.index().size(); ++i) {
    const Handle h = net.index()[i].item;
    const Handle signal = signalOf(ctx, h);
    if (signal == kNull || !losesName(ctx, ctx.rec(h), signal, schematic)) continue;
    undo.modified(h);
    releaseExtension(ctx, h);
  }
}

// Where a flood of an unnamed island starts: lines of some width on a
// conductive layer, through-hole pads (on every layer), surface-mount pads
// on a conductive layer. False for anything else.
bool islandSeed(const Context& ctx, const Record& r, int& layer, int& tolerance) {
  if (r.type() == kLine && r.size > 0 && conductiveLayer(ctx, r.layer)) {
    layer = r.layer, tolerance = r.size;
    return true;
  }
  if (r.type() != kPad) return false;
  tolerance = std::min(item::padX(r), item::padY(r));
  if (throughHole(r)) {
    layer = 0;
    return true;
  }
  layer = r.layer;
  return conductiveLayer(ctx, r.layer);
}

// Parallel, and b's ends on a's line within the coincidence tolerance.
bool segmentsColinear(const Record& a, const Record& b) {
  const double ax = double(a.w3) - a.x1, ay = double(a.w4) - a.y1;
  const double bx = double(b.w3) - b.x1, by = double(b.w4) - b.y1;
  const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
  if (la == 0 || lb == 0) return false;
  auto offset = [&](double x, double y) { return std::abs(ax * (y - a.y1) - ay * (x - a.x1)) / la; };
  return std::abs(ax * by - ay * bx) / (la * lb) < 1e-6 && offset(b.x1, b.y1) <= 4 && offset(b.w3, b.w4) <= 4;
}

bool endsMeet(const Record& a, const Record& b) {
  const double reach = (a.size + b.size) / 2.0;
  const int32_t ae[2][2] = {{a.x1, a.y1}, {a.w3, a.w4}}, be[2][2] = {{b.x1, b.y1}, {b.w3, b.w4}};
  for (const auto& p : ae)
    for (const auto& q : be)
      if (std::hypot(double(p[0]) - q[0], double(p[1]) - q[1]) <= reach) return true;
  return false;
}

// Two wires of the island that meet end to end in one straight line.
bool colinearWires(Context& ctx, const std::vector<Handle>& reached) {
  std::vector<Handle> wires;
  for (Handle h : reached) {
    const Record& r = ctx.rec(h);
    if (r.hilighted() && r.type() == kLine && r.size > 0) wires.push_back(h);
  }
  for (size_t i = 0; i < wires.size(); ++i)
    for (size_t j = i + 1; j < wires.size(); ++j) {
      const Record &a = ctx.rec(wires[i]), &b = ctx.rec(wires[j]);
      if (!endsMeet(a, b) || !segmentsColinear(a, b)) continue;
      clearHilight(ctx);
      ctx.rec(wires[i]).flags |= kHilight;
      ctx.rec(wires[j]).flags |= kHilight;
      reportAt(ctx, wires[i], "Two co-linear line segments have been detected.");
      return true;
    }
  return false;
}

// Every hilighted item without a signal that can carry one takes the
// island's signal: lines, arcs and pads through the connectivity, texts of
// schematic layers here.
void nameIsland(Context& ctx, Connectivity& net, Handle seed, Handle signal, UndoTransaction& undo) {
  if (signalOf(ctx, seed) != signal) {
    undo.modified(seed);
    attachSignal(ctx, seed, signalName(ctx, signal));
  }
  net.applySignal(signal, &undo);
  for (Handle h : net.reached()) {
    const Record& r = ctx.rec(h);
    if (!r.hilighted() || r.type() != kText || ctx.layer(r.layer).kind() != kSchematic) continue;
    if (r.ext != kNull) continue;
    undo.modified(h);
    attachSignal(ctx, h, signalName(ctx, signal));
  }
}

}  // namespace

int checkNetlistReferences(Context& ctx) {
  int sequence = 0;
  for (const ReportComponent& c : designComponents(ctx)) {
    ++sequence;
    const std::string& ref = c.reference();
    if (!ref.empty() && ref[0] >= 'A' && ref[0] <= 'Z') continue;
    if (ref.empty() && c.fields[kPatternField].starts_with('$')) continue;
    ctx.host->messageBox("Net List Error",
                         "A component has been encountered with a Reference ID\nfield that does not begin with a "
                         "upper case alphabetic\ncharacter.\n\nComponent sequence number:  " +
                             std::to_string(sequence) + "\nComponent Reference ID:  " + ref +
                             "\n\nUse the \"Edit Component\" function to correct this\ncondition.");
    return sequence;
  }
  return 0;
}

bool completeSignals(Context& ctx) {
  if (ctx.current == kNull) return false;
  int64_t base = nameBase(ctx);
  clearHilight(ctx);
  UndoTransaction undo(ctx);
  undo.redrawAll();
  Connectivity net(ctx);
  removeOldNames(ctx, net, undo);
  const bool schematic = ctx.params.isSchematic();
  for (int i = 0; i < net.index().size(); ++i) {
    const IndexEntry& e = net.index()[i];
    if (e.dead || signalOf(ctx, e.item) != kNull) continue;
    const Record& r = ctx.rec(e.item);
    int layer = 0, tolerance = 0;
    if (!islandSeed(ctx, r, layer, tolerance)) continue;
    const int flooded = net.flood(layer, tolerance, r.x1, r.y1);
    if (flooded < 0) return false;
    if (flooded == 0) continue;
    Handle signal = ctx.nets.currentSignal;
    if (net.crossLink() != kNull) {
      const Handle other = signalOf(ctx, net.crossLink());
      reportAt(ctx, net.crossLink(),
               "Signal <" + signalName(ctx, signal) + "> is crosslinked to signal <" +
                   (other != kNull ? signalName(ctx, other) : std::string()) + ">.");
      return false;
    }
    if (signal == kNull) {
      const std::string name = "$" + std::to_string(++base).substr(1);
      undo.modified(e.item);
      if (!attachSignal(ctx, e.item, name)) return false;
      signal = signalOf(ctx, e.item);
    }
    nameIsland(ctx, net, e.item, signal, undo);
    if (schematic && colinearWires(ctx, net.reached())) return false;
    net.clearReached();
  }
  ctx.nets.currentSignal = kNull;
  return true;
}

}  // namespace trelmo
