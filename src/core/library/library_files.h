// Component library files: the file list of the design, the library folder
// and the text of a library file as read for listing and loading.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trelmo {

struct Context;
struct Params;

// One entry of the library file list: the file name (a trailing '/' taken
// off) and whether it is a pattern (footprint) library.
struct LibraryName {
  std::string file;
  bool patterns = false;
  bool empty() const { return file.empty(); }
};
LibraryName libraryName(const Params& p, int index);

// The library folder, ending in '/': the "Library Path" setting, or the
// LIBRARY folder of the installed data when the setting is empty or begins
// with a blank.
std::string libraryFolder(const Context& ctx);
// The folder plus the entry's file name; an absolute name stands alone.
std::string libraryPath(const Context& ctx, const LibraryName& name);

enum class LibraryFormat { kUnknown, kDataFile, kSourceLibrary };
// Recognises a library by its first line; `version` gets the version digit
// of a data file (the 16th character of the line).
LibraryFormat libraryFormat(std::string_view firstLine, char* version = nullptr);

// "?" matches one character, "*" any run (case does not matter).
bool wildcardMatch(std::string_view pattern, std::string_view text);
bool hasWildcards(std::string_view s);

// Reads a library file into memory (at most 64 MiB). False when it cannot be
// read.
bool readLibraryText(const std::string& path, std::string& text);

// The lines of a text with their byte offsets; a line ends at LF, CR LF or CR.
struct TextLine {
  size_t offset;
  std::string_view text;
};
// The line that begins at `offset` (empty at the end of the text) and the
// offset of the line after it.
TextLine lineAt(std::string_view text, size_t offset, size_t& next);

}  // namespace trelmo
