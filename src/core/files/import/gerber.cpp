#include "files/import/import_readers.h"

namespace trelmo {

char readGerber(Context&, InputFile&, char) { return 0; }

}  // namespace trelmo
