// Netlist Out: the parts list and the net list, in our own fixed-column form
// or the bracketed Protel/Tango form; netlist input reads both back.
#include <string>
#include <unordered_map>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/design_files.h"
#include "database/signals.h"
#include "nets/connectivity.h"
#include "output/report_functions.h"
#include "output/report_text.h"

namespace trelmo {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string upToDash(const std::string& ref) { return ref.substr(0, ref.find('-')); }

std::string referenceKey(const ReportComponent& c) { return c.reference().substr(0, 24); }

// Components with a reference ID, by it (first 24 characters).
std::vector<ReportComponent> sortedComponents(const Context& ctx) {
  std::vector<ReportComponent> list;
  for (ReportComponent& c : designComponents(ctx))
    if (!c.reference().empty()) list.push_back(std::move(c));
  sortByKey(list, referenceKey);
  return list;
}

// "U1-3": the reference (a gate letter "a" to "t" after a digit dropped),
// then "-" and the pin unless the reference already has a "-" and the pad
// no pin.
std::string nodeText(const Context& ctx, const std::string& ref, Handle pad) {
  std::string node = ref;
  const size_t n = node.size();
  if (n >= 2 && node[n - 1] >= 'a' && node[n - 1] <= 't' && isDigit(node[n - 2])) node.pop_back();
  if (item::padPin(ctx.rec(pad)) != 0 || ref.find('-') == std::string::npos) node += "-" + pinName(ctx, pad);
  return node;
}

// The nodes of every signal: component by component in sorted order, pads
// in ring order.
std::unordered_map<Handle, std::vector<std::string>> nodesBySignal(const Context& ctx,
                                                                   const std::vector<ReportComponent>& sorted) {
  std::unordered_map<Handle, std::vector<std::string>> nodes;
  for (const ReportComponent& c : sorted)
    for (Handle pad : componentPads(ctx, c.header)) {
      const Handle s = signalOf(ctx, pad);
      if (s != kNull) nodes[s].push_back(nodeText(ctx, c.reference(), pad));
    }
  return nodes;
}

bool written(const std::string& name, size_t nodes, bool unconnected) {
  return nodes > 0 && (unconnected || nodes > 1 || !name.starts_with('$'));
}

void partsList(const Context& ctx, const std::vector<ReportComponent>& sorted, const NetlistOptions& o,
               ReportText& out) {
  const bool schematic = ctx.params.isSchematic();
  out.line(titleLine(schematic ? "SCHEMATIC PARTS LIST" : "PCB PARTS LIST", designName(ctx), 109, o.date));
  out.line("");
  out.line(
      "--- NAME ---    ----------------------------------------"
      "---- PARAMETERS ---------------------------------------------");
  out.line("");
  out.line("");
  for (const ReportComponent& c : sorted) {
    const ComponentFields& f = c.fields;
    if (c.reference().starts_with('-') || f[kPatternField].empty()) continue;
    std::string line = upToDash(c.reference());
    putAt(line, 16, f[kAlternateField].empty() ? "?" : f[kAlternateField]);
    putAt(line, 42, f[kValueField].empty() ? "?" : f[kValueField]);
    putAt(line, 68, f[kModifierField]);
    putAt(line, 94, f[kPatternField]);
    out.line(line);
  }
}

// One net: the name, then the nodes from column 16, each followed by a blank
// and, when fewer than four reach it, blanks up to the next multiple of 8;
// a node that would start past column 80 begins a new line.
void netLines(const std::string& name, const std::vector<std::string>& nodes, ReportText& out) {
  std::string line = name;
  size_t column = std::max<size_t>(16, name.size() + 1);
  for (const std::string& node : nodes) {
    if (column > 80) {
      out.line(line);
      line.clear();
      column = 16;
    }
    putAt(line, column, node);
    column += node.size() + 1;
    const size_t pad = (8 - column % 8) % 8;
    if (pad < 4) column += pad;
  }
  out.line(line);
  out.line("");
}

void netList(const Context& ctx, const std::vector<ReportComponent>& sorted, const NetlistOptions& o, ReportText& out) {
  out.formFeed();
  out.line(
      titleLine(ctx.params.isSchematic() ? "SCHEMATIC NET LIST" : "PCB SIGNALS NET LIST", designName(ctx), 72, o.date));
  out.line("");
  out.line("--- NAME ---    ---------------------------- NODES ----------------------------");
  out.line("");
  out.line("");
  const auto nodes = nodesBySignal(ctx, sorted);
  for (Handle s : signalList(ctx)) {
    const auto it = nodes.find(s);
    const std::string name = signalName(ctx, s);
    if (it == nodes.end() || !written(name, it->second.size(), o.unconnected)) continue;
    netLines(name, it->second, out);
  }
  out.line("");
  out.line("END OF FILE");
}

void bracketed(const Context& ctx, const std::vector<ReportComponent>& sorted, const NetlistOptions& o,
               ReportText& out) {
  for (const ReportComponent& c : sorted) {
    const ComponentFields& f = c.fields;
    const std::string& pattern = f[kAlternateField].empty() ? f[kPatternField] : f[kAlternateField];
    const std::string ref = upToDash(c.reference());
    if (pattern.empty() || ref.empty()) continue;
    for (const std::string& s : {std::string("["), ref, pattern, f[kValueField], std::string(), std::string(),
                                 std::string(), std::string("]")})
      out.line(s);
  }
  const auto nodes = nodesBySignal(ctx, sorted);
  for (Handle s : signalList(ctx)) {
    const auto it = nodes.find(s);
    const std::string name = signalName(ctx, s);
    if (it == nodes.end() || !written(name, it->second.size(), o.unconnected)) continue;
    out.line("(");
    out.line(name);
    for (const std::string& node : it->second) out.line(node);
    out.line(")");
  }
}

}  // namespace

std::string netlistText(const Context& ctx, const NetlistOptions& options) {
  NetlistOptions o = options;
  if (o.date.empty()) o.date = todayText();
  const std::vector<ReportComponent> sorted = sortedComponents(ctx);
  ReportText out;
  if (o.bracketed) {
    bracketed(ctx, sorted, o, out);
  } else {
    partsList(ctx, sorted, o, out);
    netList(ctx, sorted, o, out);
  }
  return out.bytes();
}

ReportStatus writeNetlist(Context& ctx, const NetlistOptions& options) {
  if (!completeSignals(ctx)) return ReportStatus::kStopped;
  const std::string text = netlistText(ctx, options);
  ctx.host->redrawView();
  return writeReportFile(options.path, text) ? ReportStatus::kWritten : ReportStatus::kFileError;
}

std::string netlistPath(const Context& ctx) {
  const std::string path = ctx.current != kNull ? filePath(ctx, ctx.current) : std::string();
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string ext = hasExtension ? path.substr(dot + 1) : std::string();
  const size_t n = ext.size();
  std::string extension = ".NET";
  if (n >= 2 && isDigit(ext[n - 1]) && isDigit(ext[n - 2]))
    extension = ".N" + ext.substr(n - 2);
  else if (n >= 1 && isDigit(ext[n - 1]))
    extension = ".NT" + ext.substr(n - 1);
  return reportPath(ctx, extension);
}

}  // namespace trelmo
