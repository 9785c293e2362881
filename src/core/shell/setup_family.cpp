// The Setup family: the boxes over the current file's setup parameters, the
// zero point, ortho mode, the mirror view, the screen and the options.
#include <string>

#include "context.h"
#include "database/design_files.h"
#include "edit/grab.h"
#include "edit/undo.h"
#include "files/header_writer.h"
#include "screen/mirror_view.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/messages.h"
#include "shell/setup_boxes.h"
#include "shell/setup_options.h"

namespace trelmo {

namespace {

constexpr int kMessageZeroSet = 0x822, kMessageZeroCleared = 0x823;
constexpr int kMessageOrthoOn = 0x824, kMessageOrthoOff = 0x825;

constexpr SetupBox kSetupBoxes[] = {
    {'L', setupLayersBox, applySetupLayers, true}, {'C', setupClearancesBox, applySetupClearances, true},
    {'G', gridSnapBox, applyGridSnap, true},       {'S', snapTableBox, applySnapTable, true},
    {'D', gridDotsBox, applyGridDots, true},       {'M', drawModesBox, applyDrawModes, true},
    {'B', statusBarBox, applyStatusBar, true},     {'`', screenParametersBox, applyScreenParameters, false},
};

void markModified(Context& ctx) { ctx.rec(ctx.current).size |= kFileModified; }

// SP: sets the relative zero point at the cursor, or clears it. The point is
// saved with the file.
void zeroPoint(Context& ctx) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beep);
  Params& p = ctx.params;
  if (p.zeroX == 0 && p.zeroY == 0) {
    p.zeroX = ctx.view.cursorX;
    p.zeroY = ctx.view.cursorY;
    ctx.host->sound(Sound::Peep);
    showMessage(ctx, kMessageZeroSet);
  } else {
    p.zeroX = p.zeroY = 0;
    showMessage(ctx, kMessageZeroCleared);
  }
  markModified(ctx);
}

// ST: ortho-snap on or off; the grid field shows '*' while it is on.
void orthoMode(Context& ctx) {
  View& v = ctx.view;
  v.snapMode = v.snapMode == 1 ? 0 : 1;
  showMessage(ctx, v.snapMode == 1 ? kMessageOrthoOn : kMessageOrthoOff);
}

// SW: flips the whole file over for a bottom view. The records themselves
// are mirrored, so the file counts as modified.
// It is one undo event: Un-Do Event turns the file back.
void mirrorViewFunction(Context& ctx) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  dropGrabList(ctx);
  {
    UndoTransaction t(ctx);
    t.redrawAll();
    t.modifiedRing(ctx.current);
    if (const Handle header = fileHeader(ctx, ctx.current)) t.modified(header);
    mirrorView(ctx);
  }
  markModified(ctx);
}

}  // namespace

std::span<const SetupBox> setupBoxes() { return kSetupBoxes; }

void runSetupBox(Context& ctx, const SetupBox& entry) {
  if (entry.needsFile && ctx.current == kNull) return ctx.host->sound(Sound::Beep);
  DialogBox box = entry.build(ctx);
  if (!ctx.host->runDialog(box)) return;
  // Only a change the saved file would show marks it: compare the option
  // lines before and after.
  std::string before, after;
  writeHeader(ctx, before);
  if (!entry.apply(ctx, box)) return;
  writeHeader(ctx, after);
  if (entry.needsFile && before != after) markModified(ctx);
  ctx.host->redrawView();
}

void setupFamily(Context& ctx, uint16_t code, int /*source*/) {
  const char m = memberOf(code);
  for (const SetupBox& b : kSetupBoxes)
    if (b.member == m) return runSetupBox(ctx, b);
  switch (m) {
    case 'O':
      return setupOptions(ctx);
    case 'W':
      return mirrorViewFunction(ctx);
    case 'P':
      return zeroPoint(ctx);
    case 'T':
      return orthoMode(ctx);
    default:
      // The pixel image, library, via and dimension boxes belong to their
      // subsystems, which register them.
      ctx.host->sound(Sound::Beop);
  }
}

}  // namespace trelmo
