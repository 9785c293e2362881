// The state of one DXF read, shared by the section, entity, layer and block
// readers.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "database/pool.h"
#include "files/import/dxf_groups.h"
#include "files/record_budget.h"

namespace trelmo {
struct Context;
}

namespace trelmo::dxf {

// An INSERT waiting for its block: a hidden record in the ring that will
// become the component header (or a text naming the block).
struct Placeholder {
  Handle rec = kNull;
  std::string name;
  int32_t x = 0, y = 0;  // insertion point, world units
  double sx = 1, sy = 1;
  uint16_t rotation = 0;
};

// The character sets of DXF strings: $DWGCODEPAGE, or UTF-8 from AC1021 on.
enum class CodePage { kAnsi1252, kAnsi1250, kAnsi1251, kAnsi1253, kDos437, kDos850, kUtf8, kOther };

struct BlockDef {
  enum State { Open, Busy, Done };
  std::string name;
  int32_t baseX = 0, baseY = 0;
  Handle ring = kNull;  // private ring of the block's entities
  std::vector<Placeholder> pending;
  State state = Open;
};

// Inserts nest at most this deep; the records their copies make are bounded
// by the reader's budget (half of the free record memory).
constexpr int kMaxInsertDepth = 16;
// A polyline keeps at most this many vertices; further ones are read and dropped.
constexpr size_t kMaxVertices = 200000;

struct Reader {
  Reader(Context& c, InputFile& in);

  Context& ctx;
  GroupReader groups;
  Handle fileRing;
  int block = -1;  // index of the block being defined, -1 for the file
  std::deque<BlockDef> blocks;
  std::unordered_map<std::string, size_t> blockIndex;  // first definition of each name
  std::vector<Placeholder> filePlaceholders;
  RecordBudget records;
  int64_t insertsCut = 0;  // inserts left as their block names by the budget or the depth
  CodePage codePage = CodePage::kAnsi1252;
  // The layer of the last name looked up.
  std::string lastLayerName;
  uint8_t lastLayer = 0;
  bool haveLastLayer = false;

  // The ring receiving entities and the list receiving its placeholders.
  Handle target() const;
  std::vector<Placeholder>& placeholders();
  // The relative zero shift applied to every coordinate read.
  int32_t shiftX(double inches) const;
  int32_t shiftY(double inches) const;
  // Progress of the read, reported every few thousand pairs.
  void progress();

 private:
  uint32_t pairsSinceProgress_ = 0;
};

// The start of a DXF file: optional 999 comments, then the HEADER section.
bool looksLikeDxf(std::string_view head);

// Layers (dxf_layers.cpp).
uint8_t mapLayer(Reader& r, std::string_view name);
void readTables(Reader& r);
uint32_t layerColor(long colorNumber);

// Entities (dxf_entities.cpp): called after a group 0 naming the entity;
// reads its groups and leaves the next group 0 unread.
void readEntity(Reader& r, std::string_view type);

// Blocks (dxf_blocks.cpp).
void readBlocks(Reader& r);
void expandInserts(Reader& r);
void releaseBlocks(Reader& r);
// Turns a placeholder into a text carrying the block name.
void placeholderToText(Reader& r, const Placeholder& p);

// Approximate text length for a string at a height (refined at the first redraw).
int32_t textLength(std::string_view text, uint16_t height);

}  // namespace trelmo::dxf
