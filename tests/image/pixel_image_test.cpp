#include "image/pixel_image.h"

#include <gtest/gtest.h>

#include "context.h"

namespace trelmo {
namespace {

TEST(MakeImage, HeaderOfAPaletteImage) {
  auto img = makeImage(5, 3, 1, 300);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(std::memcmp(img->block.data(), "PIX98a", 6), 0);
  EXPECT_EQ(img->block[6] | img->block[7] << 8, 1408);
  EXPECT_EQ(img->stride(), 8u);  // rounded up to a multiple of 4
  EXPECT_EQ(img->width(), 5u);
  EXPECT_EQ(img->height(), 3u);
  EXPECT_EQ(img->resolution(), 300u);
  EXPECT_EQ(img->bitsPerPixel(), 8u);
  EXPECT_EQ(img->kind(), 1u);
  EXPECT_EQ(img->block.size(), kImageHeaderSize + 8 * 3);
  EXPECT_EQ(img->translation()[0], 0);
  EXPECT_EQ(img->translation()[200], 200);
  EXPECT_EQ(img->translation()[255], 255);
  EXPECT_EQ(img->name(), "");
  for (size_t i = kImageHeaderSize; i < img->block.size(); ++i) ASSERT_EQ(img->block[i], 0);
}

TEST(MakeImage, ColourImageRowsAreThreeBytesPerPixel) {
  auto img = makeImage(3, 2, 3, 100);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->bitsPerPixel(), 24u);
  EXPECT_EQ(img->stride(), 4u);
  EXPECT_EQ(img->pixelBytes(), 24u);
  EXPECT_EQ(img->row(1) - img->row(0), 12);
  EXPECT_EQ(img->block.size(), kImageHeaderSize + 24);
}

TEST(MakeImage, RefusesEmptyAndOversizedPictures) {
  EXPECT_EQ(makeImage(0, 10, 1, 100), nullptr);
  EXPECT_EQ(makeImage(10, 0, 1, 100), nullptr);
  EXPECT_EQ(makeImage(0xFFFFFFFFu, 0xFFFFFFFFu, 1, 100), nullptr);  // no overflow into a small size
  EXPECT_EQ(makeImage(1u << 14, (1u << 14) + 1, 1, 100), nullptr);
  EXPECT_EQ(makeImage(1u << 14, 1u << 13, 3, 100), nullptr);  // would fit at 8 bits, not at 24
  EXPECT_EQ(makeImage(0x40000001u, 1, 1, 100), nullptr);      // stride rounding past the bound
}

TEST(PixelImageName, IsCutToItsFieldAndLeavesThePaletteAlone) {
  auto img = makeImage(1, 1, 1, 100);
  img->setPaletteEntry(0, 0x123456);
  img->setName("board.bmp");
  EXPECT_EQ(img->name(), "board.bmp");
  EXPECT_FALSE(img->linked());
  img->setName(std::string(100, 'x'));
  EXPECT_EQ(img->name(), std::string(63, 'x'));
  EXPECT_EQ(img->translation()[0], 0);
  EXPECT_EQ(img->paletteEntry(0), 0x123456u);
  img->setName("\"scan.tif\"");
  EXPECT_TRUE(img->linked());
  img->setName("a");
  EXPECT_EQ(img->name(), "a");  // no rest of the longer name left behind
}

TEST(SetCurrentImage, OlderPicturesMoveToTheAlternateSlotAndThenAreFreed) {
  Context ctx;
  setCurrentImage(ctx, makeImage(1, 1, 1, 100));
  const uint32_t first = ctx.params.imageCurrent;
  EXPECT_NE(first, 0u);
  EXPECT_EQ(ctx.params.imageAlternate, 0u);

  setCurrentImage(ctx, makeImage(2, 2, 1, 100));
  const uint32_t second = ctx.params.imageCurrent;
  EXPECT_EQ(ctx.params.imageAlternate, first);
  EXPECT_EQ(ctx.images.get(second)->width(), 2u);

  setCurrentImage(ctx, makeImage(3, 3, 1, 100));
  EXPECT_EQ(ctx.params.imageAlternate, second);
  EXPECT_EQ(ctx.images.get(first), nullptr);
  EXPECT_EQ(ctx.images.size(), 2u);

  setCurrentImage(ctx, nullptr);  // a failed load leaves both slots alone
  EXPECT_EQ(ctx.images.get(ctx.params.imageCurrent)->width(), 3u);
  EXPECT_EQ(ctx.params.imageAlternate, second);
}

}  // namespace
}  // namespace trelmo
