// The boxes of the Edit menu, described as data. Each builder fills the box
// from an item (kNull: the defaults the catalogue lists); the scope buttons
// close a box as OK does with their value "1".
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "database/component_keys.h"
#include "database/record.h"
#include "shell/host.h"

namespace trelmo {

struct Context;

// "EditLineBox": layer, width; buttons "this", "contiguous", "all".
DialogBox editLineBox(const Context& ctx, Handle line);
// "EditArcBox": layer, width, radius, start, sweep, ellipse, axis.
DialogBox editArcBox(const Context& ctx, Handle arc);
// "EditPadBox": signal, pin, layer, type, x, y, drill, rotation; buttons
// "this", "component", "all".
DialogBox editPadBox(const Context& ctx, Handle pad);
// "EditTextBox": layer, size, rotation, anchor, mirror; buttons "this",
// "component", "all".
DialogBox editTextBox(const Context& ctx, Handle text);
// "EditCompSchBox" for a schematic, else "EditCompPcbBox": pattern, ref,
// value, modifier, and "pcb" (schematic) or "rotation" (board).
DialogBox editComponentBox(const Context& ctx, Handle header, bool schematic);
// "EditCompListBox": a table "components", one row per component ("C1" for
// the first), columns pattern, ref, value, modifier, pcb, rotation, flags.
DialogBox editComponentListBox(const Context& ctx);
// "LocateTextBox": the text searched for.
DialogBox locateTextBox(const Context& ctx);

// Which scope button closed a box: 0 this item (also plain OK), 1 the
// middle button, 2 "all".
int scopeOf(DialogBox& box);

// A box's degrees as a binary angle; a value that does not read is refused.
class FieldReader;
uint16_t readAngle(FieldReader& in, const std::string& key);
uint16_t boxSize16(int32_t v);

}  // namespace trelmo
