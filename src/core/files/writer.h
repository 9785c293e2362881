// Saving design files: the version 4 writer, backup and autosave.
#pragma once
#include <string>

#include "database/pool.h"
#include "files/file_failure.h"

namespace trelmo {

struct Context;

// Writes the current design file to path. Any format code but 'C' shows the
// substitution message first and writes version 4. The previous file at path
// is replaced only when the whole new file was written (temporary file beside
// it, flushed, renamed over it); false when anything failed.
bool writeDesignFile(Context& ctx, const std::string& path, char format);
// The same; on failure `why` tells the reason (the system's error text).
bool writeDesignFile(Context& ctx, const std::string& path, char format, FileFailure& why);
// Moves the existing file into the Backup folder (or to path + ".bak") before
// the first save of an opened file.
// The same, with the system's reason in `reason` when given.
bool writeDesignFile(Context& ctx, const std::string& path, char format, std::string* reason);
bool backupFile(Context& ctx, Handle fileSentinel, const std::string& path);
// Writes a modified file into the Autosave folder and clears its modified
// flag; the file stays unsaved (fileUnsaved) until it is saved under its name.
bool autosave(Context& ctx, Handle fileSentinel);
// Where autosave keeps its copy of the file at `path` (the Autosave folder
// of the data folder, the file's own name); empty without a data folder.
std::string autosavePath(const Context& ctx, const std::string& path);

}  // namespace trelmo
