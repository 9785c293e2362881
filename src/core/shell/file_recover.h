// Autosave copies after a crash: a copy newer than its file is offered back
// when the file is opened, and a file closed in order takes its copy along.
#pragma once
#include <string>

namespace trelmo {

struct Context;

// When the Autosave folder holds a copy of `path` newer than the file itself,
// asks whether to recover it. Recovered: the copy's path is returned, to be
// read in place of the file (the file stays as it is on the disk until the
// user saves). Discarded: the copy is removed. Otherwise `path` is returned.
std::string offerAutosaveCopy(Context& ctx, const std::string& path, bool& recovered);
// Removes the autosave copy of a file closed in order.
void removeAutosaveCopy(const Context& ctx, const std::string& path);

}  // namespace trelmo
