// What the editing subsystem keeps between events: the undo context of each
// open file and the grab list that carries items on the cursor.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "database/record.h"
#include "shell/host.h"

namespace trelmo {

struct Context;

// The two stacks of one design file, singly linked through the entries'
// `prev` words, newest first.
struct UndoStacks {
  Handle undo = kNull;
  Handle redo = kNull;
};

// Follow flags of a ghost.
enum GhostFlags : uint8_t {
  kDeleteOnDrop = 8,
  kFirstFollows = 16,
  kSecondFollows = 32,
  kNewItem = 64,
};
// Grab modes: which points follow, and for new items the new-item bit.
enum GrabMode : uint8_t {
  kGrabFirst = 1,
  kGrabSecond = 2,
  kGrabWhole = 3,
  kGrabNewFirst = 5,
  kGrabNewSecond = 6,
  kGrabNewWhole = 7,
  kGrabDelete = 8,
};

// One ghost: a record (not in any design) holding the copy that moves, and
// the real item it stands for.
struct Ghost {
  Handle record = kNull;
  Handle item = kNull;
  Handle ring = kNull;    // sentinel of the ring holding the item; kNull: the file's own ring
  uint8_t follow = 0;     // GhostFlags
  bool arcStart = false;  // an arc grabbed by its start point (radius and start follow)
};

struct GrabList {
  std::vector<Ghost> ghosts;
  // The cursor position the ghosts were last moved to (the reference point).
  int32_t refX = 0, refY = 0;
  // The area that what was grabbed last covered: redrawn by showGrab.
  bool pending = false;
  int64_t pendingBox[4] = {0, 0, 0, 0};
};

// The Place functions between steps.
struct PlaceState {
  int32_t lastX = 0, lastY = 0;  // the last placed point (origin of ortho tracking)
  int arcStage = 0;              // graphic arc: 0 centre, 1 radius and start, 2 end
  Handle ghostItem = kNull;      // the new item of the function's own ghost
  uint16_t lineCode = 0;         // the line function whose rubber band is on the cursor
  std::vector<int32_t> polygon;  // filled solid: x, y of the vertices clicked so far
  std::string signalName;        // the signal name of ports and signal names
  // On-screen text entry.
  std::string text;
  size_t caret = 0;
  bool typed = false;
  Handle editing = kNull;  // the text item being edited (kNull: a new text)
  int32_t textX = 0, textY = 0;
};

// The Query menu's modeless boxes and windows, and what Locate remembers.
enum QueryWindow : uint8_t {
  kQueryLine = 1,
  kQueryArc = 2,
  kQueryPad = 4,
  kQueryText = 8,
  kQueryComponent = 16,
  kViewWindow = 32,
  kZoomWindow = 64,
  kImageEditor = 128,
};

struct QueryState {
  uint8_t open = 0;                                      // QueryWindow bits of the windows shown
  uint8_t putAway = 0;                                   // the windows Alt-Q took off the screen
  Handle textMatch = kNull;                              // the last text Locate Text found
  Handle componentMatch = kNull;                         // the last component Locate Component found
  std::vector<std::string> textFields, componentFields;  // the last search
  // The front end's modeless windows: `show` opens the window named by the
  // box (or refreshes it with the box's values), `close` takes it away. Both
  // may stay empty (nothing is shown).
  std::function<void(Context&, const DialogBox& box)> show;
  std::function<void(Context&, const std::string& name)> close;
};

// Kept out of this widely included header: edit/block.h and
// edit/resequence.h define them.
struct BlockDefinition;
struct ResequenceState;
struct ImageEditorState;

struct EditState {
  std::map<Handle, UndoStacks> undo;  // by file sentinel, made on first use
  GrabList grab;
  int32_t scaleFactor = 65536;  // the last factor of the scaling box, 16.16
  uint16_t rotationAngle = 0;   // the last angle of the rotation box
  PlaceState place;
  QueryState query;
  // The block and the resequencing parameters, made by their install
  // functions (null before).
  std::shared_ptr<BlockDefinition> block;
  std::shared_ptr<ResequenceState> resequence;
  // The image editor (QI): image/image_editor.h.
  std::shared_ptr<ImageEditorState> imageEditor;
};

}  // namespace trelmo
