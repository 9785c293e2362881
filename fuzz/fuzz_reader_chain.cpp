// Feeds arbitrary bytes through the whole reader chain, once per hint.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "context.h"
#include "database/design_files.h"
#include "files/input_file.h"
#include "files/reader_chain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the hint so every reader is reached.
  static const char hints[] = {0, 'X', 'G', 'I', 'H', 'Z', '@', 'T'};
  const char hint = hints[data[0] & 7];
  trelmo::Context ctx;
  if (trelmo::newDesignFile(ctx, "fuzz.pcb") == trelmo::kNull) return 0;
  trelmo::InputFile in;
  in.openMemory(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  trelmo::readerChain(ctx, in, hint);
  return 0;
}
