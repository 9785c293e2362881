// trelmo-cli import-gerbers: a board's photo-plot and drill files, read from
// a folder into one design and saved.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "database/design_files.h"
#include "database/options.h"
#include "files/import/gerber_set.h"
#include "files/writer.h"

namespace trelmo::cli {

namespace {

const char* kKindNames[] = {"silk", "mask", "copper", "plane", "symbols", "paste", "schematic", "drawing"};

std::string baseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int importGerbers(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  ReportingHost host;
  std::string folder, out;
  bool usage = !host.takeScript(args);
  for (size_t i = 0; i < args.size() && !usage; ++i) {
    if ((args[i] == "-o" || args[i] == "--output") && i + 1 < args.size())
      out = args[++i];
    else if (folder.empty() && !args[i].empty() && args[i][0] != '-')
      folder = args[i];
    else
      usage = true;
  }
  if (usage || folder.empty() || out.empty()) {
    std::fprintf(stderr, "Usage: trelmo-cli import-gerbers FOLDER -o BOARD.pcb %s\n", kScriptUsage);
    return kUsageError;
  }
  std::vector<std::string> paths;
  std::string error;
  if (!photoPlotFolder(folder, paths, error)) {
    std::fprintf(stderr, "trelmo-cli: cannot list %s\n", error.c_str());
    return kFileError;
  }
  Context ctx(host);
  if (newDesignFile(ctx, out) == kNull) {
    std::fprintf(stderr, "trelmo-cli: cannot create a design file for %s\n", out.c_str());
    return kFileError;
  }
  parseOptionsV4(ctx, {"-gd0,FFFFFF,909090,FFFFFF,FFFF00", "-y1", "-dy", "-b", "-gz0,0"});
  int read = 0;
  for (const ImportedFile& f : importPhotoPlots(ctx, paths)) {
    if (!f.format) {
      std::printf("%s: skipped: %s\n", baseName(f.path).c_str(), f.error.c_str());
      continue;
    }
    ++read;
    std::printf("%s: %s, layer %d \"%s\" (%s), %d items\n", baseName(f.path).c_str(),
                f.format == 'G' ? "photo plot" : "drill", f.layer, f.layerName.c_str(),
                f.layer == 0 ? "pad master" : kKindNames[f.kind & 7], f.items);
  }
  host.reportUnused();
  if (read == 0) {
    std::fprintf(stderr, "trelmo-cli: no photo-plot or drill file in %s\n", folder.c_str());
    return kFileError;
  }
  ctx.params.format = 'G';
  if (!writeDesignFile(ctx, out, 'C')) {
    std::fprintf(stderr, "trelmo-cli: cannot write %s\n", out.c_str());
    return kFileError;
  }
  return kDone;
}

}  // namespace trelmo::cli
