// FITS pictures through cfitsio, read from memory: the primary array of a
// two-dimensional image (further axes of length 1 are allowed), any BITPIX,
// scaled linearly from its smallest to its largest value onto 256 greys.
// FITS rows run bottom up.
#include <fitsio.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "files/import/picture_decoders.h"

namespace trelmo::picture {

namespace {

constexpr size_t kRecord = 2880;

struct FitsCloser {
  void operator()(fitsfile* f) const {
    int status = 0;
    fits_close_file(f, &status);
  }
};
using FitsHandle = std::unique_ptr<fitsfile, FitsCloser>;

struct Plane {
  long width = 0, height = 0;
  int bitpix = 0;
};

bool readPlane(fitsfile* f, Plane& plane) {
  int status = 0, bitpix = 0, naxis = 0;
  long naxes[9] = {};
  if (fits_get_img_param(f, 9, &bitpix, &naxis, naxes, &status) || naxis < 2 || naxis > 9) return false;
  for (int i = 2; i < naxis; ++i)
    if (naxes[i] != 1) return false;
  if (bitpix != 8 && bitpix != 16 && bitpix != 32 && bitpix != 64 && bitpix != -32 && bitpix != -64) return false;
  if (naxes[0] <= 0 || naxes[1] <= 0 || naxes[0] > (1L << 24) || naxes[1] > (1L << 24)) return false;
  plane = {naxes[0], naxes[1], bitpix};
  return true;
}

// Reads FITS row y (from the bottom) as doubles; blanks and NaN become NaN.
bool readRow(fitsfile* f, const Plane& p, long y, std::vector<double>& row) {
  int status = 0, anyNull = 0;
  long first[9] = {1, y + 1, 1, 1, 1, 1, 1, 1, 1};
  double blank = std::numeric_limits<double>::quiet_NaN();
  fits_read_pix(f, TDOUBLE, first, p.width, &blank, row.data(), &anyNull, &status);
  return status == 0;
}

}  // namespace

std::unique_ptr<PixelImage> decodeFits(Bytes data) {
  // cfitsio wants a writable buffer and reads whole 2880-byte records: the
  // copy is padded with zeros past the last record so that no read leaves it.
  std::vector<uint8_t> copy(data.begin(), data.end());
  copy.resize((copy.size() / kRecord + 2) * kRecord, 0);
  void* buffer = copy.data();
  size_t size = copy.size();
  fitsfile* raw = nullptr;
  int status = 0;
  if (fits_open_memfile(&raw, "picture.fits", READONLY, &buffer, &size, 0, nullptr, &status)) return nullptr;
  FitsHandle f(raw);

  Plane p;
  if (!readPlane(f.get(), p)) return nullptr;
  // The primary array is stored as it is: all of it must be in the file.
  const uint64_t dataBytes = uint64_t(p.width) * uint64_t(p.height) * uint64_t(std::abs(p.bitpix) / 8);
  LONGLONG headStart = 0, dataStart = 0, dataEnd = 0;
  if (fits_get_hduaddrll(f.get(), &headStart, &dataStart, &dataEnd, &status) || dataStart < 0) return nullptr;
  if (uint64_t(dataStart) > data.size() || dataBytes > data.size() - uint64_t(dataStart)) return nullptr;

  std::vector<double> row(static_cast<size_t>(p.width));
  double lo = std::numeric_limits<double>::infinity(), hi = -lo;
  for (long y = 0; y < p.height; ++y) {
    if (!readRow(f.get(), p, y, row)) return nullptr;
    for (double v : row)
      if (std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
  }
  auto img = makeImage(static_cast<uint32_t>(p.width), static_cast<uint32_t>(p.height), 0, kDefaultDpi);
  if (!img) return nullptr;
  setGreyPalette(*img);
  const double scale = hi > lo ? 255.0 / (hi - lo) : 0.0;
  for (long y = 0; y < p.height; ++y) {
    if (!readRow(f.get(), p, y, row)) return nullptr;
    uint8_t* dst = img->row(static_cast<uint32_t>(p.height - 1 - y));
    for (long x = 0; x < p.width; ++x) {
      const double v = row[static_cast<size_t>(x)];
      dst[x] = std::isfinite(v) ? static_cast<uint8_t>(std::clamp((v - lo) * scale + 0.5, 0.0, 255.0)) : 0;
    }
  }
  return img;
}

}  // namespace trelmo::picture
