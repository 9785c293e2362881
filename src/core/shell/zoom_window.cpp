// The interactive zooms: Zoom Window's two corners, and the central point
// that ZI, ZO and ZC ask for when they come from a menu.
#include "context.h"
#include "screen/view.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/input.h"
#include "shell/messages.h"
#include "shell/zoom_boxes.h"

namespace trelmo {

namespace {

constexpr const char* kFirstCorner = "Zoom Window:  Select first corner point.";
constexpr const char* kSecondCorner = "Zoom Window:  Select second corner point";

void setPrompt(Context& ctx, const std::string& text) {
  ctx.shell.stagePrompt = text;
  showStatus(ctx, text, 0);
}

// Ends the interactive step: hooks, prompt and rubber rectangle go.
void endStep(Context& ctx) {
  ShellState& s = ctx.shell;
  s.acceptHooks[0] = nullptr;
  s.cancelHooks[0] = nullptr;
  s.stagePrompt.clear();
  if (ctx.screen.rubber.on) {
    ctx.screen.rubber.on = false;
    ctx.host->showCrossHair(s.crossHairMode);
  }
  restoreStatusBar(ctx);
}

void secondCorner(Context& ctx) {
  const RubberBand corner = ctx.screen.rubber;
  endStep(ctx);
  zoomToRectangle(ctx.view, ctx.params, corner.x, corner.y, ctx.view.cursorX, ctx.view.cursorY, true);
  ctx.host->redrawView();
}

void firstCorner(Context& ctx) {
  ctx.screen.rubber = {true, ctx.view.cursorX, ctx.view.cursorY};
  ctx.host->showCrossHair(true);  // the cross-hair becomes the rubber rectangle
  setPrompt(ctx, kSecondCorner);
  ctx.shell.acceptHooks[0] = secondCorner;
}

std::string centralPrompt(char member) {
  const char* name = member == 'I' ? "Zoom In" : member == 'O' ? "Zoom Out" : "Zoom Center";
  return std::string(name) + ":  Select central point.";
}

}  // namespace

void promptCentralPoint(Context& ctx, uint16_t code) {
  enterTrelmoMode(ctx);
  setPrompt(ctx, centralPrompt(memberOf(code)));
  ctx.shell.acceptHooks[0] = [code](Context& c) {
    endStep(c);
    executeFunction(c, code, kFromRepeat);
  };
  ctx.shell.cancelHooks[0] = endStep;
}

void startZoomWindow(Context& ctx) {
  enterTrelmoMode(ctx);
  setPrompt(ctx, kFirstCorner);
  ctx.shell.acceptHooks[0] = firstCorner;
  ctx.shell.cancelHooks[0] = endStep;
}

}  // namespace trelmo
