#include <algorithm>
#include <vector>

#include "context.h"
#include "database/design_files.h"
#include "files/import/gerber_set.h"
#include "files/item_lines.h"
#include "files/reader_chain.h"
#include "files/switch_file.h"
#include "files/writer_format.h"
#include "shell/file_functions.h"

namespace trelmo {

namespace {

constexpr size_t kMaxNesting = 64;

bool isComponentWithItems(const RecordPool& pool, const Record& r) {
  const Handle nested = r.ext;
  return nested != kNull && pool.valid(nested) && pool[nested].type() == kSentinel && pool[nested].next != nested;
}

// Every visible item of a design list as item lines: a component's header,
// its contents and its end line, nested components likewise.
std::string designAsItemLines(const Context& ctx, Handle list) {
  const RecordPool& pool = ctx.pool;
  const ItemLineStyle style;
  std::string out;
  struct Level {
    Handle ring, next;
  };
  std::vector<Level> stack{{list, pool[list].next}};
  const size_t cap = pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  for (size_t steps = 0; !stack.empty() && steps < cap; ++steps) {
    Level& level = stack.back();
    const Handle item = level.next;
    if (item == level.ring || !pool.valid(item)) {
      const Handle done = level.ring;
      stack.pop_back();
      if (!stack.empty()) appendItemLines(ctx, done, out, style);  // the component's end line
      continue;
    }
    level.next = pool[item].next;
    const Record& r = pool[item];
    const int type = r.flags & 15;  // hidden items match no type
    if (type == kComponent && isComponentWithItems(pool, r) && stack.size() < kMaxNesting) {
      appendItemLines(ctx, item, out, style);
      stack.push_back({r.ext, pool[r.ext].next});
    } else if (type >= kLine && type <= kReserved) {
      appendItemLines(ctx, item, out, style);
    }
  }
  return out;
}

}  // namespace

void fileLoad(Context& ctx) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beep);
  FileDialog box = openFileDialog(ctx, "Load");
  if (!ctx.host->chooseFile(box) || box.fileName.empty()) return;
  // Photo-plot and drill files are read straight into the design, each on a
  // layer of its own, so that a board's set loaded file by file keeps its
  // layers apart and joins its components and nets.
  const char hint = openFileHint(box.filterIndex);
  if (hint == kHintNone || hint == kHintGerber || hint == kHintExcellon) {
    const Handle list = ctx.current;
    if (loadPhotoPlot(ctx, box.fileName, hint).format != 0) {
      ctx.rec(list).size |= kFileModified;
      return currentFileChanged(ctx);
    }
  }
  // The file is read into a scratch design file of its own, so that its
  // header cannot disturb the current file's parameters; its items are then
  // copied over as item lines.
  const Handle target = ctx.current;
  const Handle scratch = newDesignFile(ctx, "\x01load " + box.fileName);
  if (scratch == kNull) return ctx.host->sound(Sound::Beep);
  const bool read = readFile(ctx, box.fileName, hint) != 0;
  const std::string items = read ? designAsItemLines(ctx, scratch) : std::string();
  switchToFile(ctx, target);
  closeDesignFile(ctx, scratch);
  if (ctx.current != target) switchToFile(ctx, target);
  if (!read || ctx.current != target) return ctx.host->sound(Sound::Beep);
  if (!parseItemText(ctx, ctx.current, items, 0, 0)) ctx.host->sound(Sound::Beop);
  ctx.rec(ctx.current).size |= kFileModified;
  currentFileChanged(ctx);
}

}  // namespace trelmo
