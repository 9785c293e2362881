#include <gtest/gtest.h>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "database/signals.h"

namespace trelmo {
namespace {

TEST(Pool, FreedRecordsComeBackLastInFirstOutAndZeroed) {
  Context ctx;
  const Handle a = ctx.pool.allocate(), b = ctx.pool.allocate();
  ctx.pool[a].x1 = 77;
  ctx.pool[b].w5 = -1;
  ctx.pool.release(a);
  ctx.pool.release(b);
  EXPECT_EQ(ctx.pool.allocate(), b);
  EXPECT_EQ(ctx.pool.allocate(), a);
  EXPECT_EQ(ctx.pool[b].w5, 0);
  EXPECT_EQ(ctx.pool[a].x1, 0);
  EXPECT_EQ(ctx.pool[a].ext, kNull);
}

// Leaves `spare` free records in a one-block pool.
void exhaust(RecordPool& pool, size_t spare) {
  pool.setBlockLimit(1);
  std::vector<Handle> taken;
  for (Handle h; (h = pool.allocate()) != kNull;) taken.push_back(h);
  for (size_t i = 0; i < spare; ++i) pool.release(taken[i]);
}

TEST(Pool, ExhaustedPoolLeavesTheDesignUnchanged) {
  Context ctx;
  const Handle ring = ctx.rings[kWorkRing1];
  const Handle line = createItem(ctx.pool, ring, kLine, 3, 100, 0, 0, 10, 10, kNull);
  const Handle solid = createItem(ctx.pool, ring, kLine, 3, 0, 0, 0, 10, 10, kNull);
  const Handle pad = createItem(ctx.pool, ring, kPad, 3, 1, 0, 0, 0, 0, kNull);
  ASSERT_TRUE(storeText(ctx, line, "keep me"));
  exhaust(ctx.pool, 0);
  EXPECT_EQ(createItem(ctx.pool, ring), kNull);
  EXPECT_EQ(ctx.pool[ring].prev, pad);
  EXPECT_FALSE(storeText(ctx, line, "new text"));
  EXPECT_EQ(readText(ctx, line), "keep me");
  EXPECT_FALSE(attachSignal(ctx, line, "VCC"));
  EXPECT_EQ(findSignal(ctx, "VCC"), kNull);
  EXPECT_FALSE(solidToRectangle(ctx, solid));
  EXPECT_EQ(ctx.pool[solid].ext, kNull);
  EXPECT_EQ(ctx.pool[solid].w3, 10);
  EXPECT_FALSE(storePin(ctx, pad, "A1"));
  EXPECT_TRUE(storePin(ctx, pad, "7"));  // a pin number needs no record
}

TEST(Pool, PartlyBuiltChainsAreGivenBack) {
  Context ctx;
  const Handle text = createItem(ctx.pool, ctx.rings[kWorkRing1]);
  const Handle solid = createItem(ctx.pool, ctx.rings[kWorkRing1], kLine, 3, 0, 0, 0, 10, 10, kNull);
  exhaust(ctx.pool, 2);  // a 100-byte text needs four records, a rectangle four
  EXPECT_FALSE(storeText(ctx, text, std::string(100, 'x')));
  EXPECT_FALSE(solidToRectangle(ctx, solid));
  EXPECT_EQ(ctx.pool.freeCount(), 2u);
  EXPECT_EQ(ctx.pool[text].ext, kNull);
  EXPECT_EQ(ctx.pool[solid].w3, 10);
}

}  // namespace
}  // namespace trelmo
