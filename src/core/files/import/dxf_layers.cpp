// DXF layer names into the layer table.
#include <cstdlib>
#include <cstring>

#include "context.h"
#include "database/params.h"
#include "files/import/dxf_reader.h"

namespace trelmo::dxf {

namespace {

constexpr uint32_t kColorTable[16] = {
    0x000000, 0xAA0000, 0xFFFF00, 0x00AA00, 0x00AAAA, 0x0000AA, 0xAA00AA, 0xFFFFFF,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xAAAA00, 0xAAAAAA,
};
constexpr uint32_t kNewLayerColor = 0xFFFF00;
constexpr int kSearchedLayers = 255;

// The name up to its first control character and at most as long as a
// layer-table name, so that a long name finds the layer it made before.
std::string_view cutName(std::string_view name) {
  size_t n = 0;
  while (n < name.size() && static_cast<unsigned char>(name[n]) >= 32) ++n;
  if (n > static_cast<size_t>(kLayerNameMax)) n = kLayerNameMax;
  return name.substr(0, n);
}

int findLayer(const Params& p, std::string_view name) {
  for (int n = 0; n < kSearchedLayers; ++n) {
    const char* stored = p.layers[n].name;
    if (std::strlen(stored) == name.size() && std::memcmp(stored, name.data(), name.size()) == 0) return n;
  }
  return -1;
}

int newLayer(Params& p, std::string_view name) {
  for (int n = 0; n < kSearchedLayers; ++n) {
    LayerEntry& e = p.layers[n];
    if (e.name[0] != 0) continue;
    std::memcpy(e.name, name.data(), name.size());
    e.name[name.size()] = 0;
    e.color = kNewLayerColor;
    return n;
  }
  return -1;
}

// Maps a name; `created` tells whether it took a new layer.
uint8_t lookUp(Reader& r, std::string_view raw, bool& created) {
  created = false;
  std::string_view name = cutName(raw);
  if (name.empty()) name = "0";  // DXF's default layer
  if (r.haveLastLayer && name == r.lastLayerName) return r.lastLayer;
  int n = findLayer(r.ctx.params, name);
  if (n < 0) {
    n = newLayer(r.ctx.params, name);
    created = n >= 0;
    if (n < 0) n = 0;  // the table is full
  }
  r.lastLayerName.assign(name);
  r.lastLayer = static_cast<uint8_t>(n);
  r.haveLastLayer = true;
  return r.lastLayer;
}

void readLayerEntry(Reader& r) {
  std::string name;
  long color = 7;
  bool named = false;
  while (r.groups.next() > 0) {
    if (r.groups.code() == 2 && !named) {
      name.assign(r.groups.value());
      named = true;
    } else if (r.groups.code() == 62) {
      color = integer(r.groups.value());
    }
  }
  r.groups.unread();
  if (!named) return;
  bool created = false;
  const uint8_t n = lookUp(r, name, created);
  if (!created) return;
  LayerEntry& e = r.ctx.params.layers[n];
  e.color = layerColor(color);
  e.plotColor = e.color ^ 0xFFFFFF;
}

}  // namespace

uint32_t layerColor(long colorNumber) { return kColorTable[std::labs(colorNumber) % 16]; }

uint8_t mapLayer(Reader& r, std::string_view name) {
  bool created = false;
  return lookUp(r, name, created);
}

void readTables(Reader& r) {
  while (r.groups.next() >= 0) {
    r.progress();
    if (r.groups.code() != 0) continue;
    if (r.groups.is(0, "ENDSEC")) return;
    if (r.groups.is(0, "SECTION") || r.groups.is(0, "EOF")) {  // ENDSEC is missing
      r.groups.unread();
      return;
    }
    if (r.groups.is(0, "LAYER")) readLayerEntry(r);
  }
}

}  // namespace trelmo::dxf
