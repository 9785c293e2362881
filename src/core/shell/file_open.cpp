#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "context.h"
#include "database/design_files.h"
#include "files/reader_chain.h"
#include "files/switch_file.h"
#include "screen/redraw.h"
#include "shell/file_functions.h"
#include "shell/file_recover.h"
#include "shell/settings.h"

namespace trelmo {

namespace {

constexpr size_t kReopenEntries = 10;
constexpr size_t kRecallEntries = 64;
constexpr size_t kRecallPrefix = 18;

constexpr const char* kAlreadyOpen =
    "The specified data file is currently open.\n\nIt must be closed before it can be re-opened.";

// "Files of type" in the open box, with the reader hint each one gives.
struct OpenType {
  const char* filter;
  char hint;
};
constexpr OpenType kOpenTypes[] = {
    {"Schematics Drawing Sheets (*.sch *.sh? *.s0? *.s1? *.dwg)", kHintNone},
    {"Circuit Boards (*.pcb)", kHintNone},
    {"Component Libraries (*.lib)", kHintNone},
    {"Log Files (*.log *.LOG)", kHintNone},
    {"TRELMO Data Files (*.pcb *.sch *.sh? *.s0? *.s1? *.dwg *.lib)", kHintNone},
    {"Gerber Photo Plot Files (*.gbr *.pho *.gb? *.art)", kHintGerber},
    {"Excellon Drill Files (*.drl *.exc *.txt)", kHintExcellon},
    {"AutoCAD DXF Files (*.dxf)", kHintDxf},
    {"HPGL Pen Plot Files (*.hpg *.plt)", kHintHpgl},
    {"ASCII Text Files (*.txt)", kHintText},
    {"Hexdump of Any File (*)", kHintHexdump},
    {"All Files (*)", kHintNone},
};
constexpr int kOpenTypeCount = sizeof kOpenTypes / sizeof kOpenTypes[0];

std::string recallPrefix() {
  char buf[32];
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M  ", &tm);
  std::string s(buf);
  s.resize(kRecallPrefix, ' ');
  return s;
}

std::string recallPath(const std::string& entry) {
  return entry.size() > kRecallPrefix ? entry.substr(kRecallPrefix) : std::string();
}

bool fileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

std::vector<Handle> openFiles(const Context& ctx) {
  std::vector<Handle> files;
  const Handle ring = ctx.rings[kOpenFiles];
  if (!ctx.pool.valid(ring)) return files;
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  Handle h = ctx.rec(ring).next;
  for (size_t n = 0; n < cap && h != ring && ctx.pool.valid(h); ++n, h = ctx.rec(h).next)
    if (ctx.rec(h).type() == kContainer && ctx.pool.valid(ctx.rec(h).ext)) files.push_back(ctx.rec(h).ext);
  return files;
}

bool isUntitled(const std::string& path) {
  return path.rfind("unnamed", 0) == 0 && path.find('/') == std::string::npos;
}

void currentFileChanged(Context& ctx) {
  ctx.host->setTitle(ctx.current == kNull ? std::string(kNoFileTitle) : filePath(ctx, ctx.current));
  ctx.host->redrawView();
}

void rememberFile(Context& ctx, const std::string& path) {
  if (!ctx.shell.listsLoaded) loadFileLists(ctx);
  auto& reopen = ctx.shell.reopenList;
  reopen.erase(std::remove(reopen.begin(), reopen.end(), path), reopen.end());
  reopen.insert(reopen.begin(), path);
  if (reopen.size() > kReopenEntries) reopen.resize(kReopenEntries);
  auto& recall = ctx.shell.recallList;
  recall.erase(
      std::remove_if(recall.begin(), recall.end(), [&](const std::string& e) { return recallPath(e) == path; }),
      recall.end());
  recall.insert(recall.begin(), recallPrefix() + path);
  if (recall.size() > kRecallEntries) recall.resize(kRecallEntries);
  storeReopenList(ctx);
  storeRecallList(ctx);
}

bool openFileByName(Context& ctx, const std::string& path, char hint) {
  if (path.empty()) return false;
  if (findOpenFile(ctx, path) != kNull) {
    ctx.host->messageBox("File Open Error", kAlreadyOpen);
    return false;
  }
  const Handle previous = ctx.current;
  bool recovered = false;
  const std::string source = offerAutosaveCopy(ctx, path, recovered);
  const Handle file = newDesignFile(ctx, path);
  if (file == kNull) return false;
  if (readFile(ctx, source, recovered ? kHintNone : hint) == 0) {
    closeDesignFile(ctx, file);
    if (previous != kNull && ctx.current != previous) switchToFile(ctx, previous);
    return false;
  }
  // The recovered edits are not in the file yet.
  if (recovered) ctx.rec(file).size |= kFileModified;
  zoomExtents(ctx);
  rememberFile(ctx, path);
  currentFileChanged(ctx);
  return true;
}

FileDialog openFileDialog(const Context& ctx, const std::string& title) {
  FileDialog box;
  box.title = title;
  if (!ctx.shell.reopenList.empty())
    box.folder = std::filesystem::path(ctx.shell.reopenList.front()).parent_path().string();
  for (const OpenType& t : kOpenTypes) box.filters.emplace_back(t.filter);
  box.filterIndex = std::clamp(ctx.shell.prefs.openMaskIndex, 1, kOpenTypeCount);
  return box;
}

char openFileHint(int filterIndex) { return kOpenTypes[std::clamp(filterIndex, 1, kOpenTypeCount) - 1].hint; }

void fileOpen(Context& ctx) {
  FileDialog box = openFileDialog(ctx, "Open");
  if (!ctx.host->chooseFile(box) || box.fileName.empty()) return;
  ctx.shell.prefs.openMaskIndex = std::clamp(box.filterIndex, 1, kOpenTypeCount);
  if (!openFileByName(ctx, box.fileName, openFileHint(box.filterIndex)) && findOpenFile(ctx, box.fileName) == kNull)
    ctx.host->sound(Sound::Beep);
}

void fileReopen(Context& ctx, int entry) {
  auto& list = ctx.shell.reopenList;
  if (entry < 0 || entry >= static_cast<int>(list.size())) return ctx.host->sound(Sound::Beep);
  const std::string path = list[entry];
  if (!fileExists(path)) {
    const std::string text = "The file \"" + path +
                             "\" cannot be located.\n\nWould you like to purge all non-existent files from the "
                             "Re-Open menu?";
    if (affirmative(ctx.host->question(kNoFileTitle, text, Buttons::YesNo))) {
      list.erase(std::remove_if(list.begin(), list.end(), [](const std::string& p) { return !fileExists(p); }),
                 list.end());
      storeReopenList(ctx);
    }
    return;
  }
  if (!openFileByName(ctx, path, kHintNone) && findOpenFile(ctx, path) == kNull) ctx.host->sound(Sound::Beep);
}

void fileRecall(Context& ctx, int entry) {
  const auto& list = ctx.shell.recallList;
  if (entry < 0 || entry >= static_cast<int>(list.size())) return ctx.host->sound(Sound::Beep);
  const std::string path = recallPath(list[entry]);
  if (!openFileByName(ctx, path, kHintNone) && findOpenFile(ctx, path) == kNull) ctx.host->sound(Sound::Beep);
}

DialogBox fileRecallBox(const Context& ctx) {
  DialogBox box{"FileRecallBox", "Total Recall", {}};
  DialogField list{"file", DialogField::Choice, "Recently accessed files", "0", {}, 0};
  for (const std::string& e : ctx.shell.recallList) list.choices.push_back(e);
  box.fields.push_back(list);
  return box;
}

void fileTotalRecall(Context& ctx) {
  if (ctx.shell.recallList.empty()) return ctx.host->sound(Sound::Tick);
  DialogBox box = fileRecallBox(ctx);
  if (!ctx.host->runDialog(box)) return;
  const int chosen = std::atoi(box.field("file")->value.c_str());
  fileRecall(ctx, chosen);
}

}  // namespace trelmo
