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

TEST(DxfCorpus, EzdxfPolylinesWithBulgesWidthsAndExtrusion) {
  ImportFixture f;
  Survey s;
  const char code = openCorpus(f, "dxf/ezdxf-POLI-ALL210_12.DXF", s);
  if (code == 0) GTEST_SKIP() << "corpus not present";
  EXPECT_EQ(code, 'X');
  EXPECT_GE(s.byType[kArc], 25);
  EXPECT_GE(s.byType[kLine], 40);
  // The polylines lie within about 20 inches of the origin once projected.
  EXPECT_GT(s.minX, -40 * kIn);
  EXPECT_LT(s.maxX, 40 * kIn);
  EXPECT_GT(s.minY, -40 * kIn);
  EXPECT_LT(s.maxY, 40 * kIn);
}

TEST(DxfCorpus, QcadR12Drawing) {
  ImportFixture f;
  Survey s;
  const char code = openCorpus(f, "dxf/qcad-example_R12.dxf", s);
  if (code == 0) GTEST_SKIP() << "corpus not present";
  EXPECT_EQ(code, 'X');
  EXPECT_GE(s.byType[kLine], 20);
  EXPECT_EQ(s.byType[kArc], 2);
  EXPECT_GE(s.byType[kText], 2);
  EXPECT_EQ(s.minX, 0);
  EXPECT_EQ(s.maxX, 320 * kIn);
  EXPECT_EQ(s.maxY, 240 * kIn);
}

TEST(HpglCorpus, AutocadPlotWithEscapesAndNoNewlines) {
  ImportFixture f;
  Survey s;
  const char code = openCorpus(f, "hpgl/acad.hp", s);
  if (code == 0) GTEST_SKIP() << "corpus not present";
  EXPECT_EQ(code, 'H');
  EXPECT_GT(s.byType[kLine], 1000);
  EXPECT_GE(s.minX, 0);
  EXPECT_LT(s.maxX, 11000 * 65);
}

TEST(HpglCorpus, WindowsDriverPlotWithoutSeparators) {
  ImportFixture f;
  Survey s;
  const char code = openCorpus(f, "hpgl/win_1.hp", s);
  if (code == 0) GTEST_SKIP() << "corpus not present";
  EXPECT_EQ(code, 'H');
  EXPECT_GT(s.byType[kLine], 100);
  EXPECT_GE(s.minX, 0);
  EXPECT_LT(s.maxX, 10300 * 65);
  EXPECT_LT(s.maxY, 7650 * 65);
}

TEST(HpglCorpus, ArcsTest) {
  ImportFixture f;
  Survey s;
  const char code = openCorpus(f, "hpgl/arcs.hp", s);
  if (code == 0) GTEST_SKIP() << "corpus not present";
  EXPECT_EQ(code, 'H');
  EXPECT_EQ(s.byType[kArc], 6);  // three AA arcs and three circles
  EXPECT_EQ(s.byType[kLine], 3);
}

}  // namespace
}  // namespace trelmo::testing
