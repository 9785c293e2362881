// The Nets menu's boxes in the catalogue (see shell/dialog_catalogue.h).
#include "context.h"
#include "nets/net_functions.h"
#include "shell/dialog_catalogue.h"

namespace trelmo {

DialogBoxList netsDialogBoxes() {
  static constexpr DialogBoxEntry kBoxes[] = {
      {"SelectSignalBox", selectSignalBox},
      {"NameNetBox", nameNetBox},
      {"SignalDisplayBox", signalDisplayBox},
  };
  return kBoxes;
}

}  // namespace trelmo
