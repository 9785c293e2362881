#include <gtest/gtest.h>
#include <tiffio.h>

#include <fstream>
#include <iterator>

#include "files/import/picture.h"
#include "picture_test_bytes.h"

namespace trelmo {
namespace {

using testing::ByteVec;
using testing::pixels;

struct TiffSpec {
  uint32_t width = 2, height = 2;
  uint16_t samples = 1, bits = 8, photometric = PHOTOMETRIC_MINISBLACK;
  uint16_t compression = COMPRESSION_NONE;
  float resolution = 0;  // 0: no resolution tag
  uint16_t unit = RESUNIT_INCH;
  uint32_t rowsPerStrip = 1;
};

// Writes a TIFF file whose pixel (x, y) sample s is pixel(x, y, s).
template <typename Pixel>
std::string writeTiff(const std::string& name, const TiffSpec& s, Pixel pixel,
                      const std::vector<uint16_t>* colormap = nullptr) {
  const std::string path = testing::temporaryPath(name);
  TIFF* t = TIFFOpen(path.c_str(), "w");
  EXPECT_NE(t, nullptr);
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, s.width);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, s.height);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, s.samples);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, s.bits);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, s.photometric);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_COMPRESSION, s.compression);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, s.rowsPerStrip);
  if (s.resolution > 0) {
    TIFFSetField(t, TIFFTAG_XRESOLUTION, s.resolution);
    TIFFSetField(t, TIFFTAG_YRESOLUTION, s.resolution);
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, s.unit);
  }
  if (colormap) {
    const size_t n = colormap->size() / 3;
    TIFFSetField(t, TIFFTAG_COLORMAP, colormap->data(), colormap->data() + n, colormap->data() + 2 * n);
  }
  ByteVec row(s.width * s.samples);
  for (uint32_t y = 0; y < s.height; ++y) {
    for (uint32_t x = 0; x < s.width; ++x)
      for (uint16_t c = 0; c < s.samples; ++c) row[x * s.samples + c] = pixel(x, y, c);
    TIFFWriteScanline(t, row.data(), y, 0);
  }
  TIFFClose(t);
  return path;
}

ByteVec fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return ByteVec(std::istreambuf_iterator<char>(in), {});
}

TEST(TiffPicture, RgbBecomesColourWithItsResolution) {
  TiffSpec s;
  s.width = 3;
  s.height = 2;
  s.samples = 3;
  s.photometric = PHOTOMETRIC_RGB;
  s.resolution = 200;
  const std::string path =
      writeTiff("rgb.tif", s, [](uint32_t x, uint32_t y, uint16_t c) { return uint8_t(100 * c + 10 * y + x); });
  auto img = loadPictureFile(path);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->name(), "rgb.tif");
  EXPECT_EQ(img->kind(), 3u);
  EXPECT_EQ(img->width(), 3u);
  EXPECT_EQ(img->height(), 2u);
  EXPECT_EQ(img->resolution(), 200u);
  for (uint32_t y = 0; y < 2; ++y)
    for (uint32_t x = 0; x < 3; ++x)
      for (uint32_t c = 0; c < 3; ++c) EXPECT_EQ(img->row(y)[3 * x + c], 100 * c + 10 * y + x);
  EXPECT_EQ(img->x1(), 2 * 65536 / 200);
}

TEST(TiffPicture, GreyKeepsOneBytePerPixelAcrossManyBands) {
  TiffSpec s;
  s.width = 5;
  s.height = 150;  // more rows than one band of the reader
  s.compression = COMPRESSION_LZW;
  s.rowsPerStrip = 16;
  s.resolution = 100;
  s.unit = RESUNIT_CENTIMETER;
  const std::string path = writeTiff("grey.tif", s, [](uint32_t x, uint32_t y, uint16_t) { return uint8_t(y + x); });
  auto img = decodePicture(fileBytes(path));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->kind(), 0u);
  EXPECT_EQ(img->bitsPerPixel(), 8u);
  EXPECT_EQ(img->resolution(), 254u);
  EXPECT_EQ(img->paletteEntry(200), 0xC8C8C8u);
  for (uint32_t y = 0; y < 150; ++y) ASSERT_EQ(img->row(y)[0], y) << y;
  EXPECT_EQ(img->row(149)[4], 153);
}

TEST(TiffPicture, PaletteIndicesSurvive) {
  TiffSpec s;
  s.width = 4;
  s.height = 1;
  s.photometric = PHOTOMETRIC_PALETTE;
  std::vector<uint16_t> map(3 * 256, 0);
  for (int i = 0; i < 256; ++i) {
    map[i] = uint16_t(i * 257);       // red
    map[256 + i] = uint16_t(0x8000);  // green
    map[512 + i] = uint16_t(65535 - i * 257);
  }
  const uint8_t idx[4] = {0, 7, 200, 255};
  auto img = decodePicture(fileBytes(writeTiff(
      "palette.tif", s, [&](uint32_t x, uint32_t, uint16_t) { return idx[x]; }, &map)));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->kind(), 2u);  // shown through its own palette
  EXPECT_EQ(pixels(*img, 0, 4), (ByteVec{0, 7, 200, 255}));
  EXPECT_EQ(img->paletteEntry(7), 0x0780F8u);
}

TEST(TiffPicture, DamagedFilesAreRefused) {
  TiffSpec s;
  s.width = 16;
  s.height = 16;
  s.rowsPerStrip = 16;
  const ByteVec good = fileBytes(writeTiff("cut.tif", s, [](uint32_t x, uint32_t y, uint16_t) { return uint8_t(x); }));
  ASSERT_NE(decodePicture(good), nullptr);
  for (size_t cut : {size_t{8}, size_t{100}, good.size() - 20}) {
    ByteVec b(good.begin(), good.begin() + static_cast<long>(cut));
    EXPECT_EQ(decodePicture(b), nullptr) << cut;
  }
}

}  // namespace
}  // namespace trelmo
