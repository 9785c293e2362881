#include "image/png_file.h"

#include <png.h>

#include <cmath>
#include <csetjmp>

#include "files/writer_safe_file.h"
#include "image/display.h"

namespace trelmo {

namespace {

void appendToVector(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void noFlush(png_structp) {}
void quietWarning(png_structp, png_const_charp) {}
// Errors end the read or write through its jump, without a word on stderr.
[[noreturn]] void quietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

struct PngWriter {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngWriter() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

bool writeAll(PngWriter& w, const PixelImage& img, std::vector<uint8_t>& out, png_color* palette) {
  if (setjmp(png_jmpbuf(w.png))) return false;
  png_set_write_fn(w.png, &out, appendToVector, noFlush);
  const uint32_t kind = img.kind();
  const int type = kind == 3 ? PNG_COLOR_TYPE_RGB : kind == 0 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_PALETTE;
  png_set_IHDR(w.png, w.info, img.width(), img.height(), 8, type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (type == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(w.png, w.info, palette, 256);
  const auto perMetre = static_cast<png_uint_32>(std::lround(img.resolution() / 0.0254));
  png_set_pHYs(w.png, w.info, perMetre, perMetre, PNG_RESOLUTION_METER);
  png_write_info(w.png, w.info);
  if (kind == 3) png_set_bgr(w.png);  // stored blue, green, red
  for (uint32_t r = 0; r < img.height(); ++r) png_write_row(w.png, img.row(r));
  png_write_end(w.png, nullptr);
  return true;
}

}  // namespace

bool encodePng(const PixelImage& img, std::vector<uint8_t>& out) {
  out.clear();
  if (img.block.size() < kImageHeaderSize || img.width() == 0 || img.height() == 0 || img.stride() < img.width() ||
      img.bitsPerPixel() != (img.kind() == 3 ? 24u : 8u) || img.pixelBytes() > img.block.size() - kImageHeaderSize)
    return false;
  png_color palette[256];
  for (int i = 0; i < 256; ++i) {
    // Kind 1 is shown through the built-in colour cube, whatever its palette.
    const uint32_t c = img.kind() == 1 ? colourCubeEntry(i) : img.paletteEntry(i);
    palette[i] = {static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8), static_cast<png_byte>(c)};
  }
  PngWriter w;
  w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
  if (!w.png) return false;
  w.info = png_create_info_struct(w.png);
  if (!w.info) return false;
  return writeAll(w, img, out, palette);
}

bool savePng(const PixelImage& img, const std::string& path, std::string& why) {
  std::vector<uint8_t> bytes;
  if (!encodePng(img, bytes)) {
    why = "the image is damaged";
    return false;
  }
  SafeFile file(path);
  if (file.open()) {
    file.append(bytes.data(), bytes.size());
    if (file.finish() && file.commit()) return true;
  }
  why = file.reason().empty() ? "the file could not be written" : file.reason();
  return false;
}

}  // namespace trelmo
