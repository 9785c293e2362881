// The Grab menu's boxes in the catalogue (see shell/dialog_catalogue.h).
#include "context.h"
#include "edit/grab_boxes.h"
#include "shell/dialog_catalogue.h"

namespace trelmo {

DialogBoxList editDialogBoxes() {
  static constexpr DialogBoxEntry kBoxes[] = {
      {"RotationAngleBox", rotationAngleBox},
      {"ScalingFactorBox", scalingFactorBox},
  };
  return kBoxes;
}

}  // namespace trelmo
