// Place Component: the chosen component copied into the design at the cursor.
#include <string>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "edit/grab.h"
#include "edit/undo.h"
#include "files/item_lines.h"
#include "library/library_functions.h"
#include "library/library_listing.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

// The five fields joined by byte 127, trailing empty fields left off.
std::string parameterText(const LibraryState& lib) {
  size_t used = lib.fields.size();
  while (used > 1 && lib.fields[used - 1].empty()) --used;
  std::string text;
  for (size_t i = 0; i < used; ++i) {
    if (i) text += static_cast<char>(kFieldSeparator);
    text += toInternal(lib.fields[i]);
  }
  return text;
}

// Texts that show an attribute ("&" and a digit) get the length of what they
// show, so that their boxes and hit tests fit.
void fitAttributeTexts(Context& ctx, Handle ring, const std::string& params) {
  const std::vector<std::string> fields = splitAttributes(params);
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    Record& r = ctx.rec(h);
    if (r.type() != kText) continue;
    const std::string s = readText(ctx, h);
    if (s.size() != 2 || s[0] != '&' || s[1] < '0' || s[1] > '4') continue;
    const int32_t length = textLengthOf(fields[static_cast<size_t>(s[1] - '0')], r.size);
    r.w3 = item::textLength(r) < 0 ? -length : length;
  }
}

}  // namespace

bool placeLoadedComponent(Context& ctx) {
  LibraryState& lib = ctx.library;
  const Handle scratch = lib.loaded;
  if (ctx.current == kNull || scratch == kNull || ctx.rec(scratch).next == scratch) {
    ctx.host->sound(Sound::Beep);
    return false;
  }
  const Handle source = ctx.rec(scratch).next;
  if (ctx.rec(source).type() != kComponent || !ctx.pool.valid(ctx.rec(source).ext)) {
    ctx.host->sound(Sound::Beep);
    return false;
  }
  const std::string params = parameterText(lib);
  if (!storeText(ctx, ctx.rec(source).ext, params)) return false;
  fitAttributeTexts(ctx, ctx.rec(source).ext, params);
  // Written as item lines and read back at the cursor, the component's
  // origin on the cursor.
  const Record& origin = ctx.rec(ctx.rec(source).ext);
  std::string lines;
  componentAsItemLines(ctx, source, lines, origin.x1, origin.y1);
  const Handle file = ctx.current;
  const Handle before = ctx.rec(file).prev;
  if (!parseItemText(ctx, file, lines, ctx.view.cursorX, ctx.view.cursorY)) {
    // What was read before the pool ran out goes again.
    while (ctx.rec(file).prev != before) freeItemDeeply(ctx, ctx.rec(file).prev);
    ctx.host->sound(Sound::Beop);
    return false;
  }
  const Handle header = ctx.rec(file).prev;
  if (header == before || ctx.rec(header).type() != kComponent) return false;
  if (!grabItem(ctx, header, kGrabNewWhole)) {
    freeItemDeeply(ctx, header);
    return false;
  }
  setGrabReference(ctx);
  showGrab(ctx);
  return true;
}

}  // namespace trelmo
