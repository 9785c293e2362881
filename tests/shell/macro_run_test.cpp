#include <cstring>

#include "input_fixture.h"

namespace trelmo::testing {
namespace {

using MacroRun = InputTest;
using Calls = std::vector<std::pair<std::string, int>>;

TEST_F(MacroRun, FunctionCodesRunWithSourceZeroAndUnknownOnesBeop) {
  runMacroText(ctx, "<qa> <QB>\n<QAx> <Q B> <PL>");
  EXPECT_EQ(calls, (Calls{{"QA", 0}, {"QB", 0}, {"PL", 0}}));
  runMacroText(ctx, "<NS>");
  EXPECT_EQ(host.count(Sound::Beop), 1) << "a family nobody built yet";
  EXPECT_FALSE(ctx.shell.macroRunning);
}

TEST_F(MacroRun, DelaysWaitForTheHeartbeat) {
  EXPECT_EQ(macroDelayTicks("1"), 18);
  EXPECT_EQ(macroDelayTicks("3.25"), 59);
  EXPECT_EQ(macroDelayTicks(".5"), 9);
  EXPECT_EQ(macroDelayTicks("0"), 0);
  EXPECT_GT(macroDelayTicks("99999999999"), 0) << "huge delays saturate, never wrap";

  runMacroText(ctx, "<QA> <1> <QB> <0> <QC>");
  EXPECT_EQ(codes(), std::vector<std::string>{"QA"});
  EXPECT_TRUE(ctx.shell.macroRunning);
  ticks(17);
  EXPECT_EQ(codes().size(), 1u);
  ticks(1);
  EXPECT_EQ(codes(), (std::vector<std::string>{"QA", "QB", "QC"}));
  EXPECT_FALSE(ctx.shell.macroRunning);
}

TEST_F(MacroRun, ParameterCommands) {
  std::strcpy(ctx.params.layers[3].name, "Top Copper");
  runMacroText(ctx, "<LY=Top Copper> <LT=.01> <PT=S2> <PX=50> <TA=20> <TM=y> <PP=A12 rest> <AR=.5>");
  EXPECT_EQ(ctx.params.currentLayer, 3);
  EXPECT_EQ(ctx.params.lineWidth, 655);
  EXPECT_EQ(ctx.params.padType & 7, 6);
  EXPECT_EQ(ctx.params.padX, 3277) << "no point: mils";
  EXPECT_EQ(ctx.input.placement.textAnchor, 15);
  EXPECT_TRUE(ctx.input.placement.textMirror);
  EXPECT_EQ(ctx.input.placement.pinName, "A12");
  EXPECT_EQ(ctx.input.placement.arcRadius, 32768);
  EXPECT_EQ(host.count(Sound::Beep), 0);

  runMacroText(ctx, "<LY=7> <aa=90>");
  EXPECT_EQ(ctx.params.currentLayer, 7);
  EXPECT_EQ(ctx.input.placement.arcStart, 16384);

  ctx.params.units = -2;  // millimetres
  runMacroText(ctx, "<LT=0.254>");
  EXPECT_NEAR(ctx.params.lineWidth, 655, 1);

  // Unknown commands and layers are refused; a blank before '=' is no command.
  runMacroText(ctx, "<XX=1> <LY=Nowhere> <PT=Q1>");
  EXPECT_EQ(host.count(Sound::Beep), 3);
  runMacroText(ctx, "<LY =1>");
  EXPECT_EQ(ctx.params.currentLayer, 7);
}

TEST_F(MacroRun, QuotedStringsAndKeyNamesWithRepeatCounts) {
  captureKeys();
  runMacroText(ctx, "\"aA\"\"x\" 3Up CR 2a 12 Nonsense ^up");
  EXPECT_EQ(keys, (std::vector<uint16_t>{0x1E61, 0x1E41, 0x2822, 0x2D78, 0x4800, 0x4800, 0x4800, 0x1C0D, 0x1E61, 0x1E61,
                                         0x8D00}));
  keys.clear();
  runMacroText(ctx, "\"ab\ncd\"");  // a control character ends the string
  EXPECT_EQ(keys, (std::vector<uint16_t>{0x1E61, 0x3062}));
}

TEST_F(MacroRun, TypedCursorPositionAndCursorKeys) {
  ctx.params.snapStep = 0x1999999A;  // 0.1 inch
  ctx.params.zeroX = ctx.params.zeroY = 0;
  runMacroText(ctx, "\"1,2\" CR");
  EXPECT_EQ(ctx.view.cursorX, 65536);
  EXPECT_EQ(ctx.view.cursorY, 131072);
  EXPECT_TRUE(ctx.shell.crossHairMode);
  EXPECT_FALSE(ctx.shell.keyHook);
  // Echoed at column 70: the start-up tags have the polar readout on.
  EXPECT_TRUE(host.showed("Enter new X,Y cursor position:" + std::string(40, ' ') + "1,2?"));

  runMacroText(ctx, "3Up Num6 ^Left");  // 3 snaps up, 10 right, 100 left
  const int32_t snap = 6553;            // 0.1 inch, whole units
  EXPECT_NEAR(ctx.view.cursorY, 131072 + 3 * snap, 2);
  EXPECT_EQ(ctx.view.cursorX, -524288) << "80 snaps left of zero";

  runMacroText(ctx, "\"+1x\" BS \",+0\" CR");  // relative, with a typo taken back
  EXPECT_EQ(ctx.view.cursorX, -524288 + 65536);
  runMacroText(ctx, "\"5\" Esc");
  EXPECT_EQ(ctx.view.cursorX, -524288 + 65536) << "Escape leaves the cursor";
  runMacroText(ctx, "\"5;\" CR");
  EXPECT_EQ(host.count(Sound::Beep), 1) << "an entry that does not parse is refused";
}

TEST_F(MacroRun, AMacroThatRunsAnotherEndsItself) {
  host.settings["Key Stroke F2"] = "<QB> <QC>";
  host.settings["Key Stroke Alt-0"] = "<QC>";
  runMacroText(ctx, "<QA> F2 <QA>");
  EXPECT_EQ(codes(), (std::vector<std::string>{"QA", "QB", "QC"}));
  calls.clear();
  dispatchKey(ctx, 0x8100);  // Alt-0
  EXPECT_EQ(codes(), std::vector<std::string>{"QC"});
  EXPECT_EQ(macroSettingName(0x3B00), "Key Stroke F1");
  EXPECT_EQ(macroSettingName(0x8C00), "Key Stroke Alt-F12");
  EXPECT_EQ(macroSettingName(0x5D00), "Key Stroke Shift-F10");
  EXPECT_EQ(macroSettingName(0x7800), "Key Stroke Alt-1");
  EXPECT_EQ(macroSettingName(0x4800), "");

  // A macro that runs itself goes on until keys typed meanwhile stop it.
  host.settings["Key Stroke F3"] = "<QA> F3";
  host.pendingKeyChecks = 1;
  host.answer = Answer::Cancel;
  calls.clear();
  dispatchKey(ctx, 0x3D00);
  EXPECT_EQ(calls.size(), 32u);  // every second token of 64
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_NE(host.questions[0].find("TRELMO'98: A keystroke macro function\nis in progress."), std::string::npos);
  EXPECT_FALSE(ctx.shell.macroRunning);
}

TEST_F(MacroRun, RecordingKeysAndMenuCommandsThenReplay) {
  captureKeys();
  dispatchKey(ctx, kKeyRecordToggle);
  EXPECT_EQ(host.count(Sound::Peep), 1);
  EXPECT_TRUE(host.showed("Entering keystroke program."));
  dispatchKey(ctx, 0x4800);
  dispatchKey(ctx, 0x8D00);
  ctx.shell.keyHook = nullptr;
  menuCommand(ctx, fc('Q', 'A'));
  dispatchKey(ctx, kKeyRecordToggle2);
  EXPECT_TRUE(host.showed("Keystroke program complete."));
  EXPECT_EQ(ctx.input.recording, "Up ^Up \"QA\" ");

  calls.clear();
  dispatchKey(ctx, kKeyReplay);
  EXPECT_TRUE(host.showed("Keystroke program playback."));
  EXPECT_EQ(calls, (Calls{{"QA", 2}})) << "the menu command is typed back as its two letters";
}

TEST_F(MacroRun, AFullRecordingBeepsAndAnOpenedPrefixIsTakenOut) {
  dispatchKey(ctx, kKeyRecordToggle);
  ctx.input.recording.assign(kMacroRecordMax - 3, 'x');
  dispatchKey(ctx, 0x1E61);  // "a " fits
  EXPECT_EQ(ctx.input.recording.size(), kMacroRecordMax - 1);
  dispatchKey(ctx, 0x1E61);
  EXPECT_EQ(ctx.input.recording.size(), kMacroRecordMax - 1);
  EXPECT_GE(host.count(Sound::Beep), 1);

  ctx.input.recording = "Up ";
  dispatchKey(ctx, 0x1970);  // p: a menu prefix
  EXPECT_EQ(ctx.input.recording, "Up p ");
  ticks(5);
  EXPECT_EQ(ctx.input.recording, "Up ");
  ASSERT_EQ(host.menus.size(), 1u);
  EXPECT_EQ(host.menus[0].first, 'P');
}

TEST_F(MacroRun, FactoryDefaultsAfterTheWarningAndTheSetupBox) {
  host.answer = Answer::No;
  restoreFactoryMacros(ctx);
  EXPECT_TRUE(host.settings.empty());
  host.answer = Answer::Yes;
  restoreFactoryMacros(ctx);
  EXPECT_EQ(host.settings["Key Stroke F1"], "<PL>");
  EXPECT_EQ(host.settings["Key Stroke Ctrl-F9"], "<ES>");
  EXPECT_EQ(host.settings["Key Stroke Alt-4"], "\xBC");
  EXPECT_EQ(host.settings.count("Key Stroke Alt-F9"), 0u);
  EXPECT_EQ(macroTextFromSetting("\xBD\xB0"), "\xAB\xF8");

  // Setup Keystrokes: a key chosen from the list, its text edited.
  std::string edited = "<QA>";
  int keyIndex = 1;  // F2
  host.dialog = [&](DialogBox& box) {
    if (box.field("key")) box.field("key")->value = std::to_string(keyIndex);
    if (box.field("text")) box.field("text")->value = edited;
    return true;
  };
  executeFunction(ctx, fc('S', 'K'), kFromKeys);
  EXPECT_EQ(host.settings["Key Stroke F2"], "<QA>");
  edited.clear();
  executeFunction(ctx, fc('S', 'K'), kFromKeys);
  EXPECT_EQ(host.settings.count("Key Stroke F2"), 0u) << "an empty text deletes the value";
  keyIndex = 58;  // the recording, after 48 function keys and 10 Alt-digits
  edited = "Up Up";
  executeFunction(ctx, fc('S', 'K'), kFromKeys);
  EXPECT_EQ(ctx.input.recording, "Up Up");
}

}  // namespace
}  // namespace trelmo::testing
