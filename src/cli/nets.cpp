// trelmo-cli drc and ratsnest: the net scan log and the rat-nest of a board.
#include <cstdio>

#include "cli/commands.h"
#include "files/writer.h"
#include "nets/net_functions.h"
#include "nets/net_scan.h"
#include "nets/ratsnest.h"
#include "shell/messages.h"

namespace trelmo::cli {

namespace {

// Takes "-o PATH" (or "--output PATH") out of args; false when it has no value.
bool takeOutput(std::vector<std::string>& args, std::string& out) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "-o" && args[i] != "--output") continue;
    if (i + 1 >= args.size()) return false;
    out = args[i + 1];
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    return true;
  }
  return true;
}

}  // namespace

int drc(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  std::string out = "-";
  char hint = 0;
  ReportingHost host;
  if (!takeOutput(args, out) || out.empty() || !takeHint(args, hint) || !host.takeScript(args) || args.size() != 1) {
    std::fprintf(stderr, "Usage: trelmo-cli drc FILE [-o LOG] [--hint C] %s\n", kScriptUsage);
    return kUsageError;
  }
  Context ctx(host);
  loadMessageTable(ctx);
  installNetFunctions(ctx);
  char format = 0;
  if (!openScripted(ctx, host, args[0], hint, format)) return kFileError;
  ScanLogOptions options;
  options.path = out;
  const ScanLogResult r = netScanLog(ctx, options);
  if (!r.written || !r.closed) {
    std::fprintf(stderr, "trelmo-cli: cannot write the log %s\n", out.c_str());
    return kFileError;
  }
  std::fprintf(stderr, "drc: %d net%s scanned, %d error%s\n", r.nets, r.nets == 1 ? "" : "s", r.errors,
               r.errors == 1 ? "" : "s");
  return r.errors > 0 ? kFaultsFound : kDone;
}

int ratsnest(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  std::string out;
  char hint = 0;
  ReportingHost host;
  if (!takeOutput(args, out) || out.empty() || !takeHint(args, hint) || !host.takeScript(args) || args.size() != 1) {
    std::fprintf(stderr, "Usage: trelmo-cli ratsnest IN -o OUT [--hint C] %s\n", kScriptUsage);
    return kUsageError;
  }
  Context ctx(host);
  loadMessageTable(ctx);
  installNetFunctions(ctx);
  char format = 0;
  if (!openScripted(ctx, host, args[0], hint, format)) return kFileError;
  ratsnest(ctx, true);
  FileFailure why;
  if (!writeDesignFile(ctx, out, 'C', why)) {
    std::fprintf(stderr, "trelmo-cli: cannot write %s: %s\n", out.c_str(), why.reason.c_str());
    return kFileError;
  }
  return kDone;
}

}  // namespace trelmo::cli
