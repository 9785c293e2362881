// Build Component and Nest Component: the items inside the block become the
// members of a new component whose origin is the source reference point.
// The originals leave the design (removal entries) and their copies enter it
// inside the new component (an added entry), all in one undo event, so that
// Un-Do gives back the very items that were built in.
#include <array>
#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/rings.h"
#include "edit/block.h"
#include "edit/block_boxes.h"
#include "edit/block_functions.h"
#include "edit/grab.h"
#include "edit/undo.h"
#include "files/item_lines.h"
#include "library/library_listing.h"
#include "screen/view.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int kNoSelectableData = 0x924;
constexpr int kNotInThisFile = 0x925;
constexpr const char* kDissolveWarning =
    "The defined block contains pre-existing\ncomponents.  This function will dissolve\nall contained components and "
    "build their\nconstituent parts into a new component.\n\nDo you wish to proceed?";

// The items of a component's ring as item lines, nested components opened
// to their parts.
void dissolvedLines(const Context& ctx, Handle ring, std::string& out, int depth) {
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.hidden()) continue;
    if (r.type() == kComponent && ctx.pool.valid(r.ext)) {
      if (depth < 32) dissolvedLines(ctx, r.ext, out, depth + 1);
    } else {
      writeItemLine(ctx, h, out, 0, 0, false);
    }
  }
}

std::string memberLines(const Context& ctx, const std::vector<BlockMember>& inside, bool nest) {
  std::string lines;
  for (const BlockMember& m : inside) {
    const Record& r = ctx.rec(m.item);
    if (r.type() != kComponent || !ctx.pool.valid(r.ext))
      writeItemLine(ctx, m.item, lines, 0, 0, false);
    else if (nest)
      componentAsItemLines(ctx, m.item, lines, 0, 0);
    else
      dissolvedLines(ctx, r.ext, lines, 1);
  }
  return lines;
}

std::string parameterText(const std::array<std::string, 5>& fields) {
  size_t used = fields.size();
  while (used > 1 && fields[used - 1].empty()) --used;
  std::string text;
  for (size_t i = 0; i < used; ++i) {
    if (i) text += static_cast<char>(kFieldSeparator);
    text += fields[i];
  }
  return text;
}

// The new component at the end of the file: kNull (nothing left behind)
// when the pool ran out.
Handle makeComponent(Context& ctx, const BlockDefinition& b, const std::string& lines,
                     const std::array<std::string, 5>& fields, uint16_t rotation) {
  const Handle file = ctx.current;
  const auto layer = static_cast<uint8_t>(ctx.params.currentLayer & 255);
  const Handle header =
      createItem(ctx.pool, file, kComponent, layer, rotation, b.sourceX, b.sourceY, b.sourceX, b.sourceY, kNull);
  if (header == kNull) return kNull;
  const Handle ring = newComponentRing(ctx, header, b.sourceX, b.sourceY, parameterText(fields));
  if (ring == kNull || !parseItemText(ctx, ring, lines, 0, 0)) {
    freeItemDeeply(ctx, header);
    return kNull;
  }
  const ItemBox box = ringBounds(ctx.pool, ring);
  Record& h = ctx.rec(header);
  h.x1 = clamp32(box.x0), h.y1 = clamp32(box.y0), h.w3 = clamp32(box.x1), h.w4 = clamp32(box.y1);
  return header;
}

}  // namespace

void blockBuild(Context& ctx, bool nest) {
  const BlockDefinition& b = *blockOf(ctx);
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  if (b.file != ctx.current) return showMessage(ctx, kNotInThisFile);
  dropGrabList(ctx);
  View& v = ctx.view;
  v.cursorX = b.sourceX, v.cursorY = b.sourceY;
  updateCursorPixel(v);
  const std::vector<BlockMember> inside = blockMembers(ctx, b, ctx.current);
  if (inside.empty()) return showMessage(ctx, kNoSelectableData);
  bool components = false;
  for (const BlockMember& m : inside) components |= ctx.rec(m.item).type() == kComponent;
  if (!nest && components &&
      ctx.host->question("Build Component Warning", kDissolveWarning, Buttons::OkCancel) != Answer::Ok)
    return;
  std::array<std::string, 5> fields;
  uint16_t rotation = 0;
  if (!askBuildComponent(ctx, fields, rotation)) return;
  const Handle header = makeComponent(ctx, b, memberLines(ctx, inside, nest), fields, rotation);
  if (header == kNull) return ctx.host->sound(Sound::Beop);
  UndoTransaction t(ctx);
  for (const BlockMember& m : inside) t.removed(m.item);
  t.added(header);
}

}  // namespace trelmo
