// The boxes of the component library functions, described as data.
#pragma once
#include <string>
#include <vector>

#include "library/library_listing.h"
#include "shell/host.h"

namespace trelmo {

struct Context;

// "ComponentLibraryBox": the five attribute fields, the library drop-down
// ("library": the file list's entries and "<current file>", see
// libraryChoices), the listing ("listing": one choice per line), and the
// buttons "list" (Enter in the Pattern field), "modify" and "graphics".
DialogBox componentLibraryBox(const Context& ctx, const std::vector<LibraryLine>& listing);
// The library index of each drop-down entry.
std::vector<int> libraryChoices(const Context& ctx);

// "SetupLibraryFilesBox": "Use Default Library Path.", the path, and a table
// of the 32 file names ("Lib1".."Lib32", column "file").
DialogBox setupLibraryFilesBox(const Context& ctx);
// Stores a confirmed SetupLibraryFilesBox; false (with the box's message)
// when a name is too long.
bool applyLibraryFiles(Context& ctx, DialogBox& box);

// The Reference ID rule: no blank, tab or character outside 33..126.
bool validReferenceId(const std::string& ref);
void refuseReferenceId(Context& ctx);

}  // namespace trelmo
