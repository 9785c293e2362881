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

// Reads "FILE [-o OUT] [--hint C] [SCRIPT]", opens FILE with the N family
// installed and runs the job on it; out is the default output.
template <class Job>
int onBoard(const std::vector<std::string>& argsIn, std::string out, const char* usage, Job job) {
  std::vector<std::string> args = argsIn;
  char hint = 0;
  ReportingHost host;
  if (!takeOutput(args, out) || out.empty() || !takeHint(args, hint) || !host.takeScript(args) || args.size() != 1) {
    std::fprintf(stderr, "Usage: trelmo-cli %s [--hint C] %s\n", usage, kScriptUsage);
    return kUsageError;
  }
  Context ctx(host);
  loadMessageTable(ctx);
  installNetFunctions(ctx);
  char format = 0;
  if (!openScripted(ctx, host, args[0], hint, format)) return kFileError;
  return job(ctx, out);
}

}  // namespace

int drc(const std::vector<std::string>& args) {
  return onBoard(args, "-", "drc FILE [-o LOG]", [](Context& ctx, const std::string& out) {
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
  });
}

int ratsnest(const std::vector<std::string>& args) {
  return onBoard(args, "", "ratsnest IN -o OUT", [](Context& ctx, const std::string& out) {
    ratsnest(ctx, true);
    FileFailure why;
    if (!writeDesignFile(ctx, out, 'C', why)) {
      std::fprintf(stderr, "trelmo-cli: cannot write %s: %s\n", out.c_str(), why.reason.c_str());
      return kFileError;
    }
    return kDone;
  });
}

}  // namespace trelmo::cli
