// The records of a Protel AutoTrax board: free and component tracks, arcs,
// vias, fills, pads and strings, components and net definitions.
#include <array>
#include <string_view>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "database/signals.h"
#include "files/import/protel_reader.h"
#include "files/reader_formats.h"

namespace trelmo::protel {

namespace {

using tango::Fields;

constexpr uint16_t kZeroWidth = 65;  // a track of width 0 is drawn one mil wide
constexpr int kMultiLayer = 13;
constexpr int kPadRect = 2;  // shapes: 1 round, 2 rectangle, 3 octagon, 4 rounded rectangle, 5-6 targets

constexpr std::array<std::string_view, 16> kKeywords = {"FT", "FA", "FV", "FF", "FP",   "FS",      "CT",     "CA",
                                                        "CV", "CF", "CP", "CS", "COMP", "ENDCOMP", "NETDEF", "ENDPCB"};

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

bool isKeyword(std::string_view line) {
  line = trimmed(line);
  for (std::string_view k : kKeywords)
    if (line == k) return true;
  return false;
}

// Byte 127 separates component fields: inside a name it becomes a blank.
std::string fieldText(std::string_view s) {
  std::string out(trimmed(s));
  for (char& c : out)
    if (static_cast<unsigned char>(c) == kFieldSeparator) c = ' ';
  return out;
}

}  // namespace

Reader::Reader(Context& ctx, InputFile& in) : ctx_(ctx), in_(in), ring_(ctx.current) {}

bool Reader::next(std::string& line) {
  if (pending_) {
    pending_ = false;
    line = std::move(pushed_);
    return true;
  }
  if (!in_.nextLine(line)) return false;
  size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  line.erase(0, i);
  return true;
}

void Reader::push(std::string line) {
  pushed_ = std::move(line);
  pending_ = true;
}

bool Reader::numbers(std::string& line) {
  while (next(line)) {
    if (trimmed(line).empty()) continue;
    if (isKeyword(line)) {
      push(std::move(line));
      return false;
    }
    return true;
  }
  return false;
}

void Reader::run() {
  ReadProgress progress(ctx_, in_);
  std::string line;
  while (!ended_ && next(line)) {
    record(std::string(trimmed(line)));
    progress.update();
  }
  assignNets();
  tango::finishComponents(ctx_, ring_);
  progress.done();
}

void Reader::record(const std::string& key) {
  if (key.size() == 2 && (key[0] == 'F' || key[0] == 'C')) {
    // Component records outside a component are kept as free items.
    const Handle ring = key[0] == 'C' && component_ != kNull ? component_ : ring_;
    switch (key[1]) {
      case 'T':
        track(ring);
        break;
      case 'A':
        arc(ring);
        break;
      case 'V':
        via(ring);
        break;
      case 'F':
        fill(ring);
        break;
      case 'P':
        pad(ring);
        break;
      case 'S':
        freeString(ring);
        break;
      default:
        break;
    }
  } else if (key == "COMP" && component_ == kNull) {
    component();
  } else if (key == "NETDEF") {
    netdef();
  } else if (key == "ENDPCB") {
    ended_ = true;
  }
}

// X1 Y1 X2 Y2 width layer
void Reader::track(Handle ring) {
  std::string line;
  if (!numbers(line)) return;
  const Fields f(line);
  uint16_t width = f.milSize(4);
  if (width == 0) width = kZeroWidth;
  createItem(ctx_.pool, ring, kLine, boardLayer(f.integer(5)), width, f.mils(0), f.mils(1), f.mils(2), f.mils(3),
             kNull);
}

// X Y radius quadrants width layer: quadrant bits 1 upper right, 2 upper
// left, 4 lower left, 8 lower right; each run of neighbouring quadrants
// becomes one arc, all four (or none) a circle.
void Reader::arc(Handle ring) {
  std::string line;
  if (!numbers(line)) return;
  const Fields f(line);
  const int32_t radius = f.mils(2);
  const unsigned quadrants = static_cast<unsigned>(f.integer(3)) & 15;
  const auto make = [&](uint16_t start, uint16_t sweep) {
    const Handle h =
        createItem(ctx_.pool, ring, kArc, boardLayer(f.integer(5)), f.milSize(4), f.mils(0), f.mils(1), 0, 0, kNull);
    if (h != kNull) item::setArc(ctx_.rec(h), radius < 0 ? -radius : radius, start, sweep, 0, 0);
  };
  if (quadrants == 0 || quadrants == 15) {
    make(0, 0);
    return;
  }
  const auto set = [&](int q) { return (quadrants >> (q & 3)) & 1; };
  for (int q = 0; q < 4; ++q) {
    if (!set(q) || set(q + 3)) continue;  // not the first of a run
    int run = 1;
    while (run < 4 && set(q + run)) ++run;
    make(static_cast<uint16_t>(q * 16384), static_cast<uint16_t>(run * 16384));
  }
}

// X Y diameter hole
void Reader::via(Handle ring) {
  std::string line;
  if (!numbers(line)) return;
  const Fields f(line);
  const Handle h = createItem(ctx_.pool, ring, kPad, 0, item::kRoundVia, f.mils(0), f.mils(1), 0, 0, kNull);
  if (h != kNull) item::setPad(ctx_.rec(h), f.milSize(2), f.milSize(2), f.milSize(3), 0);
}

// X1 Y1 X2 Y2 layer: a filled rectangle.
void Reader::fill(Handle ring) {
  std::string line;
  if (!numbers(line)) return;
  const Fields f(line);
  const int32_t x1 = f.mils(0), y1 = f.mils(1), x2 = f.mils(2), y2 = f.mils(3);
  const Handle h = createItem(ctx_.pool, ring, kLine, boardLayer(f.integer(4)), 0, x1, y1, x2, y2, kNull);
  if (h == kNull) return;
  if (!appendVertex(ctx_, h, x1, y1) || !appendVertex(ctx_, h, x2, y1) || !appendVertex(ctx_, h, x2, y2) ||
      !appendVertex(ctx_, h, x1, y2))
    freeItemDeeply(ctx_, h);
}

// X Y Xsize Ysize shape hole plane-connection layer, then the pad name. Pads
// of the multi layer are through-hole pads; a pad without a hole on the top
// or bottom layer is a surface-mount pad there.
void Reader::pad(Handle ring) {
  std::string line;
  if (!numbers(line)) return;
  const Fields f(line);
  std::string name;
  if (next(name) && isKeyword(name)) {
    push(std::move(name));
    name.clear();
  }
  uint8_t type = f.integer(4) == kPadRect ? item::kRectThru : item::kOvalThru;
  const int32_t layerNumber = f.integer(7);
  const uint16_t hole = f.milSize(5);
  uint8_t layer = 0;
  if (layerNumber != kMultiLayer && layerNumber != 0) {
    layer = boardLayer(layerNumber);
    if (hole == 0) type |= item::kSurfaceMount;
  }
  const Handle h = createItem(ctx_.pool, ring, kPad, layer, type, f.mils(0), f.mils(1), 0, 0, kNull);
  if (h == kNull) return;
  item::setPad(ctx_.rec(h), f.milSize(2), f.milSize(3), hole, 0);
  const std::string pin = fieldText(name);
  if (!pin.empty()) storePin(ctx_, h, pin);
}

// X Y height direction width layer: a text; direction 0-3 turns by quarters.
void Reader::textItem(Handle ring, const Fields& f, std::string_view text) {
  const uint16_t height = f.milSize(2);
  if (text.empty() || height == 0) return;
  const Handle h = createTextItem(ctx_, ring, boardLayer(f.integer(5)), height, f.mils(0), f.mils(1), text);
  if (h == kNull) return;
  item::setText(ctx_.rec(h), textLengthOf(text, height), static_cast<uint16_t>((f.integer(3) & 3) * 16384), 0);
}

void Reader::freeString(Handle ring) {
  std::string line, text;
  if (!numbers(line)) return;
  if (next(text) && isKeyword(text)) {
    push(std::move(text));
    return;
  }
  textItem(ring, Fields(line), fieldText(text));
}

// COMP, then the designator, pattern and comment lines, the places of the
// designator and comment texts, the origin, the component records, ENDCOMP.
void Reader::component() {
  std::string designator, pattern, comment, line;
  std::string* header[] = {&designator, &pattern, &comment};
  for (std::string* s : header) {
    if (!next(*s)) return;
    if (isKeyword(*s)) {
      push(std::move(*s));
      return;
    }
  }
  designator = fieldText(designator);
  std::string places[2];
  for (std::string& p : places)
    if (!numbers(p)) return;
  if (!numbers(line)) return;
  const Fields origin(line);
  const std::string params = fieldText(pattern) + static_cast<char>(kFieldSeparator) + designator +
                             static_cast<char>(kFieldSeparator) + fieldText(comment);
  component_ = tango::newComponent(ctx_, ring_, origin.mils(0), origin.mils(1), params);
  if (component_ == kNull) return;
  if (!designator.empty()) references_.emplace(designator, component_);
  textItem(component_, Fields(places[0]), "&1");
  textItem(component_, Fields(places[1]), "&2");
  while (next(line)) {
    const std::string key(trimmed(line));
    if (key == "ENDCOMP") break;
    if (key == "COMP" || key == "NETDEF" || key == "ENDPCB") {  // a component left open
      push(std::move(line));
      break;
    }
    record(key);
  }
  component_ = kNull;
}

// NETDEF, the net name, then lines up to a "(" that opens the node list of
// designator-pin names, closed by ")". Component blocks in "[" "]" are skipped.
void Reader::netdef() {
  std::string name, line;
  if (!next(name)) return;
  if (isKeyword(name)) {
    push(std::move(name));
    return;
  }
  name = std::string(trimmed(name));
  bool nodes = false, skipping = false;
  while (next(line)) {
    const std::string_view l = trimmed(line);
    if (isKeyword(l)) {
      push(std::move(line));
      return;
    }
    if (skipping) {
      skipping = l != "]";
    } else if (nodes) {
      if (l == ")") return;
      const size_t dash = l.rfind('-');
      if (dash != std::string_view::npos && dash > 0 && dash + 1 < l.size())
        nodes_.push_back({name, std::string(l.substr(0, dash)), std::string(l.substr(dash + 1))});
    } else if (l == "(") {
      nodes = true;
    } else if (l == "[") {
      skipping = true;
    }
  }
}

void Reader::assignNets() {
  for (const Node& n : nodes_) {
    const auto c = references_.find(n.reference);
    if (c == references_.end()) continue;
    const Handle ring = c->second;
    for (Handle h = ctx_.rec(ring).next; h != ring; h = ctx_.rec(h).next) {
      const Record& r = ctx_.rec(h);
      if (r.type() == kPad && r.ext == kNull && pinName(ctx_, h) == n.pin) attachSignal(ctx_, h, n.net);
    }
  }
}

}  // namespace trelmo::protel
