// Helpers of the writer tests: a scratch folder, a host that records what it
// was asked, and builders of design items.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/design_files.h"
#include "database/options.h"
#include "database/rings.h"
#include "database/signals.h"

namespace trelmo::testing {

struct ScratchDir {
  std::string path = [] {
    std::string t = (std::filesystem::temp_directory_path() / "trelmo-writer-XXXXXX").string();
    return mkdtemp(t.data()) ? t : std::string("/nonexistent");
  }();
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
};

inline std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline void spit(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
inline std::vector<std::string> folderEntries(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(path, ec)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct RecordingHost : Host {
  std::vector<std::string> messages, questions;  // messages as title|text
  Answer answer = Answer::Ok;
  void messageBox(const std::string& title, const std::string& text) override {
    messages.push_back(title + "|" + text);
  }
  Answer question(const std::string&, const std::string& text, Buttons) override {
    questions.push_back(text);
    return answer;
  }
};

// The lines between the legend and the empty line before the trailer.
inline std::string itemSection(const std::string& file) {
  const std::string legend = "Line: 1 layer width X1 Y1 X2 Y2 signal\r\n";
  const size_t begin = file.find(legend), end = file.find("\r\nEND OF FILE\r\n");
  if (begin == std::string::npos || end == std::string::npos || end < begin + legend.size()) return "<no items>";
  return file.substr(begin + legend.size(), end - begin - legend.size());
}

inline Handle addLine(Context& ctx, Handle ring, uint8_t layer, uint16_t width, int32_t x1, int32_t y1, int32_t x2,
                      int32_t y2, const char* signal = nullptr) {
  const Handle h = createItem(ctx.pool, ring, kLine, layer, width, x1, y1, x2, y2, kNull);
  if (signal) attachSignal(ctx, h, signal);
  return h;
}
inline Handle addArc(Context& ctx, Handle ring, uint8_t layer, uint16_t width, int32_t x, int32_t y, int32_t radius,
                     uint16_t start, uint16_t sweep, uint16_t ecc, uint16_t axis) {
  const Handle h = createItem(ctx.pool, ring, kArc, layer, width, x, y, 0, 0, kNull);
  item::setArc(ctx.rec(h), radius, start, sweep, ecc, axis);
  return h;
}
inline Handle addPad(Context& ctx, Handle ring, uint8_t layer, uint8_t type, int32_t x, int32_t y, uint16_t xs,
                     uint16_t ys, uint16_t hole, const char* pin, const char* signal = nullptr) {
  const Handle h = createItem(ctx.pool, ring, kPad, layer, type, x, y, 0, 0, kNull);
  item::setPad(ctx.rec(h), xs, ys, hole, 0);
  storePin(ctx, h, pin);
  if (signal) attachSignal(ctx, h, signal);
  return h;
}
inline Handle addText(Context& ctx, Handle ring, uint8_t layer, uint16_t height, int32_t x, int32_t y,
                      const std::string& text, uint16_t angle = 0, uint8_t anchorFont = 0) {
  const Handle h = createItem(ctx.pool, ring, kText, layer, height, x, y, 0, 0, kNull);
  item::setText(ctx.rec(h), height * static_cast<int32_t>(text.size()), angle, anchorFont);
  if (!text.empty()) storeText(ctx, h, text);
  return h;
}
// A component header with its nested ring; returns the ring's sentinel.
inline Handle addComponent(Context& ctx, Handle ring, uint8_t layer, int32_t x, int32_t y, const std::string& params,
                           Handle* header = nullptr) {
  const Handle hdr = createItem(ctx.pool, ring, kComponent, layer, 0, x, y, x + kInch / 2, y + kInch / 4, kNull);
  const Handle s = newRing(ctx.pool, kComponentRing);
  ctx.rec(hdr).ext = s;
  ctx.rec(s).w4 = static_cast<int32_t>(hdr);
  ctx.rec(s).x1 = x;
  ctx.rec(s).y1 = y;
  storeText(ctx, s, params);
  if (header) *header = hdr;
  return s;
}

inline void boardLayers(Context& ctx) {
  parseOptionsV4(ctx, {"-y1", "-y0:00AAAAAA,00FFFFFF,2,0,Pad Master", "-y1:00FFFFFF,00FFFFFF,0,1,Top Silk",
                       "-y2:00AA00AA,00FFFFFF,1,2,Top Mask", "-y3:00AA0000,00FF0000,2,3,Top Side",
                       "-y7:00808080,00FFFFFF,7,7,Outline", "-y12:000000AA,000000FF,10,12,Bottom Side",
                       "-y13:00AA00AA,00FFFFFF,9,13,Bottom Mask", "-y14:00FFFFFF,00FFFFFF,8,14,Bottom Silk"});
}
inline void schematicLayers(Context& ctx) {  // layer 1 Symbols, layer 2 Schematic
  parseOptionsV4(ctx, {"-y2", "-y0:00FFFFFF,00000000,7,0,Drawing", "-y1:0000FF00,00000000,4,1,Symbols",
                       "-y2:00FF0000,00000000,6,2,Wires"});
}

constexpr int32_t mils(int32_t m) { return static_cast<int32_t>((int64_t{m} * kInch + 500) / 1000); }

}  // namespace trelmo::testing
