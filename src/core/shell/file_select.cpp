#include <cstdlib>
#include <filesystem>

#include "context.h"
#include "database/design_files.h"
#include "database/walk.h"
#include "files/reader_chain.h"
#include "files/switch_file.h"
#include "shell/file_functions.h"

namespace trelmo {

namespace {

DialogField label(const std::string& name, const std::string& caption, const std::string& value) {
  return {name, DialogField::Label, caption, value, {}, 0};
}

long countItems(const Context& ctx) {
  long n = 0;
  Handle cur = ctx.current;
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  for (size_t i = 0; i < cap && anyItem(ctx.pool, cur) != 0; ++i) ++n;
  return n;
}

}  // namespace

DialogBox fileInformationBox(const Context& ctx) {
  const bool open = ctx.current != kNull;
  const std::string path = open ? filePath(ctx, ctx.current) : std::string();
  std::error_code ec;
  const auto bytes = std::filesystem::file_size(path, ec);
  DialogBox box{"FileInformationBox", "File Information", {}};
  box.fields.push_back(label("name", "File name", path));
  box.fields.push_back(label("format", "Format", ctx.params.format ? formatName(ctx.params.format) : "New file"));
  box.fields.push_back(label("size", "Size on disk", ec ? std::string("not saved") : std::to_string(bytes) + " bytes"));
  box.fields.push_back(label("items", "Items", std::to_string(open ? countItems(ctx) : 0)));
  box.fields.push_back(label("kind", "Kind", ctx.params.isSchematic() ? "Schematic" : "Board or drawing"));
  box.fields.push_back(label("modified", "Modified", open && fileUnsaved(ctx.rec(ctx.current)) ? "Yes" : "No"));
  box.fields.push_back(label("open", "Open files", std::to_string(openFileCount(ctx))));
  return box;
}

void fileInformation(Context& ctx) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beep);
  DialogBox box = fileInformationBox(ctx);
  ctx.host->runDialog(box);
}

void fileStep(Context& ctx, int step) {
  if (ctx.current == kNull || !switchFile(ctx, step)) return ctx.host->sound(Sound::Beep);
  currentFileChanged(ctx);
}

DialogBox selectFileBox(const Context& ctx) {
  const std::vector<Handle> files = openFiles(ctx);
  DialogBox box{"SelectFileBox", "Select File", {}};
  DialogField list{"file", DialogField::Choice, "Open files", "0", {}, 0};
  for (size_t i = 0; i < files.size(); ++i) {
    list.choices.push_back(filePath(ctx, files[i]));
    if (files[i] == ctx.current) list.value = std::to_string(i);
  }
  box.fields.push_back(list);
  return box;
}

void fileSelect(Context& ctx) {
  const std::vector<Handle> files = openFiles(ctx);
  if (files.empty()) return ctx.host->sound(Sound::Beep);
  DialogBox box = selectFileBox(ctx);
  if (!ctx.host->runDialog(box)) return;
  const long chosen = std::strtol(box.field("file")->value.c_str(), nullptr, 10);
  if (chosen < 0 || chosen >= static_cast<long>(files.size())) return ctx.host->sound(Sound::Beep);
  if (files[chosen] == ctx.current) return;
  if (!switchToFile(ctx, files[chosen])) return ctx.host->sound(Sound::Beep);
  currentFileChanged(ctx);
}

}  // namespace trelmo
