// What the harnesses share. Each harness is one function taking the input's
// bytes; built with libFuzzer it becomes the fuzzer's entry point, built
// plainly (tests/fuzz) the regression replay calls it by name on every kept
// input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "context.h"
#include "database/design_files.h"
#include "files/input_file.h"

namespace trelmo::fuzz {

using Body = int (*)(const uint8_t* data, size_t size);

inline std::string_view bytesOf(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The input as a reader expects to find it after its recogniser accepted it:
// the bytes unchanged when they already start with `magic`, else `magic`
// and then the bytes.
inline std::string withMagic(std::string_view bytes, std::string_view magic) {
  if (bytes.starts_with(magic)) return std::string(bytes);
  std::string s(magic);
  s.append(bytes);
  return s;
}

// A context of its own with one empty design file current, and the input in
// memory. The design is closed at the end, so that freeing walks every ring
// and chain the reader built.
class Session {
 public:
  explicit Session(std::string_view input) : bytes(input) {
    newDesignFile(ctx, "fuzz.pcb");
    in.openMemory(bytes);
  }
  ~Session() {
    for (int n = 0; ctx.current != kNull && n < 1000; ++n) closeDesignFile(ctx, ctx.current);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  bool ready() const { return ctx.current != kNull; }

  const std::string bytes;  // the reader's input, kept for as long as it reads
  Context ctx;
  InputFile in;
};

}  // namespace trelmo::fuzz

#ifdef TRELMO_LIBFUZZER
#define TRELMO_FUZZ_ENTRY(body) \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return body(data, size); }
#else
#define TRELMO_FUZZ_ENTRY(body)
#endif
