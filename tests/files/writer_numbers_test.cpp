// The item-line writer's own number formatting must give exactly the text of
// the shared number formats, or files would differ with the writer used.
#include "files/writer_numbers.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "files/number_format.h"

namespace trelmo {
namespace {

template <typename T, typename Put, typename Append>
void expectSame(T v, Put put, Append append) {
  char buf[numbers::kMaxField];
  std::string expected;
  append(expected, v);
  ASSERT_EQ(std::string(buf, put(buf, v)), expected) << v;
}

TEST(WriterNumbers, MatchTheSharedFormats) {
  for (int64_t v = -140000; v <= 140000; ++v)
    expectSame(static_cast<int32_t>(v), numbers::putDimension, appendDimension);
  for (int64_t v = INT32_MIN; v <= INT32_MAX; v += 65521)
    expectSame(static_cast<int32_t>(v), numbers::putDimension, appendDimension);
  expectSame(INT32_MAX, numbers::putDimension, appendDimension);
  expectSame(INT32_MIN, numbers::putDimension, appendDimension);
  for (uint32_t a = 0; a <= 70000; ++a) expectSame(a, numbers::putAngle, appendAngle);
  for (int64_t v : {int64_t{0}, int64_t{-7}, int64_t{1023}, int64_t{INT32_MIN}, int64_t{INT64_MIN}, int64_t{INT64_MAX}})
    expectSame(v, numbers::putInt, appendInt);
}

}  // namespace
}  // namespace trelmo
