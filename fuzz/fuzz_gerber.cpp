// Gerber photo-plot files through the reader the Gerber type of File Open
// selects: no recogniser stands in the way.
#include "files/import/import_readers.h"
#include "files/reader_chain.h"
#include "targets.h"

namespace trelmo::fuzz {

int fuzzGerber(const uint8_t* data, size_t size) {
  Session s(bytesOf(data, size));
  if (s.ready()) readGerber(s.ctx, s.in, kHintGerber);
  return 0;
}

}  // namespace trelmo::fuzz

TRELMO_FUZZ_ENTRY(trelmo::fuzz::fuzzGerber)
