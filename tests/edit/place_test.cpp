// The Place functions: the line joining and via rules, pads and their
// numbering, arcs from clicked points, filled solids, vertices, text entry,
// ports and dimension lines; each placement one undo event.
#include <gtest/gtest.h>

#include "database/chains.h"
#include "edit/edit_fixture.h"
#include "edit/place_geometry.h"
#include "shell/input_actions.h"
#include "shell/keys.h"

namespace trelmo::testing {
namespace {

TEST(PlaceGeometry, PinNamesCountOnFromTheirLastDigits) {
  for (auto [from, to] :
       {std::pair{"R9", "R10"}, {"A99B", "A100B"}, {"9", "10"}, {"0", "0"}, {"GND", "GND"}, {"", ""}, {"D07X", "D08X"}})
    EXPECT_EQ(nextPinName(from), to) << from;
}

TEST(PlaceGeometry, ArcsFromCentreStartAndEnd) {
  ArcPoints a;
  // A start point on the centre, or within 3 units of it, is refused.
  EXPECT_FALSE(arcFromPoints(100, 100, 100, 100, 500, 100, a));
  EXPECT_FALSE(arcFromPoints(100, 100, 103, 100, 500, 100, a));
  EXPECT_TRUE(arcFromPoints(100, 100, 104, 100, 500, 100, a));
  // Collinear points: the end opposite the start gives half a circle, the
  // end beyond the start (or on the centre) a whole one.
  ASSERT_TRUE(arcFromPoints(0, 0, 65536, 0, -65536, 0, a));
  EXPECT_EQ(a.radius, 65536);
  EXPECT_EQ(a.start, 0);
  EXPECT_EQ(a.sweep, 32768);
  ASSERT_TRUE(arcFromPoints(0, 0, 65536, 0, 131072, 0, a));
  EXPECT_EQ(a.sweep, 0);
  ASSERT_TRUE(arcFromPoints(0, 0, 65536, 0, 2, 1, a));
  EXPECT_EQ(a.sweep, 0);
  // A quarter turn counter-clockwise.
  ASSERT_TRUE(arcFromPoints(0, 0, 0, 65536, -65536, 0, a));
  EXPECT_EQ(a.start, 16384);
  EXPECT_EQ(a.sweep, 16384);
}

TEST(PlaceGeometry, PortWidthsAndDimensionTexts) {
  // Names of nearly equal width make ports of equal size.
  EXPECT_EQ(portWidth(26000), portWidth(26100));
  EXPECT_EQ(portWidth(0), 0);
  EXPECT_GT(portWidth(26000 + 6554), portWidth(26000));
  EXPECT_EQ(dimensionLabel(65536, 3), "1.000\"");
  EXPECT_EQ(dimensionLabel(65536 * 3 / 2, 2), "1.50\"");
  EXPECT_EQ(dimensionLabel(65536, -2), "25.40mm");
  EXPECT_EQ(dimensionLabel(0, 0), "0\"");
}

// A board with the line width and layer set for tracks on top copper.
struct PlaceBoard : EditBoard {
  PlaceBoard() {
    ctx.params.currentLayer = 3;
    ctx.params.lineWidth = 655;
  }
  int count(uint8_t type) {
    int n = 0;
    const Handle file = ctx.current;
    for (Handle h = ctx.rec(file).next; h != file; h = ctx.rec(h).next)
      n += ctx.rec(h).type() == type && !ctx.rec(h).hidden();
    return n;
  }
  void at(double x, double y, char member) {
    cursor(x, y);
    run('P', member, kFromRepeat);
  }
  void key(uint16_t k) {
    ASSERT_TRUE(ctx.shell.keyHook);
    KeyHook hook = ctx.shell.keyHook;
    hook(ctx, k);
  }
  void type(const std::string& s) {
    for (char c : s) key(static_cast<uint16_t>(static_cast<uint8_t>(c)));
  }
};

TEST(PlaceLine, SegmentsAreUndoneOneByOneAndTheSameSpotBacksUp) {
  PlaceBoard b;
  const std::string original = b.items();
  const int lines = b.count(kLine);
  b.at(5, 5, 'L');  // the rubber band starts
  b.at(5, 5, 'L');  // the same spot on the very first point: nothing
  EXPECT_EQ(b.count(kLine), lines);
  b.at(6, 5, 'L');
  b.at(6, 6, 'L');
  b.at(7, 6, 'L');
  EXPECT_EQ(b.count(kLine), lines + 3);
  b.at(7, 6, 'L');  // the same spot twice: the last segment goes
  EXPECT_EQ(b.count(kLine), lines + 2);
  b.at(7, 7, 'L');  // and the track goes on from (6, 6)
  const Handle last = b.ctx.rec(b.ctx.current).prev;
  const Record& r = b.ctx.rec(b.ctx.rec(last).hidden() ? b.ctx.rec(last).prev : last);
  EXPECT_EQ(r.x1, inches(6));
  EXPECT_EQ(r.y1, inches(6));
  EXPECT_EQ(r.w4, inches(7));
  releaseGrabList(b.ctx);
  EXPECT_EQ(undoAll(b.ctx), 5);
  EXPECT_EQ(b.items(), original);
}

TEST(PlaceLine, OrthoLinesKeepToEightDirections) {
  PlaceBoard b;
  b.at(5, 5, 'O');
  b.at(6, 5.3, 'O');  // flat: horizontal
  b.at(6.8, 6, 'O');  // steep enough for the diagonal of the smaller offset
  releaseGrabList(b.ctx);
  const Handle second = b.ctx.rec(b.ctx.current).prev;
  const Record& d = b.ctx.rec(second);
  const Record& h = b.ctx.rec(d.prev);
  EXPECT_EQ(h.y1, h.w4);
  EXPECT_EQ(h.w3, inches(6));
  EXPECT_EQ(std::abs(d.w3 - d.x1), std::abs(d.w4 - d.y1));
}

TEST(PlaceLine, AViaJoinsATrackStartedOnOneTrackOfAnotherCopperLayer) {
  PlaceBoard b;
  b.ctx.params.viaSize = 3277, b.ctx.params.viaHole = 1835;
  // A bottom track ending at (5, 5).
  b.ctx.params.currentLayer = 12;
  b.at(4, 5, 'L'), b.at(5, 5, 'L');
  releaseGrabList(b.ctx);
  const int pads = b.count(kPad);
  b.ctx.params.currentLayer = 3;
  b.at(5, 5, 'L'), b.at(6, 5, 'L');
  EXPECT_EQ(b.count(kPad), pads + 1);
  const Record& via = b.ctx.rec(b.freeItem(kPad, pads));
  EXPECT_EQ(via.x1, inches(5));
  EXPECT_EQ(via.layer, 0);
  EXPECT_EQ(item::padType(via), item::kRoundVia);
  EXPECT_EQ(item::padHole(via), 1835);
  // Undo takes the segment and its via together.
  releaseGrabList(b.ctx);
  ASSERT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(b.count(kPad), pads);
  // From the end of a top track too: no via (a track of its own layer).
  b.at(5, 5, 'L'), b.at(6, 5, 'L'), b.at(6, 6, 'L');
  releaseGrabList(b.ctx);
  EXPECT_EQ(b.count(kPad), pads + 1);
  b.at(6, 5, 'L'), b.at(7, 5, 'L');
  releaseGrabList(b.ctx);
  EXPECT_EQ(b.count(kPad), pads + 1);
  // Two bottom tracks meeting: none either.
  b.ctx.params.currentLayer = 12;
  b.at(8, 8, 'L'), b.at(9, 8, 'L'), b.at(9, 9, 'L');
  releaseGrabList(b.ctx);
  b.ctx.params.currentLayer = 3;
  b.at(9, 8, 'L'), b.at(10, 8, 'L');
  releaseGrabList(b.ctx);
  EXPECT_EQ(b.count(kPad), pads + 1);
}

TEST(PlaceLine, ARoutedLineGoesRoundWhatIsInTheWay) {
  PlaceBoard b;
  // A wall on top copper between the two ends.
  const Handle wall =
      createItem(b.ctx.pool, b.ctx.current, kLine, 3, 655, inches(6), inches(4.5), inches(6), inches(5.5), kNull);
  ASSERT_NE(wall, kNull);
  const std::string before = b.items();
  b.at(5, 5, 'U');
  b.at(7, 5, 'U');
  releaseGrabList(b.ctx);
  std::vector<Record> segments;
  for (Handle h = b.ctx.rec(wall).next; h != b.ctx.current; h = b.ctx.rec(h).next) segments.push_back(b.ctx.rec(h));
  ASSERT_GE(segments.size(), 3u);
  EXPECT_EQ(segments.front().x1, inches(5));
  EXPECT_EQ(segments.front().y1, inches(5));
  EXPECT_EQ(segments.back().w3, inches(7));
  EXPECT_EQ(segments.back().w4, inches(5));
  const double keep = (655 + 655) / 2.0 / 65536 + b.ctx.params.lineToLine / 65536.0;
  for (size_t i = 0; i < segments.size(); ++i) {
    const Record& r = segments[i];
    if (i > 0) {
      EXPECT_TRUE(r.x1 == segments[i - 1].w3 && r.y1 == segments[i - 1].w4) << "joined end to end";
    }
    const bool across = std::min(r.x1, r.w3) < inches(6) && std::max(r.x1, r.w3) > inches(6);
    if (across) {
      EXPECT_TRUE(r.y1 > inches(5.5 + keep) || r.y1 < inches(4.5 - keep)) << r.y1 / 65536.0;
    }
  }
  // One click, one event.
  EXPECT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(b.items(), before);
}

TEST(PlaceVia, AViaEndsTheRubberBandAsOneEvent) {
  PlaceBoard b;
  const std::string original = b.items();
  b.at(5, 5, 'L');
  b.cursor(6, 5);
  b.run('P', 'V', kFromKeys);
  EXPECT_EQ(b.ctx.shell.currentFunction, 0) << "a via on a track leaves the line function current";
  b.at(6, 6, 'L');
  releaseGrabList(b.ctx);
  b.at(6, 5, 'V');  // on the via: refused
  EXPECT_EQ(b.host.status.back().find("Illegal pad overlap") != std::string::npos, true);
  EXPECT_EQ(undoAll(b.ctx), 2);
  EXPECT_EQ(b.items(), original);
}

TEST(PlacePad, PadsCountTheirPinsAndRefuseOverlaps) {
  PlaceBoard b;
  b.ctx.input.placement.pinName = "R9";
  b.ctx.params.padLayer = 0, b.ctx.params.padType = 1;
  b.ctx.params.padX = b.ctx.params.padY = 4260, b.ctx.params.padHole = 2294;
  b.at(5, 5, 'P');  // the ghost
  b.at(5, 5, 'P');
  b.at(5.2, 5, 'P');
  b.at(5.2, 5, 'P');  // on the pad just placed
  b.at(5.4, 5, 'P');
  releaseGrabList(b.ctx);
  const int pads = b.count(kPad);
  EXPECT_EQ(pinName(b.ctx, b.freeItem(kPad, pads - 3)), "R9");
  EXPECT_EQ(pinName(b.ctx, b.freeItem(kPad, pads - 2)), "R10");
  EXPECT_EQ(pinName(b.ctx, b.freeItem(kPad, pads - 1)), "R11");
  EXPECT_EQ(b.ctx.input.placement.pinName, "R12");
}

TEST(PlacePad, TheBoxRefusesConflictingTypesInOrder) {
  PlaceBoard b;
  int n = 0;
  b.host.dialog = [&](DialogBox& box) {
    if (box.name != "PlacePadBox") return true;
    ++n;
    box.field("type")->value = n == 1 ? "5" : n == 2 ? "5" : n == 3 ? "1" : "6";
    box.field("layer")->value = n == 1 ? "0" : "3";
    box.field("drill")->value = n == 2 ? ".03" : "0";
    box.field("x")->value = n == 4 ? "0" : ".05";
    return n <= 4;
  };
  b.run('P', 'P', kFromKeys);
  std::vector<std::string> titles;
  for (auto& m : b.host.boxes) titles.push_back(m.first);
  EXPECT_EQ(titles, (std::vector<std::string>{"Pad layer/type conflict", "Pad type/drill conflict",
                                              "Pad type/drill conflict", "Pad XY size error"}));
  EXPECT_FALSE(isGrabbed(b.ctx));
}

TEST(PlaceArc, ThreeClicksMakeAnArcAndTheParametersFollow) {
  PlaceBoard b;
  b.run('P', 'Y', kFromKeys);
  b.cursor(5, 5);
  ASSERT_TRUE(acceptAction(b.ctx));
  b.cursor(5, 5);
  acceptAction(b.ctx);  // radius 0: refused
  EXPECT_EQ(b.host.count(Sound::Beep), 1);
  b.cursor(6, 5);
  acceptAction(b.ctx);
  b.cursor(5, 7);
  acceptAction(b.ctx);
  EXPECT_EQ(b.ctx.shell.stagePrompt, "Define Arc:  Select center point.");
  const Handle arc = b.ctx.rec(b.ctx.current).prev;
  const Record& r = b.ctx.rec(arc);
  ASSERT_EQ(r.type(), kArc);
  EXPECT_EQ(item::radius(r), inches(1));
  EXPECT_EQ(item::start(r), 0);
  EXPECT_EQ(item::sweep(r), 16384);
  EXPECT_EQ(b.ctx.input.placement.arcSweep, 16384);
  cancelAction(b.ctx);
  EXPECT_FALSE(b.ctx.shell.acceptHooks[0]);
  EXPECT_TRUE(undoEvent(b.ctx));
  EXPECT_NE(b.ctx.rec(b.ctx.current).prev, arc);
}

TEST(PlaceSolid, ThreePointsMakeASolidAndTwoNothing) {
  PlaceBoard b;
  const std::string original = b.items();
  b.run('P', 'F', kFromMacro);
  for (auto [x, y] : {std::pair{5.0, 5.0}, {6.0, 5.0}}) {
    b.cursor(x, y);
    acceptAction(b.ctx);
  }
  cancelAction(b.ctx);
  EXPECT_EQ(b.items(), original);
  b.run('P', 'F', kFromMacro);
  for (auto [x, y] : {std::pair{5.0, 5.0}, {6.0, 5.0}, {6.0, 5.0}, {6.0, 6.0}, {5.0, 6.0}}) {
    b.cursor(x, y);
    acceptAction(b.ctx);
  }
  EXPECT_EQ(b.ctx.shell.stagePrompt, "Define Polygon:  Select additional points.");
  cancelAction(b.ctx);
  const Record& s = b.ctx.rec(b.ctx.rec(b.ctx.current).prev);
  EXPECT_TRUE(item::isSolid(s));
  EXPECT_EQ(s.w3, inches(6));
  EXPECT_EQ(s.w4, inches(6));
  EXPECT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(b.items(), original);
}

TEST(PlaceVertex, ALineSplitAtTheCursorIsOneEvent) {
  PlaceBoard b;
  b.at(5, 5, 'L'), b.at(7, 5, 'L');
  releaseGrabList(b.ctx);
  const std::string before = b.items();
  b.cursor(6, 5);
  b.run('P', 'E', kFromKeys);
  EXPECT_EQ(b.ctx.edit.grab.ghosts.size(), 3u);
  b.cursor(6, 6);
  b.run('P', 'E', kFromRepeat);
  const std::string after = b.items();
  EXPECT_NE(after.find("5.0 5.0 6.0 6.0"), std::string::npos) << after;
  EXPECT_NE(after.find("6.0 6.0 7.0 5.0"), std::string::npos);
  EXPECT_EQ(after.find("5.0 5.0 7.0 5.0"), std::string::npos);
  EXPECT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(b.items(), before);
  b.cursor(9, 9);
  b.run('P', 'E', kFromRepeat);
  EXPECT_EQ(b.host.count(Sound::Beep), 1);
}

TEST(PlaceText, TypedTextIsCommittedByEnter) {
  PlaceBoard b;
  b.ctx.params.textSize = 3932;
  b.cursor(5, 5);
  b.run('P', 'T', kFromMacro);
  b.type("AXC");
  b.key(0x4B00);  // Left
  b.key(0x0E08);  // Backspace: the X goes
  b.key(0x4F00);  // End
  b.type("D");
  b.key(kKeyEnter);
  EXPECT_FALSE(b.ctx.shell.keyHook);
  const Handle t = b.ctx.rec(b.ctx.current).prev;
  EXPECT_EQ(readText(b.ctx, t), "ACD");
  EXPECT_EQ(b.ctx.rec(t).x1, inches(5));
  EXPECT_EQ(item::textLength(b.ctx.rec(t)), textLengthOf("ACD", 3932));
  // Enter first abandons; Escape too.
  const std::string before = b.items();
  b.run('P', 'T', kFromMacro);
  b.key(kKeyEnter);
  b.run('P', 'T', kFromMacro);
  b.type("Q");
  b.key(kKeyEscape);
  EXPECT_EQ(b.items(), before);
  // Up edits the text before: the first key replaces it.
  b.run('P', 'T', kFromMacro);
  b.type("Z");
  b.key(0x4800);
  ASSERT_TRUE(b.ctx.shell.keyHook);
  b.type("NEW");
  b.key(kKeyEnter);
  EXPECT_NE(b.items().find(" NEW\r\n"), std::string::npos);
  EXPECT_EQ(b.items().find(" ACD\r\n"), std::string::npos);
  EXPECT_TRUE(undoEvent(b.ctx));
  EXPECT_NE(b.items().find(" ACD\r\n"), std::string::npos);
}

struct SchematicBoard : PlaceBoard {
  SchematicBoard() {
    fileClose(ctx);
    openFileByName(ctx, dir.example("demo.sch"), 0);
  }
};

TEST(PlaceSymbols, SchematicOnlyFunctionsRefuseABoard) {
  PlaceBoard b;
  b.run('P', 'S', kFromMacro);
  EXPECT_FALSE(isGrabbed(b.ctx));
  EXPECT_NE(b.host.status.back().find("A schematic file is needed"), std::string::npos);
}

TEST(PlaceSymbols, PortsGrowWithTheirNamesAndDropAsOneEvent) {
  SchematicBoard b;
  const std::string original = b.items();
  auto portWidthFor = [&](const std::string& name) {
    b.ctx.edit.place.signalName = name;
    b.cursor(5, 5);
    b.run('P', 'B', kFromMacro);  // the bus port keeps its width; the signal port grows
    releaseGrabList(b.ctx);
    b.run('P', 'S', kFromMacro);
    const Record& h = b.ctx.rec(b.ctx.rec(b.ctx.current).prev);
    const int32_t w = h.w3 - h.x1;
    releaseGrabList(b.ctx);
    return w;
  };
  // Six and seven characters round up to the same tenth of an inch.
  const int32_t a = portWidthFor("DATA_1"), c = portWidthFor("DATA_12"), d = portWidthFor("A_MUCH_LONGER_NAME");
  EXPECT_EQ(a, c);
  EXPECT_GT(d, a);
  EXPECT_EQ(b.items(), original);
  // The name is counted on first: D9 becomes D10.
  b.ctx.edit.place.signalName = "D9";
  b.cursor(5, 5);
  b.run('P', 'S', kFromMacro);
  b.cursor(6, 5);
  b.run('P', 'S', kFromRepeat);  // the click drops it
  EXPECT_NE(b.items().find("$$SIG\177D10"), std::string::npos);
  EXPECT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(b.items(), original);
}

TEST(PlaceSymbols, ADimensionLineMeasuresItselfWhenDropped) {
  PlaceBoard b;
  b.ctx.params.units = 3;
  b.cursor(5, 5);
  b.run('P', 'X', kFromMacro);
  b.cursor(5, 6);
  b.run('P', 'X', kFromRepeat);
  const std::string items = b.items();
  EXPECT_NE(items.find(" 1.000\"\r\n"), std::string::npos) << items;
  EXPECT_NE(items.find("$$DIM"), std::string::npos);
  EXPECT_TRUE(undoEvent(b.ctx));
  EXPECT_EQ(b.items().find("$$DIM"), std::string::npos);
}

}  // namespace
}  // namespace trelmo::testing
