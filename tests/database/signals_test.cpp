#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "context.h"
#include "database/rings.h"
#include "database/signals.h"

namespace trelmo {
namespace {

class Signals : public ::testing::Test {
 protected:
  Handle newLine() { return createItem(ctx.pool, ctx.rings[kWorkRing1], kLine, 1, 10, 0, 0, 0, 0, kNull); }
  // The names of the table in list order, between head and tail.
  std::vector<std::string> names() {
    std::vector<std::string> out;
    for (Handle h = ctx.pool[ctx.signals.head].ext; h != ctx.signals.tail; h = ctx.pool[h].ext)
      out.push_back(signalName(ctx, h));
    return out;
  }
  Context ctx;
};

TEST_F(Signals, SameNameInAnyCaseSharesTheFirstSpelling) {
  const Handle a = newLine(), b = newLine();
  ASSERT_TRUE(attachSignal(ctx, a, "gnd"));
  ASSERT_TRUE(attachSignal(ctx, b, "GND"));
  EXPECT_EQ(ctx.pool[a].ext, ctx.pool[b].ext);
  EXPECT_EQ(signalName(ctx, ctx.pool[a].ext), "gnd");
  EXPECT_EQ(signalRefs(ctx, ctx.pool[a].ext), 2u);
  EXPECT_EQ(ctx.pool[ctx.pool[a].ext].next & 0xFF, kSignalMarker);
  EXPECT_EQ(itemSignal(ctx, b), "gnd");
  EXPECT_EQ(names(), std::vector<std::string>{"gnd"});
}

TEST_F(Signals, NameIsCutAtNineteenCharactersOrABlank) {
  const Handle a = newLine();
  ASSERT_TRUE(attachSignal(ctx, a, "ABCDEFGHIJKLMNOPQRSTUVWXY"));
  EXPECT_EQ(itemSignal(ctx, a), "ABCDEFGHIJKLMNOPQRS");
  EXPECT_EQ(findSignal(ctx, "abcdefghijklmnopqrsXYZ"), ctx.pool[a].ext);
  ASSERT_TRUE(attachSignal(ctx, a, "VCC +5V"));
  EXPECT_EQ(itemSignal(ctx, a), "VCC");
  ASSERT_TRUE(attachSignal(ctx, a, "D0\xff" "D1"));
  EXPECT_EQ(itemSignal(ctx, a), "D0");
  // No characters: the item is left without a signal and the old one released.
  const Handle d0 = ctx.pool[a].ext;
  ASSERT_TRUE(attachSignal(ctx, a, " X"));
  EXPECT_EQ(ctx.pool[a].ext, kNull);
  EXPECT_EQ(signalRefs(ctx, d0), 0u);
  // Released names stay in the table.
  EXPECT_EQ(findSignal(ctx, "d0"), d0);
}

TEST_F(Signals, TableIsSortedWithLowerCaseTakenAsUpper) {
  const char* given[] = {"net_b", "NET-A", "zeta", "Net_a", "A1", "_x", "[y"};
  for (const char* n : given) ASSERT_TRUE(attachSignal(ctx, newLine(), n));
  // a..z compare as A..Z, so "zeta" sorts before '[' (91) and '_' (95).
  EXPECT_EQ(names(), (std::vector<std::string>{"A1", "NET-A", "Net_a", "net_b", "zeta", "[y", "_x"}));
  const uint8_t* tail = ctx.pool[ctx.signals.tail].payload();
  for (int i = 0; i < kChainBytes; ++i) EXPECT_EQ(tail[i], 255);
}

TEST_F(Signals, ReattachingMovesTheReference) {
  const Handle a = newLine();
  ASSERT_TRUE(attachSignal(ctx, a, "CLK"));
  const Handle clk = ctx.pool[a].ext;
  ASSERT_TRUE(attachSignal(ctx, a, "clk"));
  EXPECT_EQ(signalRefs(ctx, clk), 1u);
  ASSERT_TRUE(attachSignal(ctx, a, "RESET"));
  EXPECT_EQ(signalRefs(ctx, clk), 0u);
  EXPECT_EQ(signalRefs(ctx, ctx.pool[a].ext), 1u);
}

TEST_F(Signals, TheListStaysTheAuthorityOverItsIndex) {
  const Handle a = newLine(), b = newLine();
  ASSERT_TRUE(attachSignal(ctx, a, "Data0"));
  ASSERT_TRUE(attachSignal(ctx, newLine(), "ZZ"));
  ctx.signals.index.clear();
  EXPECT_EQ(findSignal(ctx, "DATA0"), ctx.pool[a].ext);
  ASSERT_TRUE(attachSignal(ctx, b, "DATA0"));
  EXPECT_EQ(ctx.pool[b].ext, ctx.pool[a].ext);
  ASSERT_TRUE(attachSignal(ctx, b, "M"));
  EXPECT_EQ(names(), (std::vector<std::string>{"Data0", "M", "ZZ"}));
}

TEST_F(Signals, ManySignalsStayFindableAndSorted) {
  // Thousands of names, attached many times each, in scrambled order.
  const int kNames = 3000;
  for (int round = 0; round < 3; ++round)
    for (int i = 0; i < kNames; ++i) {
      const int k = (i * 7919) % kNames;
      ASSERT_TRUE(attachSignal(ctx, newLine(), (round == 1 ? "n" : "N") + std::to_string(k)));
    }
  const auto list = names();
  ASSERT_EQ(list.size(), static_cast<size_t>(kNames));
  for (size_t i = 1; i < list.size(); ++i) EXPECT_LT(list[i - 1], list[i]);
  EXPECT_EQ(signalRefs(ctx, findSignal(ctx, "n1234")), 3u);
}

}  // namespace
}  // namespace trelmo
