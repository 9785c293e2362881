// What one Netlist In run works with: the design's components by reference,
// the log, the undo event, and the row new components are placed in.
#pragma once
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "database/component_keys.h"
#include "database/record.h"
#include "nets/netlist_in.h"

namespace trelmo {

struct Context;
class LogWriter;
class UndoTransaction;

// The log's messages, by index; the detail starts at column 44.
enum NetlistMessage : int {
  kSignalLayerMatch = 0,
  kPinNotFound = 1,
  kComponentNotFound = 2,
  kPinCrosslinked = 6,
  kPatternNotFound = 7,
  kPatternMismatch = 8,
  kComponentReplaced = 9,
  kValueMismatch = 10,
  kValueReplaced = 11,
  kModifierMismatch = 12,
  kModifierReplaced = 13,
  kUnlinkedPin = 14,
  kUnusedComponent = 15,
};
extern const std::array<const char*, 16> kNetlistMessages;

class NetlistWork {
 public:
  NetlistWork(Context& ctx, LogWriter& log, UndoTransaction& undo, const NetlistInOptions& options);

  // Every signal name leaves the lines, arcs and pads; through-hole pads
  // that an earlier run moved to a plane go back to layer 0.
  void clearSignals();
  void part(const NetlistPart& p);
  void net(const NetlistNet& n);
  // "Warning:" lines for components with pins that no net reached.
  void summary();
  // A log line: the reference (or "Line: " and the number) at column 0, the
  // message at 12, then the detail.
  void message(long line, const std::string& reference, int index, const std::string& detail);

  long nodes() const { return nodes_; }
  int messages() const { return messages_; }

 private:
  struct Part {
    Handle header;
    ComponentFields fields;
  };
  void index(Handle header);
  void unindex(Handle header);
  Handle component(const std::string& reference) const;
  Handle loadPattern(const std::string& pattern);
  Handle copyLoaded(Handle source, int32_t x, int32_t y);
  Handle addToRow(const std::string& pattern);
  Handle replacePattern(const NetlistPart& p, Handle old, const std::string& pattern);
  void setFields(Handle header, const ComponentFields& fields);
  void compareValues(const NetlistPart& p, Handle header);
  int matchLayer(const std::string& name);
  void node(const NetlistNet& n, const std::string& signal, int layer, const std::string& ref, const std::string& pin);

  Context& ctx_;
  LogWriter& log_;
  UndoTransaction& undo_;
  const NetlistInOptions& options_;
  // Components by reference and by reference less its gate letter.
  std::unordered_map<std::string, std::vector<Handle>> byReference_;
  std::set<std::string> unknown_;  // references reported as not found
  int32_t box_[4] = {0, 0, 0, 0};  // where new components go, in rows
  int32_t rowX_ = 0, rowY_ = 0, rowBottom_ = 0;
  long nodes_ = 0;
  int messages_ = 0;
};

}  // namespace trelmo
