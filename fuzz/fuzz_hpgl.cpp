// HPGL pen plots through the reader the HPGL type of File Open selects:
// no recogniser stands in the way.
#include "files/import/import_readers.h"
#include "files/reader_chain.h"
#include "targets.h"

namespace trelmo::fuzz {

int fuzzHpgl(const uint8_t* data, size_t size) {
  Session s(bytesOf(data, size));
  if (s.ready()) readHpgl(s.ctx, s.in, kHintHpgl);
  return 0;
}

}  // namespace trelmo::fuzz

TRELMO_FUZZ_ENTRY(trelmo::fuzz::fuzzHpgl)
