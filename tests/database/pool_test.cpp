#include <gtest/gtest.h>

#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "database/signals.h"

namespace trelmo {
namespace {

TEST(Pool, FreedRecordsComeBackLastInFirstOutAndZeroed) {
  Context ctx;
  const Handle a = ctx.pool.allocate();
  const Handle b = ctx.pool.allocate();
  ctx.pool[a].x1 = 77;
  ctx.pool[b].w5 = -1;
  ctx.pool[b].flags = 0xFF;
  ctx.pool.release(a);
  ctx.pool.release(b);
  EXPECT_EQ(ctx.pool.allocate(), b);
  EXPECT_EQ(ctx.pool.allocate(), a);
  const Record& rb = ctx.pool[b];
  EXPECT_EQ(rb.ext, kNull);
  EXPECT_EQ(rb.flags, 0);
  EXPECT_EQ(rb.w5, 0);
  EXPECT_EQ(ctx.pool[a].x1, 0);
}

// Takes every free record of the limited pool and returns how many it got.
std::vector<Handle> drain(RecordPool& pool) {
  std::vector<Handle> taken;
  for (Handle h; (h = pool.allocate()) != kNull;) taken.push_back(h);
  return taken;
}

TEST(Pool, ExhaustedPoolLeavesDesignUnchanged) {
  Context ctx;
  ctx.pool.setBlockLimit(1);
  const Handle ring = ctx.rings[kWorkRing1];
  const Handle line = createItem(ctx.pool, ring, kLine, 3, 100, 0, 0, 10, 10, kNull);
  ASSERT_NE(line, kNull);
  ASSERT_TRUE(storeText(ctx, line, "keep me"));
  const auto taken = drain(ctx.pool);
  EXPECT_EQ(ctx.pool.blockCount(), 1);
  EXPECT_EQ(ctx.pool.freeCount(), 0u);

  EXPECT_EQ(ctx.pool.allocate(), kNull);
  EXPECT_EQ(createItem(ctx.pool, ring), kNull);
  EXPECT_EQ(ctx.pool[ring].next, line);
  EXPECT_EQ(ctx.pool[ring].prev, line);

  // Every allocating operation fails without linking anything.
  EXPECT_FALSE(storeText(ctx, line, "new text"));
  EXPECT_EQ(readText(ctx, line), "keep me");
  EXPECT_FALSE(attachSignal(ctx, line, "VCC"));
  EXPECT_EQ(findSignal(ctx, "VCC"), kNull);
  ctx.pool[line].size = 0;
  const Handle solidExt = ctx.pool[line].ext;
  ctx.pool[line].ext = kNull;
  EXPECT_FALSE(appendVertex(ctx, line, 5, 5));
  EXPECT_EQ(ctx.pool[line].ext, kNull);
  EXPECT_FALSE(solidToRectangle(ctx, line));
  EXPECT_EQ(ctx.pool[line].ext, kNull);
  EXPECT_EQ(ctx.pool[line].w3, 10);
  const Handle pad = taken.back();
  ctx.pool[pad].flags = kPad;
  EXPECT_FALSE(storePin(ctx, pad, "A1"));
  EXPECT_EQ(ctx.pool[pad].w5, 0);
  EXPECT_TRUE(storePin(ctx, pad, "7"));  // a pin number needs no record
  ctx.pool[line].ext = solidExt;
}

TEST(Pool, PartlyBuiltChainIsGivenBackWhenThePoolRunsOut) {
  Context ctx;
  ctx.pool.setBlockLimit(1);
  const Handle text = createItem(ctx.pool, ctx.rings[kWorkRing1]);
  auto taken = drain(ctx.pool);
  // Room for two records only: a 100-byte text needs four.
  ctx.pool.release(taken.back());
  taken.pop_back();
  ctx.pool.release(taken.back());
  taken.pop_back();
  EXPECT_FALSE(storeText(ctx, text, std::string(100, 'x')));
  EXPECT_EQ(ctx.pool.freeCount(), 2u);
  EXPECT_EQ(ctx.pool[text].ext, kNull);
}

}  // namespace
}  // namespace trelmo
