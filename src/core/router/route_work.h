// The state of one routing run shared by its passes: the rules, the board's
// geometry, the rat-lines still to route and the way to the design.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "router/autoroute.h"
#include "router/route_geometry.h"

namespace trelmo {

class UndoTransaction;

struct RatLine {
  Handle item = kNull;
  Handle signal = kNull;
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  bool done = false;
};

struct Segment {
  int layer = 0;
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// A route found for one rat-line: converted in place on a layer, or
// replaced by segments and vias.
struct Route {
  int inPlaceLayer = 0;  // non-zero: the rat-line itself becomes the track
  std::vector<Segment> segments;
  std::vector<std::pair<int32_t, int32_t>> vias;
};

struct PassCount {
  int processed = 0;
  int routed = 0;
};

class RouteWork {
 public:
  RouteWork(Context& ctx, const RouterLink& link);
  ~RouteWork();
  RouteWork(const RouteWork&) = delete;
  RouteWork& operator=(const RouteWork&) = delete;

  // Runs work where the design may be touched.
  void onDesign(const std::function<void()>& work) const;
  bool stopRequested() const;
  void progress(int done, int total) const;

  // Reads the rules, the routing layers and the geometry (on the design).
  void load();
  // The unrouted rat-lines of the design in list order.
  void collectRatLines();
  // Applies a route to the design and adds its copper to the geometry.
  void commit(RatLine& rat, const Route& route);
  // A track probe of the rat-line's signal on a layer.
  Probe probe(const RatLine& rat, int layer, int32_t x1, int32_t y1, int32_t x2, int32_t y2) const;
  Probe viaProbe(const RatLine& rat, int32_t x, int32_t y) const;
  bool clear(const RatLine& rat, const Segment& s) const {
    return !geometry.hits(probe(rat, s.layer, s.x1, s.y1, s.x2, s.y2));
  }

  PassCount straightPass();
  PassCount inlinePass();
  PassCount dataBusPass();
  PassCount lPass();
  PassCount mazePass(bool ripUp, PassCount* retried);

  Context& ctx;
  RouteRules rules;
  Obstacles geometry;
  std::vector<RatLine> rats;
  std::vector<int> xLayers, yLayers;  // routing layers for horizontal and vertical runs, ascending
  std::unique_ptr<UndoTransaction> undo;

 private:
  const RouterLink& link_;
};

}  // namespace trelmo
