// The fixed-column and bracketed netlist syntaxes: the line classifier and
// the reading of a file's text into parts and nets.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "nets/netlist_in.h"

namespace trelmo {

namespace {

// Lines longer than this are no netlist lines.
constexpr size_t kLongestLine = 4096;

bool blankAt(std::string_view s, size_t i) { return i >= s.size() || s[i] == ' ' || s[i] == '\t'; }
bool upper(char c) { return c >= 'A' && c <= 'Z'; }
bool separator(char c) { return c == ' ' || c == '\t' || c == ','; }

// The end (exclusive) of the word that starts at i.
size_t wordEnd(std::string_view s, size_t i) {
  while (i < s.size() && !blankAt(s, i)) ++i;
  return i;
}

// A word starts exactly at column c.
bool wordAt(std::string_view s, size_t c) { return !blankAt(s, c) && (c == 0 || blankAt(s, c - 1)); }

bool columnsBlank(std::string_view s, std::initializer_list<size_t> columns) {
  return std::all_of(columns.begin(), columns.end(), [&](size_t c) { return blankAt(s, c); });
}

// Parts-list layout: the second word ends by `second`, the third starts at
// `third`, the last at `last` and ends by `lastEnd`, and the columns given
// are blank.
bool partsLayout(std::string_view s, size_t second, size_t third, size_t last, size_t lastEnd,
                 std::initializer_list<size_t> blanks) {
  return upper(s[0]) && wordEnd(s, 16) <= second && wordAt(s, third) && s.size() > last && wordAt(s, last) &&
         wordEnd(s, last) <= lastEnd && columnsBlank(s, blanks);
}

// Every word after the first, from column 14 on, begins with a capital.
bool netWords(std::string_view s) {
  size_t i = std::max<size_t>(14, wordEnd(s, 0));
  while (i < s.size()) {
    if (separator(s[i])) {
      ++i;
      continue;
    }
    if (!upper(s[i])) return false;
    while (i < s.size() && !separator(s[i])) ++i;
  }
  return true;
}

std::string trimmed(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return std::string(s);
}

// A field: `width` characters from `column`, trailing blanks removed.
std::string field(std::string_view s, size_t column, size_t width) {
  if (column >= s.size()) return {};
  return trimmed(s.substr(column, width));
}

// The gate suffix ("a" to "t") of a multi-part component's reference.
std::string withoutGate(std::string ref) {
  if (!ref.empty() && ref.back() >= 'a' && ref.back() <= 't') ref.pop_back();
  return ref;
}

// Nodes: words separated by blanks or commas, each split at its first "-"
// into reference and pin.
void addNodes(std::string_view s, NetlistNet& net) {
  size_t i = 0;
  while (i < s.size()) {
    if (separator(s[i])) {
      ++i;
      continue;
    }
    size_t e = i;
    while (e < s.size() && !separator(s[e])) ++e;
    const std::string_view word = s.substr(i, e - i);
    const size_t dash = word.find('-');
    net.nodes.emplace_back(std::string(word.substr(0, dash)),
                           dash == std::string_view::npos ? std::string() : std::string(word.substr(dash + 1)));
    i = e;
  }
}

// The text split into lines (LF, CR LF or CR), each with its number.
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}
  bool next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    size_t e = pos_;
    while (e < text_.size() && text_[e] != '\n' && text_[e] != '\r') ++e;
    line = text_.substr(pos_, e - pos_);
    if (e < text_.size() && text_[e] == '\r' && e + 1 < text_.size() && text_[e + 1] == '\n') ++e;
    pos_ = e + 1;
    ++number_;
    return true;
  }
  // The next line without taking it.
  bool peek(std::string_view& line) const {
    Lines copy = *this;
    return copy.next(line);
  }
  long number() const { return number_; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  long number_ = 0;
};

NetlistEntry partLine(std::string_view s, int kind, long number) {
  const bool wide = kind == kWidePart;
  const size_t width = wide ? 25 : 15;
  NetlistEntry e;
  e.part.line = number;
  e.part.reference = withoutGate(field(s, 0, 16));
  e.part.pattern = field(s, 16, width);
  e.part.value = field(s, wide ? 42 : 32, width);
  e.part.modifier = field(s, wide ? 68 : 48, width);
  return e;
}

// A net line and the lines after it whose first non-blank character stands
// in columns 16 to 26.
NetlistEntry netLine(std::string_view s, Lines& lines) {
  NetlistEntry e;
  e.isNet = true;
  e.net.line = lines.number();
  e.net.name = std::string(s.substr(0, wordEnd(s, 0)));
  addNodes(s.substr(16), e.net);
  std::string_view more;
  while (lines.peek(more)) {
    const size_t first = more.find_first_not_of(" \t");
    if (first == std::string_view::npos || first < 16 || first > 26 || more.size() > kLongestLine) break;
    lines.next(more);
    addNodes(more, e.net);
  }
  return e;
}

// "[", reference, pattern, value, then three blank lines and "]" skipped.
NetlistEntry partBlock(Lines& lines) {
  NetlistEntry e;
  e.part.line = lines.number();
  std::string_view s;
  std::string* fields[] = {&e.part.reference, &e.part.pattern, &e.part.value};
  for (std::string* f : fields)
    if (lines.next(s)) *f = trimmed(s.substr(0, std::min(s.size(), kLongestLine)));
  e.part.reference = withoutGate(e.part.reference);
  for (int i = 0; i < 4 && lines.next(s);) {
    ++i;
    if (trimmed(s) == "]") break;
  }
  return e;
}

// "(", the net's name, its nodes one or more a line, up to a ")" line.
NetlistEntry netBlock(Lines& lines) {
  NetlistEntry e;
  e.isNet = true;
  e.net.line = lines.number();
  std::string_view s;
  if (lines.next(s)) e.net.name = trimmed(s.substr(0, std::min(s.size(), kLongestLine)));
  while (lines.next(s)) {
    if (!s.empty() && s[0] == ')') break;
    if (s.size() <= kLongestLine) addNodes(s, e.net);
  }
  return e;
}

}  // namespace

std::vector<NetlistEntry> readKicadNetlist(std::string_view text, const FootprintMap& map, std::string& error);

int classifyNetlistLine(std::string_view s) {
  if (s.size() > kLongestLine) return kOtherLine;
  if (!s.empty() && (s[0] == '(' || s[0] == '[') && blankAt(s, 1)) return s[0] == '(' ? kNetBlock : kPartBlock;
  if (blankAt(s, 0)) return kOtherLine;
  const size_t first = wordEnd(s, 0);
  if (first > 14 || !wordAt(s, 16) || s.find_first_not_of(" \t", first) != 16) return kOtherLine;
  if (partsLayout(s, 30, 32, 64, 78, {30, 31, 46, 47, 62, 63})) return kNarrowPart;
  if (partsLayout(s, 40, 42, 94, 117, {40, 41, 66, 67, 92, 93})) return kWidePart;
  return netWords(s) ? kNetLine : kOtherLine;
}

std::vector<NetlistEntry> readNetlistText(std::string_view text, const FootprintMap& map, std::string& error) {
  if (isKicadNetlist(text)) return readKicadNetlist(text, map, error);
  std::vector<NetlistEntry> out;
  Lines lines(text);
  std::string_view s;
  while (lines.next(s)) {
    switch (const int kind = classifyNetlistLine(s)) {
      case kNarrowPart:
      case kWidePart:
        out.push_back(partLine(s, kind, lines.number()));
        break;
      case kPartBlock:
        out.push_back(partBlock(lines));
        break;
      case kNetLine:
        out.push_back(netLine(s, lines));
        break;
      case kNetBlock:
        out.push_back(netBlock(lines));
        break;
      default:
        break;
    }
  }
  return out;
}

}  // namespace trelmo
