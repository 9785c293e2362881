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
#include "shell/file_recover.h"

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

// Save As types with their format codes. The last five give the name their
// extension; only version 4 is written, the writer substitutes it for the
// others with its own message. The patterns after the name are the file
// box's filter.
struct SaveType {
  const char* name;
  const char* patterns;
  char code;
  const char* extension;  // nullptr: the name keeps its own
};
constexpr SaveType kSaveTypes[] = {
    {"TRELMO V4.0 (Self-defining format)", "*.pcb *.sch *.sh? *.s0? *.s1? *.dwg *.lib", kFormatV4, nullptr},
    {"TRELMO V3.8 (Old DOS format)", "*.pcb *.sch *.dwg", kFormatV3, nullptr},
    {"Gerber Photo Plot (RS-274-D)", "*.ger", kFormatGerber, ".ger"},
    {"Protel AutoTrax (PCB)", "*.pcb", kFormatProtel, ".pcb"},
    {"Tango II (PCB)", "*.pcb", kFormatTango, ".pcb"},
    {"AutoCad V2.5 (DXF)", "*.dxf", kFormatDxf, ".dxf"},
    {"ASCII data file (Text only)", "*.txt", kFormatText, ".txt"},
};
constexpr int kSaveTypeCount = sizeof kSaveTypes / sizeof kSaveTypes[0];

// The failure with the system's reason; the previous file is still there.
void writeFailed(Context& ctx, const std::string& path, const std::string& reason) {
  std::string text = "The file \"" + path + "\" could not be written.";
  if (!reason.empty()) text += "\n\n" + reason + "\n\nThe file on the disk was left as it was.";
  ctx.host->messageBox("File Save Error", text);
}

// The Save As type (1-based) of a format code, 0 when none has it. A file
// that was not read from any format (a new one) is a version 4 file.
int saveTypeOf(char format) {
  if (format == 0) return 1;
  for (int i = 0; i < kSaveTypeCount; ++i)
    if (kSaveTypes[i].code == format) return i + 1;
  return 0;
}

// The extension a version 4 file gets when its name has none.
const char* version4Extension(const Context& ctx) { return ctx.params.isSchematic() ? ".sch" : ".pcb"; }

// A version 4 name for a file read from a format that has no Save As type:
// its extension replaced, so the imported file is not overwritten unasked.
std::string version4Name(const Context& ctx, const std::string& path) {
  std::filesystem::path p(path);
  p.replace_extension(version4Extension(ctx));
  return p.string();
}

// Writes the current file under a new name in the chosen format and renames
// it in the editor. A file saved as the version 4 type becomes a version 4
// file; for the other types the writer substitutes version 4 and the file
// keeps the format it was read in.
bool writeAs(Context& ctx, const std::string& path, char code) {
  const Handle other = findOpenFile(ctx, path);
  if (other != kNull && other != ctx.current) {
    ctx.host->messageBox("File Save Error",
                         "The specified data file is currently open.\n\nIt must be closed before it can be replaced.");
    return false;
  }
  std::string reason;
  if (!writeDesignFile(ctx, path, code, &reason)) {
    writeFailed(ctx, path, reason);
    return false;
  }
  storeText(ctx, ctx.current, path);
  if (code == kFormatV4) ctx.params.format = kFormatV4;
  afterSave(ctx, ctx.current);
  rememberFile(ctx, path);
  currentFileChanged(ctx);
  return true;
}

// The box opens on the type of the remembered format; a format without an
// output filter is said so and the first type is taken.
bool saveAs(Context& ctx, std::string suggested) {
  FileDialog box;
  box.save = true;
  box.title = "Save As";
  for (const SaveType& t : kSaveTypes) box.filters.push_back(std::string(t.name) + " (" + t.patterns + ")");
  box.filterIndex = saveTypeOf(ctx.params.format);
  if (box.filterIndex == 0) {
    ctx.host->messageBox("Export Filter Error", kNoOutputFilter);
    box.filterIndex = 1;
    if (!isUntitled(suggested)) suggested = version4Name(ctx, suggested);
  }
  box.fileName = suggested;
  if (!ctx.host->chooseFile(box) || box.fileName.empty()) return false;
  const SaveType& type = kSaveTypes[std::clamp(box.filterIndex, 1, kSaveTypeCount) - 1];
  std::filesystem::path path(box.fileName);
  if (type.extension)
    path.replace_extension(type.extension);
  else if (!path.has_extension())
    path += version4Extension(ctx);
  return writeAs(ctx, path.string(), type.code);
}

}  // namespace

bool saveCurrentFile(Context& ctx) {
  if (ctx.current == kNull) return false;
  const std::string path = filePath(ctx, ctx.current);
  if (isUntitled(path)) return saveAs(ctx, path);
  char& format = ctx.params.format;
  if (format == kFormatV3 || format == kFormatV2) {
    if (!affirmative(ctx.host->question("Save File Warning", kOldDosQuestion, Buttons::OkCancel))) return false;
    format = kFormatV4;
  }
  // Any other format continues as Save As, on that format's type.
  if (format != kFormatV4) return saveAs(ctx, path);
  std::string reason;
  if (!saveDesignFile(ctx, ctx.current, &reason)) {
    writeFailed(ctx, path, reason);
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
  const std::string path = filePath(ctx, ctx.current);
  closeDesignFile(ctx, ctx.current);
  removeAutosaveCopy(ctx, path);
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
  removeAutosaveCopy(ctx, path);
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
  // Every file was saved or its changes declined: no copy is wanted back.
  for (const Handle file : openFiles(ctx)) removeAutosaveCopy(ctx, filePath(ctx, file));
  ctx.shell.quitting = true;
  ctx.shell.startupPhase = 0;
  ctx.host->eventSound("Close");
  ctx.host->quit();
  return true;
}

}  // namespace trelmo
