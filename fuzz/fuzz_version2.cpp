// Version 2 data files, entered past the recogniser: the magic line is
// supplied when missing (its minor digit picks the item syntax).
#include "files/reader_formats.h"
#include "targets.h"

namespace trelmo::fuzz {

int fuzzVersion2(const uint8_t* data, size_t size) {
  Session s(withMagic(bytesOf(data, size), "TRELMO Version 2.6\r\n"));
  if (s.ready()) readVersion2(s.ctx, s.in, 0);
  return 0;
}

}  // namespace trelmo::fuzz

TRELMO_FUZZ_ENTRY(trelmo::fuzz::fuzzVersion2)
