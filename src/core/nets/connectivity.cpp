#include "nets/connectivity.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/signals.h"
#include "database/walk.h"
#include "edit/hit_tests.h"
#include "edit/undo.h"
#include "nets/shapes.h"
#include "screen/draw_items.h"
#include "screen/view.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int kCheckEvery = 128;

bool solidLine(const Record& r) { return item::isSolid(r); }
bool track(const Record& r) { return r.type() == kLine && r.size > 0; }
int64_t halfWidth(const Record& r) { return r.size / 2; }

uint8_t layerKind(const Context& ctx, int layer) { return ctx.layer(layer).kind(); }

bool layersMeet(const Context& ctx, const Record& a, const Record& b) {
  return a.layer == b.layer || (a.layer == 0 && conductiveLayer(ctx, b.layer)) ||
         (b.layer == 0 && conductiveLayer(ctx, a.layer)) || throughHole(b);
}

bool endNear(const Record& a, const Record& b, int64_t d) {
  return pointNearSegment(a.x1, a.y1, b.x1, b.y1, b.w3, b.w4, d) ||
         pointNearSegment(a.w3, a.w4, b.x1, b.y1, b.w3, b.w4, d);
}

Box lineBox(const Record& r) {
  return {std::min<int64_t>(r.x1, r.w3), std::min<int64_t>(r.y1, r.w4), std::max<int64_t>(r.x1, r.w3),
          std::max<int64_t>(r.y1, r.w4)};
}

Box centreBox(const Record& r, int64_t half) { return {r.x1 - half, r.y1 - half, r.x1 + half, r.y1 + half}; }

// The vertices of a filled solid (bounded by the pool's size).
template <typename F>
bool anyVertex(const Context& ctx, const Record& r, F f) {
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  size_t n = 0;
  for (Handle v = r.ext; v != kNull && ctx.pool.valid(v) && n < cap; v = ctx.rec(v).ext, ++n)
    if (f(ctx.rec(v))) return true;
  return false;
}

int32_t c32(int64_t v) { return clamp32(v); }

}  // namespace

Handle signalOf(const Context& ctx, Handle h) {
  const Record& r = ctx.rec(h);
  const uint8_t t = r.type();
  if (t < kLine || t > kText || solidLine(r)) return kNull;
  return isSignalRecord(ctx, r.ext) ? r.ext : kNull;
}

bool conductiveLayer(const Context& ctx, int layer) { return (ctx.layer(layer).type & 3) == 2; }

std::string pointText(const Context& ctx, int64_t x, int64_t y) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "(%.3f,%.3f)", static_cast<double>(x - ctx.params.zeroX) / kInch,
                static_cast<double>(y - ctx.params.zeroY) / kInch);
  return buf;
}

namespace {

// Field 1 (the reference ID) of a component ring's parameters.
std::string referenceOf(const Context& ctx, Handle ring) {
  const std::string all = readText(ctx, ring);
  const size_t start = all.find(static_cast<char>(kFieldSeparator));
  if (start == std::string::npos) return {};
  const size_t end = all.find(static_cast<char>(kFieldSeparator), start + 1);
  return all.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
}

std::string describeAt(const Context& ctx, Handle pad, Handle componentRing) {
  const Record& r = ctx.rec(pad);
  if (componentRing != kNull && item::padPin(r) != 0) return referenceOf(ctx, componentRing) + "-" + pinName(ctx, pad);
  const uint8_t code = padCode(r);
  const bool th = throughHole(r);
  const char* word = code == 3 ? (th ? "via" : "dot") : (code != 0 || !th) ? "pad" : "pin";
  return std::string(word) + " " + pointText(ctx, r.x1, r.y1);
}

}  // namespace

std::string padDescription(const Context& ctx, Handle pad) {
  // The sentinel that ends the pad's ring tells a component pin.
  Handle cur = ctx.rec(pad).next;
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  for (size_t steps = 0; steps < cap && cur != kNull && cur != pad && ctx.rec(cur).type() != kSentinel; ++steps)
    cur = ctx.rec(cur).next;
  const bool inComponent =
      cur != kNull && cur != pad && ctx.rec(cur).type() == kSentinel && componentRingEnd(ctx.pool, cur);
  return describeAt(ctx, pad, inComponent ? cur : kNull);
}

std::string Connectivity::describe(Handle pad) const {
  const int ord = index_.ordinalOf(pad);
  const int32_t c = ord >= 0 ? index_[ord].component : -1;
  return describeAt(ctx_, pad, c >= 0 ? index_.components()[c].ring : kNull);
}

void clearHilight(Context& ctx) {
  ctx.nets.currentSignal = kNull;
  if (ctx.current == kNull) return;
  // Every item, hidden or not, components included.
  std::vector<Handle> rings{ctx.current};
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  size_t steps = 0;
  while (!rings.empty()) {
    const Handle ring = rings.back();
    rings.pop_back();
    for (Handle h = ctx.rec(ring).next; h != ring && h != kNull && ++steps <= cap; h = ctx.rec(h).next) {
      Record& r = ctx.rec(h);
      r.flags &= static_cast<uint8_t>(~kHilight);
      if (r.type() == kComponent && ctx.pool.valid(r.ext) && rings.size() < 64) rings.push_back(r.ext);
    }
  }
}

bool anyHilighted(const Context& ctx) {
  if (ctx.current == kNull) return false;
  Handle cursor = ctx.current;
  return hilighted(ctx.pool, cursor);
}

std::vector<Handle> signalList(const Context& ctx) {
  std::vector<Handle> out;
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  if (ctx.signals.head == kNull) return out;
  for (Handle h = ctx.rec(ctx.signals.head).ext;
       h != kNull && h != ctx.signals.tail && isSignalRecord(ctx, h) && out.size() < cap; h = ctx.rec(h).ext)
    out.push_back(h);
  return out;
}

bool scanInterrupted(Context& ctx, const std::string& status) {
  showStatus(ctx, status, 0);
  if (!ctx.host->discardPendingKeys()) return false;
  const Answer a = ctx.host->question("Net Scan Interruption",
                                      "An in-depth net scan is in\nprogress.  This operation\ncould take several "
                                      "minutes\nto complete.\n\nDo you wish to continue?",
                                      Buttons::OkCancel);
  return a != Answer::Ok;
}

Connectivity::Connectivity(Context& ctx, Search search) : ctx_(ctx), search_(search) {
  index_.build(ctx);
  for (int i = 0; i < index_.size(); ++i) {
    const Record& r = ctx.rec(index_[i].item);
    if (r.layer == kRatnestLayer && index_[i].component < 0 && (r.type() == kLine || r.type() == kArc))
      ratLines_[signalOf(ctx, index_[i].item)].push_back(i);
    if (r.type() != kPad) continue;
    const Handle s = signalOf(ctx, index_[i].item);
    if (s == kNull) continue;
    padsBySignal_[s].push_back(i);
    const uint8_t kind = layerKind(ctx, r.layer);
    if (throughHole(r) && (kind == kPlane || kind == kSchematic))
      planePads_[(uint64_t{r.layer} << 32) | s].push_back(i);
  }
}

void Connectivity::append(Handle h) {
  Record& r = ctx_.rec(h);
  r.flags |= kHilight;
  reached_.push_back(h);
  const int ord = index_.ordinalOf(h);
  if (static_cast<int>(queue_.size()) < kScanQueueMax)
    queue_.push_back(ord);
  else
    queue_.back() = ord;  // a full queue keeps overwriting its last slot
  if (r.type() != kLine && ctx_.nets.currentSignal == kNull) {
    const Handle s = signalOf(ctx_, h);
    if (s != kNull) {
      ctx_.nets.currentSignal = s;
      showStatus(ctx_, signalName(ctx_, s), 0);
    }
  }
}

bool Connectivity::seedHit(int b, int layer, int32_t x, int32_t y, int tol) const {
  const Record& r = ctx_.rec(index_[b].item);
  if (r.type() == kText) return false;
  const bool th = throughHole(r);
  if (layer == 0 ? !(th || r.layer == 0 || conductiveLayer(ctx_, r.layer)) : !(th || r.layer == layer)) return false;
  switch (r.type()) {
    case kLine:
      if (solidLine(r)) return solidHit(ctx_, r, x, y, tol);
      return pointNearSegment(x, y, r.x1, r.y1, r.w3, r.w4, halfWidth(r) + tol);
    case kArc:
      return arcHit(r, x, y, tol);
    case kPad:
      return padHit(r, x, y, tol);
    default:
      return false;
  }
}

namespace {

// What a line (a track or a filled solid) A meets of B.
bool lineJoins(const Context& ctx, const Record& A, const Record& B) {
  if (solidLine(A)) {
    if (track(B))
      return solidHit(ctx, A, B.x1, B.y1, c32(halfWidth(B))) || solidHit(ctx, A, B.w3, B.w4, c32(halfWidth(B)));
    if (solidLine(B)) return anyVertex(ctx, A, [&](const Record& v) { return solidHit(ctx, B, v.x1, v.y1, 0); });
    if (B.type() == kPad) return solidHit(ctx, A, B.x1, B.y1, c32(padSmaller(B) / 2));
    return false;
  }
  if (track(B)) {
    const int64_t d = halfWidth(A) + halfWidth(B);
    if (endNear(A, B, d) || endNear(B, A, d)) return true;
    return layerKind(ctx, A.layer) == kCopper && layerKind(ctx, B.layer) == kCopper &&
           segmentsCross(A.x1, A.y1, A.w3, A.w4, B.x1, B.y1, B.w3, B.w4);
  }
  if (solidLine(B))
    return solidHit(ctx, B, A.x1, A.y1, c32(halfWidth(A))) || solidHit(ctx, B, A.w3, A.w4, c32(halfWidth(A)));
  if (B.type() == kArc) {
    const int32_t tol = c32(halfWidth(A) / 2);
    return arcHit(B, A.x1, A.y1, tol) || arcHit(B, A.w3, A.w4, tol);
  }
  if (B.type() == kPad) {
    if (!lineBox(A).grown(halfWidth(A)).overlaps(centreBox(B, padLarger(B) * 3 / 8))) return false;
    const int32_t tol = c32(halfWidth(A) / 2);
    return padHit(B, A.x1, A.y1, tol) || padHit(B, A.w3, A.w4, tol) ||
           pointNearSegment(B.x1, B.y1, A.x1, A.y1, A.w3, A.w4, padSmaller(B) / 2 + halfWidth(A));
  }
  return false;
}

}  // namespace

bool Connectivity::joins(int a, int b, const Box& probe) const {
  const Record& A = ctx_.rec(index_[a].item);
  const Record& B = ctx_.rec(index_[b].item);
  // Joined through a plane, or by name on a schematic layer.
  if (A.type() == kPad && B.type() == kPad && throughHole(A) && throughHole(B) && A.layer == B.layer) {
    const uint8_t kind = layerKind(ctx_, A.layer);
    if (kind == kPlane || kind == kSchematic) {
      const Handle s = signalOf(ctx_, index_[a].item);
      if (s != kNull && signalOf(ctx_, index_[b].item) == s) return true;
    }
  }
  if (!index_.componentsOverlap(b, probe)) return false;
  if (B.type() == kText) {
    if (!track(A) || (A.layer != 0 && B.layer != A.layer)) return false;
    return pointNearSegment(B.x1, B.y1, A.x1, A.y1, A.w3, A.w4, 2 * halfWidth(A) + 2);
  }
  if (!layersMeet(ctx_, A, B)) return false;
  switch (A.type()) {
    case kLine:
      return lineJoins(ctx_, A, B);
    case kArc:
      if (!track(B)) return false;
      return arcHit(A, B.x1, B.y1, c32(halfWidth(B))) || arcHit(A, B.w3, B.w4, c32(halfWidth(B)));
    case kPad:
      if (track(B)) return pointNearSegment(A.x1, A.y1, B.x1, B.y1, B.w3, B.w4, padSmaller(A) / 2 + halfWidth(B));
      if (B.type() == kArc) return arcHit(B, A.x1, A.y1, c32(padSmaller(A) / 2));
      if (B.type() == kPad) return padHit(B, A.x1, A.y1, c32(padSmaller(A) / 2));
      return false;
    default:
      return false;
  }
}

// The live items whose boxes meet the probe, in list order (every live item
// for the plain all-pairs scan).
void Connectivity::inBox(const Box& probe, std::vector<int>& out) const {
  out.clear();
  if (search_ == Search::AllPairs) {
    for (int i = 0; i < index_.size(); ++i)
      if (!index_[i].dead) out.push_back(i);
    return;
  }
  index_.query(probe, out);
}

void Connectivity::candidates(int a, const Box& probe, std::vector<int>& out) const {
  inBox(probe, out);
  if (search_ == Search::AllPairs) return;
  const Record& A = ctx_.rec(index_[a].item);
  if (A.type() != kPad || !throughHole(A)) return;
  const Handle s = signalOf(ctx_, index_[a].item);
  if (s == kNull) return;
  auto it = planePads_.find((uint64_t{A.layer} << 32) | s);
  if (it == planePads_.end()) return;
  out.insert(out.end(), it->second.begin(), it->second.end());
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
}

// The items under the point start the flood.
void Connectivity::seed(const Box& point, int layer, int32_t x, int32_t y, int tol) {
  std::vector<int> cand;
  inBox(point, cand);
  for (int b : cand) {
    const Record& r = ctx_.rec(index_[b].item);
    if (index_[b].dead || r.hilighted() || r.hidden()) continue;
    if (seedHit(b, layer, x, y, tol)) append(index_[b].item);
  }
}

// A pad taken from the queue: the first signal met becomes the current one;
// later an unsignaled pin or another signal is remembered as the fault.
void Connectivity::notePadSignal(Handle ah, const Record& A) {
  const Handle s = signalOf(ctx_, ah);
  const Handle current = ctx_.nets.currentSignal;
  if (current == kNull) {
    if (s != kNull) {
      ctx_.nets.currentSignal = s;
      showStatus(ctx_, signalName(ctx_, s), 0);
    }
  } else if (s == kNull) {
    const uint8_t code = padCode(A);
    if ((code == 1 || code == 2) && item::padPin(A) != 0 && unknownPin_ == kNull) unknownPin_ = ah;
  } else if (s != current && crossLink_ == kNull) {
    crossLink_ = ah;
  }
}

int Connectivity::flood(int layer, int tolerance, int32_t x, int32_t y) {
  ctx_.nets.currentSignal = kNull;
  crossLink_ = unknownPin_ = kNull;
  queue_.clear();
  read_ = 0;
  const int tol = tolerance / 2;
  const Box point{int64_t{x} - tol, int64_t{y} - tol, int64_t{x} + tol, int64_t{y} + tol};
  seed(point, layer, x, y, tol);
  if (queue_.empty()) return 0;
  long taken = 0;
  std::vector<int>& found = scratch_;
  while (read_ < static_cast<int>(queue_.size())) {
    if (taken > 0 && taken % kCheckEvery == 0 && scanInterrupted(ctx_, "SCAN:" + std::to_string(taken))) return -1;
    ++taken;
    const int a = queue_[read_++];
    const Handle ah = index_[a].item;
    const Record& A = ctx_.rec(ah);
    if (A.type() == kPad) notePadSignal(ah, A);
    if (A.type() == kText || A.type() == kReserved) continue;
    const Box probe = index_[a].box;
    candidates(a, probe, found);
    for (int b : found) {
      if (b == a || index_[b].dead || ctx_.rec(index_[b].item).hilighted()) continue;
      if (joins(a, b, probe)) append(index_[b].item);
    }
  }
  return 1;
}

void Connectivity::clearReached() {
  for (Handle h : reached_) {
    const int ord = index_.ordinalOf(h);
    if (ord >= 0 && !index_[ord].dead) ctx_.rec(h).flags &= static_cast<uint8_t>(~kHilight);
  }
  reached_.clear();
  nearSignal_ = kNull;
}

void Connectivity::padMoved(int ord, Handle oldSignal, Handle newSignal) {
  const Record& r = ctx_.rec(index_[ord].item);
  auto drop = [&](std::vector<int>& v) { v.erase(std::remove(v.begin(), v.end(), ord), v.end()); };
  auto put = [&](std::vector<int>& v) { v.insert(std::lower_bound(v.begin(), v.end(), ord), ord); };
  const uint8_t kind = layerKind(ctx_, r.layer);
  const bool plane = throughHole(r) && (kind == kPlane || kind == kSchematic);
  if (oldSignal != kNull) {
    drop(padsBySignal_[oldSignal]);
    if (plane) drop(planePads_[(uint64_t{r.layer} << 32) | oldSignal]);
  }
  if (newSignal != kNull) {
    put(padsBySignal_[newSignal]);
    if (plane) put(planePads_[(uint64_t{r.layer} << 32) | newSignal]);
  }
}

int Connectivity::applySignal(Handle signal, UndoTransaction* undo) {
  int seen = 0;
  for (Handle h : reached_) {
    const int ord = index_.ordinalOf(h);
    if (ord < 0 || index_[ord].dead || !ctx_.rec(h).hilighted()) continue;
    ++seen;
    const Record& r = ctx_.rec(h);
    const bool takes = track(r) || (r.type() == kArc && item::radius(r) >= 1) || r.type() == kPad;
    if (!takes || signal == kNull) continue;
    const Handle old = signalOf(ctx_, h);
    if (old == signal) continue;
    if (undo) undo->modified(h);
    releaseExtension(ctx_, h);
    ctx_.rec(h).ext = signal;
    ctx_.rec(signal).next += 256;
    if (r.type() == kPad) padMoved(ord, old, signal);
  }
  return seen;
}

Handle Connectivity::firstPad(Handle signal) const {
  auto it = padsBySignal_.find(signal);
  if (it == padsBySignal_.end()) return kNull;
  for (int ord : it->second)
    if (!index_[ord].dead) return index_[ord].item;
  return kNull;
}

std::vector<Handle> Connectivity::padsOf(Handle signal) const {
  std::vector<Handle> out;
  auto it = padsBySignal_.find(signal);
  if (it == padsBySignal_.end()) return out;
  for (int ord : it->second)
    if (!index_[ord].dead) out.push_back(index_[ord].item);
  return out;
}

bool Connectivity::nearestUnreached(Handle signal, Handle& from, Handle& to) {
  if (signal != nearSignal_) {
    nearSignal_ = signal;
    near_.clear();
    sourcesSeen_ = 0;
    auto it = padsBySignal_.find(signal);
    if (it != padsBySignal_.end())
      for (int ord : it->second) {
        const Record& r = ctx_.rec(index_[ord].item);
        near_.addTarget(ord, r.x1, r.y1);
      }
  }
  // Every hilighted pad reached since the last call joins the set.
  for (; sourcesSeen_ < reached_.size(); ++sourcesSeen_) {
    const Handle h = reached_[sourcesSeen_];
    const int s = index_.ordinalOf(h);
    const Record& r = ctx_.rec(h);
    if (s < 0 || index_[s].dead || r.type() != kPad || !r.hilighted()) continue;
    near_.addSource(s, r.x1, r.y1);
  }
  int s = -1, t = -1;
  while (near_.best(s, t)) {
    // A pad deleted meanwhile is no target.
    if (index_[t].dead || ctx_.rec(index_[t].item).hilighted()) {
      near_.dropTarget(t);
      continue;
    }
    from = index_[s].item;
    to = index_[t].item;
    return true;
  }
  return false;
}

void Connectivity::sortedHilighted(uint8_t type, std::vector<int>& out) const {
  out.clear();
  for (Handle h : reached_) {
    const int ord = index_.ordinalOf(h);
    const Record& r = ctx_.rec(h);
    if (ord < 0 || index_[ord].dead || !r.hilighted() || r.layer == kRatnestLayer) continue;
    if (type == 0 ? (r.type() == kLine || r.type() == kArc || r.type() == kPad) : r.type() == type) out.push_back(ord);
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
}

void Connectivity::mark(Handle a, Handle b, int64_t x, int64_t y) {
  View& v = ctx_.view;
  v.cursorX = c32(x), v.cursorY = c32(y);
  updateCursorPixel(v);
  if (!cursorInsideMargins(v)) centreOnCursor(v);
  ctx_.host->redrawView();
  if (!ctx_.screen.surface.valid()) return;
  for (Handle h : {a, b}) {
    const Record& r = ctx_.rec(h);
    const bool line = r.type() == kLine && !solidLine(r);
    drawMarker(ctx_, ctx_.screen.markerPixel, line ? c32((int64_t{r.x1} + r.w3) / 2) : r.x1,
               line ? c32((int64_t{r.y1} + r.w4) / 2) : r.y1);
  }
  ctx_.host->showSurface();
}

namespace {

// A hilighted, visible pad Q that P can overlap: both through-hole, or both
// on the same side.
bool overlapCandidate(const Record& P, const Record& Q) {
  if (Q.type() != kPad || !Q.hilighted() || Q.hidden()) return false;
  const bool thP = throughHole(P);
  return thP == throughHole(Q) && (thP || P.layer == Q.layer);
}

// Two pads within 2 units of each other with the same shape, layer and sizes.
bool duplicatePads(const Record& P, const Record& Q, int64_t dx, int64_t dy) {
  return std::llabs(dx) <= 2 && std::llabs(dy) <= 2 && (P.flags & 15) == (Q.flags & 15) && P.layer == Q.layer &&
         P.size == Q.size && item::padX(P) == item::padX(Q) && item::padY(P) == item::padY(Q) &&
         item::padHole(P) == item::padHole(Q);
}

}  // namespace

int Connectivity::padOverlapCheck(UndoTransaction& undo, const FaultLog* log) {
  std::vector<int> pads, found;
  sortedHilighted(kPad, pads);
  const int64_t clr = ctx_.params.lineToPad;
  int faults = 0;
  for (int p : pads) {
    if (index_[p].dead) continue;
    const Handle ph = index_[p].item;
    const Record& P = ctx_.rec(ph);
    const int64_t halfP = padLarger(P) * 3 / 4 + clr;
    const Box probe = centreBox(P, std::max<int64_t>(halfP, 0));
    inBox(probe, found);
    for (int q : found) {
      // Each pair once, the later pad of the list being the one deleted.
      if (q <= p || index_[q].dead) continue;
      const Handle qh = index_[q].item;
      const Record& Q = ctx_.rec(qh);
      if (!overlapCandidate(P, Q)) continue;
      const bool thP = throughHole(P), thQ = throughHole(Q);
      if (!probe.overlaps(centreBox(Q, padLarger(Q) * 3 / 4))) continue;
      const int64_t dx = int64_t{Q.x1} - P.x1, dy = int64_t{Q.y1} - P.y1;
      if (duplicatePads(P, Q, dx, dy)) {
        const std::string where = pointText(ctx_, Q.x1, Q.y1);
        undo.removed(qh);
        itemRemoved(qh);
        if (log) {
          (*log)("", "Duplicate pad deleted at " + where);
          ++faults;
        }
        continue;
      }
      if (!thP || !thQ || std::llabs(dx) > 65535 || std::llabs(dy) > 65535) continue;
      const int64_t drills = int64_t{item::padHole(P)} + item::padHole(Q);
      if (4 * (dx * dx + dy * dy) > drills * drills) continue;
      const int64_t mx = (int64_t{P.x1} + Q.x1) / 2, my = (int64_t{P.y1} + Q.y1) / 2;
      if (!log) {
        mark(ph, qh, mx, my);
        return 1;
      }
      (*log)("", "Drill hole interference at " + pointText(ctx_, mx, my));
      ++faults;
    }
  }
  return faults;
}

namespace {

// Where a clearance fault is shown: between the middles of tracks and the
// centres of pads.
int64_t referenceX(const Record& r) { return track(r) ? (int64_t{r.x1} + r.w3) / 2 : int64_t{r.x1}; }
int64_t referenceY(const Record& r) { return track(r) ? (int64_t{r.y1} + r.w4) / 2 : int64_t{r.y1}; }

}  // namespace

// A line's end points as the clearance messages give them.
std::string Connectivity::lineText(const Record& r) const {
  return "line " + pointText(ctx_, r.x1, r.y1) + "," + pointText(ctx_, r.w3, r.w4);
}

// The items a clearance check compares with t: live, unhilighted, visible
// lines and pads on a layer t meets.
bool Connectivity::clearanceComparable(const ClearanceItem& t, int o) const {
  if (o == t.ordinal || index_[o].dead) return false;
  const Record& O = ctx_.rec(index_[o].item);
  if (O.hilighted() || O.hidden()) return false;
  if (O.type() != kLine && O.type() != kPad) return false;
  const int oEff = throughHole(O) ? 0 : O.layer;
  return t.layer == 0 ? (oEff == 0 || layerKind(ctx_, O.layer) == kCopper) : (oEff == 0 || O.layer == t.layer);
}

// A track t against a track or pad O: the message when they are too near.
std::string Connectivity::lineClearance(const ClearanceItem& t, Handle oh, const Record& O) const {
  const Record& T = *t.record;
  const int64_t ll = ctx_.params.lineToLine, lp = ctx_.params.lineToPad;
  if (track(O)) {
    if (!t.box.overlaps(lineBox(O).grown(halfWidth(O) + ll))) return {};
    const int64_t thr = (int64_t{T.size} + O.size) / 2 + ll;
    const bool near = pointCloserThan(T.x1, T.y1, O.x1, O.y1, O.w3, O.w4, thr) ||
                      pointCloserThan(T.w3, T.w4, O.x1, O.y1, O.w3, O.w4, thr) ||
                      pointCloserThan(O.x1, O.y1, T.x1, T.y1, T.w3, T.w4, thr) ||
                      pointCloserThan(O.w3, O.w4, T.x1, T.y1, T.w3, T.w4, thr);
    return near ? "Clearance from " + lineText(T) + " to " + lineText(O) : std::string();
  }
  if (O.type() != kPad || !t.box.overlaps(centreBox(O, padLarger(O) * 3 / 4 + lp))) return {};
  const bool near =
      outlineGap(segmentOutline(T.x1, T.y1, T.w3, T.w4), padOutline(O)) < static_cast<double>(halfWidth(T) + lp);
  return near ? "Clearance from " + lineText(T) + " to " + describe(oh) : std::string();
}

// A pad t against a line, a filled solid or a pad O: the message when they
// are too near.
std::string Connectivity::padClearance(const ClearanceItem& t, Handle oh, const Record& O) const {
  const Record& T = *t.record;
  const int64_t lp = ctx_.params.lineToPad, pp = ctx_.params.padToPad;
  if (O.type() == kLine && solidLine(O)) {
    // A filled solid by its outline: an edge too near, or the pad's centre inside it.
    Box sb{std::min(O.x1, O.w3), std::min(O.y1, O.w4), std::max(O.x1, O.w3), std::max(O.y1, O.w4)};
    if (!t.box.overlaps(sb.grown(lp))) return {};
    const Outline pad = padOutline(T);
    const bool near = solidHit(ctx_, O, T.x1, T.y1, 0) || anyVertex(ctx_, O, [&](const Record& e) {
                        return outlineGap(segmentOutline(e.x1, e.y1, e.w3, e.w4), pad) < static_cast<double>(lp);
                      });
    return near ? "Clearance from " + describe(t.handle) + " to solid " + pointText(ctx_, O.x1, O.y1) + "," +
                      pointText(ctx_, O.w3, O.w4)
                : std::string();
  }
  if (O.type() == kLine) {
    if (!t.box.overlaps(lineBox(O).grown(halfWidth(O) + lp))) return {};
    const bool near =
        outlineGap(segmentOutline(O.x1, O.y1, O.w3, O.w4), padOutline(T)) < static_cast<double>(halfWidth(O) + lp);
    return near ? "Clearance from " + describe(t.handle) + " to " + lineText(O) : std::string();
  }
  if (!t.box.overlaps(centreBox(O, padLarger(O) * 3 / 4))) return {};
  bool near = false;
  if (roundPad(T) && roundPad(O)) {
    const int64_t dx = int64_t{O.x1} - T.x1, dy = int64_t{O.y1} - T.y1;
    const __int128 reach = int64_t{item::padX(T)} + item::padX(O) + 2 * pp;
    near = 4 * (__int128{dx} * dx + __int128{dy} * dy) < reach * reach;
  } else {
    near = outlineGap(padOutline(T), padOutline(O)) < static_cast<double>(pp);
  }
  return near ? "Clearance from " + describe(t.handle) + " to " + describe(oh) : std::string();
}

int Connectivity::clearanceCheck(const FaultLog* log) {
  std::vector<int> tested, found;
  sortedHilighted(0, tested);
  const Params& p = ctx_.params;
  const int64_t lp = p.lineToPad;
  const int64_t margin = std::max<int64_t>({p.lineToLine, lp, 0});
  int faults = 0;
  for (size_t i = 0; i < tested.size(); ++i) {
    if (i > 0 && i % kCheckEvery == 0 &&
        scanInterrupted(ctx_, "DRC:" + std::to_string(static_cast<long>(tested.size() - i))))
      return faults;
    const int ti = tested[i];
    if (index_[ti].dead) continue;
    const Handle th = index_[ti].item;
    const Record& T = ctx_.rec(th);
    ClearanceItem t{ti, th, &T, track(T), throughHole(T) ? 0 : T.layer, {}};
    if (!t.line && T.type() != kPad) continue;  // arcs and filled solids: nothing is compared
    t.box = t.line ? lineBox(T).grown(halfWidth(T)) : centreBox(T, padLarger(T) * 3 / 4 + lp);
    const Box probe = t.box.grown(t.line ? margin : std::max<int64_t>(lp, 0));
    inBox(probe, found);
    for (int o : found) {
      if (!clearanceComparable(t, o)) continue;
      const Handle oh = index_[o].item;
      const Record& O = ctx_.rec(oh);
      const std::string message = t.line ? lineClearance(t, oh, O) : padClearance(t, oh, O);
      if (message.empty()) continue;
      ++faults;
      if (!log) {
        mark(th, oh, (referenceX(T) + referenceX(O)) / 2, (referenceY(T) + referenceY(O)) / 2);
        return 1;
      }
      const Handle os = signalOf(ctx_, oh);
      (*log)(os != kNull ? signalName(ctx_, os) : std::string(), message);
    }
  }
  return faults;
}

std::vector<Handle> Connectivity::ratLinesOf(Handle signal) const {
  std::vector<Handle> out;
  auto it = ratLines_.find(signal);
  if (it == ratLines_.end()) return out;
  for (int ord : it->second)
    if (!index_[ord].dead) out.push_back(index_[ord].item);
  return out;
}

void Connectivity::itemAdded(Handle h) {
  const int ord = index_.add(ctx_, h);
  const Record& r = ctx_.rec(h);
  if (r.layer == kRatnestLayer && (r.type() == kLine || r.type() == kArc)) ratLines_[signalOf(ctx_, h)].push_back(ord);
}

void Connectivity::itemRemoved(Handle h) {
  const int ord = index_.ordinalOf(h);
  if (ord < 0) return;
  const Record& r = ctx_.rec(h);
  if (r.type() == kPad) padMoved(ord, signalOf(ctx_, h), kNull);
  index_.remove(h);
}

}  // namespace trelmo
