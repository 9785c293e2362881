#include "flood/isolation_passes.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "context.h"
#include "database/signals.h"
#include "edit/undo.h"
#include "flood/flood_contour.h"
#include "flood/flood_fill.h"
#include "nets/connectivity.h"

namespace trelmo::flood {

namespace {

// Earlier selections take no part: what is hilighted loses its hilight and
// is hidden for the run.
std::vector<Handle> hideHilighted(Context& ctx) {
  std::vector<Handle> hidden;
  ItemIndex index;
  index.build(ctx);
  for (int o = 0; o < index.size(); ++o) {
    Record& r = ctx.rec(index[o].item);
    if (!r.hilighted()) continue;
    r.flags = static_cast<uint8_t>((r.flags & ~kHilight) | kHidden);
    hidden.push_back(index[o].item);
  }
  return hidden;
}

bool isolateSide(Context& ctx, const FloodRegion& region, const IsolationParams& side, UndoTransaction& undo,
                 IsolationResult& result) {
  const Obstacles obstacles(ctx, region, side.sources);
  PieceWriter out(ctx, undo, side.target);
  const std::string signalName(side.signal, strnlen(side.signal, kSignalFieldMax));
  bool whole = true;
  if (side.passes > 0 && side.isoTool > 0) {
    const double step = isolationStep(side.isoTool, side.isoOverlap);
    ContourPass pass;
    pass.isolation = true;
    pass.target = side.target;
    pass.signal = signalName.empty() ? kNull : findSignal(ctx, signalName);
    pass.clearances = {double(side.isoTool), double(side.isoClearance), double(side.isoClearance)};
    for (int k = 1; k <= side.passes && !out.full(); ++k) {
      out.style(side.isoTool, "$IS" + std::to_string(k));
      contourPass(ctx, obstacles, out, pass);
      pass.clearances.line += step;
      pass.clearances.pad += step;
      if (ctx.host->progress(k * 50 / side.passes)) {
        whole = false;
        break;
      }
    }
  }
  if (whole && side.floodTool > 0 && !out.full()) {
    out.style(side.floodTool, "$FLD");
    const Clearances c{double(side.floodTool), double(side.floodClearance), double(side.floodClearance)};
    whole = horizontalLines(ctx, region, obstacles, out, c, isolationStep(side.floodTool, side.floodOverlap));
  }
  result.added += out.count();
  result.poolFull = result.poolFull || out.full();
  return whole;
}

}  // namespace

int32_t isolationStep(uint16_t tool, uint16_t overlap) { return std::max<int32_t>(3, int32_t{tool} - overlap); }

IsolationResult trackIsolation(Context& ctx, const FloodRegion& region, int sides) {
  IsolationResult result;
  if (ctx.current == kNull || !region.valid()) return result;
  const uint16_t layer = ctx.params.currentLayer;
  const std::vector<Handle> hidden = hideHilighted(ctx);
  {
    UndoTransaction undo(ctx);
    for (const int side : {kTopSide, kBottomSide}) {
      if (!(sides & side) || result.interrupted) continue;
      const IsolationParams& p = side == kTopSide ? ctx.params.isoTop : ctx.params.isoBottom;
      result.interrupted = !isolateSide(ctx, region, p, undo, result);
    }
  }
  clearHilight(ctx);
  for (const Handle h : hidden) ctx.rec(h).flags &= static_cast<uint8_t>(~kHidden);
  ctx.params.currentLayer = layer;
  return result;
}

}  // namespace trelmo::flood
