#include "flood/flood_pieces.h"

#include <algorithm>
#include <cmath>

#include "context.h"
#include "database/geometry.h"
#include "database/rings.h"
#include "database/signals.h"
#include "edit/undo.h"

namespace trelmo::flood {

void PieceWriter::style(double width, const std::string& signal) {
  width_ = static_cast<uint16_t>(std::clamp(std::lround(width), 1L, 65535L));
  if (signal != signalName_) signal_ = kNull;
  signalName_ = signal;
}

bool PieceWriter::line(Pt a, Pt b) {
  if (full_ || ctx_.current == kNull) return false;
  const Handle h =
      createItem(ctx_.pool, ctx_.current, kLine, static_cast<uint8_t>(layer_), width_, clamp32(std::llround(a.x)),
                 clamp32(std::llround(a.y)), clamp32(std::llround(b.x)), clamp32(std::llround(b.y)), kNull);
  if (h == kNull) {
    full_ = true;
    return false;
  }
  if (!signalName_.empty()) {
    if (signal_ == kNull) {
      attachSignal(ctx_, h, signalName_);
      signal_ = isSignalRecord(ctx_, ctx_.rec(h).ext) ? ctx_.rec(h).ext : kNull;
    } else {
      ctx_.rec(h).ext = signal_;
      ctx_.rec(signal_).next += 256;
    }
  }
  undo_.added(h);
  ++count_;
  return true;
}

void PieceWriter::cutLine(const Obstacles& obstacles, Pt a, Pt b, const Clearances& c) {
  for (const Span& s : obstacles.cut(a, b, c))
    if (!line(along(a, b, s.t0), along(a, b, s.t1))) return;
}

void PieceWriter::cutPolyline(const Obstacles& obstacles, const std::vector<Pt>& pts, const Clearances& c) {
  for (size_t i = 0; i + 1 < pts.size() && !full_; ++i) cutLine(obstacles, pts[i], pts[i + 1], c);
}

}  // namespace trelmo::flood
