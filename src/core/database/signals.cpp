#include "database/signals.h"

#include <cstring>
#include <iterator>

#include "context.h"
#include "database/chains.h"

namespace trelmo {

namespace {

uint8_t upper(uint8_t c) { return c >= 'a' && c <= 'z' ? static_cast<uint8_t>(c - 32) : c; }

// The part of a given name that is stored: up to a blank, a control
// character or 255, at most 19 characters.
std::string_view trimName(std::string_view name) {
  size_t n = 0;
  while (n < name.size() && n < static_cast<size_t>(kSignalNameMax)) {
    const auto c = static_cast<uint8_t>(name[n]);
    if (c <= ' ' || c == 127 || c == 255) break;
    ++n;
  }
  return name.substr(0, n);
}

std::string upperKey(std::string_view name) {
  std::string key(name);
  for (auto& c : key) c = static_cast<char>(upper(static_cast<uint8_t>(c)));
  return key;
}

std::string storedName(const Record& r) {
  const uint8_t* bytes = r.payload();
  size_t n = 0;
  while (n < static_cast<size_t>(kChainBytes) && bytes[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(bytes), n);
}

bool isSignal(const RecordPool& pool, Handle h) { return pool.valid(h) && (pool[h].next & 0xFF) == kSignalMarker; }

// Walks the list; the cap keeps a damaged list from looping.
template <typename F>
void forEachName(const Context& ctx, F f) {
  const RecordPool& pool = ctx.pool;
  const size_t cap = pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  Handle prev = ctx.signals.head;
  Handle h = pool[prev].ext;
  for (size_t n = 0; n < cap && h != ctx.signals.tail && isSignal(pool, h); ++n) {
    if (!f(prev, h)) return;
    prev = h;
    h = pool[h].ext;
  }
}

void rebuildIndex(Context& ctx) {
  ctx.signals.index.clear();
  ctx.signals.byName.clear();
  forEachName(ctx, [&](Handle, Handle h) {
    const std::string key = upperKey(storedName(ctx.pool[h]));
    ctx.signals.index.emplace(key, h);
    ctx.signals.byName.emplace(key, h);
    return true;
  });
}

Handle searchList(const Context& ctx, const std::string& key) {
  Handle found = kNull;
  forEachName(ctx, [&](Handle, Handle h) {
    if (upperKey(storedName(ctx.pool[h])) != key) return true;
    found = h;
    return false;
  });
  return found;
}

// An index entry is trusted only when its record still holds the name.
bool entryHolds(const Context& ctx, Handle h, const std::string& key) {
  if (!isSignal(ctx.pool, h) || key.size() > static_cast<size_t>(kSignalNameMax)) return false;
  const uint8_t* bytes = ctx.pool[h].payload();
  for (size_t i = 0; i < key.size(); ++i)
    if (upper(bytes[i]) != static_cast<uint8_t>(key[i])) return false;
  return bytes[key.size()] == 0;
}

// The index's neighbours of a key that it does not hold, and whether the list
// agrees that nothing lies between them.
struct Gap {
  Handle pred, succ;
  bool agrees;
};
Gap gapFor(const Context& ctx, const std::string& key) {
  const auto& index = ctx.signals.index;
  const auto next = index.upper_bound(key);
  const Handle pred = next == index.begin() ? ctx.signals.head : std::prev(next)->second;
  const Handle succ = next == index.end() ? ctx.signals.tail : next->second;
  return {pred, succ, ctx.pool.valid(pred) && ctx.pool[pred].ext == succ};
}

// The record holding the name, kNull when the table has none. The index
// answers; should it ever disagree with the list it is rebuilt from the list.
Handle lookup(Context& ctx, const std::string& key) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    const auto it = ctx.signals.byName.find(key);
    if (it != ctx.signals.byName.end() ? entryHolds(ctx, it->second, key) : gapFor(ctx, key).agrees)
      return it != ctx.signals.byName.end() ? it->second : kNull;
    rebuildIndex(ctx);
  }
  return searchList(ctx, key);
}

Handle insertName(Context& ctx, std::string_view name, const std::string& key) {
  const Gap gap = gapFor(ctx, key);
  if (!gap.agrees) return kNull;
  const Handle h = ctx.pool.allocate();
  if (h == kNull) return kNull;
  Record& r = ctx.pool[h];
  r.next = kSignalMarker;
  std::memcpy(r.payload(), name.data(), name.size());
  r.ext = gap.succ;
  ctx.pool[gap.pred].ext = h;
  ctx.signals.index.emplace(key, h);
  ctx.signals.byName.emplace(key, h);
  return h;
}

}  // namespace

bool initSignalTable(Context& ctx) {
  const Handle head = ctx.pool.allocate();
  const Handle tail = ctx.pool.allocate();
  if (head == kNull || tail == kNull) {
    ctx.pool.release(head);
    ctx.pool.release(tail);
    return false;
  }
  ctx.pool[head].next = kSignalMarker;
  ctx.pool[tail].next = kSignalMarker;
  std::memset(ctx.pool[tail].payload(), 255, kChainBytes);
  ctx.pool[head].ext = tail;
  ctx.signals.head = head;
  ctx.signals.tail = tail;
  ctx.signals.index.clear();
  ctx.signals.byName.clear();
  return true;
}

bool attachSignal(Context& ctx, Handle item, std::string_view name) {
  const std::string_view stored = trimName(name);
  if (stored.empty()) {
    releaseExtension(ctx, item);
    return true;
  }
  const uint8_t type = ctx.pool[item].type();
  if (ctx.signals.head == kNull || type == kComponent || type == kContainer) return false;
  const std::string key = upperKey(stored);
  Handle h = lookup(ctx, key);
  if (h == kNull) h = insertName(ctx, stored, key);
  if (h == kNull) return false;  // the item keeps what it had
  ctx.pool[h].next += 256;
  releaseExtension(ctx, item);
  ctx.pool[item].ext = h;
  return true;
}

Handle findSignal(const Context& ctx, std::string_view name) {
  const std::string_view stored = trimName(name);
  if (stored.empty() || ctx.signals.head == kNull) return kNull;
  const std::string key = upperKey(stored);
  const auto it = ctx.signals.byName.find(key);
  if (it != ctx.signals.byName.end() && entryHolds(ctx, it->second, key)) return it->second;
  return gapFor(ctx, key).agrees ? kNull : searchList(ctx, key);
}

std::string signalName(const Context& ctx, Handle signalRecord) {
  if (!isSignal(ctx.pool, signalRecord) || signalRecord == ctx.signals.tail) return {};
  return storedName(ctx.pool[signalRecord]);
}

uint32_t signalRefs(const Context& ctx, Handle signalRecord) {
  return isSignal(ctx.pool, signalRecord) ? ctx.pool[signalRecord].next >> 8 : 0;
}

bool isSignalRecord(const Context& ctx, Handle h) { return isSignal(ctx.pool, h); }

std::string itemSignal(const Context& ctx, Handle item) {
  const Record& r = ctx.pool[item];
  if (r.type() < kLine || r.type() > kReserved) return {};
  return signalName(ctx, r.ext);
}

}  // namespace trelmo
