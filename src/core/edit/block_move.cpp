// Block Move, Block Copy and the two block deletes. Moves and copies go
// through the grab list: what moves is grabbed, turned, scaled and mirrored
// about the source reference point, carried to the target reference point
// and dropped, so that the whole change is one undo event.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "context.h"
#include "database/design_files.h"
#include "database/rings.h"
#include "edit/block.h"
#include "edit/block_functions.h"
#include "edit/grab.h"
#include "edit/transforms.h"
#include "edit/undo.h"
#include "files/item_lines.h"
#include "library/library_listing.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int kMoveBetweenFiles = 0x926;
constexpr int kDeleteBetweenFiles = 0x927;
constexpr int kMovingStage = 5;  // the outline stays off while the items move

// Sheets of one multi-sheet schematic: equal names but for their last two
// characters, "S" third from the end of the source, "H" or a digit second
// from the end and a digit last in both.
bool sheetsOfOneSchematic(const std::string& from, const std::string& to) {
  const size_t n = from.size();
  if (n < 3 || to.size() != n || from.compare(0, n - 2, to, 0, n - 2) != 0) return false;
  auto shDigit = [](const std::string& s) {
    const auto h = static_cast<unsigned char>(s[s.size() - 2]), d = static_cast<unsigned char>(s.back());
    return (std::toupper(h) == 'H' || std::isdigit(h)) && std::isdigit(d);
  };
  return std::toupper(static_cast<unsigned char>(from[n - 3])) == 'S' && shDigit(from) && shDigit(to);
}

// Turns, scales and mirrors what is grabbed about the source reference
// point, then carries it to the target and drops it.
void transformAndDrop(Context& ctx, const BlockDefinition& b) {
  View& v = ctx.view;
  const int32_t cursorX = v.cursorX, cursorY = v.cursorY;
  v.cursorX = b.sourceX, v.cursorY = b.sourceY;
  setGrabReference(ctx);
  if (b.mode & kBlockMirrorX) mirrorGrabX(ctx);
  if (b.mode & kBlockMirrorY) mirrorGrabY(ctx);
  if (b.scale != 65536) scaleGrab(ctx, b.scale);
  if (b.angle != 0) rotateGrab(ctx, b.angle);
  v.cursorX = b.targetX, v.cursorY = b.targetY;
  followCursor(ctx);
  dropGrabList(ctx);
  v.cursorX = cursorX, v.cursorY = cursorY;
}

uint8_t wholeMode(const Record& r, bool fresh) {
  const bool points = r.type() == kLine || r.type() == kComponent;
  const uint8_t mode = points ? kGrabWhole : kGrabFirst;
  return fresh ? static_cast<uint8_t>(mode | 4) : mode;
}

// The block's outline follows what moved.
void moveRegion(BlockDefinition& b) {
  b.region = transformedRegion(b);
  b.sourceX = b.targetX, b.sourceY = b.targetY;
}

// The inside items of the block's file written as item lines and read back
// at the end of the current file; the new items, kNull-free, in order.
std::vector<Handle> copyIntoCurrent(Context& ctx, const std::vector<BlockMember>& inside) {
  std::string lines;
  for (const BlockMember& m : inside) {
    if (ctx.rec(m.item).type() == kComponent)
      componentAsItemLines(ctx, m.item, lines, 0, 0);
    else
      writeItemLine(ctx, m.item, lines, 0, 0, false);
  }
  const Handle file = ctx.current;
  const Handle before = ctx.rec(file).prev;
  if (!parseItemText(ctx, file, lines, 0, 0)) {
    while (ctx.rec(file).prev != before) freeItemDeeply(ctx, ctx.rec(file).prev);
    ctx.host->sound(Sound::Beop);
    return {};
  }
  std::vector<Handle> fresh;
  for (Handle h = ctx.rec(before).next; h != file && h != kNull; h = ctx.rec(h).next) fresh.push_back(h);
  return fresh;
}

// The source items of a move between sheets leave their own file, recorded
// on that file's Un-Do stack.
void removeFromFile(Context& ctx, Handle file, const std::vector<BlockMember>& inside) {
  const Handle active = ctx.current;
  ctx.current = file;
  bool continues = false;
  for (const BlockMember& m : inside) {
    recordRemoved(ctx, m.item, continues);
    continues = true;
  }
  ctx.rec(file).size |= kFileModified;
  ctx.current = active;
}

bool copyBlock(Context& ctx, BlockDefinition& b, const std::vector<BlockMember>& inside) {
  const std::vector<Handle> fresh = copyIntoCurrent(ctx, inside);
  if (fresh.empty()) return false;
  for (Handle h : fresh) grabItem(ctx, h, wholeMode(ctx.rec(h), true));
  transformAndDrop(ctx, b);
  return true;
}

}  // namespace

void blockMoveOrCopy(Context& ctx, bool copy) {
  BlockDefinition& b = *blockOf(ctx);
  const Handle active = ctx.current;
  if (active == kNull) return ctx.host->sound(Sound::Beop);
  const bool between = b.file != active;
  if (!copy && between && !sheetsOfOneSchematic(filePath(ctx, b.file), filePath(ctx, active)))
    return showMessage(ctx, kMoveBetweenFiles);
  if (copy || between) {
    const std::vector<BlockMember> inside = blockMembers(ctx, b, b.file, false, false);
    if (inside.empty() || !copyBlock(ctx, b, inside) || copy) return;
    removeFromFile(ctx, b.file, inside);
    b.file = active;
    b.path = filePath(ctx, active);
    moveRegion(b);
    ctx.host->redrawView();
    return;
  }
  const std::vector<BlockMember> moving = blockMembers(ctx, b, active, false, true);
  ctx.screen.surface.setClip(ctx.view.area);
  xorBlockOutline(ctx);
  b.stage = kMovingStage;
  for (const BlockMember& m : moving) {
    const Record& r = ctx.rec(m.item);
    const bool whole = contained(m.code);
    grabItem(ctx, m.item, whole ? wholeMode(r, false) : static_cast<uint8_t>(m.code));
  }
  const Handle top = undoTop(ctx);
  const BlockDefinition before = b;
  transformAndDrop(ctx, b);
  moveRegion(b);
  // The outline goes back with the items on Un-Do.
  if (undoTop(ctx) != top) recordBlockOutline(ctx, before, true);
  b.stage = 0;
  ctx.screen.surface.setClip(ctx.view.area);
  xorBlockOutline(ctx);
  ctx.host->showSurface();
}

void blockDelete(Context& ctx, bool outside) {
  BlockDefinition& b = *blockOf(ctx);
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  if (b.file != ctx.current) return showMessage(ctx, kDeleteBetweenFiles);
  dropGrabList(ctx);
  const std::vector<BlockMember> doomed = blockMembers(ctx, b, ctx.current, outside, false);
  if (doomed.empty()) return;
  UndoTransaction t(ctx);
  for (const BlockMember& m : doomed) t.removed(m.item);
}

}  // namespace trelmo
