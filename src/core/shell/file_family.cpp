#include "context.h"
#include "shell/dispatch.h"
#include "shell/file_functions.h"
#include "shell/function_codes.h"

namespace trelmo {

void fileFamily(Context& ctx, uint16_t code, int source) {
  if (ctx.shell.hooks.releaseGrab) ctx.shell.hooks.releaseGrab(ctx);
  const char m = memberOf(code);
  if (m >= '0' && m <= '9') return fileReopen(ctx, m - '0');
  if (m >= '`' && m <= 'i') return fileRecall(ctx, m - '`');
  switch (m) {
    case 'W':
      return fileNew(ctx, source);
    case 'O':
      return fileOpen(ctx);
    case 'T':
      return fileTotalRecall(ctx);
    case 'D':
      return fileLoad(ctx);
    case 'C':
      return fileClose(ctx);
    case 'E':
      return fileErase(ctx);
    case 'S':
      if (ctx.current == kNull) return ctx.host->sound(Sound::Beep);
      saveCurrentFile(ctx);
      return;
    case 'A':
      if (ctx.current == kNull) return ctx.host->sound(Sound::Beep);
      saveCurrentFileAs(ctx);
      return;
    case 'I':
      return fileInformation(ctx);
    case 'N':
      return fileStep(ctx, 1);
    case 'V':
      return fileStep(ctx, -1);
    case 'L':
      return fileSelect(ctx);
    case 'X':
      exitProgram(ctx);
      return;
    case 'R':
      return;  // the Re-Open submenu as a whole
    default:
      ctx.host->sound(Sound::Beop);
      return;  // FG, FP, FB until their subsystems register
  }
}

}  // namespace trelmo
