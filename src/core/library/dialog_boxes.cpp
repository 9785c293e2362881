// The library boxes in the catalogue (see shell/dialog_catalogue.h).
#include "context.h"
#include "library/library_boxes.h"
#include "shell/dialog_catalogue.h"

namespace trelmo {

DialogBoxList libraryDialogBoxes() {
  static constexpr DialogBoxEntry kBoxes[] = {
      {"ComponentLibraryBox", [](const Context& c) { return componentLibraryBox(c, {}); }},
      {"SetupLibraryFilesBox", setupLibraryFilesBox},
  };
  return kBoxes;
}

}  // namespace trelmo
