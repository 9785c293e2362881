#include <algorithm>
#include <climits>
#include <cstdio>

#include "cli/commands.h"
#include "database/design_files.h"
#include "database/walk.h"
#include "files/reader_chain.h"
#include "files/writer.h"

namespace trelmo::cli {

bool takeHint(std::vector<std::string>& args, char& hint) {
  hint = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--hint") continue;
    if (i + 1 >= args.size() || args[i + 1].size() != 1) return false;
    hint = args[i + 1][0];
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    return true;
  }
  return true;
}

bool openDesign(Context& ctx, const std::string& path, char hint, char& format) {
  if (newDesignFile(ctx, path) == kNull) {
    std::fprintf(stderr, "trelmo-cli: cannot create a design file for %s\n", path.c_str());
    return false;
  }
  FileFailure why;
  format = readFile(ctx, path, hint, why);
  if (format == 0) {
    std::fprintf(stderr, "trelmo-cli: cannot read %s: %s\n", path.c_str(), why.reason.c_str());
    return false;
  }
  return true;
}

bool openScripted(Context& ctx, ReportingHost& host, const std::string& path, char hint, char& format) {
  const bool opened = openDesign(ctx, path, hint, format);
  host.reportUnused();
  return opened;
}

namespace {

std::string inches(int32_t v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.5f", v / 65536.0);
  return buf;
}

void growBox(const Record& r, int32_t box[4]) {
  auto add = [&](int32_t x, int32_t y) {
    box[0] = std::min(box[0], x);
    box[1] = std::min(box[1], y);
    box[2] = std::max(box[2], x);
    box[3] = std::max(box[3], y);
  };
  add(r.x1, r.y1);
  if (r.type() == kLine) add(r.w3, r.w4);
}

}  // namespace

int info(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  char hint = 0;
  ReportingHost host;
  if (!takeHint(args, hint) || !host.takeScript(args) || args.size() != 1) {
    std::fprintf(stderr, "Usage: trelmo-cli info FILE [--hint C] %s\n", kScriptUsage);
    return kUsageError;
  }
  Context ctx(host);
  char format = 0;
  if (!openScripted(ctx, host, args[0], hint, format)) return kFileError;

  static const char* typeNames[] = {"", "lines", "arcs", "pads", "texts", "reserved"};
  long counts[6] = {0, 0, 0, 0, 0, 0};
  long solids = 0, components = 0;
  bool layers[256] = {};
  int32_t box[4] = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (Handle h = ctx.rec(ctx.current).next; h != ctx.current; h = ctx.rec(h).next)
    if (ctx.rec(h).type() == kComponent && !ctx.rec(h).hidden()) ++components;
  Handle cur = ctx.current;
  while (anyItem(ctx.pool, cur) != 0) {
    const Record& r = ctx.rec(cur);
    if (item::isSolid(r))
      ++solids;
    else
      ++counts[r.type()];
    layers[r.layer] = true;
    growBox(r, box);
  }
  std::printf("file: %s\n", args[0].c_str());
  std::printf("format: %c (%s)\n", format, formatName(format));
  for (int t = 1; t <= 5; ++t) std::printf("%s: %ld\n", typeNames[t], counts[t]);
  std::printf("solids: %ld\ncomponents: %ld\nlayers:", solids, components);
  for (int l = 0; l < 256; ++l)
    if (layers[l]) std::printf(" %d", l);
  std::printf("\n");
  if (box[0] <= box[2])
    std::printf("extents: %s,%s %s,%s\n", inches(box[0]).c_str(), inches(box[1]).c_str(), inches(box[2]).c_str(),
                inches(box[3]).c_str());
  else
    std::printf("extents: none\n");
  return kDone;
}

int convert(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  char hint = 0;
  ReportingHost host;
  if (!takeHint(args, hint) || !host.takeScript(args) || args.size() != 2) {
    std::fprintf(stderr, "Usage: trelmo-cli convert IN OUT [--hint C] %s\n", kScriptUsage);
    return kUsageError;
  }
  Context ctx(host);
  char format = 0;
  if (!openScripted(ctx, host, args[0], hint, format)) return kFileError;
  FileFailure why;
  if (!writeDesignFile(ctx, args[1], 'C', why)) {
    std::fprintf(stderr, "trelmo-cli: cannot write %s: %s\n", args[1].c_str(), why.reason.c_str());
    return kFileError;
  }
  return kDone;
}

}  // namespace trelmo::cli
