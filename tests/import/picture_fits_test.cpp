#include <fitsio.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "files/import/picture.h"
#include "picture_test_bytes.h"

namespace trelmo {
namespace {

using testing::ByteVec;
using testing::pixels;

// Writes a FITS primary array of the given axes from doubles (first value =
// bottom-left pixel) and returns the file's bytes.
ByteVec writeFits(const std::string& name, int bitpix, std::vector<long> axes, std::vector<double> values) {
  const std::string path = testing::temporaryPath(name);
  std::remove(path.c_str());
  fitsfile* f = nullptr;
  int status = 0;
  fits_create_file(&f, path.c_str(), &status);
  fits_create_img(f, bitpix, static_cast<int>(axes.size()), axes.data(), &status);
  fits_write_img(f, TDOUBLE, 1, static_cast<LONGLONG>(values.size()), values.data(), &status);
  fits_close_file(f, &status);
  EXPECT_EQ(status, 0);
  std::ifstream in(path, std::ios::binary);
  return ByteVec(std::istreambuf_iterator<char>(in), {});
}

TEST(FitsPicture, SixteenBitIsScaledToGreyWithTheBottomRowLast) {
  // Rows from the bottom: 100 200 300 / 400 500 600.
  auto img = decodePicture(writeFits("short.fits", SHORT_IMG, {3, 2}, {100, 200, 300, 400, 500, 600}));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->width(), 3u);
  EXPECT_EQ(img->height(), 2u);
  EXPECT_EQ(img->kind(), 0u);
  EXPECT_EQ(img->bitsPerPixel(), 8u);
  EXPECT_EQ(img->paletteEntry(255), 0xFFFFFFu);
  // 100 (the smallest) to 600 (the largest) over 0 to 255.
  EXPECT_EQ(pixels(*img, 1, 3), (ByteVec{0, 51, 102}));
  EXPECT_EQ(pixels(*img, 0, 3), (ByteVec{153, 204, 255}));
  EXPECT_EQ(img->x1(), 2 * 65536 / 100);
  EXPECT_EQ(img->y1(), 65536 / 100);
}

TEST(FitsPicture, FloatsWithNanAndOtherDepths) {
  const double nan = std::nan("");
  auto img = decodePicture(writeFits("float.fits", FLOAT_IMG, {2, 2}, {-1.0, nan, 0.0, 1.0}));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(pixels(*img, 1, 2), (ByteVec{0, 0}));  // -1 and not a number
  EXPECT_EQ(pixels(*img, 0, 2), (ByteVec{128, 255}));

  for (int bitpix : {BYTE_IMG, LONG_IMG, DOUBLE_IMG}) {
    auto other = decodePicture(writeFits("depth.fits", bitpix, {2, 1}, {10, 20}));
    ASSERT_NE(other, nullptr) << bitpix;
    EXPECT_EQ(pixels(*other, 0, 2), (ByteVec{0, 255})) << bitpix;
  }
  // A flat picture is all black rather than a division by zero.
  auto flat = decodePicture(writeFits("flat.fits", SHORT_IMG, {2, 1}, {7, 7}));
  ASSERT_NE(flat, nullptr);
  EXPECT_EQ(flat->row(0)[1], 0);
}

TEST(FitsPicture, OnlyOnePlaneIsAPicture) {
  EXPECT_NE(decodePicture(writeFits("cube1.fits", BYTE_IMG, {2, 2, 1}, {1, 2, 3, 4})), nullptr);
  EXPECT_EQ(decodePicture(writeFits("cube2.fits", BYTE_IMG, {2, 2, 2}, {1, 2, 3, 4, 5, 6, 7, 8})), nullptr);
  EXPECT_EQ(decodePicture(writeFits("line.fits", BYTE_IMG, {4}, {1, 2, 3, 4})), nullptr);
}

TEST(FitsPicture, DamagedFilesAreRefused) {
  ByteVec good = writeFits("big.fits", SHORT_IMG, {100, 100}, std::vector<double>(10000, 3));
  ASSERT_NE(decodePicture(good), nullptr);
  // The last record may lack its padding: the pixels are all there.
  ByteVec unpadded(good.begin(), good.begin() + 2880 + 20000);
  auto img = decodePicture(unpadded);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->row(99)[99], 0);
  ByteVec cut(good.begin(), good.begin() + 2880 + 1000);  // header and part of the data
  EXPECT_EQ(decodePicture(cut), nullptr);
  ByteVec headerOnly(good.begin(), good.begin() + 2880);
  EXPECT_EQ(decodePicture(headerOnly), nullptr);
  ByteVec half(good.begin(), good.begin() + 1440);
  EXPECT_EQ(decodePicture(half), nullptr);

  // Huge axes announced in a small file.
  std::string header(good.begin(), good.begin() + 2880);
  const size_t at = header.find("NAXIS1  =");
  ASSERT_NE(at, std::string::npos);
  header.replace(at, 30, "NAXIS1  =              9999999");
  ByteVec huge(header.begin(), header.end());
  huge.insert(huge.end(), good.begin() + 2880, good.end());
  EXPECT_EQ(decodePicture(huge), nullptr);
}

}  // namespace
}  // namespace trelmo
