// The File family: new, open, re-open, load, close, erase, save, save as,
// information, switching files and exit.
#pragma once
#include <string>
#include <vector>

#include "database/pool.h"
#include "shell/host.h"

namespace trelmo {

struct Context;

constexpr const char* kNoFileTitle = "TRELMO'98";

// Opens a file as a new current design file through the reader chain. A file
// already open is refused with the "File Open Error" box; a file that cannot
// be read leaves the previous current file current. True when opened.
bool openFileByName(Context& ctx, const std::string& path, char hint);
// After a change of the current file: window title and redraw.
void currentFileChanged(Context& ctx);
// Puts a path at the head of the Re-Open list (ten entries, no duplicates)
// and of the Re-Call list, and stores both.
void rememberFile(Context& ctx, const std::string& path);

// The file-open box with its "Files of type" list, and the reader hint of
// the type chosen (1-based).
FileDialog openFileDialog(const Context& ctx, const std::string& title);
char openFileHint(int filterIndex);

// The open files' sentinels in ring order.
std::vector<Handle> openFiles(const Context& ctx);
// A file that has never been saved under a name of its own ("unnamed.pcb").
bool isUntitled(const std::string& path);

// Saves the current file (FS); false when not saved.
bool saveCurrentFile(Context& ctx);
// Save As (FA): a name and type chosen in the save box; false when not saved.
bool saveCurrentFileAs(Context& ctx);
// Exit (FX): the save questions, then the window goes. False when cancelled.
bool exitProgram(Context& ctx);

// The family's dialog boxes with their values from the context.
DialogBox fileNewBox(const Context& ctx);
DialogBox fileRecallBox(const Context& ctx);
DialogBox fileInformationBox(const Context& ctx);
DialogBox selectFileBox(const Context& ctx);

// Members of the family, by function.
void fileNew(Context& ctx, int source);
void fileOpen(Context& ctx);
void fileReopen(Context& ctx, int entry);
void fileRecall(Context& ctx, int entry);
void fileTotalRecall(Context& ctx);
void fileLoad(Context& ctx);
void fileClose(Context& ctx);
void fileErase(Context& ctx);
void fileInformation(Context& ctx);
void fileStep(Context& ctx, int step);
void fileSelect(Context& ctx);

}  // namespace trelmo
