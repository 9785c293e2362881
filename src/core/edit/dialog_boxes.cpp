// The Grab and Place menus' boxes in the catalogue (see shell/dialog_catalogue.h).
#include "context.h"
#include "edit/block_boxes.h"
#include "edit/grab_boxes.h"
#include "edit/place_boxes.h"
#include "shell/dialog_catalogue.h"

namespace trelmo {

DialogBoxList editDialogBoxes() {
  static constexpr DialogBoxEntry kBoxes[] = {
      {"RotationAngleBox", rotationAngleBox}, {"ScalingFactorBox", scalingFactorBox},
      {"LocateCompBox", locateComponentBox},  {"PlaceLineBox", placeLineBox},
      {"PlaceArcBox", placeArcBox},           {"PlacePadBox", placePadBox},
      {"PlaceTextBox", placeTextBox},         {"PlaceSignalNameBox", placeSignalNameBox},
      {"SetupViaBox", setupViaBox},           {"SetupDimensionBox", setupDimensionBox},
      {"BlockLayersBox", blockLayersBox},     {"BlockRotationBox", blockRotationBox},
      {"BuildCompBox", buildComponentBox},    {"ResequenceComponentsBox", resequenceBox},
  };
  return kBoxes;
}

}  // namespace trelmo
