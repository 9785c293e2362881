// The listing of library contents, the searches by name and by pattern, and
// the loading of one component into the scratch ring that Place Component
// copies from.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trelmo {

struct Context;

// Entry references: bits 24-30 the library index plus one (127: the current
// file), bits 0-23 the byte offset of the component's first line (for the
// current file its ordinal), bit 31 set for entries found by a pattern
// search. Title lines have the reference 0.
constexpr uint32_t kFootprintEntry = 1u << 31;
constexpr uint32_t kEntryOffsetMask = (1u << 24) - 1;
inline int entryLibrary(uint32_t ref) { return static_cast<int>((ref >> 24) & 127); }  // index + 1, or 127
inline uint32_t entryOffset(uint32_t ref) { return ref & kEntryOffsetMask; }

struct LibraryLine {
  uint32_t ref = 0;
  std::string text;  // as shown: fields separated by tabs, display characters
};

enum class ListStatus { kListed, kEmptyEntry, kNotFound, kWrongFormat };

// Lists library `index` (0..31, or 127 the current file): a title line
// " *** NAME", a line of one blank, then one line per top-level component
// whose pattern matches `filter` (empty: every one). With a filter, a library
// without a match adds nothing. A missing or foreign file shows its message
// box unless `quiet`.
ListStatus listLibrary(Context& ctx, int index, std::string_view filter, std::vector<LibraryLine>& out,
                       bool quiet = false);
// Enter with wildcards in the Pattern field: every normal library 0..31, then
// the current file; with `footprints` (the alternate-pattern field) only the
// pattern libraries, their entries marked with bit 31.
std::vector<LibraryLine> searchLibraries(Context& ctx, std::string_view pattern, bool footprints);

// Loads the entry into the scratch ring (ctx.library.loaded) and fills the
// five fields from its attributes. False, with the scratch ring empty, when
// the entry cannot be read.
bool loadLibraryEntry(Context& ctx, uint32_t ref);
// Enter without wildcards: the first component of exactly that pattern, in
// the libraries 0..31 and then the current file (pattern libraries only with
// `footprints`). False when there is none.
bool loadComponentByName(Context& ctx, std::string_view name, bool footprints);

// A component as item lines (its header, its items with nested components,
// its end line), the origin (ox, oy) subtracted; hidden items are left out.
void componentAsItemLines(const Context& ctx, uint32_t header, std::string& out, int32_t ox, int32_t oy);

// The attribute text of a stored component (fields joined by byte 127) split
// into its fields; missing fields are empty.
std::vector<std::string> splitAttributes(std::string_view stored);

}  // namespace trelmo
