// Building design lists from item lines: the one parser behind the version 4
// reader and the editor's item texts, and the ring bookkeeping (components,
// filled solids) that the old version 3 and 2 readers share with it.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "database/options.h"
#include "database/pool.h"

namespace trelmo {

struct Context;

enum class ItemSyntax {
  kFile,    // data files: layer codes, components sorted, empty ones dropped
  kEditor,  // item texts: offsets, negative layer = current layer, vertices after byte 127
};

// Component headers sort by this key: reference IDs by their letters, then
// their number by value, so R2 comes before R10.
std::string componentSortKey(const Context& ctx, Handle header);
// True when component header a sorts before b.
bool componentSortKeyLess(const Context& ctx, Handle a, Handle b);

class ItemBuilder {
 public:
  ItemBuilder(Context& ctx, Handle ring, ItemSyntax syntax, int32_t dx = 0, int32_t dy = 0);

  // Parses one item line of the version 4 syntax (it begins with the type
  // digit). False once the pool has run out; nothing more is then added.
  bool parseLine(std::string_view line);
  // Rectangles for filled solids that got no vertices. Call once at the end.
  void finish();
  bool failed() const { return failed_; }

  // Pieces used by the old readers.
  Handle current() const { return stack_.back(); }
  Handle add(uint8_t type, uint8_t layer, uint16_t size, int32_t x1, int32_t y1, int32_t w3, int32_t w4);
  // A width-0 line with one point: appended to the last item of the current
  // ring when that is a filled solid of the same layer (flag bits 4-7 are
  // ignored in files; the editor wants the whole word to match).
  void vertexLine(uint8_t layer, int32_t x, int32_t y);
  // A filled-solid header from two points (a rectangle unless vertices follow).
  Handle solid(uint8_t layer, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  // Component (type 6) or container (type 7) header with its nested ring,
  // which becomes the current ring.
  void openNested(uint8_t type, uint8_t layer, uint16_t size, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                  std::string_view params);
  // Component end line; ignored when no component is open.
  void closeNested(uint8_t layer, uint16_t size, int32_t x, int32_t y);
  void attachSignalTo(Handle item, std::string_view name);
  void storeTextTo(Handle item, std::string_view text);
  // Layer from a version 4 layer field: a number or a two-character library
  // code (C copper, M mask, anything else silk; then a name's first letter).
  uint8_t layerFromCode(std::string_view field) const;

 private:
  void parseLineItem(NumberReader& r, uint8_t layer);
  void parseArc(NumberReader& r, uint8_t layer);
  void parsePad(NumberReader& r, uint8_t layer);
  void parseText(NumberReader& r, int layerField, uint8_t layer);
  void parseNested(NumberReader& r, uint8_t type, uint8_t layer);
  void parseEnd(NumberReader& r, uint8_t layer);
  int layerField(NumberReader& r, uint8_t& layer);
  void sortIntoPlace(Handle header);

  Context& ctx_;
  ItemSyntax syntax_;
  int32_t dx_, dy_;
  bool failed_ = false;
  std::vector<Handle> stack_;   // current ring last
  std::vector<Handle> solids_;  // filled-solid headers made from two points
  // The sorted run of components at the end of a ring, by sort key, so a
  // component finds its place in O(log n) whatever order the file has.
  std::map<Handle, std::multimap<std::string, Handle>> runs_;
};

// Size fields are 16-bit: out-of-range values are held at the limits.
inline uint16_t clampSize(int64_t v) { return static_cast<uint16_t>(v < 0 ? 0 : v > 65535 ? 65535 : v); }

}  // namespace trelmo
