// Netlist In, the nets: the design's signal names cleared, then every pad a
// net names given the net's signal; the summary of the pins no net reached.
#include <cctype>
#include <string>

#include "context.h"
#include "database/chains.h"
#include "database/signals.h"
#include "database/walk.h"
#include "edit/undo.h"
#include "nets/connectivity.h"
#include "nets/log_writer.h"
#include "nets/netlist_in_work.h"
#include "nets/shapes.h"
#include "output/report_text.h"

namespace trelmo {

namespace {

// A signal name ends at the first blank or control character and keeps 19
// characters.
std::string signalText(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (static_cast<unsigned char>(c) <= ' ' || out.size() >= static_cast<size_t>(kSignalNameMax)) break;
    out.push_back(c);
  }
  return out;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// A pin of digits only is a pin number (1024 and above count as 0); -1 for
// a pin name.
long pinNumber(const std::string& pin) {
  if (pin.empty() || pin.find_first_not_of("0123456789") != std::string::npos) return -1;
  if (pin.size() > 6) return 0;
  const long n = std::stol(pin);
  return n >= static_cast<long>(kFirstHandle) ? 0 : n;
}

bool pinMatches(const Context& ctx, Handle pad, const std::string& pin, long number) {
  const uint32_t ref = item::padPin(ctx.rec(pad));
  if (number >= 0) return ref < kFirstHandle && static_cast<long>(ref) == number;
  return ref >= kFirstHandle && pinName(ctx, pad) == pin;
}

}  // namespace

void NetlistWork::clearSignals() {
  clearHilight(ctx_);
  const bool schematic = ctx_.params.isSchematic();
  Handle cursor = ctx_.current;
  while (anyItem(ctx_.pool, cursor) != 0) {
    Record& r = ctx_.rec(cursor);
    const bool pad = r.type() == kPad;
    const bool carrier = pad || (r.type() == kLine && r.size > 0) || (r.type() == kArc && item::radius(r) >= 1);
    if (!carrier || (pad && throughHole(r) && item::padType(r) == 0 && r.layer != 0)) continue;
    const bool back = pad && !schematic && throughHole(r) && item::padType(r) <= 2 && r.layer != 0;
    const bool named = signalOf(ctx_, cursor) != kNull;
    if (!named && !back) continue;
    undo_.modified(cursor);
    if (named) releaseExtension(ctx_, cursor);
    if (back) ctx_.rec(cursor).layer = 0;
  }
}

int NetlistWork::matchLayer(const std::string& name) {
  for (int n = 1; n < 256; ++n) {
    const LayerEntry& e = ctx_.layer(n);
    if (!e.unused() && sameName(e.name, name)) return n;
  }
  return 0;
}

void NetlistWork::net(const NetlistNet& n) {
  const std::string signal = signalText(n.name);
  if (signal.empty()) return;
  const int layer = matchLayer(signal);
  if (layer > 0) message(n.line, {}, kSignalLayerMatch, signal);
  for (const auto& [ref, pin] : n.nodes) {
    ++nodes_;
    node(n, signal, layer, ref, pin);
  }
}

void NetlistWork::node(const NetlistNet& n, const std::string& signal, int layer, const std::string& ref,
                       const std::string& pin) {
  if (unknown_.contains(ref)) return;
  const auto it = byReference_.find(ref);
  if (it == byReference_.end() || it->second.empty()) {
    message(n.line, {}, kComponentNotFound, ref);
    unknown_.insert(ref);
    return;
  }
  const long number = pinNumber(pin);
  const std::string name = ref + "-" + pin;
  bool matched = false;
  for (Handle header : it->second)
    for (Handle pad : componentPads(ctx_, header)) {
      if (!pinMatches(ctx_, pad, pin, number)) continue;
      matched = true;
      const Handle old = signalOf(ctx_, pad);
      undo_.modified(pad);
      attachSignal(ctx_, pad, signal);
      Record& r = ctx_.rec(pad);
      if (layer > 0 && throughHole(r)) r.layer = static_cast<uint8_t>(layer);
      if (old != kNull && old != signalOf(ctx_, pad)) message(n.line, {}, kPinCrosslinked, name);
    }
  if (!matched) message(n.line, {}, kPinNotFound, name);
}

void NetlistWork::summary() {
  log_.line("");
  log_.line("Summary:");
  log_.line("");
  for (const ReportComponent& c : designComponents(ctx_)) {
    std::vector<Handle> pins;
    for (Handle pad : componentPads(ctx_, c.header))
      if (item::padPin(ctx_.rec(pad)) != 0) pins.push_back(pad);
    if (pins.empty()) continue;
    std::vector<Handle> unlinked;
    for (Handle pad : pins)
      if (signalOf(ctx_, pad) == kNull) unlinked.push_back(pad);
    if (unlinked.size() == pins.size()) {
      message(0, "Warning:", kUnusedComponent, c.reference());
      continue;
    }
    for (Handle pad : unlinked) message(0, "Warning:", kUnlinkedPin, c.reference() + "-" + pinName(ctx_, pad));
  }
}

}  // namespace trelmo
