#include "files/import/import_readers.h"

namespace trelmo {

char readExcellon(Context&, InputFile&, char) { return 0; }

}  // namespace trelmo
