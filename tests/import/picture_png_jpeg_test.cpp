// PNG and JPEG pictures: what users' photographs come as. PNG files are
// written by the picture save, JPEG files by libjpeg here.
#include <gtest/gtest.h>

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include <vector>

#include "files/import/picture.h"
#include "image/png_file.h"

namespace trelmo {
namespace {

std::unique_ptr<PixelImage> sample(uint32_t kind, uint32_t dpi) {
  auto img = makeImage(5, 3, kind, dpi);
  const size_t n = kind == 3 ? 3 : 1;
  for (uint32_t r = 0; r < 3; ++r)
    for (size_t i = 0; i < 5 * n; ++i) img->row(r)[i] = static_cast<uint8_t>(40 * r + 7 * i + 1);
  for (int i = 0; i < 256; ++i) img->setPaletteEntry(i, kind == 0 ? 0x010101u * i : 0x102030u + i);
  return img;
}

TEST(PngPicture, SavedPicturesReadBackWithTheirPixelsKindPaletteAndResolution) {
  for (uint32_t kind : {0u, 1u, 3u}) {
    auto img = sample(kind, 300);
    std::vector<uint8_t> png;
    ASSERT_TRUE(encodePng(*img, png));
    ASSERT_EQ(recognisePicture(png), PictureType::Png);
    auto back = decodePicture(png);
    ASSERT_NE(back, nullptr) << kind;
    EXPECT_EQ(back->kind(), kind == 1 ? 2u : kind) << "the colour cube comes back as the picture's own palette";
    EXPECT_EQ(back->resolution(), 300u);
    EXPECT_EQ(back->x1(), 4 * 65536 / 300);
    ASSERT_EQ(back->width(), 5u);
    for (uint32_t r = 0; r < 3; ++r)
      for (size_t i = 0; i < (kind == 3 ? 15u : 5u); ++i) ASSERT_EQ(back->row(r)[i], img->row(r)[i]) << kind;
    if (kind == 1) EXPECT_EQ(back->paletteEntry(100), 0x663366u);
    // Any cut through the file is refused or read, never a crash.
    for (size_t cut = 0; cut < png.size(); cut += 7) decodePicture({png.data(), cut});
  }
}

TEST(PngPicture, LargePicturesReadButATinyFileCannotClaimOne) {
  auto big = makeImage(4000, 4000, 0, 300);  // all zero: deflate at its best ratio
  std::vector<uint8_t> png;
  ASSERT_TRUE(encodePng(*big, png));
  auto back = decodePicture(png);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->height(), 4000u);
  // The header says 4000 x 16000 (64 MB) while the data holds 16 MB.
  png[22] = 0x3e, png[23] = 0x80;
  uint32_t crc = ~0u;  // the chunk's CRC-32 over its type and data
  for (int i = 12; i < 29; ++i) {
    crc ^= png[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  crc = ~crc;
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  EXPECT_EQ(decodePicture(png), nullptr);
}

std::vector<uint8_t> jpeg(int components, int densityUnit, int density) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = 16, c.image_height = 8, c.input_components = components;
  c.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 100, TRUE);
  c.density_unit = static_cast<UINT8>(densityUnit);
  c.X_density = c.Y_density = static_cast<UINT16>(density);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(16 * components);
  for (int i = 0; i < 16; ++i)
    for (int k = 0; k < components; ++k) row[i * components + k] = components == 1 ? 100 : k == 0 ? 250 : 5;
  while (c.next_scanline < c.image_height) {
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&c, &p, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<uint8_t> bytes(out, out + size);
  free(out);
  return bytes;
}

TEST(JpegPicture, GreyAndColourPhotographsWithTheirDensity) {
  const auto grey = jpeg(1, 1, 200);
  ASSERT_EQ(recognisePicture(grey), PictureType::Jpeg);
  auto g = decodePicture(grey);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->kind(), 0u);
  EXPECT_EQ(g->resolution(), 200u);
  EXPECT_NEAR(g->row(5)[9], 100, 2);

  auto red = decodePicture(jpeg(3, 2, 100));  // 100 dots per centimetre
  ASSERT_NE(red, nullptr);
  EXPECT_EQ(red->kind(), 3u);
  EXPECT_EQ(red->resolution(), 254u);
  EXPECT_NEAR(red->row(3)[3 * 4 + 2], 250, 4) << "stored blue, green, red";
  EXPECT_NEAR(red->row(3)[3 * 4 + 0], 5, 4);

  EXPECT_EQ(decodePicture(jpeg(3, 0, 1))->resolution(), 100u) << "no density unit: 100 dpi";
  const std::vector<uint8_t> junk = {0xFF, 0xD8, 0xFF, 0x00, 0x12, 0x34};
  EXPECT_EQ(decodePicture(junk), nullptr);
  for (size_t cut = 0; cut < grey.size(); cut += 11) decodePicture({grey.data(), cut});
}

}  // namespace
}  // namespace trelmo
