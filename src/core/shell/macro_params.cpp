#include <algorithm>
#include <cstring>

#include "context.h"
#include "database/options.h"
#include "shell/function_codes.h"
#include "shell/macro.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr size_t kPinNameMax = 23;

std::string_view trimmed(std::string_view v) {
  while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
  while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
  return v;
}

// A length in the current units: millimetres when the file shows them,
// otherwise inches (with a point) or mils (without).
int32_t length(const Context& ctx, std::string_view v) {
  NumberReader r{trimmed(v)};
  if (ctx.params.units < 0) return mmToInch(r.plainNumber());
  return r.dimension();
}

uint16_t size16(const Context& ctx, std::string_view v) {
  return static_cast<uint16_t>(std::clamp<int32_t>(length(ctx, v), 0, 65535));
}

uint16_t angle(std::string_view v) {
  NumberReader r{trimmed(v)};
  return r.angle();
}

// A layer by its name or its number; -1 when there is no such layer.
int layerByNameOrNumber(const Context& ctx, std::string_view v) {
  v = trimmed(v);
  if (v.empty()) return -1;
  if (std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return v.size() <= 3 && std::stoi(std::string(v)) <= 255 ? std::stoi(std::string(v)) : -1;
  for (int n = 0; n < 256; ++n) {
    const char* name = ctx.params.layers[n].name;
    if (std::strlen(name) == v.size() && v.compare(0, v.size(), name, v.size()) == 0) return n;
  }
  return -1;
}

bool setLayer(Context& ctx, std::string_view v) {
  const int n = layerByNameOrNumber(ctx, v);
  if (n < 0) return false;
  ctx.params.currentLayer = static_cast<uint16_t>(n);
  restoreStatusBar(ctx);
  return true;
}

bool setPadLayer(Context& ctx, std::string_view v) {
  const int n = layerByNameOrNumber(ctx, v);
  if (n < 0) return false;
  ctx.params.padLayer = static_cast<uint8_t>(n);
  return true;
}

// T0-T3 are the through-hole shapes 0-3, S0-S3 the surface-mount ones 4-7.
bool setPadType(Context& ctx, std::string_view v) {
  v = trimmed(v);
  if (v.size() < 2 || v[1] < '0' || v[1] > '9') return false;
  const char kind = static_cast<char>(v[0] & 0xDF);
  if (kind != 'T' && kind != 'S') return false;
  const uint8_t code = static_cast<uint8_t>((v[1] & 3) | (kind == 'S' ? 4 : 0));
  ctx.params.padType = static_cast<uint8_t>((ctx.params.padType & ~7) | code);
  return true;
}

void setPinName(Context& ctx, std::string_view v) {
  while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
  v = v.substr(0, std::min(v.find(' '), kPinNameMax));
  ctx.input.placement.pinName = std::string(v);
}

}  // namespace

bool setFunctionParameter(Context& ctx, uint16_t code, std::string_view value) {
  PlacementParams& pl = ctx.input.placement;
  Params& p = ctx.params;
  bool ok = true;
  switch (code) {
    case fc('L', 'Y'):
      ok = setLayer(ctx, value);
      break;
    case fc('L', 'T'):
      p.lineWidth = size16(ctx, value);
      break;
    case fc('A', 'T'):
      pl.arcWidth = size16(ctx, value);
      break;
    case fc('A', 'R'):
      pl.arcRadius = length(ctx, value);
      break;
    case fc('A', 'A'):
      pl.arcStart = angle(value);
      break;
    case fc('A', 'S'):
      pl.arcSweep = angle(value);
      break;
    case fc('A', 'E'):
      pl.arcEccentricity = NumberReader{trimmed(value)}.plainNumber();
      break;
    case fc('A', 'X'):
      pl.arcAxis = angle(value);
      break;
    case fc('P', 'P'):
      setPinName(ctx, value);
      break;
    case fc('P', 'L'):
      ok = setPadLayer(ctx, value);
      break;
    case fc('P', 'T'):
      ok = setPadType(ctx, value);
      break;
    case fc('P', 'X'):
      p.padX = size16(ctx, value);
      break;
    case fc('P', 'Y'):
      p.padY = size16(ctx, value);
      break;
    case fc('P', 'H'):
      p.padHole = size16(ctx, value);
      break;
    case fc('P', 'R'):
      pl.padRotation = angle(value);
      break;
    case fc('T', 'S'):
      p.textSize = size16(ctx, value);
      break;
    case fc('T', 'R'):
      pl.textRotation = angle(value);
      break;
    case fc('T', 'A'):
      pl.textAnchor = static_cast<uint8_t>(std::clamp(NumberReader{trimmed(value)}.integer(), 0, 15));
      break;
    case fc('T', 'M'): {
      const std::string_view v = trimmed(value);
      pl.textMirror = !v.empty() && (v[0] == 'Y' || v[0] == 'y' || v[0] == '1');
      break;
    }
    default:
      ok = false;
      break;
  }
  if (!ok) ctx.host->sound(Sound::Beep);
  return ok;
}

}  // namespace trelmo
