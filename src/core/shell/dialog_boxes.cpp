// The shell's dialog boxes in the catalogue (see shell/dialog_catalogue.h).
#include "context.h"
#include "shell/dialog_catalogue.h"
#include "shell/dispatch.h"
#include "shell/file_functions.h"
#include "shell/macro.h"
#include "shell/setup_options.h"

namespace trelmo {

DialogBoxList shellDialogBoxes() {
  static constexpr DialogBoxEntry kBoxes[] = {
      {"FileNewBox", fileNewBox},
      {"FileRecallBox", fileRecallBox},
      {"FileInformationBox", fileInformationBox},
      {"SelectFileBox", selectFileBox},
      {"SetupOptionsBox", setupOptionsBox},
      {"KeyStrokeSetupBox", [](const Context&) { return keyStrokeSetupBox(0, false); }},
      {"KeyStrokeEditBox", [](const Context& ctx) { return keyStrokeEditBox(ctx, 0); }},
      {"ZoomScaleBox", zoomScaleBox},
  };
  return kBoxes;
}

}  // namespace trelmo
