// The plot and photo-plot boxes in the catalogue (see shell/dialog_catalogue.h).
#include "context.h"
#include "output/output_functions.h"
#include "output/plot_boxes.h"
#include "output/report_functions.h"
#include "shell/dialog_catalogue.h"

namespace trelmo {

DialogBoxList outputDialogBoxes() {
  static constexpr DialogBoxEntry kBoxes[] = {
      {"PlotterOutputBox", plotterOutputBox}, {"PlotterSettingsBox", plotterSettingsBox},
      {"WaitPlotterBox", waitPlotterBox},     {"GerberOutBox", gerberOutBox},
      {"NetListOutBox", netListOutBox},       {"BOMOutBox", bomOutBox},
      {"PinListOutBox", pinListOutBox},       {"WireListOutBox", wireListOutBox},
  };
  return kBoxes;
}

}  // namespace trelmo
