// The readers of the reader chain that live beside it: the data file
// versions 4, 3 and 2, and the text and hexdump views.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "files/input_file.h"

namespace trelmo {

struct Context;

// Each is handed the input rewound to its first byte and returns its format
// code, or 0 when the file is not of its kind (nothing is then changed).
char readVersion4(Context& ctx, InputFile& in, char hint);
char readVersion3(Context& ctx, InputFile& in, char hint);
char readVersion2(Context& ctx, InputFile& in, char hint);
char readTextView(Context& ctx, InputFile& in, char hint);
char readHexdump(Context& ctx, InputFile& in, char hint);
// One hexdump row: offset, 16 byte values in groups of four, the characters.
std::string hexdumpRow(uint64_t offset, const uint8_t* bytes, size_t n);

// Reports the share of the input read so far, once per 64 KiB block.
class ReadProgress {
 public:
  ReadProgress(Context& ctx, const InputFile& in) : ctx_(ctx), in_(in) {}
  void update() {
    const uint64_t block = in_.position() / InputFile::kBlock;
    if (block != lastBlock_) report(block);
  }
  void done();

 private:
  void report(uint64_t block);
  Context& ctx_;
  const InputFile& in_;
  uint64_t lastBlock_ = 0;
};

// The picture slots of the current file: a new current image pushes the old
// one to the alternate slot, whose image is freed.
struct PixelImage;

}  // namespace trelmo
