#include "database/signals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "context.h"
#include "database/rings.h"

namespace trelmo {
namespace {

class Signals : public ::testing::Test {
 protected:
  Handle newLine() { return createItem(ctx.pool, ctx.rings[kWorkRing1], kLine, 1, 10, 0, 0, 0, 0, kNull); }
  std::vector<std::string> names() {  // in list order
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
  EXPECT_EQ(itemSignal(ctx, b), "gnd");
  EXPECT_EQ(signalRefs(ctx, ctx.pool[a].ext), 2u);
  // Re-attaching moves the reference; the unused record stays in the table.
  ASSERT_TRUE(attachSignal(ctx, b, "RESET"));
  EXPECT_EQ(signalRefs(ctx, ctx.pool[a].ext), 1u);
  ASSERT_TRUE(attachSignal(ctx, a, "reset"));
  EXPECT_EQ(signalRefs(ctx, findSignal(ctx, "GND")), 0u);
  EXPECT_EQ(names(), (std::vector<std::string>{"gnd", "RESET"}));
}

TEST_F(Signals, NameEndsAfter19CharactersOrAtABlankControlOr255) {
  const Handle a = newLine();
  ASSERT_TRUE(attachSignal(ctx, a, "ABCDEFGHIJKLMNOPQRSTUVWXY"));
  EXPECT_EQ(itemSignal(ctx, a), "ABCDEFGHIJKLMNOPQRS");
  ASSERT_TRUE(attachSignal(ctx, a, "VCC +5V"));
  EXPECT_EQ(itemSignal(ctx, a), "VCC");
  ASSERT_TRUE(attachSignal(ctx, a, "D0\377D1"));
  EXPECT_EQ(itemSignal(ctx, a), "D0");
  ASSERT_TRUE(attachSignal(ctx, a, "\tX"));  // no characters: no signal
  EXPECT_EQ(ctx.pool[a].ext, kNull);
  EXPECT_EQ(signalRefs(ctx, findSignal(ctx, "d0")), 0u);
}

TEST_F(Signals, TableIsSortedWithLowerCaseTakenAsUpper) {
  for (const char* n : {"net_b", "NET-A", "zeta", "Net_a", "A1", "_x", "[y"})
    ASSERT_TRUE(attachSignal(ctx, newLine(), n));
  // "zeta" compares as "ZETA", before '[' (91) and '_' (95).
  EXPECT_EQ(names(), (std::vector<std::string>{"A1", "NET-A", "Net_a", "net_b", "zeta", "[y", "_x"}));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(ctx.pool[ctx.signals.tail].payload()), kChainBytes),
            std::string(kChainBytes, '\xff'));
}

TEST_F(Signals, TheListStaysTheAuthorityOverItsIndex) {
  const Handle a = newLine(), b = newLine();
  ASSERT_TRUE(attachSignal(ctx, a, "Data0"));
  ASSERT_TRUE(attachSignal(ctx, newLine(), "ZZ"));
  ctx.signals.index.clear();
  ctx.signals.byName.clear();
  EXPECT_EQ(findSignal(ctx, "DATA0"), ctx.pool[a].ext);
  ASSERT_TRUE(attachSignal(ctx, b, "DATA0"));
  EXPECT_EQ(ctx.pool[b].ext, ctx.pool[a].ext);
  ASSERT_TRUE(attachSignal(ctx, b, "M"));
  EXPECT_EQ(names(), (std::vector<std::string>{"Data0", "M", "ZZ"}));
}

TEST_F(Signals, ThousandsOfSignalsStaySortedAndCounted) {
  const int kNames = 3000;
  for (int round = 0; round < 3; ++round)
    for (int i = 0; i < kNames; ++i)
      ASSERT_TRUE(attachSignal(ctx, newLine(), (round == 1 ? "n" : "N") + std::to_string(i * 7919 % kNames)));
  const auto list = names();
  ASSERT_EQ(list.size(), static_cast<size_t>(kNames));
  EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
  EXPECT_EQ(signalRefs(ctx, findSignal(ctx, "n1234")), 3u);
}

}  // namespace
}  // namespace trelmo
