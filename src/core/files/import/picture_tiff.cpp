// TIFF pictures through libtiff, read from memory. One-sample pictures of up
// to 8 bits (grey or palette) keep one byte per pixel; everything else is
// converted to 24-bit colour by libtiff's RGBA reader.
#include <tiffio.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "files/import/picture_decoders.h"

namespace trelmo::picture {

namespace {

struct MemoryFile {
  Bytes data;
  uint64_t pos = 0;
};

tmsize_t readMemory(thandle_t h, void* dest, tmsize_t n) {
  auto* m = static_cast<MemoryFile*>(h);
  if (n <= 0 || m->pos >= m->data.size()) return 0;
  const size_t take = std::min<uint64_t>(static_cast<uint64_t>(n), m->data.size() - m->pos);
  std::memcpy(dest, m->data.data() + m->pos, take);
  m->pos += take;
  return static_cast<tmsize_t>(take);
}

tmsize_t writeNothing(thandle_t, void*, tmsize_t) { return 0; }

toff_t seekMemory(thandle_t h, toff_t off, int whence) {
  auto* m = static_cast<MemoryFile*>(h);
  uint64_t base = 0;
  if (whence == SEEK_CUR) base = m->pos;
  if (whence == SEEK_END) base = m->data.size();
  // Reads past the end return nothing, so any position is harmless.
  m->pos = base + off;
  return m->pos;
}

int closeNothing(thandle_t) { return 0; }
toff_t memorySize(thandle_t h) { return static_cast<MemoryFile*>(h)->data.size(); }
int mapNothing(thandle_t, void**, toff_t*) { return 0; }
void unmapNothing(thandle_t, void*, toff_t) {}
int quietHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
  void operator()(TIFF* t) const { TIFFClose(t); }
};

TIFF* openMemory(MemoryFile& file) {
  TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
  if (!opts) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(opts, quietHandler, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(opts, quietHandler, nullptr);
  TIFFOpenOptionsSetMaxSingleMemAlloc(opts, static_cast<tmsize_t>(kMaxImageBytes * 2));
  TIFF* t = TIFFClientOpenExt("picture", "rm", &file, readMemory, writeNothing, seekMemory, closeNothing, memorySize,
                              mapNothing, unmapNothing, opts);
  TIFFOpenOptionsFree(opts);
  return t;
}

uint32_t tiffDpi(TIFF* t) {
  float res = 0;
  uint16_t unit = RESUNIT_INCH;
  if (!TIFFGetField(t, TIFFTAG_XRESOLUTION, &res)) return kDefaultDpi;
  TIFFGetFieldDefaulted(t, TIFFTAG_RESOLUTIONUNIT, &unit);
  if (unit == RESUNIT_CENTIMETER) res *= 2.54f;
  if (unit == RESUNIT_NONE) return kDefaultDpi;
  return sensibleDpi(res);
}

// The 8-bit colours libtiff gives a palette: 16-bit maps are scaled down,
// maps written with 8-bit values are taken as they are.
bool readColorMap(TIFF* t, uint16_t bits, uint32_t* palette) {
  uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
  if (!TIFFGetField(t, TIFFTAG_COLORMAP, &r, &g, &b)) return false;
  const int n = 1 << bits;
  bool sixteen = false;
  for (int i = 0; i < n; ++i) sixteen |= r[i] >= 256 || g[i] >= 256 || b[i] >= 256;
  for (int i = 0; i < n; ++i) palette[i] = sixteen ? rgb(r[i] >> 8, g[i] >> 8, b[i] >> 8) : rgb(r[i], g[i], b[i]);
  return true;
}

// Reads the picture as RGBA, a band of rows at a time, and hands each
// top-first row to store(row, pixels).
template <typename Store>
bool readRgbaRows(TIFF* t, uint32_t width, uint32_t height, Store store) {
  char emsg[1024] = "";
  TIFFRGBAImage rgba;
  if (!TIFFRGBAImageOK(t, emsg) || !TIFFRGBAImageBegin(&rgba, t, 0, emsg)) return false;
  rgba.req_orientation = ORIENTATION_TOPLEFT;
  constexpr uint32_t kBand = 64;
  std::vector<uint32_t> band(size_t{width} * kBand);
  bool ok = true;
  for (uint32_t y = 0; y < height && ok; y += kBand) {
    const uint32_t rows = std::min(kBand, height - y);
    rgba.row_offset = static_cast<int>(y);
    rgba.col_offset = 0;
    ok = TIFFRGBAImageGet(&rgba, band.data(), width, rows) != 0;
    for (uint32_t r = 0; r < rows && ok; ++r) store(y + r, band.data() + size_t{r} * width);
  }
  TIFFRGBAImageEnd(&rgba);
  return ok;
}

}  // namespace

std::unique_ptr<PixelImage> decodeTiff(Bytes f) {
  MemoryFile file{f};
  std::unique_ptr<TIFF, TiffCloser> t(openMemory(file));
  if (!t) return nullptr;
  uint32_t width = 0, height = 0;
  uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISBLACK;
  if (!TIFFGetField(t.get(), TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(t.get(), TIFFTAG_IMAGELENGTH, &height))
    return nullptr;
  TIFFGetFieldDefaulted(t.get(), TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(t.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetField(t.get(), TIFFTAG_PHOTOMETRIC, &photometric);
  if (width > (uint32_t{1} << 24) || height > (uint32_t{1} << 24)) return nullptr;
  // Uncompressed pixels must all be in the file: a tiny file cannot ask for
  // a huge picture.
  uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(t.get(), TIFFTAG_COMPRESSION, &compression);
  if (compression == COMPRESSION_NONE && uint64_t{width} * height * bits * samples / 8 > f.size()) return nullptr;

  const bool grey =
      samples == 1 && bits <= 8 && (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE);
  uint32_t palette[256] = {};
  const bool indexed =
      samples == 1 && bits <= 8 && photometric == PHOTOMETRIC_PALETTE && readColorMap(t.get(), bits, palette);
  auto img = makeImage(width, height, grey || indexed ? 1 : 3, tiffDpi(t.get()));
  if (!img) return nullptr;

  bool ok;
  if (grey) {
    setGreyPalette(*img);
    ok = readRgbaRows(t.get(), width, height, [&](uint32_t y, const uint32_t* px) {
      uint8_t* dst = img->row(y);
      for (uint32_t x = 0; x < width; ++x) dst[x] = static_cast<uint8_t>(TIFFGetG(px[x]));
    });
  } else if (indexed) {
    // libtiff hands out colours: find each one's index again.
    const int n = 1 << bits;
    setPalette(*img, palette, n);
    std::unordered_map<uint32_t, uint8_t> index;
    for (int i = n - 1; i >= 0; --i) index[palette[i]] = static_cast<uint8_t>(i);
    ok = readRgbaRows(t.get(), width, height, [&](uint32_t y, const uint32_t* px) {
      uint8_t* dst = img->row(y);
      for (uint32_t x = 0; x < width; ++x) {
        auto it = index.find(rgb(TIFFGetR(px[x]), TIFFGetG(px[x]), TIFFGetB(px[x])));
        dst[x] = it == index.end() ? 0 : it->second;
      }
    });
  } else {
    ok = readRgbaRows(t.get(), width, height, [&](uint32_t y, const uint32_t* px) {
      uint8_t* dst = img->row(y);
      for (size_t x = 0; x < width; ++x) {
        dst[3 * x] = static_cast<uint8_t>(TIFFGetR(px[x]));
        dst[3 * x + 1] = static_cast<uint8_t>(TIFFGetG(px[x]));
        dst[3 * x + 2] = static_cast<uint8_t>(TIFFGetB(px[x]));
      }
    });
  }
  return ok ? std::move(img) : nullptr;
}

}  // namespace trelmo::picture
