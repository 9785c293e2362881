#include "library/library_listing.h"

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "files/item_lines.h"
#include "files/reader_items.h"
#include "library/library_files.h"

namespace trelmo {

namespace {

// Nesting lines of a data file: a component or container header opens a
// ring, an end line closes one.
bool opensRing(std::string_view line) {
  return line.size() > 1 && (line[0] == '6' || line[0] == '7') && line[1] == ' ';
}
bool closesRing(std::string_view line) { return line.size() > 1 && line[0] == '0' && line[1] == ' '; }

// A component's attribute text in a data file: its header line without the
// first seven fields (type, layer, width and the four box coordinates).
std::string_view headerAttributes(std::string_view line) {
  size_t pos = 0;
  for (int field = 0; field < 7 && pos < line.size(); ++field) {
    const size_t blank = line.find(' ', pos);
    pos = blank == std::string_view::npos ? line.size() : blank + 1;
  }
  return line.substr(pos);
}

// The first word of an attribute text: the component's pattern.
std::string_view patternOf(std::string_view attributes, char separator) {
  const size_t end = attributes.find_first_of(std::string{separator, '\x7F', '\t'});
  return attributes.substr(0, end);
}

std::string shown(std::string_view attributes, bool oldFormat) {
  std::string s(attributes);
  if (oldFormat)
    for (char& c : s)
      if (c == ',') c = '\t';
  return toDisplay(s, FieldRule::Tab);
}

void title(std::vector<LibraryLine>& out, const std::string& name) {
  out.push_back({0, " *** " + name});
  out.push_back({0, " "});
}

// The library text, from the file kept open when it is the same one.
bool libraryText(Context& ctx, const std::string& path, std::string_view& text) {
  LibraryState& lib = ctx.library;
  if (lib.openPath != path) {
    lib.openPath.clear();
    if (!readLibraryText(path, lib.openText)) return false;
    lib.openPath = path;
  }
  text = lib.openText;
  return true;
}

std::string firstLine(std::string_view text) {
  size_t next = 0;
  return std::string(lineAt(text, 0, next).text);
}

// Every entry of a library text: the reference offset and attribute text
// (old format: the "$" line without its "$").
template <typename Fn>
void forEachEntry(std::string_view text, LibraryFormat format, Fn fn) {
  size_t pos = 0, next = 0;
  int depth = 0;
  lineAt(text, 0, pos);  // the header line
  while (pos < text.size()) {
    const TextLine line = lineAt(text, pos, next);
    if (line.offset > kEntryOffsetMask) return;  // beyond what a reference can name
    if (format == LibraryFormat::kDataFile) {
      if (opensRing(line.text)) {
        if (depth == 0 && line.text[0] == '6') fn(static_cast<uint32_t>(line.offset), headerAttributes(line.text));
        ++depth;
      } else if (closesRing(line.text) && depth > 0) {
        --depth;
      }
    } else if (!line.text.empty() && line.text[0] == '$') {
      fn(static_cast<uint32_t>(line.offset), line.text.substr(1));
    }
    pos = next;
  }
}

void notFound(Context& ctx, const std::string& path) {
  ctx.host->messageBox("Library file not found", "The file \"" + path + "\" cannot be located.");
}

void wrongFormat(Context& ctx, const std::string& path) {
  ctx.host->messageBox("Library file error", "The file \"" + path +
                                                 "\" cannot be processed\nas a component library.\n\nPlease open "
                                                 "it and save it as a TRELMO V4 file type.");
}

// The scratch ring, emptied (made on first use).
Handle freshScratch(Context& ctx) {
  LibraryState& lib = ctx.library;
  if (lib.loaded == kNull)
    lib.loaded = newRing(ctx.pool, kFileRing);
  else
    freeItemDeeply(ctx, lib.loaded);
  return lib.loaded;
}

void fillFields(Context& ctx) {
  const Handle ring = ctx.library.loaded;
  const Handle header = ctx.rec(ring).next;
  if (header == ring || ctx.rec(header).type() != kComponent) return;
  const std::vector<std::string> f = splitAttributes(readText(ctx, ctx.rec(header).ext));
  for (size_t i = 0; i < ctx.library.fields.size(); ++i) ctx.library.fields[i] = toDisplay(f[i], FieldRule::EndText);
}

bool loadDataEntry(Context& ctx, std::string_view text, size_t offset, Handle ring) {
  ItemBuilder builder(ctx, ring, ItemSyntax::kFile);
  size_t pos = offset, next = 0;
  int depth = 0;
  do {
    const TextLine line = lineAt(text, pos, next);
    if (pos >= text.size()) break;
    if (opensRing(line.text))
      ++depth;
    else if (closesRing(line.text))
      --depth;
    if (!builder.parseLine(line.text)) break;
    pos = next;
  } while (depth > 0);
  builder.finish();
  return !builder.failed() && depth == 0;
}

// The older source-library form: "$PATTERN,REF,VALUE,..." then item lines
// whose columns are separated by commas, up to a blank line or the next "$".
bool loadSourceEntry(Context& ctx, std::string_view text, size_t offset, Handle ring) {
  size_t next = 0;
  const TextLine head = lineAt(text, offset, next);
  if (head.text.empty() || head.text[0] != '$') return false;
  std::string attributes(head.text.substr(1));
  for (char& c : attributes)
    if (c == ',') c = '\x7F';
  ItemBuilder builder(ctx, ring, ItemSyntax::kFile);
  builder.openNested(kComponent, 0, 0, 0, 0, 0, 0, attributes);
  size_t pos = next;
  while (pos < text.size() && !builder.failed()) {
    const TextLine line = lineAt(text, pos, next);
    std::string_view t = line.text;
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    if (t.empty() || t[0] == '$') break;
    std::string spaced(t);
    for (char& c : spaced)
      if (c == ',') c = ' ';
    builder.parseLine(spaced);
    pos = next;
  }
  builder.closeNested(kComponentRing, 0, 0, 0);
  builder.finish();
  const Handle header = ctx.rec(ring).next;
  if (builder.failed() || header == ring || ctx.rec(header).type() != kComponent) return false;
  const ItemBox b = ringBounds(ctx.pool, ctx.rec(header).ext);
  Record& h = ctx.rec(header);
  h.x1 = static_cast<int32_t>(b.x0), h.y1 = static_cast<int32_t>(b.y0);
  h.w3 = static_cast<int32_t>(b.x1), h.w4 = static_cast<int32_t>(b.y1);
  return true;
}

// The n-th top-level component of the current file.
Handle currentComponent(const Context& ctx, uint32_t ordinal) {
  if (ctx.current == kNull) return kNull;
  const Handle file = ctx.current;
  for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.type() == kComponent && !r.hidden() && ordinal-- == 0) return h;
  }
  return kNull;
}

void appendComponent(const Context& ctx, Handle header, std::string& out, int32_t ox, int32_t oy, int depth) {
  writeItemLine(ctx, header, out, ox, oy, false);
  const Handle ring = ctx.rec(header).ext;
  if (!ctx.pool.valid(ring)) return;
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.hidden()) continue;
    if (r.type() == kComponent && ctx.pool.valid(r.ext) && depth < 32)
      appendComponent(ctx, h, out, ox, oy, depth + 1);
    else if (r.type() != kComponent)
      writeItemLine(ctx, h, out, ox, oy, false);
  }
  writeItemLine(ctx, ring, out, ox, oy, false);  // the end line
}

}  // namespace

void componentAsItemLines(const Context& ctx, uint32_t header, std::string& out, int32_t ox, int32_t oy) {
  appendComponent(ctx, header, out, ox, oy, 0);
}

std::vector<std::string> splitAttributes(std::string_view stored) {
  std::vector<std::string> f(1);
  for (char c : stored) {
    if (c == '\x7F')
      f.emplace_back();
    else
      f.back() += c;
  }
  if (f.size() < 5) f.resize(5);
  return f;
}

ListStatus listLibrary(Context& ctx, int index, std::string_view filter, std::vector<LibraryLine>& out, bool quiet) {
  if (index == kCurrentFileLibrary) {
    if (ctx.current == kNull) return ListStatus::kEmptyEntry;
    std::vector<LibraryLine> lines;
    uint32_t ordinal = 0;
    const Handle file = ctx.current;
    for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
      const Record& r = ctx.rec(h);
      if (r.type() != kComponent || r.hidden()) continue;
      const std::string attributes = readText(ctx, r.ext);
      if (filter.empty() || wildcardMatch(filter, patternOf(attributes, '\x7F')))
        lines.push_back({(127u << 24) | (ordinal & kEntryOffsetMask), shown(attributes, false)});
      ++ordinal;
    }
    if (filter.empty() || !lines.empty()) title(out, "<CURRENT FILE>");
    out.insert(out.end(), lines.begin(), lines.end());
    return ListStatus::kListed;
  }
  const LibraryName name = libraryName(ctx.params, index);
  if (name.empty()) return ListStatus::kEmptyEntry;
  const std::string path = libraryPath(ctx, name);
  std::string_view text;
  if (!libraryText(ctx, path, text)) {
    if (!quiet) notFound(ctx, path);
    return ListStatus::kNotFound;
  }
  const LibraryFormat format = libraryFormat(firstLine(text));
  if (format == LibraryFormat::kUnknown) {
    if (!quiet) wrongFormat(ctx, path);
    return ListStatus::kWrongFormat;
  }
  const bool old = format == LibraryFormat::kSourceLibrary;
  std::vector<LibraryLine> lines;
  const uint32_t library = static_cast<uint32_t>(index + 1) << 24;
  forEachEntry(text, format, [&](uint32_t offset, std::string_view attributes) {
    if (filter.empty() || wildcardMatch(filter, patternOf(attributes, old ? ',' : '\x7F')))
      lines.push_back({library | offset, shown(attributes, old)});
  });
  if (filter.empty() || !lines.empty()) title(out, name.file);
  out.insert(out.end(), lines.begin(), lines.end());
  return ListStatus::kListed;
}

std::vector<LibraryLine> searchLibraries(Context& ctx, std::string_view pattern, bool footprints) {
  std::vector<LibraryLine> out;
  for (int i = 0; i < kLibraries; ++i) {
    const LibraryName name = libraryName(ctx.params, i);
    if (name.empty() || name.patterns != footprints) continue;
    const size_t before = out.size();
    listLibrary(ctx, i, pattern, out);
    if (footprints)
      for (size_t k = before; k < out.size(); ++k)
        if (out[k].ref) out[k].ref |= kFootprintEntry;
  }
  if (!footprints) listLibrary(ctx, kCurrentFileLibrary, pattern, out);
  return out;
}

bool loadLibraryEntry(Context& ctx, uint32_t ref) {
  const Handle ring = freshScratch(ctx);
  if (ring == kNull) return false;
  const int library = entryLibrary(ref);
  bool ok = false;
  if (library == kCurrentFileLibrary) {
    const Handle header = currentComponent(ctx, entryOffset(ref));
    if (header != kNull) {
      std::string lines;
      componentAsItemLines(ctx, header, lines, 0, 0);
      ok = parseItemText(ctx, ring, lines, 0, 0);
    }
  } else if (library >= 1 && library <= kLibraries) {
    const LibraryName name = libraryName(ctx.params, library - 1);
    std::string_view text;
    if (!name.empty() && libraryText(ctx, libraryPath(ctx, name), text)) {
      const size_t offset = entryOffset(ref);
      size_t next = 0;
      const std::string_view line = lineAt(text, offset, next).text;
      if (line.size() > 2 && line[0] == '6' && line[1] == ' ')
        ok = loadDataEntry(ctx, text, offset, ring);
      else if (libraryFormat(firstLine(text)) == LibraryFormat::kSourceLibrary)
        ok = loadSourceEntry(ctx, text, offset, ring);
    }
  }
  const Handle first = ctx.rec(ring).next;
  if (!ok || first == ring || ctx.rec(first).type() != kComponent) {
    freeItemDeeply(ctx, ring);
    return false;
  }
  ctx.library.lastEntry = ref;
  if (library >= 1 && library <= kLibraries) ctx.library.chosen = library - 1;
  fillFields(ctx);
  return true;
}

bool loadComponentByName(Context& ctx, std::string_view name, bool footprints) {
  for (const LibraryLine& line : searchLibraries(ctx, name, footprints))
    if (line.ref != 0) return loadLibraryEntry(ctx, line.ref & ~kFootprintEntry);
  return false;
}

}  // namespace trelmo
