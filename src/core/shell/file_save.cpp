#include <algorithm>
#include <filesystem>

#include "context.h"
#include "database/chains.h"
#include "database/design_files.h"
#include "edit/undo.h"
#include "files/reader_chain.h"
#include "files/switch_file.h"
#include "files/writer.h"
#include "files/writer_save.h"
#include "shell/design_busy.h"
#include "shell/file_functions.h"

namespace trelmo {

namespace {

constexpr const char* kOldDosQuestion =
    "This file was imported from an old DOS TRELMO format.\n\nWould you like to save it as a version 4 file?";
constexpr const char* kNoOutputFilter =
    "This file was imported from a format that does not\nhave a corresponding output translation filter.\n\n"
    "TRELMO Version 4.0 file format will be substituted.";
constexpr const char* kCloseQuestion =
    "File has been updated but has not yet been saved.\n\nShall I save the file before closing it?";
constexpr const char* kEraseQuestion =
    "File has been updated since the last load or save.\n\nShall I erase the file anyhow?";
constexpr const char* kExitQuestion = "File has been updated but has not yet been saved.\n\nSave file before exit?";

// Save As types: the extension given to a name without one, and whether the
// program can write that type (only version 4 data files are written).
struct SaveType {
  const char* filter;
  const char* extension;
  bool written;
};
constexpr SaveType kSaveTypes[] = {
    {"TRELMO Circuit Board (*.pcb)", ".pcb", true}, {"TRELMO Schematic Sheet (*.sch *.sh? *.s0? *.s1?)", ".sch", true},
    {"TRELMO Drawing Sheet (*.dwg)", ".dwg", true}, {"TRELMO Component Library (*.lib)", ".lib", true},
    {"AutoCAD DXF (*.dxf)", ".dxf", false},         {"HPGL Pen Plot (*.hpg)", ".hpg", false},
};
constexpr int kSaveTypeCount = sizeof kSaveTypes / sizeof kSaveTypes[0];

void writeFailed(Context& ctx, const std::string& path) {
  ctx.host->messageBox("File Save Error", "The file \"" + path + "\" could not be written.");
}

// The type a file is saved as by default: by its extension, else board or
// schematic by its layers.
int defaultSaveType(const Context& ctx, const std::string& path) {
  const std::string ext = std::filesystem::path(path).extension().string();
  for (int i = 0; i < kSaveTypeCount; ++i)
    if (kSaveTypes[i].written && ext.size() == 4 && ext.compare(0, 3, kSaveTypes[i].extension, 3) == 0) return i + 1;
  if (ext.size() == 4 && (ext[1] == 's' || ext[1] == 'S')) return 2;
  return ctx.params.isSchematic() ? 2 : 1;
}

// A version 4 name for a file read from another format: its extension
// replaced by the type's.
std::string version4Name(const Context& ctx, const std::string& path) {
  std::filesystem::path p(path);
  p.replace_extension(kSaveTypes[defaultSaveType(ctx, path) - 1].extension);
  return p.string();
}

// Writes the current file under a new name and renames it in the editor.
bool writeAs(Context& ctx, const std::string& path) {
  const Handle other = findOpenFile(ctx, path);
  if (other != kNull && other != ctx.current) {
    ctx.host->messageBox("File Save Error",
                         "The specified data file is currently open.\n\nIt must be closed before it can be replaced.");
    return false;
  }
  if (!writeDesignFile(ctx, path, kFormatV4)) {
    writeFailed(ctx, path);
    return false;
  }
  storeText(ctx, ctx.current, path);
  ctx.params.format = kFormatV4;
  afterSave(ctx, ctx.current);
  rememberFile(ctx, path);
  currentFileChanged(ctx);
  return true;
}

bool saveAs(Context& ctx, const std::string& suggested) {
  FileDialog box;
  box.save = true;
  box.title = "Save As";
  box.fileName = suggested;
  for (const SaveType& t : kSaveTypes) box.filters.emplace_back(t.filter);
  box.filterIndex = defaultSaveType(ctx, suggested);
  if (!ctx.host->chooseFile(box) || box.fileName.empty()) return false;
  const SaveType& type = kSaveTypes[std::clamp(box.filterIndex, 1, kSaveTypeCount) - 1];
  std::string path = box.fileName;
  if (!std::filesystem::path(path).has_extension()) path += type.extension;
  if (!type.written) ctx.host->messageBox("Export Filter Error", kNoOutputFilter);
  return writeAs(ctx, path);
}

}  // namespace

bool saveCurrentFile(Context& ctx) {
  if (ctx.current == kNull) return false;
  const std::string path = filePath(ctx, ctx.current);
  if (isUntitled(path)) return saveAs(ctx, path);
  char& format = ctx.params.format;
  if (format == kFormatV3 || format == kFormatV2) {
    if (!affirmative(ctx.host->question("Save File Warning", kOldDosQuestion, Buttons::YesNo))) return false;
    format = kFormatV4;
  }
  if (format != kFormatV4) {
    // Writing version 4 over the file it was imported from would lose it:
    // the substitute goes under a version 4 name of the user's choosing.
    ctx.host->messageBox("Export Filter Error", kNoOutputFilter);
    return saveAs(ctx, version4Name(ctx, path));
  }
  if (!saveDesignFile(ctx, ctx.current)) {
    writeFailed(ctx, path);
    return false;
  }
  afterSave(ctx, ctx.current);
  rememberFile(ctx, path);
  return true;
}

bool saveCurrentFileAs(Context& ctx) {
  if (ctx.current == kNull) return false;
  return saveAs(ctx, filePath(ctx, ctx.current));
}

void fileClose(Context& ctx) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beep);
  if (fileUnsaved(ctx.rec(ctx.current))) {
    const Answer a = ctx.host->question("Close Save Warning", kCloseQuestion, Buttons::YesNoCancel);
    if (a == Answer::Cancel) return;
    // A file that could not be saved stays open.
    if (affirmative(a) && !saveCurrentFile(ctx)) return;
  }
  closeDesignFile(ctx, ctx.current);
  currentFileChanged(ctx);
}

void fileErase(Context& ctx) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beep);
  const std::string path = filePath(ctx, ctx.current);
  if (fileUnsaved(ctx.rec(ctx.current)) &&
      !affirmative(ctx.host->question("Erase File Warning", kEraseQuestion, Buttons::YesNo)))
    return;
  const std::string confirm = "File Erasure.\n\nThe file \"" + path + "\" will be closed and deleted from the disk.";
  if (!affirmative(ctx.host->question("Erase File", confirm, Buttons::OkCancel))) return;
  closeDesignFile(ctx, ctx.current);
  if (!isUntitled(path)) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    auto& list = ctx.shell.reopenList;
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
  }
  currentFileChanged(ctx);
}

namespace {

// Asks about one modified file, made current; false when the exit stops.
bool askBeforeExit(Context& ctx, Handle file) {
  if (!fileUnsaved(ctx.rec(file))) return true;
  // Switching files would autosave the one left behind and take its modified
  // mark, so that a cancelled exit forgot the file needs saving.
  const bool autosave = ctx.autosaveEnabled;
  ctx.autosaveEnabled = false;
  const bool switched = file == ctx.current || switchToFile(ctx, file);
  ctx.autosaveEnabled = autosave;
  if (!switched) return true;
  currentFileChanged(ctx);
  const Answer a = ctx.host->question("Exit Save Warning", kExitQuestion, Buttons::YesNoCancel);
  if (a == Answer::Cancel) return false;
  // A failed save stops the exit so that nothing is lost.
  return !affirmative(a) || saveCurrentFile(ctx);
}

}  // namespace

bool exitProgram(Context& ctx) {
  stopDesignWorker(ctx);
  std::vector<Handle> files = openFiles(ctx);
  // The current file is asked about first.
  std::stable_partition(files.begin(), files.end(), [&](Handle h) { return h == ctx.current; });
  for (const Handle file : files)
    if (!askBeforeExit(ctx, file)) return false;
  ctx.shell.quitting = true;
  ctx.shell.startupPhase = 0;
  ctx.host->eventSound("Close");
  ctx.host->quit();
  return true;
}

}  // namespace trelmo
