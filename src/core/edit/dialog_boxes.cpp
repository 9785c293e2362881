// The Grab and Place menus' boxes in the catalogue (see shell/dialog_catalogue.h).
#include "context.h"
#include "edit/block_boxes.h"
#include "edit/edit_boxes.h"
#include "edit/grab_boxes.h"
#include "edit/place_boxes.h"
#include "edit/query_boxes.h"
#include "shell/dialog_catalogue.h"

namespace trelmo {

DialogBoxList editDialogBoxes() {
  static constexpr DialogBoxEntry kBoxes[] = {
      {"RotationAngleBox", rotationAngleBox},
      {"ScalingFactorBox", scalingFactorBox},
      {"LocateCompBox", locateComponentBox},
      {"PlaceLineBox", placeLineBox},
      {"PlaceArcBox", placeArcBox},
      {"PlacePadBox", placePadBox},
      {"PlaceTextBox", placeTextBox},
      {"PlaceSignalNameBox", placeSignalNameBox},
      {"SetupViaBox", setupViaBox},
      {"SetupDimensionBox", setupDimensionBox},
      {"EditLineBox", [](const Context& c) { return editLineBox(c, kNull); }},
      {"EditArcBox", [](const Context& c) { return editArcBox(c, kNull); }},
      {"EditPadBox", [](const Context& c) { return editPadBox(c, kNull); }},
      {"EditTextBox", [](const Context& c) { return editTextBox(c, kNull); }},
      {"EditCompSchBox", [](const Context& c) { return editComponentBox(c, kNull, true); }},
      {"EditCompPcbBox", [](const Context& c) { return editComponentBox(c, kNull, false); }},
      {"EditCompListBox", editComponentListBox},
      {"LocateTextBox", locateTextBox},
      {"QueryLineBox", [](const Context& c) { return queryBox(c, 'L'); }},
      {"QueryArcBox", [](const Context& c) { return queryBox(c, 'A'); }},
      {"QueryPadBox", [](const Context& c) { return queryBox(c, 'P'); }},
      {"QueryTextBox", [](const Context& c) { return queryBox(c, 'T'); }},
      {"QueryComponentBox", [](const Context& c) { return queryBox(c, 'C'); }},
      {"BlockLayersBox", blockLayersBox},
      {"BlockRotationBox", blockRotationBox},
      {"BuildCompBox", buildComponentBox},
      {"ResequenceComponentsBox", resequenceBox},
  };
  return kBoxes;
}

}  // namespace trelmo
