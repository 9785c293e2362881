#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "import/dxf_test_support.h"

namespace trelmo::testing {
namespace {

struct Survey {
  std::map<int, int> byType;  // top-level items by type
  int nested = 0;             // items inside components
  int32_t minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
};

void surveyRing(const Context& ctx, Handle ring, Survey& s, int depth) {
  for (Handle h = ctx.rec(ring).next; h != ring; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    EXPECT_FALSE(r.hidden());  // no placeholder is left behind
    if (depth == 0)
      ++s.byType[r.type()];
    else
      ++s.nested;
    if (r.type() == kComponent) {
      surveyRing(ctx, r.ext, s, depth + 1);
      continue;
    }
    s.minX = std::min(s.minX, r.x1);
    s.minY = std::min(s.minY, r.y1);
    s.maxX = std::max(s.maxX, r.x1);
    s.maxY = std::max(s.maxY, r.y1);
  }
}

char openCorpus(ImportFixture& f, const char* name, Survey& s) {
  const std::string data = corpusFile(name);
  if (data.empty()) return 0;
  f.in.openMemory(data);
  const char code = readerChain(f.ctx, f.in, kHintNone);
  surveyRing(f.ctx, f.ctx.current, s, 0);
  return code;
}

TEST(DxfCorpus, HandWrittenR10WithEveryEntity) {
  ImportFixture f;
  Survey s;
  const char code = openCorpus(f, "dxf/libdxf-all_R10_entities.dxf", s);
  if (code == 0) GTEST_SKIP() << "corpus not present";
  EXPECT_EQ(code, 'X');
  // LINE, 3DLINE, POINT, four 3DFACE edges, five polyline segments, SOLID and TRACE.
  EXPECT_EQ(s.byType[kLine], 14);
  EXPECT_EQ(s.byType[kArc], 2);  // the ARC and the CIRCLE
  EXPECT_EQ(s.byType[kText], 2);
  EXPECT_EQ(s.byType[kComponent], 4);  // three dimensions and the insert of *D9
  EXPECT_GT(s.nested, 20);
  // The drawing's extents, 2,3 to 492,309 inches.
  EXPECT_GE(s.minX, 2 * kIn - 10);
  EXPECT_LE(s.maxX, 493 * kIn);
  EXPECT_LE(s.maxY, 310 * kIn);
  EXPECT_STREQ(f.ctx.layer(0).name, "0");
  EXPECT_STREQ(f.ctx.layer(1).name, "DEFPOINTS");
  EXPECT_EQ(f.ctx.layer(0).color, 0xFFFFFFu);
  EXPECT_EQ(f.ctx.layer(0).plotColor, 0u);
}

// What other programs' files hold, as ranges: counts of top-level lines,
// arcs and texts, and the extents of the item points in inches.
struct Range {
  double lo = -1e9, hi = 1e9;
};
struct CorpusCase {
  const char* name;
  char code;
  Range lines, arcs, texts, minX, maxX, minY, maxY;
};

TEST(Corpus, PolylinesPlotsAndDrawingsOfOtherProgramsLandWhereTheyShould) {
  const Range any, inside40{-40, 40};
  const auto under = [](int plotterUnits) { return Range{-1e9, (plotterUnits * 65 - 1) / 65536.0}; };
  const CorpusCase cases[] = {
      // ezdxf polylines with bulges, widths and extrusion: within 20 inches once projected
      {"dxf/ezdxf-POLI-ALL210_12.DXF", 'X', {40}, {25}, any, inside40, inside40, inside40, inside40},
      {"dxf/qcad-example_R12.dxf", 'X', {20}, {2, 2}, {2}, {0, 0}, {320, 320}, any, {240, 240}},
      // AutoCAD's plot with escapes and no newlines; a Windows driver's without separators
      {"hpgl/acad.hp", 'H', {1001}, any, any, {0}, under(11000), any, any},
      {"hpgl/win_1.hp", 'H', {101}, any, any, {0}, under(10300), any, under(7650)},
      {"hpgl/arcs.hp", 'H', {3, 3}, {6, 6}, any, any, any, any, any},  // three AA arcs and three circles
  };
  for (const CorpusCase& c : cases) {
    SCOPED_TRACE(c.name);
    ImportFixture f;
    Survey s;
    const char code = openCorpus(f, c.name, s);
    if (code == 0) GTEST_SKIP() << "corpus not present";
    EXPECT_EQ(code, c.code);
    const auto within = [](double v, Range r) { return v >= r.lo && v <= r.hi; };
    EXPECT_TRUE(within(s.byType[kLine], c.lines)) << s.byType[kLine] << " lines";
    EXPECT_TRUE(within(s.byType[kArc], c.arcs)) << s.byType[kArc] << " arcs";
    EXPECT_TRUE(within(s.byType[kText], c.texts)) << s.byType[kText] << " texts";
    EXPECT_TRUE(within(s.minX / double(kIn), c.minX)) << s.minX;
    EXPECT_TRUE(within(s.maxX / double(kIn), c.maxX)) << s.maxX;
    EXPECT_TRUE(within(s.minY / double(kIn), c.minY)) << s.minY;
    EXPECT_TRUE(within(s.maxY / double(kIn), c.maxY)) << s.maxY;
  }
}

}  // namespace
}  // namespace trelmo::testing
