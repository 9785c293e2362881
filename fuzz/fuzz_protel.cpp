// Protel AutoTrax boards, entered past the recogniser: a version 4 first
// line is supplied when the input starts with neither version's.
#include "files/import/import_readers.h"
#include "files/import/protel_reader.h"
#include "targets.h"

namespace trelmo::fuzz {

int fuzzProtel(const uint8_t* data, size_t size) {
  const std::string_view bytes = bytesOf(data, size);
  Session s(protel::fileVersion(bytes) != 0 ? std::string(bytes) : withMagic(bytes, "PCB FILE 4\n"));
  if (s.ready()) readProtel(s.ctx, s.in, 0);
  return 0;
}

}  // namespace trelmo::fuzz

TRELMO_FUZZ_ENTRY(trelmo::fuzz::fuzzProtel)
