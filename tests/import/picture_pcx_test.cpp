#include <gtest/gtest.h>

#include "files/import/picture.h"
#include "picture_test_bytes.h"

namespace trelmo {
namespace {

using testing::ByteVec;
using testing::pixels;

struct PcxSpec {
  uint8_t version = 5, bpp = 8, planes = 1;
  uint16_t width = 1, height = 1, bytesPerLine = 2, dpi = 150;
  uint16_t xmin = 0, ymin = 0;
  std::vector<uint32_t> headerColors;  // up to 16
};

ByteVec makePcx(const PcxSpec& s, const ByteVec& data) {
  ByteVec b = {0x0A, s.version, 1, s.bpp};
  testing::put16(b, s.xmin);
  testing::put16(b, s.ymin);
  testing::put16(b, s.xmin + s.width - 1);
  testing::put16(b, s.ymin + s.height - 1);
  testing::put16(b, s.dpi);
  testing::put16(b, s.dpi);
  for (size_t i = 0; i < 16; ++i) {
    const uint32_t c = i < s.headerColors.size() ? s.headerColors[i] : 0;
    testing::append(b, {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
  }
  b.push_back(0);
  b.push_back(s.planes);
  testing::put16(b, s.bytesPerLine);
  testing::put16(b, 1);
  b.resize(128, 0);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

ByteVec vgaPalette() {
  ByteVec p = {0x0C};
  for (int i = 0; i < 256; ++i) testing::append(p, {uint8_t(i), uint8_t(255 - i), 7});
  return p;
}

TEST(PcxPicture, EightBitRunsWithTheTrailingPalette) {
  PcxSpec s;
  s.width = 3;
  s.height = 2;
  s.bytesPerLine = 4;
  // Row 0: 5, then 0xC1 twice (a value of 0xC0 and up is always a run), pad.
  // Row 1: a run of four 9s (the pad included).
  ByteVec data = {5, 0xC2, 0xC1, 0, 0xC4, 9};
  const ByteVec pal = vgaPalette();
  data.insert(data.end(), pal.begin(), pal.end());
  auto img = decodePicture(makePcx(s, data));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->width(), 3u);
  EXPECT_EQ(img->height(), 2u);
  EXPECT_EQ(img->kind(), 2u);  // shown through its own palette
  EXPECT_EQ(img->resolution(), 150u);
  EXPECT_EQ(pixels(*img, 0, 3), (ByteVec{5, 0xC1, 0xC1}));
  EXPECT_EQ(pixels(*img, 1, 3), (ByteVec{9, 9, 9}));
  EXPECT_EQ(img->paletteEntry(0), 0x00FF07u);
  EXPECT_EQ(img->paletteEntry(255), 0xFF0007u);
  EXPECT_EQ(img->x1(), 2 * 65536 / 150);
  EXPECT_EQ(img->y1(), 65536 / 150);
}

TEST(PcxPicture, EightBitWithoutPaletteIsGrey) {
  PcxSpec s;
  s.dpi = 0;  // no resolution: 100 dpi
  auto img = decodePicture(makePcx(s, {77, 0}));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->kind(), 0u);
  EXPECT_EQ(img->resolution(), 100u);
  EXPECT_EQ(img->paletteEntry(77), 0x4D4D4Du);
  EXPECT_EQ(img->row(0)[0], 77);
}

TEST(PcxPicture, ThreePlanesOfEightBitsAreColour) {
  PcxSpec s;
  s.width = 2;
  s.planes = 3;
  s.bytesPerLine = 2;
  // Red plane 10 20, green plane 30 30, blue plane 30 40: the run of 30s
  // runs from one plane into the next.
  auto img = decodePicture(makePcx(s, {10, 20, 0xC3, 30, 40}));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->kind(), 3u);
  EXPECT_EQ(img->bitsPerPixel(), 24u);
  EXPECT_EQ(pixels(*img, 0, 6), (ByteVec{10, 30, 30, 20, 30, 40}));
}

TEST(PcxPicture, OneBitMonochrome) {
  PcxSpec s;
  s.bpp = 1;
  s.width = 10;
  s.bytesPerLine = 2;
  auto img = decodePicture(makePcx(s, {0x81, 0x40}));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(pixels(*img, 0, 10), (ByteVec{1, 0, 0, 0, 0, 0, 0, 1, 0, 1}));
  EXPECT_EQ(img->paletteEntry(0), 0u);
  EXPECT_EQ(img->paletteEntry(1), 0xFFFFFFu);
}

TEST(PcxPicture, FourBitPlanesMakeSixteenColours) {
  PcxSpec s;
  s.bpp = 1;
  s.planes = 4;
  s.width = 2;
  s.bytesPerLine = 2;
  s.headerColors = {0x000000, 0x112233, 0, 0, 0, 0x445566, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xABCDEF};
  // Pixel 0 has planes 0 and 2 set (index 5), pixel 1 all four (index 15).
  const ByteVec planes = {0xC0, 0, 0x40, 0, 0xC0, 0, 0x40, 0};
  ByteVec coded;
  for (uint8_t v : planes) {
    if (v >= 0xC0) coded.push_back(0xC1);
    coded.push_back(v);
  }
  auto img = decodePicture(makePcx(s, coded));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(pixels(*img, 0, 2), (ByteVec{5, 15}));
  EXPECT_EQ(img->paletteEntry(5), 0x445566u);
  EXPECT_EQ(img->paletteEntry(15), 0xABCDEFu);

  // Version 3 files carry no colours: the standard EGA set is used.
  s.version = 3;
  img = decodePicture(makePcx(s, coded));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->paletteEntry(5), 0xAA00AAu);
  EXPECT_EQ(img->paletteEntry(15), 0xFFFFFFu);
}

TEST(PcxPicture, HostileFilesAreRefused) {
  PcxSpec s;
  s.width = 4;
  s.height = 2;
  s.bytesPerLine = 4;
  EXPECT_NE(decodePicture(makePcx(s, {0xC8, 1})), nullptr);
  EXPECT_EQ(decodePicture(makePcx(s, {0xC7, 1})), nullptr);  // one byte short
  EXPECT_EQ(decodePicture(makePcx(s, {0xC8})), nullptr);     // run without its value
  EXPECT_EQ(decodePicture(makePcx(s, {})), nullptr);

  PcxSpec big;
  big.width = 65535;
  big.height = 65535;
  big.bytesPerLine = 65535;
  EXPECT_EQ(decodePicture(makePcx(big, {0xFF, 0})), nullptr);  // huge picture in a tiny file
  big.width = 4000;
  big.height = 4000;
  big.bytesPerLine = 4000;
  EXPECT_EQ(decodePicture(makePcx(big, ByteVec(2000, 0xFF))), nullptr);

  PcxSpec narrow = s;
  narrow.bytesPerLine = 3;  // shorter than a row of pixels
  EXPECT_EQ(decodePicture(makePcx(narrow, ByteVec(16, 0))), nullptr);
  PcxSpec planes = s;
  planes.planes = 2;  // two planes of 8 bits is no known layout
  EXPECT_EQ(decodePicture(makePcx(planes, ByteVec(32, 0))), nullptr);

  ByteVec backwards = makePcx(s, {0xC8, 1});
  backwards[8] = 0;  // xmax below xmin
  backwards[4] = 5;
  EXPECT_EQ(decodePicture(backwards), nullptr);
  ByteVec cut = makePcx(s, {0xC8, 1});
  cut.resize(100);
  EXPECT_EQ(decodePicture(cut), nullptr);
}

}  // namespace
}  // namespace trelmo
