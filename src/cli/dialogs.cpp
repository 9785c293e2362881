// trelmo-cli dialogs: the catalogue of dialog boxes with their fields, so that
// a batch line can be written without reading the source.
#include <cstdio>

#include "cli/commands.h"
#include "shell/dialog_catalogue.h"

namespace trelmo::cli {

int dialogs(const std::vector<std::string>& args) {
  ReportingHost host;
  Context ctx(host);
  std::vector<DialogBoxEntry> shown;
  for (const std::string& name : args) {
    const DialogBoxEntry* e = findDialogBox(name);
    if (!e) {
      std::fprintf(stderr, "trelmo-cli: there is no box called %s\nUsage: trelmo-cli dialogs [BOX]...\n", name.c_str());
      return kUsageError;
    }
    shown.push_back(*e);
  }
  if (args.empty()) shown = dialogCatalogue();
  for (size_t i = 0; i < shown.size(); ++i)
    std::printf("%s%s", i ? "\n" : "", describeDialogBox(shown[i].build(ctx)).c_str());
  return kDone;
}

}  // namespace trelmo::cli
