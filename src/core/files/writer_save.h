// File Save: the old-format question, the backup of the previous file and the
// version 4 write, in that order.
#pragma once
#include <string>

#include "database/pool.h"

namespace trelmo {

struct Context;

// Saves the current file under its own name. Returns false when the user
// declined the old-format question, when the remembered format is not 'C'
// (the caller continues with Save As) or when writing failed; the previous
// file is then left as it was. A failed write puts the system's reason in
// `reason` when given.
bool saveDesignFile(Context& ctx, Handle file, std::string* reason = nullptr);

}  // namespace trelmo
