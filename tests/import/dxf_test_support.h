// Helpers shared by the DXF and HPGL import tests: a fresh design file, reading
// text through a reader, and looking at the items it made.
#pragma once
#include <array>
#include <cmath>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "context.h"
#include "database/design_files.h"
#include "database/record.h"
#include "files/import/import_readers.h"
#include "files/input_file.h"
#include "files/reader_chain.h"

namespace trelmo::testing {

// Keeps the message boxes a reader shows, as "title: text".
struct BoxHost : Host {
  std::vector<std::string> boxes;
  void messageBox(const std::string& title, const std::string& text) override { boxes.push_back(title + ": " + text); }
};

struct ImportFixture {
  BoxHost host;
  Context ctx{host};
  InputFile in;
  ImportFixture() { newDesignFile(ctx, "/tmp/import-test.dwg"); }

  std::vector<Handle> items(Handle ring = kNull) const {
    if (ring == kNull) ring = ctx.current;
    std::vector<Handle> out;
    for (Handle h = ctx.rec(ring).next; h != ring; h = ctx.rec(h).next) out.push_back(h);
    return out;
  }
  std::vector<Handle> itemsOfType(uint8_t type, Handle ring = kNull) const {
    std::vector<Handle> out;
    for (Handle h : items(ring))
      if (ctx.rec(h).type() == type) out.push_back(h);
    return out;
  }
  const Record& at(Handle h) const { return ctx.rec(h); }
};

// DXF text from group code / value pairs.
inline std::string pairs(std::initializer_list<std::pair<int, std::string>> list) {
  std::string s;
  for (const auto& [code, value] : list) s += "  " + std::to_string(code) + "\n" + value + "\n";
  return s;
}

// DXF text from a blank-separated list of group codes and values, for values
// without blanks: groups("0 LINE 8 0 10 0 20 0").
inline std::string groups(const std::string& list) {
  std::istringstream in(list);
  std::string s, code, value;
  while (in >> code >> value) s += "  " + code + "\n" + value + "\n";
  return s;
}

// A complete DXF file: an empty HEADER, then the given sections' bodies.
inline std::string dxfFile(const std::string& entities, const std::string& blocks = "",
                           const std::string& tables = "") {
  std::string s = pairs({{0, "SECTION"}, {2, "HEADER"}, {0, "ENDSEC"}});
  if (!tables.empty()) s += pairs({{0, "SECTION"}, {2, "TABLES"}}) + tables + pairs({{0, "ENDSEC"}});
  if (!blocks.empty()) s += pairs({{0, "SECTION"}, {2, "BLOCKS"}}) + blocks + pairs({{0, "ENDSEC"}});
  s += pairs({{0, "SECTION"}, {2, "ENTITIES"}}) + entities + pairs({{0, "ENDSEC"}, {0, "EOF"}});
  return s;
}

inline std::string corpusFile(const std::string& relative) {
  std::ifstream f(std::string(TRELMO_SHARED_DIR) + "/corpus/" + relative, std::ios::binary);
  if (!f) return {};
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// The point of an arc at a binary angle (world units).
inline void arcPoint(const Record& a, uint32_t angle, double& x, double& y) {
  const double t = angle * 2 * M_PI / 65536.0;
  x = a.x1 + item::radius(a) * std::cos(t);
  y = a.y1 + item::radius(a) * std::sin(t);
}

constexpr int32_t kIn = 65536;

// Both ends of a line, or the corners of a box: x1, y1, w3, w4.
using Corners = std::array<int32_t, 4>;
inline Corners corners(const Record& r) { return {r.x1, r.y1, r.w3, r.w4}; }

}  // namespace trelmo::testing
