// The flood, isolation and isolation output boxes in the catalogue (see
// shell/dialog_catalogue.h).
#include "context.h"
#include "flood/flood_functions.h"
#include "flood/isolation_boxes.h"
#include "shell/dialog_catalogue.h"

namespace trelmo {

DialogBoxList floodDialogBoxes() {
  static constexpr DialogBoxEntry kBoxes[] = {
      {"FloodFillBox", floodFillBox},
      {"TrackIsolationBox", trackIsolationBox},
      {"IsolationOutputBox", isolationOutputBox},
  };
  return kBoxes;
}

}  // namespace trelmo
