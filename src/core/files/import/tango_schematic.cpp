// Tango schematic records: symbol lines, wires, buses, arcs, junctions and
// texts; numbers are decimal inches.
#include <cstdlib>
#include <string>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/options.h"
#include "database/rings.h"
#include "files/import/tango_common.h"
#include "files/import/tango_reader.h"
#include "files/reader_formats.h"
#include "files/reader_old.h"

namespace trelmo::tango {

namespace {

constexpr uint8_t kSymbolLayer = 1, kSignalLayer = 2, kBusLayer = 3;
constexpr uint16_t kThinWidth = 655;      // 0.010 inch
constexpr uint16_t kBusWidth = 3277;      // 0.050 inch
constexpr uint16_t kJunctionSize = 2624;  // 0.040 inch
constexpr uint16_t kTextHeight = 3932;    // 0.060 inch
constexpr int64_t kSizeFactor = 66;       // a text size value to a height
constexpr int64_t kHeightMin = 300, kHeightMax = 32767;

bool startsNumber(std::string_view s, size_t i) {
  const auto digit = [&](size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
  if (digit(i)) return true;
  if (i < s.size() && s[i] == '.') return digit(i + 1);
  if (i < s.size() && s[i] == '-') return digit(i + 1) || (i + 1 < s.size() && s[i + 1] == '.' && digit(i + 2));
  return false;
}

// The decimal numbers of a record, in order, skipping whatever lies between
// them (blanks, commas, parentheses); 16.16 values.
class Numbers {
 public:
  explicit Numbers(std::string_view s) : s_(s) {}
  bool next(int32_t& v) {
    while (pos_ < s_.size() && !startsNumber(s_, pos_)) ++pos_;
    if (pos_ >= s_.size()) return false;
    NumberReader r{s_, pos_};
    v = r.plainNumber();
    pos_ = r.pos > pos_ ? r.pos : pos_ + 1;
    return true;
  }
  template <size_t N>
  bool next(int32_t (&v)[N]) {
    for (size_t i = 0; i < N; ++i)
      if (!next(v[i])) return false;
    return true;
  }

 private:
  std::string_view s_;
  size_t pos_ = 0;
};

// Degrees in 16.16 to a binary angle.
uint16_t binaryAngle(int64_t degrees1616) {
  const int64_t v = (degrees1616 >= 0 ? degrees1616 + 180 : degrees1616 - 180) / 360;
  return static_cast<uint16_t>(static_cast<uint64_t>(v));
}

void setup(Context& ctx) {
  resetGridColors(ctx);
  // Layer 1 is of the Symbols kind, so that the design is taken for a
  // schematic (its symbols are no copper).
  parseOptionsV3(ctx, {"-y0:2,0,Pad Master", "-y1:7,4,Symbols", "-y2:1,6,Signals", "-y3:4,7,Busses"});
  for (int n = 4; n <= 15; ++n) parseOptionV3(ctx, "-y" + std::to_string(n) + ":0,0,-");
  parseOptionsV3(ctx, {"-y1", "-m-32000,-32000,32000,32000", "-gr3,25,1,5,25,100", "-gd100", "-gm3,2,3,1", "-gz0,0",
                       "-l10", "-p45v25", "-t48", "-hp1220000000000000", "-hs1.000,0,0,0,0,0,0,0,0", "-hm3,2,3,1,0",
                       "-nr0", "-nh2", "-nc0,0,0,0,0,0", "-dp10,5,0,25", "-dy", "-b"});
  convertColors(ctx);
}

class SchematicReader {
 public:
  explicit SchematicReader(Context& ctx) : ctx_(ctx), ring_(ctx.current) {}
  void record(std::string_view line);

 private:
  void segment(std::string_view rest, uint8_t layer, uint16_t width);
  void arc(std::string_view rest);
  void junction(std::string_view rest);
  void text(std::string_view rest);

  Context& ctx_;
  Handle ring_;
};

void SchematicReader::record(std::string_view line) {
  const auto keyword = [&](std::string_view k) { return line.starts_with(k); };
  if (keyword("line ")) {
    segment(line.substr(5), kSymbolLayer, kThinWidth);
  } else if (keyword("wire ")) {
    segment(line.substr(5), kSignalLayer, kThinWidth);
  } else if (keyword("bus ")) {
    const size_t open = line.find('(');
    if (open != std::string_view::npos) segment(line.substr(open + 1), kBusLayer, kBusWidth);
  } else if (keyword("arc ")) {
    arc(line.substr(4));
  } else if (keyword("junction ")) {
    junction(line.substr(9));
  } else if (keyword("text ")) {
    text(line.substr(5));
  }
}

void SchematicReader::segment(std::string_view rest, uint8_t layer, uint16_t width) {
  int32_t v[4];
  if (!Numbers(rest).next(v)) return;
  createItem(ctx_.pool, ring_, kLine, layer, width, v[0], v[1], v[2], v[3], kNull);
}

// arc X Y radius start sweep (degrees); a negative sweep runs clockwise.
void SchematicReader::arc(std::string_view rest) {
  int32_t v[5];
  if (!Numbers(rest).next(v)) return;
  int64_t start = v[3], sweep = v[4];
  if (sweep < 0) {
    start += sweep;
    sweep = -sweep;
  }
  const uint16_t sweep16 = sweep >= int64_t{360} << 16 ? 0 : binaryAngle(sweep);
  const Handle h = createItem(ctx_.pool, ring_, kArc, kSymbolLayer, kThinWidth, v[0], v[1], 0, 0, kNull);
  if (h == kNull) return;
  item::setArc(ctx_.rec(h), clamp32(std::abs(int64_t{v[2]})), binaryAngle(start), sweep16, 0, 0);
}

void SchematicReader::junction(std::string_view rest) {
  int32_t v[2];
  if (!Numbers(rest).next(v)) return;
  const Handle h = createItem(ctx_.pool, ring_, kPad, kSignalLayer, item::kSchematicDot, v[0], v[1], 0, 0, kNull);
  if (h != kNull) item::setPad(ctx_.rec(h), kJunctionSize, kJunctionSize, 0, 0);
}

// text X Y "string" [size]
void SchematicReader::text(std::string_view rest) {
  const size_t open = rest.find('"');
  if (open == std::string_view::npos) return;
  const size_t close = rest.find('"', open + 1);
  const std::string_view s =
      rest.substr(open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1);
  int32_t v[2];
  if (s.empty() || !Numbers(rest.substr(0, open)).next(v)) return;
  uint16_t height = kTextHeight;
  int32_t size;
  if (close != std::string_view::npos && Numbers(rest.substr(close + 1)).next(size)) {
    const int64_t h = (int64_t{size} * kSizeFactor) >> 16;
    if (h >= kHeightMin && h <= kHeightMax) height = static_cast<uint16_t>(h);
  }
  const Handle h = createTextItem(ctx_, ring_, kSymbolLayer, height, v[0], v[1], s);
  if (h != kNull) item::setText(ctx_.rec(h), textLengthOf(s, height), 0, 0);
}

}  // namespace

void readSchematic(Context& ctx, InputFile& in) {
  setup(ctx);
  SchematicReader reader(ctx);
  ReadProgress progress(ctx, in);
  std::string line;
  while (in.nextLine(line)) {
    reader.record(line);
    progress.update();
  }
  progress.done();
}

}  // namespace trelmo::tango
