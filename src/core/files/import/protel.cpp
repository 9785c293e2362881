// Protel AutoTrax import: recognition, the layer map and the chain's entry.
#include <array>

#include "context.h"
#include "files/import/import_readers.h"
#include "files/import/protel_reader.h"
#include "files/import/tango_common.h"
#include "files/reader_chain.h"

namespace trelmo {

namespace protel {

namespace {

constexpr std::array<uint8_t, 14> kLayers = {
    0,   // unknown
    7,   // 1 top copper
    11,  // 2 mid layer 1
    12,  // 3 mid layer 2
    13,  // 4 mid layer 3
    14,  // 5 mid layer 4
    8,   // 6 bottom copper
    3,   // 7 top overlay
    4,   // 8 bottom overlay
    10,  // 9 ground plane
    9,   // 10 power plane
    2,   // 11 board outline
    15,  // 12 keep out
    0,   // 13 multi layer
};

}  // namespace

uint8_t boardLayer(int32_t autotraxLayer) {
  return autotraxLayer > 0 && autotraxLayer < static_cast<int32_t>(kLayers.size()) ? kLayers[autotraxLayer] : 0;
}

int fileVersion(std::string_view head) {
  if (head.starts_with("PCB File 4") || head.starts_with("PCB FILE 4")) return 4;
  if (head.starts_with("PCB FILE 6")) return 6;
  return 0;
}

}  // namespace protel

char readProtel(Context& ctx, InputFile& in, char hint) {
  if (hint != kHintNone || ctx.current == kNull || protel::fileVersion(in.firstBlock()) == 0) return 0;
  in.rewind();
  tango::applyBoardSetup(ctx);
  protel::Reader(ctx, in).run();
  return kFormatProtel;
}

}  // namespace trelmo
