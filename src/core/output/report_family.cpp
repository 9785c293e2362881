// The report functions on the menus: their boxes, the default file names and
// the registration of NO, NP, NW and FB.
#include <string>

#include "context.h"
#include "edit/undo.h"
#include "output/report_functions.h"
#include "output/report_text.h"
#include "shell/dialog_values.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

DialogBox fileBox(const char* name, const char* title, const std::string& path) {
  DialogBox box;
  box.name = name;
  box.title = title;
  box.fields.push_back(textField("file", "File name:", path, 0));
  return box;
}

// The file name of a confirmed box, or empty (Beep) when it was left empty.
std::string chosenPath(Context& ctx, DialogBox& box) {
  std::string path = trimmedText(FieldReader(box).text("file"));
  if (path.empty()) ctx.host->sound(Sound::Beep);
  return path;
}

void reportFailure(Context& ctx, ReportStatus status, const std::string& path) {
  if (status != ReportStatus::kFileError) return;
  ctx.host->messageBox("File Open Error", "The report file \"" + path +
                                              "\" cannot\nbe written.\n\nPlease insure that you have write access "
                                              "for this path.");
}

void netlistOut(Context& ctx) {
  if (!autoPurgeRedo(ctx) || checkNetlistReferences(ctx) != 0) return;
  DialogBox box = netListOutBox(ctx);
  if (!ctx.host->runDialog(box)) return;
  FieldReader reader(box);
  NetlistOptions o;
  o.unconnected = reader.check("unconnected");
  o.bracketed = reader.choice("format", 2) == 1;
  if (!reader.report(ctx)) return;
  o.path = chosenPath(ctx, box);
  if (o.path.empty()) return;
  reportFailure(ctx, writeNetlist(ctx, o), o.path);
}

void billOut(Context& ctx) {
  DialogBox box = bomOutBox(ctx);
  if (!ctx.host->runDialog(box)) return;
  FieldReader reader(box);
  BillOptions o;
  o.ansi = reader.check("ansi");
  o.printer = reader.check("lpt1");
  o.csv = reader.check("csv");
  if (!reader.report(ctx)) return;
  o.path = o.printer ? std::string("LPT1") : chosenPath(ctx, box);
  if (o.path.empty()) return;
  reportFailure(ctx, writeBill(ctx, o), o.path);
}

void pinListOut(Context& ctx, bool wires) {
  DialogBox box = wires ? wireListOutBox(ctx) : pinListOutBox(ctx);
  if (!ctx.host->runDialog(box)) return;
  PinListOptions o;
  o.path = chosenPath(ctx, box);
  if (o.path.empty()) return;
  reportFailure(ctx, wires ? writeWireList(ctx, o) : writePinList(ctx, o), o.path);
}

void reportFamily(Context& ctx, uint16_t code, int /*source*/) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  if (code == fc('F', 'B')) return billOut(ctx);
  switch (memberOf(code)) {
    case 'O':
      return netlistOut(ctx);
    case 'P':
      return pinListOut(ctx, false);
    case 'W':
      return pinListOut(ctx, true);
    default:
      return ctx.host->sound(Sound::Beop);
  }
}

}  // namespace

DialogBox netListOutBox(const Context& ctx) {
  DialogBox box = fileBox("NetListOutBox", "Netlist Output File", netlistPath(ctx));
  box.fields.push_back(checkField("unconnected", "Include unconnected pins.", false));
  box.fields.push_back(radioField("format", "Format:", {"Trelmo netlist format.", "Protel/Tango netlist format."}, 0));
  return box;
}

DialogBox bomOutBox(const Context& ctx) {
  DialogBox box = fileBox("BOMOutBox", "BOM Output File", reportPath(ctx, ".bom"));
  box.fields.push_back(checkField("ansi", "Convert from PC8 character set to ANSI.", false));
  box.fields.push_back(checkField("lpt1", "Send output directly to LPT1.", false));
  box.fields.push_back(checkField("csv", "Comma-separated values for spreadsheets (CSV).", false));
  return box;
}

DialogBox pinListOutBox(const Context& ctx) {
  return fileBox("PinListOutBox", "Pin List Output File", reportPath(ctx, ".pin"));
}

DialogBox wireListOutBox(const Context& ctx) {
  return fileBox("WireListOutBox", "Wire List Output File", reportPath(ctx, ".wrl"));
}

void installReportFunctions(Context& ctx) {
  for (uint16_t code : {fc('N', 'O'), fc('N', 'P'), fc('N', 'W'), fc('F', 'B')})
    registerFunction(ctx, code, reportFamily);
}

}  // namespace trelmo
