#include "library/library_files.h"

#include <cctype>
#include <cstdio>
#include <memory>

#include "context.h"

namespace trelmo {

namespace {

constexpr size_t kMaxLibraryBytes = size_t{64} << 20;

char fold(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

}  // namespace

LibraryName libraryName(const Params& p, int index) {
  LibraryName n;
  if (index < 0 || index >= kLibraries) return n;
  const char* raw = p.libraries[index];
  size_t len = 0;
  while (len < static_cast<size_t>(kLibraryNameMax) && raw[len] != 0) ++len;
  n.file.assign(raw, len);
  while (!n.file.empty() && n.file.back() == ' ') n.file.pop_back();
  if (!n.file.empty() && n.file.back() == '/') {
    n.patterns = true;
    n.file.pop_back();
  }
  return n;
}

std::string libraryFolder(const Context& ctx) {
  std::string folder = ctx.shell.prefs.libraryPath;
  if (folder.empty() || folder[0] == ' ') folder = ctx.paths.resources + "/LIBRARY/";
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::string libraryPath(const Context& ctx, const LibraryName& name) {
  if (!name.file.empty() && name.file[0] == '/') return name.file;
  return libraryFolder(ctx) + name.file;
}

LibraryFormat libraryFormat(std::string_view line, char* version) {
  if (wildcardMatch("TRELMO Version 4.? -- DATA FILE*", line)) {
    if (version) *version = line.size() > 15 ? line[15] : '4';
    return LibraryFormat::kDataFile;
  }
  if (wildcardMatch("TRELMO VERSION ?.? -- SOURCE LIBRARY FILE*", line)) return LibraryFormat::kSourceLibrary;
  return LibraryFormat::kUnknown;
}

bool wildcardMatch(std::string_view pattern, std::string_view text) {
  // Iterative glob with one backtrack point: linear enough for names.
  size_t p = 0, t = 0, star = std::string_view::npos, mark = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(text[t]))) {
      ++p, ++t;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool hasWildcards(std::string_view s) { return s.find_first_of("?*") != std::string_view::npos; }

bool readLibraryText(const std::string& path, std::string& text) {
  text.clear();
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!f) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
    if (text.size() + n > kMaxLibraryBytes) return false;
    text.append(buf, n);
  }
  return !std::ferror(f.get());
}

TextLine lineAt(std::string_view text, size_t offset, size_t& next) {
  if (offset >= text.size()) {
    next = text.size();
    return {text.size(), {}};
  }
  size_t end = offset;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
  next = end;
  if (next < text.size() && text[next] == '\r') ++next;
  if (next < text.size() && text[next] == '\n') ++next;
  return {offset, text.substr(offset, end - offset)};
}

}  // namespace trelmo
