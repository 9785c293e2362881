#include <gif_lib.h>
#include <gtest/gtest.h>

#include "files/import/picture.h"
#include "picture_test_bytes.h"

namespace trelmo {
namespace {

using testing::ByteVec;
using testing::pixels;

int appendOutput(GifFileType* gif, const GifByteType* data, int n) {
  auto* out = static_cast<ByteVec*>(gif->UserData);
  out->insert(out->end(), data, data + n);
  return n;
}

struct Frame {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlace = false;
  std::vector<uint32_t> localColors;
  std::vector<ByteVec> rows;  // in file order
};

ColorMapObject* colorMap(const std::vector<uint32_t>& colors) {
  if (colors.empty()) return nullptr;
  int n = 2;
  while (n < static_cast<int>(colors.size())) n *= 2;
  std::vector<GifColorType> c(n, GifColorType{0, 0, 0});
  for (size_t i = 0; i < colors.size(); ++i)
    c[i] = GifColorType{uint8_t(colors[i] >> 16), uint8_t(colors[i] >> 8), uint8_t(colors[i])};
  return GifMakeMapObject(n, c.data());
}

// A GIF with one frame on a logical screen, written by giflib.
ByteVec makeGif(int sw, int sh, int background, const std::vector<uint32_t>& global, const Frame& f,
                bool withExtension = false) {
  ByteVec out;
  int err = 0;
  GifFileType* gif = EGifOpen(&out, appendOutput, &err);
  EXPECT_NE(gif, nullptr);
  EGifSetGifVersion(gif, true);
  ColorMapObject* gmap = colorMap(global);
  EGifPutScreenDesc(gif, sw, sh, 8, background, gmap);
  if (withExtension) {
    const GifByteType gce[4] = {0, 10, 0, 0};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce);
  }
  ColorMapObject* lmap = colorMap(f.localColors);
  EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlace, lmap);
  for (const ByteVec& r : f.rows) {
    ByteVec line = r;
    EGifPutLine(gif, line.data(), static_cast<int>(line.size()));
  }
  EGifCloseFile(gif, &err);
  GifFreeMapObject(gmap);
  GifFreeMapObject(lmap);
  return out;
}

TEST(GifPicture, FrameOnABackgroundScreen) {
  Frame f;
  f.left = 1;
  f.top = 1;
  f.width = 2;
  f.height = 2;
  f.rows = {{0, 1}, {3, 0}};
  auto img = decodePicture(makeGif(4, 3, 2, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, f, true));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->width(), 4u);
  EXPECT_EQ(img->height(), 3u);
  EXPECT_EQ(img->kind(), 2u);  // shown through its own palette
  EXPECT_EQ(img->resolution(), 100u);
  const uint8_t want[3][4] = {{2, 2, 2, 2}, {2, 0, 1, 2}, {2, 3, 0, 2}};
  for (uint32_t y = 0; y < 3; ++y)
    for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(img->row(y)[x], want[y][x]) << x << "," << y;
  EXPECT_EQ(img->paletteEntry(1), 0xFF0000u);
  EXPECT_EQ(img->paletteEntry(3), 0x0000FFu);
  EXPECT_EQ(img->x1(), 3 * 65536 / 100);
}

TEST(GifPicture, InterlacedRowsLandInPlace) {
  Frame f;
  f.width = 1;
  f.height = 11;
  f.interlace = true;
  for (int start : {0, 4, 2, 1}) {
    const int step = start == 0 || start == 4 ? 8 : start == 2 ? 4 : 2;
    for (int r = start; r < 11; r += step) f.rows.push_back({uint8_t(r)});
  }
  std::vector<uint32_t> greys;
  for (uint32_t i = 0; i < 16; ++i) greys.push_back(i * 0x111111);
  auto img = decodePicture(makeGif(1, 11, 0, greys, f));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->kind(), 0u);  // every colour is a grey
  for (uint32_t y = 0; y < 11; ++y) EXPECT_EQ(img->row(y)[0], y);
}

TEST(GifPicture, LocalColoursWinAndFramesAreClippedToTheScreen) {
  Frame f;
  f.left = 1;
  f.width = 3;
  f.height = 2;
  f.localColors = {0x010203, 0x040506};
  f.rows = {{1, 1, 1}, {1, 0, 1}};
  auto img = decodePicture(makeGif(2, 1, 0, {0xFFFFFF, 0xFFFFFF}, f));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->width(), 2u);
  EXPECT_EQ(img->height(), 1u);
  EXPECT_EQ(pixels(*img, 0, 2), (ByteVec{0, 1}));
  EXPECT_EQ(img->paletteEntry(1), 0x040506u);
}

TEST(GifPicture, DamagedFilesAreRefused) {
  Frame f;
  f.width = 8;
  f.height = 8;
  for (int r = 0; r < 8; ++r) f.rows.push_back(ByteVec(8, uint8_t(r)));
  const ByteVec good = makeGif(8, 8, 0, {0, 0xFFFFFF}, f);
  ASSERT_NE(decodePicture(good), nullptr);
  for (size_t cut : {size_t{10}, size_t{30}, good.size() / 2, good.size() - 4}) {
    ByteVec b(good.begin(), good.begin() + static_cast<long>(cut));
    EXPECT_EQ(decodePicture(b), nullptr) << cut;
  }
  // A huge logical screen (16000 by 16000) around a small frame in a tiny file.
  ByteVec huge = good;
  huge[6] = huge[8] = 0x80;
  huge[7] = huge[9] = 0x3E;
  EXPECT_EQ(decodePicture(huge), nullptr);
  // A file that ends with no image at all.
  ByteVec empty(good.begin(), good.begin() + 13 + 3 * 2);
  empty.push_back(';');
  EXPECT_EQ(decodePicture(empty), nullptr);
}

}  // namespace
}  // namespace trelmo
