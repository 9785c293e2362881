// Pinlist Out and the signal wire list.
#include <cmath>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/signals.h"
#include "nets/connectivity.h"
#include "nets/shapes.h"
#include "output/report_functions.h"
#include "output/report_text.h"

namespace trelmo {

namespace {

const std::string kRule(80, '-');

struct PinAt {
  Handle pad;
  std::string name;  // "R1-2"
};

// Vias (pads of type 3 in the design's own ring) and through-hole pads of
// every kind, each by signal, in list order.
struct Landings {
  std::unordered_map<Handle, std::vector<Handle>> vias, holes;
};

Landings landings(const Context& ctx) {
  Landings out;
  const Handle ring = ctx.current;
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.hidden()) continue;
    if (r.type() == kComponent && ctx.pool.valid(r.ext)) {
      for (Handle pad : componentPads(ctx, h))
        if (throughHole(ctx.rec(pad)) && signalOf(ctx, pad) != kNull) out.holes[signalOf(ctx, pad)].push_back(pad);
      continue;
    }
    if (r.type() != kPad || signalOf(ctx, h) == kNull) continue;
    if (item::padType(r) == item::kRoundVia) out.vias[signalOf(ctx, h)].push_back(h);
    if (throughHole(r)) out.holes[signalOf(ctx, h)].push_back(h);
  }
  return out;
}

Handle nearest(const Context& ctx, const std::vector<Handle>& pads, const Record& from) {
  Handle best = kNull;
  double bestDistance = std::numeric_limits<double>::max();
  for (Handle h : pads) {
    const Record& r = ctx.rec(h);
    const double d = std::hypot(double(r.x1) - from.x1, double(r.y1) - from.y1);
    if (d < bestDistance) best = h, bestDistance = d;
  }
  return best;
}

std::string padKind(const Context& ctx, const Record& r) {
  if (throughHole(r)) return "THD";
  const char first = ctx.layer(r.layer).name[0];
  return first == 'T' ? "Top" : first == 'B' ? "Bot" : "SMD";
}

// The surface-mount pad's nearest via of its signal, else its nearest
// through-hole pad, at columns 60, 66 and 74.
void landingColumns(const Context& ctx, const Landings& l, const Record& pad, Handle signal, std::string& line) {
  const auto vias = l.vias.find(signal);
  Handle to = vias != l.vias.end() ? nearest(ctx, vias->second, pad) : kNull;
  if (to == kNull) {
    const auto holes = l.holes.find(signal);
    if (holes != l.holes.end()) to = nearest(ctx, holes->second, pad);
  }
  if (to == kNull) return;
  const Record& r = ctx.rec(to);
  putAt(line, 60, item::padType(r) == item::kRoundVia ? "VIA" : "PAD");
  putAt(line, 66, inchText(int64_t{r.x1} - ctx.params.zeroX));
  putAt(line, 74, inchText(int64_t{r.y1} - ctx.params.zeroY));
}

std::string pinNode(const Context& ctx, const std::string& ref, Handle pad) { return ref + "-" + pinName(ctx, pad); }

// The connections of one signal's pins: a shortest tree by |dX| + |dY|,
// each new pin joined from the nearest pin already in it.
void wireRows(const Context& ctx, const std::string& name, const std::vector<PinAt>& pins, ReportText& out) {
  if (pins.size() == 1) {
    std::string line = name;
    putAt(line, 16, pins[0].name);
    putAt(line, 60, "unconnected");
    out.line(line);
    return;
  }
  std::vector<bool> joined(pins.size(), false);
  joined[0] = true;
  for (size_t round = 1; round < pins.size(); ++round) {
    size_t from = 0, to = 0;
    int64_t best = std::numeric_limits<int64_t>::max();
    for (size_t a = 0; a < pins.size(); ++a) {
      if (!joined[a]) continue;
      const Record& A = ctx.rec(pins[a].pad);
      for (size_t b = 0; b < pins.size(); ++b) {
        if (joined[b]) continue;
        const Record& B = ctx.rec(pins[b].pad);
        const int64_t d = std::llabs(int64_t{A.x1} - B.x1) + std::llabs(int64_t{A.y1} - B.y1);
        if (d < best) best = d, from = a, to = b;
      }
    }
    joined[to] = true;
    const Record &A = ctx.rec(pins[from].pad), &B = ctx.rec(pins[to].pad);
    std::string line = name;
    putAt(line, 16, pins[from].name);
    putAt(line, 32, pins[to].name);
    putAt(line, 48, inchText(std::llround(std::hypot(double(A.x1) - B.x1, double(A.y1) - B.y1))));
    out.line(line);
  }
}

}  // namespace

std::string pinListText(const Context& ctx, const PinListOptions& options) {
  ReportText out;
  out.line(titleLine("COMPONENT PIN LIST", designName(ctx), 72, options.date.empty() ? todayText() : options.date));
  out.line(kRule);
  out.line("REF ID  PATTERN     PIN   TYPE  X POS   Y POS   SIGNAL      TYPE  X POS   Y POS");
  out.line(kRule);
  out.line("");
  const Landings l = landings(ctx);
  for (const ReportComponent& c : designComponents(ctx)) {
    const std::string& ref = c.reference();
    if (ref.empty() || ref[0] < 'A' || ref[0] > 'Z') continue;
    bool first = true;
    for (Handle pad : componentPads(ctx, c.header)) {
      const Record& r = ctx.rec(pad);
      if (item::padPin(r) == 0) continue;
      std::string line;
      if (first) {
        putAt(line, 0, ref);
        putAt(line, 8, c.fields[kPatternField]);
      }
      first = false;
      putAt(line, 20, pinName(ctx, pad));
      putAt(line, 26, padKind(ctx, r));
      putAt(line, 32, inchText(int64_t{r.x1} - ctx.params.zeroX));
      putAt(line, 40, inchText(int64_t{r.y1} - ctx.params.zeroY));
      const Handle signal = signalOf(ctx, pad);
      if (signal != kNull) {
        putAt(line, 48, signalName(ctx, signal));
        if (!throughHole(r)) landingColumns(ctx, l, r, signal, line);
      }
      out.line(line);
    }
    out.line("");
  }
  out.formFeed();
  return out.bytes();
}

std::string wireListText(const Context& ctx, const PinListOptions& options) {
  ReportText out;
  out.line(titleLine("SIGNAL WIRE LIST", designName(ctx), 72, options.date.empty() ? todayText() : options.date));
  out.line(kRule);
  out.line("SIGNAL          FROM-PIN        TO-PIN          LENGTH      REMARKS");
  out.line(kRule);
  out.line("");
  std::unordered_map<Handle, std::vector<PinAt>> pins;
  for (const ReportComponent& c : designComponents(ctx)) {
    if (c.reference().empty()) continue;
    for (Handle pad : componentPads(ctx, c.header)) {
      const Handle s = signalOf(ctx, pad);
      if (s != kNull) pins[s].push_back({pad, pinNode(ctx, c.reference(), pad)});
    }
  }
  for (Handle s : signalList(ctx)) {
    const auto it = pins.find(s);
    if (it != pins.end()) wireRows(ctx, signalName(ctx, s), it->second, out);
  }
  out.formFeed();
  return out.bytes();
}

ReportStatus writePinList(Context& ctx, const PinListOptions& options) {
  return writeReportFile(options.path, pinListText(ctx, options)) ? ReportStatus::kWritten : ReportStatus::kFileError;
}

ReportStatus writeWireList(Context& ctx, const PinListOptions& options) {
  return writeReportFile(options.path, wireListText(ctx, options)) ? ReportStatus::kWritten : ReportStatus::kFileError;
}

}  // namespace trelmo
