// The signal name table shared by all open files.
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

#include "database/pool.h"

namespace trelmo {

struct Context;

constexpr int kSignalNameMax = 19;

struct SignalTable {
  Handle head = kNull;  // marker 3, no name
  Handle tail = kNull;  // name of 28 bytes of 255
  // Upper-cased name -> record, kept beside the list (which stays the
  // authority) so that attaching stays fast with thousands of signals: the
  // ordered index tells where a new name goes, the hashed one finds names.
  std::map<std::string, Handle> index;
  std::unordered_map<std::string, Handle> byName;
};

// Creates the head and tail records. False when the pool is exhausted.
bool initSignalTable(Context& ctx);
// Attaches the signal to an item (see the item's extension pointer). The name
// ends at a blank, a control character or 255, at most 19 characters; an
// empty name leaves the item without a signal. Case-insensitive reuse, first
// spelling kept.
bool attachSignal(Context& ctx, Handle item, std::string_view name);
// Finds a signal record by name (case-insensitive), kNull when absent.
Handle findSignal(const Context& ctx, std::string_view name);
std::string signalName(const Context& ctx, Handle signalRecord);
uint32_t signalRefs(const Context& ctx, Handle signalRecord);
// True when the extension of an item of this type is a signal record.
bool isSignalRecord(const Context& ctx, Handle h);
// The signal name of an item, empty when it has none.
std::string itemSignal(const Context& ctx, Handle item);

}  // namespace trelmo
