// Picture files (Windows bitmap, PCX, GIF, TIFF, FITS, PNG, JPEG) read into the
// in-memory pixel image form. Palette pictures keep one byte per pixel with
// their palette (kind 0 when every palette entry is a grey, kind 2
// otherwise); 16-bit, 24-bit and true-colour pictures become 24-bit kind 3.
// Rows are top first; the picture covers 0,0 .. (width-1)/dpi, (height-1)/dpi
// inches.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "image/pixel_image.h"

namespace trelmo {

struct Context;

enum class PictureType { None, Bmp, Pcx, Gif, Tiff, Fits, Png, Jpeg };

// Largest picture file read into memory for decoding.
constexpr uint64_t kMaxPictureFileBytes = uint64_t{512} << 20;

// Which picture format the first bytes of a file announce.
PictureType recognisePicture(std::span<const uint8_t> head);

// Decodes a whole picture file held in memory; null when the data is not a
// picture of a supported kind or is damaged. The image has no name yet.
std::unique_ptr<PixelImage> decodePicture(std::span<const uint8_t> file);

// Reads and decodes a picture file (linked images); the image is named after
// the file without its directory. Null when the file cannot be read or
// decoded.
std::unique_ptr<PixelImage> loadPictureFile(const std::string& path);

// The layer table and view setup given to a new design file that holds only
// a picture (layer numbers stand for palette indices).
void applyImageSetup(Context& ctx);

}  // namespace trelmo
