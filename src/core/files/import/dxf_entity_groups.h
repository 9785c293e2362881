// The groups of one DXF entity and the helpers the entity readers share.
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/import/dxf_geometry.h"
#include "files/import/dxf_reader.h"

namespace trelmo::dxf {

constexpr size_t kMaxGroupCodes = 256;

// The last value of each group code of one entity.
class Groups {
 public:
  void set(int code, const std::string& value) {
    for (auto& [c, v] : values_)
      if (c == code) {
        v = value;
        return;
      }
    if (values_.size() < kMaxGroupCodes) values_.emplace_back(code, value);
  }
  const std::string* find(int code) const {
    for (const auto& [c, v] : values_)
      if (c == code) return &v;
    return nullptr;
  }
  bool has(int code) const { return find(code) != nullptr; }
  double num(int code, double otherwise = 0) const {
    const std::string* v = find(code);
    return v ? number(*v) : otherwise;
  }
  long flags(int code) const {
    const std::string* v = find(code);
    return v ? integer(*v) : 0;
  }
  std::string_view str(int code) const {
    const std::string* v = find(code);
    return v ? std::string_view(*v) : std::string_view();
  }
  Ocs ocs() const { return has(210) || has(220) || has(230) ? Ocs(num(210), num(220), num(230, 1)) : Ocs(); }

 private:
  std::vector<std::pair<int, std::string>> values_;
};

inline Groups collect(Reader& r) {
  Groups g;
  while (r.groups.next() > 0) g.set(r.groups.code(), r.groups.value());
  r.groups.unread();
  return g;
}

struct Point {
  int32_t x, y;
};

inline Point worldPoint(const Reader& r, const Ocs& ocs, double x, double y, double z) {
  double wx, wy;
  ocs.toWorld(x, y, z, wx, wy);
  return {r.shiftX(wx), r.shiftY(wy)};
}

// Group pair 10+i / 20+i / 30+i of an entity.
inline Point corner(const Reader& r, const Groups& g, const Ocs& ocs, int i) {
  return worldPoint(r, ocs, g.num(10 + i), g.num(20 + i), g.num(30 + i));
}

// Items in the ring being read (dxf_entities.cpp).
Handle addArc(Reader& r, uint8_t layer, uint16_t width, Point centre, int32_t radius, uint16_t start, uint16_t sweep);
void addText(Reader& r, uint8_t layer, uint16_t height, Point at, uint16_t angle, bool mirrored, uint8_t anchor,
             const std::string& text);
uint8_t layerOf(Reader& r, const Groups& g);
// DXF strings into the stored character set (dxf_text.cpp): the file's code
// page or UTF-8, "\U+XXXX" escapes and the "%%d" control codes; what cannot
// be shown becomes "?".
std::string textString(std::string_view s, CodePage page);
CodePage codePageNamed(std::string_view dwgCodePage);
unsigned char fromUnicode(long codePoint);

// Entities of the DXF versions after R12 (dxf_entities_r13.cpp).
void readEllipse(Reader& r);
void readMText(Reader& r);

}  // namespace trelmo::dxf
