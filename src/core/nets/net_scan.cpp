#include "nets/net_scan.h"

#include <algorithm>
#include <vector>

#include "context.h"
#include "database/signals.h"
#include "edit/undo.h"
#include "nets/ratsnest.h"
#include "screen/draw_items.h"
#include "screen/view.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

std::string nameOf(const Context& ctx, Handle s) { return s != kNull ? signalName(ctx, s) : std::string(); }

}  // namespace

void reportAt(Context& ctx, Handle item, const std::string& text) {
  const Record& r = ctx.rec(item);
  View& v = ctx.view;
  v.cursorX = r.x1, v.cursorY = r.y1;
  updateCursorPixel(v);
  if (!cursorInsideMargins(v)) centreOnCursor(v);
  ctx.host->redrawView();
  if (ctx.screen.surface.valid()) {
    drawMarker(ctx, ctx.screen.markerPixel, r.x1, r.y1);
    ctx.host->showSurface();
  }
  showStatus(ctx, text, 0);
}

int netScan(Context& ctx, Connectivity& net, UndoTransaction& undo, int layer, int32_t x, int32_t y, bool clearAll) {
  net.clearReached();
  if (clearAll) clearHilight(ctx);
  int result = net.flood(layer, kPickTolerance, x, y);
  if (result < 1) return result;
  if (ctx.nets.currentSignal != kNull) unratnest(ctx, undo, ctx.nets.currentSignal, &net);
  bool extra = false;
  for (;;) {
    const Handle signal = ctx.nets.currentSignal;
    if (net.crossLink() != kNull) {
      reportAt(ctx, net.crossLink(),
               "Signal <" + nameOf(ctx, signal) + "> is crosslinked to signal <" +
                   nameOf(ctx, signalOf(ctx, net.crossLink())) + ">.");
      return 1;
    }
    if (net.unknownPin() != kNull) {
      reportAt(ctx, net.unknownPin(), "Signal <" + nameOf(ctx, signal) + "> is linked to unknown pins.");
      return 1;
    }
    if (signal == kNull) break;
    net.applySignal(signal, &undo);
    Handle from = kNull, to = kNull;
    if (!net.nearestUnreached(signal, from, to)) break;
    const Record& a = ctx.rec(from);
    const Record& b = ctx.rec(to);
    const Handle line = addRatLine(ctx, undo, signal, a.x1, a.y1, b.x1, b.y1);
    if (line != kNull) net.itemAdded(line);
    extra = true;
    result = net.flood(b.layer, kPickTolerance, b.x1, b.y1);
    if (result < 0) return -1;
    if (result == 0) break;
    if (ctx.nets.currentSignal == kNull) ctx.nets.currentSignal = signal;
  }
  ctx.host->redrawView();
  if (extra) {
    showStatus(ctx, "Signal <" + nameOf(ctx, ctx.nets.currentSignal) + "> is not completely routed.", 0);
    return 1;
  }
  if (net.padOverlapCheck(undo, nullptr) > 0) {
    showMessage(ctx, 0x946);
    return 1;
  }
  if (net.clearanceCheck(nullptr) > 0) {
    showMessage(ctx, 0x945);
    return 1;
  }
  return 0;
}

int netScanAtCursor(Context& ctx) {
  if (ctx.current == kNull) return 0;
  UndoTransaction undo(ctx);
  Connectivity net(ctx);
  const int faults = netScan(ctx, net, undo, ctx.params.currentLayer & 255, ctx.view.cursorX, ctx.view.cursorY);
  ctx.host->redrawView();
  return faults;
}

int netScanStep(Context& ctx, int direction) {
  if (ctx.current == kNull) return 0;
  const std::vector<Handle> signals = signalList(ctx);
  const auto at = std::find(signals.begin(), signals.end(), ctx.nets.currentSignal);
  long i;
  if (at == signals.end())
    i = direction > 0 ? 0 : static_cast<long>(signals.size()) - 1;
  else
    i = (at - signals.begin()) + (direction > 0 ? 1 : -1);
  UndoTransaction undo(ctx);
  clearHilight(ctx);
  Connectivity net(ctx);
  for (; i >= 0 && i<static_cast<long>(signals.size()); i += direction> 0 ? 1 : -1) {
    const Handle pad = net.firstPad(signals[i]);
    if (pad == kNull) continue;
    const Record& r = ctx.rec(pad);
    const int faults = netScan(ctx, net, undo, r.layer, r.x1, r.y1, false);
    if (faults != 0) {
      ctx.nets.currentSignal = signals[i];
      ctx.host->redrawView();
      return faults;
    }
  }
  net.clearReached();
  clearHilight(ctx);
  ctx.host->redrawView();
  return 0;
}

}  // namespace trelmo
