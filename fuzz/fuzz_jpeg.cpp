// JPEG pictures straight into their decoder: the recogniser that picks the
// decoder by the first bytes is passed by.
#include "files/import/picture_decoders.h"
#include "targets.h"

namespace trelmo::fuzz {

int fuzzJpeg(const uint8_t* data, size_t size) {
  const std::unique_ptr<PixelImage> image = picture::decodeJpeg({data, size});
  return 0;
}

}  // namespace trelmo::fuzz

TRELMO_FUZZ_ENTRY(trelmo::fuzz::fuzzJpeg)
