// Saving a picture as a PNG file with its resolution: grey pictures as
// 8-bit grey, palette pictures with the palette they are shown through (the
// colour cube for kind 1), 24-bit pictures as RGB.
// The pixels are written as stored (the translation table is a display
// setting and stays out of the file).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "image/pixel_image.h"

namespace trelmo {

// The PNG bytes of the picture; false when the picture is damaged.
bool encodePng(const PixelImage& img, std::vector<uint8_t>& out);

// Writes the file beside its target and puts it in place only when complete:
// a failed save leaves an old file as it was. False with the system's reason
// in `why`.
bool savePng(const PixelImage& img, const std::string& path, std::string& why);

}  // namespace trelmo
