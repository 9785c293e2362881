#include <algorithm>
#include <cstdlib>

#include "context.h"
#include "database/design_files.h"
#include "files/reader_chain.h"
#include "files/switch_file.h"
#include "screen/redraw.h"
#include "shell/file_functions.h"
#include "shell/function_codes.h"

namespace trelmo {

namespace {

constexpr const char* kKinds[3] = {"Board", "Schematic", "Drawing"};
constexpr const char* kExtensions[3] = {".pcb", ".sch", ".dwg"};
constexpr const char* kSizes[4] = {"A (11 x 8.5)", "B (17 x 11)", "C (22 x 17)", "D (34 x 22)"};
constexpr int kStandardChoices = 12;

std::string templateFolder(const Context& ctx) {
  const std::string& own = ctx.shell.prefs.templatePath;
  return own.empty() ? ctx.paths.resources + "/TEMPLATE" : own;
}

// The template of standard choice 1-12: Size_A.pcb ... Size_D.dwg.
std::string standardTemplate(const Context& ctx, int choice) {
  const int kind = (choice - 1) / 4, size = (choice - 1) % 4;
  return templateFolder(ctx) + "/Size_" + static_cast<char>('A' + size) + kExtensions[kind];
}

// "unnamed.pcb", or "unnamed2.pcb" ... while that name is open.
std::string unnamed(const Context& ctx, const std::string& extension) {
  std::string name = "unnamed" + extension;
  for (int n = 2; findOpenFile(ctx, name) != kNull && n < 1000; ++n) name = "unnamed" + std::to_string(n) + extension;
  return name;
}

bool newFromTemplate(Context& ctx, const std::string& templatePath, const std::string& extension) {
  const Handle previous = ctx.current;
  const Handle file = newDesignFile(ctx, unnamed(ctx, extension));
  if (file == kNull) return false;
  if (readFile(ctx, templatePath, kHintNone) == 0) {
    closeDesignFile(ctx, file);
    if (previous != kNull && ctx.current != previous) switchToFile(ctx, previous);
    ctx.host->messageBox("File New Error", "The template file \"" + templatePath + "\" cannot be read.");
    return false;
  }
  ctx.params.format = kFormatV4;
  zoomExtents(ctx);
  currentFileChanged(ctx);
  return true;
}

}  // namespace

DialogBox fileNewBox(const Context& /*ctx*/) {
  DialogBox box{"FileNewBox", "New File", {}};
  DialogField kind{"kind", DialogField::Radio, "New file type", "0", {}, 0};
  for (int k = 0; k < 3; ++k)
    for (const char* size : kSizes) kind.choices.push_back(std::string(kKinds[k]) + " size " + size);
  kind.choices.push_back("Template file ...");
  box.fields.push_back(kind);
  return box;
}

void fileNew(Context& ctx, int source) {
  int choice = 1;
  if (source != kFromMacro) {
    DialogBox box = fileNewBox(ctx);
    if (!ctx.host->runDialog(box)) return;
    choice = std::atoi(box.field("kind")->value.c_str()) + 1;
  }
  if (choice >= 1 && choice <= kStandardChoices) {
    newFromTemplate(ctx, standardTemplate(ctx, choice), kExtensions[(choice - 1) / 4]);
    return;
  }
  FileDialog pick;
  pick.title = "FileTemplateBox";
  pick.folder = templateFolder(ctx);
  pick.filters = {"TRELMO Data Files (*.pcb *.sch *.sh? *.s0? *.s1? *.dwg *.lib)", "All Files (*)"};
  if (!ctx.host->chooseFile(pick) || pick.fileName.empty()) return;
  const size_t dot = pick.fileName.find_last_of('.');
  const size_t slash = pick.fileName.find_last_of('/');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  newFromTemplate(ctx, pick.fileName, hasExt ? pick.fileName.substr(dot) : ".pcb");
}

}  // namespace trelmo
