// Tango boards, entered past the recogniser: the first line is supplied
// when missing.
#include "files/import/import_readers.h"
#include "targets.h"

namespace trelmo::fuzz {

int fuzzTangoBoard(const uint8_t* data, size_t size) {
  const std::string_view bytes = bytesOf(data, size);
  Session s(bytes.starts_with("VERSION ") ? std::string(bytes) : withMagic(bytes, ";Tango-PCB\n"));
  if (s.ready()) readTangoBoard(s.ctx, s.in, 0);
  return 0;
}

}  // namespace trelmo::fuzz

TRELMO_FUZZ_ENTRY(trelmo::fuzz::fuzzTangoBoard)
