// Version 4 data files (header, item lines, linked and embedded pictures),
// entered past the recogniser: the magic line is supplied when missing.
#include "files/reader_formats.h"
#include "targets.h"

namespace trelmo::fuzz {

int fuzzVersion4(const uint8_t* data, size_t size) {
  Session s(withMagic(bytesOf(data, size), "TRELMO Version 4.0 -- Data File.\r\n"));
  if (s.ready()) readVersion4(s.ctx, s.in, 0);
  return 0;
}

}  // namespace trelmo::fuzz

TRELMO_FUZZ_ENTRY(trelmo::fuzz::fuzzVersion4)
