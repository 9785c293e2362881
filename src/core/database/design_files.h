// Open design files: the open-file ring and the current file.
#pragma once
#include <string>
#include <string_view>

#include "database/pool.h"

namespace trelmo {

struct Context;

constexpr const char* kDefaultFileName = "TRELMO'98 for Windows";

// Creates a file sentinel and container header, appends it to the open-file
// ring and makes it current. Refused (kNull) when a file of the same path
// (case-insensitive) is open; the caller shows the message.
Handle newDesignFile(Context& ctx, std::string_view path);
// Frees a file's design list, container header and parked block; the next
// file becomes current (kNull when none is left).
void closeDesignFile(Context& ctx, Handle sentinel);
Handle findOpenFile(const Context& ctx, std::string_view path);
std::string filePath(const Context& ctx, Handle sentinel);
// The container header of a file and back.
Handle fileHeader(const Context& ctx, Handle sentinel);
int openFileCount(const Context& ctx);

// Changes since the last autosave (the autosave timer writes such a file).
inline bool fileModified(const Record& sentinel) { return (sentinel.size & kFileModified) != 0; }
// Changes not yet saved to the file's own name: an autosave keeps them only
// in the Autosave folder, so the save questions still ask.
inline bool fileUnsaved(const Record& sentinel) { return (sentinel.size & (kFileModified | kFileAutosaved)) != 0; }
// Saved to its own file: nothing left to save or autosave.
inline void markSaved(Record& sentinel) { sentinel.size &= static_cast<uint16_t>(~(kFileModified | kFileAutosaved)); }

}  // namespace trelmo
