// The import readers' dialog boxes in the catalogue (see
// shell/dialog_catalogue.h).
#include "files/import/gerber_reader.h"
#include "shell/dialog_catalogue.h"

namespace trelmo {

DialogBoxList importDialogBoxes() {
  static constexpr DialogBoxEntry kBoxes[] = {
      {"GerberInFormatBox", [](const Context&) { return gerberFormatBox(GerberFormat{}); }},
      {"GerberInApertureBox", [](const Context&) { return gerberApertureBox(10); }},
      {"ExcellonInFormatBox", [](const Context&) { return drillFormatBox(DrillFormat{}); }},
      {"ExcellonInToolBox", [](const Context&) { return drillToolBox(1, kDefaultDrill); }},
  };
  return kBoxes;
}

}  // namespace trelmo
