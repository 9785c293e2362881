#include "files/import/import_readers.h"

namespace trelmo {

char readBinaryBoard(Context&, InputFile&, char) { return 0; }

}  // namespace trelmo
