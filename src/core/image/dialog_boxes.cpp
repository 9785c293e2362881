// The picture boxes in the catalogue (see shell/dialog_catalogue.h).
#include "image/image_boxes.h"
#include "image/image_editor.h"
#include "shell/dialog_catalogue.h"

namespace trelmo {

DialogBoxList imageDialogBoxes() {
  static constexpr DialogBoxEntry kBoxes[] = {
      {"SetupPixelImageBox", setupPixelImageBox},
      {"PixelGammaBox", pixelGammaBox},
      {"ImageRectifyBox", imageRectifyBox},
      {"QueryImageBox", imageEditorBox},
  };
  return kBoxes;
}

}  // namespace trelmo
