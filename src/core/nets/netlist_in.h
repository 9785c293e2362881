// Netlist In (NI): netlist files applied to the current design. Every pad a
// net names takes the net's signal; the parts the netlist lists are compared
// with the design's components, replaced or added from the libraries as the
// options say; what does not fit is written to the "NETLIST INPUT LOG".
//
// Three syntaxes are read, in any mix of files: our own fixed-column
// netlist (parts-list lines and net lines), the bracketed Protel/Tango
// netlist ("[" component blocks, "(" net blocks), and KiCad's S-expression
// netlist (a file whose first token is "(export"), whose footprint names
// are turned into our pattern names by a footprint map (see FootprintMap).
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/host.h"

namespace trelmo {

struct Context;

// One part of a netlist's parts list.
struct NetlistPart {
  long line = 0;
  std::string reference, pattern, value, modifier;
};
// One net and its nodes (reference, pin).
struct NetlistNet {
  long line = 0;
  std::string name;
  std::vector<std::pair<std::string, std::string>> nodes;
};
struct NetlistEntry {
  bool isNet = false;
  NetlistPart part;
  NetlistNet net;
};

// Line kinds of the fixed-column and bracketed syntaxes.
enum NetlistLineKind : int {
  kNetBlock = -1,   // "(": a Protel/Tango net block begins
  kPartBlock = -2,  // "[": a Protel/Tango component block begins
  kOtherLine = -3,  // ignored
  kNetLine = 0,     // a net's name and its first nodes
  kNarrowPart = 1,  // parts-list line, 15-character fields
  kWidePart = 2,    // parts-list line, 25-character fields
};
int classifyNetlistLine(std::string_view line);

// KiCad footprint names to our pattern names. The map file is plain text,
// one pair a line: the KiCad footprint (a "LIBRARY:" prefix may be left
// off; "*" and "?" match as in library searches) and our pattern, separated
// by blanks; blank lines and lines starting with "#" are skipped. A
// footprint without a line keeps its name without the library prefix.
class FootprintMap {
 public:
  // Reads the map (at most 1 MiB, 10,000 pairs); false when it cannot be read.
  bool read(const std::string& path);
  void add(std::string footprint, std::string pattern);
  std::string patternFor(std::string_view footprint) const;
  size_t size() const { return pairs_.size(); }

 private:
  std::vector<std::pair<std::string, std::string>> pairs_;
};

// The entries of one netlist file's text in the order they stand. `error`
// gets a description (with the line) when a KiCad netlist is malformed;
// what was read before is kept.
std::vector<NetlistEntry> readNetlistText(std::string_view text, const FootprintMap& map, std::string& error);
bool isKicadNetlist(std::string_view text);

struct NetlistInOptions {
  std::vector<std::string> files;  // read in this order
  bool replacePatterns = false;    // option bit 2
  bool replaceValues = false;      // option bit 1
  std::string log;                 // empty: beside the design; "-": stdout
  std::string date;                // of the log's title line; empty: today
  std::string footprintMap;        // empty: "footprint.map" beside each netlist, else in the library folder
};
struct NetlistInResult {
  bool written = false;  // the log was written
  bool closed = false;   // and put in place whole
  long nodes = 0;        // input nodes of all files
  int messages = 0;      // log lines with a message
};
// Applies the files (one undo event) and writes the log. Nothing changes
// when the log cannot be opened.
NetlistInResult applyNetlists(Context& ctx, const NetlistInOptions& options);

// The files of the design's folder (or the pattern's) whose names match the
// pattern's file name, in name order.
std::vector<std::string> netlistFiles(const Context& ctx, const std::string& pattern);
// The design's path with its extension replaced by ".N??".
std::string netlistInPattern(const Context& ctx);

// NI: "NetListInBox" (pattern, "patterns" and "values" options), then the
// matching files applied. 1 when the log was written.
int netlistIn(Context& ctx);
DialogBox netListInBox(const Context& ctx);
// Registers NI.
void installNetlistInput(Context& ctx);

}  // namespace trelmo
