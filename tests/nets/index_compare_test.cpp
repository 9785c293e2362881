// The indexed search finds exactly what the plain all-pairs scan finds, on
// generated boards dense enough for every kind of touch and fault.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "nets/net_fixture.h"
#include "nets/net_scan.h"

namespace trelmo::testing {
namespace {

std::string generatedBoard(uint32_t seed, int items, double side = 1.5) {
  std::mt19937 rng(seed);
  auto uni = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const char* signals[] = {"", "", "GND", "VCC", "A0", "A1", "CLK", "D7"};
  const int layers[] = {3, 12, 3, 12, 4, 6, 1};
  std::string s;
  char buf[256];
  auto signal = [&]() { return std::string(signals[pick(8)]); };
  for (int i = 0; i < items; ++i) {
    const double x = uni(0, side), y = uni(0, side);
    switch (pick(10)) {
      case 8:
        // Two nets side by side, near enough for the clearance check.
        std::snprintf(buf, sizeof buf,
                      "3 0 1 %.4f %.4f .05 .05 .03 0 0 P%d\n1 3 .01 %.4f %.4f %.4f %.4f\n"
                      "3 0 3 %.4f %.4f .04 .04 .02 0 0 Q%d\n1 3 .012 %.4f %.4f %.4f %.4f\n",
                      x, y, i, x, y, x + .3, y, x + .3, y + uni(.015, .04), i, x + .3, y + .03, x + .1, y + .03);
        break;
      case 0:
      case 1:
      case 2:
        std::snprintf(buf, sizeof buf, "1 %d %.4f %.4f %.4f %.4f %.4f %s\n", layers[pick(7)], uni(.004, .03), x, y,
                      x + uni(-.2, .2), y + (pick(2) ? 0 : uni(-.2, .2)), signal().c_str());
        break;
      case 3:
      case 4:
        std::snprintf(buf, sizeof buf, "3 %d %d %.4f %.4f %.4f %.4f %.4f %d %d %s\n", pick(3) ? 0 : layers[pick(6)],
                      pick(8), x, y, uni(.02, .08), uni(.02, .08), uni(0, .05), pick(4) * 45, pick(3),
                      signal().c_str());
        break;
      case 5:
        std::snprintf(buf, sizeof buf, "2 %d %.4f %.4f %.4f %.4f %d %d 0 0 %s\n", layers[pick(4)], uni(.005, .02), x, y,
                      uni(.02, .1), pick(8) * 45, pick(2) ? 360 : 90, signal().c_str());
        break;
      case 6:
        std::snprintf(buf, sizeof buf, "4 %d .05 %.4f %.4f .1 0 0 0 T%d\n", layers[pick(7)], x, y, i);
        break;
      case 7:
        std::snprintf(buf, sizeof buf, "1 %d 0 %.4f %.4f %.4f %.4f\n", layers[pick(4)], x, y, x + uni(.02, .1),
                      y + uni(.02, .1));
        break;
      default: {
        // A component of two pins, its box sometimes too small.
        const double w = pick(4) ? .12 : .02;
        std::snprintf(buf, sizeof buf,
                      "6 1 0 %.4f %.4f %.4f %.4f DIP\x7fU%d\x7f\x7f\n3 0 1 %.4f %.4f .05 .05 .03 0 1 %s\n"
                      "3 0 %d %.4f %.4f .04 .06 .02 90 2 %s\n0 6 0 %.4f %.4f\n",
                      x - w, y - w, x + w, y + w, i, x - .05, y, signal().c_str(), pick(2) ? 2 : 6, x + .05, y,
                      signal().c_str(), x, y);
      }
    }
    s += buf;
  }
  return s;
}

TEST(IndexCompare, FloodsMatchTheAllPairsScan) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    NetBoard b;
    ASSERT_TRUE(b.load(generatedBoard(seed, 400)));
    Connectivity indexed(b.ctx, Search::Indexed), plain(b.ctx, Search::AllPairs);
    ASSERT_EQ(indexed.index().size(), plain.index().size());
    int floods = 0;
    for (int i = 0; i < plain.index().size(); i += 3) {
      const Record& r = b.ctx.rec(plain.index()[i].item);
      const int layer = r.type() == kPad && !(item::padType(r) & 4) ? 0 : r.layer;
      clearHilight(b.ctx);
      const int a = indexed.flood(layer, kPickTolerance, r.x1, r.y1);
      const std::vector<Handle> reachedA = indexed.reached();
      const Handle crossA = indexed.crossLink(), unknownA = indexed.unknownPin(), signalA = b.ctx.nets.currentSignal;
      indexed.clearReached();
      clearHilight(b.ctx);
      const int p = plain.flood(layer, kPickTolerance, r.x1, r.y1);
      ASSERT_EQ(a, p);
      ASSERT_EQ(reachedA, plain.reached());
      EXPECT_EQ(crossA, plain.crossLink());
      EXPECT_EQ(unknownA, plain.unknownPin());
      EXPECT_EQ(signalA, b.ctx.nets.currentSignal);
      floods += plain.reached().size() > 3;
      plain.clearReached();
    }
    EXPECT_GT(floods, 10);  // the boards do join things
  }
}

TEST(IndexCompare, ScanLogsMatchTheAllPairsScan) {
  std::string all;
  for (uint32_t seed = 11; seed <= 14; ++seed) {
    SCOPED_TRACE(seed);
    const std::string items = generatedBoard(seed, 500, 4.0);
    std::string logs[2];
    for (int k = 0; k < 2; ++k) {
      NetBoard b;
      ASSERT_TRUE(b.load(items, ".02,.02,.02"));
      ScanLogOptions o;
      o.path = b.dir.file("scan.LOG");
      o.date = "01/02/03";
      o.search = k ? Search::AllPairs : Search::Indexed;
      const ScanLogResult r = netScanLog(b.ctx, o);
      ASSERT_TRUE(r.closed);
      logs[k] = b.readFile(o.path);
    }
    EXPECT_EQ(logs[0], logs[1]);
    all += logs[0];
  }
  for (const char* kind :
       {"Clearance from line", "Clearance from pad", "Crosslinked to", "Discontinuity from", "Linked to unsignaled"})
    EXPECT_NE(all.find(kind), std::string::npos) << kind;
}

}  // namespace
}  // namespace trelmo::testing
