// The Nets menu's boxes in the catalogue (see shell/dialog_catalogue.h).
#include "context.h"
#include "nets/net_functions.h"
#include "nets/netlist_in.h"
#include "shell/dialog_catalogue.h"

namespace trelmo {

DialogBoxList netsDialogBoxes() {
  static constexpr DialogBoxEntry kBoxes[] = {
      {"SelectSignalBox", selectSignalBox},
      {"NameNetBox", nameNetBox},
      {"SignalDisplayBox", signalDisplayBox},
      {"NetListInBox", netListInBox},
  };
  return kBoxes;
}

}  // namespace trelmo
