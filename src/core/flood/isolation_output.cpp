#include "flood/isolation_output.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "context.h"
#include "database/chains.h"
#include "database/signals.h"
#include "flood/gcode_writer.h"
#include "nets/connectivity.h"
#include "nets/shapes.h"
#include "output/byte_sink.h"

namespace trelmo::flood {

namespace {

constexpr int32_t kTextTool = 655;
constexpr double kMaxChord = 655;  // arcs are plotted as chords of at most 0.01 inch
constexpr int kPassesMax = 10000;

bool inside(const Box& b, double x, double y) { return x >= b.x0 && x <= b.x1 && y >= b.y0 && y <= b.y1; }

bool pathInside(const Box& b, const PlotPath& p) {
  if (!inside(b, p.x0, p.y0)) return false;
  return std::all_of(p.steps.begin(), p.steps.end(), [&](const PathStep& s) { return inside(b, s.x, s.y); });
}

void drillTools(const Context& ctx, const ItemIndex& index, const Box& area, MillJob& job) {
  std::map<int32_t, MillTool> byHole;
  for (int o = 0; o < index.size(); ++o) {
    const Record& r = ctx.rec(index[o].item);
    if (r.type() != kPad || !throughHole(r) || item::padHole(r) == 0 || !inside(area, r.x1, r.y1)) continue;
    MillTool& t = byHole[item::padHole(r)];
    t.size = item::padHole(r);
    t.hits.push_back({double(r.x1), double(r.y1)});
  }
  for (auto& [size, tool] : byHole) job.tools.push_back(std::move(tool));
}

// "$IS1", "$IS2"... while such a signal exists, then "$FLD".
std::vector<Handle> pathSignals(const Context& ctx) {
  std::vector<Handle> out;
  for (int k = 1; k <= kPassesMax; ++k) {
    const Handle s = findSignal(ctx, "$IS" + std::to_string(k));
    if (s == kNull) break;
    out.push_back(s);
  }
  if (const Handle f = findSignal(ctx, "$FLD"); f != kNull) out.push_back(f);
  return out;
}

// The paths of one tool: the items of the layer of its width carrying the
// signal, in list order.
void signalPaths(const Context& ctx, const ItemIndex& index, int layer, const Box& area, Handle signal,
                 MillTool& tool) {
  for (int o = 0; o < index.size(); ++o) {
    const Handle h = index[o].item;
    const Record& r = ctx.rec(h);
    if (r.layer != layer || r.size != tool.size || (r.type() != kLine && r.type() != kArc)) continue;
    PlotItem it;
    if (signalOf(ctx, h) != signal || !plotItemPaths(ctx, h, 0, it)) continue;
    for (PlotPath& p : it.paths)
      if (pathInside(area, p)) tool.paths.push_back(std::move(p));
  }
}

void textStrokes(const Context& ctx, const ItemIndex& index, const std::vector<int>& texts, const Box& area,
                 MillTool& tool) {
  for (const int o : texts) {
    std::vector<PlotPath> strokes;
    textPaths(ctx, index[o].item, strokes);
    for (PlotPath& p : strokes)
      if (pathInside(area, p)) tool.paths.push_back(std::move(p));
  }
}

void pathTools(const Context& ctx, const ItemIndex& index, int layer, const Box& area, MillJob& job) {
  std::map<int32_t, MillTool> byWidth;
  std::vector<int> texts;
  for (int o = 0; o < index.size(); ++o) {
    const Record& r = ctx.rec(index[o].item);
    if (r.layer != layer) continue;
    if ((r.type() == kLine && r.size > 0) || r.type() == kArc) byWidth[r.size].size = r.size;
    if (r.type() == kText) texts.push_back(o), byWidth[kTextTool].size = kTextTool;
  }
  const std::vector<Handle> signals = pathSignals(ctx);
  for (auto& [width, tool] : byWidth) {
    for (const Handle s : signals) signalPaths(ctx, index, layer, area, s, tool);
    if (width == kTextTool) textStrokes(ctx, index, texts, area, tool);
  }
  for (auto& [width, tool] : byWidth) job.tools.push_back(std::move(tool));
}

// The plotter: pen position and state, in world units.
class TTech {
 public:
  explicit TTech(bool mirror) : mirror_(mirror) {}
  void tool(int32_t size) {
    if (down_) put("PU;");
    down_ = false;
    size_ = size;
    put("TC" + std::to_string(thousandths(size)) + ";");
  }
  void moveTo(double x, double y, bool draw) {
    const bool lift = !draw;
    put((lift ? "PU" : "PD") + std::to_string(thousandths(x)) + "," + std::to_string(thousandths(mirror_ ? -y : y)) +
        ";");
    down_ = !lift;
    x_ = x, y_ = y;
  }
  void drill(Pt p) {
    moveTo(p.x, p.y, false);
    put("PP;");
  }
  void path(const PlotPath& p, bool reversible) {
    std::vector<WorldPoint> pts = flattenPath(p, kMaxChord);
    if (pts.empty()) return;
    if (reversible && distance(pts.back()) < distance(pts.front())) std::reverse(pts.begin(), pts.end());
    // The pen lifts to reach a start farther than the tool size.
    const double far = distance(pts.front());
    if (far > 0 || !down_) moveTo(pts.front().x, pts.front().y, down_ && far <= size_);
    for (size_t i = 1; i < pts.size(); ++i) moveTo(pts[i].x, pts[i].y, true);
  }
  std::string finish() {
    put("PU0,0;");
    text_ += '\x1a';
    return text_;
  }

 private:
  static long thousandths(double v) { return std::lround(v * 1000 / 65536); }
  double distance(const WorldPoint& p) const { return std::fabs(p.x - x_) + std::fabs(p.y - y_); }
  void put(const std::string& command) { text_ += command + "\r\n"; }
  bool mirror_;
  bool down_ = false;
  double x_ = 0, y_ = 0;
  int32_t size_ = 0;
  std::string text_;
};

bool singleStep(const PlotPath& p) { return p.steps.size() == 1 && !p.closed; }

}  // namespace

MillJob millJob(const Context& ctx, MillRow row, int layer, const FloodRegion& region) {
  MillJob job;
  job.row = row;
  ItemIndex index;
  index.build(ctx);
  const Box area = region.box().grown(2);
  if (row == MillRow::Drill)
    drillTools(ctx, index, area, job);
  else
    pathTools(ctx, index, layer, area, job);
  return job;
}

std::string ttechCommands(const MillJob& job) {
  TTech plot(job.mirror);
  for (const MillTool& t : job.tools) {
    plot.tool(t.size);
    for (const Pt& p : t.hits) plot.drill(p);
    for (const PlotPath& p : t.paths) plot.path(p, singleStep(p));
  }
  return plot.finish();
}

std::vector<std::string> defaultMillNames(const std::string& designPath, const std::string& extension) {
  const size_t slash = designPath.rfind('/');
  std::string stem = designPath.substr(slash == std::string::npos ? 0 : slash + 1);
  stem = stem.substr(0, std::min(stem.find('.'), size_t{6}));
  std::vector<std::string> names;
  for (const char c : {'d', 't', 'b', 'r'}) {
    std::string name = stem;
    name += '-';
    name += c;
    name += extension;
    names.push_back(std::move(name));
  }
  return names;
}

int isolationOutput(Context& ctx, const FloodRegion& region) {
  const FloodState& s = ctx.flood;
  for (int i = 0; i < 4; ++i) {
    const IsolationRow& row = s.rows[static_cast<size_t>(i)];
    if (row.fileName.empty()) continue;
    MillJob job = millJob(ctx, static_cast<MillRow>(i), row.sourceLayer, region);
    job.mirror = row.mirror;
    std::string path = s.outputPath;
    if (!path.empty() && path.back() != '/') path += '/';
    path += row.fileName;
    const std::string bytes =
        s.format == MillFormat::GCode ? gcodeProgram(job, s.gcode, row.fileName) : ttechCommands(job);
    FileSink out(path);
    if (!out.open() || !out.write(bytes.data(), bytes.size()) || !out.finish()) {
      out.abort();
      ctx.host->messageBox("TRELMO'98", "Unable to create output file.");
      return 0;
    }
  }
  return 1;
}

}  // namespace trelmo::flood
