// Track isolation: the passes keep their distance, the milled picture
// separates every net, the net scan finds nothing new; undo.
#include <gtest/gtest.h>

#include <map>

#include "flood/flood_fixture.h"
#include "flood/isolation_passes.h"
#include "nets/shapes.h"

namespace trelmo::testing {
namespace {

using flood::FloodRegion;

// Two routed nets, a lone pad of a third, an unnamed pad and an arc of the
// first net, on Top Copper; the passes go to layer 20, a copper layer of
// their own.
const char* kSmallBoard =
    "3 0 1 .3 .3 .06 .06 .032 0 1 A\n3 0 2 .9 .3 .06 .06 .032 0 2 A\n1 3 .012 .3 .3 .9 .3 A\n"
    "3 0 1 .3 .6 .06 .06 .032 0 1 B\n3 3 5 .9 .6 .08 .04 0 30 2 B\n1 3 .016 .3 .6 .9 .6 B\n"
    "3 0 1 .6 .45 .07 .07 .035 0 1 C\n3 0 3 1.05 .45 .05 .05 .028 0 0\n"
    "2 3 .012 .9 .3 .1 0 90 0 0 A\n";

struct Pt2 {
  double x, y;
};

struct Isolation : NetBoard {
  bool board(const std::string& items) {
    const std::string path = dir.file("iso.pcb");
    std::string header = boardHeader();
    header.insert(header.find("-y255"), "-y20:0040E040,00000000,2,20,Top Iso\n");
    std::ofstream(path, std::ios::binary) << header << items << "\nEND OF FILE\n";
    if (!openFileByName(ctx, path, 0)) return false;
    IsolationParams& p = ctx.params.isoTop;
    p = IsolationParams{};
    p.passes = 2, p.isoTool = 655, p.isoOverlap = 131, p.isoClearance = 524;
    p.floodTool = 1311, p.floodOverlap = 328, p.floodClearance = 1048;
    p.target = 20;
    p.sources.set(0), p.sources.set(3);
    return true;
  }
  flood::IsolationResult isolate(double x0, double y0, double x1, double y1) {
    return flood::trackIsolation(ctx, FloodRegion::fromRectangle(inches(x0), inches(y0), inches(x1), inches(y1)),
                                 flood::kTopSide);
  }
  std::vector<Handle> named(const std::string& prefix) {
    std::vector<Handle> out;
    for (Handle h = ctx.rec(ctx.current).next; h != ctx.current; h = ctx.rec(h).next)
      if (itemSignal(ctx, h).rfind(prefix, 0) == 0) out.push_back(h);
    return out;
  }
  std::vector<Handle> copper() {
    std::vector<Handle> out;
    for (Handle h = ctx.rec(ctx.current).next; h != ctx.current; h = ctx.rec(h).next) {
      const Record& r = ctx.rec(h);
      if ((r.layer == 0 || r.layer == 3) && (r.type() == kLine || r.type() == kPad)) out.push_back(h);
    }
    return out;
  }
};

Outline outlineOfItem(const Record& r) {
  if (r.type() == kPad) return padOutline(r);
  Outline o = segmentOutline(r.x1, r.y1, r.w3, r.w4);
  o.radius = r.size / 2.0;
  return o;
}

TEST(TrackIsolation, PassesKeepTheirDistanceAndStep) {
  Isolation b;
  ASSERT_TRUE(b.board(kSmallBoard));
  const auto r = b.isolate(0.1, 0.1, 1.2, 0.8);
  ASSERT_GT(r.added, 100);
  EXPECT_EQ(b.ctx.params.currentLayer, 3);
  for (const int k : {1, 2}) {
    const auto passes = b.named("$IS" + std::to_string(k));
    ASSERT_GT(passes.size(), 20u) << k;
    const double keep = 655 / 2.0 + 524 + (k - 1) * 524;
    for (const Handle p : passes) {
      const Record& pr = b.ctx.rec(p);
      EXPECT_EQ(pr.layer, 20);
      EXPECT_EQ(pr.size, 655);
      for (const Handle c : b.copper())
        EXPECT_GE(outlineGap(segmentOutline(pr.x1, pr.y1, pr.w3, pr.w4), outlineOfItem(b.ctx.rec(c))), keep) << k;
    }
  }
  EXPECT_FALSE(b.named("$FLD").empty());
  for (const Handle f : b.named("$FLD")) EXPECT_EQ(b.ctx.rec(f).size, 1311);
  EXPECT_TRUE(undoEvent(b.ctx));
  EXPECT_TRUE(b.named("$").empty());
  EXPECT_EQ(flood::isolationStep(10, 20), 3);
  EXPECT_EQ(flood::isolationStep(655, 131), 524);
}

// Milled at 1000 dots an inch: the copper left is split into pieces, and no
// piece holds copper of two nets (nor two unnamed pads).
TEST(TrackIsolation, TheMilledBoardSeparatesEveryNet) {
  Isolation b;
  ASSERT_TRUE(b.board(kSmallBoard));
  b.isolate(0.1, 0.1, 1.2, 0.8);
  constexpr double kDot = 65.536;
  const int w = 1100, h = 700;
  std::vector<uint8_t> milled(static_cast<size_t>(w * h), 0);
  auto world = [&](int i, int j) { return Pt2{inches(0.1) + (i + 0.5) * kDot, inches(0.1) + (j + 0.5) * kDot}; };
  for (const std::string prefix : {"$IS", "$FLD"})
    for (const Handle m : b.named(prefix)) {
      const Record& r = b.ctx.rec(m);
      const double half = r.size / 2.0;
      const int i0 = std::max(0, int((std::min(r.x1, r.w3) - half - inches(0.1)) / kDot) - 1);
      const int i1 = std::min(w - 1, int((std::max(r.x1, r.w3) + half - inches(0.1)) / kDot) + 1);
      const int j0 = std::max(0, int((std::min(r.y1, r.w4) - half - inches(0.1)) / kDot) - 1);
      const int j1 = std::min(h - 1, int((std::max(r.y1, r.w4) + half - inches(0.1)) / kDot) + 1);
      for (int j = j0; j <= j1; ++j)
        for (int i = i0; i <= i1; ++i) {
          const Pt2 p = world(i, j);
          if (pointNearSegment(llround(p.x), llround(p.y), r.x1, r.y1, r.w3, r.w4, llround(half)))
            milled[static_cast<size_t>(j * w + i)] = 1;
        }
    }
  // Pieces of copper left, by flood fill of the picture.
  std::vector<int> piece(milled.size(), -1);
  int pieces = 0;
  for (size_t s = 0; s < milled.size(); ++s) {
    if (milled[s] || piece[s] >= 0) continue;
    std::vector<size_t> todo{s};
    piece[s] = pieces;
    while (!todo.empty()) {
      const size_t q = todo.back();
      todo.pop_back();
      const int i = static_cast<int>(q % w), j = static_cast<int>(q / w);
      for (const auto& [di, dj] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        const int ni = i + di, nj = j + dj;
        if (ni < 0 || nj < 0 || ni >= w || nj >= h) continue;
        const size_t n = static_cast<size_t>(nj * w + ni);
        if (!milled[n] && piece[n] < 0) piece[n] = pieces, todo.push_back(n);
      }
    }
    ++pieces;
  }
  // Each copper item's centre: the piece it lies in.
  std::map<int, std::set<std::string>> netsOf;
  std::map<std::string, std::set<int>> piecesOf;
  int unnamed = 0;
  for (const Handle c : b.copper()) {
    const Record& r = b.ctx.rec(c);
    const int i = int((r.x1 - inches(0.1)) / kDot), j = int((r.y1 - inches(0.1)) / kDot);
    const int p = piece[static_cast<size_t>(j * w + i)];
    ASSERT_GE(p, 0) << "copper milled away at " << r.x1 << "," << r.y1;
    std::string net = itemSignal(b.ctx, c);
    if (net.empty()) net = "pad" + std::to_string(unnamed++);
    netsOf[p].insert(net);
    piecesOf[net].insert(p);
  }
  for (const auto& [p, nets] : netsOf) EXPECT_EQ(nets.size(), 1u) << "piece " << p;
  for (const auto& [net, ps] : piecesOf) EXPECT_EQ(ps.size(), 1u) << net;
  EXPECT_EQ(netsOf.size(), 4u);  // A, B, C and the unnamed pad
  EXPECT_GT(pieces, 4);          // and the waste
}

TEST(TrackIsolation, NetScanFindsNothingNewWithThePasses) {
  Isolation b;
  ASSERT_TRUE(b.board(kSmallBoard));
  const auto before = foreignFaults(b, {});
  b.isolate(0.1, 0.1, 1.2, 0.8);
  EXPECT_EQ(foreignFaults(b, {}), before);

  Isolation g;
  ASSERT_TRUE(g.board(generatedBoard(6, 4, 7)));
  g.ctx.params.isoTop.signal[0] = 0;
  const auto gBefore = foreignFaults(g, {});
  EXPECT_GT(g.isolate(0, 0, 1.5, 1.1).added, 100);
  EXPECT_EQ(foreignFaults(g, {}), gBefore);
}

TEST(TrackIsolation, TheSideSignalIsLeftWhole) {
  Isolation b;
  ASSERT_TRUE(b.board(kSmallBoard));
  setSignal(b.ctx.params.isoTop.signal, "B");
  b.isolate(0.1, 0.1, 1.2, 0.8);
  // No pass runs round B's track: none lies within reach of its middle.
  for (const Handle p : b.named("$IS1")) {
    const Record& r = b.ctx.rec(p);
    EXPECT_FALSE(pointNearSegment(inches(0.6), inches(0.6), r.x1, r.y1, r.w3, r.w4, inches(0.03)));
  }
}

}  // namespace
}  // namespace trelmo::testing
