// JPEG pictures through libjpeg: grey pictures keep one byte per pixel,
// colour ones become 24-bit colour. The resolution comes from the JFIF
// density when it is given in dots per inch or per centimetre.
#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include <csetjmp>

#include "files/import/picture_decoders.h"

namespace trelmo::picture {

namespace {

struct ErrorJump {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void jumpOut(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1); }
void quietMessage(j_common_ptr) {}

struct JpegReader {
  jpeg_decompress_struct info{};
  ErrorJump error{};
  bool created = false;
  ~JpegReader() {
    if (created) jpeg_destroy_decompress(&info);
  }
};

bool readHeader(JpegReader& r, Bytes file) {
  if (setjmp(r.error.jump)) return false;
  jpeg_create_decompress(&r.info);
  r.created = true;
  r.info.mem->max_memory_to_use = 64L << 20;
  jpeg_mem_src(&r.info, file.data(), static_cast<unsigned long>(file.size()));
  if (jpeg_read_header(&r.info, TRUE) != JPEG_HEADER_OK) return false;
  if (r.info.jpeg_color_space == JCS_CMYK || r.info.jpeg_color_space == JCS_YCCK) return false;
  r.info.out_color_space = r.info.num_components == 1 ? JCS_GRAYSCALE : JCS_EXT_BGR;
  return true;
}

bool readRows(JpegReader& r, PixelImage& img) {
  if (setjmp(r.error.jump)) return false;
  jpeg_start_decompress(&r.info);
  const int channels = r.info.out_color_space == JCS_GRAYSCALE ? 1 : 3;
  if (r.info.output_width != img.width() || r.info.output_height != img.height() ||
      r.info.output_components != channels)
    return false;
  while (r.info.output_scanline < r.info.output_height) {
    JSAMPROW row = img.row(r.info.output_scanline);
    if (jpeg_read_scanlines(&r.info, &row, 1) != 1) return false;
  }
  jpeg_finish_decompress(&r.info);
  return true;
}

uint32_t resolutionOf(const jpeg_decompress_struct& info) {
  if (info.density_unit == 1) return sensibleDpi(info.X_density);
  if (info.density_unit == 2) return sensibleDpi(info.X_density * 2.54);
  return kDefaultDpi;
}

}  // namespace

std::unique_ptr<PixelImage> decodeJpeg(Bytes file) {
  JpegReader r;
  r.info.err = jpeg_std_error(&r.error.manager);
  r.error.manager.error_exit = jumpOut;
  r.error.manager.output_message = quietMessage;
  if (!readHeader(r, file)) return nullptr;
  const bool colour = r.info.out_color_space != JCS_GRAYSCALE;
  auto img = makeImage(r.info.image_width, r.info.image_height, colour ? 3 : 0, resolutionOf(r.info));
  if (!img) return nullptr;
  if (!colour) setGreyPalette(*img);
  if (!readRows(r, *img)) return nullptr;
  return img;
}

}  // namespace trelmo::picture
