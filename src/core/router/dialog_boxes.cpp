// The autorouter's boxes in the catalogue (see shell/dialog_catalogue.h).
#include "context.h"
#include "router/router_functions.h"
#include "shell/dialog_catalogue.h"

namespace trelmo {

DialogBoxList routerDialogBoxes() {
  static constexpr DialogBoxEntry kBoxes[] = {
      {"AutoRouteBox", autoRouteBox},
      {"RouterWaitBox", routerWaitBox},
  };
  return kBoxes;
}

}  // namespace trelmo
