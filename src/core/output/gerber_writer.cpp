#include "output/gerber_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "context.h"
#include "database/chains.h"
#include "database/signals.h"
#include "output/gerber_format.h"
#include "output/plot_scene.h"

namespace trelmo {

namespace {

constexpr double kThinnest = 65536.0 / 1000;  // one mil: the smallest draw aperture
constexpr double kSymbolSize = 0.06 * 65536, kSymbolPen = 0.005 * 65536;
constexpr int kMaxNesting = 64;

bool drilled(const Record& r) {
  const uint8_t t = item::padType(r);
  return r.type() == kPad && !(t & item::kSurfaceMount) && t != item::kSchematicPin && item::padHole(r) > 0;
}
bool throughHole(const Record& r) {
  const uint8_t t = item::padType(r);
  return r.type() == kPad && !(t & item::kSurfaceMount) && t != item::kSchematicPin && t != item::kSchematicDot;
}
bool nonPlated(const Record& r) { return item::padHole(r) >= std::min(item::padX(r), item::padY(r)); }

// Every visible item of the current file with the reference of the
// component it belongs to.
template <class Visit>
void walkItems(const Context& ctx, Handle ring, const std::string& ref, int depth, Visit& visit) {
  int guard = 0;
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull && ctx.pool.valid(h) && guard < (1 << 26);
       h = ctx.rec(h).next, ++guard) {
    const Record& r = ctx.rec(h);
    if (r.hidden()) continue;
    if (r.type() == kComponent && depth < kMaxNesting && ctx.pool.valid(r.ext) && ctx.rec(r.ext).type() == kSentinel) {
      const std::string params = readText(ctx, r.ext);
      const size_t a = params.find(static_cast<char>(kFieldSeparator));
      std::string own;
      if (a != std::string::npos) {
        const size_t b = params.find(static_cast<char>(kFieldSeparator), a + 1);
        own = params.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
      }
      walkItems(ctx, r.ext, own, depth + 1, visit);
      continue;
    }
    if (r.type() >= kLine && r.type() <= kText) visit(h, ref);
  }
}

class GerberBuilder {
 public:
  GerberBuilder(const Context& ctx, const GerberFileJob& job) : ctx_(ctx), job_(job), g_(job) {}

  void collect() {
    auto visit = [&](Handle h, const std::string& ref) { item(h, ref); };
    if (ctx_.current != kNull) walkItems(ctx_, ctx_.current, std::string(), 0, visit);
    if (job_.kind == kGerberSymbols) drillSymbols();
  }
  GerberImage& image() { return g_; }

 private:
  bool onLayers(const Record& r) const { return job_.layers.test(r.layer); }
  bool copperFile() const { return job_.kind == kGerberCopper || job_.kind == kGerberPlane; }

  ObjectAttributes attributes(Handle h, const std::string& ref, bool flash) const {
    ObjectAttributes a;
    if (!copperFile() || job_.outline) return a;
    a.net = itemSignal(ctx_, h);
    a.component = ref;
    if (flash && !ref.empty()) {
      const std::string pin = pinName(ctx_, h);
      if (!pin.empty() && pin != "0") a.pin = gerberString(ref) + "," + gerberString(pin);
    }
    return a;
  }

  // The grow of a pad in this file, or false when it is not in it.
  bool padGrow(const Record& r, int32_t& grow) const {
    grow = 0;
    const uint8_t t = item::padType(r);
    const LayerEntry& own = ctx_.layer(r.layer);
    const bool sameSideSmt = (t & item::kSurfaceMount) && own.kind() == kCopper && own.bottom() == job_.bottom;
    switch (job_.outline ? -1 : job_.kind) {
      case kGerberCopper:
        return throughHole(r) || onLayers(r);
      case kGerberMask:
        grow = ctx_.params.maskSwell;
        return t == item::kOvalThru || t == item::kRectThru || sameSideSmt || onLayers(r);
      case kGerberPaste:
        grow = -ctx_.params.pasteShrink;
        return sameSideSmt || onLayers(r);
      default:
        return onLayers(r);
    }
  }

  void pad(Handle h, const Record& r, const std::string& ref) {
    if (job_.kind == kGerberPlane && !job_.outline) return planeClearance(h, r);
    int32_t grow = 0;
    if (!padGrow(r, grow)) return;
    std::string function;
    if (copperFile())
      function = item::padType(r) == item::kRoundVia        ? "ViaPad"
                 : (item::padType(r) & item::kSurfaceMount) ? "SMDPad,CuDef"
                                                            : "ComponentPad";
    g_.flash(r, grow, function, attributes(h, ref, true));
  }

  // Planes are negative: a clearance for every through-hole pad that is not
  // on a signal of the plane, and around the holes of unplated holes.
  void planeClearance(Handle h, const Record& r) {
    if (!throughHole(r)) {
      if (onLayers(r)) g_.flash(r, 0, "", {});
      return;
    }
    const std::string net = itemSignal(ctx_, h);
    const bool connected = !net.empty() && planeNets().count(net) > 0;
    if (drilled(r) && nonPlated(r)) {
      g_.disc(r.x1, r.y1, item::padHole(r) + double(ctx_.params.planeHoleSwell));
    } else if (!connected) {
      g_.disc(r.x1, r.y1, std::max(item::padX(r), item::padY(r)) + double(ctx_.params.planeSwell));
    }
  }

  const std::map<std::string, int>& planeNets() {
    if (!planeNetsKnown_) {
      auto visit = [&](Handle h, const std::string&) {
        if (onLayers(ctx_.rec(h))) {
          const std::string n = itemSignal(ctx_, h);
          if (!n.empty()) planeNets_[n] = 1;
        }
      };
      walkItems(ctx_, ctx_.current, std::string(), 0, visit);
      planeNetsKnown_ = true;
    }
    return planeNets_;
  }

  void item(Handle h, const std::string& ref) {
    const Record& r = ctx_.rec(h);
    if (r.type() == kPad) return pad(h, r, ref);
    if (!onLayers(r)) return;
    PlotItem it;
    if (!plotItemPaths(ctx_, h, 0, it)) return;
    const ObjectAttributes a = attributes(h, ref, false);
    const char* function = job_.outline ? "Profile" : copperFile() ? "Conductor" : "";
    for (const PlotPath& p : it.paths) {
      if (p.filled)
        g_.region(p, a);
      else
        g_.draw(p, std::max(p.width, kThinnest), function, a);
    }
  }

  void drillSymbols() {
    std::map<uint16_t, int> tools;
    auto count = [&](Handle h, const std::string&) {
      const Record& r = ctx_.rec(h);
      if (drilled(r)) tools[item::padHole(r)] = 0;
    };
    walkItems(ctx_, ctx_.current, std::string(), 0, count);
    int k = 0;
    for (auto& t : tools) t.second = k++;
    auto mark = [&](Handle h, const std::string&) {
      const Record& r = ctx_.rec(h);
      if (drilled(r)) symbol(r.x1, r.y1, tools[item::padHole(r)]);
    };
    walkItems(ctx_, ctx_.current, std::string(), 0, mark);
  }

  // Figures told apart by the tool: plus, cross, square, circle, triangle,
  // diamond, then the same inside a circle.
  void symbol(double x, double y, int tool) {
    const double s = kSymbolSize / 2;
    auto line = [&](std::initializer_list<WorldPoint> pts) {
      PlotPath p;
      p.x0 = x + pts.begin()->x * s, p.y0 = y + pts.begin()->y * s;
      for (auto it = pts.begin() + 1; it != pts.end(); ++it) p.lineTo(x + it->x * s, y + it->y * s);
      g_.draw(p, kSymbolPen, "", {});
    };
    auto circle = [&](double r) {
      PlotPath p;
      p.x0 = x + r * s, p.y0 = y;
      p.arcTo(x + r * s, y, x, y, 2 * M_PI);
      g_.draw(p, kSymbolPen, "", {});
    };
    switch (tool % 6) {
      case 0:
        line({{-1, 0}, {1, 0}}), line({{0, -1}, {0, 1}});
        break;
      case 1:
        line({{-0.7, -0.7}, {0.7, 0.7}}), line({{-0.7, 0.7}, {0.7, -0.7}});
        break;
      case 2:
        line({{-0.7, -0.7}, {0.7, -0.7}, {0.7, 0.7}, {-0.7, 0.7}, {-0.7, -0.7}});
        break;
      case 3:
        circle(0.7);
        break;
      case 4:
        line({{-0.8, -0.6}, {0.8, -0.6}, {0, 0.8}, {-0.8, -0.6}});
        break;
      default:
        line({{0, -1}, {1, 0}, {0, 1}, {-1, 0}, {0, -1}});
    }
    if (tool >= 6) circle(1.2);
  }

  const Context& ctx_;
  const GerberFileJob& job_;
  GerberImage g_;
  std::map<std::string, int> planeNets_;
  bool planeNetsKnown_ = false;
};

}  // namespace

bool writeGerberFile(const Context& ctx, const GerberFileJob& job, ByteSink& out, std::string* apertureList) {
  GerberBuilder b(ctx, job);
  b.collect();
  if (apertureList) *apertureList = b.image().apertureList();
  return out.write(b.image().text());
}

}  // namespace trelmo
