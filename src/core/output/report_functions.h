// The text reports: Netlist Out (NO), BOM Out (FB), Pinlist Out (NP) and the
// wire list (NW), each a fixed-column text with CR LF line ends, and the
// bill of materials as CSV for spreadsheets.
#pragma once
#include <string>

#include "shell/host.h"

namespace trelmo {

struct Context;

// Registers NO, NP, NW and FB with the dispatcher.
void installReportFunctions(Context& ctx);

struct NetlistOptions {
  std::string path;
  bool bracketed = false;    // the Protel/Tango form instead of our own
  bool unconnected = false;  // nets of one pin with generated names too
  std::string date;          // of the title lines; empty: today
};
enum class ReportStatus { kWritten, kCancelled, kStopped, kFileError };

// Every top-level component needs a reference ID that begins with "A" to
// "Z" (symbols without one whose pattern begins with "$" excepted). 0 when
// all pass, else the offender's sequence number (from 1), after the "Net
// List Error" box.
int checkNetlistReferences(Context& ctx);
// Gives every copper island (every wire of a schematic) a signal name:
// old generated names go, islands without a name get "$" and a number.
// False, with the cursor on the fault and its status shown, when a flood
// met two signals, two co-linear wires join or the user cancelled.
bool completeSignals(Context& ctx);
// The netlist of the design as it stands.
std::string netlistText(const Context& ctx, const NetlistOptions& options);
// The signal names completed, then the netlist written.
ReportStatus writeNetlist(Context& ctx, const NetlistOptions& options);

struct BillOptions {
  std::string path;
  bool ansi = false;     // the PC8 characters turned into their ANSI codes
  bool printer = false;  // the text goes to the printer as a raw job
  bool csv = false;      // comma-separated values instead of columns
  std::string date;
};
std::string billText(const Context& ctx, const BillOptions& options);
// One row per distinct value and pattern, with quantity and references.
std::string billCsv(const Context& ctx);
ReportStatus writeBill(Context& ctx, const BillOptions& options);

struct PinListOptions {
  std::string path;
  std::string date;
};
std::string pinListText(const Context& ctx, const PinListOptions& options);
std::string wireListText(const Context& ctx, const PinListOptions& options);
ReportStatus writePinList(Context& ctx, const PinListOptions& options);
ReportStatus writeWireList(Context& ctx, const PinListOptions& options);

// PC8 to ANSI: degree, half, quarter and micro signs to their ANSI codes,
// the omega to "ohms"; the three characters it adds are taken back from
// later runs of blanks so that the columns after it stay in place.
std::string pc8ToAnsi(const std::string& line);

// The default file names: the netlist's ".N" extension (S01 gives N01, SH1
// gives NT1, others ".NET"), ".bom", ".pin" and ".wrl".
std::string netlistPath(const Context& ctx);

DialogBox netListOutBox(const Context& ctx);
DialogBox bomOutBox(const Context& ctx);
DialogBox pinListOutBox(const Context& ctx);
DialogBox wireListOutBox(const Context& ctx);

}  // namespace trelmo
