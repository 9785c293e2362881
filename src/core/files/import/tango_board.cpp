// Tango board records: tracks, fills, arcs, pads, vias, texts, nets,
// components and polygons, one record a line, dimensions in mils.
#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/rings.h"
#include "database/signals.h"
#include "files/import/tango_common.h"
#include "files/import/tango_reader.h"
#include "files/reader_formats.h"

namespace trelmo::tango {

namespace {

constexpr uint16_t kZeroWidth = 65;  // a track of width 0 is drawn one mil wide
constexpr uint16_t kPadSizeMax = 32767;

class BoardReader {
 public:
  explicit BoardReader(Context& ctx) : ctx_(ctx), ring_(ctx.current) {}
  void record(const Fields& f);
  void finish();

 private:
  void track(const Fields& f);
  void fill(const Fields& f);
  void arc(const Fields& f);
  void pad(const Fields& f);
  void via(const Fields& f);
  void text(const Fields& f);
  void net(const Fields& f);
  void component(const Fields& f);
  void polygon(const Fields& f);
  void point(const Fields& f);
  // Remembers the component number (the record's last field, when the record
  // has more than its fixed fields) and the net number of an item.
  void member(Handle h, const Fields& f, size_t fixed);
  void netted(Handle h, int32_t number);

  Context& ctx_;
  Handle ring_;
  Handle solid_ = kNull;  // the polygon that point records extend
  std::vector<Handle> polygons_;
  std::vector<std::pair<Handle, int32_t>> members_;
  std::vector<std::pair<Handle, int32_t>> netted_;
  std::map<int32_t, Handle> nets_;        // net number -> net record
  std::map<int32_t, Handle> components_;  // component number -> nested ring
};

void BoardReader::record(const Fields& f) {
  const std::string_view key = f.text(0);
  if (key != "PNT") solid_ = kNull;
  if (key == "LINE" || key == "TR")
    track(f);
  else if (key == "FILL")
    fill(f);
  else if (key == "ARC")
    arc(f);
  else if (key == "PAD")
    pad(f);
  else if (key == "VIA")
    via(f);
  else if (key == "TEXT" || key == "STR")
    text(f);
  else if (key == "NET")
    net(f);
  else if (key == "COMP")
    component(f);
  else if (key == "POLY")
    polygon(f);
  else if (key == "PNT")
    point(f);
}

void BoardReader::member(Handle h, const Fields& f, size_t fixed) {
  if (h == kNull || f.size() <= fixed + 1) return;
  const int32_t number = f.integer(f.size() - 1);
  if (number != 0) members_.emplace_back(h, number);
}

void BoardReader::netted(Handle h, int32_t number) {
  if (h != kNull && number != 0) netted_.emplace_back(h, number);
}

// LINE / TR width layer X1 Y1 X2 Y2 net [component]
void BoardReader::track(const Fields& f) {
  uint16_t width = f.milSize(1);
  if (width == 0) width = kZeroWidth;
  const Handle h = createItem(ctx_.pool, ring_, kLine, boardLayer(f.integer(2)), width, f.mils(3), f.mils(4), f.mils(5),
                              f.mils(6), kNull);
  netted(h, f.integer(7));
  member(h, f, 7);
}

// FILL layer X1 Y1 X2 Y2 [component]: a rectangle as a filled solid.
void BoardReader::fill(const Fields& f) {
  const int32_t x1 = f.mils(2), y1 = f.mils(3), x2 = f.mils(4), y2 = f.mils(5);
  const Handle h = createItem(ctx_.pool, ring_, kLine, boardLayer(f.integer(1)), 0, x1, y1, x2, y2, kNull);
  if (h == kNull) return;
  if (!appendVertex(ctx_, h, x1, y1) || !appendVertex(ctx_, h, x2, y1) || !appendVertex(ctx_, h, x2, y2) ||
      !appendVertex(ctx_, h, x1, y2)) {
    freeItemDeeply(ctx_, h);
    return;
  }
  member(h, f, 5);
}

// ARC radius start sweep width layer X Y net [component]; angles in degrees.
void BoardReader::arc(const Fields& f) {
  int64_t start = f.integer(2) % 360, sweep = f.integer(3);
  if (sweep < 0) {  // clockwise: the same arc drawn from its other end
    sweep = -sweep;
    start -= sweep % 360;
  }
  start = ((start % 360) + 360) % 360;
  const uint16_t start16 = static_cast<uint16_t>((start * 65536 + 180) / 360);
  const uint16_t sweep16 = sweep >= 360 ? 0 : static_cast<uint16_t>((sweep * 65536 + 180) / 360);
  const int32_t radius = f.mils(1);
  const Handle h =
      createItem(ctx_.pool, ring_, kArc, boardLayer(f.integer(5)), f.milSize(4), f.mils(6), f.mils(7), 0, 0, kNull);
  if (h == kNull) return;
  item::setArc(ctx_.rec(h), clamp32(std::abs(int64_t{radius})), start16, sweep16, 0, 0);
  netted(h, f.integer(8));
  member(h, f, 8);
}

// PAD shape Xsize Ysize hole side plane pin X Y net [component]
void BoardReader::pad(const Fields& f) {
  uint8_t type = f.text(1).starts_with("SQ") ? item::kRectThru : item::kOvalThru;
  uint8_t layer = 0;
  const std::string_view side = f.text(5), plane = f.text(6);
  if (side.starts_with("T") || side.starts_with("B")) {
    type |= item::kSurfaceMount;
    layer = side[0] == 'T' ? 7 : 8;
  }
  if (plane.starts_with("P")) layer = 9;
  if (plane.starts_with("G")) layer = 10;
  const Handle h = createItem(ctx_.pool, ring_, kPad, layer, type, f.mils(8), f.mils(9), 0, 0, kNull);
  if (h == kNull) return;
  item::setPad(ctx_.rec(h), std::min(f.milSize(2), kPadSizeMax), f.milSize(3), f.milSize(4), 0);
  storePin(ctx_, h, f.text(7));
  netted(h, f.integer(10));
  member(h, f, 10);
}

// VIA (skipped) size hole plane X Y net [component]: a round via. Plane
// connections go to the same Vcc and Gnd layers as those of pads.
void BoardReader::via(const Fields& f) {
  const std::string_view plane = f.text(4);
  const uint8_t layer = plane.starts_with("P") ? 9 : plane.starts_with("G") ? 10 : 0;
  const Handle h = createItem(ctx_.pool, ring_, kPad, layer, item::kRoundVia, f.mils(5), f.mils(6), 0, 0, kNull);
  if (h == kNull) return;
  const uint16_t size = f.milSize(2);
  item::setPad(ctx_.rec(h), size, size, f.milSize(3), 0);
  netted(h, f.integer(7));
  member(h, f, 7);
}

// TEXT / STR string height flags (skipped) layer X Y and four skipped fields
// [component]. Flags: bit 2 mirrors, bits 0-1 turn by quarters.
void BoardReader::text(const Fields& f) {
  std::string_view s = f.text(1);
  if (s == ".REFDES")
    s = "&1";
  else if (s == ".TYPE")
    s = "&2";
  const uint16_t height = f.milSize(2);
  if (s.empty() || height == 0) return;
  const int32_t flags = f.integer(3);
  const Handle h = createTextItem(ctx_, ring_, boardLayer(f.integer(5)), height, f.mils(6), f.mils(7), s);
  if (h == kNull) return;
  const int32_t length = textLengthOf(s, height);
  item::setText(ctx_.rec(h), (flags & 4) ? -length : length, static_cast<uint16_t>((flags & 3) * 16384), 0);
  member(h, f, 11);
}

// NET name number (one more integer): a hidden pad that carries the net's
// signal; items with the net number take the signal after reading.
void BoardReader::net(const Fields& f) {
  const int32_t number = f.integer(2);
  if (number == 0 || f.text(1).empty() || nets_.count(number)) return;
  const Handle h =
      createItem(ctx_.pool, ring_, static_cast<uint8_t>(int{kPad} | int{kHidden}), 0, 0, number, 0, 0, 0, kNull);
  if (h == kNull) return;
  attachSignal(ctx_, h, f.text(1));
  nets_.emplace(number, h);
}

// COMP five text fields, X Y, four dimensions, component number. The
// parameter text takes the fourth field (the pattern) first.
void BoardReader::component(const Fields& f) {
  const int32_t number = f.integer(12);
  if (components_.count(number)) return;
  std::string params;
  constexpr size_t kOrder[] = {4, 1, 2, 3, 5};
  for (size_t k = 0; k < 5; ++k) {
    if (k > 0) params += static_cast<char>(kFieldSeparator);
    for (char c : f.text(kOrder[k])) params += static_cast<unsigned char>(c) == kFieldSeparator ? ' ' : c;
  }
  while (!params.empty() && static_cast<unsigned char>(params.back()) == kFieldSeparator) params.pop_back();
  const Handle sentinel = newComponent(ctx_, ring_, f.mils(6), f.mils(7), params);
  if (sentinel == kNull) return;
  ctx_.rec(sentinel).w5 = number;
  components_.emplace(number, sentinel);
}

// POLY layer count [component], then PNT X Y for each vertex.
void BoardReader::polygon(const Fields& f) {
  solid_ = createItem(ctx_.pool, ring_, kLine, boardLayer(f.integer(1)), 0, 0, 0, 0, 0, kNull);
  if (solid_ == kNull) return;
  polygons_.push_back(solid_);
  member(solid_, f, 2);
}

void BoardReader::point(const Fields& f) {
  if (solid_ != kNull && !appendVertex(ctx_, solid_, f.mils(1), f.mils(2))) solid_ = kNull;
}

void BoardReader::finish() {
  for (const auto& [h, number] : netted_) {
    const auto n = nets_.find(number);
    if (n != nets_.end()) attachSignal(ctx_, h, itemSignal(ctx_, n->second));
  }
  // A polygon without vertices has no shape: it is left out.
  std::unordered_set<Handle> dropped;
  for (Handle h : polygons_) {
    if (ctx_.rec(h).ext != kNull) continue;
    deleteItem(ctx_.pool, h);
    dropped.insert(h);
  }
  for (const auto& [h, number] : members_) {
    if (dropped.count(h)) continue;
    const auto c = components_.find(number);
    if (c != components_.end()) moveItem(ctx_.pool, h, c->second);
  }
  finishComponents(ctx_, ring_);
}

}  // namespace

void readBoard(Context& ctx, InputFile& in) {
  applyBoardSetup(ctx);
  BoardReader reader(ctx);
  ReadProgress progress(ctx, in);
  std::string line;
  while (in.nextLine(line)) {
    reader.record(Fields(line));
    progress.update();
  }
  reader.finish();
  progress.done();
}

}  // namespace trelmo::tango
