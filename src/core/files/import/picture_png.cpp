// PNG pictures through libpng: palette and grey pictures keep one byte per
// pixel, the others become 24-bit colour; alpha is dropped and 16-bit
// samples are cut to 8 bits. The resolution comes from the pHYs chunk.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <vector>

#include "files/import/picture_decoders.h"

namespace trelmo::picture {

namespace {

constexpr uint32_t kMaxSide = 1u << 20;
// Deflate gives at most 1032 bytes for one stored byte, so a file cannot hold
// more rows than this; the slack covers the chunk headers and zlib's own.
constexpr uint64_t kMaxInflation = 1032;
constexpr uint64_t kHeaderSlack = 4096;

struct MemorySource {
  Bytes data;
  size_t pos = 0;
};

void readFromMemory(png_structp png, png_bytep dest, png_size_t n) {
  auto* src = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (n > src->data.size() - src->pos) png_error(png, "truncated");
  std::memcpy(dest, src->data.data() + src->pos, n);
  src->pos += n;
}

void quietWarning(png_structp, png_const_charp) {}
// Errors end the read or write through its jump, without a word on stderr.
[[noreturn]] void quietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

struct PngReader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  MemorySource source;
  ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

struct Header {
  png_uint_32 width = 0, height = 0;
  int depth = 0, colourType = 0;
  bool colour = false, palette = false;
};

// Reads the header and sets the transforms that give 8-bit grey, palette
// indices or blue-green-red bytes; false on a damaged file.
bool readHeader(PngReader& r, Header& h) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_set_user_limits(r.png, kMaxSide, kMaxSide);
  png_set_chunk_malloc_max(r.png, 8u << 20);
  // Only pHYs of the ancillary chunks is used: the others are passed over
  // unread, so a damaged one cannot make libpng allocate what it declares.
  png_set_keep_unknown_chunks(r.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_set_keep_unknown_chunks(r.png, PNG_HANDLE_CHUNK_AS_DEFAULT, reinterpret_cast<png_const_bytep>("pHYs"), 1);
  png_set_read_fn(r.png, &r.source, readFromMemory);
  png_read_info(r.png, r.info);
  png_get_IHDR(r.png, r.info, &h.width, &h.height, &h.depth, &h.colourType, nullptr, nullptr, nullptr);
  h.palette = h.colourType == PNG_COLOR_TYPE_PALETTE;
  h.colour = (h.colourType & PNG_COLOR_MASK_COLOR) && !h.palette;
  if (h.depth == 16) png_set_strip_16(r.png);
  if (h.palette) png_set_packing(r.png);
  if (h.colourType == PNG_COLOR_TYPE_GRAY && h.depth < 8) png_set_expand_gray_1_2_4_to_8(r.png);
  if (h.colourType & PNG_COLOR_MASK_ALPHA) png_set_strip_alpha(r.png);
  if (h.colour) png_set_bgr(r.png);
  png_set_interlace_handling(r.png);
  png_read_update_info(r.png, r.info);
  return png_get_rowbytes(r.png, r.info) == size_t{h.width} * (h.colour ? 3 : 1);
}

// A tiny damaged file may declare a picture of hundreds of megabytes: it is
// refused before the pixels are allocated when its data cannot fill them.
bool dataCanFill(const Header& h, size_t fileSize) {
  const uint64_t channels = h.palette ? 1 : (h.colour ? 3 : 1) + ((h.colourType & PNG_COLOR_MASK_ALPHA) ? 1 : 0);
  const uint64_t rowBytes = (uint64_t{h.width} * channels * uint64_t(h.depth) + 7) / 8 + 1;
  return uint64_t{h.height} * rowBytes <= (uint64_t{fileSize} + kHeaderSlack) * kMaxInflation;
}

bool readRows(PngReader& r, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_read_image(r.png, rows.data());
  return true;
}

uint32_t resolutionOf(const PngReader& r) {
  png_uint_32 x = 0, y = 0;
  int unit = 0;
  if (png_get_pHYs(r.png, r.info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER) return sensibleDpi(x * 0.0254);
  return kDefaultDpi;
}

}  // namespace

std::unique_ptr<PixelImage> decodePng(Bytes file) {
  PngReader r;
  r.source.data = file;
  r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
  if (!r.png) return nullptr;
  r.info = png_create_info_struct(r.png);
  if (!r.info) return nullptr;
  Header h;
  if (!readHeader(r, h) || !dataCanFill(h, file.size())) return nullptr;
  auto img = makeImage(h.width, h.height, h.colour ? 3 : 0, resolutionOf(r));
  if (!img) return nullptr;
  if (h.palette) {
    png_colorp colours = nullptr;
    int count = 0;
    if (!png_get_PLTE(r.png, r.info, &colours, &count) || count <= 0) return nullptr;
    uint32_t palette[256] = {};
    count = std::min(count, 256);
    for (int i = 0; i < count; ++i) palette[i] = rgb(colours[i].red, colours[i].green, colours[i].blue);
    setPalette(*img, palette, count);
  } else if (!h.colour) {
    setGreyPalette(*img);
  }
  std::vector<png_bytep> rows(h.height);
  for (uint32_t y = 0; y < h.height; ++y) rows[y] = img->row(y);
  if (!readRows(r, rows)) return nullptr;
  return img;
}

}  // namespace trelmo::picture
