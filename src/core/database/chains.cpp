#include "database/chains.h"

#include <algorithm>

#include "context.h"
#include "database/signals.h"

namespace trelmo {

namespace {

// A side chain never holds more records than the pool can carve; the cap keeps
// every chain walk finite even if a chain were ever damaged.
constexpr size_t kMaxChain = size_t{RecordPool::kMaxBlocks} * RecordPool::kRecordsPerBlock;

uint8_t markerOf(const Record& r) { return static_cast<uint8_t>(r.next & 0xFF); }

// Builds a text chain for `text`; kNull when empty or when the pool ran out
// (nothing is left allocated then).
Handle buildTextChain(RecordPool& pool, std::string_view text) {
  const size_t end = std::min(text.find('\0'), text.size());
  Handle first = kNull, last = kNull;
  size_t pos = 0;
  while (pos < end) {
    const Handle h = pool.allocate();
    if (h == kNull) {
      freeChain(pool, first);
      return kNull;
    }
    if (last == kNull)
      first = h;
    else
      pool[last].ext = h;
    last = h;
    uint8_t* bytes = pool[h].payload();
    // A field separator ends its record; the rest of the text starts a new one.
    for (int i = 0; i < kChainBytes && pos < end; ++i) {
      const auto c = static_cast<uint8_t>(text[pos++]);
      bytes[i] = c;
      if (c == kFieldSeparator) break;
    }
  }
  return first;
}

bool isDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void freePinName(RecordPool& pool, Record& pad) {
  const Handle h = item::padPin(pad);
  if (h >= kFirstHandle && pool.valid(h) && markerOf(pool[h]) == kPinNameMarker) pool.release(h);
  pad.w5 = 0;
}

// Component and container headers lead to a nested ring, not to a chain.
bool ownsRing(const Record& r) { return r.type() == kComponent || r.type() == kContainer; }

}  // namespace

void freeChain(RecordPool& pool, Handle h) {
  // A chain never holds more records than the pool has carved.
  const size_t cap = pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  for (size_t n = 0; n < cap && pool.valid(h); ++n) {
    const Handle next = pool[h].ext;
    pool.release(h);
    h = next;
  }
}

int32_t textLengthOfChars(int32_t chars, uint16_t height) {
  const int32_t unit = height / 6;
  return std::max<int32_t>(1, chars * 6 * unit - 2 * unit);
}

int32_t textLengthOf(std::string_view stored, uint16_t height) {
  const size_t end = stored.find(static_cast<char>(kFieldSeparator));
  return textLengthOfChars(static_cast<int32_t>(end == std::string_view::npos ? stored.size() : end), height);
}

bool storeText(Context& ctx, Handle rec, std::string_view text) {
  if (ownsRing(ctx.pool[rec])) return false;
  const Handle chain = buildTextChain(ctx.pool, text);
  const bool wanted = !text.empty() && text.front() != '\0';
  if (chain == kNull && wanted) return false;  // the record keeps its old text
  releaseExtension(ctx, rec);
  ctx.pool[rec].ext = chain;
  return true;
}

bool storeEditedText(Context& ctx, Handle rec, std::string_view typed) {
  return storeText(ctx, rec, toInternal(typed));
}

std::string readText(const Context& ctx, Handle rec) {
  std::string out;
  Handle h = ctx.pool[rec].ext;
  if (!ctx.pool.valid(h) || ownsRing(ctx.pool[rec])) return out;
  if (markerOf(ctx.pool[h]) == kSignalMarker) return signalName(ctx, h);
  for (size_t n = 0; n < kMaxChain && ctx.pool.valid(h); ++n) {
    const Record& r = ctx.pool[h];
    if (r.next != 0) break;  // not a text record
    const uint8_t* bytes = r.payload();
    for (int i = 0; i < kChainBytes && bytes[i] != 0; ++i) {
      out.push_back(static_cast<char>(bytes[i]));
      if (bytes[i] == kFieldSeparator) break;
    }
    h = r.ext;
  }
  return out;
}

void releaseExtension(Context& ctx, Handle rec) {
  Record& r = ctx.pool[rec];
  if (ownsRing(r)) return;
  const Handle h = r.ext;
  r.ext = kNull;
  if (!ctx.pool.valid(h)) return;
  Record& ext = ctx.pool[h];
  if (markerOf(ext) == kSignalMarker) {
    if ((ext.next >> 8) > 0) ext.next -= 256;
    return;
  }
  if (ext.next == 0) freeChain(ctx.pool, h);
}

namespace {

// Windows characters and the internal symbols they are stored as.
constexpr uint8_t kSymbolPairs[][2] = {{176, kDegree}, {181, kMicro}, {189, kHalf}, {188, kQuarter}};

uint8_t mapByte(uint8_t c, bool toInternal) {
  for (const auto& pair : kSymbolPairs)
    if (c == pair[toInternal ? 0 : 1]) return pair[toInternal ? 1 : 0];
  return c;
}

}  // namespace

std::string toInternal(std::string_view typed) {
  std::string out;
  out.reserve(typed.size());
  for (size_t i = 0; i < typed.size(); ++i) {
    const auto c = static_cast<uint8_t>(typed[i]);
    if (c == '\\' && i + 1 < typed.size()) {
      const char e = typed[i + 1];
      const int mapped = e == 't' ? kTab : e == 'n' ? kLineBreak : e == 'o' ? kOhm : e == 'u' ? kMicro : -1;
      if (mapped >= 0) {
        out.push_back(static_cast<char>(mapped));
        ++i;
        continue;
      }
    }
    if (typed.substr(i, 4) == "ohms") {
      out.push_back(static_cast<char>(kOhm));
      i += 3;
      continue;
    }
    out.push_back(static_cast<char>(mapByte(c, true)));
  }
  return out;
}

namespace {

// The display form of one stored byte (other than 127).
void appendDisplay(std::string& out, uint8_t c) {
  if (c == kOhm)
    out += "ohms";
  else
    out.push_back(static_cast<char>(mapByte(c, false)));
}

}  // namespace

std::string toDisplay(std::string_view stored, FieldRule rule) {
  std::string out;
  for (const char ch : stored) {
    const auto c = static_cast<uint8_t>(ch);
    if (c == kFieldSeparator) {
      if (rule == FieldRule::EndText) break;
      out.push_back('\t');
      continue;
    }
    appendDisplay(out, c);
  }
  return out;
}

std::string toEditable(std::string_view stored) {
  std::string out;
  for (const char ch : stored) {
    const auto c = static_cast<uint8_t>(ch);
    if (c == kTab)
      out += "\\t";
    else if (c == kLineBreak)
      out += "\\n";
    else if (c == kFieldSeparator)
      out.push_back(static_cast<char>(c));
    else
      appendDisplay(out, c);
  }
  return out;
}

bool storePin(Context& ctx, Handle pad, std::string_view token) {
  if (token.empty() || isDigits(token)) {
    uint32_t value = 0;
    for (const char c : token) value = std::min<uint32_t>(value * 10 + static_cast<uint32_t>(c - '0'), kFirstHandle);
    if (value < kFirstHandle) {
      freePinName(ctx.pool, ctx.pool[pad]);
      ctx.pool[pad].w5 = static_cast<int32_t>(value);
      return true;
    }
  }
  const Handle h = ctx.pool.allocate();
  if (h == kNull) return false;
  Record& name = ctx.pool[h];
  name.next = kPinNameMarker;
  uint8_t* bytes = name.payload();
  for (size_t i = 0; i < token.size() && i < static_cast<size_t>(kChainBytes); ++i) {
    if (token[i] == ' ') break;
    bytes[i] = static_cast<uint8_t>(token[i]);
  }
  freePinName(ctx.pool, ctx.pool[pad]);
  ctx.pool[pad].w5 = static_cast<int32_t>(h);
  return true;
}

std::string pinName(const Context& ctx, Handle pad) {
  const uint32_t pin = item::padPin(ctx.pool[pad]);
  if (pin < kFirstHandle) return std::to_string(pin);
  if (!ctx.pool.valid(pin) || markerOf(ctx.pool[pin]) != kPinNameMarker) return {};
  const uint8_t* bytes = ctx.pool[pin].payload();
  std::string out;
  for (int i = 0; i < kChainBytes && bytes[i] != 0 && bytes[i] != ' '; ++i) out.push_back(static_cast<char>(bytes[i]));
  return out;
}

// Vertex records carry their solid's handle in their third word so that the
// solid's fifth word can remember the last vertex: appending stays O(1) for
// polygons of many thousand vertices. A stale hint (a copied header, a chain
// rebuilt elsewhere) fails the check and the chain is walked instead.
namespace {

Handle lastVertex(const RecordPool& pool, Handle solid) {
  const Record& s = pool[solid];
  const auto hint = static_cast<Handle>(s.w5);
  if (pool.valid(hint) && pool[hint].prev == solid && pool[hint].ext == kNull) return hint;
  Handle h = s.ext;
  for (size_t n = 0; n < kMaxChain && pool.valid(pool[h].ext); ++n) h = pool[h].ext;
  return h;
}

}  // namespace

bool appendVertex(Context& ctx, Handle solid, int32_t x, int32_t y) {
  RecordPool& pool = ctx.pool;
  const Handle v = pool.allocate();
  if (v == kNull) return false;
  Record& s = pool[solid];
  Record& vr = pool[v];
  vr.prev = solid;
  vr.x1 = x;
  vr.y1 = y;
  if (!pool.valid(s.ext)) {
    vr.w3 = x;
    vr.w4 = y;
    s.ext = v;
    s.x1 = s.w3 = x;
    s.y1 = s.w4 = y;
  } else {
    const Handle last = lastVertex(pool, solid);
    Record& lr = pool[last];
    vr.w3 = lr.w3;  // back to the first vertex
    vr.w4 = lr.w4;
    lr.w3 = x;
    lr.w4 = y;
    lr.ext = v;
    s.x1 = std::min(s.x1, x);
    s.y1 = std::min(s.y1, y);
    s.w3 = std::max(s.w3, x);
    s.w4 = std::max(s.w4, y);
  }
  s.w5 = static_cast<int32_t>(v);
  return true;
}

bool solidToRectangle(Context& ctx, Handle solid) {
  Record& s = ctx.pool[solid];
  if (ctx.pool.valid(s.ext)) return true;  // it has its vertices already
  const Record before = s;
  const int32_t x1 = s.x1, y1 = s.y1, x2 = s.w3, y2 = s.w4;
  s.ext = kNull;
  const bool ok = appendVertex(ctx, solid, x1, y1) && appendVertex(ctx, solid, x1, y2) &&
                  appendVertex(ctx, solid, x2, y2) && appendVertex(ctx, solid, x2, y1);
  if (!ok) {
    freeChain(ctx.pool, ctx.pool[solid].ext);
    ctx.pool[solid] = before;
  }
  return ok;
}

}  // namespace trelmo
