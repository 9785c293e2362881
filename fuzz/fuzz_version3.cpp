// Version 3 data files (integer mils, 8-bit angles), entered past the
// recogniser: the magic line is supplied when missing.
#include "files/reader_formats.h"
#include "targets.h"

namespace trelmo::fuzz {

int fuzzVersion3(const uint8_t* data, size_t size) {
  Session s(withMagic(bytesOf(data, size), "TRELMO Version 3.10 Data File\r\n"));
  if (s.ready()) readVersion3(s.ctx, s.in, 0);
  return 0;
}

}  // namespace trelmo::fuzz

TRELMO_FUZZ_ENTRY(trelmo::fuzz::fuzzVersion3)
