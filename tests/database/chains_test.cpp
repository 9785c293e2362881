#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "database/signals.h"

namespace trelmo {
namespace {

class Chains : public ::testing::Test {
 protected:
  Handle newItem(uint8_t type, uint16_t size = 10) {
    return createItem(ctx.pool, ctx.rings[kWorkRing1], type, 1, size, 0, 0, 0, 0, kNull);
  }
  std::vector<Handle> chainOf(Handle rec) {
    std::vector<Handle> out;
    for (Handle h = ctx.pool[rec].ext; h != kNull; h = ctx.pool[h].ext) out.push_back(h);
    return out;
  }
  std::string payload(Handle h) {
    const uint8_t* p = ctx.pool[h].payload();
    return std::string(reinterpret_cast<const char*>(p), kChainBytes);
  }
  Context ctx;
};

TEST_F(Chains, TextOfExactly28BytesFillsOneRecordWithoutNul) {
  const Handle t = newItem(kText);
  const std::string text = "ABCDEFGHIJKLMNOPQRSTUVWXYZ01";
  ASSERT_TRUE(storeText(ctx, t, text));
  const auto chain = chainOf(t);
  ASSERT_EQ(chain.size(), 1u);
  EXPECT_EQ(payload(chain[0]), text);
  EXPECT_EQ(ctx.pool[chain[0]].next, 0u);
  EXPECT_EQ(readText(ctx, t), text);
}

TEST_F(Chains, LongTextContinuesInNewRecordsAndEndsWithNul) {
  const Handle t = newItem(kText);
  std::string text;
  for (int i = 0; i < 70; ++i) text.push_back(static_cast<char>('a' + i % 26));
  ASSERT_TRUE(storeText(ctx, t, text));
  const auto chain = chainOf(t);
  ASSERT_EQ(chain.size(), 3u);
  EXPECT_EQ(payload(chain[2]).substr(0, 15), text.substr(56) + '\0');
  EXPECT_EQ(readText(ctx, t), text);

  // Replacing the text gives the old records back.
  const size_t freeBefore = ctx.pool.freeCount();
  ASSERT_TRUE(storeText(ctx, t, "short"));
  EXPECT_EQ(ctx.pool.freeCount(), freeBefore + 2);
  EXPECT_EQ(readText(ctx, t), "short");
  ASSERT_TRUE(storeText(ctx, t, ""));
  EXPECT_EQ(ctx.pool[t].ext, kNull);
  EXPECT_EQ(readText(ctx, t), "");
}

TEST_F(Chains, FieldSeparatorStartsANewRecord) {
  const Handle s = newItem(kSentinel);
  const std::string fields = "R1\x7f" "10K\x7f" "0805";
  ASSERT_TRUE(storeText(ctx, s, fields));
  const auto chain = chainOf(s);
  ASSERT_EQ(chain.size(), 3u);
  EXPECT_EQ(payload(chain[0]).substr(0, 4), std::string("R1\x7f\0", 4));
  EXPECT_EQ(payload(chain[1]).substr(0, 5), std::string("10K\x7f\0", 5));
  EXPECT_EQ(payload(chain[2]).substr(0, 5), std::string("0805\0", 5));
  EXPECT_EQ(readText(ctx, s), fields);

  // A separator that lands on the 28th byte, and one at the very end.
  const std::string edge = std::string(27, 'x') + "\x7f" + "y\x7f";
  ASSERT_TRUE(storeText(ctx, s, edge));
  EXPECT_EQ(chainOf(s).size(), 2u);
  EXPECT_EQ(readText(ctx, s), edge);
}

TEST_F(Chains, InputAndDisplayConversions) {
  EXPECT_EQ(toInternal("10\\t20\\n4K7\\o 1\\uF"), "10\t20\xff" "4K7\xea 1\xe6" "F");
  EXPECT_EQ(toInternal("90\xb0 \xb5 \xbd \xbc 47ohms \\x"), "90\xf8 \xe6 \xab \xac 47\xea \\x");
  EXPECT_EQ(toDisplay("90\xf8 \xe6 \xab \xac 47\xea", FieldRule::EndText), "90\xb0 \xb5 \xbd \xbc 47ohms");
  EXPECT_EQ(toDisplay("R1\x7f" "10K", FieldRule::EndText), "R1");
  EXPECT_EQ(toDisplay("R1\x7f" "10K", FieldRule::Tab), "R1\t10K");
  EXPECT_EQ(toEditable("a\tb\xff" "c\xea"), "a\\tb\\nc" "ohms");
  // What the user typed survives a round trip through the edit form.
  const std::string typed = "Line 1\\nLine 2\\t10ohms 5\xb0";
  EXPECT_EQ(toInternal(toEditable(toInternal(typed))), toInternal(typed));

  const Handle t = newItem(kText);
  ASSERT_TRUE(storeEditedText(ctx, t, "4\\o7"));
  EXPECT_EQ(readText(ctx, t), "4\xea" "7");
}

TEST_F(Chains, PinNumbersAndPinNames) {
  const Handle pad = newItem(kPad);
  ASSERT_TRUE(storePin(ctx, pad, "12"));
  EXPECT_EQ(item::padPin(ctx.pool[pad]), 12u);
  EXPECT_EQ(pinName(ctx, pad), "12");

  ASSERT_TRUE(storePin(ctx, pad, "1024"));
  const Handle rec = item::padPin(ctx.pool[pad]);
  ASSERT_GE(rec, kFirstHandle);
  EXPECT_EQ(ctx.pool[rec].next & 0xFF, kPinNameMarker);
  EXPECT_EQ(pinName(ctx, pad), "1024");

  // Replacing a pin name frees the old record.
  const size_t freeBefore = ctx.pool.freeCount();
  ASSERT_TRUE(storePin(ctx, pad, "A1 rest"));
  EXPECT_EQ(ctx.pool.freeCount(), freeBefore);
  EXPECT_EQ(pinName(ctx, pad), "A1");
  ASSERT_TRUE(storePin(ctx, pad, "99999999999999999999"));
  EXPECT_EQ(pinName(ctx, pad), "99999999999999999999");
  ASSERT_TRUE(storePin(ctx, pad, std::string(40, 'P')));
  EXPECT_EQ(pinName(ctx, pad), std::string(28, 'P'));
  ASSERT_TRUE(storePin(ctx, pad, "0"));
  EXPECT_EQ(item::padPin(ctx.pool[pad]), 0u);
  EXPECT_EQ(ctx.pool.freeCount(), freeBefore + 1);
}

TEST_F(Chains, VerticesCloseThePolygonAndGrowTheBox) {
  const Handle solid = newItem(kLine, 0);
  ASSERT_TRUE(appendVertex(ctx, solid, 10, 20));
  auto chain = chainOf(solid);
  ASSERT_EQ(chain.size(), 1u);
  const Record& v0 = ctx.pool[chain[0]];
  EXPECT_EQ(v0.x1, 10);
  EXPECT_EQ(v0.w3, 10);
  EXPECT_EQ(v0.w4, 20);
  EXPECT_EQ(ctx.pool[solid].x1, 10);
  EXPECT_EQ(ctx.pool[solid].w4, 20);

  ASSERT_TRUE(appendVertex(ctx, solid, -5, 40));
  ASSERT_TRUE(appendVertex(ctx, solid, 30, 0));
  chain = chainOf(solid);
  ASSERT_EQ(chain.size(), 3u);
  const int32_t want[3][4] = {{10, 20, -5, 40}, {-5, 40, 30, 0}, {30, 0, 10, 20}};
  for (int i = 0; i < 3; ++i) {
    const Record& v = ctx.pool[chain[i]];
    EXPECT_EQ(v.x1, want[i][0]) << i;
    EXPECT_EQ(v.y1, want[i][1]) << i;
    EXPECT_EQ(v.w3, want[i][2]) << i;
    EXPECT_EQ(v.w4, want[i][3]) << i;
    EXPECT_EQ(v.next, 0u);
  }
  const Record& s = ctx.pool[solid];
  EXPECT_EQ(s.x1, -5);
  EXPECT_EQ(s.y1, 0);
  EXPECT_EQ(s.w3, 30);
  EXPECT_EQ(s.w4, 40);
}

TEST_F(Chains, AppendingSurvivesAStaleLastVertexHint) {
  const Handle solid = newItem(kLine, 0);
  const Handle other = newItem(kLine, 0);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(appendVertex(ctx, solid, i, i));
  ASSERT_TRUE(appendVertex(ctx, other, 100, 100));
  ASSERT_TRUE(appendVertex(ctx, other, 200, 100));
  // A header copied from another solid carries that solid's hint.
  ctx.pool[other].w5 = ctx.pool[solid].w5;
  ASSERT_TRUE(appendVertex(ctx, other, 200, 200));
  ASSERT_TRUE(appendVertex(ctx, solid, 9, 9));
  EXPECT_EQ(chainOf(other).size(), 3u);
  EXPECT_EQ(chainOf(solid).size(), 4u);
  EXPECT_EQ(ctx.pool[chainOf(other).back()].w3, 100);  // the last edge leads home
  EXPECT_EQ(ctx.pool[chainOf(solid).back()].w3, 0);
}

TEST_F(Chains, TwoPointSolidBecomesRectangle) {
  const Handle solid = createItem(ctx.pool, ctx.rings[kWorkRing1], kLine, 4, 0, 100, 200, 50, 300, kNull);
  ASSERT_TRUE(solidToRectangle(ctx, solid));
  const auto chain = chainOf(solid);
  ASSERT_EQ(chain.size(), 4u);
  const int32_t want[4][4] = {{100, 200, 100, 300}, {100, 300, 50, 300}, {50, 300, 50, 200}, {50, 200, 100, 200}};
  for (int i = 0; i < 4; ++i) {
    const Record& v = ctx.pool[chain[i]];
    EXPECT_EQ((std::vector<int32_t>{v.x1, v.y1, v.w3, v.w4}),
              (std::vector<int32_t>{want[i][0], want[i][1], want[i][2], want[i][3]}))
        << i;
  }
  const Record& s = ctx.pool[solid];
  EXPECT_EQ((std::vector<int32_t>{s.x1, s.y1, s.w3, s.w4}), (std::vector<int32_t>{50, 200, 100, 300}));
  // A solid that already has vertices is left alone.
  ASSERT_TRUE(solidToRectangle(ctx, solid));
  EXPECT_EQ(chainOf(solid).size(), 4u);
}

TEST_F(Chains, ReleasingAnExtension) {
  const Handle t = newItem(kText);
  ASSERT_TRUE(storeText(ctx, t, std::string(60, 'q')));
  const size_t freeBefore = ctx.pool.freeCount();
  releaseExtension(ctx, t);
  EXPECT_EQ(ctx.pool.freeCount(), freeBefore + 3);
  EXPECT_EQ(ctx.pool[t].ext, kNull);

  const Handle line = newItem(kLine);
  ASSERT_TRUE(attachSignal(ctx, line, "CLK"));
  ASSERT_TRUE(attachSignal(ctx, t, "CLK"));
  const Handle sig = findSignal(ctx, "clk");
  EXPECT_EQ(signalRefs(ctx, sig), 2u);
  releaseExtension(ctx, line);
  EXPECT_EQ(signalRefs(ctx, sig), 1u);
  EXPECT_EQ(ctx.pool[line].ext, kNull);
  // Text on a schematic layer reads as its signal name.
  EXPECT_EQ(readText(ctx, t), "CLK");
}

}  // namespace
}  // namespace trelmo
