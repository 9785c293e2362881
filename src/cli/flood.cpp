// trelmo-cli flood, isolate and mill: flood fill, track isolation and the
// milling files of a board, in a rectangle given on the command line.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "cli/commands.h"
#include "files/writer.h"
#include "flood/flood_fill.h"
#include "flood/flood_functions.h"
#include "flood/isolation_boxes.h"
#include "flood/isolation_passes.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo::cli {

namespace {

struct MillOptions {
  std::string in, out, side = "both", thermal;
  double block[4] = {0, 0, 0, 0};
  bool haveBlock = false, hatch = false, gcode = false;
  int layer = -1;
  char hint = 0;
};

bool parseBlock(const std::string& text, MillOptions& o) {
  if (std::sscanf(text.c_str(), "%lf,%lf,%lf,%lf", &o.block[0], &o.block[1], &o.block[2], &o.block[3]) != 4)
    return false;
  for (const double v : o.block)
    if (!(v > -32000 && v < 32000)) return false;
  return o.haveBlock = o.block[0] != o.block[2] && o.block[1] != o.block[3];
}

// The value options; false for anything else.
bool takeValue(const std::string& a, const std::string& v, MillOptions& o) {
  if (a == "-o" || a == "--output") {
    o.out = v;
  } else if (a == "--block") {
    return parseBlock(v, o);
  } else if (a == "--layer") {
    char* end = nullptr;
    const long n = std::strtol(v.c_str(), &end, 10);
    if (*end != 0 || v.empty() || n < 0 || n > 254) return false;
    o.layer = static_cast<int>(n);
  } else if (a == "--thermal") {
    o.thermal = v;
  } else if (a == "--side") {
    o.side = v;
    return v == "top" || v == "bottom" || v == "both";
  } else {
    return false;
  }
  return true;
}

bool parseMill(std::vector<std::string> args, MillOptions& o, ReportingHost& host) {
  if (!takeHint(args, o.hint) || !host.takeScript(args)) return false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--hatch") {
      o.hatch = true;
    } else if (a == "--gcode") {
      o.gcode = true;
    } else if (!a.empty() && a[0] == '-' && i + 1 < args.size()) {
      if (!takeValue(a, args[i + 1], o)) return false;
      ++i;
    } else if (o.in.empty() && !a.empty() && a[0] != '-') {
      o.in = a;
    } else {
      return false;
    }
  }
  return !o.in.empty() && !o.out.empty() && o.haveBlock;
}

flood::FloodRegion regionOf(const MillOptions& o) {
  auto w = [](double inches) { return static_cast<int32_t>(std::lround(inches * 65536.0)); };
  return flood::FloodRegion::fromRectangle(w(o.block[0]), w(o.block[1]), w(o.block[2]), w(o.block[3]));
}

size_t topItems(const Context& ctx) {
  size_t n = 0;
  for (Handle h = ctx.rec(ctx.current).next; h != ctx.current && h != kNull; h = ctx.rec(h).next) ++n;
  return n;
}

int save(Context& ctx, const std::string& out) {
  FileFailure why;
  if (!writeDesignFile(ctx, out, 'C', why)) {
    std::fprintf(stderr, "trelmo-cli: cannot write %s: %s\n", out.c_str(), why.reason.c_str());
    return kFileError;
  }
  return kDone;
}

// Reads the options and opens the board; -1 when the command may go on.
int open(const std::vector<std::string>& args, const char* usage, MillOptions& o, ReportingHost& host, Context& ctx) {
  if (!parseMill(args, o, host)) {
    std::fprintf(stderr, "Usage: trelmo-cli %s [--hint C] %s\n", usage, kScriptUsage);
    return kUsageError;
  }
  loadMessageTable(ctx);
  char format = 0;
  if (!openScripted(ctx, host, o.in, o.hint, format)) return kFileError;
  return -1;
}

}  // namespace

int flood(const std::vector<std::string>& args) {
  MillOptions o;
  ReportingHost host;
  Context ctx(host);
  const int opened =
      open(args, "flood IN -o OUT --block X1,Y1,X2,Y2 [--layer N] [--thermal SIGNAL] [--hatch]", o, host, ctx);
  if (opened >= 0) return opened;
  if (o.layer >= 0) ctx.params.floodTarget = static_cast<uint8_t>(o.layer);
  if (!o.thermal.empty()) {
    std::memset(ctx.params.thermalSignal, 0, sizeof ctx.params.thermalSignal);
    std::strncpy(ctx.params.thermalSignal, o.thermal.c_str(), kSignalFieldMax);
  }
  const flood::FloodRegion region = regionOf(o);
  const size_t before = topItems(ctx);
  floodFillFunction(ctx, &region, kFromKeys, o.hatch ? flood::kHatchLines : flood::kFloodLines);
  std::fprintf(stderr, "flood: %zu items added\n", topItems(ctx) - before);
  return save(ctx, o.out);
}

int isolate(const std::vector<std::string>& args) {
  MillOptions o;
  ReportingHost host;
  Context ctx(host);
  const int opened = open(args, "isolate IN -o OUT --block X1,Y1,X2,Y2 [--side top|bottom|both]", o, host, ctx);
  if (opened >= 0) return opened;
  const int sides = o.side == "top"      ? flood::kTopSide
                    : o.side == "bottom" ? flood::kBottomSide
                                         : flood::kTopSide | flood::kBottomSide;
  const flood::FloodRegion region = regionOf(o);
  const size_t before = topItems(ctx);
  trackIsolationFunction(ctx, &region, kFromKeys, sides);
  std::fprintf(stderr, "isolate: %zu items added\n", topItems(ctx) - before);
  return save(ctx, o.out);
}

int mill(const std::vector<std::string>& args) {
  MillOptions o;
  ReportingHost host;
  Context ctx(host);
  const int opened = open(args, "mill IN -o FOLDER --block X1,Y1,X2,Y2 [--gcode]", o, host, ctx);
  if (opened >= 0) return opened;
  ctx.flood.format = o.gcode ? MillFormat::GCode : MillFormat::TTech;
  defaultIsolationRows(ctx);
  ctx.flood.outputPath = o.out;
  const flood::FloodRegion region = regionOf(o);
  if (isolationOutputFunction(ctx, &region, kFromKeys) != 1) {
    std::fprintf(stderr, "trelmo-cli: the milling files were not written to %s\n", o.out.c_str());
    return kFileError;
  }
  for (const IsolationRow& row : ctx.flood.rows)
    if (!row.fileName.empty()) std::fprintf(stderr, "mill: %s\n", row.fileName.c_str());
  return kDone;
}

}  // namespace trelmo::cli
