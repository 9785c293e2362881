// KiCad's S-expression netlist, "(export (version ...) (components (comp
// (ref ...) (value ...) (footprint ...)) ...) (nets (net (code ...) (name
// ...) (node (ref ...) (pin ...)) ...) ...))", and the footprint map that
// turns its footprint names into our patterns. The reader is bounded: the
// depth of lists, the length of atoms and the number of items.
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "library/library_files.h"
#include "nets/netlist_in.h"

namespace trelmo {

namespace {

constexpr int kDeepest = 64;
constexpr size_t kLongestAtom = 4096;
constexpr size_t kMostItems = 4'000'000;
constexpr size_t kLargestMap = 1 << 20;
constexpr size_t kMostPairs = 10000;

struct Sexp {
  long line = 0;
  bool list = false;
  std::string atom;
  std::vector<Sexp> items;

  // The first atom of a list: its name.
  // (Both branches are views: a conditional of a string and "" would make a
  // temporary string and leave the view dangling.)
  std::string_view head() const {
    if (list && !items.empty() && !items[0].list) return items[0].atom;
    return {};
  }
  // The atom after the name of the first sub-list called `name`.
  std::string value(std::string_view name) const {
    for (const Sexp& s : items)
      if (s.head() == name && s.items.size() > 1 && !s.items[1].list) return s.items[1].atom;
    return {};
  }
};

class SexpReader {
 public:
  explicit SexpReader(std::string_view text) : s_(text) {}

  bool read(Sexp& root, std::string& error) {
    skipSpace();
    if (!list(root, 0)) {
      error = "Line " + std::to_string(line_) + ": " + error_;
      return false;
    }
    return true;
  }

 private:
  void skipSpace() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n')) {
      if (s_[pos_] == '\n') ++line_;
      ++pos_;
    }
  }
  bool fail(const char* why) {
    error_ = why;
    return false;
  }
  bool list(Sexp& out, int depth) {
    if (depth >= kDeepest) return fail("lists nested too deeply");
    if (pos_ >= s_.size() || s_[pos_] != '(') return fail("\"(\" expected");
    out.list = true;
    out.line = line_;
    ++pos_;
    for (;;) {
      skipSpace();
      if (pos_ >= s_.size()) return fail("the file ends inside a list");
      if (s_[pos_] == ')') {
        ++pos_;
        return true;
      }
      if (++items_ > kMostItems) return fail("too many items");
      out.items.emplace_back();
      Sexp& item = out.items.back();
      if (s_[pos_] == '(' ? !list(item, depth + 1) : !atom(item)) return false;
    }
  }
  bool atom(Sexp& out) {
    out.line = line_;
    if (s_[pos_] == '"') {
      ++pos_;
      while (pos_ < s_.size() && s_[pos_] != '"') {
        if (s_[pos_] == '\\' && pos_ + 1 < s_.size()) ++pos_;
        if (s_[pos_] == '\n') ++line_;
        out.atom.push_back(s_[pos_++]);
        if (out.atom.size() > kLongestAtom) return fail("a text too long");
      }
      if (pos_ >= s_.size()) return fail("the file ends inside a text");
      ++pos_;
      return true;
    }
    while (pos_ < s_.size() && s_[pos_] != '(' && s_[pos_] != ')' && s_[pos_] != '"' && s_[pos_] != ' ' &&
           s_[pos_] != '\t' && s_[pos_] != '\r' && s_[pos_] != '\n') {
      out.atom.push_back(s_[pos_++]);
      if (out.atom.size() > kLongestAtom) return fail("a word too long");
    }
    return true;
  }

  std::string_view s_;
  size_t pos_ = 0;
  long line_ = 1;
  size_t items_ = 0;
  std::string error_;
};

const Sexp* section(const Sexp& root, std::string_view name) {
  for (const Sexp& s : root.items)
    if (s.head() == name) return &s;
  return nullptr;
}

void components(const Sexp& list, const FootprintMap& map, std::vector<NetlistEntry>& out) {
  for (const Sexp& comp : list.items) {
    if (comp.head() != "comp") continue;
    NetlistEntry e;
    e.part.line = comp.line;
    e.part.reference = comp.value("ref");
    e.part.value = comp.value("value");
    e.part.pattern = map.patternFor(comp.value("footprint"));
    if (!e.part.reference.empty()) out.push_back(std::move(e));
  }
}

void nets(const Sexp& list, std::vector<NetlistEntry>& out) {
  for (const Sexp& net : list.items) {
    if (net.head() != "net") continue;
    NetlistEntry e;
    e.isNet = true;
    e.net.line = net.line;
    e.net.name = net.value("name");
    // Hierarchical names start at the root sheet: "/VCC" is VCC.
    if (e.net.name.size() > 1 && e.net.name[0] == '/' && e.net.name.find('/', 1) == std::string::npos)
      e.net.name.erase(0, 1);
    for (const Sexp& node : net.items)
      if (node.head() == "node") e.net.nodes.emplace_back(node.value("ref"), node.value("pin"));
    if (!e.net.name.empty()) out.push_back(std::move(e));
  }
}

}  // namespace

bool isKicadNetlist(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const size_t open = text.find_first_not_of(" \t\r\n");
  if (open == std::string_view::npos || text[open] != '(') return false;
  const size_t word = text.find_first_not_of(" \t\r\n", open + 1);
  return word != std::string_view::npos && text.substr(word, 6) == "export" &&
         (word + 6 >= text.size() || std::string_view(" \t\r\n(").find(text[word + 6]) != std::string_view::npos);
}

std::vector<NetlistEntry> readKicadNetlist(std::string_view text, const FootprintMap& map, std::string& error) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<NetlistEntry> out;
  auto root = std::make_unique<Sexp>();
  SexpReader reader(text);
  if (!reader.read(*root, error)) return out;
  if (const Sexp* list = section(*root, "components")) components(*list, map, out);
  if (const Sexp* list = section(*root, "nets")) nets(*list, out);
  return out;
}

void FootprintMap::add(std::string footprint, std::string pattern) {
  if (pairs_.size() < kMostPairs) pairs_.emplace_back(std::move(footprint), std::move(pattern));
}

bool FootprintMap::read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string text(kLargestMap, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string footprint, pattern;
    if (!(words >> footprint >> pattern) || footprint[0] == '#') continue;
    add(footprint, pattern);
  }
  return true;
}

std::string FootprintMap::patternFor(std::string_view footprint) const {
  const size_t colon = footprint.find(':');
  const std::string_view name = colon == std::string_view::npos ? footprint : footprint.substr(colon + 1);
  for (const auto& [from, to] : pairs_)
    if (wildcardMatch(from, footprint) || wildcardMatch(from, name)) return to;
  return std::string(name);
}

}  // namespace trelmo
