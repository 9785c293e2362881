// File Save of a version 4 file: the backup of the previous file and the
// write. The old-format question and Save As are the File functions'.
#pragma once
#include <string>

#include "database/pool.h"

namespace trelmo {

struct Context;

// Saves the current file under its own name. Returns false when the
// remembered format is not 'C' (the caller asks or continues with Save As) or
// when writing failed; the previous file is then left as it was. A failed
// write puts the system's reason in `reason` when given.
bool saveDesignFile(Context& ctx, Handle file, std::string* reason = nullptr);

}  // namespace trelmo
