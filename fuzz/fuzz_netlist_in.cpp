// Netlist files as Netlist In reads them: the input once as it stands (our
// own or the bracketed form, or KiCad's when it begins so) and once behind
// KiCad's first token, so that the S-expression reader sees every input.
#include "nets/netlist_in.h"
#include "targets.h"

namespace trelmo::fuzz {

int fuzzNetlistIn(const uint8_t* data, size_t size) {
  const std::string_view bytes = bytesOf(data, size);
  FootprintMap map;
  map.add("R_*", "AXIAL4");
  std::string error;
  readNetlistText(bytes, map, error);
  readNetlistText(withMagic(bytes, "(export "), map, error);
  return 0;
}

}  // namespace trelmo::fuzz

TRELMO_FUZZ_ENTRY(trelmo::fuzz::fuzzNetlistIn)
