// trelmo-cli picture: the picture transforms of the Pixel Image menu run in
// batch over a picture file or a design's current picture.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "files/writer.h"
#include "image/image_functions.h"
#include "image/png_file.h"
#include "image/rectify.h"
#include "image/turns.h"

namespace trelmo::cli {

namespace {

const char* kPictureUsage =
    "Usage: trelmo-cli picture IN -o OUT [--rectify PAIRS.txt] [--model bilinear|projective]\n"
    "         [--rotate 90|180|270] [--mirror x|y] [--move DX,DY] [--hint C] [SCRIPT]\n"
    "IN is a picture file or a design file with a picture; the transforms run in the order given.\n"
    "OUT ending in .png receives the picture, any other OUT the design as a version 4 data file.\n"
    "PAIRS.txt holds one point pair a line, \"sx sy tx ty\" in inches (source on the picture, target\n"
    "on the drawing); blank lines and lines starting with # are skipped.\n";

struct Step {
  std::string what, value;
};

struct PictureOptions {
  std::string in, out;
  FitModel model = FitModel::Bilinear;
  std::vector<Step> steps;
};

int parsePicture(const std::vector<std::string>& args, PictureOptions& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if ((a == "-o" || a == "--output") && hasValue) {
      o.out = args[++i];
    } else if (a == "--model" && hasValue) {
      const std::string& m = args[++i];
      if (m != "bilinear" && m != "projective") return kUsageError;
      o.model = m == "projective" ? FitModel::Projective : FitModel::Bilinear;
    } else if ((a == "--rectify" || a == "--rotate" || a == "--mirror" || a == "--move") && hasValue) {
      const std::string& v = args[++i];
      if (a == "--rotate" && v != "90" && v != "180" && v != "270") return kUsageError;
      if (a == "--mirror" && v != "x" && v != "y") return kUsageError;
      o.steps.push_back({a, v});
    } else if (o.in.empty() && !a.empty() && a[0] != '-') {
      o.in = a;
    } else {
      return kUsageError;
    }
  }
  return o.in.empty() || o.out.empty() ? kUsageError : 0;
}

bool finiteNumber(const char*& p, double& v) {
  char* end = nullptr;
  errno = 0;
  v = std::strtod(p, &end);
  if (end == p || errno == ERANGE || !std::isfinite(v)) return false;
  p = end;
  return true;
}

// "sx sy tx ty" lines; false with the reason (and line) in `why`.
bool readPairs(const std::string& path, std::vector<PointPair>& pairs, std::string& why) {
  std::ifstream f(path);
  if (!f) {
    why = std::strerror(errno);
    return false;
  }
  std::string line;
  for (long n = 1; std::getline(f, line); ++n) {
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    const char* p = line.c_str();
    double v[4];
    bool ok = true;
    for (double& x : v) ok = ok && finiteNumber(p, x);
    while (ok && (*p == ' ' || *p == '\t' || *p == '\r')) ++p;
    // Positions beyond the coordinate range (±32768 inches) are no points.
    for (double x : v) ok = ok && std::abs(x) < 32768;
    if (!ok || *p != 0) {
      why = "line " + std::to_string(n) + ": expected four numbers \"sx sy tx ty\" in inches";
      return false;
    }
    pairs.push_back({v[0], v[1], v[2], v[3]});
  }
  if (pairs.size() < 4) {
    why = "a rectification needs at least four point pairs, the file has " + std::to_string(pairs.size());
    return false;
  }
  return true;
}

bool readMove(const std::string& text, int64_t& dx, int64_t& dy) {
  const char* p = text.c_str();
  double x, y;
  if (!finiteNumber(p, x) || *p++ != ',' || !finiteNumber(p, y) || *p != 0) return false;
  if (std::abs(x) > 65536 || std::abs(y) > 65536) return false;
  dx = std::llround(x * 65536), dy = std::llround(y * 65536);
  return true;
}

ResampleProgress reportProgress(Host& host) {
  return [&host](int percent) { return host.progress(percent); };
}

// Runs one step over the current picture; false with the reason printed.
bool runStep(Context& ctx, ReportingHost& host, const Step& step, FitModel model) {
  PixelImage& img = *currentImage(ctx);
  std::string why;
  std::unique_ptr<PixelImage> made;
  if (step.what == "--rotate") {
    if (step.value == "180") {
      rotatePicture180(img);
    } else if (!(made = rotatePicture90(img, step.value == "270"))) {
      why = "there is not enough memory to turn the picture";
    }
  } else if (step.what == "--mirror") {
    step.value == "x" ? mirrorPictureX(img) : mirrorPictureY(img);
  } else if (step.what == "--move") {
    int64_t dx = 0, dy = 0;
    if (!readMove(step.value, dx, dy)) {
      std::fprintf(stderr, "trelmo-cli: --move %s: expected DX,DY in inches\n", step.value.c_str());
      return false;
    }
    if (!movePicture(img, dx, dy)) why = "the picture would leave the coordinate range";
  } else {
    std::vector<PointPair> pairs;
    if (!readPairs(step.value, pairs, why)) {
      std::fprintf(stderr, "trelmo-cli: cannot read %s: %s\n", step.value.c_str(), why.c_str());
      return false;
    }
    FitResidual residual;
    made = rectifyPicture(img, pairs, model, reportProgress(host), residual, why);
    if (made)
      std::fprintf(stderr, "residual: largest %.5f in, mean %.5f in (%s fit of %zu pairs)\n", residual.largest,
                   residual.mean, model == FitModel::Projective ? "projective" : "bilinear", pairs.size());
  }
  if (!why.empty() && !made) {
    std::fprintf(stderr, "trelmo-cli: %s %s: %s\n", step.what.c_str(), step.value.c_str(), why.c_str());
    return false;
  }
  if (made) replaceCurrentImage(ctx, std::move(made));
  return true;
}

bool endsWithPng(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".png";
}

}  // namespace

int picture(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  char hint = 0;
  ReportingHost host;
  PictureOptions o;
  const int status = takeHint(args, hint) && host.takeScript(args) ? parsePicture(args, o) : kUsageError;
  if (status) {
    std::fputs(kPictureUsage, stderr);
    return status;
  }
  Context ctx(host);
  char format = 0;
  if (!openScripted(ctx, host, o.in, hint, format)) return kFileError;
  if (!currentImage(ctx)) {
    std::fprintf(stderr, "trelmo-cli: %s holds no picture\n", o.in.c_str());
    return kFileError;
  }
  for (const Step& step : o.steps)
    if (!runStep(ctx, host, step, o.model)) return kFileError;
  std::string why;
  if (endsWithPng(o.out)) {
    if (savePng(*currentImage(ctx), o.out, why)) return kDone;
  } else {
    FileFailure failure;
    if (writeDesignFile(ctx, o.out, 'C', failure)) return kDone;
    why = failure.reason;
  }
  std::fprintf(stderr, "trelmo-cli: cannot write %s: %s\n", o.out.c_str(), why.c_str());
  return kFileError;
}

}  // namespace trelmo::cli
