// trelmo-cli plot and gerber: the printer output and the photo-plot set of a
// design, written to files.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "output/gerber_writer.h"
#include "output/plot_job.h"
#include "screen/draw_items.h"
#include "screen/redraw.h"

namespace trelmo::cli {

namespace {

const char* kPlotUsage =
    "Usage: trelmo-cli plot IN -o OUT --kind hpgl|ps|pdf|bmp|pcl [--dpi N] [--depth N] [--layers LIST]\n"
    "                  [--mirror] [--negative]\n";
const char* kGerberUsage = "Usage: trelmo-cli gerber IN -o FOLDER [--layers LIST]\n";

struct Kind {
  const char* name;
  PlotKind kind;
};
constexpr Kind kKinds[] = {{"hpgl", PlotKind::Hpgl},
                           {"ps", PlotKind::Ps},
                           {"pdf", PlotKind::Pdf},
                           {"bmp", PlotKind::Bmp},
                           {"pcl", PlotKind::Pcl}};

// A whole decimal number and nothing else; false on "", "8x" or overflow.
bool parseWhole(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

bool validDepth(int depth) {
  constexpr int kDepths[] = {1, 2, 3, 4, 6, 8, 24};
  return std::find(std::begin(kDepths), std::end(kDepths), depth) != std::end(kDepths);
}

// "1,3,12" into a layer set; false on anything else.
bool parseLayers(const std::string& text, LayerSet& set) {
  set.clear();
  const char* p = text.c_str();
  while (*p) {
    char* end = nullptr;
    const long n = std::strtol(p, &end, 10);
    if (end == p || n < 0 || n > 255) return false;
    set.set(static_cast<int>(n));
    p = *end == ',' ? end + 1 : end;
    if (*end && *end != ',') return false;
  }
  return !set.empty();
}

struct PlotOptions {
  std::string in, out;
  PlotKind kind = PlotKind::Bmp;
  bool haveKind = false, haveLayers = false, mirror = false, negative = false;
  int dpi = 0, depth = 24;
  LayerSet layers;
};

bool parsePlot(const std::vector<std::string>& args, PlotOptions& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if ((a == "-o" || a == "--output") && hasValue) {
      o.out = args[++i];
    } else if (a == "--kind" && hasValue) {
      const std::string& k = args[++i];
      for (const Kind& kind : kKinds)
        if (k == kind.name) o.kind = kind.kind, o.haveKind = true;
      if (!o.haveKind) return false;
    } else if (a == "--dpi" && hasValue) {
      if (!parseWhole(args[++i], o.dpi) || o.dpi < 10 || o.dpi > 2400) return false;
    } else if (a == "--depth" && hasValue) {
      if (!parseWhole(args[++i], o.depth) || !validDepth(o.depth)) return false;
    } else if (a == "--layers" && hasValue) {
      if (!parseLayers(args[++i], o.layers)) return false;
      o.haveLayers = true;
    } else if (a == "--mirror") {
      o.mirror = true;
    } else if (a == "--negative") {
      o.negative = true;
    } else if (o.in.empty() && !a.empty() && a[0] != '-') {
      o.in = a;
    } else {
      return false;
    }
  }
  return !o.in.empty() && !o.out.empty() && o.haveKind;
}

// Only the chosen layers keep their plot colour enabled.
void keepLayers(Params& p, const LayerSet& layers) {
  for (int l = 0; l < 256; ++l)
    if (!layers.test(l)) p.layers[l].plotColor |= kColorDisabled;
}

}  // namespace

int plot(const std::vector<std::string>& args) {
  PlotOptions o;
  if (!parsePlot(args, o)) {
    std::fputs(kPlotUsage, stderr);
    return kUsageError;
  }
  ReportingHost host;
  Context ctx(host);
  char format = 0;
  if (!openDesign(ctx, o.in, 0, format)) return kFileError;
  if (o.haveLayers) keepLayers(ctx.params, o.layers);
  PlotSettings s = currentPlotSettings(ctx);
  s.kind = o.kind;
  s.depth = o.depth;
  s.flags = static_cast<uint8_t>((s.flags & ~(kPrintMirror | kPrintNegative)) | (o.mirror ? kPrintMirror : 0) |
                                 (o.negative ? kPrintNegative : 0));
  if (o.kind == PlotKind::Bmp) s.scaleFactor = bmpScaleFactor(o.dpi ? o.dpi : 300);
  if (o.kind == PlotKind::Pcl && o.dpi) s.pclDpi = o.dpi;
  PlotJob job;
  if (!preparePlot(ctx, s, job)) {
    std::fprintf(stderr, "trelmo-cli: %s: nothing to plot\n", o.in.c_str());
    return kFileError;
  }
  auto sink = std::make_unique<FileSink>(o.out);
  if (!sink->open()) {
    std::fprintf(stderr, "trelmo-cli: cannot write %s: %s\n", o.out.c_str(), sink->error.c_str());
    return kFileError;
  }
  job.sink = std::move(sink);
  PlotControl control;
  const PlotResult r = runPlotJob(job, control);
  host.progress(100);
  if (r != PlotResult::Done) {
    std::fprintf(stderr, "trelmo-cli: cannot write %s: %s\n", o.out.c_str(), control.error.c_str());
    return kFileError;
  }
  return kDone;
}

int gerber(const std::vector<std::string>& args) {
  std::string in, folder;
  LayerSet layers;
  bool haveLayers = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if ((a == "-o" || a == "--output") && hasValue) {
      folder = args[++i];
    } else if (a == "--layers" && hasValue && parseLayers(args[i + 1], layers)) {
      haveLayers = true, ++i;
    } else if (in.empty() && !a.empty() && a[0] != '-') {
      in = a;
    } else {
      std::fputs(kGerberUsage, stderr);
      return kUsageError;
    }
  }
  if (in.empty() || folder.empty()) {
    std::fputs(kGerberUsage, stderr);
    return kUsageError;
  }
  ReportingHost host;
  Context ctx(host);
  char format = 0;
  if (!openDesign(ctx, in, 0, format)) return kFileError;
  GerberSet set;
  for (int e : gerberEntries(ctx.params)) {
    const GerberEntry& entry = ctx.params.gerber[e];
    bool wanted = !haveLayers || (entry.number & 7) == kGerberDrill || (entry.number & 7) == kGerberApertureList;
    for (int l = 0; l < 256 && !wanted; ++l) wanted = entry.layers.test(l) && layers.test(l);
    if (wanted) set.entries.push_back(e);
  }
  set.outlineLayer = guessOutlineLayer(ctx.params);
  if (haveLayers && set.outlineLayer >= 0 && !layers.test(set.outlineLayer)) set.outlineLayer = -1;
  const size_t slash = in.rfind('/'), dot = in.rfind('.');
  std::string stem = in.substr(slash == std::string::npos ? 0 : slash + 1);
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
    stem.resize(dot - (slash == std::string::npos ? 0 : slash + 1));
  if (!writeGerberSet(ctx, folder + "/" + stem, set)) {
    std::fprintf(stderr, "trelmo-cli: cannot write %s\n", set.error.c_str());
    return kFileError;
  }
  for (const std::string& f : set.written) std::printf("%s\n", f.c_str());
  return kDone;
}

}  // namespace trelmo::cli
