// Freeing the undo stacks of a design file: the entries, and the removed
// items the stacks hold (a component with its whole ring). The recording and
// the undo itself live in edit/undo.h.
#pragma once
#include "database/record.h"

namespace trelmo {

struct Context;

// Frees every entry of a stack, from its bottom up, so that an entry naming
// an item is freed while a later removal still holds that item.
void freeUndoStack(Context& ctx, Handle& top);
// Frees one entry popped from a stack (its kind still in its flags).
void freeUndoEntry(Context& ctx, Handle entry);
// Frees both stacks of a file (closed) and forgets its undo context.
void freeUndoContext(Context& ctx, Handle file);

}  // namespace trelmo
