#include "shell/dialog_catalogue.h"

#include "shell/dialog_script.h"

namespace trelmo {

namespace {

// A table's columns are described without a value: each row has its own.
std::string describeField(const DialogField& f, bool withValue = true) {
  std::string line =
      "  " + f.name + ": " + dialogKindName(f.kind) + " \"" + oneLineText(withoutAccelerators(f.label)) + "\"";
  if (withValue && f.kind != DialogField::Table && (f.kind != DialogField::Label || !f.value.empty()))
    line += " = " + (f.value.empty() ? std::string("\"\"") : oneLineText(f.value));
  if (!f.choices.empty()) {
    line += "; choices";
    for (size_t i = 0; i < f.choices.size(); ++i)
      line += (i ? ", " : " ") + std::to_string(i) + " \"" + oneLineText(withoutAccelerators(f.choices[i])) + "\"";
  }
  if (f.maxLength > 0 && f.kind != DialogField::Label)
    line += "; at most " + std::to_string(f.maxLength) + " characters";
  if (f.kind == DialogField::Table && !f.rows.empty()) {
    line += "; rows " + f.rows.front().name + (f.rows.size() > 1 ? " to " + f.rows.back().name : "") +
            ", cells ROW.COLUMN\n";
    for (const DialogField& column : f.columns) line += "  " + describeField(column, false);
    return line;
  }
  return line + "\n";
}

}  // namespace

std::vector<DialogBoxEntry> dialogCatalogue() {
  std::vector<DialogBoxEntry> all;
  for (const DialogBoxSection section : dialogBoxSections())
    for (const DialogBoxEntry& e : section()) all.push_back(e);
  return all;
}

const DialogBoxEntry* findDialogBox(std::string_view name) {
  for (const DialogBoxSection section : dialogBoxSections())
    for (const DialogBoxEntry& e : section())
      if (name == e.name) return &e;
  return nullptr;
}

std::string describeDialogBox(const DialogBox& box) {
  std::string out = box.name + " \"" + oneLineText(box.title) + "\"\n";
  for (const DialogField& f : box.fields) out += describeField(f);
  return out;
}

}  // namespace trelmo
