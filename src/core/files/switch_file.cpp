#include "files/switch_file.h"

#include "context.h"
#include "database/design_files.h"
#include "database/options.h"
#include "files/writer.h"

namespace trelmo {

namespace {

// The neighbouring container header in the open-file ring, passing over the
// ring's own sentinel.
Handle neighbour(const Context& ctx, Handle header, bool forward) {
  const Handle ring = ctx.rings[kOpenFiles];
  Handle h = forward ? ctx.pool[header].next : ctx.pool[header].prev;
  if (h == ring) h = forward ? ctx.pool[ring].next : ctx.pool[ring].prev;
  return h;
}

}  // namespace

bool switchToFile(Context& ctx, Handle sentinel) {
  if (fileHeader(ctx, sentinel) == kNull) return false;
  if (sentinel == ctx.current) return true;
  const Handle old = ctx.current;
  if (old != kNull) {
    if (ctx.autosaveEnabled && fileModified(ctx.pool[old])) autosave(ctx, old);
    if (!parkParams(ctx, old)) return false;
  }
  ctx.current = sentinel;
  restoreParams(ctx, sentinel);
  return true;
}

bool switchFile(Context& ctx, int step) {
  const Handle header = fileHeader(ctx, ctx.current);
  if (header == kNull || step == 0) return false;
  const int files = openFileCount(ctx);
  if (files < 2) return false;
  const bool forward = step > 0;
  long long count = (forward ? static_cast<long long>(step) : -static_cast<long long>(step)) % files;
  Handle h = header;
  while (count-- > 0) h = neighbour(ctx, h, forward);
  if (h == header) return false;
  return switchToFile(ctx, ctx.pool[h].ext);
}

}  // namespace trelmo
