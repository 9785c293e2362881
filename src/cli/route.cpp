// trelmo-cli route: the autorouter on a board, headless.
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "cli/commands.h"
#include "files/writer.h"
#include "nets/log_writer.h"
#include "nets/net_functions.h"
#include "router/router_functions.h"
#include "shell/messages.h"

namespace trelmo::cli {

namespace {

constexpr const char* kRouteUsage =
    "Usage: trelmo-cli route IN -o OUT [--passes LIST] [--log LOG] [--direction LAYER=x|y|both|none]...\n"
    "                        [--hint C] [SCRIPT]\n"
    "LIST: all, or names joined by commas: clear, straight, bus, inline, l, z, c, snake (z and c: the maze\n"
    "pass; snake: the maze pass with rip-up and retry), or the pass set as a number.\n";

bool parsePasses(const std::string& text, uint32_t& out) {
  static const char* kNames[] = {"clear", "straight", "bus", "inline", "l", "z", "c", "snake"};
  if (text == "all") return out = kAllPasses, true;
  char* end = nullptr;
  const unsigned long n = std::strtoul(text.c_str(), &end, 10);
  if (!text.empty() && *end == 0) return out = static_cast<uint32_t>(n & kAllPasses), true;
  out = 0;
  std::stringstream in(text);
  std::string name;
  while (std::getline(in, name, ',')) {
    bool known = false;
    for (uint32_t i = 0; i < 8; ++i)
      if (name == kNames[i] || (i == 4 && name == "L") || (i == 5 && name == "Z") || (i == 6 && name == "C"))
        out |= 1u << i, known = true;
    if (!known) return false;
  }
  return true;
}

struct Direction {
  int layer;
  int value;
};

bool parseDirection(const std::string& text, Direction& d) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos) return false;
  char* end = nullptr;
  const long layer = std::strtol(text.c_str(), &end, 10);
  if (end != text.c_str() + eq || layer < 1 || layer > 254) return false;
  const std::string v = text.substr(eq + 1);
  static const char* kValues[] = {"none", "x", "y", "both"};
  for (int i = 0; i < 4; ++i)
    if (v == kValues[i]) return d = {static_cast<int>(layer), i}, true;
  return false;
}

struct RouteArgs {
  std::string in, out, log;
  bool passesGiven = false;
  uint32_t passes = kAllPasses;
  std::vector<Direction> directions;
};

bool parseRoute(std::vector<std::string>& args, RouteArgs& a) {
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& s = args[i];
    const bool valued = s == "-o" || s == "--output" || s == "--passes" || s == "--log" || s == "--direction";
    if (!valued) {
      rest.push_back(s);
      continue;
    }
    if (i + 1 >= args.size()) return false;
    const std::string& v = args[++i];
    if (s == "-o" || s == "--output") a.out = v;
    if (s == "--log") a.log = v;
    if (s == "--passes" && !(a.passesGiven = parsePasses(v, a.passes))) return false;
    if (s == "--direction") {
      Direction d{};
      if (!parseDirection(v, d)) return false;
      a.directions.push_back(d);
    }
  }
  if (rest.size() != 1 || a.out.empty()) return false;
  a.in = rest[0];
  return true;
}

}  // namespace

int route(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  char hint = 0;
  ReportingHost host;
  RouteArgs a;
  if (!takeHint(args, hint) || !host.takeScript(args) || !parseRoute(args, a)) {
    std::fputs(kRouteUsage, stderr);
    return kUsageError;
  }
  Context ctx(host);
  loadMessageTable(ctx);
  installNetFunctions(ctx);
  installRouterFunctions(ctx);
  ctx.shell.prefs.displayLogs = false;
  char format = 0;
  if (!openScripted(ctx, host, a.in, hint, format)) return kFileError;
  for (const Direction& d : a.directions) {
    uint8_t& type = ctx.params.layers[d.layer].type;
    type = static_cast<uint8_t>((type & ~(3u << kRouteDirShift)) | (d.value << kRouteDirShift));
  }
  RouterOptions options;
  options.passes = a.passesGiven ? a.passes : (ctx.params.routerPasses & kAllPasses);
  if (options.passes == 0) options.passes = kAllPasses;
  options.logPath = a.log.empty() ? LogWriter::pathFor(a.out) : a.log;
  const RouterTotals t = autoroute(ctx, options);
  if (!t.logged) {
    std::fprintf(stderr, "trelmo-cli: cannot write the log %s\n", options.logPath.c_str());
    return kFileError;
  }
  FileFailure why;
  if (!writeDesignFile(ctx, a.out, 'C', why)) {
    std::fprintf(stderr, "trelmo-cli: cannot write %s: %s\n", a.out.c_str(), why.reason.c_str());
    return kFileError;
  }
  const double percent = t.ratLines ? 100.0 * t.routed / t.ratLines : 0.0;
  std::printf("route: %d of %d rat-lines routed (%.1f%%), %d left, %.3f s\n", t.routed, t.ratLines, percent, t.unrouted,
              static_cast<double>(t.milliseconds) / 1000.0);
  return kDone;
}

}  // namespace trelmo::cli
