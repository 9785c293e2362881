// Item lines: one item of a design as text. The data file writer and the
// editor's item texts both come through appendItemLines.
#include "context.h"
#include "database/chains.h"
#include "files/item_lines.h"
#include "files/writer_format.h"
#include "files/writer_numbers.h"

namespace trelmo {

namespace {

// No chain in a pool of 256 blocks can be longer than this; a longer walk
// means a damaged chain and is cut short.
constexpr size_t kMaxChainRecords = size_t{RecordPool::kMaxBlocks} * RecordPool::kRecordsPerBlock;

int32_t minus(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

bool isNameRecord(const RecordPool& pool, Handle h, uint32_t marker) {
  return h != kNull && pool.valid(h) && (pool[h].next & 0xFF) == marker;
}

// A pin or signal name record's name, up to its first NUL or blank.
void appendName(const RecordPool& pool, Handle h, std::string& out) {
  const char* p = reinterpret_cast<const char*>(pool[h].payload());
  int n = 0;
  while (n < kChainBytes && p[n] != 0 && p[n] != ' ') ++n;
  out.append(p, static_cast<size_t>(n));
}

// The text of a text chain: each record's bytes up to a NUL, up to and
// including a byte 127, or all 28, then the next record.
void appendTextChain(const RecordPool& pool, Handle h, std::string& out) {
  for (size_t records = 0; h != kNull && records < kMaxChainRecords && pool.valid(h); ++records) {
    const Record& r = pool[h];
    if (r.next != 0) return;  // not a text record
    const uint8_t* p = r.payload();
    int n = 0;
    while (n < kChainBytes && p[n] != 0 && p[n++] != 127) {
    }
    const size_t from = out.size();
    out.append(reinterpret_cast<const char*>(p), static_cast<size_t>(n));
    // A CR or LF inside a text would end the item line early and turn the
    // rest of the text into lines of its own; it is kept as a line break.
    for (size_t i = from; i < out.size(); ++i)
      if (out[i] == '\r' || out[i] == '\n') out[i] = static_cast<char>(kLineBreak);
    h = r.ext;
  }
}

// The stored text of an item: a text chain, or a signal name record on a
// Schematic layer.
void appendItemText(const RecordPool& pool, Handle ext, std::string& out) {
  if (isNameRecord(pool, ext, kSignalMarker))
    appendName(pool, ext, out);
  else
    appendTextChain(pool, ext, out);
}

void stripTrailing(std::string& out, size_t from, bool fieldSeparators) {
  while (out.size() > from) {
    const char c = out.back();
    if (c != ' ' && !(fieldSeparators && static_cast<unsigned char>(c) == 127)) break;
    out.pop_back();
  }
}

class LineBuilder {
 public:
  LineBuilder(const Context& ctx, std::string& out, const ItemLineStyle& style)
      : ctx_(ctx), pool_(ctx.pool), out_(out), style_(style) {}

  bool write(Handle h) {
    const Record& r = pool_[h];
    switch (r.type()) {
      case kSentinel:
        return endOfRing(r);
      case kLine:
        return item::isSolid(r) ? solid(r) : line(r);
      case kArc:
        return arc(r);
      case kPad:
        return pad(r);
      case kText:
        return text(h, r);
      case kReserved:
        return reserved(r);
      case kComponent:
        return component(r);
      case kContainer:
        return container(r);
    }
    return false;
  }

 private:
  // Numbers go into a scratch buffer that is copied into the output in one
  // piece; names and texts are appended directly. The buffer holds any line's
  // numbers up to the first name or text, so that only a row of vertices
  // needs to make room as it goes. The field writers are small and called
  // for every number of every item: they are kept inline.
  void begin(char digit) {
    start_ = out_.size();
    p_ = scratch_;
    *p_++ = digit;
  }
  void flush() {
    out_.append(scratch_, static_cast<size_t>(p_ - scratch_));
    p_ = scratch_;
  }
  void makeRoom() {
    if (p_ + kVertexRoom > scratch_ + sizeof scratch_) flush();
  }
  // A line that ends in its numbers has no trailing blanks to strip.
  void finish() {
    if (p_ != scratch_ && p_[-1] != ' ') {
      if (!style_.compact) *p_++ = '\r', *p_++ = '\n';
      flush();
      return;
    }
    flush();
    if (style_.compact)
      stripTrailing(out_, start_, false);
    else
      endLine(out_, start_);
  }
  [[gnu::always_inline]] void blank() { *p_++ = ' '; }
  [[gnu::always_inline]] void integer(int64_t v) { blank(), p_ = numbers::putInt(p_, v); }
  [[gnu::always_inline]] void dimension(int32_t v) { blank(), p_ = numbers::putDimension(p_, v); }
  [[gnu::always_inline]] void angle(uint16_t v) { blank(), p_ = numbers::putAngle(p_, v); }
  [[gnu::always_inline]] void x(int32_t v) { dimension(minus(v, style_.ox)); }
  [[gnu::always_inline]] void y(int32_t v) { dimension(minus(v, style_.oy)); }

  void layer(uint8_t n) {
    if (style_.libraryLayers && n != 0) {
      const LayerEntry& e = ctx_.layer(n);
      const auto first = static_cast<unsigned char>(e.name[0]);
      if (e.kind() <= kCopper && first > ' ') {
        blank();
        *p_++ = "SMC"[e.kind()];
        *p_++ = static_cast<char>(first);
        return;
      }
    }
    integer(n);
  }
  void signal(Handle ext) {
    if (!isNameRecord(pool_, ext, kSignalMarker)) return;
    blank();
    flush();
    appendName(pool_, ext, out_);
  }
  void head(char digit, const Record& r, int64_t size) {
    begin(digit);
    layer(r.layer);
    integer(size);
  }

  bool endOfRing(const Record& r) {
    begin('0');
    integer(r.layer);
    integer(r.size);
    x(r.x1), y(r.y1);
    finish();
    return true;
  }
  bool line(const Record& r) {
    begin('1');
    layer(r.layer);
    dimension(r.size);
    x(r.x1), y(r.y1), x(r.w3), y(r.w4);
    if (!style_.compact) signal(r.ext);
    finish();
    return true;
  }
  bool solid(const Record& r) {
    head('1', r, 0);
    x(r.x1), y(r.y1), x(r.w3), y(r.w4);
    Handle v = r.ext;
    for (size_t n = 0; v != kNull && n < kMaxChainRecords && pool_.valid(v); ++n) {
      const Record& vr = pool_[v];
      if (style_.compact) {
        makeRoom();
        blank();
        p_[-1] = static_cast<char>(127);  // the vertex separator replaces the blank
        p_ = numbers::putDimension(p_, minus(vr.x1, style_.ox));
        y(vr.y1);
      } else {
        finish();
        head('1', r, 0);
        x(vr.x1), y(vr.y1);
      }
      v = vr.ext;
    }
    finish();
    return true;
  }
  bool arc(const Record& r) {
    begin('2');
    layer(r.layer);
    dimension(r.size);
    x(r.x1), y(r.y1);
    dimension(item::radius(r));
    angle(item::start(r)), angle(item::sweep(r));
    dimension(item::eccentricity(r));
    angle(item::axisAngle(r));
    // The extension of an arc with a negative radius is not a signal.
    if (!style_.compact && item::radius(r) >= 0) signal(r.ext);
    finish();
    return true;
  }
  bool pad(const Record& r) {
    head('3', r, r.size & 0xFF);
    x(r.x1), y(r.y1);
    dimension(item::padX(r)), dimension(item::padY(r)), dimension(item::padHole(r));
    angle(item::padAngle(r));
    const uint32_t pin = item::padPin(r);
    if (pin < kFirstHandle) {
      integer(pin);
    } else if (isNameRecord(pool_, pin, kPinNameMarker)) {
      blank();
      flush();
      appendName(pool_, pin, out_);
    } else {
      integer(0);  // a damaged pin reference
    }
    if (!style_.compact || (r.layer != 0 && !(item::padType(r) & item::kSurfaceMount))) signal(r.ext);
    finish();
    return true;
  }
  bool text(Handle h, const Record& r) {
    if (!itemHasText(ctx_, h)) return false;
    begin('4');
    layer(r.layer);
    dimension(r.size);
    x(r.x1), y(r.y1);
    dimension(item::textLength(r));
    angle(item::textAngle(r));
    integer(item::textAnchor(r)), integer(item::textFont(r));
    blank();
    flush();
    appendItemText(pool_, r.ext, out_);
    finish();
    return true;
  }
  // The reserved item keeps a number in the high byte of its size; only that
  // number is written, so that reading the line back restores it.
  bool reserved(const Record& r) {
    head('5', r, r.size >> 8);
    x(r.x1), y(r.y1);
    dimension(r.w3), dimension(r.w4);
    blank();
    flush();
    appendTextChain(pool_, r.ext, out_);
    finish();
    return true;
  }
  bool component(const Record& r) {
    begin('6');
    layer(r.layer);
    angle(r.size);
    x(r.x1), y(r.y1), x(r.w3), y(r.w4);
    ringText(r.ext);
    finish();
    return true;
  }
  bool container(const Record& r) {
    head('7', r, r.size);
    x(r.x1), y(r.y1), x(r.w3), y(r.w4);
    ringText(r.ext);
    finish();
    return true;
  }
  // Parameters or name held by the sentinel of a nested ring, trailing blanks
  // and field separators removed.
  void ringText(Handle sentinel) {
    blank();
    flush();
    if (sentinel == kNull || !pool_.valid(sentinel) || pool_[sentinel].type() != kSentinel) return;
    const size_t from = out_.size();
    appendTextChain(pool_, pool_[sentinel].ext, out_);
    stripTrailing(out_, from, true);
  }

  const Context& ctx_;
  const RecordPool& pool_;
  std::string& out_;
  const ItemLineStyle& style_;
  size_t start_ = 0;
  // Ten fields (the most a line has before a name or text), or two more
  // vertex fields, always fit.
  static constexpr int kVertexRoom = 2 * (numbers::kMaxField + 1) + 2;
  char scratch_[16 + 10 * (numbers::kMaxField + 1)];
  char* p_ = scratch_;
};

}  // namespace

void endLine(std::string& out, size_t lineStart) {
  stripTrailing(out, lineStart, false);
  out += "\r\n";
}

bool itemHasText(const Context& ctx, Handle item) {
  const Handle ext = ctx.rec(item).ext;
  if (ext == kNull || !ctx.pool.valid(ext)) return false;
  const Record& r = ctx.rec(ext);
  if (isNameRecord(ctx.pool, ext, kSignalMarker)) return r.payload()[0] != 0 && r.payload()[0] != ' ';
  return r.next == 0 && r.payload()[0] != 0;
}

bool appendItemLines(const Context& ctx, Handle item, std::string& out, const ItemLineStyle& style) {
  if (item == kNull || !ctx.pool.valid(item)) return false;
  return LineBuilder(ctx, out, style).write(item);
}

void writeItemLine(const Context& ctx, Handle item, std::string& out, int32_t ox, int32_t oy, bool compact) {
  ItemLineStyle style;
  style.ox = ox;
  style.oy = oy;
  style.compact = compact;
  appendItemLines(ctx, item, out, style);
}

}  // namespace trelmo
