// The Block menu: defining and releasing the block, its outline, the layer
// and factor boxes, the mirror keys, and the family that arms the target
// click of move, copy and compare.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "context.h"
#include "database/design_files.h"
#include "edit/block.h"
#include "edit/block_boxes.h"
#include "edit/block_functions.h"
#include "edit/edit_functions.h"
#include "edit/grab.h"
#include "edit/place_geometry.h"
#include "edit/undo.h"
#include "screen/view.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/menu_state.h"
#include "shell/messages.h"
#include "shell/settings.h"

namespace trelmo {

namespace {

constexpr int kBlockDefined = 0x922;
constexpr int kMustBeDefined = 0x928;
constexpr int kMustRelease = 0x929;
constexpr const char* kFirstCorner = "Block Rectangle:  Select first corner point.";
constexpr const char* kSecondCorner = "Block Rectangle:  Select second corner point.";
constexpr const char* kReference = "Block Rectangle:  Select source reference point.";

void setPrompt(Context& ctx, const std::string& text) {
  ctx.shell.stagePrompt = text;
  showStatus(ctx, text, 0);
}

void clearHooks(Context& ctx) {
  ctx.shell.acceptHooks[0] = nullptr;
  ctx.shell.cancelHooks[0] = nullptr;
  ctx.shell.stagePrompt.clear();
}

void rubberOff(Context& ctx) {
  if (!ctx.screen.rubber.on) return;
  ctx.screen.rubber.on = false;
  ctx.host->showCrossHair(ctx.shell.crossHairMode);
}

// ------------------------------------------------------------- the outline

bool outlineVisible(const Context& ctx, const BlockDefinition& b) {
  return b.file != kNull && b.file == ctx.current && (b.stage == 0 || b.stage == 4);
}

// One edge in pixels: solid, or dashed 8 on and 8 off from the phase.
void edge(Surface& sf, uint32_t pixel, int64_t x1, int64_t y1, int64_t x2, int64_t y2, int phase) {
  if (phase < 0) return sf.line(pixel, x1, y1, x2, y2);
  const int64_t steps = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
  if (steps > (int64_t{1} << 20)) return sf.line(pixel, x1, y1, x2, y2);  // far off the view: no dashes
  for (int64_t t = 0; t <= steps; t += 8) {
    if (((t / 8 + phase / 4) & 1) != 0) continue;
    const int64_t e = std::min(steps, t + 7);
    auto at = [&](int64_t s, int64_t a, int64_t b) { return steps == 0 ? a : a + (b - a) * s / steps; };
    sf.line(pixel, at(t, x1, x2), at(t, y1, y2), at(e, x1, x2), at(e, y1, y2));
  }
}

void drawOutline(Context& ctx, const BlockDefinition& b, int phase) {
  Surface& sf = ctx.screen.surface;
  if (!sf.valid()) return;
  std::vector<int32_t> v = b.region.polygon;
  if (v.empty())
    v = {b.region.x0, b.region.y0, b.region.x1, b.region.y0, b.region.x1, b.region.y1, b.region.x0, b.region.y1};
  const View& view = ctx.view;
  const uint32_t pixel = ctx.screen.xorPixel | 0x80000000u;
  const size_t n = v.size() / 2;
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    edge(sf, pixel, worldToPixelX(view, v[2 * i]), worldToPixelY(view, v[2 * i + 1]), worldToPixelX(view, v[2 * j]),
         worldToPixelY(view, v[2 * j + 1]), phase);
  }
}

int outlinePhase(const Context& ctx) {
  return ctx.shell.prefs.animatedBlockPerimeter ? (ctx.shell.blockPhase & 15) : -1;
}

void perimeterStep(Context& ctx) {
  BlockDefinition* b = blockOf(ctx);
  if (!b || !outlineVisible(ctx, *b) || !ctx.screen.surface.valid()) return;
  ctx.screen.surface.setClip(ctx.view.area);
  drawOutline(ctx, *b, b->outlinePhase);
  b->outlinePhase = static_cast<uint8_t>(ctx.shell.blockPhase & 15);
  drawOutline(ctx, *b, b->outlinePhase);
  ctx.host->showSurface();
}

// ---------------------------------------------------------- the definition

bool startDefinition(Context& ctx, uint16_t code, int source) {
  if (ctx.current == kNull) {
    ctx.host->sound(Sound::Beop);
    return false;
  }
  BlockDefinition& b = *blockOf(ctx);
  if (b.file != kNull && b.file != ctx.current) {
    showMessage(ctx, kMustRelease);
    return false;
  }
  if (b.file != kNull) releaseBlock(ctx);
  dropGrabList(ctx);
  b.angle = 0;
  b.scale = 65536;
  b.mode = source == kFromMacro ? kBlockDefineThenMove : 0;
  b.layers = defaultBlockLayers(ctx.params);
  b.region = {};
  b.file = ctx.current;
  b.path = filePath(ctx, ctx.current);
  ctx.shell.currentFunction = code;
  return true;
}

void cancelDefinition(Context& ctx) {
  clearHooks(ctx);
  rubberOff(ctx);
  releaseBlock(ctx);
  restoreStatusBar(ctx);
}

void armTarget(Context& ctx, uint8_t armed);

void referencePoint(Context& ctx) {
  BlockDefinition& b = *blockOf(ctx);
  clearHooks(ctx);
  b.sourceX = ctx.view.cursorX, b.sourceY = ctx.view.cursorY;
  b.stage = 0;
  restoreStatusBar(ctx);
  showMessage(ctx, kBlockDefined);
  if (b.mode & kBlockDefineThenMove) armTarget(ctx, kBlockMoveArmed);
}

// The region is fixed: its outline shows and the reference point is asked.
void regionFixed(Context& ctx) {
  BlockDefinition& b = *blockOf(ctx);
  b.stage = 4;
  b.outlinePhase = static_cast<uint8_t>(std::max(outlinePhase(ctx), 0));
  if (ctx.screen.surface.valid()) {
    ctx.screen.surface.setClip(ctx.view.area);
    drawOutline(ctx, b, outlinePhase(ctx));
    ctx.host->showSurface();
  }
  setPrompt(ctx, kReference);
  ctx.shell.acceptHooks[0] = referencePoint;
  ctx.shell.cancelHooks[0] = cancelDefinition;
}

void secondCorner(Context& ctx) {
  BlockDefinition& b = *blockOf(ctx);
  rubberOff(ctx);
  const int32_t x = ctx.view.cursorX, y = ctx.view.cursorY;
  b.region.x0 = std::min(b.cornerX, x), b.region.x1 = std::max(b.cornerX, x);
  b.region.y0 = std::min(b.cornerY, y), b.region.y1 = std::max(b.cornerY, y);
  b.region.polygon.clear();
  regionFixed(ctx);
}

void firstCorner(Context& ctx) {
  BlockDefinition& b = *blockOf(ctx);
  b.cornerX = ctx.view.cursorX, b.cornerY = ctx.view.cursorY;
  b.stage = 2;
  ctx.screen.rubber = {true, b.cornerX, b.cornerY};
  ctx.host->showCrossHair(true);
  setPrompt(ctx, kSecondCorner);
  ctx.shell.acceptHooks[0] = secondCorner;
}

void defineRectangle(Context& ctx, uint16_t code, int source) {
  if (!startDefinition(ctx, code, source)) return;
  blockOf(ctx)->stage = 1;
  setPrompt(ctx, kFirstCorner);
  ctx.shell.acceptHooks[0] = firstCorner;
  ctx.shell.cancelHooks[0] = cancelDefinition;
}

void polygonPrompt(Context& ctx) {
  static const char* const kPrompts[4] = {
      "Define Polygon:  Select first point.", "Define Polygon:  Select second point.",
      "Define Polygon:  Select third point.", "Define Polygon:  Select additional points."};
  const size_t n = blockOf(ctx)->region.polygon.size() / 2;
  setPrompt(ctx, kPrompts[std::min<size_t>(n, 3)]);
}

void polygonPoint(Context& ctx) {
  std::vector<int32_t>& v = blockOf(ctx)->region.polygon;
  const int32_t x = ctx.view.cursorX, y = ctx.view.cursorY;
  if (v.size() >= 2 && samePoint(v[v.size() - 2], v.back(), x, y))
    v.resize(v.size() - 2);
  else if (v.size() < size_t{2} * 65536)
    v.push_back(x), v.push_back(y);
  polygonPrompt(ctx);
}

// Escape with three points or more closes the polygon.
void polygonEnd(Context& ctx) {
  BlockDefinition& b = *blockOf(ctx);
  std::vector<int32_t>& v = b.region.polygon;
  if (v.size() < 6) return cancelDefinition(ctx);
  b.region.x0 = b.region.x1 = v[0], b.region.y0 = b.region.y1 = v[1];
  for (size_t i = 0; i + 1 < v.size(); i += 2) {
    b.region.x0 = std::min(b.region.x0, v[i]), b.region.x1 = std::max(b.region.x1, v[i]);
    b.region.y0 = std::min(b.region.y0, v[i + 1]), b.region.y1 = std::max(b.region.y1, v[i + 1]);
  }
  regionFixed(ctx);
}

void definePolygon(Context& ctx, uint16_t code, int source) {
  if (!startDefinition(ctx, code, source)) return;
  blockOf(ctx)->stage = 3;
  polygonPrompt(ctx);
  ctx.shell.acceptHooks[0] = polygonPoint;
  ctx.shell.cancelHooks[0] = polygonEnd;
}

// ------------------------------------------------------- armed functions

const char* armedPrompt(uint8_t armed) {
  switch (armed) {
    case kBlockMoveArmed:
      return "Block Move:  Select target reference point.";
    case kBlockCopyArmed:
      return "Block Copy:  Select target reference point.";
    default:
      return "Block Hilight Mismatches:  Select target reference point.";
  }
}

void disarm(Context& ctx) {
  BlockDefinition& b = *blockOf(ctx);
  b.mode &= static_cast<uint8_t>(~(kBlockArmedMask | kBlockDefineThenMove));
  clearHooks(ctx);
  restoreStatusBar(ctx);
}

void targetClick(Context& ctx) {
  BlockDefinition& b = *blockOf(ctx);
  const uint8_t armed = b.mode & kBlockArmedMask;
  disarm(ctx);
  if (b.file == kNull || b.stage != 0) return;
  b.targetX = ctx.view.cursorX, b.targetY = ctx.view.cursorY;
  if (armed == kBlockCompareArmed) return blockCompare(ctx);
  blockMoveOrCopy(ctx, armed == kBlockCopyArmed);
}

void armTarget(Context& ctx, uint8_t armed) {
  BlockDefinition& b = *blockOf(ctx);
  b.mode = static_cast<uint8_t>((b.mode & (kBlockMirrorX | kBlockMirrorY)) | armed);
  setPrompt(ctx, armedPrompt(armed));
  ctx.shell.acceptHooks[0] = targetClick;
  ctx.shell.cancelHooks[0] = disarm;
}

// Every function but the definitions needs a block (in any file).
bool needBlock(Context& ctx) {
  const BlockDefinition* b = blockOf(ctx);
  if (b && b->file != kNull && b->stage == 0) return true;
  showMessage(ctx, kMustBeDefined);
  return false;
}

void toggleMirror(Context& ctx, uint8_t bit) {
  BlockDefinition& b = *blockOf(ctx);
  if (!(b.mode & kBlockArmedMask)) return ctx.host->sound(Sound::Beep);
  b.mode ^= bit;
}

void togglePerimeter(Context& ctx) {
  const BlockDefinition* b = blockOf(ctx);
  if (b && outlineVisible(ctx, *b)) return;
  Preferences& p = ctx.shell.prefs;
  p.animatedBlockPerimeter = !p.animatedBlockPerimeter;
  ctx.shell.blockPhase = p.animatedBlockPerimeter ? 0 : 0x80;
  ctx.host->writeSetting("Animated Block Perimeter", flagText(p.animatedBlockPerimeter));
}

void blockFamily(Context& ctx, uint16_t code, int source) {
  const char m = memberOf(code);
  if (m == 'G') return defineRectangle(ctx, code, source);
  if (m == 'I') return definePolygon(ctx, code, source);
  if (m == 'P') return togglePerimeter(ctx);
  if (!needBlock(ctx)) return;
  const bool purge = m == 'M' || m == 'C' || m == 'D' || m == 'U' || m == 'H' || m == 'B' || m == 'N';
  if (purge && !autoPurgeRedo(ctx)) return;
  switch (m) {
    case 'E':
      return releaseBlock(ctx);
    case 'M':
    case 'C':
    case 'H':
      if (dropGrabList(ctx)) return;
      ctx.shell.currentFunction = code;
      return armTarget(ctx, m == 'M' ? kBlockMoveArmed : m == 'C' ? kBlockCopyArmed : kBlockCompareArmed);
    case 'D':
    case 'U':
      return blockDelete(ctx, m == 'U');
    case 'B':
    case 'N':
      return blockBuild(ctx, m == 'N');
    case 'L':
      askBlockLayers(ctx);
      return;
    case 'R':
      askBlockRotation(ctx);
      return;
    case 'X':
      return toggleMirror(ctx, kBlockMirrorX);
    case 'Y':
      return toggleMirror(ctx, kBlockMirrorY);
    default:
      return ctx.host->sound(Sound::Beop);
  }
}

int menuBlockState(const Context& ctx) {
  const BlockDefinition* b = blockOf(ctx);
  if (ctx.current == kNull) return static_cast<int>(BlockState::NoFile);
  if (!b || b->file == kNull || b->stage != 0) return static_cast<int>(BlockState::NoBlock);
  return static_cast<int>(b->file == ctx.current ? BlockState::InCurrentFile : BlockState::InOtherFile);
}

}  // namespace

void xorBlockOutline(Context& ctx) {
  const BlockDefinition* b = blockOf(ctx);
  if (b && outlineVisible(ctx, *b)) drawOutline(ctx, *b, outlinePhase(ctx) < 0 ? -1 : b->outlinePhase);
}

void releaseBlock(Context& ctx) {
  BlockDefinition* b = blockOf(ctx);
  if (!b) return;
  if (outlineVisible(ctx, *b) && ctx.screen.surface.valid()) {
    ctx.screen.surface.setClip(ctx.view.area);
    xorBlockOutline(ctx);
    ctx.host->showSurface();
  }
  b->file = kNull;
  b->region = {};
  b->mode = 0;
  b->stage = 0;
}

void installBlockFunctions(Context& ctx) {
  ctx.edit.block = std::make_shared<BlockDefinition>();
  for (char m : {'G', 'I', 'P', 'E', 'M', 'C', 'D', 'U', 'H', 'B', 'N', 'L', 'R', 'X', 'Y'})
    registerFunction(ctx, fc('B', m), blockFamily);
  ctx.shell.hooks.blockState = menuBlockState;
  ctx.shell.hooks.blockPerimeter = perimeterStep;
  // The R key with a block: a quarter turn more for moves and copies.
  ctx.input.hooks.rotateBlock = [](Context& c) {
    BlockDefinition* b = blockOf(c);
    if (!b || b->file == kNull) return c.host->sound(Sound::Beep);
    b->angle = static_cast<uint16_t>(b->angle + 16384);
  };
  auto ghosts = ctx.screen.drawOverlay;
  ctx.screen.drawOverlay = [ghosts](Context& c) {
    if (ghosts) ghosts(c);
    xorBlockOutline(c);
  };
}

}  // namespace trelmo
