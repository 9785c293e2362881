// The binary board format: recognised by the 16-bit value 173 at byte 8.
// Its records are not known, so opening one sets up its layer table and
// tells the user that no items could be read.
#include <string>
#include <string_view>

#include "context.h"
#include "database/options.h"
#include "files/import/import_readers.h"
#include "files/reader_chain.h"

namespace trelmo {

namespace {

constexpr size_t kMarkOffset = 8;
constexpr unsigned kMark = 173;
constexpr int kCopperLayers = 16;
constexpr int kFirstCopper = 7;

bool isBinaryBoard(std::string_view head) {
  if (head.size() < kMarkOffset + 2) return false;
  const unsigned lo = static_cast<unsigned char>(head[kMarkOffset]);
  const unsigned hi = static_cast<unsigned char>(head[kMarkOffset + 1]);
  return (lo | hi << 8) == kMark;
}

void setup(Context& ctx) {
  parseOptionsV4(ctx, {"-y0", "-y0:00AA00AA,0055FF55,0,Pad Master", "-y1:00FFFF00,000000FF,4,Symbols",
                       "-y2:0000AA00,00FF55FF,7,CAM Control", "-y3:00000000,00FFFFFF,0,Top Silk",
                       "-y4:01000000,01FFFFFF,8,Bottom Silk", "-y5:01000000,01FFFFFF,1,Top Mask",
                       "-y6:01000000,01FFFFFF,9,Bottom Mask"});
  // Copper layers: even numbers on the top side, odd numbers on the bottom.
  for (int n = 0; n < kCopperLayers; ++n) {
    const bool top = n % 2 == 0;
    const std::string line = "-y" + std::to_string(kFirstCopper + n) +
                             (top ? ":00AA0000,00FFFFFF,2,Layer " : ":000000AA,00FFFFFF,10,Layer ") + std::to_string(n);
    parseOptionV4(ctx, line);
  }
  parseOptionV4(ctx, "-y255:00FFFF00,000000FF,7,Ratnest");
}

}  // namespace

char readBinaryBoard(Context& ctx, InputFile& in, char hint) {
  if (hint != kHintNone || ctx.current == kNull || !isBinaryBoard(in.firstBlock())) return 0;
  setup(ctx);
  ctx.host->messageBox("TRELMO'98 Binary Board",
                       "The items of this binary board file cannot be read: only its layer table was set up.");
  return kFormatBinary;
}

}  // namespace trelmo
