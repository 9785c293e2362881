// Signal Image (NM): the hilighted signal drawn into a bitmap file beside
// the design, named after the signal.
#include <algorithm>
#include <map>

#include "context.h"
#include "database/design_files.h"
#include "database/geometry.h"
#include "database/signals.h"
#include "nets/connectivity.h"
#include "nets/net_functions.h"
#include "output/bmp_writer.h"
#include "output/byte_sink.h"
#include "output/plot_frame.h"
#include "output/plot_raster.h"
#include "output/plot_scene.h"
#include "shell/dialog_values.h"

namespace trelmo {

namespace {

constexpr double kImageDpi = 200;

}  // namespace

DialogBox signalDisplayBox(const Context&) {
  DialogBox box;
  box.name = "SignalDisplayBox";
  box.title = "Signal Image Display";
  box.fields.push_back(labelField("file", ""));
  return box;
}

std::string signalImagePath(const Context& ctx, Handle signal) {
  const std::string design = ctx.current != kNull ? filePath(ctx, ctx.current) : std::string();
  const size_t slash = design.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : design.substr(0, slash + 1);
  return folder + signalName(ctx, signal) + ".bmp";
}

bool signalImage(Context& ctx) {
  const Handle signal = ctx.nets.currentSignal;
  if (ctx.current == kNull || signal == kNull) {
    ctx.host->sound(Sound::Beep);
    return false;
  }
  // The hilighted items, layer by layer in plot order.
  std::map<int, std::vector<Handle>> byLayer;
  Connectivity net(ctx);
  for (int i = 0; i < net.index().size(); ++i) {
    const Handle h = net.index()[i].item;
    if (ctx.rec(h).hilighted()) byLayer[ctx.rec(h).layer].push_back(h);
  }
  PlotScene scene;
  double box[4] = {0, 0, 0, 0};
  bool any = false;
  for (const PlotSlot& s : plotOrderTable(ctx.params)) {
    auto it = byLayer.find(s.layer);
    if (it == byLayer.end()) continue;
    PlotLayer layer;
    layer.layer = s.layer;
    layer.slot = s.slot;
    layer.colour = ctx.params.layers[s.layer].plotColor & 0xFFFFFF;
    for (Handle h : it->second) {
      PlotItem item;
      if (!plotItemPaths(ctx, h, 0, item)) continue;
      if (!any) std::copy(item.box, item.box + 4, box);
      box[0] = std::min(box[0], item.box[0]), box[1] = std::min(box[1], item.box[1]);
      box[2] = std::max(box[2], item.box[2]), box[3] = std::max(box[3], item.box[3]);
      any = true;
      layer.items.push_back(std::move(item));
    }
    scene.layers.push_back(std::move(layer));
  }
  if (!any) {
    ctx.host->sound(Sound::Beep);
    return false;
  }
  const int32_t window[4] = {clamp32(static_cast<int64_t>(box[0])), clamp32(static_cast<int64_t>(box[1])),
                             clamp32(static_cast<int64_t>(box[2]) + 1), clamp32(static_cast<int64_t>(box[3]) + 1)};
  const std::string path = signalImagePath(ctx, signal);
  PlotPage page;
  FileSink sink(path);
  bool written = windowPage(window, kImageDpi, page) && sink.open();
  if (written) {
    PlotFrame frame = plotFrame(window, 0, 65536, page);
    frame.image = {0, 0, page.width - 1, page.height - 1};
    BmpWriter writer(sink, 24);
    PlotControl control;
    written = writer.begin(page.width, page.height, kImageDpi) &&
              renderBands(scene, frame, writer, control, true) == PlotResult::Done && sink.finish();
  }
  if (!written) {
    sink.abort();
    ctx.host->messageBox("File Open Error", "The status/log file \"" + path +
                                                "\" cannot\nbe opened for output.\n\nPlease insure that you have "
                                                "write access for this path.");
    return false;
  }
  DialogBox shown = signalDisplayBox(ctx);
  shown.field("file")->label = path;
  shown.field("file")->value = path;
  ctx.host->runDialog(shown);
  return true;
}

}  // namespace trelmo
