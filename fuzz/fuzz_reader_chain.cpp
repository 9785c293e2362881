// Feeds arbitrary bytes through the whole reader chain: once without a hint,
// so every recogniser looks at them, and once with a hint picked by the
// input's length, so the hinted readers (Gerber, Excellon, DXF, HPGL, text,
// hexdump) also take files they would not recognise.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "context.h"
#include "database/design_files.h"
#include "files/input_file.h"
#include "files/reader_chain.h"

namespace {

void readOnce(std::string_view bytes, char hint) {
  trelmo::Context ctx;
  if (trelmo::newDesignFile(ctx, "fuzz.pcb") == trelmo::kNull) return;
  trelmo::InputFile in;
  in.openMemory(bytes);
  trelmo::readerChain(ctx, in, hint);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char hints[] = {'X', 'G', 'I', 'H', 'Z', '@', 'T'};
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  readOnce(bytes, 0);
  readOnce(bytes, hints[size % 7]);
  return 0;
}
