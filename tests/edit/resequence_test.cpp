// Resequencing: reference IDs taken apart, the family of a file name, the
// order of numbering, and a run over components of one file.
#include "edit/resequence.h"

#include <gtest/gtest.h>

#include "database/chains.h"
#include "database/design_files.h"
#include "database/rings.h"
#include "edit/edit_fixture.h"
#include "library/library_listing.h"

namespace trelmo::testing {
namespace {

TEST(Resequence, ReferencesSplitIntoPrefixNumberGateAndTail) {
  const RefParts u = parseReference("U3a-1");
  EXPECT_EQ(u.prefix, "U");
  EXPECT_EQ(u.number, 3);
  EXPECT_EQ(u.gate, 'a');
  EXPECT_EQ(u.tail, "-1");
  EXPECT_EQ(joinReference(u, 100), "U100a-1");
  const RefParts r = parseReference("RN12");
  EXPECT_EQ(r.prefix, "RN");
  EXPECT_EQ(r.number, 12);
  EXPECT_EQ(r.gate, 0);
  EXPECT_EQ(parseReference("U3B").gate, 'B');
  EXPECT_EQ(parseReference("R1X2").gate, 0);  // not last: part of the tail
  EXPECT_EQ(parseReference("R1X2").tail, "X2");
  EXPECT_EQ(parseReference("1R").prefix, "");
  EXPECT_EQ(parseReference("Q").number, -1);
  EXPECT_EQ(parseReference("C99999999999999999999999").number, 999999999999999999);
}

TEST(Resequence, FamiliesByExtension) {
  const std::pair<const char*, int> cases[] = {{"/d/demo.pcb", 0}, {"demo.SCH", 1},  {"demo.sh7", 7},
                                               {"demo.s19", 19},   {"demo.sh0", -1}, {"demo.s00", -1},
                                               {"demo.dwg", -1},   {"/d.x/demo", -1}};
  for (auto [name, family] : cases) EXPECT_EQ(familyIndex(name), family) << name;
  EXPECT_EQ(familyBase("/d/demo.sh1"), "/d/demo.");
}

TEST(Resequence, RowsWithinThreeUnitsAreOneRow) {
  // Upper left: y is negated, so the top row comes first.
  const RefPlace a = orientedPlace(StartCorner::UpperLeft, 100, 1002);
  const RefPlace b = orientedPlace(StartCorner::UpperLeft, 50, 1000);
  EXPECT_EQ(nextInOrder({a, b}, false), 1);  // 2 units apart: one row, left first
  const RefPlace c = orientedPlace(StartCorner::UpperLeft, 50, 999);
  EXPECT_EQ(nextInOrder({a, c}, false), 0);  // 3 apart: the higher row first
  EXPECT_EQ(nextInOrder({a, c}, true), 1);   // columns: the left column first
  const RefPlace d = orientedPlace(StartCorner::LowerRight, 100, 0);
  const RefPlace e = orientedPlace(StartCorner::LowerRight, 50, 0);
  EXPECT_EQ(nextInOrder({e, d}, false), 1);  // from the right
  EXPECT_EQ(nextInOrder({}, false), -1);
}

// A component at (x, y) with the attributes, in the current file.
Handle addComponent(Context& ctx, double x, double y, const std::string& params) {
  const Handle h =
      createItem(ctx.pool, ctx.current, kComponent, 1, 0, inches(x), inches(y), inches(x + .1), inches(y + .1), kNull);
  const Handle ring = newComponentRing(ctx, h, inches(x), inches(y), params);
  createTextItem(ctx, ring, 1, 3932, inches(x), inches(y), "&1");
  return h;
}

std::string refOf(const Context& ctx, Handle h) { return splitAttributes(readText(ctx, ctx.rec(h).ext))[1]; }

TEST(Resequence, GatesShareANumberAndDigitsAreLeftAlone) {
  EditBoard b("");
  newDesignFile(b.ctx, b.dir.file("x.pcb"));
  const Handle r7 = addComponent(b.ctx, 2, 1, "RES\177R7\1771K");
  const Handle r2 = addComponent(b.ctx, 1, 1, "RES\177R2\1771K");
  const Handle u3b = addComponent(b.ctx, 1, 2, "7400\177U3b\1777400");
  const Handle u3a = addComponent(b.ctx, 2, 2, "7400\177U3a\1777400");
  const Handle digit = addComponent(b.ctx, 0, 2, "X\1771R");
  EXPECT_EQ(resequenceComponents(b.ctx), 4);
  EXPECT_EQ(refOf(b.ctx, r2), "R100");
  EXPECT_EQ(refOf(b.ctx, r7), "R101");
  EXPECT_EQ(refOf(b.ctx, u3b), "U100b");
  EXPECT_EQ(refOf(b.ctx, u3a), "U100a");
  EXPECT_EQ(refOf(b.ctx, digit), "1R");
  // The text showing the Ref ID is as long as the new one.
  const Handle text = b.ctx.rec(b.ctx.rec(u3a).ext).next;
  EXPECT_EQ(item::textLength(b.ctx.rec(text)), textLengthOf("U100a", 3932));
  ASSERT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(refOf(b.ctx, r7), "R7");
  EXPECT_EQ(refOf(b.ctx, u3a), "U3a");
  EXPECT_FALSE(undoAvailable(b.ctx));  // one event
  // A name outside the family changes nothing.
  newDesignFile(b.ctx, b.dir.file("x.dwg"));
  addComponent(b.ctx, 0, 0, "RES\x7FR7");
  EXPECT_EQ(resequenceComponents(b.ctx), 0);
}

}  // namespace
}  // namespace trelmo::testing
