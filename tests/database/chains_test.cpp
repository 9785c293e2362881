#include "database/chains.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "context.h"
#include "database/rings.h"
#include "database/signals.h"

namespace trelmo {
namespace {

class Chains : public ::testing::Test {
 protected:
  Handle newItem(uint8_t type, uint16_t size = 10, int32_t x1 = 0, int32_t y1 = 0, int32_t x2 = 0, int32_t y2 = 0) {
    return createItem(ctx.pool, ctx.rings[kWorkRing1], type, 1, size, x1, y1, x2, y2, kNull);
  }
  std::vector<Handle> chainOf(Handle rec) {
    std::vector<Handle> out;
    for (Handle h = ctx.pool[rec].ext; h != kNull; h = ctx.pool[h].ext) out.push_back(h);
    return out;
  }
  std::string payload(Handle h, size_t n = kChainBytes) {
    return std::string(reinterpret_cast<const char*>(ctx.pool[h].payload()), n);
  }
  // Each vertex's edge as {X1, Y1, X2, Y2}.
  std::vector<std::vector<int32_t>> edges(Handle solid) {
    std::vector<std::vector<int32_t>> out;
    for (Handle h : chainOf(solid)) out.push_back({ctx.pool[h].x1, ctx.pool[h].y1, ctx.pool[h].w3, ctx.pool[h].w4});
    return out;
  }
  std::vector<int32_t> box(Handle solid) {
    const Record& s = ctx.pool[solid];
    return {s.x1, s.y1, s.w3, s.w4};
  }
  Context ctx;
};

TEST_F(Chains, TextRecordsHold28BytesAndEndWithNulOnlyWhenNotFull) {
  const Handle t = newItem(kText);
  const std::string full = "ABCDEFGHIJKLMNOPQRSTUVWXYZ01";
  ASSERT_TRUE(storeText(ctx, t, full));
  ASSERT_EQ(chainOf(t).size(), 1u);
  EXPECT_EQ(payload(chainOf(t)[0]), full);
  EXPECT_EQ(readText(ctx, t), full);

  const std::string longText = full + full + "tail";
  ASSERT_TRUE(storeText(ctx, t, longText));  // the old record is given back
  const auto chain = chainOf(t);
  ASSERT_EQ(chain.size(), 3u);
  EXPECT_EQ(payload(chain[2], 5), std::string("tail\0", 5));
  EXPECT_EQ(ctx.pool[chain[0]].next, 0u);
  EXPECT_EQ(readText(ctx, t), longText);

  const size_t freeBefore = ctx.pool.freeCount();
  ASSERT_TRUE(storeText(ctx, t, ""));
  EXPECT_EQ(ctx.pool[t].ext, kNull);
  EXPECT_EQ(ctx.pool.freeCount(), freeBefore + 3);
}

TEST_F(Chains, FieldSeparatorEndsItsRecord) {
  const Handle s = newItem(kSentinel);
  const std::string fields = "R1\17710K\1770805";
  ASSERT_TRUE(storeText(ctx, s, fields));
  const auto chain = chainOf(s);
  ASSERT_EQ(chain.size(), 3u);
  EXPECT_EQ(payload(chain[0], 4), std::string("R1\x7f\0", 4));
  EXPECT_EQ(payload(chain[1], 5), std::string("10K\x7f\0", 5));
  EXPECT_EQ(readText(ctx, s), fields);
  // A separator on the 28th byte and one at the very end add no empty record.
  const std::string edge = std::string(27, 'x') + "\x7f" + "y\x7f";
  ASSERT_TRUE(storeText(ctx, s, edge));
  EXPECT_EQ(chainOf(s).size(), 2u);
  EXPECT_EQ(readText(ctx, s), edge);
}

TEST_F(Chains, CharacterSetConversions) {
  EXPECT_EQ(toInternal("1\\t2\\n4K7\\o 1\\uF 90\xb0 \xb5\xbd\xbc 47ohms \\x"),
            "1\t2\3774K7\352 1\346F 90\370 \346\253\254 47\352 \\x");
  EXPECT_EQ(toDisplay("90\370 \346\253\254 47\352\177B", FieldRule::EndText), "90\xb0 \xb5\xbd\xbc 47ohms");
  EXPECT_EQ(toDisplay("R1\17710K", FieldRule::Tab), "R1\t10K");
  const std::string typed = "Line 1\\nLine 2\\t10ohms 5\xb0";
  EXPECT_EQ(toEditable(toInternal(typed)), typed);
  const Handle t = newItem(kText);
  ASSERT_TRUE(storeEditedText(ctx, t, "4\\o7"));
  EXPECT_EQ(readText(ctx, t), "4\3527");
}

TEST_F(Chains, PinNumbersBelow1024ElsePinNameRecords) {
  const Handle pad = newItem(kPad);
  ASSERT_TRUE(storePin(ctx, pad, "12"));
  EXPECT_EQ(item::padPin(ctx.pool[pad]), 12u);
  ASSERT_TRUE(storePin(ctx, pad, "1024"));
  const Handle rec = item::padPin(ctx.pool[pad]);
  ASSERT_GE(rec, kFirstHandle);
  EXPECT_EQ(ctx.pool[rec].next & 0xFF, kPinNameMarker);
  EXPECT_EQ(pinName(ctx, pad), "1024");
  const size_t freeBefore = ctx.pool.freeCount();
  ASSERT_TRUE(storePin(ctx, pad, "A1 rest"));  // replaces the old record
  EXPECT_EQ(pinName(ctx, pad), "A1");
  ASSERT_TRUE(storePin(ctx, pad, "99999999999999999999" + std::string(20, 'P')));
  EXPECT_EQ(pinName(ctx, pad), "99999999999999999999PPPPPPPP");
  EXPECT_EQ(ctx.pool.freeCount(), freeBefore);
  ASSERT_TRUE(storePin(ctx, pad, "0"));
  EXPECT_EQ(pinName(ctx, pad), "0");
  EXPECT_EQ(ctx.pool.freeCount(), freeBefore + 1);
}

TEST_F(Chains, VerticesCloseThePolygonAndGrowTheBox) {
  const Handle solid = newItem(kLine, 0, 99, 99, 99, 99);
  ASSERT_TRUE(appendVertex(ctx, solid, 10, 20));
  EXPECT_EQ(edges(solid), (std::vector<std::vector<int32_t>>{{10, 20, 10, 20}}));
  EXPECT_EQ(box(solid), (std::vector<int32_t>{10, 20, 10, 20}));
  ASSERT_TRUE(appendVertex(ctx, solid, -5, 40));
  ASSERT_TRUE(appendVertex(ctx, solid, 30, 0));
  EXPECT_EQ(edges(solid), (std::vector<std::vector<int32_t>>{{10, 20, -5, 40}, {-5, 40, 30, 0}, {30, 0, 10, 20}}));
  EXPECT_EQ(box(solid), (std::vector<int32_t>{-5, 0, 30, 40}));

  // The last-vertex hint of a header copied from another solid is not trusted.
  const Handle other = newItem(kLine, 0);
  ASSERT_TRUE(appendVertex(ctx, other, 100, 100));
  ctx.pool[other].w5 = ctx.pool[solid].w5;
  ASSERT_TRUE(appendVertex(ctx, other, 200, 100));
  EXPECT_EQ(edges(other), (std::vector<std::vector<int32_t>>{{100, 100, 200, 100}, {200, 100, 100, 100}}));
  EXPECT_EQ(edges(solid).size(), 3u);
}

TEST_F(Chains, TwoPointSolidBecomesRectangle) {
  const Handle solid = newItem(kLine, 0, 100, 200, 50, 300);
  ASSERT_TRUE(solidToRectangle(ctx, solid));
  EXPECT_EQ(edges(solid), (std::vector<std::vector<int32_t>>{
                              {100, 200, 100, 300}, {100, 300, 50, 300}, {50, 300, 50, 200}, {50, 200, 100, 200}}));
  EXPECT_EQ(box(solid), (std::vector<int32_t>{50, 200, 100, 300}));
  ASSERT_TRUE(solidToRectangle(ctx, solid));  // vertices already there
  EXPECT_EQ(edges(solid).size(), 4u);
}

TEST_F(Chains, ReleasingASignalDropsOneReference) {
  const Handle line = newItem(kLine), text = newItem(kText);
  ASSERT_TRUE(attachSignal(ctx, line, "CLK"));
  ASSERT_TRUE(storeText(ctx, text, "old"));
  ASSERT_TRUE(attachSignal(ctx, text, "clk"));  // frees the text chain
  const Handle sig = findSignal(ctx, "CLK");
  EXPECT_EQ(signalRefs(ctx, sig), 2u);
  releaseExtension(ctx, line);
  EXPECT_EQ(signalRefs(ctx, sig), 1u);
  EXPECT_EQ(ctx.pool[line].ext, kNull);
  EXPECT_EQ(readText(ctx, text), "CLK");  // schematic text reads as its signal

  // A component header's extension is its ring: neither text nor signal may replace it.
  const Handle header = newItem(kComponent);
  const Handle ring = newRing(ctx.pool, kComponentRing);
  ctx.pool[header].ext = ring;
  EXPECT_FALSE(storeText(ctx, header, "U1"));
  EXPECT_FALSE(attachSignal(ctx, header, "CLK"));
  releaseExtension(ctx, header);
  EXPECT_EQ(ctx.pool[header].ext, ring);
}

}  // namespace
}  // namespace trelmo
