// The setup a photo-plot or drill file starts with, and the layer that
// receives a photo-plot file's data.
#include <cctype>
#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
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

void describeLayer(Context& ctx, int layer, std::string_view fileFunction) {
  const std::vector<std::string> f = attributeFields(fileFunction);
  auto at = [&](size_t i) { return i < f.size() ? f[i] : std::string(); };
  const std::string kind = at(0);
  const bool bottom = at(1) == "Bot" || at(2) == "Bot";
  const char* side = bottom ? "Bottom " : "Top ";
  std::string name;
  uint8_t type = kDrawing;
  if (kind == "Copper") {
    const bool plane = at(3) == "Plane";
    type = plane ? kPlane : kCopper;
    name = at(2) == "Inr" ? std::string(plane ? "Plane " : "Copper ") + at(1) : side + std::string("Copper");
  } else if (kind == "Soldermask") {
    type = kMask, name = side + std::string("Mask");
  } else if (kind == "Paste") {
    type = kPaste, name = side + std::string("Paste");
  } else if (kind == "Legend") {
    type = kSilk, name = side + std::string("Silk");
  } else if (kind == "Drillmap") {
    type = kSymbols, name = "Drill Map";
  } else if (!kind.empty()) {
    name = kind;
  }
  if (name.empty()) return;
  if (bottom && type != kDrawing && type != kSymbols) type |= kBottomSide;
  for (char& c : name)
    if (c == ';' || static_cast<unsigned char>(c) < ' ') c = '_';
  if (name.size() > kLayerNameMax) name.resize(kLayerNameMax);
  parseOptionV3(ctx, "-y" + std::to_string(layer) + ":" + std::to_string(layer % 16) + ",0," + name);
  LayerEntry& entry = ctx.params.layers[layer & 255];
  entry.type = type;
  entry.plotColor = 0;
}

void negativeLayer(Context& ctx, int layer) {
  LayerEntry& entry = ctx.params.layers[layer & 255];
  if (entry.kind() == kCopper) entry.type = static_cast<uint8_t>((entry.type & ~kLayerKindMask) | kPlane);
}

std::vector<std::string> attributeFields(std::string_view text) {
  std::vector<std::string> out(1);
  for (size_t i = 0; i < text.size() && out.size() <= 64; ++i) {
    const char c = text[i];
    if (c == ',') {
      out.emplace_back();
    } else if (c == '\\' && i + 5 < text.size() && (text[i + 1] == 'u' || text[i + 1] == 'U')) {
      unsigned code = 0;
      bool ok = true;
      for (size_t k = i + 2; k < i + 6; ++k) {
        const char h = text[k];
        ok &= std::isxdigit(static_cast<unsigned char>(h)) != 0;
        code = code * 16 +
               static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : (h | 32) - 'a' + 10);
      }
      if (!ok) {
        out.back() += c;
        continue;
      }
      i += 5;
      switch (code) {
        case 0xB0:
          out.back() += static_cast<char>(kDegree);
          break;
        case 0xB5:
          out.back() += static_cast<char>(kMicro);
          break;
        case 0xBD:
          out.back() += static_cast<char>(kHalf);
          break;
        case 0xBC:
          out.back() += static_cast<char>(kQuarter);
          break;
        case 0x3A9:
          out.back() += static_cast<char>(kOhm);
          break;
        default:
          out.back() += code >= 32 && code < 127 ? static_cast<char>(code) : '?';
      }
    } else {
      out.back() += c;
    }
  }
  if (out.size() == 1 && out[0].empty()) out.clear();
  return out;
}

}  // namespace trelmo
