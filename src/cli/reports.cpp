// trelmo-cli netlist, bom and pinlist: the text reports of a design.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "output/report_functions.h"
#include "shell/messages.h"

namespace trelmo::cli {

namespace {

// Takes "NAME VALUE" out of args; false when the name has no value.
bool takeValue(std::vector<std::string>& args, const char* name, std::string& value) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != name) continue;
    if (i + 1 >= args.size()) return false;
    value = args[i + 1];
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    return true;
  }
  return true;
}

// Takes a flag out of args; true when it was there.
bool takeFlag(std::vector<std::string>& args, const char* name) {
  for (size_t i = 0; i < args.size(); ++i)
    if (args[i] == name) {
      args.erase(args.begin() + static_cast<long>(i));
      return true;
    }
  return false;
}

// "IN -o OUT [--hint C] [SCRIPT]" once the command's own options are taken:
// opens IN and runs the job with OUT.
template <class Job>
int onDesign(std::vector<std::string> args, const char* usage, Job job) {
  std::string out;
  char hint = 0;
  ReportingHost host;
  if (!takeValue(args, "-o", out) || !takeValue(args, "--output", out) || out.empty() || !takeHint(args, hint) ||
      !host.takeScript(args) || args.size() != 1) {
    std::fprintf(stderr, "Usage: trelmo-cli %s [--hint C] %s\n", usage, kScriptUsage);
    return kUsageError;
  }
  Context ctx(host);
  loadMessageTable(ctx);
  char format = 0;
  if (!openScripted(ctx, host, args[0], hint, format)) return kFileError;
  return job(ctx, out);
}

int finished(ReportStatus status, const std::string& out) {
  switch (status) {
    case ReportStatus::kWritten:
      return kDone;
    case ReportStatus::kFileError:
      std::fprintf(stderr, "trelmo-cli: cannot write %s\n", out.c_str());
      return kFileError;
    default:
      return kFaultsFound;
  }
}

}  // namespace

int netlist(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  std::string form = "trelmo";
  const char* usage = "netlist IN -o OUT [--format trelmo|bracketed] [--unconnected]";
  if (!takeValue(args, "--format", form) || (form != "trelmo" && form != "bracketed")) {
    std::fprintf(stderr, "Usage: trelmo-cli %s [--hint C] %s\n", usage, kScriptUsage);
    return kUsageError;
  }
  const bool unconnected = takeFlag(args, "--unconnected");
  return onDesign(args, usage, [&](Context& ctx, const std::string& out) {
    if (checkNetlistReferences(ctx) != 0) return kFaultsFound;
    NetlistOptions o;
    o.path = out;
    o.bracketed = form == "bracketed";
    o.unconnected = unconnected;
    return finished(writeNetlist(ctx, o), out);
  });
}

int bom(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  BillOptions o;
  o.csv = takeFlag(args, "--csv");
  o.ansi = takeFlag(args, "--ansi");
  return onDesign(args, "bom IN -o OUT [--csv] [--ansi]", [&](Context& ctx, const std::string& out) {
    o.path = out;
    return finished(writeBill(ctx, o), out);
  });
}

int pinlist(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  const bool wires = takeFlag(args, "--wires");
  return onDesign(args, "pinlist IN -o OUT [--wires]", [&](Context& ctx, const std::string& out) {
    PinListOptions o;
    o.path = out;
    return finished(wires ? writeWireList(ctx, o) : writePinList(ctx, o), out);
  });
}

}  // namespace trelmo::cli
