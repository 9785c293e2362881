// The setup a photo-plot or drill file starts with, and the layer that
// receives a photo-plot file's data.
#include <cctype>
#include <string>

#include "context.h"
#include "database/options.h"
#include "files/import/gerber_reader.h"

namespace trelmo {

namespace {

constexpr int kLastDataLayer = 254;
constexpr size_t kLayerNameTail = 19;

bool endsWithNoCase(std::string_view s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(s[s.size() - tail.size() + i])) != tail[i]) return false;
  return true;
}

}  // namespace

void applyImportSetup(Context& ctx, const char* outputEntry) {
  if (ctx.params.layers[0].name[0] != 0) return;
  parseOptionsV4(ctx, {"-gc0,0,0,0,0,0", "-gd.1,FFFFFF,909090,FFFFFF,FFFF00", "-gm3,6,3,0", "-gp7,0,1.0,0,0,0,0",
                       "-gs0.025,0,1,5,25,100", "-gx0,0,0,0", "-gz", "-y0", "-y0:00000000,00FFFFFF,0,Pad Master",
                       "-iv0,.05,.028", "-ip1,0,.1,.1,.048", "-it.048", "-dp.01,.005,.025,.025", "-dy"});
  parseOptionV4(ctx, std::string("-dy") + outputEntry);
}

std::string layerNameFromPath(std::string_view path) {
  size_t slash = path.find_last_of("/\\");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (name.size() > kLayerNameTail) name = name.substr(name.size() - kLayerNameTail);
  return std::string(name);
}

bool isCopperName(std::string_view name) {
  if (endsWithNoCase(name, ".TOP") || endsWithNoCase(name, ".BOT")) return true;
  return name.size() >= 4 && endsWithNoCase(name.substr(0, name.size() - 1), ".ML");
}

int defineDataLayer(Context& ctx, std::string_view path) {
  int n = 1;
  while (n < kLastDataLayer && !(ctx.params.layers[n].name[0] == 0 || ctx.params.layers[n].name[0] == '-')) ++n;
  std::string name = layerNameFromPath(path);
  // Separators of the option syntax would cut the name short.
  for (char& c : name)
    if (c == ';' || static_cast<unsigned char>(c) < ' ') c = '_';
  if (name.empty()) name = "Photo Plot";
  parseOptionV3(ctx, "-y" + std::to_string(n) + ":" + std::to_string(n % 16) + ",0," + name);
  LayerEntry& layer = ctx.params.layers[n];
  layer.type = isCopperName(name) ? kCopper : kDrawing;
  layer.plotColor = 0;
  return n;
}

}  // namespace trelmo
