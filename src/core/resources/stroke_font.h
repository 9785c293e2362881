// The stroke font used for every text on the drawing.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace trelmo {

constexpr size_t kStrokeFontBytes = 4096;
constexpr int kFontCell = 6;  // character cell size in font units
extern const std::array<uint8_t, kStrokeFontBytes> kStrokeFont;

struct GlyphBytes {
  const uint8_t* begin = nullptr;
  const uint8_t* end = nullptr;
  bool empty() const { return begin == end; }
};

// The stroke bytes of a character code, found through the self-relative
// offset table and bounded by the table's size. A code without strokes gets
// the box of code 0.
inline GlyphBytes glyphBytes(const std::array<uint8_t, kStrokeFontBytes>& font, uint8_t code) {
  auto at = [&](int c) -> size_t {
    size_t entry = 2 + 2 * static_cast<size_t>(c);
    size_t rel = font[entry] | (static_cast<size_t>(font[entry + 1]) << 8);
    size_t pos = entry + rel;
    return pos > kStrokeFontBytes ? kStrokeFontBytes : pos;
  };
  size_t b = at(code);
  size_t e = code == 255 ? b : at(code + 1);
  if (e <= b) {
    b = at(0);
    e = at(1);
    if (e < b) e = b;
  }
  return {font.data() + b, font.data() + e};
}

}  // namespace trelmo
