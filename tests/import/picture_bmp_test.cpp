#include <gtest/gtest.h>

#include "files/import/picture.h"
#include "picture_test_bytes.h"

namespace trelmo {
namespace {

using testing::BmpSpec;
using testing::ByteVec;
using testing::makeBmp;
using testing::pixels;

std::unique_ptr<PixelImage> decode(const ByteVec& b) { return decodePicture(b); }

TEST(BmpPicture, EightBitRowsAreTurnedTopFirstWithTheirPalette) {
  BmpSpec s;
  s.width = 3;
  s.height = 2;
  s.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  // Bottom row first, each padded to 4 bytes.
  auto img = decode(makeBmp(s, {3, 2, 1, 0, 1, 1, 2, 0}));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->width(), 3u);
  EXPECT_EQ(img->height(), 2u);
  EXPECT_EQ(img->bitsPerPixel(), 8u);
  EXPECT_EQ(img->kind(), 2u);  // shown through its own palette
  EXPECT_EQ(img->stride(), 4u);
  EXPECT_EQ(pixels(*img, 0, 3), (ByteVec{1, 1, 2}));
  EXPECT_EQ(pixels(*img, 1, 3), (ByteVec{3, 2, 1}));
  EXPECT_EQ(img->paletteEntry(1), 0xFF0000u);
  EXPECT_EQ(img->paletteEntry(3), 0x0000FFu);
  EXPECT_EQ(img->paletteEntry(4), 0u);
  // Edges: (width-1) and (height-1) pixels at 100 dpi.
  EXPECT_EQ(img->x0(), 0);
  EXPECT_EQ(img->y0(), 0);
  EXPECT_EQ(img->x1(), 2 * 65536 / 100);
  EXPECT_EQ(img->y1(), 65536 / 100);
}

TEST(BmpPicture, OneAndFourBitPixelsAreUnpacked) {
  BmpSpec s;
  s.width = 10;
  s.height = 1;
  s.bpp = 1;
  s.palette = {0x000000, 0xFFFFFF};
  auto mono = decode(makeBmp(s, {0xA5, 0x40, 0, 0}));
  ASSERT_NE(mono, nullptr);
  EXPECT_EQ(pixels(*mono, 0, 10), (ByteVec{1, 0, 1, 0, 0, 1, 0, 1, 0, 1}));
  EXPECT_EQ(mono->paletteEntry(1), 0xFFFFFFu);

  s.width = 3;
  s.bpp = 4;
  s.palette.assign(16, 0x112233);
  auto nib = decode(makeBmp(s, {0x9F, 0x30, 0, 0}));
  ASSERT_NE(nib, nullptr);
  EXPECT_EQ(pixels(*nib, 0, 3), (ByteVec{9, 15, 3}));
}

TEST(BmpPicture, SixteenAndTwentyFourBitPixelsBecomeColour) {
  BmpSpec s;
  s.width = 2;
  s.height = 1;
  s.bpp = 16;
  // 0x7C00 pure red; 0x0210: green 16, blue 16 (5 bits each).
  auto hi = decode(makeBmp(s, {0x00, 0x7C, 0x10, 0x02}));
  ASSERT_NE(hi, nullptr);
  EXPECT_EQ(hi->kind(), 3u);
  EXPECT_EQ(hi->bitsPerPixel(), 24u);
  EXPECT_EQ(pixels(*hi, 0, 6), (ByteVec{255, 0, 0, 0, 132, 132}));  // 16 -> 10000 100

  s.width = 1;
  s.height = 2;
  s.bpp = 24;
  // Stored blue, green, red; rows padded to 4 bytes; bottom row first.
  auto tc = decode(makeBmp(s, {0x01, 0x02, 0x03, 0, 0x0A, 0x0B, 0x0C, 0}));
  ASSERT_NE(tc, nullptr);
  EXPECT_EQ(pixels(*tc, 0, 3), (ByteVec{0x0C, 0x0B, 0x0A}));
  EXPECT_EQ(pixels(*tc, 1, 3), (ByteVec{0x03, 0x02, 0x01}));
}

TEST(BmpPicture, RunLengthCodedEightBit) {
  BmpSpec s;
  s.width = 5;
  s.height = 3;
  s.compression = 1;
  s.palette.assign(256, 0);
  const ByteVec rle = {
      3, 7,              // bottom row: 7 7 7
      0, 3, 1, 2, 3, 0,  // then literal 1 2 3 (padded to even)
      0, 0,              // end of line
      0, 2, 2, 1,        // skip 2 right and 1 up: middle row is left zero, top row from x=2
      2, 9,              // 9 9 at x 2, 3
      0, 1,              // end of bitmap
  };
  auto img = decode(makeBmp(s, rle));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(pixels(*img, 2, 5), (ByteVec{7, 7, 7, 1, 2}));  // the 6th pixel falls off the edge
  EXPECT_EQ(pixels(*img, 1, 5), ByteVec(5, 0));
  EXPECT_EQ(pixels(*img, 0, 5), (ByteVec{0, 0, 9, 9, 0}));
}

TEST(BmpPicture, ResolutionComesFromPixelsPerMetre) {
  BmpSpec s;
  s.palette = {0};
  auto dpi = [&](int32_t ppm) {
    s.pixelsPerMetre = ppm;
    auto img = decode(makeBmp(s, {0, 0, 0, 0}));
    return img ? img->resolution() : 0u;
  };
  EXPECT_EQ(dpi(2835), 72u);
  EXPECT_EQ(dpi(3937), 100u);
  EXPECT_EQ(dpi(11811), 300u);
  EXPECT_EQ(dpi(1969), 50u);
  EXPECT_EQ(dpi(1900), 100u);  // 48 dpi is below 50
  EXPECT_EQ(dpi(0), 100u);
  EXPECT_EQ(dpi(-5000), 100u);

  s.pixelsPerMetre = 11811;
  s.width = 301;
  auto img = decode(makeBmp(s, ByteVec(304, 0)));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->x1(), 65536);  // 300 pixels at 300 dpi: one inch
  EXPECT_EQ(img->y1(), 0);
}

TEST(BmpPicture, UnsupportedHeadersAreRefused) {
  BmpSpec good;
  good.palette = {0};
  const ByteVec px = {0, 0, 0, 0};
  ASSERT_NE(decode(makeBmp(good, px)), nullptr);
  auto refused = [&](auto change) {
    BmpSpec s = good;
    change(s);
    return decode(makeBmp(s, px)) == nullptr;
  };
  EXPECT_TRUE(refused([](BmpSpec& s) { s.infoSize = 12; }));
  EXPECT_TRUE(refused([](BmpSpec& s) { s.infoSize = 257; }));
  EXPECT_TRUE(refused([](BmpSpec& s) { s.planes = 2; }));
  EXPECT_TRUE(refused([](BmpSpec& s) { s.bpp = 32; }));
  EXPECT_TRUE(refused([](BmpSpec& s) { s.compression = 2; }));  // RLE4
  EXPECT_TRUE(refused([](BmpSpec& s) { s.bpp = 24, s.compression = 1; }));
  EXPECT_TRUE(refused([](BmpSpec& s) { s.width = -4; }));
  EXPECT_TRUE(refused([](BmpSpec& s) { s.height = 0; }));
  EXPECT_FALSE(refused([](BmpSpec& s) { s.infoSize = 124; }));  // a version 5 header
}

TEST(BmpPicture, HostileFilesAreRefusedWithoutReadingPastTheEnd) {
  BmpSpec s;
  s.palette = {0};
  // Huge dimensions in a tiny file.
  s.width = 60000;
  s.height = 60000;
  EXPECT_EQ(decode(makeBmp(s, {0, 0, 0, 0})), nullptr);
  s.width = 4000;
  s.height = 4000;
  EXPECT_EQ(decode(makeBmp(s, {0, 0, 0, 0})), nullptr);

  // Rows missing at the end.
  s.width = 4;
  s.height = 3;
  EXPECT_EQ(decode(makeBmp(s, ByteVec(11, 0))), nullptr);

  // A pixel offset beyond the end of the file.
  s.height = 1;
  ByteVec b = makeBmp(s, {0, 0, 0, 0});
  testing::set32(b, 10, 0x7FFFFFF0);
  EXPECT_EQ(decode(b), nullptr);

  // A pixel offset inside the headers: the pixels are taken to follow the table.
  testing::set32(b, 10, 20);
  auto inside = decode(b);
  ASSERT_NE(inside, nullptr);

  // Run-length data that stops early: in a run, in a literal, in a skip.
  s.compression = 1;
  s.width = 4;
  s.height = 2;
  for (const ByteVec& rle :
       {ByteVec{4, 1, 0, 0}, ByteVec{4, 1, 0, 0, 2}, ByteVec{0, 4, 1, 2}, ByteVec{0, 2, 1}, ByteVec{}}) {
    EXPECT_EQ(decode(makeBmp(s, rle)), nullptr) << rle.size();
  }
  // Header only, and cut in the middle of the information header.
  ByteVec h = makeBmp(s, {});
  h.resize(30);
  EXPECT_EQ(decode(h), nullptr);
  EXPECT_EQ(decode(ByteVec{'B', 'M'}), nullptr);
}

TEST(BmpPicture, ColourCountIsBoundedByTheTableSpace) {
  BmpSpec s;
  s.width = 1;
  s.palette = {0x00FF00, 0x0000FF};
  ByteVec b = makeBmp(s, {1, 0, 0, 0});
  testing::set32(b, 46, 0xFFFFFFFF);  // colours used
  auto img = decode(b);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->paletteEntry(0), 0x00FF00u);
  EXPECT_EQ(img->paletteEntry(1), 0x0000FFu);
  EXPECT_EQ(img->paletteEntry(2), 0u);  // pixel bytes are not taken as colours
  EXPECT_EQ(img->row(0)[0], 1);
}

TEST(BmpPicture, RunLengthSkipsBeyondTheEdgesStayInside) {
  BmpSpec s;
  s.compression = 1;
  s.width = 2;
  s.height = 2;
  // Skip far right, draw, then skip far up: nothing lands outside.
  auto img = decode(makeBmp(s, {0, 2, 255, 0, 200, 5, 0, 2, 0, 255, 9, 9, 0, 1}));
  ASSERT_NE(img, nullptr);
  for (uint32_t y = 0; y < 2; ++y) EXPECT_EQ(pixels(*img, y, 2), ByteVec(2, 0));
}

}  // namespace
}  // namespace trelmo
