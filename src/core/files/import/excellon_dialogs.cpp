// The questions the drill reader asks: whether defaults are to be used for
// a file without header or tool sizes, and the size of an undefined tool.
#include <string>

#include "context.h"
#include "files/import/gerber_reader.h"

namespace trelmo {

DialogBox drillFormatBox(const DrillFormat& fmt) {
  DialogBox box{"ExcellonInFormatBox", "Excellon Import Alert", {}};
  box.fields.push_back(
      dialogField("message", DialogField::Label,
                  "The selected file appears to contain Excellon\nDrill data, but it has neither a start command\n"
                  "nor any tool size definitions."));
  box.fields.push_back(
      dialogField("units", DialogField::Radio, "Units", fmt.metric ? "1" : "0", {"I&nches", "&Millimetres"}));
  box.fields.push_back(dialogField("defaults", DialogField::Check, "Use default values for all drill sizes.",
                                   fmt.useDefaults ? "1" : "0"));
  return box;
}

bool askDrillFormat(Context& ctx, DrillFormat& fmt) {
  DialogBox box = drillFormatBox(fmt);
  if (!ctx.host->runDialog(box)) return false;
  fmt.metric = fieldInt(box, "units", fmt.metric) == 1;
  fmt.useDefaults = fieldInt(box, "defaults", fmt.useDefaults) == 1;
  return true;
}

DialogBox drillToolBox(int tool, uint16_t proposal) {
  DialogBox box{"ExcellonInToolBox", "Undefined Drill Tool", {}};
  box.fields.push_back(
      dialogField("message", DialogField::Label, "Drill tool T" + std::to_string(tool) + " has no size."));
  int mils = (proposal * 1000 + 32768) / 65536;
  box.fields.push_back(dialogField("diameter", DialogField::Integer, "&Diameter (mils)", std::to_string(mils)));
  box.fields.push_back(dialogField("defaults", DialogField::Check, "Use default values for all drill sizes.", "0"));
  return box;
}

uint16_t askDrillTool(Context& ctx, int tool, uint16_t proposal, bool& useDefaults) {
  DialogBox box = drillToolBox(tool, proposal);
  if (!ctx.host->runDialog(box)) return 0;
  if (fieldInt(box, "defaults", 0) == 1) {
    useDefaults = true;
    return 0;
  }
  int v = fieldInt(box, "diameter", 0);
  return v <= 0 ? 0 : toSize(v / 1000.0, false);
}

}  // namespace trelmo
