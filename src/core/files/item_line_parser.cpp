#include <cstdint>
#include <string>

#include "context.h"
#include "database/chains.h"
#include "database/component_keys.h"
#include "database/geometry.h"
#include "database/rings.h"
#include "database/signals.h"
#include "files/item_lines.h"
#include "files/reader_items.h"

namespace trelmo {

namespace {

constexpr char kSeparator = static_cast<char>(127);

// Points moved by the offset stay inside the coordinate range.
int32_t shifted(int32_t v, int32_t d) { return clamp32(int64_t{v} + d); }

struct Point {
  int32_t x, y;
};
// "x y", both moved by the offset.
Point shiftedPoint(NumberReader& r, int32_t dx, int32_t dy) {
  const int32_t x = shifted(r.dimension(), dx);
  r.skip(' ');
  return {x, shifted(r.dimension(), dy)};
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view restOf(const NumberReader& r) { return r.pos < r.s.size() ? r.s.substr(r.pos) : std::string_view{}; }

}  // namespace

// Only the first 64 columns of the reference form count.
std::string componentSortKey(const Context& ctx, Handle header) {
  return referenceForm(componentFields(ctx, header)[kReferenceField]).substr(0, 64);
}

bool componentSortKeyLess(const Context& ctx, Handle a, Handle b) {
  return componentSortKey(ctx, a) < componentSortKey(ctx, b);
}

ItemBuilder::ItemBuilder(Context& ctx, Handle ring, ItemSyntax syntax, int32_t dx, int32_t dy)
    : ctx_(ctx), syntax_(syntax), dx_(dx), dy_(dy) {
  stack_.push_back(ring);
}

Handle ItemBuilder::add(uint8_t type, uint8_t layer, uint16_t size, int32_t x1, int32_t y1, int32_t w3, int32_t w4) {
  if (failed_) return kNull;
  const Handle h = createItem(ctx_.pool, current(), type, layer, size, x1, y1, w3, w4, kNull);
  if (h == kNull) failed_ = true;
  if (type != kComponent) runs_.erase(current());  // the ring no longer ends in components
  return h;
}

void ItemBuilder::vertexLine(uint8_t layer, int32_t x, int32_t y) {
  if (failed_) return;
  const Handle ring = current();
  const Handle last = ctx_.rec(ring).prev;
  if (last == ring) return;
  const Record& r = ctx_.rec(last);
  const uint8_t flags = syntax_ == ItemSyntax::kEditor ? r.flags : static_cast<uint8_t>(r.flags & 0x0F);
  if (flags != kLine || r.layer != layer || r.size != 0) return;
  if (!appendVertex(ctx_, last, x, y)) failed_ = true;
}

Handle ItemBuilder::solid(uint8_t layer, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const Handle h = add(kLine, layer, 0, x1, y1, x2, y2);
  if (h != kNull) solids_.push_back(h);
  return h;
}

void ItemBuilder::attachSignalTo(Handle item, std::string_view name) {
  if (item == kNull || name.empty()) return;
  attachSignal(ctx_, item, name);
}

void ItemBuilder::storeTextTo(Handle item, std::string_view text) {
  if (item == kNull || text.empty()) return;
  if (!storeText(ctx_, item, text)) failed_ = true;
}

void ItemBuilder::openNested(uint8_t type, uint8_t layer, uint16_t size, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                             std::string_view params) {
  const Handle header = add(type, layer, size, x1, y1, x2, y2);
  if (header == kNull) return;
  const Handle sentinel = newRing(ctx_.pool, kComponentRing);
  if (sentinel == kNull) {
    deleteItem(ctx_.pool, header);
    failed_ = true;
    return;
  }
  ctx_.rec(header).ext = sentinel;
  ctx_.rec(sentinel).w4 = static_cast<int32_t>(header);
  while (!params.empty() && params.back() == kSeparator) params.remove_suffix(1);
  storeTextTo(sentinel, params.empty() ? std::string_view("*") : params);
  stack_.push_back(sentinel);
}

void ItemBuilder::closeNested(uint8_t layer, uint16_t size, int32_t x, int32_t y) {
  if (stack_.size() < 2) return;  // no component open
  const Handle sentinel = stack_.back();
  stack_.pop_back();
  runs_.erase(sentinel);
  Record& s = ctx_.rec(sentinel);
  // A nested ring never takes the file ring's mark: walks stop there.
  s.layer = layer == kFileRing ? kComponentRing : layer;
  s.size = size;
  s.x1 = x;
  s.y1 = y;
  if (syntax_ == ItemSyntax::kEditor) return;
  const Handle header = item::owner(s);
  if (ringEmpty(ctx_.pool, sentinel)) {
    releaseExtension(ctx_, sentinel);
    ctx_.pool.release(sentinel);
    deleteItem(ctx_.pool, header);
    return;
  }
  if (ctx_.rec(header).type() == kComponent) sortIntoPlace(header);
}

void ItemBuilder::sortIntoPlace(Handle header) {
  const Handle ring = current();
  auto [at, fresh] = runs_.try_emplace(ring);
  std::multimap<std::string, Handle>& run = at->second;
  if (fresh) {  // the components already before this one, read once
    for (Handle p = ctx_.rec(header).prev; p != ring && ctx_.rec(p).type() == kComponent; p = ctx_.rec(p).prev)
      run.emplace(componentSortKey(ctx_, p), p);
  }
  std::string key = componentSortKey(ctx_, header);
  // After every component with the same or a smaller key, before the first larger.
  const auto larger = run.upper_bound(key);
  if (larger != run.end()) moveItem(ctx_.pool, header, larger->second);
  run.emplace_hint(larger, std::move(key), header);
}

uint8_t ItemBuilder::layerFromCode(std::string_view field) const {
  const char k = field.empty() ? 0 : field[0];
  const uint8_t kind = (k == 'C' || k == 'c') ? kCopper : (k == 'M' || k == 'm') ? kMask : kSilk;
  const char first = field.size() > 1 ? field[1] : 0;
  int fallback = -1;
  for (int n = 0; n < 256; ++n) {
    const LayerEntry& e = ctx_.layer(n);
    if (e.unused() || e.kind() != kind) continue;
    if (first != 0 && e.name[0] == first) return static_cast<uint8_t>(n);
    if (fallback < 0) fallback = n;
  }
  return static_cast<uint8_t>(fallback < 0 ? 1 : fallback);
}

// Reads the layer field; returns the value as written in the editor syntax
// (negative = current layer) and 0 in files.
int ItemBuilder::layerField(NumberReader& r, uint8_t& layer) {
  if (syntax_ == ItemSyntax::kEditor) {
    const int v = r.integer();
    layer = static_cast<uint8_t>(v < 0 ? ctx_.params.currentLayer : v);
    return v;
  }
  const size_t start = r.pos;
  if (isDigit(r.peek())) {
    layer = static_cast<uint8_t>(r.integer());
  } else {
    while (!r.atEnd() && r.peek() != ' ') ++r.pos;
    layer = layerFromCode(r.s.substr(start, r.pos - start));
  }
  return 0;
}

bool ItemBuilder::parseLine(std::string_view line) {
  if (failed_ || line.size() < 2 || line[0] < '0' || line[0] > '7' || line[1] != ' ') return !failed_;
  NumberReader r{line, 2};
  const uint8_t type = static_cast<uint8_t>(line[0] - '0');
  if (type == kSentinel) {
    parseEnd(r, 0);
    return !failed_;
  }
  uint8_t layer = 0;
  const int written = layerField(r, layer);
  r.skip(' ');
  switch (type) {
    case kLine:
      parseLineItem(r, layer);
      break;
    case kArc:
      parseArc(r, layer);
      break;
    case kPad:
      parsePad(r, layer);
      break;
    case kText:
      parseText(r, written, layer);
      break;
    case kReserved: {
      const int number = r.integer();
      r.skip(' ');
      const auto [x1, y1] = shiftedPoint(r, dx_, dy_);
      r.skip(' ');
      const int32_t x2 = r.dimension();
      r.skip(' ');
      const int32_t y2 = r.dimension();
      const Handle h = add(kReserved, layer, static_cast<uint16_t>((number & 255) << 8), x1, y1, x2, y2);
      // Saved reserved items carry their text chain after the points.
      if (r.skip(' ')) storeTextTo(h, restOf(r));
      break;
    }
    default:
      parseNested(r, type, layer);
      break;
  }
  return !failed_;
}

void ItemBuilder::parseLineItem(NumberReader& r, uint8_t layer) {
  const uint16_t width = clampSize(r.dimension());
  r.skip(' ');
  const auto [x1, y1] = shiftedPoint(r, dx_, dy_);
  if (!r.skip(' ') || r.atEnd()) {
    if (width == 0) vertexLine(layer, x1, y1);
    return;  // a one-point line of some width is nothing
  }
  const auto [x2, y2] = shiftedPoint(r, dx_, dy_);
  if (width == 0) {
    const Handle h = solid(layer, x1, y1, x2, y2);
    // Vertices on the same line, each after a byte 127. A name after the last
    // one is not kept: filled solids carry no signal.
    while (h != kNull && !failed_ && r.skip(kSeparator)) {
      const auto [x, y] = shiftedPoint(r, dx_, dy_);
      if (!appendVertex(ctx_, h, x, y)) failed_ = true;
    }
    return;
  }
  const Handle h = add(kLine, layer, width, x1, y1, x2, y2);
  if (r.skip(' ')) attachSignalTo(h, restOf(r));
}

void ItemBuilder::parseArc(NumberReader& r, uint8_t layer) {
  const uint16_t width = clampSize(r.dimension());
  r.skip(' ');
  const auto [x, y] = shiftedPoint(r, dx_, dy_);
  r.skip(' ');
  const int32_t radius = r.dimension();
  r.skip(' ');
  const uint16_t start = r.angle();
  r.skip(' ');
  const uint16_t sweep = r.angle();
  r.skip(' ');
  const uint16_t ecc = lo16(r.plainNumber());
  r.skip(' ');
  const uint16_t axis = r.angle();
  const Handle h = add(kArc, layer, width, x, y, 0, 0);
  if (h == kNull) return;
  item::setArc(ctx_.rec(h), radius, start, sweep, ecc, axis);
  // Only arcs of non-negative radius hold a signal reference.
  if (radius >= 0 && r.skip(' ')) attachSignalTo(h, restOf(r));
}

void ItemBuilder::parsePad(NumberReader& r, uint8_t layer) {
  const int padType = r.integer();
  r.skip(' ');
  const auto [x, y] = shiftedPoint(r, dx_, dy_);
  r.skip(' ');
  const uint16_t xs = clampSize(r.dimension());
  r.skip(' ');
  const uint16_t ys = clampSize(r.dimension());
  r.skip(' ');
  const uint16_t hole = clampSize(r.dimension());
  r.skip(' ');
  const uint16_t angle = r.angle();
  const Handle h = add(kPad, layer, static_cast<uint16_t>(padType & 255), x, y, 0, 0);
  if (h == kNull) return;
  item::setPad(ctx_.rec(h), xs, ys, hole, angle);
  if (!r.skip(' ')) return;
  const std::string pin = r.token(' ');
  if (!pin.empty() && !storePin(ctx_, h, pin)) failed_ = true;
  if (r.skip(' ')) attachSignalTo(h, restOf(r));
}

void ItemBuilder::parseText(NumberReader& r, int layerField, uint8_t layer) {
  const uint16_t height = clampSize(r.dimension());
  r.skip(' ');
  const auto [x, y] = shiftedPoint(r, dx_, dy_);
  r.skip(' ');
  int32_t length = r.dimension();
  r.skip(' ');
  const uint16_t angle = r.angle();
  r.skip(' ');
  const int anchor = r.integer();
  r.skip(' ');
  const int font = r.integer();
  if (!r.skip(' ') || r.atEnd()) return;  // no text, no item
  if (syntax_ == ItemSyntax::kEditor && layerField < 0 && ctx_.layer(layer).bottom()) length = -length;
  const Handle h = add(kText, layer, height, x, y, 0, 0);
  if (h == kNull) return;
  item::setText(ctx_.rec(h), length, angle, static_cast<uint8_t>((anchor & 15) | ((font & 15) << 4)));
  if (ctx_.layer(layer).kind() == kSchematic) {
    attachSignalTo(h, restOf(r));
  } else {
    storeTextTo(h, restOf(r));
  }
}

void ItemBuilder::parseNested(NumberReader& r, uint8_t type, uint8_t layer) {
  const uint16_t size = type == kComponent ? r.angle() : static_cast<uint16_t>(r.integer());
  r.skip(' ');
  const auto [x1, y1] = shiftedPoint(r, dx_, dy_);
  r.skip(' ');
  const auto [x2, y2] = shiftedPoint(r, dx_, dy_);
  std::string_view params;
  if (r.skip(' ')) params = restOf(r);
  openNested(type, layer, size, x1, y1, x2, y2, params);
}

void ItemBuilder::parseEnd(NumberReader& r, uint8_t) {
  const int layer = r.integer();
  r.skip(' ');
  const int size = r.integer();
  r.skip(' ');
  const auto [x, y] = shiftedPoint(r, dx_, dy_);
  closeNested(static_cast<uint8_t>(layer), static_cast<uint16_t>(size), x, y);
}

void ItemBuilder::finish() {
  for (const Handle h : solids_) {
    const Record& r = ctx_.rec(h);
    if (r.type() == kLine && r.size == 0 && r.ext == kNull) {
      if (!solidToRectangle(ctx_, h)) failed_ = true;
    }
  }
  solids_.clear();
}

bool parseItemText(Context& ctx, Handle ring, std::string_view text, int32_t dx, int32_t dy) {
  const size_t eof = text.find('\x1a');
  if (eof != std::string_view::npos) text = text.substr(0, eof);
  ItemBuilder builder(ctx, ring, ItemSyntax::kEditor, dx, dy);
  size_t pos = 0;
  while (pos < text.size() && !builder.failed()) {
    size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    builder.parseLine(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
  }
  builder.finish();
  return !builder.failed();
}

}  // namespace trelmo
