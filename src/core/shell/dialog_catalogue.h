// The catalogue of every dialog box the program defines, built from the same
// builder functions the functions themselves call, so that `trelmo-cli
// dialogs` lists exactly what the editor shows and `trelmo-cli run --dialog`
// can check a box's name before the run.
//
// Adding a box:
//  1. Write its builder next to the function that opens it: a function that
//     returns the box with its default values, and have the function call it
//     (`DialogBox box = floodFillBox(ctx);`, then `ctx.host->runDialog(box)`).
//     A builder whose defaults depend on the current file takes the Context;
//     it must also work without a current file (the catalogue is listed from
//     a fresh Context), and it gives every field the box can have.
//  2. Register it with one line in the table of your subsystem's
//     `dialog_boxes.cpp` (e.g. `src/core/output/dialog_boxes.cpp`):
//         {"FloodFillBox", floodFillBox},
//     A builder that takes other arguments is registered through a lambda
//     with representative ones:
//         {"GerberInApertureBox", [](const Context&) { return gerberApertureBox(10); }},
//  3. A subsystem that has no `dialog_boxes.cpp` yet creates one defining
//         DialogBoxList <subsystem>DialogBoxes() { static constexpr DialogBoxEntry kBoxes[] = {...}; return kBoxes; }
//     where <subsystem> is its name in src/core/CMakeLists.txt (edit,
//     library, nets, router, output, image, import, ...). The build finds
//     the file and joins the list to the catalogue; nothing else changes.
//  4. Test it end to end with `trelmo-cli run ... --dialog BOX.FIELD=VALUE`
//     (the box opens when its function is typed as keys, `"ZS"`), or in a
//     core test with setDialogField (shell/dialog_script.h).
//
// The tables are constants: the catalogue holds no program state.
#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shell/host.h"

namespace trelmo {

struct Context;

using DialogBoxBuilder = DialogBox (*)(const Context&);

struct DialogBoxEntry {
  const char* name;  // the box's name, as its builder sets it
  DialogBoxBuilder build;
};
using DialogBoxList = std::span<const DialogBoxEntry>;

// The lists of the subsystems that have a dialog_boxes.cpp; the build
// generates this function.
using DialogBoxSection = DialogBoxList (*)();
std::span<const DialogBoxSection> dialogBoxSections();

// Every registered box, subsystem by subsystem in build order.
std::vector<DialogBoxEntry> dialogCatalogue();
// The entry of the box called `name`, or nullptr.
const DialogBoxEntry* findDialogBox(std::string_view name);

// A box as a person reads it: its name and title on one line, then one line
// per field with its name, kind, label, value, choices and length limit.
std::string describeDialogBox(const DialogBox& box);

}  // namespace trelmo
