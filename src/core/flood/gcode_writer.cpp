#include "flood/gcode_writer.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace trelmo::flood {

namespace {

std::string number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", std::fabs(v) < 5e-5 ? 0.0 : v);
  return buf;
}

// Comments end at the first parenthesis: names lose theirs.
std::string commentText(std::string s) {
  for (char& c : s)
    if (c == '(' || c == ')' || static_cast<unsigned char>(c) < 32) c = ' ';
  return s;
}

class Program {
 public:
  Program(const GCodeSettings& s, bool mirror, double depth) : s_(s), mirror_(mirror), depth_(depth) {}

  void put(const std::string& line) { text_ += line + "\n"; }
  void header(const std::string& title) {
    put("(" + commentText(title) + ")");
    put("G21");
    put("G90");
    put("G17");
    put("G94");
    put("G0 Z" + number(s_.changeHeight));
  }
  void tool(int n, int32_t size) {
    lift();
    put("M5");
    put("G0 Z" + number(s_.changeHeight));
    put("(Tool " + std::to_string(n) + ": " + number(millimetres(size)) + " mm)");
    put("M0");
    put("M3 S" + std::to_string(s_.spindle));
    put("G4 P" + number(s_.dwell));
    put("G0 Z" + number(s_.safeHeight));
    down_ = false;
  }
  void drill(Pt p) {
    rapidTo(p.x, p.y);
    put("G1 Z" + number(-s_.drillDepth) + " F" + number(s_.plungeFeed));
    put("G0 Z" + number(s_.safeHeight));
  }
  void path(PlotPath p, bool reversible) {
    if (reversible && nearer(p)) p = reversed(p);
    if (!down_ || std::fabs(p.x0 - x_) > 0.5 || std::fabs(p.y0 - y_) > 0.5) {
      lift();
      rapidTo(p.x0, p.y0);
      put("G1 Z" + number(-depth_) + " F" + number(s_.plungeFeed));
      down_ = true;
      feedSet_ = false;
    }
    for (const PathStep& st : p.steps) step(st);
  }
  std::string finish() {
    lift();
    put("G0 Z" + number(s_.changeHeight));
    put("M5");
    put("M2");
    return text_;
  }

 private:
  double wy(double y) const { return mirror_ ? -y : y; }
  std::string xy(double x, double y) const { return "X" + number(millimetres(x)) + " Y" + number(millimetres(wy(y))); }
  void lift() {
    if (down_) put("G0 Z" + number(s_.safeHeight));
    down_ = false;
  }
  void rapidTo(double x, double y) {
    put("G0 " + xy(x, y));
    x_ = x, y_ = y;
  }
  std::string feed() {
    if (feedSet_) return "";
    feedSet_ = true;
    return " F" + number(s_.feed);
  }
  void step(const PathStep& st) {
    if (!st.arc) {
      put("G1 " + xy(st.x, st.y) + feed());
    } else {
      // Counter-clockwise in the design is clockwise once Y is negated.
      const bool ccw = (st.sweep > 0) != mirror_;
      put(std::string(ccw ? "G3 " : "G2 ") + xy(st.x, st.y) + " I" + number(millimetres(st.cx - x_)) + " J" +
          number(millimetres(wy(st.cy) - wy(y_))) + feed());
    }
    x_ = st.x, y_ = st.y;
  }
  bool nearer(const PlotPath& p) const {
    return std::hypot(p.endX() - x_, p.endY() - y_) < std::hypot(p.x0 - x_, p.y0 - y_);
  }
  static PlotPath reversed(const PlotPath& p) {
    PlotPath r = p;
    r.steps.clear();
    r.x0 = p.endX(), r.y0 = p.endY();
    const PathStep& s = p.steps.front();
    if (s.arc)
      r.arcTo(p.x0, p.y0, s.cx, s.cy, -s.sweep);
    else
      r.lineTo(p.x0, p.y0);
    return r;
  }

  const GCodeSettings& s_;
  bool mirror_;
  double depth_;
  std::string text_;
  bool down_ = false, feedSet_ = false;
  double x_ = 0, y_ = 0;
};

}  // namespace

std::string gcodeProgram(const MillJob& job, const GCodeSettings& settings, const std::string& title) {
  const double depth = job.row == MillRow::Route ? settings.routeDepth : settings.cutDepth;
  Program g(settings, job.mirror, depth);
  g.header(title);
  int n = 0;
  for (const MillTool& t : job.tools) {
    if (t.paths.empty() && t.hits.empty()) continue;
    g.tool(++n, t.size);
    for (const Pt& p : t.hits) g.drill(p);
    for (const PlotPath& p : t.paths) g.path(p, p.steps.size() == 1 && !p.closed);
  }
  return g.finish();
}

}  // namespace trelmo::flood
