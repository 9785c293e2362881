// The image editor (QI, "QueryImageBox"): a modeless window over the current
// picture that shows the pixels around the cursor's pixel magnified and
// changes them in one of four modes with a left and a right colour.
//
// Colours: an 8-bit picture stores palette indexes. With "Palette" chosen the
// colours are indexes; with "24-Bit" they are RGB values and an edit stores
// the palette entry that shows nearest to the colour (the palette itself is
// never changed, so other pixels keep their look). A 24-bit picture is always
// edited in RGB. Edits can be undone inside the editor (the design's Un-Do
// stack holds items, not pixels).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "image/pixel_edits.h"
#include "shell/host.h"

namespace trelmo {

struct Context;

enum class PixelMode : uint8_t { Select = 0, Set = 1, Flood = 2, ChangeAll = 3 };
constexpr int kPixelModes = 4;
// The mode's text, also the status-bar prompt while it is active.
const char* pixelModeText(PixelMode mode);

// The command that makes the open editor read the pixels around the cursor
// again (the cursor moved, the picture changed).
constexpr int kImageEditorRefresh = 9999;

// A colour of the editor: the palette index used with "Palette" on an 8-bit
// picture, and the RGB (0xRRGGBB) used otherwise and shown in the swatch.
struct PixelColour {
  uint8_t index = 0;
  uint32_t rgb = 0;
};

struct ImageEditorState {
  bool open = false;
  PixelMode mode = PixelMode::Select;
  bool rgb = false;  // "24-Bit" chosen
  PixelColour left{255, 0xFFFFFF}, right{0, 0};
  // The cursor's picture pixel when the window was last filled; the
  // heartbeat refreshes the window when it changes.
  uint32_t shownImage = 0;
  int64_t shownCol = -1, shownRow = -1;
  uint64_t changes = 0, shownChanges = 0;  // counts changes of pixels and settings, so they show at once
  std::vector<PixelUndo> undo;             // oldest first
};

// Undo keeps at most this many edits, and drops the oldest ones beyond
// this many bytes (one edit is always kept, whatever its size).
constexpr size_t kPixelUndoEdits = 32;
constexpr size_t kPixelUndoBytes = size_t{64} << 20;

// Makes the editor's state and plugs it into the heartbeat and the cursor.
void installImageEditor(Context& ctx);
ImageEditorState& imageEditor(Context& ctx);
bool imageEditorOpen(const Context& ctx);

// QI from the menu, a key or a macro: opens the editor (Beep when the file
// has no picture) or closes it. Open, QI is the current function: Enter and
// the left button apply the mode at the cursor with the left colour.
void toggleImageEditor(Context& ctx);
void closeImageEditor(Context& ctx);
// QI repeated by Enter or the left button: the mode at the cursor with the
// left colour.
void repeatImageEditor(Context& ctx);
// The window's commands: kImageEditorRefresh fills it again.
void imageEditorCommand(Context& ctx, int command);

// The box the window shows: mode, palette choice, the two colours, the
// cursor's pixel and its value.
DialogBox imageEditorBox(const Context& ctx);
// Takes mode, palette choice and colours from the box ("N" a palette index,
// "#RRGGBB" a colour) and undoes "undo" edits; false (with a message) when a
// value is refused.
bool applyImageEditorBox(Context& ctx, DialogBox& box);

// The mode at picture pixel (col, row) with the left or the right colour;
// false (Beep) when there is no picture or the pixel is off it.
bool applyImageEditor(Context& ctx, uint32_t col, uint32_t row, bool right);
// The same at the world cursor.
bool applyImageEditorAtCursor(Context& ctx, bool right);
// Undoes the editor's last edit; false (Beep) when there is none or it was
// made to a picture that is not the current one.
bool undoImageEdit(Context& ctx);
// The picture's pixels moved (a mirror or turn in place): its edits can no
// longer be undone.
void forgetImageEdits(Context& ctx, uint32_t image);
// Sets a colour: from the palette (an 8-bit picture's index) or an RGB.
void setEditorColour(Context& ctx, bool right, bool fromIndex, uint32_t value);
// Choosing a mode while the editor is open makes it the current function
// again (Enter and the left button in the drawing apply it).
void setEditorMode(Context& ctx, PixelMode mode);
void setEditorRgb(Context& ctx, bool rgb);

// The pixels around the cursor's pixel for the window's grid: side x side
// shown colours (0xRRGGBB, or -1 off the picture), row by row from the top,
// centred on the cell under the cursor (whose column and row may lie off the
// picture).
struct PixelNeighbourhood {
  int side = 0;
  int64_t col = 0, row = 0;  // the centre cell's picture pixel
  std::vector<int64_t> colours;
};
PixelNeighbourhood pixelNeighbourhood(const Context& ctx, int side);

}  // namespace trelmo
