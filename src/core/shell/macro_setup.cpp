#include <array>

#include "context.h"
#include "shell/macro.h"

namespace trelmo {

namespace {

constexpr size_t kKeyTextMax = 2048;
constexpr const char* kRecordingEntry = "Recording";

constexpr const char* kFactoryWarning =
    "You have selected the option to restore all keystroke macros\nto their original factory default settings.\n\n"
    "Selecting [YES] will result in the loss of all user defined\nkeystroke macros.\n\n";

struct Default {
  const char* name;
  const char* text;
};
constexpr Default kFactory[] = {
    {"F1", "<PL>"},       {"F2", "<PA>"},       {"F3", "<PP>"},       {"F4", "<PT>"},       {"F5", "<PO>"},
    {"F6", "<PC>"},       {"F7", "<PV>"},       {"F8", "<PE>"},       {"F9", "<ZR>"},       {"F10", "<ZY>"},
    {"Alt-F1", "<GL>"},   {"Alt-F2", "<GA>"},   {"Alt-F3", "<GP>"},   {"Alt-F4", "<GT>"},   {"Alt-F5", "<GI>"},
    {"Alt-F6", "<GO>"},   {"Alt-F7", "<GC>"},   {"Alt-F8", "<GE>"},   {"Ctrl-F1", "<EL>"},  {"Ctrl-F2", "<EA>"},
    {"Ctrl-F3", "<EP>"},  {"Ctrl-F4", "<ET>"},  {"Ctrl-F5", "<EX>"},  {"Ctrl-F6", "<EC>"},  {"Ctrl-F7", "<EO>"},
    {"Ctrl-F8", "<EE>"},  {"Ctrl-F9", "<ES>"},  {"Shift-F1", "<DL>"}, {"Shift-F2", "<DA>"}, {"Shift-F3", "<DP>"},
    {"Shift-F4", "<DT>"}, {"Shift-F5", "<DM>"}, {"Shift-F6", "<DC>"}, {"Shift-F7", "<DG>"}, {"Shift-F8", "<DE>"},
    {"Alt-2", "\xBD"},    {"Alt-4", "\xBC"},
};

constexpr const char* kHelpText =
    "A keystroke macro is a line of tokens separated by spaces:\n"
    "  <PL>            a function code: the function starts without its dialog\n"
    "  <1.5>           a delay in seconds\n"
    "  <LY=Top Copper> a parameter: LY LT AT AR AA AS AE AX PP PL PT PX PY PH PR TS TR TA TM\n"
    "  \"1,2\"           characters typed as keys (\"\" types a double quote)\n"
    "  3Up             a key by its name, repeated 3 times\n"
    "Key names: Esc BS Tab CR LF Space PrSc F1-F12 Home Up PgUp Left Right End Down PgDn\n"
    "Ins Del Num0-Num9 Num. Num- Num+; ^ marks Ctrl, # Alt and s Shift (^Up, #CR, sF1).\n"
    "Alt-keypad-* starts and stops recording; keypad * plays the recording back.";

std::vector<std::string> listNames() {
  std::vector<std::string> names;
  for (const char* row : {"", "Shift-", "Ctrl-", "Alt-"})
    for (int n = 1; n <= 12; ++n) names.push_back(std::string(row) + "F" + std::to_string(n));
  for (int n = 1; n <= 10; ++n) names.push_back("Alt-" + std::to_string(n % 10));
  names.push_back(kRecordingEntry);
  return names;
}

std::string rtrim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// The key list; true when a key was chosen (index in `choice`).
bool chooseKey(Context& ctx, const std::vector<std::string>& names, int& choice) {
  bool help = false;
  for (;;) {
    DialogBox box = keyStrokeSetupBox(choice, help);
    if (!ctx.host->runDialog(box)) return false;
    choice = std::atoi(box.field("key")->value.c_str());
    if (choice < 0 || choice >= static_cast<int>(names.size())) return false;
    if (box.field("showHelp")->value != "1") return true;
    help = !help;
  }
}

}  // namespace

DialogBox keyStrokeSetupBox(int choice, bool help) {
  DialogBox box{"KeyStrokeSetupBox", "Keystroke Macros", {}};
  box.fields.push_back({"key", DialogField::Choice, "Macro key", std::to_string(choice), listNames()});
  if (help) box.fields.push_back({"help", DialogField::Label, kHelpText, "", {}});
  box.fields.push_back({"showHelp", DialogField::Check, help ? "Un-&Help" : "&Help", "0", {}});
  return box;
}

DialogBox keyStrokeEditBox(const Context& ctx, int choice) {
  const std::vector<std::string> names = listNames();
  const std::string& name = names[choice >= 0 && static_cast<size_t>(choice) < names.size() ? choice : 0];
  const bool recording = name == kRecordingEntry;
  DialogBox box{"KeyStrokeEditBox", "Keystroke Macro " + name, {}};
  box.fields.push_back({"text",
                        DialogField::Text,
                        name,
                        recording ? ctx.input.recording : ctx.host->readSetting("Key Stroke " + rtrim(name)),
                        {},
                        static_cast<int>(recording ? kMacroRecordMax : kKeyTextMax)});
  return box;
}

void restoreFactoryMacros(Context& ctx) {
  if (!affirmative(ctx.host->question("Keystroke Macros Warning", kFactoryWarning, Buttons::YesNo))) return;
  for (const Default& d : kFactory) ctx.host->writeSetting(std::string("Key Stroke ") + d.name, d.text);
}

void keystrokeMacroSetup(Context& ctx) {
  const std::vector<std::string> names = listNames();
  int choice = 0;
  if (!chooseKey(ctx, names, choice)) return;
  const bool recording = names[choice] == kRecordingEntry;
  const std::string setting = "Key Stroke " + rtrim(names[choice]);
  DialogBox box = keyStrokeEditBox(ctx, choice);
  if (!ctx.host->runDialog(box)) return;
  std::string text = box.field("text")->value;
  text.resize(std::min(text.size(), recording ? kMacroRecordMax : kKeyTextMax));
  if (recording) {
    ctx.input.recording = text;
    ctx.shell.recordedLength = text.size();
  } else if (text.empty())
    ctx.host->deleteSetting(setting);
  else
    ctx.host->writeSetting(setting, text);
}

}  // namespace trelmo
