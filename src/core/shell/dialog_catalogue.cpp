#include "shell/dialog_catalogue.h"

#include "shell/dialog_script.h"

namespace trelmo {

namespace {

std::string describeField(const DialogField& f) {
  std::string line =
      "  " + f.name + ": " + dialogKindName(f.kind) + " \"" + oneLineText(withoutAccelerators(f.label)) + "\"";
  if (f.kind != DialogField::Label || !f.value.empty())
    line += " = " + (f.value.empty() ? std::string("\"\"") : oneLineText(f.value));
  if (!f.choices.empty()) {
    line += "; choices";
    for (size_t i = 0; i < f.choices.size(); ++i)
      line += (i ? ", " : " ") + std::to_string(i) + " \"" + oneLineText(withoutAccelerators(f.choices[i])) + "\"";
  }
  if (f.maxLength > 0 && f.kind != DialogField::Label)
    line += "; at most " + std::to_string(f.maxLength) + " characters";
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
