// The Setup and Zoom families: every member that is built does its work, the
// boxes read back what they show, refuse what the data file could not keep,
// and the interactive zooms keep their hooks and rubber rectangle in order.
#include <cstring>

#include "database/design_files.h"
#include "input_fixture.h"
#include "resources/menus.h"
#include "shell/dialog_catalogue.h"
#include "shell/dialog_script.h"
#include "shell/input_actions.h"
#include "shell/setup_boxes.h"

namespace trelmo::testing {
namespace {

class SetupFamily : public InputTest {
 protected:
  // The next box opened takes these BOX-less FIELD=VALUE settings.
  void answer(std::vector<std::pair<std::string, std::string>> settings, bool ok = true) {
    host.dialog = [this, settings, ok](DialogBox& box) {
      opened.push_back(box.name);
      for (const auto& [field, value] : settings) {
        std::string why;
        EXPECT_TRUE(setDialogField(box, field, value, why)) << why;
      }
      return ok;
    };
  }
  bool modified() const { return fileModified(ctx.rec(ctx.current)); }
  void clearModified() { ctx.rec(ctx.current).size &= static_cast<uint16_t>(~kFileModified); }
  std::vector<std::string> opened;
};

// Only the pixel image entries and the library, via and dimension boxes,
// which belong to later work, are left giving Beop.
TEST_F(SetupFamily, NoBuiltItemOfTheSetupOrZoomMenuGivesBeop) {
  host.dialog = [](DialogBox&) { return false; };
  const std::string waiting = "0123456789:;<=>FVX";
  for (const MenuItem& top : menuBar()) {
    const char family = static_cast<char>(top.code >> 8);
    if (family != 'S' && family != 'Z') continue;
    std::vector<MenuItem> items(top.submenu.begin(), top.submenu.end());
    for (const MenuItem& item : top.submenu)
      for (const MenuItem& sub : item.submenu) items.push_back(sub);
    for (const MenuItem& item : items) {
      if (!item.code || item.submenu.size()) continue;
      const char member = static_cast<char>(item.code & 0xFF);
      host.sounds.clear();
      executeFunction(ctx, item.code, kFromMacro);
      const bool beop = host.count(Sound::Beop) > 0;
      EXPECT_EQ(beop, family == 'S' && waiting.find(member) != std::string::npos) << codeName(item.code);
      cancelAction(ctx);
    }
  }
}

TEST_F(SetupFamily, LayerTableRowsReadBackAndKeepWhatTheBoxDoesNotShow) {
  ctx.params.layers[9].type = 0xC0;  // bits 6-7: not edited by the box
  ctx.params.layers[9].color = 0x02000000;
  answer({{"Layer9.Name", "Keep Out  "},
          {"Layer9.Kind", "3"},
          {"Layer9.Bottom", "Bottom side"},
          {"Layer9.Route", "2"},
          {"Layer9.Colour", "a0b0c0"},
          {"Layer9.Disabled", "1"},
          {"Layer9.Sequence", "200"}});
  executeFunction(ctx, fc('S', 'L'), kFromMenuBar);
  const LayerEntry& e = ctx.params.layers[9];
  EXPECT_STREQ(e.name, "Keep Out") << "trailing blanks would not survive a save";
  EXPECT_EQ(e.type, 0xC0 | kPlane | kBottomSide | (2 << kRouteDirShift));
  EXPECT_EQ(e.color, 0x02000000u | kColorDisabled | 0xA0B0C0);
  EXPECT_EQ(e.sequence, 200);
  EXPECT_TRUE(modified());
}

TEST_F(SetupFamily, RefusedValuesChangeNothing) {
  Params before;
  std::memcpy(&before, &ctx.params, sizeof before);
  // Values a script could not set are set behind the form's back here.
  host.dialog = [](DialogBox& box) {
    *box.slot("Layer4.Name").value = "Sixteen letters!";
    return true;
  };
  executeFunction(ctx, fc('S', 'L'), kFromMenuBar);
  EXPECT_EQ(std::memcmp(&before, &ctx.params, sizeof before), 0);
  host.dialog = [](DialogBox& box) {
    box.field("padToPad")->value = "-5";
    return true;
  };
  executeFunction(ctx, fc('S', 'C'), kFromMenuBar);
  EXPECT_EQ(std::memcmp(&before, &ctx.params, sizeof before), 0);
  EXPECT_FALSE(modified());
}

TEST_F(SetupFamily, BoxesConfirmedUnchangedLeaveTheFileUnmodified) {
  for (const SetupBox& b : setupBoxes()) {
    clearModified();
    answer({});
    executeFunction(ctx, fc('S', b.member), kFromMenuBar);
    EXPECT_FALSE(modified()) << b.member;
  }
  EXPECT_EQ(opened.size(), setupBoxes().size());
  answer({{"maskSwell", ".001"}}, false);  // cancelled
  executeFunction(ctx, fc('S', 'C'), kFromMenuBar);
  EXPECT_EQ(ctx.params.maskSwell, 0);
  EXPECT_FALSE(modified());
}

TEST_F(SetupFamily, SnapTableClosesUpAndItsCurrentEntryBecomesTheSnap) {
  answer({{"entry1", "1/16\""}, {"entry2", ""}, {"entry3", "0.5mm"}});
  executeFunction(ctx, fc('S', 'S'), kFromMenuBar);
  EXPECT_STREQ(ctx.params.snapTable[0], "1/16\"");
  EXPECT_STREQ(ctx.params.snapTable[1], "0.5mm");
  EXPECT_EQ(ctx.params.snapTable[2][0], 0);
  EXPECT_EQ(ctx.params.snapStep, 1u << 28) << "the changed current entry: 1/16 inch";
  answer({{"snap", "0.5mm"}});
  executeFunction(ctx, fc('S', 'G'), kFromMenuBar);
  EXPECT_EQ(ctx.params.snapIndex, 1);
  EXPECT_EQ(ctx.params.units, -1);
  EXPECT_NEAR(ctx.params.snapStep, 0.5 / 25.4 * 4294967296.0, 2);
}

TEST_F(SetupFamily, ZeroPointToggles) {
  ctx.view.cursorX = 3 * kInch, ctx.view.cursorY = -kInch;
  executeFunction(ctx, fc('S', 'P'), kFromMacro);
  EXPECT_EQ(ctx.params.zeroX, 3 * kInch);
  EXPECT_EQ(ctx.params.zeroY, -kInch);
  EXPECT_EQ(host.count(Sound::Peep), 1);
  EXPECT_TRUE(host.showed("Relative zero point established."));
  executeFunction(ctx, fc('S', 'P'), kFromMacro);
  EXPECT_EQ(ctx.params.zeroX, 0);
  EXPECT_EQ(ctx.params.zeroY, 0);
  EXPECT_EQ(host.count(Sound::Peep), 1);
  EXPECT_TRUE(host.showed("Absolute coordinates restored."));
  EXPECT_TRUE(modified()) << "the zero point is saved with the file";
}

TEST_F(SetupFamily, OrthoModeMarksTheGridField) {
  executeFunction(ctx, fc('S', 'T'), kFromMacro);
  EXPECT_EQ(ctx.view.snapMode, 1);
  EXPECT_NE(gridReadout(ctx.view, ctx.params).find("\"*  "), std::string::npos);
  executeFunction(ctx, fc('S', 'T'), kFromMacro);
  EXPECT_EQ(ctx.view.snapMode, 0);
  EXPECT_FALSE(modified()) << "ortho mode is not saved";
}

TEST_F(SetupFamily, ScreenBoxMovesToTheChosenDisplay) {
  ctx.shell.screens = {"left 1920x1080 at 0,0", "right 1280x1024 at 1920,0"};
  std::vector<int> moved;
  ctx.shell.hooks.selectScreen = [&](Context&, int n) { moved.push_back(n); };
  answer({{"screen", "1"}});
  menuCommand(ctx, kScreenBox);
  EXPECT_EQ(opened, (std::vector<std::string>{"ScreenParametersBox"}));
  EXPECT_EQ(moved, (std::vector<int>{1}));
}

TEST_F(SetupFamily, ZoomWindowDrawsTheRubberRectangleFromTheFirstCorner) {
  executeFunction(ctx, fc('Z', 'W'), kFromMenuBar);
  EXPECT_TRUE(ctx.shell.crossHairMode);
  ctx.view.cursorX = ctx.view.cursorY = 0;
  EXPECT_TRUE(host.showed("Zoom Window:  Select first corner point."));
  ASSERT_TRUE(acceptAction(ctx));
  EXPECT_TRUE(ctx.screen.rubber.on);
  EXPECT_EQ(ctx.screen.rubber.x, 0);
  EXPECT_TRUE(host.showed("Zoom Window:  Select second corner point"));
  ctx.view.cursorX = 2 * kInch, ctx.view.cursorY = kInch;
  ASSERT_TRUE(acceptAction(ctx));
  EXPECT_FALSE(ctx.screen.rubber.on);
  EXPECT_EQ(ctx.view.cursorX, kInch) << "the cursor goes to the window's centre";
  EXPECT_EQ(ctx.view.viewScale, (uint64_t{1016} << 32) / (2 * kInch)) << "two inches fill the width";
  EXPECT_FALSE(ctx.shell.acceptHooks[0]);
  EXPECT_EQ(ctx.view.previousScale, 100u << 16) << "ZP goes back";

  // Escape after the first corner, and another function started then, both
  // take the rubber rectangle away.
  executeFunction(ctx, fc('Z', 'W'), kFromMenuBar);
  acceptAction(ctx);
  ASSERT_TRUE(ctx.screen.rubber.on);
  EXPECT_TRUE(cancelAction(ctx));
  EXPECT_FALSE(ctx.screen.rubber.on);
  EXPECT_FALSE(ctx.shell.cancelHooks[0]);
  executeFunction(ctx, fc('Z', 'W'), kFromMenuBar);
  acceptAction(ctx);
  executeFunction(ctx, fc('Z', 'R'), kFromMacro);
  EXPECT_FALSE(ctx.screen.rubber.on);
}

TEST_F(SetupFamily, MenuZoomsWaitForTheCentralPointAndKeysActAtOnce) {
  const uint32_t scale = ctx.view.viewScale;
  executeFunction(ctx, fc('Z', 'I'), kFromMenuBar);
  EXPECT_EQ(ctx.view.viewScale, scale);
  EXPECT_TRUE(host.showed("Zoom In:  Select central point."));
  ASSERT_TRUE(acceptAction(ctx));
  EXPECT_GT(ctx.view.viewScale, scale);
  EXPECT_FALSE(ctx.shell.acceptHooks[0]) << "one zoom per choice";
  executeFunction(ctx, fc('Z', 'O'), kFromMacro);
  EXPECT_NEAR(ctx.view.viewScale, scale, 1) << "the O key zooms out at once";
  executeFunction(ctx, fc('Z', 'C'), kFromKeys);
  EXPECT_TRUE(host.showed("Zoom Center:  Select central point."));
}

TEST_F(SetupFamily, ZoomLayerOffersTheDisplayedNamedLayers) {
  std::strcpy(ctx.params.layers[1].name, "Top");
  std::strcpy(ctx.params.layers[2].name, "Hidden");
  ctx.params.layers[2].color = kColorDisabled;
  std::strcpy(ctx.params.layers[12].name, "Bottom");
  answer({{"layer", "12 Bottom"}});
  executeFunction(ctx, fc('Z', 'L'), kFromMacro);
  EXPECT_EQ(ctx.params.currentLayer, 12);
  host.dialog = [](DialogBox& box) {
    EXPECT_EQ(box.field("layer")->choices, (std::vector<std::string>{"1 Top", "12 Bottom"}));
    EXPECT_EQ(box.field("layer")->value, "1");
    return true;
  };
  executeFunction(ctx, fc('Z', 'L'), kFromMacro);
  EXPECT_EQ(ctx.params.currentLayer, 12);
}

TEST(DialogTables, CellsAreScriptedReportedAndDescribedByRowAndColumn) {
  Context ctx;
  DialogBox box = setupLayersBox(ctx);
  std::string why;
  EXPECT_TRUE(setDialogField(box, "Layer7.Name", "Top Copper", why)) << why;
  EXPECT_TRUE(setDialogField(box, "Layer7.Kind", "2 = Copper (normal)", why)) << why;
  EXPECT_EQ(*box.slot("Layer7.Kind").value, "2");
  EXPECT_FALSE(setDialogField(box, "Layer7.Name", "Sixteen letters!", why));
  EXPECT_EQ(why, "\"Layer7.Name\" takes at most 15 characters");
  EXPECT_FALSE(setDialogField(box, "Layer7.Sequence", "x", why));
  EXPECT_FALSE(setDialogField(box, "Layer256.Name", "x", why));
  EXPECT_FALSE(setDialogField(box, "layers", "x", why));
  // The report lists the rows with a name only.
  EXPECT_EQ(dialogValues(box), "layers=Layer7=[Top Copper|2|0|0|000000|0|000000|0|7]");
  const std::string listed = describeDialogBox(box);
  EXPECT_NE(listed.find("  layers: table \"Layer/color/plot/type/sequence/name table\"; rows Layer0 to Layer255"),
            std::string::npos)
      << listed;
  EXPECT_NE(listed.find("\n    Name: text \"Name\"; at most 15 characters\n"), std::string::npos) << listed;
}

}  // namespace
}  // namespace trelmo::testing
