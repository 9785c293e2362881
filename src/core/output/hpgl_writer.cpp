#include "output/hpgl_writer.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace trelmo {

namespace {

constexpr size_t kFlushBytes = 32767;
constexpr double kTakeAtOnce = 4;  // world units: an end this near is next without searching

long mils(double w) { return std::lround(w * 1000.0 / 65536.0); }

class Plotter {
 public:
  Plotter(ByteSink& out, bool mirror) : out_(out), mirror_(mirror) {}

  bool command(const std::string& c) {
    buf_ += c;
    buf_ += "\r\n";
    if (buf_.size() > kFlushBytes) return flush();
    return true;
  }
  bool flush() {
    const bool ok = out_.write(buf_);
    buf_.clear();
    return ok;
  }

  void move(const char* verb, double x, double y) {
    char b[64];
    std::snprintf(b, sizeof b, "%s%ld,%ld;", verb, mils(mirror_ ? -x : x), mils(y));
    command(b);
    penX_ = x, penY_ = y;
    down_ = verb[1] == 'D';
  }

  void arc(const PathStep& s) {
    char b[96], sweep[32];
    double deg = (mirror_ ? -s.sweep : s.sweep) * 180 / M_PI;
    std::snprintf(sweep, sizeof sweep, "%.1f", deg);
    std::string sw = sweep;
    if (sw.size() > 2 && sw.compare(sw.size() - 2, 2, ".0") == 0) sw.resize(sw.size() - 2);
    std::snprintf(b, sizeof b, "AA%ld,%ld,%s;", mils(mirror_ ? -s.cx : s.cx), mils(s.cy), sw.c_str());
    command(b);
    penX_ = s.x, penY_ = s.y;
  }

  // A path from its start, or backward from its end (open single paths).
  void path(const PlotPath& p, bool backward) {
    double sx = backward ? p.endX() : p.x0, sy = backward ? p.endY() : p.y0;
    if (!down_ || std::fabs(sx - penX_) > kTakeAtOnce || std::fabs(sy - penY_) > kTakeAtOnce) {
      move("PU", sx, sy);
      // An arc is drawn from where the pen is: it goes down on the spot first.
      const size_t first = backward ? p.steps.size() - 1 : 0;
      if (!p.steps.empty() && p.steps[first].arc) move("PD", sx, sy);
    }
    if (!backward) {
      for (const PathStep& s : p.steps) s.arc ? arc(s) : move("PD", s.x, s.y);
      return;
    }
    for (size_t i = p.steps.size(); i-- > 0;) {
      const PathStep& s = p.steps[i];
      const double tx = i ? p.steps[i - 1].x : p.x0, ty = i ? p.steps[i - 1].y : p.y0;
      if (s.arc)
        arc({tx, ty, s.cx, s.cy, -s.sweep, true});
      else
        move("PD", tx, ty);
    }
  }

  void liftPen() {
    if (down_) command("PU;");
    down_ = false;
  }

  double penX_ = 0, penY_ = 0;

 private:
  ByteSink& out_;
  std::string buf_;
  bool mirror_;
  bool down_ = false;
};

// The unplotted item with an end nearest the pen; `backward` when that is the
// end of a reversible item.
size_t nearest(const std::vector<PlotItem>& items, const std::vector<bool>& done, double x, double y, bool& backward) {
  size_t best = items.size();
  double bestD = std::numeric_limits<double>::max();
  for (size_t i = 0; i < items.size(); ++i) {
    if (done[i]) continue;
    const PlotPath& first = items[i].paths.front();
    const double d0 = std::hypot(first.x0 - x, first.y0 - y);
    if (d0 < bestD) bestD = d0, best = i, backward = false;
    if (items[i].reversible) {
      const double d1 = std::hypot(first.endX() - x, first.endY() - y);
      if (d1 < bestD) bestD = d1, best = i, backward = true;
    }
    if (bestD <= kTakeAtOnce) break;
  }
  return best;
}

}  // namespace

PlotResult writeHpgl(const PlotScene& scene, ByteSink& out, PlotControl& control, bool mirror) {
  Plotter plot(out, mirror);
  const size_t layers = scene.layers.size();
  for (size_t li = 0; li < layers; ++li) {
    const PlotLayer& l = scene.layers[li];
    char sp[16];
    std::snprintf(sp, sizeof sp, "SP%u;", static_cast<unsigned>(l.colour & 7));
    plot.command(sp);
    std::vector<bool> done(l.items.size(), false);
    for (size_t n = 0; n < l.items.size(); ++n) {
      bool backward = false;
      const size_t i = nearest(l.items, done, plot.penX_, plot.penY_, backward);
      done[i] = true;
      for (const PlotPath& p : l.items[i].paths)
        if (!p.clear) plot.path(p, backward);
    }
    plot.liftPen();
    if (control.step((255 - l.slot) * 100 / 255) && li + 1 < layers) return PlotResult::Cancelled;
  }
  plot.command("PU0,0;");
  if (!plot.flush()) return PlotResult::Failed;
  control.step(100);
  return PlotResult::Done;
}

}  // namespace trelmo
