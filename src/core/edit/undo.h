// Undo and redo: every change to a design list is recorded on the current
// file's Un-Do stack, in events that are taken back and re-applied whole.
#pragma once
#include <cstdint>
#include <string_view>

#include "database/record.h"

namespace trelmo {

struct Context;
struct BlockDefinition;

// Entry kinds, kept in bits 4-5 of an entry's flags while it is on a stack;
// bit 3 says the entry continues the event of the entry below it.
enum UndoKind : uint8_t { kMarker = 0, kAdded = 1, kModified = 2, kRemoved = 3 };
constexpr uint8_t kContinues = 8;
constexpr uint8_t kEntryBitsClear = 199;  // flags AND 199: kind and continuation gone

// The recording functions. Each purges the current file's Re-Do stack first;
// `continues` joins the entry to the event of the entry below it. False when
// the pool is exhausted (the change then cannot be taken back).
bool recordAdded(Context& ctx, Handle item, bool continues);
// Called before the item changes: the entry keeps a copy of its values.
bool recordModified(Context& ctx, Handle item, bool continues);
// Unlinks the item from its ring and keeps the very record on the stack, so
// that re-insertion restores its identity; the item leaves the design now.
bool recordRemoved(Context& ctx, Handle item, bool continues);
// Clears the item pointer of every Un-Do entry that names the item (a new
// item discarded before it was committed); the entries become dead.
void forgetItem(Context& ctx, Handle item);
// A marker entry with the text and the time; nothing for an empty text.
bool pushMarker(Context& ctx, std::string_view text, bool continues = false);

// State entries: kind 0 records of this type carry what an event changed
// beside its items (undo_edit_state.cpp); Un-Do and Re-Do exchange it with
// the present state and pass on silently.
constexpr uint8_t kStateEntryType = kReserved;
// Pushes a prepared entry record of kind 0 (Re-Do stack purged first).
bool recordState(Context& ctx, Handle entry, bool continues);
// The active layer before an edit picked another.
bool recordActiveLayer(Context& ctx, uint16_t before, bool continues);
// The block's outline and source reference point before a block move.
bool recordBlockOutline(Context& ctx, const BlockDefinition& before, bool continues);
// Exchanges a state entry's values with the present ones; true when the
// block outline changed (the view is redrawn whole).
bool exchangeEditState(Context& ctx, Handle entry);
// The newest entry of the current file's Un-Do stack (kNull: none).
Handle undoTop(const Context& ctx);

// Pops and frees every entry; a removed item is freed with what it owns (a
// component with its whole ring).
void purgeUndoStack(Context& ctx, Handle file);
void purgeRedoStack(Context& ctx, Handle file);

bool undoAvailable(const Context& ctx);
bool redoAvailable(const Context& ctx);
// Entries on the current file's stacks (tests and benchmarks).
size_t undoDepth(const Context& ctx, bool redo = false);

// Takes back (or re-applies) one event. `all` passes markers silently;
// otherwise a marker ends the event with its message box. False when the
// stack was empty.
bool undoEvent(Context& ctx, bool all = false);
bool redoEvent(Context& ctx, bool all = false);
// Until the stack is empty; the number of events.
int undoAll(Context& ctx);
int redoAll(Context& ctx);

// The check every editing menu makes first: with a Re-Do stack, asks (when
// "Purge Re-Do Notification" is on) and purges it. False: the function must
// not run.
bool autoPurgeRedo(Context& ctx);

// A save to disk: the Un-Do stack goes unless "Un-Do Beyond Save to Disk".
void afterSave(Context& ctx, Handle file);

// One editing action: what it records forms one undo event, and the redraw
// of the union of the changed extents happens once, when it ends.
class UndoTransaction {
 public:
  explicit UndoTransaction(Context& ctx);
  ~UndoTransaction();
  UndoTransaction(const UndoTransaction&) = delete;
  UndoTransaction& operator=(const UndoTransaction&) = delete;

  bool added(Handle item);
  bool modified(Handle item);
  bool removed(Handle item);
  // Every item of a ring, nested rings included, before a change in place to
  // all of them (the mirror view); a filled solid gets a copy of its
  // vertices so that the old ones stay with the entry.
  bool modifiedRing(Handle ring);
  // The active layer as it was before the edit (taken back with the event).
  bool activeLayer(uint16_t before) { return recordActiveLayer(ctx_, before, next()); }
  // Adds an item's extent to the area redrawn at the end.
  void touch(Handle item);
  // The whole view is redrawn at the end instead.
  void redrawAll() { all_ = true; }
  int count() const { return count_; }

 private:
  bool next() { return count_++ > 0; }
  Context& ctx_;
  int count_ = 0;
  bool any_ = false;
  bool all_ = false;
  int64_t box_[4] = {0, 0, 0, 0};
};

// A copy of a filled solid's vertex chain; kNull when the pool ran out.
Handle copyVertexChain(Context& ctx, Handle first);

// The box an item covers when drawn (generous: widths, a turned pad's
// diagonal, a text's sweep), a component with its whole ring.
void itemExtent(const Context& ctx, Handle item, int64_t box[4]);
// Redraws the world box (grown to whole pixels) through the host.
void redrawWorldBox(Context& ctx, const int64_t box[4]);

}  // namespace trelmo
