// Tango schematics, entered past the recogniser: the first line is
// supplied when missing.
#include "files/import/import_readers.h"
#include "targets.h"

namespace trelmo::fuzz {

int fuzzTangoSchematic(const uint8_t* data, size_t size) {
  Session s(withMagic(bytesOf(data, size), "TangoPRO_ASCII\n"));
  if (s.ready()) readTangoSchematic(s.ctx, s.in, 0);
  return 0;
}

}  // namespace trelmo::fuzz

TRELMO_FUZZ_ENTRY(trelmo::fuzz::fuzzTangoSchematic)
