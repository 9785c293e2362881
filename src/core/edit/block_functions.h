// The block functions between their files (not for other subsystems: they use
// edit/block.h).
#pragma once
#include <cstdint>

namespace trelmo {

struct Context;
struct BlockDefinition;

// The outline of the block in the current file, by exclusive-or with its
// dash phase; nothing when the block lies in another file.
void xorBlockOutline(Context& ctx);
// Forgets the block: its outline goes, the definition and the armed mode end.
void releaseBlock(Context& ctx);

// After the target click of Block Move and Block Copy (the cursor is the
// target reference point).
void blockMoveOrCopy(Context& ctx, bool copy);
// Delete Inside / Delete Outside.
void blockDelete(Context& ctx, bool outside);
// After the target click of Hilight Mismatches.
void blockCompare(Context& ctx);
// Build Component / Nest Component.
void blockBuild(Context& ctx, bool nest);

}  // namespace trelmo
