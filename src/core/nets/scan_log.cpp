// Net Scan Log (NG): every signal's faults written to the log.
#include <cstdio>

#include "context.h"
#include "database/signals.h"
#include "edit/undo.h"
#include "nets/log_writer.h"
#include "nets/net_scan.h"

namespace trelmo {

namespace {

std::string inches3(int32_t v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f\"", static_cast<double>(v) / kInch);
  return buf;
}

}  // namespace

ScanLogResult netScanLog(Context& ctx, const ScanLogOptions& options) {
  ScanLogResult result;
  if (ctx.current == kNull) return result;
  LogWriter log(ctx);
  log.date = options.date;
  if (!log.open("NETSCAN ERROR LOG", 79, options.path)) return result;
  result.written = true;
  const std::string rule(79, '-');
  log.line(rule);
  log.line("SOURCE SIGNAL           TARGET SIGNAL           WARNING/ERROR MESSAGE");
  log.line(rule);
  log.line("");
  clearHilight(ctx);
  {
    UndoTransaction undo(ctx);
    Connectivity net(ctx, options.search);
    for (Handle signal : signalList(ctx)) {
      const Handle pad = net.firstPad(signal);
      if (pad == kNull) continue;
      ++result.nets;
      const std::string source = signalName(ctx, signal);
      const FaultLog write = [&](const std::string& target, const std::string& message) {
        log.line(logColumns(source, target, message));
      };
      auto fault = [&](const std::string& target, const std::string& message) {
        write(target, message);
        ++result.errors;
      };
      const Record& p = ctx.rec(pad);
      int flooded = net.flood(p.layer, kPickTolerance, p.x1, p.y1);
      bool stop = flooded < 1;
      while (!stop) {
        if (net.crossLink() != kNull) {
          const Handle other = signalOf(ctx, net.crossLink());
          fault(other != kNull ? signalName(ctx, other) : std::string(),
                "Crosslinked to " + net.describe(net.crossLink()) + " -- DRC aborted");
          break;
        }
        if (net.unknownPin() != kNull) {
          for (Handle h : net.reached()) {
            const Record& r = ctx.rec(h);
            const uint8_t code = item::padType(r) & 3;
            if (r.type() == kPad && r.hilighted() && !r.hidden() && signalOf(ctx, h) == kNull &&
                (code == 1 || code == 2) && net.index().ordinalOf(h) >= 0 &&
                !net.index()[net.index().ordinalOf(h)].dead)
              fault("", "Linked to unsignaled " + net.describe(h));
          }
        }
        net.applySignal(signal, &undo);
        Handle from = kNull, to = kNull;
        if (net.nearestUnreached(signal, from, to)) {
          fault("", "Discontinuity from " + net.describe(from) + " to " + net.describe(to));
          const Record& t = ctx.rec(to);
          flooded = net.flood(t.layer, kPickTolerance, t.x1, t.y1);
          stop = flooded < 1;
          continue;
        }
        result.errors += net.padOverlapCheck(undo, &write);
        result.errors += net.clearanceCheck(&write);
        break;
      }
      net.clearReached();
      if (stop) break;
    }
    clearHilight(ctx);
    undo.redrawAll();
  }
  const Params& par = ctx.params;
  log.line("");
  log.line("Minimum NetScan Clearance Parameters");
  log.line("Line to Line: " + inches3(par.lineToLine));
  log.line("Line to Pad:  " + inches3(par.lineToPad));
  log.line("Pad to Pad:   " + inches3(par.padToPad));
  log.line("");
  const int n = result.nets, e = result.errors;
  log.line(std::to_string(n) + " net" + (n != 1 ? "s" : "") + " scanned, " + (e ? std::to_string(e) : "no") + " error" +
           (e != 1 ? "s" : "") + " detected.");
  log.line("\f");
  result.closed = log.close();
  return result;
}

}  // namespace trelmo
