// The item-line writer's own number formatting must give exactly the text of
// the shared number formats, or files would differ with the writer used.
#include "files/writer_numbers.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "files/number_format.h"

namespace trelmo {
namespace {

template <typename Put, typename T>
std::string put(Put f, T v) {
  char buf[numbers::kMaxField];
  return std::string(buf, f(buf, v));
}

TEST(WriterNumbers, DimensionsMatchTheSharedFormat) {
  auto check = [](int32_t v) {
    std::string expected;
    appendDimension(expected, v);
    ASSERT_EQ(put(numbers::putDimension, v), expected) << v;
  };
  for (int32_t v = -140000; v <= 140000; ++v) check(v);
  for (int64_t v = INT32_MIN; v <= INT32_MAX; v += 65521) check(static_cast<int32_t>(v));
  for (int32_t v : {INT32_MIN, INT32_MIN + 1, INT32_MAX, INT32_MAX - 1, 1, -1}) check(v);
  EXPECT_EQ(put(numbers::putDimension, 655), ".01");
  EXPECT_EQ(put(numbers::putDimension, INT32_MAX), "32767.99998");
}

TEST(WriterNumbers, AnglesAndIntegersMatchTheSharedFormat) {
  for (uint32_t a = 0; a <= 70000; ++a) {
    std::string expected;
    appendAngle(expected, a);
    ASSERT_EQ(put(numbers::putAngle, a), expected) << a;
  }
  for (int64_t v : {int64_t{0}, int64_t{7}, int64_t{-7}, int64_t{1023}, int64_t{65535}, int64_t{INT32_MIN},
                    int64_t{INT64_MIN}, int64_t{INT64_MAX}}) {
    std::string expected;
    appendInt(expected, v);
    EXPECT_EQ(put(numbers::putInt, v), expected) << v;
  }
}

}  // namespace
}  // namespace trelmo
