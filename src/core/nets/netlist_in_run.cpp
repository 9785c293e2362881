// Netlist In: the files found by the pattern, read and applied in turn,
// with the log; the box and the function code.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "context.h"
#include "database/design_files.h"
#include "edit/undo.h"
#include "library/library_files.h"
#include "nets/log_writer.h"
#include "nets/netlist_in.h"
#include "nets/netlist_in_work.h"
#include "output/report_text.h"
#include "shell/dialog_values.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"

namespace trelmo {

namespace {

constexpr size_t kLargestNetlist = size_t{64} << 20;
constexpr size_t kMostFiles = 1000;

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string baseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The whole file, up to the limit; false when it cannot be read or is larger.
bool readNetlistFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(kLargestNetlist + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  return !in.bad() && text.size() <= kLargestNetlist;
}

// The map named in the options, else "footprint.map" beside the netlist or
// in the library folder.
FootprintMap footprintMap(const Context& ctx, const NetlistInOptions& o, const std::string& netlist) {
  FootprintMap map;
  if (!o.footprintMap.empty()) {
    map.read(o.footprintMap);
    return map;
  }
  if (!map.read(folderOf(netlist) + "/footprint.map")) map.read(libraryFolder(ctx) + "footprint.map");
  return map;
}

void readInto(Context& ctx, const NetlistInOptions& o, const std::string& path, LogWriter& log, NetlistWork& work) {
  log.line("");
  log.line(baseName(path) + ":");
  log.line("");
  std::string text;
  if (!readNetlistFile(path, text)) return work.message(0, {}, 5, "The file cannot be read whole.");
  std::string error;
  const std::vector<NetlistEntry> entries = readNetlistText(text, footprintMap(ctx, o, path), error);
  for (const NetlistEntry& e : entries) {
    if (e.isNet)
      work.net(e.net);
    else
      work.part(e.part);
  }
  if (!error.empty()) work.message(0, {}, 5, error);
}

}  // namespace

NetlistInResult applyNetlists(Context& ctx, const NetlistInOptions& options) {
  NetlistInResult result;
  if (ctx.current == kNull) return result;
  LogWriter log(ctx);
  log.date = options.date;
  if (!log.open("NETLIST INPUT LOG", 79, options.log)) return result;
  result.written = true;
  const std::string rule(79, '-');
  log.line(rule);
  log.line("INPUT       WARNING/ERROR           DETAILED");
  log.line("REFERENCE   MESSAGE                 DESCRIPTION");
  log.line(rule);
  log.line("");
  {
    UndoTransaction undo(ctx);
    undo.redrawAll();
    NetlistWork work(ctx, log, undo, options);
    work.clearSignals();
    for (const std::string& path : options.files) readInto(ctx, options, path, log, work);
    work.summary();
    result.nodes = work.nodes();
    result.messages = work.messages();
  }
  log.line("");
  log.line("Total input node count:  " + std::to_string(result.nodes));
  log.line("");
  log.line("END OF FILE");
  log.line("\f");
  result.closed = log.close();
  ctx.host->redrawView();
  return result;
}

std::string netlistInPattern(const Context& ctx) { return reportPath(ctx, ".N??"); }

std::vector<std::string> netlistFiles(const Context& ctx, const std::string& pattern) {
  std::string folder = pattern.find('/') != std::string::npos ? folderOf(pattern) : std::string();
  if (folder.empty() && ctx.current != kNull) folder = folderOf(filePath(ctx, ctx.current));
  if (folder.empty()) folder = pattern.starts_with('/') ? "/" : ".";
  const std::string name = baseName(pattern);
  std::vector<std::string> out;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end && out.size() < kMostFiles;
       it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string file = it->path().filename().string();
    if (wildcardMatch(name, file)) out.push_back(it->path().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

DialogBox netListInBox(const Context& ctx) {
  DialogBox box;
  box.name = "NetListInBox";
  box.title = "Netlist Input Files";
  box.fields.push_back(textField("file", "File name:", netlistInPattern(ctx), 0));
  box.fields.push_back(checkField("patterns", "Replace component footprints if patterns do not match.", false));
  box.fields.push_back(checkField("values", "Replace component parameters with netlist data.", false));
  return box;
}

int netlistIn(Context& ctx) {
  DialogBox box = netListInBox(ctx);
  if (!ctx.host->runDialog(box)) return 0;
  FieldReader reader(box);
  NetlistInOptions o;
  o.replacePatterns = reader.check("patterns");
  o.replaceValues = reader.check("values");
  const std::string pattern = trimmedText(reader.text("file"));
  if (!reader.report(ctx)) return 0;
  o.files = netlistFiles(ctx, pattern);
  if (o.files.empty()) {
    ctx.host->messageBox("File Not Found", "No netlist input files can be located\nusing the specified pattern mask.");
    return 0;
  }
  return applyNetlists(ctx, o).written ? 1 : 0;
}

void installNetlistInput(Context& ctx) {
  registerFunction(ctx, fc('N', 'I'), [](Context& c, uint16_t, int) {
    if (c.current == kNull) return c.host->sound(Sound::Beop);
    if (autoPurgeRedo(c)) netlistIn(c);
  });
}

}  // namespace trelmo
