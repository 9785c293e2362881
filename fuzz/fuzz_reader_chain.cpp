// Feeds arbitrary bytes through the whole reader chain: once without a hint,
// so every recogniser looks at them, and once with a hint picked by the
// input's length, so the hinted readers (Gerber, Excellon, DXF, HPGL, text,
// hexdump) also take files they would not recognise.
#include "files/reader_chain.h"
#include "targets.h"

namespace trelmo::fuzz {

namespace {

void readOnce(std::string_view bytes, char hint) {
  Session s(bytes);
  if (s.ready()) readerChain(s.ctx, s.in, hint);
}

}  // namespace

int fuzzReaderChain(const uint8_t* data, size_t size) {
  static constexpr char kHints[] = {'X', 'G', 'I', 'H', 'Z', '@', 'T'};
  const std::string_view bytes = bytesOf(data, size);
  readOnce(bytes, 0);
  readOnce(bytes, kHints[size % 7]);
  return 0;
}

}  // namespace trelmo::fuzz

TRELMO_FUZZ_ENTRY(trelmo::fuzz::fuzzReaderChain)
