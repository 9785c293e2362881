// The pieces of resequencing that stand apart from the design: reference IDs
// taken apart, the family of a file name, and the order of numbering.
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>

#include "context.h"
#include "edit/resequence.h"

namespace trelmo {

namespace {

bool prefixLetter(char c) { return c >= 'A' && c <= 'z'; }
bool digit(char c) { return c >= '0' && c <= '9'; }
bool letter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

}  // namespace

ResequenceState& resequenceState(Context& ctx) {
  if (!ctx.edit.resequence) ctx.edit.resequence = std::make_shared<ResequenceState>();
  return *ctx.edit.resequence;
}

RefParts parseReference(std::string_view ref) {
  RefParts p;
  size_t i = 0;
  while (i < ref.size() && prefixLetter(ref[i])) ++i;
  p.prefix = std::string(ref.substr(0, i));
  const size_t digits = i;
  while (i < ref.size() && digit(ref[i])) ++i;
  if (i > digits) {
    // Eighteen digits at most count; a longer run is no number this program makes.
    const std::string_view run = ref.substr(digits, std::min<size_t>(i - digits, 18));
    p.number = std::strtoll(std::string(run).c_str(), nullptr, 10);
  }
  // A gate letter stands last or just before the tail.
  if (i > digits && i < ref.size() && letter(ref[i]) && (i + 1 == ref.size() || ref[i + 1] == '-')) p.gate = ref[i++];
  p.tail = std::string(ref.substr(i));
  return p;
}

std::string joinReference(const RefParts& parts, int64_t number) {
  std::string s = parts.prefix + std::to_string(number);
  if (parts.gate) s += parts.gate;
  return s + parts.tail;
}

std::string familyBase(std::string_view path) {
  const size_t dot = path.rfind('.');
  return std::string(dot == std::string_view::npos ? path : path.substr(0, dot + 1));
}

int familyIndex(std::string_view path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) return -1;
  std::string ext(path.substr(dot + 1));
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (ext == "PCB") return 0;
  if (ext == "SCH") return 1;
  if (ext.size() == 3 && ext[0] == 'S' && ext[1] == 'H' && digit(ext[2]) && ext[2] != '0') return ext[2] - '0';
  if (ext.size() == 3 && ext[0] == 'S' && digit(ext[1]) && digit(ext[2])) {
    const int n = (ext[1] - '0') * 10 + (ext[2] - '0');
    return n == 0 ? -1 : n;
  }
  return -1;
}

RefPlace orientedPlace(StartCorner corner, int32_t x, int32_t y) {
  const bool lower = corner == StartCorner::LowerLeft || corner == StartCorner::LowerRight;
  const bool right = corner == StartCorner::UpperRight || corner == StartCorner::LowerRight;
  // Negating INT32_MIN stays in range as its neighbour.
  auto neg = [](int32_t v) { return v == INT32_MIN ? INT32_MAX : -v; };
  return {right ? neg(x) : x, lower ? y : neg(y)};
}

int nextInOrder(const std::vector<RefPlace>& places, bool columns) {
  int best = -1;
  for (int i = 0; i < static_cast<int>(places.size()); ++i) {
    if (best < 0) {
      best = i;
      continue;
    }
    const RefPlace& c = places[static_cast<size_t>(i)];
    const RefPlace& b = places[static_cast<size_t>(best)];
    const int64_t major = columns ? int64_t{c.x} - b.x : int64_t{c.y} - b.y;
    const int64_t minor = columns ? int64_t{c.y} - b.y : int64_t{c.x} - b.x;
    if (std::abs(major) < 3 ? minor < 0 : major < 0) best = i;
  }
  return best;
}

}  // namespace trelmo
