#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "context.h"
#include "database/options.h"
#include "files/import/import_readers.h"
#include "files/import/picture.h"
#include "picture_test_bytes.h"

namespace trelmo {
namespace {

using testing::BmpSpec;
using testing::ByteVec;

ByteVec tinyBmp(int width) {
  BmpSpec s;
  s.width = width;
  s.palette = {0x000000, 0xFFFFFF};
  return testing::makeBmp(s, ByteVec((width + 3) / 4 * 4, 1));
}

char readBytes(Context& ctx, const ByteVec& b, char hint = 0) {
  InputFile in;
  in.openMemory(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
  return readPicture(ctx, in, hint);
}

// A context as the reader chain leaves it before the readers run.
struct PictureRead : ::testing::Test {
  Context ctx;
  void SetUp() override { parseOptionV4(ctx, "-y1"); }
  const LayerEntry& layer(int n) { return ctx.params.layers[n]; }
};

TEST_F(PictureRead, NewFileGetsThePictureLayersAndView) {
  ASSERT_EQ(readBytes(ctx, tinyBmp(2)), 'B');
  ASSERT_NE(ctx.images.get(ctx.params.imageCurrent), nullptr);

  // The grey ramp: each layer plots in the inverted grey it shows.
  EXPECT_EQ(layer(19).color & 0xFFFFFF, 0x777777u);
  EXPECT_EQ(layer(19).plotColor, 0x888888u);
  EXPECT_EQ(layer(236).sequence, 236);
  int named = 0;
  for (int n = 0; n < 256; ++n) named += layer(n).name[0] != 0;
  EXPECT_EQ(named, 40);
  for (int n = 0; n < 256; ++n)
    EXPECT_LE(std::strlen(layer(n).name), size_t{kLayerNameMax}) << n;  // every name fits whole
  EXPECT_EQ(ctx.params.currentLayer, 0);
  EXPECT_EQ(ctx.params.limits[0], -32 * 65536);
  EXPECT_EQ(ctx.params.limits[3], 32 * 65536);
  EXPECT_EQ(ctx.params.drawLines & 3, 3);
}

TEST_F(PictureRead, ExistingLayerTableIsKept) {
  parseOptionV4(ctx, "-y0:00FF0000,00FFFFFF,0,0,Pad Master");
  ASSERT_EQ(readBytes(ctx, tinyBmp(2)), 'B');
  EXPECT_STREQ(layer(0).name, "Pad Master");
  EXPECT_EQ(layer(255).name[0], 0);
}

TEST_F(PictureRead, EachPictureBecomesCurrentAndPushesTheLastOneAside) {
  ASSERT_EQ(readBytes(ctx, tinyBmp(1)), 'B');
  ASSERT_EQ(readBytes(ctx, tinyBmp(2)), 'B');
  ASSERT_EQ(readBytes(ctx, tinyBmp(3)), 'B');
  EXPECT_EQ(ctx.images.get(ctx.params.imageCurrent)->width(), 3u);
  EXPECT_EQ(ctx.images.get(ctx.params.imageAlternate)->width(), 2u);
  EXPECT_EQ(ctx.images.size(), 2u);  // the first picture is freed
}

TEST_F(PictureRead, NameIsTheFileNameWithoutItsDirectory) {
  const std::string path = testing::temporaryPath("scan.bmp");
  const ByteVec b = tinyBmp(5);
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(b.data(), 1, b.size(), f);
  std::fclose(f);
  InputFile in;
  ASSERT_TRUE(in.open(path));
  ASSERT_EQ(readPicture(ctx, in, 0), 'B');
  PixelImage* img = ctx.images.get(ctx.params.imageCurrent);
  EXPECT_EQ(img->name(), "scan.bmp");
  EXPECT_EQ(img->width(), 5u);

  auto linked = loadPictureFile(path);
  ASSERT_NE(linked, nullptr);
  EXPECT_EQ(linked->name(), "scan.bmp");
  EXPECT_EQ(loadPictureFile(testing::temporaryPath("no such picture.bmp")), nullptr);
}

TEST_F(PictureRead, OtherFilesAndHintsAreLeftToTheNextReaders) {
  EXPECT_EQ(readBytes(ctx, tinyBmp(2), 'X'), 0);  // a hint names another format
  EXPECT_EQ(readBytes(ctx, ByteVec{'T', 'R', 'E', 'L', 'M', 'O'}), 0);
  ByteVec damaged = tinyBmp(2);
  damaged.resize(damaged.size() - 2);
  EXPECT_EQ(readBytes(ctx, damaged), 0);
  EXPECT_EQ(readBytes(ctx, ByteVec{}), 0);
  EXPECT_EQ(ctx.params.imageCurrent, 0u);
  EXPECT_EQ(ctx.images.size(), 0u);
  EXPECT_EQ(layer(0).name[0], 0);  // no picture, no picture layers
}

TEST(PictureRecognise, MagicBytes) {
  auto kind = [](std::string_view s) {
    return recognisePicture({reinterpret_cast<const uint8_t*>(s.data()), s.size()});
  };
  EXPECT_EQ(kind("BM"), PictureType::Bmp);
  EXPECT_EQ(kind("GIF87a"), PictureType::Gif);
  EXPECT_EQ(kind("GIF89a"), PictureType::Gif);
  EXPECT_EQ(kind("GIF90a"), PictureType::None);
  EXPECT_EQ(kind(std::string_view("II*\0", 4)), PictureType::Tiff);
  EXPECT_EQ(kind(std::string_view("MM\0*", 4)), PictureType::Tiff);
  EXPECT_EQ(kind("II*"), PictureType::None);
  EXPECT_EQ(kind("SIMPLE  =                    T"), PictureType::Fits);
  EXPECT_EQ(kind("SIMPLE ="), PictureType::None);
  std::string pcx(128, '\0');
  pcx[0] = 0x0A, pcx[1] = 5, pcx[2] = 1, pcx[3] = 8, pcx[65] = 1;
  EXPECT_EQ(kind(pcx), PictureType::Pcx);
  pcx[1] = 1;  // no such version
  EXPECT_EQ(kind(pcx), PictureType::None);
  pcx[1] = 5, pcx[3] = 3;  // no such depth
  EXPECT_EQ(kind(pcx), PictureType::None);
  pcx[3] = 8, pcx[2] = 0;  // not run-length coded
  EXPECT_EQ(kind(pcx), PictureType::None);
  EXPECT_EQ(kind(""), PictureType::None);
}

}  // namespace
}  // namespace trelmo
