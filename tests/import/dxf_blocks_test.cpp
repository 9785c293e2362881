#include <gtest/gtest.h>

#include <chrono>

#include "database/chains.h"
#include "files/import/dxf_groups.h"
#include "files/import/dxf_reader.h"
#include "import/dxf_test_support.h"

namespace trelmo::testing {
namespace {

class DxfBlockTest : public ImportFixture, public ::testing::Test {
 protected:
  // Reads a file with one block definition and the given entities.
  void readWithBlock(const std::string& name, const std::string& base, const std::string& blockEntities,
                     const std::string& entities) {
    in.openMemory(dxfFile(entities, pairs({{0, "BLOCK"}, {8, "0"}, {2, name}, {70, "0"}, {10, base}, {20, base}}) +
                                        blockEntities + groups("0 ENDBLK")));
    ASSERT_EQ(readDxf(ctx, in, kHintDxf), 'X');
  }
  std::string insert(const std::string& name, const std::string& x, const std::string& y, const std::string& sx,
                     const std::string& sy, const std::string& rot) {
    return pairs({{0, "INSERT"}, {8, "0"}, {2, name}, {10, x}, {20, y}, {41, sx}, {42, sy}, {50, rot}});
  }
  // The items of the only component of the file.
  std::vector<Handle> componentItems() {
    auto comps = itemsOfType(kComponent);
    EXPECT_EQ(comps.size(), 1u);
    if (comps.empty()) return {};
    return items(at(comps[0]).ext);
  }
};

TEST_F(DxfBlockTest, ScaledAndTurnedInsertMovesEveryPoint) {
  readWithBlock("PART", "1", groups("0 LINE 8 0 10 2 20 1 11 1 21 1"), insert("PART", "5", "5", "2", "2", "90"));
  auto comps = itemsOfType(kComponent);
  ASSERT_EQ(comps.size(), 1u);
  const Record& hdr = at(comps[0]);
  EXPECT_FALSE(hdr.hidden());
  EXPECT_EQ(hdr.size, 16384);
  const Record& sentinel = at(hdr.ext);
  EXPECT_EQ(sentinel.x1, 5 * kIn);
  EXPECT_EQ(item::owner(sentinel), comps[0]);
  EXPECT_EQ(readText(ctx, hdr.ext), "PART");
  auto inner = items(hdr.ext);
  ASSERT_EQ(inner.size(), 1u);
  const Record& l = at(inner[0]);
  // (2, 1) - base (1, 1) = (1, 0), times 2, turned 90: (0, 2)
  EXPECT_EQ(corners(l), (Corners{5 * kIn, 7 * kIn, 5 * kIn, 5 * kIn}));
  EXPECT_EQ(hdr.w4, 7 * kIn);  // top of the component's bounding box
}

TEST_F(DxfBlockTest, TextsArcsAndSolidsFollowTheInsert) {
  readWithBlock("SYM", "0",
                groups("0 TEXT 8 0 10 1 20 0 40 0.1 1 ABC 50 10 0 ARC 8 0 10 0 20 0 40 1 50 0 51 90 0 SOLID 8 0 10 0 "
                       "20 0 11 1 21 0 12 0 22 1 13 1 23 1"),
                insert("SYM", "10", "0", "2", "1", "90"));
  auto inner = componentItems();
  ASSERT_EQ(inner.size(), 3u);
  const Record& t = at(inner[0]);
  EXPECT_EQ(t.type(), kText);
  EXPECT_EQ(t.size, 13108);  // height times |X scale|
  EXPECT_EQ(item::textAngle(t), dxf::toAngle(100));
  EXPECT_EQ(t.x1, 10 * kIn);
  EXPECT_EQ(t.y1, 2 * kIn);
  EXPECT_EQ(readText(ctx, inner[0]), "ABC");

  const Record& a = at(inner[1]);
  EXPECT_EQ(a.type(), kArc);
  EXPECT_EQ(item::radius(a), 2 * kIn);
  EXPECT_EQ(item::axisAngle(a), 16384);
  EXPECT_EQ(item::eccentricity(a), 32768);  // scales differ: Y over X
  EXPECT_EQ(item::sweep(a), 16384);

  const Record& s = at(inner[2]);
  ASSERT_TRUE(item::isSolid(s));
  EXPECT_EQ(corners(s), (Corners{9 * kIn, 0, 10 * kIn, 2 * kIn}));  // (x, y) -> (10 - y, 2x)
}

TEST_F(DxfBlockTest, MirroredInsertsTurnArcsAndTexts) {
  readWithBlock("M", "0", groups("0 ARC 8 0 10 0 20 0 40 1 50 10 51 40 0 TEXT 8 0 10 1 20 1 40 0.1 1 T"),
                insert("M", "0", "0", "-1", "1", "0") + insert("M", "0", "0", "1", "-1", "0"));
  auto comps = itemsOfType(kComponent);
  ASSERT_EQ(comps.size(), 2u);
  auto mx = items(at(comps[0]).ext), my = items(at(comps[1]).ext);
  ASSERT_EQ(mx.size(), 2u);
  ASSERT_EQ(my.size(), 2u);
  // Mirrored in X the arc spans 140..170 degrees, in Y 320..350.
  EXPECT_EQ(item::start(at(mx[0])), static_cast<uint16_t>(32768 - dxf::toAngle(40)));
  EXPECT_EQ(item::start(at(my[0])), static_cast<uint16_t>(-dxf::toAngle(40)));
  EXPECT_EQ(item::sweep(at(mx[0])), static_cast<uint16_t>(dxf::toAngle(40) - dxf::toAngle(10)));
  EXPECT_EQ(item::eccentricity(at(mx[0])), 0);  // equal magnitudes stay a circle
  EXPECT_LT(item::textLength(at(mx[1])), 0);
  EXPECT_EQ(at(mx[1]).x1, -kIn);
  EXPECT_LT(item::textLength(at(my[1])), 0);
  EXPECT_EQ(item::textAngle(at(my[1])), 32768);
  EXPECT_EQ(at(my[1]).y1, -kIn);
}

TEST_F(DxfBlockTest, UnknownBlockStaysAsItsName) {
  readWithBlock("KNOWN", "0", groups("0 LINE 8 0 10 0 20 0 11 1 21 0"),
                insert("MISSING PART", "3", "4", "1", "1", "0") + groups("0 INSERT 8 0 10 1"));
  auto all = items();
  ASSERT_EQ(all.size(), 1u);  // the nameless insert makes nothing
  const Record& t = at(all[0]);
  EXPECT_EQ(t.type(), kText);
  EXPECT_FALSE(t.hidden());
  EXPECT_EQ(t.x1, 3 * kIn);
  EXPECT_EQ(t.y1, 4 * kIn);
  EXPECT_EQ(readText(ctx, all[0]), "MISSING");
}

TEST_F(DxfBlockTest, NestedBlocksAreCompletedWhateverTheirOrder) {
  const std::string blocks = groups("0 BLOCK 2 OUTER 10 0 20 0") + insert("INNER", "1", "0", "1", "1", "90") +
                             groups("0 ENDBLK 0 BLOCK 2 INNER 10 0 20 0 0 LINE 8 0 10 0 20 0 11 1 21 0 0 ENDBLK");
  in.openMemory(dxfFile(insert("OUTER", "0", "10", "1", "1", "90"), blocks));
  ASSERT_EQ(readDxf(ctx, in, kHintDxf), 'X');
  auto outer = itemsOfType(kComponent);
  ASSERT_EQ(outer.size(), 1u);
  auto inner = items(at(outer[0]).ext);
  ASSERT_EQ(inner.size(), 1u);
  ASSERT_EQ(at(inner[0]).type(), kComponent);
  EXPECT_EQ(at(inner[0]).size, 32768);  // both turns
  auto lines = items(at(inner[0]).ext);
  ASSERT_EQ(lines.size(), 1u);
  // INNER's line (0,0)-(1,0) turned at (1,0) by 90, then OUTER turned 90 at (0,10).
  EXPECT_EQ(corners(at(lines[0])), (Corners{0, 11 * kIn, -kIn, 11 * kIn}));
  EXPECT_EQ(at(at(inner[0]).ext).x1, 0);  // inner origin moved with the outer insert
  EXPECT_EQ(at(at(inner[0]).ext).y1, 11 * kIn);
}

TEST_F(DxfBlockTest, SelfReferenceAndExponentialNestingStayBounded) {
  // A block that inserts itself, and 40 blocks each inserting the one before twice.
  std::string blocks = groups("0 BLOCK 2 SELF 10 0 20 0") + insert("SELF", "1", "1", "1", "1", "0") +
                       groups("0 LINE 8 0 10 0 20 0 11 1 21 0 0 ENDBLK");
  blocks += groups("0 BLOCK 2 B0 10 0 20 0 0 LINE 8 0 10 0 20 0 11 1 21 0 0 ENDBLK");
  for (int i = 1; i <= 40; ++i) {
    const std::string prev = "B" + std::to_string(i - 1);
    blocks += pairs({{0, "BLOCK"}, {2, "B" + std::to_string(i)}, {10, "0"}, {20, "0"}}) +
              insert(prev, "0", "0", "1", "1", "0") + insert(prev, "1", "0", "1", "1", "0") + groups("0 ENDBLK");
  }
  ctx.pool.setBlockLimit(40);  // 1,165,080 records: a budget of half of them
  const auto began = std::chrono::steady_clock::now();
  in.openMemory(dxfFile(insert("SELF", "0", "0", "1", "1", "0") + insert("B40", "0", "0", "1", "1", "0"), blocks));
  ASSERT_EQ(readDxf(ctx, in, kHintDxf), 'X');
  EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(30));
  auto comps = itemsOfType(kComponent);
  ASSERT_GE(comps.size(), 1u);
  auto self = items(at(comps[0]).ext);
  ASSERT_EQ(self.size(), 2u);  // the line and the name of the insert that refers to itself
  EXPECT_EQ(at(self[0]).type(), kText);
  EXPECT_EQ(readText(ctx, self[0]), "SELF");
  // No more records are in use than the budget allows (plus the file's own),
  // and the box says what was cut.
  const size_t used = size_t(ctx.pool.blockCount()) * RecordPool::kRecordsPerBlock - ctx.pool.freeCount();
  EXPECT_LT(used, size_t(40) * RecordPool::kRecordsPerBlock / 2 + 10000);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].rfind("File Read Limit: The file would create more than 5825", 0), 0u) << host.boxes[0];
  EXPECT_NE(host.boxes[0].find(" records (half of the free record memory).\n\nBlock references beyond it are "
                               "shown as their block names"),
            std::string::npos)
      << host.boxes[0];
}

// Nesting deeper than the reader follows is said, not dropped silently.
TEST_F(DxfBlockTest, DeepNestingIsSaidAndKeepsTheOuterLevels) {
  std::string blocks = groups("0 BLOCK 2 B0 10 0 20 0 0 LINE 8 0 10 0 20 0 11 1 21 0 0 ENDBLK");
  for (int i = 1; i <= 20; ++i)
    blocks += pairs({{0, "BLOCK"}, {2, "B" + std::to_string(i)}, {10, "0"}, {20, "0"}}) +
              insert("B" + std::to_string(i - 1), "0", "0", "1", "1", "0") + groups("0 ENDBLK");
  in.openMemory(dxfFile(insert("B20", "0", "0", "1", "1", "0"), blocks));
  ASSERT_EQ(readDxf(ctx, in, kHintDxf), 'X');
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].rfind("DXF Import: 1 block references nest more than 16 levels deep", 0), 0u)
      << host.boxes[0];
  EXPECT_EQ(itemsOfType(kComponent).size(), 1u);
}

// Unevenly scaled circles become ellipses, the long axis on the larger
// scale, and the component's box follows them.
TEST_F(DxfBlockTest, UnevenScaleMakesEllipsesWithTheirBox) {
  readWithBlock("C", "0", groups("0 CIRCLE 8 0 10 0 20 0 40 1"),
                insert("C", "0", "0", "1", "3", "0") + insert("C", "0", "0", "2", "1", "90"));
  auto comps = itemsOfType(kComponent);
  ASSERT_EQ(comps.size(), 2u);
  const Record& tall = at(items(at(comps[0]).ext)[0]);
  EXPECT_EQ(item::radius(tall), 3 * kIn);
  EXPECT_EQ(item::eccentricity(tall), 21845);  // 1/3
  EXPECT_EQ(item::axisAngle(tall), 16384);     // the long axis along Y
  EXPECT_EQ(item::sweep(tall), 0);             // still whole
  const Record& box = at(comps[0]);
  EXPECT_NEAR(box.x1, -kIn, 2);
  EXPECT_NEAR(box.w3, kIn, 2);
  EXPECT_NEAR(box.y1, -3 * kIn, 2);
  EXPECT_NEAR(box.w4, 3 * kIn, 2);
  // Twice as wide, then turned a quarter: tall again.
  const Record& turned = at(comps[1]);
  EXPECT_NEAR(turned.w3, kIn, 2);
  EXPECT_NEAR(turned.w4, 2 * kIn, 2);
}

}  // namespace
}  // namespace trelmo::testing
