#include <cstring>
#include <memory>
#include <string>

#include "context.h"
#include "database/chains.h"
#include "database/options.h"
#include "files/reader_chain.h"
#include "files/reader_formats.h"
#include "files/reader_items.h"
#include "files/reader_old.h"

namespace trelmo {

namespace {

constexpr std::string_view kMagic = "TRELMO Version 3.";
constexpr std::string_view kImagesFollow = "Pixel image follows EOF";

uint16_t angle8(int v) { return static_cast<uint16_t>(static_cast<uint32_t>(v) << 8); }
uint16_t binaryDegrees(int deg) { return static_cast<uint16_t>((deg % 360 + 360) % 360 * 65536 / 360); }

struct OldLine {
  Context& ctx;
  ItemBuilder& items;
  NumberReader r;
  const OldSyntax& syntax;

  int32_t dim() {
    const int32_t v = r.oldDimension();
    r.skip(' ');
    return v;
  }
  int integer() {
    const int v = r.integer();
    r.skip(' ');
    return v;
  }
  std::string_view rest() const { return r.pos < r.s.size() ? r.s.substr(r.pos) : std::string_view{}; }
  bool signalsKept() const { return syntax.version == 3 || syntax.minor >= 5; }

  uint8_t layer() {
    const size_t start = r.pos;
    uint8_t n;
    if (r.peek() >= '0' && r.peek() <= '9') {
      n = static_cast<uint8_t>(r.integer());
    } else {
      while (!r.atEnd() && r.peek() != ' ') ++r.pos;
      n = items.layerFromCode(r.s.substr(start, r.pos - start));
    }
    r.skip(' ');
    return n;
  }

  void line() {
    uint8_t layer = this->layer();
    // The old ratsnest layer 15 lives on layer 255 when that one is named.
    if (syntax.version == 3 && layer == 15 && !ctx.layer(kRatnestLayer).unused()) layer = kRatnestLayer;
    const uint16_t width = clampSize(dim());
    const int32_t x1 = r.oldDimension();
    r.skip(' ');
    const int32_t y1 = r.oldDimension();
    if (!r.skip(' ') || r.atEnd()) {
      if (width == 0) items.vertexLine(layer, x1, y1);
      return;
    }
    const int32_t x2 = dim();
    const int32_t y2 = r.oldDimension();
    if (width == 0) {
      items.solid(layer, x1, y1, x2, y2);
      return;
    }
    const Handle h = items.add(kLine, layer, width, x1, y1, x2, y2);
    if (signalsKept() && r.skip(' ')) items.attachSignalTo(h, rest());
  }

  void arc() {
    const uint8_t layer = this->layer();
    const uint16_t width = clampSize(dim());
    const int32_t x = dim(), y = dim();
    int32_t radius = dim();
    if (radius < 0) radius = radius == INT32_MIN ? INT32_MAX : -radius;
    int start = integer();
    int sweep = integer();
    if (sweep < 0) {
      // Only the low byte of an angle is kept, so wrapping arithmetic is exact
      // and a sweep of INT_MIN cannot overflow.
      sweep = static_cast<int>(0U - static_cast<unsigned>(sweep));
      start = static_cast<int>(static_cast<unsigned>(start) - static_cast<unsigned>(sweep));
    }
    const int ecc = integer();
    const int axis = r.integer();
    const Handle h = items.add(kArc, layer, width, x, y, 0, 0);
    if (h == kNull) return;
    item::setArc(ctx.rec(h), radius, angle8(start), angle8(sweep), angle8(ecc), angle8(axis));
    if (syntax.version == 3 && r.skip(' ')) items.attachSignalTo(h, rest());
  }

  void pad() {
    uint8_t layer = this->layer();
    const int type = integer();
    const int32_t x = dim(), y = dim();
    const uint16_t xs = clampSize(dim()), ys = clampSize(dim()), hole = clampSize(r.oldDimension());
    uint8_t code = static_cast<uint8_t>(type & 7);
    if (layer != 0) {
      code |= item::kSurfaceMount;
    } else {
      layer = static_cast<uint8_t>(type / 16);
    }
    const Handle h = items.add(kPad, layer, code, x, y, 0, 0);
    if (h == kNull) return;
    item::setPad(ctx.rec(h), xs, ys, hole, 0);
    if (!r.skip(' ')) return;
    const std::string pin = r.token(' ');
    if (!pin.empty()) storePin(ctx, h, pin);
    if (signalsKept() && r.skip(' ')) items.attachSignalTo(h, rest());
  }

  // Version 2 before 2.6 gives the text's far corner instead of an angle.
  void oldTextDirection(int32_t x, int32_t y, int32_t x2, int32_t y2, bool negative, int32_t& length, uint16_t& angle) {
    const int64_t dx = int64_t{x2} - x, dy = int64_t{y2} - y;
    int deg = dx >= 0 ? (dy >= 0 ? 0 : 270) : (dy >= 0 ? 90 : 180);
    if (negative) deg -= 90;
    deg = (deg + 360) % 360;
    const int64_t len = (deg == 90 || deg == 270) ? (dy < 0 ? -dy : dy) : (dx < 0 ? -dx : dx);
    const int64_t clipped = len > INT32_MAX ? INT32_MAX : len;
    length = static_cast<int32_t>(negative ? -clipped : clipped);
    angle = binaryDegrees(deg);
  }

  void text() {
    const uint8_t layer = this->layer();
    // Heights are scaled in mils, before the conversion to inches.
    const int32_t h0 = integer();
    const bool negative = h0 < 0;
    int64_t height = negative ? -int64_t{h0} : h0;
    if (syntax.version == 2 && syntax.minor < 5) height *= 6;
    height = (height * kInch + 500) / 1000;
    const int32_t x = dim(), y = dim();
    int32_t length = dim();
    uint16_t angle;
    if (syntax.version == 2 && syntax.minor < 6) {
      const int32_t y2 = r.oldDimension();
      oldTextDirection(x, y, length, y2, negative, length, angle);
    } else {
      angle = static_cast<uint16_t>(r.integer());
    }
    if (!r.skip(' ') || r.atEnd()) return;
    const bool schematic = ctx.layer(layer).kind() == kSchematic;
    const Handle h = items.add(kText, layer, clampSize(height), x, y, 0, 0);
    if (h == kNull) return;
    item::setText(ctx.rec(h), length, angle, schematic ? 15 : 0);
    if (schematic) {
      items.attachSignalTo(h, rest());
    } else {
      items.storeTextTo(h, rest());
    }
  }

  void component() {
    const uint8_t layer = this->layer();
    const int a = integer();
    const uint16_t angle = syntax.version == 3 ? angle8(a) : static_cast<uint16_t>(a);
    const int32_t x1 = dim(), y1 = dim(), x2 = dim();
    const int32_t y2 = r.oldDimension();
    std::string_view params;
    if (r.skip(' ')) params = rest();
    items.openNested(kComponent, layer, angle, x1, y1, x2, y2, params);
  }

  void end() {
    const int32_t x = dim();
    const int32_t y = r.oldDimension();
    items.closeNested(kComponentRing, 0, x, y);
  }
};

}  // namespace

void parseOldItem(Context& ctx, ItemBuilder& items, std::string_view line, const OldSyntax& syntax) {
  if (line.size() < 2 || line[1] != ' ') return;
  OldLine l{ctx, items, NumberReader{line, 2}, syntax};
  switch (line[0]) {
    case '0':
      l.end();
      break;
    case '1':
      l.line();
      break;
    case '2':
      l.arc();
      break;
    case '3':
      l.pad();
      break;
    case '4':
      l.text();
      break;
    case '6':
      l.component();
      break;
    default:
      break;  // types 5 and 7 are not kept in old files
  }
}

void resetGridColors(Context& ctx) {
  auto fresh = std::make_unique<Params>();
  startupParams(*fresh);
  Params& p = ctx.params;
  p.gridColor = fresh->gridColor;
  p.backgroundColor = fresh->backgroundColor;
  p.hilightColor = fresh->hilightColor;
  p.attentionColor = fresh->attentionColor;
}

void readOldLines(Context& ctx, InputFile& in, const OldSyntax& syntax, OptionParser option) {
  ItemBuilder items(ctx, ctx.current, ItemSyntax::kFile);
  ReadProgress progress(ctx, in);
  std::string line;
  while (!items.failed() && in.nextLine(line)) {
    progress.update();
    const std::string_view v(line);
    if (v.starts_with(kImagesFollow)) {
      // The old "PIX96b" picture that follows cannot be converted (its layout
      // is not known): the rest of the file is its binary data, so reading
      // ends here, and the user is told the picture was left out.
      if (in.getByte() == 26) {
        char magic[6] = {};
        const size_t n = in.read(magic, sizeof magic);
        const bool old = std::string_view(magic, n) == "PIX96b";
        ctx.host->messageBox("File Open Warning", std::string("This file carries ") +
                                                      (old ? "an old pixel image (PIX96b)" : "a pixel image") +
                                                      " in a form that cannot be converted.\n\n"
                                                      "The design is read without the image.");
        break;
      }
    } else if (!v.empty() && v[0] == '-') {
      option(ctx, v);
    } else if (v.size() >= 2 && v[0] >= '0' && v[0] <= '7' && v[1] == ' ') {
      parseOldItem(ctx, items, v, syntax);
    }
  }
  items.finish();
  progress.done();
}

char readVersion3(Context& ctx, InputFile& in, char hint) {
  if (hint != kHintNone || !in.firstBlock().starts_with(kMagic) || ctx.current == kNull) return 0;
  resetGridColors(ctx);
  ctx.params.isoTop = IsolationParams{};
  ctx.params.isoBottom = IsolationParams{};
  readOldLines(ctx, in, OldSyntax{3, 0}, parseOptionV3);
  return kFormatV3;
}

}  // namespace trelmo
