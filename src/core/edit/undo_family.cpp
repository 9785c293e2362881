// The Un-Do menu: one event or all of them back and forth, and the purges.
#include "context.h"
#include "edit/block.h"
#include "edit/edit_functions.h"
#include "edit/grab.h"
#include "edit/place_functions.h"
#include "edit/resequence.h"
#include "edit/undo.h"
#include "library/library_functions.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"

namespace trelmo {

namespace {

constexpr const char* kPurgeUndo =
    "Are You Sure?\n\nPurging the Un-Do stack cannot be un-done.\nAll data will be lost.";
constexpr const char* kPurgeRedo =
    "Are You Sure?\n\nPurging the Re-Do stack cannot be un-done.\nAll data will be lost.";

void nothingToDo(Context& ctx, uint16_t code, int source) {
  ctx.host->sound(Sound::Beep);
  const char m = memberOf(code);
  if ((m == 'U' || m == 'E') && source != kFromMacro) ctx.shell.currentFunction = 0;
}

void purgeAsked(Context& ctx, bool redo) {
  if (!(redo ? redoAvailable(ctx) : undoAvailable(ctx))) return ctx.host->sound(Sound::Beep);
  const Answer a =
      ctx.host->question(redo ? "Re-Do Purge" : "Un-Do Purge", redo ? kPurgeRedo : kPurgeUndo, Buttons::OkCancel);
  if (a != Answer::Ok) return;
  if (redo)
    purgeRedoStack(ctx, ctx.current);
  else
    purgeUndoStack(ctx, ctx.current);
}

}  // namespace

void undoFamily(Context& ctx, uint16_t code, int source) {
  // Whatever is on the cursor goes down first, and that is all the click does.
  if (dropGrabList(ctx)) return;
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  bool done = true;
  switch (memberOf(code)) {
    case 'U':
      done = undoEvent(ctx);
      break;
    case 'A':
      done = undoAll(ctx) > 0;
      break;
    case 'E':
      done = redoEvent(ctx);
      break;
    case 'R':
      done = redoAll(ctx) > 0;
      break;
    case 'S':
      return purgeAsked(ctx, false);
    case 'P':
      return purgeAsked(ctx, true);
    default:
      return ctx.host->sound(Sound::Beop);
  }
  if (!done) nothingToDo(ctx, code, source);
}

void installEditFunctions(Context& ctx) {
  for (char m : {'U', 'A', 'E', 'R', 'S', 'P'}) registerFunction(ctx, fc('U', m), undoFamily);
  ShellHooks& h = ctx.shell.hooks;
  h.undoAvailable = [](const Context& c) { return undoAvailable(c); };
  h.redoAvailable = [](const Context& c) { return redoAvailable(c); };
  installGrabFunctions(ctx);
  installPlaceFunctions(ctx);
  installLibraryFunctions(ctx);
  installEditItemFunctions(ctx);
  installEditToolFunctions(ctx);
  installDeleteFunctions(ctx);
  installQueryFunctions(ctx);
  installBlockFunctions(ctx);
  installResequenceFunctions(ctx);
}

}  // namespace trelmo
