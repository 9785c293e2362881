// A board's photo-plot and drill files read together into one design: each
// file on a layer of its own, named by its file function or its file name,
// components and nets joined across the files.
#include "files/import/gerber_set.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "context.h"
#include "database/options.h"
#include "database/walk.h"
#include "files/import/gerber_reader.h"
#include "files/import/import_readers.h"
#include "files/input_file.h"
#include "files/reader_chain.h"

namespace trelmo {

namespace {

constexpr size_t kMaxFiles = 256;

std::string upperExtension(const std::string& path) {
  const size_t slash = path.find_last_of('/'), dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

int itemCount(Context& ctx) {
  int n = 0;
  Handle cur = ctx.current;
  while (anyItem(ctx.pool, cur) != 0) ++n;
  return n;
}

// The reader a file name asks for: 'I' for drill files, 'G' for the usual
// photo-plot names, 0 for others.
char nameHint(const std::string& path) {
  const std::string ext = upperExtension(path);
  for (const char* e : {"DRL", "DRD", "XLN", "EXC", "NC"})
    if (ext == e) return kHintExcellon;
  for (const char* e : {"GBR", "GER", "PHO", "ART", "GKO", "GM1", "GML"})
    if (ext == e) return kHintGerber;
  return fileFunctionFromName(path).empty() ? 0 : kHintGerber;
}

}  // namespace

std::string fileFunctionFromName(const std::string& path) {
  const std::string ext = upperExtension(path);
  if (ext == "GTL" || ext == "TOP" || ext == "CMP") return "Copper,L1,Top";
  if (ext == "GBL" || ext == "BOT" || ext == "SOL") return "Copper,L2,Bot";
  if (ext.size() == 3 && ext[0] == 'G' && ext[1] == 'L' && std::isdigit(static_cast<unsigned char>(ext[2])))
    return std::string("Copper,L") + ext[2] + ",Inr";
  if (ext.size() == 2 && ext[0] == 'G' && std::isdigit(static_cast<unsigned char>(ext[1])))
    return std::string("Copper,L") + ext[1] + ",Inr";
  if (ext == "GTS" || ext == "STC") return "Soldermask,Top";
  if (ext == "GBS" || ext == "STS") return "Soldermask,Bot";
  if (ext == "GTO" || ext == "PLC") return "Legend,Top";
  if (ext == "GBO" || ext == "PLS") return "Legend,Bot";
  if (ext == "GTP" || ext == "CRC") return "Paste,Top";
  if (ext == "GBP" || ext == "CRS") return "Paste,Bot";
  if (ext == "GKO" || ext == "GM1" || ext == "GML") return "Profile,NP";
  return {};
}

ImportedFile loadPhotoPlot(Context& ctx, const std::string& path, char hint) {
  ImportedFile f;
  f.path = path;
  InputFile in;
  if (!in.open(path)) {
    f.error = "cannot be read";
    return f;
  }
  bool used[256];
  for (int l = 0; l < 256; ++l) used[l] = !ctx.params.layers[l].unused();
  const int before = itemCount(ctx);
  if (hint == kHintNone || hint == kHintGerber) f.format = readGerber(ctx, in, hint);
  if (!f.format && (hint == kHintNone || hint == kHintExcellon)) {
    in.rewind();
    f.format = readExcellon(ctx, in, hint);
  }
  if (!f.format) {
    f.error = "is neither a photo-plot nor a drill file";
    return f;
  }
  f.layer = 0;  // drill holes go on the pad master layer
  for (int l = 1; l < 255; ++l)
    if (!used[l] && !ctx.params.layers[l].unused()) f.layer = l;
  // A file that names no function of its own is placed by its name.
  if (f.format == kFormatGerber && f.layer > 0 &&
      layerNameFromPath(path).rfind(ctx.params.layers[f.layer].name, 0) == 0) {
    const std::string function = fileFunctionFromName(path);
    if (!function.empty()) describeLayer(ctx, f.layer, function);
  }
  f.layerName = ctx.params.layers[f.layer].name;
  f.kind = ctx.params.layers[f.layer].kind();
  f.items = itemCount(ctx) - before;
  return f;
}

std::vector<ImportedFile> importPhotoPlots(Context& ctx, const std::vector<std::string>& paths) {
  std::vector<ImportedFile> out;
  for (const std::string& path : paths) {
    ImportedFile f = loadPhotoPlot(ctx, path, kHintNone);
    // Files too short for the recognisers are taken by their names.
    const char hint = nameHint(path);
    if (!f.format && hint && !f.error.empty() && f.error != "cannot be read") f = loadPhotoPlot(ctx, path, hint);
    out.push_back(f);
  }
  return out;
}

bool photoPlotFolder(const std::string& folder, std::vector<std::string>& paths, std::string& error) {
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec), end;
  if (ec) {
    error = folder + ": " + ec.message();
    return false;
  }
  for (; it != end && paths.size() < kMaxFiles; it.increment(ec)) {
    if (ec) break;
    if (it->is_regular_file(ec)) paths.push_back(it->path().string());
  }
  std::sort(paths.begin(), paths.end());
  return true;
}

}  // namespace trelmo
