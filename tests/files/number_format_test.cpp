#include "files/number_format.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>

#include "database/options.h"

namespace trelmo {
namespace {

std::string dim(int32_t v) {
  std::string s;
  appendDimension(s, v);
  return s;
}
std::string ang(uint32_t v) {
  std::string s;
  appendAngle(s, v);
  return s;
}
std::string fixed(uint64_t v, int decimals) {
  std::string s;
  appendFixed(s, v, decimals);
  return s;
}

TEST(NumberFormat, DimensionsDropLeadingAndTrailingZeros) {
  EXPECT_EQ(dim(0), "0");
  EXPECT_EQ(dim(1), ".00002");  // 1.5 hundred-thousandths, truncated to 1, made even
  EXPECT_EQ(dim(0x7FFFFFFF), "32767.99998");
  EXPECT_EQ(dim(32768), ".5");
  EXPECT_EQ(dim(655), ".01");
  EXPECT_EQ(dim(1638), ".025");
  EXPECT_EQ(dim(2 * 65536), "2.0");
  EXPECT_EQ(dim(-2949), "-.045");
  EXPECT_EQ(dim(-65536 - 32768), "-1.5");
  EXPECT_EQ(dim(INT32_MIN), "-32768.0");
}

// Reading a written dimension and writing it again gives the same text, so
// a file saved twice does not drift.
TEST(NumberFormat, DimensionsSurviveReadingBack) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
  for (int i = 0; i < 300000; ++i) {
    const int32_t v = i < 200000 ? i - 100000 : any(rng);
    const std::string text = dim(v);
    NumberReader r{text};
    const int32_t back = r.dimension();
    ASSERT_TRUE(r.atEnd()) << text;
    ASSERT_EQ(dim(back), text) << v;
    ASSERT_LE(std::abs(int64_t{back} - v), 1) << v;
  }
}

// Short numbers take a quicker scan than long ones; the two must agree where
// they meet (six whole or six fraction digits, mils, signs).
TEST(NumberFormat, ShortAndLongDimensionsReadAlike) {
  const std::pair<const char*, const char*> same[] = {{"1.5", "1.500000000"},
                                                      {"123456.5", "0123456.5"},
                                                      {"-2.000001", "-2.0000019"},
                                                      {"12", ".012"},
                                                      {"+3.25", "3.25"},
                                                      {"999999.999999", "0999999.9999990"},
                                                      {"-32768", "-32.768000000"},
                                                      {"7.", "7.0000000"},
                                                      {".000008", "0000000.000008"}};
  for (const auto& [quick, scanned] : same) {
    NumberReader a{quick}, b{scanned};
    EXPECT_EQ(a.dimension(), b.dimension()) << quick << " " << scanned;
    EXPECT_TRUE(a.atEnd() && b.atEnd()) << quick;
  }
  NumberReader r{"-1.25 7"};
  EXPECT_EQ(r.dimension(), -81920);
  EXPECT_EQ(r.pos, 5u);
}

TEST(NumberFormat, AnglesInHundredthsOfADegree) {
  EXPECT_EQ(ang(0), "0");
  EXPECT_EQ(ang(16384), "90");
  EXPECT_EQ(ang(91), ".50");
  EXPECT_EQ(ang(8283), "45.50");
  EXPECT_EQ(ang(65536), "360");
  EXPECT_EQ(ang(1u << 20), "360");
}

TEST(NumberFormat, EveryAngleSurvivesReadingBack) {
  for (uint32_t v = 0; v < 65536; ++v) {
    const std::string text = ang(v);
    NumberReader r{text};
    const uint16_t back = r.angle();
    ASSERT_EQ(ang(back), text) << v;
  }
}

TEST(NumberFormat, HexAndFixed) {
  std::string s;
  appendHex(s, 0xAA0000, 8);
  s += ' ';
  appendHex(s, 0xabcdef, 6);
  s += ' ';
  appendHex(s, 0, 6);
  EXPECT_EQ(s, "00AA0000 ABCDEF 000000");

  const uint64_t quarterMil = (uint64_t{1} << 32) / 4000;  // 0.00025 inch, just below
  EXPECT_EQ(fixed(quarterMil, 4), "0.0002");
  EXPECT_EQ(fixed(quarterMil + 1, 4), "0.0003");  // halves round up
  EXPECT_EQ(fixed(0xFFFFFFFFu, 4), "1.0000");
  EXPECT_EQ(fixed((uint64_t{1} << 32) / 40, 3), "0.025");
  EXPECT_EQ(fixed(uint64_t{254} << 31, 1), "127.0");
}

}  // namespace
}  // namespace trelmo
