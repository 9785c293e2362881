#include "library/library_boxes.h"

#include <cstring>

#include "context.h"
#include "library/library_files.h"
#include "shell/dialog_values.h"

namespace trelmo {

namespace {

constexpr int kFieldMax = 23;

DialogField button(const std::string& name, const std::string& label) {
  DialogField b;
  b.name = name;
  b.kind = DialogField::Button;
  b.label = label;
  b.value = "0";
  return b;
}

}  // namespace

std::vector<int> libraryChoices(const Context& ctx) {
  std::vector<int> out;
  for (int i = 0; i < kLibraries; ++i)
    if (!libraryName(ctx.params, i).empty()) out.push_back(i);
  out.push_back(kCurrentFileLibrary);
  return out;
}

DialogBox componentLibraryBox(const Context& ctx, const std::vector<LibraryLine>& listing) {
  const LibraryState& lib = ctx.library;
  DialogBox box;
  box.name = "ComponentLibraryBox";
  box.title = "Component Library Selection";
  const bool schematic = ctx.current != kNull && ctx.params.isSchematic();
  const char* labels[5] = {
      "Pattern:", "Ref ID:", "Type/value:", "Modifier:", schematic ? "PCB Pattern:" : "SCH Pattern:"};
  const char* keys[5] = {"pattern", "ref", "value", "modifier", "alternate"};
  for (int i = 0; i < 5; ++i) box.fields.push_back(textField(keys[i], labels[i], lib.fields[i], kFieldMax));
  std::vector<std::string> names;
  int chosen = 0;
  const std::vector<int> indexes = libraryChoices(ctx);
  for (size_t k = 0; k < indexes.size(); ++k) {
    const int i = indexes[k];
    if (i == kCurrentFileLibrary) {
      names.push_back("<current file>");
    } else {
      const LibraryName n = libraryName(ctx.params, i);
      names.push_back(n.file + (n.patterns ? "/" : ""));
    }
    if (i == lib.chosen) chosen = static_cast<int>(k);
  }
  DialogField drop = radioField("library", "Library:", names, chosen);
  drop.kind = DialogField::Choice;
  box.fields.push_back(drop);
  std::vector<std::string> lines;
  int picked = -1;
  for (size_t k = 0; k < listing.size(); ++k) {
    lines.push_back(listing[k].text);
    if (listing[k].ref != 0 && listing[k].ref == lib.lastEntry && picked < 0) picked = static_cast<int>(k);
  }
  DialogField list = radioField("listing", "", lines, picked);
  list.kind = DialogField::Choice;
  list.value = std::to_string(picked);
  box.fields.push_back(list);
  box.fields.push_back(button("list", "&List"));
  box.fields.push_back(button("modify", "&Modify Library File List"));
  box.fields.push_back(button("graphics", lib.graphics ? "Listing" : "&Graphics"));
  return box;
}

DialogBox setupLibraryFilesBox(const Context& ctx) {
  DialogBox box;
  box.name = "SetupLibraryFilesBox";
  box.title = "Setup Library Files";
  const std::string& path = ctx.shell.prefs.libraryPath;
  const bool useDefault = path.empty() || path[0] == ' ';
  box.fields.push_back(checkField("default", "Use Default Library Path.", useDefault));
  box.fields.push_back(textField("path", "Library Path:", useDefault ? std::string() : path, 255));
  DialogField table;
  table.name = "files";
  table.kind = DialogField::Table;
  table.label = "Library files:";
  table.columns.push_back(textField("file", "File", "", kLibraryNameMax));
  for (int i = 0; i < kLibraries; ++i) {
    const char* raw = ctx.params.libraries[i];
    table.rows.push_back({"Lib" + std::to_string(i + 1), {std::string(raw, strnlen(raw, kLibraryNameMax))}});
  }
  box.fields.push_back(table);
  return box;
}

bool applyLibraryFiles(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  const bool useDefault = in.check("default");
  const std::string path = trimmedText(in.text("path"));
  const DialogField* table = box.field("files");
  std::vector<std::string> names;
  if (table)
    for (const DialogRow& row : table->rows) {
      std::string name = row.values.empty() ? std::string() : trimmedText(row.values[0]);
      if (name.size() > static_cast<size_t>(kLibraryNameMax))
        in.refuse("files", "A library file name may have at most 32 characters.");
      names.push_back(std::move(name));
    }
  if (!in.report(ctx)) return false;
  for (int i = 0; i < kLibraries; ++i) {
    char* slot = ctx.params.libraries[i];
    std::memset(slot, 0, kLibraryNameMax + 1);
    if (static_cast<size_t>(i) < names.size()) names[i].copy(slot, kLibraryNameMax);
  }
  std::string& stored = ctx.shell.prefs.libraryPath;
  stored = useDefault || path.empty() ? std::string() : path;
  ctx.host->writeSetting("Library Path", stored);
  ctx.library.openPath.clear();
  if (ctx.current != kNull) ctx.rec(ctx.current).size |= kFileModified;
  return true;
}

bool validReferenceId(const std::string& ref) {
  for (unsigned char c : ref)
    if (c < 33 || c > 126) return false;
  return true;
}

void refuseReferenceId(Context& ctx) {
  ctx.host->messageBox("Invalid Reference ID",
                       "The Reference ID field contains an illegal\ncharacter.\n\nOnly alphabetic characters and "
                       "numbers\nare allowed.  Blanks, tabs, and special\ncharacters are not.");
}

}  // namespace trelmo
