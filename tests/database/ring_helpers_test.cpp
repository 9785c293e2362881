#include <gtest/gtest.h>

#include <string>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/rings.h"

namespace trelmo {
namespace {

class RingHelpers : public ::testing::Test {
 protected:
  Handle add(Handle ring, uint8_t type, int32_t x1, int32_t y1, int32_t x2 = 0, int32_t y2 = 0) {
    return createItem(ctx.pool, ring, type, 1, 10, x1, y1, x2, y2, kNull);
  }
  Context ctx;
};

TEST_F(RingHelpers, BoundsCoverEveryKindOfItem) {
  const Handle ring = newRing(ctx.pool, kComponentRing);
  ASSERT_NE(ring, kNull);
  const ItemBox empty = ringBounds(ctx.pool, ring);
  EXPECT_EQ(empty.x0 | empty.y0 | empty.x1 | empty.y1, 0);

  add(ring, kPad, 5, 5);                     // origin only, even with a second point
  add(ring, kLine, 40, -10, 20, 30);         // both points, in any order
  const Handle arc = add(ring, kArc, 0, 0);  // the full circle, whatever the sign of the radius
  item::setArc(ctx.pool[arc], -50, 0, 16384, 0, 0);
  const ItemBox b = ringBounds(ctx.pool, ring);
  EXPECT_EQ(b.x0, -50);
  EXPECT_EQ(b.y0, -50);
  EXPECT_EQ(b.x1, 50);
  EXPECT_EQ(b.y1, 50);

  // A far item is kept exactly; clamping is the caller's business.
  add(ring, kLine, INT32_MAX, 0, INT32_MAX, 0);
  item::setArc(ctx.pool[add(ring, kArc, INT32_MIN, 0)], INT32_MAX, 0, 0, 0, 0);
  const ItemBox far = ringBounds(ctx.pool, ring);
  EXPECT_EQ(far.x1, int64_t{INT32_MAX});
  EXPECT_EQ(far.x0, int64_t{INT32_MIN} - INT32_MAX);
  EXPECT_EQ(clamp32(far.x0), INT32_MIN);
}

TEST_F(RingHelpers, ComponentRingHangsUnderItsHeader) {
  const Handle header = add(ctx.rings[kWorkRing1], kComponent, 7, 8, 7, 8);
  const Handle ring = newComponentRing(ctx, header, 7, 8, "R1");
  ASSERT_NE(ring, kNull);
  EXPECT_EQ(ctx.pool[header].ext, ring);
  EXPECT_EQ(ctx.pool[ring].w4, static_cast<int32_t>(header));
  EXPECT_EQ(ctx.pool[ring].x1, 7);
  EXPECT_EQ(ctx.pool[ring].y1, 8);
  EXPECT_EQ(readText(ctx, ring), "R1");
  EXPECT_TRUE(ringEmpty(ctx.pool, ring));
}

TEST_F(RingHelpers, TextItemsCarryTheirText) {
  const Handle h = createTextItem(ctx, ctx.rings[kWorkRing1], 3, 600, 1, 2, "hello");
  ASSERT_NE(h, kNull);
  EXPECT_EQ(ctx.pool[h].type(), kText);
  EXPECT_EQ(ctx.pool[h].layer, 3);
  EXPECT_EQ(readText(ctx, h), "hello");
}

TEST(TextLength, CountsCharactersUpToAFieldSeparator) {
  EXPECT_EQ(textLengthOf("abc", 600), 3 * 600 - 200);
  EXPECT_EQ(textLengthOf(std::string("ab\177cdef"), 600), textLengthOf("ab", 600));
  EXPECT_EQ(textLengthOf("", 600), 1);   // never below one
  EXPECT_EQ(textLengthOf("abc", 5), 1);  // too small a height for a unit
  EXPECT_EQ(textLengthOfChars(2, 600), textLengthOf("xy", 600));
}

}  // namespace
}  // namespace trelmo
